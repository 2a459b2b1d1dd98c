#pragma once

// The read-ahead's state, shared by its own files (read_ahead*.cpp) and its
// tests alone: nothing else includes this header.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fileio/byte_input.h"
#include "fileio/file.h"
#include "fileio/file_batch.h"
#include "fileio/read_ahead.h"

namespace tolvex {

// Workers and the caller take up files in order, each the next one nobody
// has taken, within a bounded window past the caller's position: the caller
// reads its own file itself when nobody has taken it up yet. A worker takes
// up a run of files at once and reads the small ones as one batch
// (file_batch.h); a file that fits in a buffer is closed at once and hands
// over its bytes, a larger one hands over its descriptor as well, and the
// caller goes on from there.
//
// Files in the page cache want a worker per processor and a narrow window,
// whose buffers stay in the processors' caches; files that wait on a disk
// want many more reads in flight than there are processors, and a wide
// window. So a few workers start after the caller's first few files, and
// once the caller's own reads took long enough to have waited on the disk,
// they make way for many, over a wide window. While files come from memory,
// one worker first lists the folders of many names in a row, and the names
// listed as plain files are read without a look at each
// (listed_plain_files.h); and while its own file is still being read, the
// caller reads a run of later ones itself, as a worker does, rather than
// sleep.
//
// Positions are shared through atomics, so that a file costs no lock; a
// mutex and condition variables serve only to sleep, when the window is
// full or the caller's file is on its way. Unless an atomic says otherwise
// its loads and stores are sequentially consistent: the two sleeps rest on
// a store of one thread and a load of another being seen in one order by
// both (each atomic says which).

// One file's place in the window. The worker writes the rest of the slot,
// then `ready`; the caller reads `ready`, then the rest.
struct alignas(64) ReadAheadSlot {
    // The file the slot holds once its worker is done with it. Stored by the
    // worker after the rest of the slot and loaded by the caller before it:
    // the store releases the slot's bytes to the load that sees it, and,
    // before the worker looks at `caller_waits`, it is ordered with the
    // caller's store there.
    std::atomic<std::size_t> ready{static_cast<std::size_t>(-1)};
    bool filled = false;     // the file is here; else it was left to the caller
    bool file_open = false;  // more of the file follows the bytes, from `file`
    FileHandle file;
    std::size_t size = 0;
    unsigned char* bytes = nullptr;  // input_buffer_size of room
};

// The most files a thread reading ahead takes up at once, and reads as one
// batch.
constexpr std::size_t read_ahead_longest_run = 32;

// What a thread reading ahead keeps from one run of files to the next.
struct WorkerRun {
    ReadAhead* ahead = nullptr;
    FileBatch batch;
    std::array<BatchedFile, read_ahead_longest_run> files;
    std::array<std::size_t, read_ahead_longest_run> indexes{};  // the file each of `files` is
    // What a look at the name said the size was; 0 where the listing told
    // that it is a plain file, whose first short read is its end.
    std::array<std::uint64_t, read_ahead_longest_run> sizes{};
    // The files of the batch that filled their buffer, to be read again
    // alone, and how many.
    std::array<std::size_t, read_ahead_longest_run> again{};
    std::size_t again_count = 0;
};

struct FreeBytes {
    void operator()(unsigned char* bytes) const { std::free(bytes); }
};

// The three groups of fields below stand on cache lines of their own, which
// costs some padding on purpose.
struct ReadAhead {  // NOLINT(clang-analyzer-optin.performance.Padding)
    ReadAhead() = default;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Three cache lines, so that a thread writing one does not take the
    // others from the rest. First the first file nobody has taken up, which
    // every thread changes (compare-exchange), with what only the caller
    // uses, seldom.
    alignas(64) std::atomic<std::size_t> next_claim{0};
    const std::vector<std::string>* paths = nullptr;  // set before any worker starts
    std::vector<std::thread> workers;
    ReadAheadPlan plan;
    SlowReads slow_reads;
    std::size_t workers_from = 0;  // if not 0, the file at which workers start (again)
    std::size_t resume_after = 0;  // files without workers after descriptors ran out
    std::size_t listed_to = 0;     // the names before it the lister is done with
    bool disk_mode = false;        // the disk's workers have taken over
    bool reads_wait = false;       // slow reads seen: the disk's workers start at the next file
    bool caller_helps = true;      // the caller reads later files while it would wait

    // The caller's file, whose slot and later ones are in use, which the
    // caller stores for every file and the workers load to know the window.
    alignas(64) std::atomic<std::size_t> first_kept{0};
    std::size_t own_read = 0;       // the file the caller opened itself, if any
    bool own_read_special = false;  // and it is no plain file: what was read past it is stale
    std::chrono::steady_clock::time_point own_read_start;
    WorkerRun caller_run;  // for the runs the caller reads while it would wait
    std::mutex mutex;
    std::unique_ptr<unsigned char, FreeBytes> buffers;  // the slots' bytes

    // What the workers look at for every file but seldom changes.
    alignas(64) std::atomic<std::size_t> run_length{1};  // files a worker takes up at once
    // The file the caller waits for; stored before `caller_waits` is raised.
    std::atomic<std::size_t> waiting_for{0};
    std::vector<ReadAheadSlot> slots;  // file i is in slots[i % slots.size()]
    // File i's folder lists it as a plain file: the lister's relaxed stores
    // and the workers' relaxed loads; a mark not yet seen costs a look at the
    // name, nothing more.
    std::vector<std::atomic<bool>> listed_plain;
    std::condition_variable work_to_do;     // workers wait here for room
    std::condition_variable work_done;      // the caller waits here for its file
    std::atomic<unsigned> caller_share{0};  // the plan's, till the disk's workers start
    // A worker has gone to sleep since the last waking: raised by the worker
    // before it looks at the room, lowered by the caller after it has made
    // room; either the worker sees the room or the caller sees the flag.
    std::atomic<bool> workers_sleep{false};
    std::atomic<bool> lister_taken{false};  // a worker lists folders first
    // The caller sleeps for its file: raised before it looks at the slots,
    // looked at by a worker after it has published one; either the caller
    // sees the file or the worker sees the flag.
    std::atomic<bool> caller_waits{false};
    std::atomic<bool> stopping{false};  // stored under the mutex, so no sleeper misses it
    std::atomic<bool> failed{false};    // a worker met an error it could not leave to the caller
};

// The slots (read_ahead_slots.cpp).
ReadAheadSlot& slot_of(ReadAhead& ahead, std::size_t index);
std::size_t room(const ReadAhead& ahead);
bool claim_run(ReadAhead& ahead, std::size_t most, std::size_t& first, std::size_t& count);
void publish(ReadAhead& ahead, std::size_t index);
bool open_window(ReadAhead& ahead, std::size_t first, std::size_t window);
void close_window(ReadAhead& ahead);
void wake_workers_for_room(ReadAhead& ahead);
bool wait_for(ReadAhead& ahead, std::size_t index);
bool hand_over(ReadAhead& ahead, std::size_t index, ByteInput& input);

// The workers (read_ahead_workers.cpp).
void fill_run(WorkerRun& run, std::size_t first, std::size_t count);
void add_workers(ReadAhead& ahead, unsigned count);
bool stop_workers(ReadAhead& ahead);

}  // namespace tolvex
