#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "fileio/storage_count.h"

namespace tolvex {

using StorageCount = std::optional<std::uint64_t> (*)();

struct ReadAheadPlan {
    std::size_t window = 0;         // files read ahead of the caller at most
    unsigned threads = 0;           // workers for files in memory
    std::size_t threads_after = 0;  // files the caller reads before they start
    // Of every `caller_share` files the caller reads one itself, in its
    // turn, while those workers run, unless its folder lists it as a plain
    // file (the queue reads those for less); 0 leaves it none.
    unsigned caller_share = 0;
    // Once three files close together that the caller opened and read
    // itself each took longer than `slow_read` (reads_wait_on_disk), these
    // take over: a window and workers for a disk.
    std::size_t disk_window = 0;
    unsigned disk_threads = 0;
    std::chrono::microseconds slow_read{0};
    // So many names in a row in one folder or more have their folder
    // listed while files come from memory, to spare a look at each
    // (listed_plain_files.h); 0 lists none.
    std::size_t list_from = 0;
    StorageCount fetched_so_far = bytes_fetched_from_storage;  // tests count for themselves
};

// The plan for reading `file_count` files: none for a few, where starting a
// thread costs more than it saves.
ReadAheadPlan default_read_ahead_plan(std::size_t file_count);

// What the arming decision keeps of the caller's latest slow reads.
struct SlowReads {
    // The files of the latest two, or 0 for none (file 0 is the program's
    // name).
    std::size_t last = 0;
    std::size_t before_last = 0;
    std::optional<std::uint64_t> fetched_at_last;
};

// Whether the caller's reads wait on the disk, now that its own open and
// read of file `index` took `took`: three slow reads within 16 files, with
// bytes fetched from storage between the last two where the system counts
// them. A slow read may only have lost its processor for a while, to
// another program or to a worker, while on a cold disk the files that share
// a block of metadata with a slow one come quickly; and in a folder the
// page cache holds but for a few files (the kernel takes back pages nobody
// used lately), two of those may come close together, where the disk's
// many workers would cost more than they gain.
bool reads_wait_on_disk(SlowReads& seen, const ReadAheadPlan& plan, std::size_t index,
                        std::chrono::steady_clock::duration took);

}  // namespace tolvex
