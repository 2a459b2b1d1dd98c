#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "fileio/byte_input.h"
#include "fileio/read_ahead_plan.h"

namespace tolvex {

// Reading ahead: while the caller works on one file, worker threads open
// and read the files after it, so that a second core does part of the
// opening and, on a disk, many reads are in flight at once. It is only a
// source of bytes for the caller, who still takes the files one at a time,
// in order: it asks for each file's input, and is handed either the bytes
// read ahead or the file opened in its turn, exactly as reading one file at
// a time opens it. Only plain files are read ahead: a FIFO, a device or a
// directory is opened when its turn comes, since opening it can have
// effects (a FIFO's writer wakes up). Whatever goes wrong in reading ahead
// (an open refused, descriptors or memory run out, a thread that cannot
// start) leaves the file to its turn, where the caller meets the error, if
// any, exactly where reading one file at a time meets it.
//
// How it reads is the plan's (read_ahead_plan.h); the state, the slots and
// the workers are private to the read_ahead files.

struct ReadAhead;
struct StopReadAhead {
    void operator()(ReadAhead* ahead) const;
};
// Stops the workers, waits for those still reading and closes every
// descriptor they hold, when it goes.
using ReadAheadRun = std::unique_ptr<ReadAhead, StopReadAhead>;

// Reads ahead `paths` from index `first` on, as `plan` says. Where the
// memory for it is not to be had, it gives nothing, which reads one file
// at a time, as a plan with no window does. `listed_plain`, if not empty,
// tells for each path whether its folder's listing, made when the path was
// found there (list_folder), said it is a plain file: such a folder is not
// listed again.
ReadAheadRun start_read_ahead(const std::vector<std::string>& paths, std::size_t first,
                              const ReadAheadPlan& plan,
                              const std::vector<bool>& listed_plain = {});

// Makes `input` give the bytes of file `index`, which is `path`, the files
// being taken in order: what was read ahead of it, valid until the next
// call, then the rest from its descriptor; or the file opened now. Returns
// 0, or the error number of the failed open. `ahead` may be null: one file
// at a time.
int open_input(ReadAhead* ahead, std::size_t index, const std::string& path, ByteInput& input);

// The caller is done with file `index`: closes what `input` holds of it.
void close_input(ReadAhead* ahead, std::size_t index, ByteInput& input);

}  // namespace tolvex
