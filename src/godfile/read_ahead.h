#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "godfile/byte_input.h"
#include "godfile/file.h"

namespace tolvex {

// Reading ahead: while the reader works on one file, a few worker threads
// open and read the files after it, so that many reads are in flight at once
// (a disk serves them together) and a second core does the opening. It is
// only a source of bytes for the reader; the files are still parsed and
// reported one at a time, in order, by the caller.
//
// A worker takes the next file of a bounded window past the caller's
// position. It reads ahead only plain files, known by their metadata alone:
// a FIFO, a device or a directory is opened when its turn comes, by the
// caller, since opening it can have effects (a FIFO's writer wakes up). The
// worker reads the first buffer-full; a file that fits is closed at once and
// hands over its bytes, a larger one hands over its descriptor as well, and
// the reader goes on from there. Whatever goes wrong for a worker (the open
// is refused, descriptors run out, a read fails) drops the file: the caller
// then opens it itself and meets the error, if any, exactly where reading
// one file at a time meets it.
//
// The window is wide (files come back from a disk out of order, and one
// slow read must not hold the others up) and workers are woken in runs;
// the caller, rather than sleep while its own file is still being read,
// reads a later one itself, until such a read turns out to wait on the disk.
// Files in the page cache are read faster one at a time than handed between
// threads, so the program reads ahead only once files that it read itself
// took long enough to have waited on the disk.
//
// With a window of zero nothing runs in the background and every file is
// read by the caller: that is the one-at-a-time program, kept for tests.

struct ReadAheadPlan {
    std::size_t window = 0;  // files read ahead of the caller at most
    unsigned threads = 0;
    // The program starts reading ahead once files it read itself took
    // longer than this.
    std::chrono::microseconds slow_read{0};
};

// The plan for reading `file_count` files: none for a few, where starting a
// thread costs more than it saves.
ReadAheadPlan default_read_ahead_plan(std::size_t file_count);

struct ReadAheadSlot {
    enum class State { free, reading, filled, dropped };
    State state = State::free;
    FileHandle file;
    bool file_open = false;  // more of the file follows the bytes
    std::size_t size = 0;
    std::unique_ptr<unsigned char[]> bytes;
};

struct ReadAhead {
    ReadAhead() = default;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    ~ReadAhead();

    const std::vector<std::string>* paths = nullptr;
    std::vector<ReadAheadSlot> slots;  // file i is in slots[i % slots.size()]
    std::vector<std::thread> workers;
    ReadAheadPlan armed;             // started after slow reads, as arm_read_ahead says
    std::size_t last_slow_read = 0;  // the caller's latest slow read of its own, if any
    std::mutex mutex;
    std::condition_variable work_to_do;  // workers wait here for room
    std::condition_variable work_done;   // the caller waits here for its file
    std::size_t next_claim = 0;          // the first file nobody has taken up yet
    std::size_t first_kept = 0;          // the caller's file: its slot and later ones are in use
    std::size_t waiting_for = 0;         // the file the caller waits for, if it waits
    bool caller_waits = false;
    bool caller_helps = true;  // the caller reads later files while it would wait
    unsigned idle_workers = 0;
    bool stopping = false;
};

// Starts reading ahead `paths` from index `first` on, as `plan` says. Fewer
// threads than planned, or none, start if the system has no more to give.
void start_read_ahead(ReadAhead& ahead, const std::vector<std::string>& paths, std::size_t first,
                      ReadAheadPlan plan);

// Reads ahead `paths` as `plan` says once two files close together that the
// caller read itself (see note_read) each took longer than the plan's slow_read;
// until then nothing runs in the background.
void arm_read_ahead(ReadAhead& ahead, const std::vector<std::string>& paths, ReadAheadPlan plan);

// Tells an armed read-ahead that the caller read file `index` itself in
// `took`: a slow read starts reading ahead the files after it.
void note_read(ReadAhead& ahead, std::size_t index, std::chrono::steady_clock::duration took);

// Asks for file `index`, the caller's files being taken in order. Returns
// true when `input` now gives the file's bytes: the first buffer-full from
// the window, which stays valid until the next call, then the rest from the
// descriptor it hands over when more follows (the caller closes it). Returns
// false when the caller is to open the file itself.
bool take_read_ahead(ReadAhead& ahead, std::size_t index, ByteInput& input);

// Stops the workers, waits for those still reading and closes every
// descriptor they hold; later files are all the caller's. Returns whether
// anything was running, which means descriptors may just have come free.
bool stop_read_ahead(ReadAhead& ahead);

}  // namespace tolvex
