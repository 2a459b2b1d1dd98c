#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fileio/byte_input.h"
#include "fileio/file.h"
#include "fileio/file_batch.h"
#include "fileio/storage_count.h"

namespace tolvex {

// Reading ahead: while the reader works on one file, worker threads open
// and read the files after it, so that a second core does part of the
// opening and, on a disk, many reads are in flight at once (a disk serves
// them together). It is only a source of bytes for the reader; the files are
// still parsed and reported one at a time, in order, by the caller.
//
// Workers and the caller take up files in order, each the next one nobody
// has taken, within a bounded window past the caller's position: the caller
// reads its own file itself when nobody has taken it up yet, and so does
// without a worker's hand-over whenever it has caught up. A worker reads
// ahead only plain files, known by their metadata alone: a FIFO, a device
// or a directory is opened when its turn comes, by the caller, since opening
// it can have effects (a FIFO's writer wakes up). The worker reads the first
// buffer-full; a file that fits is closed at once and hands over its bytes,
// a larger one hands over its descriptor as well, and the reader goes on
// from there. Whatever goes wrong for a worker (the open is refused,
// descriptors run out, a read fails) drops the file: the caller then opens
// it itself and meets the error, if any, exactly where reading one file at a
// time meets it.
//
// Files in the page cache want a worker per processor and a narrow window,
// whose buffers stay in the processors' caches; files that wait on a disk
// want many more reads in flight than there are processors, and a wide
// window. So a few workers start after the caller's first few files, and
// once files the caller read itself took long enough to have waited on the
// disk, they make way for many, over a wide window. A worker takes up a
// run of files at once and reads the small ones as one batch
// (file_batch.h). While files come from memory, one worker first lists the
// folders of many names in a row, and the names listed as plain files are
// read without a look at each (listed_plain_files.h). While its own file is
// still being read, the caller reads a run of later ones itself, as a worker
// does, rather than sleep, until reads turn out to wait on the disk.
//
// The positions are shared through atomics, so that a file costs no lock;
// a mutex and condition variables serve only to sleep, when the window is
// full or the caller's file is on its way from the disk.
//
// With no window nothing runs in the background and every file is read by
// the caller: that is the one-at-a-time program, kept for tests.

using StorageCount = std::optional<std::uint64_t> (*)();

struct ReadAheadPlan {
    std::size_t window = 0;         // files read ahead of the caller at most
    unsigned threads = 0;           // workers for files in memory
    std::size_t threads_after = 0;  // files the caller reads before they start
    // Of every `caller_share` files the caller reads one itself, in its
    // turn, while those workers run, unless its folder lists it as a plain
    // file (the queue reads those for less); 0 leaves it none.
    unsigned caller_share = 0;
    // Once two files close together that the caller read itself each took
    // longer than `slow_read` (see note_read), these take over: a window
    // and workers for a disk.
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

// One file's place in the window. `ready` says which file the slot holds,
// once its worker is done with it; the rest is written before and read after.
struct alignas(64) ReadAheadSlot {
    std::atomic<std::size_t> ready{static_cast<std::size_t>(-1)};
    bool filled = false;     // the file is here; else it was left to the caller
    bool file_open = false;  // more of the file follows the bytes
    FileHandle file;
    std::size_t size = 0;
    unsigned char* bytes = nullptr;  // input_buffer_size of room
};

// The most files a thread reading ahead takes up at once, and reads as one
// batch.
constexpr std::size_t read_ahead_longest_run = 32;

struct ReadAhead;

// What a thread reading ahead keeps from one run of files to the next.
struct ReadAheadRun {
    ReadAhead* ahead = nullptr;
    FileBatch batch;
    std::array<BatchedFile, read_ahead_longest_run> files;
    std::array<std::size_t, read_ahead_longest_run> indexes{};  // the file each of `files` is
};

struct FreeBytes {
    void operator()(unsigned char* bytes) const { std::free(bytes); }
};

struct ReadAhead {
    ReadAhead() = default;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    ~ReadAhead();

    // Three cache lines, so that a thread writing one does not take the
    // others from the rest. The first file nobody has taken up, which every
    // thread changes, with what only the caller and the lister use, seldom.
    alignas(64) std::atomic<std::size_t> next_claim{0};
    std::vector<std::thread> workers;
    ReadAheadPlan armed;        // more workers after slow reads, as note_read says
    std::size_t listed_to = 0;  // the names before it are dealt with by the lister
    std::size_t list_from = 0;  // the plan's

    // The caller's file, whose slot and later ones are in use, which the
    // caller changes for every file, with what it alone uses.
    alignas(64) std::atomic<std::size_t> first_kept{0};
    std::size_t last_slow_read = 0;  // the caller's latest slow read of its own, if any
    ReadAheadRun caller_run;         // for the runs the caller reads while it would wait
    std::mutex mutex;
    std::size_t workers_from = 0;  // if not 0, the file at which the plan's workers start
    std::optional<std::uint64_t> fetched_at_slow_read;  // bytes from storage at the latest
    std::unique_ptr<unsigned char, FreeBytes> buffers;  // the slots' bytes
    bool caller_helps = true;  // the caller reads later files while it would wait
    bool reads_wait = false;   // slow reads seen: the disk's workers start at the next file

    // What the workers look at for every file but seldom change.
    alignas(64) std::atomic<std::size_t> run_length{1};  // files a worker takes up at once
    std::atomic<std::size_t> waiting_for{0};  // the file the caller waits for, if it waits
    const std::vector<std::string>* paths = nullptr;
    std::vector<ReadAheadSlot> slots;             // file i is in slots[i % slots.size()]
    std::vector<std::atomic<bool>> listed_plain;  // file i's folder lists it as a plain file
    std::condition_variable work_to_do;           // workers wait here for room
    std::condition_variable work_done;            // the caller waits here for its file
    std::atomic<unsigned> caller_share{0};        // the plan's, till the disk workers start
    std::atomic<bool> workers_sleep{false};  // a worker has gone to sleep since the last waking
    std::atomic<bool> lister_taken{false};   // a worker lists folders first
    std::atomic<bool> caller_waits{false};
    std::atomic<bool> stopping{false};
};

// Reads ahead `paths` from index `first` on, as `plan` says. Fewer threads
// than planned, or none, start if the system has no more to give.
void start_read_ahead(ReadAhead& ahead, const std::vector<std::string>& paths, std::size_t first,
                      const ReadAheadPlan& plan);

// Tells the read-ahead that the caller read file `index` itself in `took`:
// after two slow reads close together, with bytes fetched from storage
// between them, the plan's workers for the disk take over, from the next
// file the caller asks for.
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
