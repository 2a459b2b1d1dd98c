#include "fileio/read_ahead_plan.h"

#include <algorithm>
#include <thread>

namespace tolvex {

namespace {

// How long a read must take to count as one on the disk rather than on a
// processor: a file in the page cache takes a few microseconds.
constexpr auto disk_wait = std::chrono::microseconds(150);

// The files the caller reads itself before the workers for files in memory
// start: fewer than that would not repay starting them.
constexpr std::size_t files_before_workers = 16;

// Of every so many files the caller reads one itself while workers run.
constexpr unsigned caller_reads_one_in = 4;

// How far apart the first and the last of three slow reads may be to count
// as close together.
constexpr std::size_t slow_reads_apart = 16;

}  // namespace

ReadAheadPlan default_read_ahead_plan(std::size_t file_count)
{
    if (file_count < 3)
        return {};
    // Files in the page cache cost processor time alone: a worker for every
    // processor but the caller's, since the caller reads too, and a thread
    // more would only take turns with them, each turn a sleep and a wake-up
    // (with two processors, two workers cost a tenth more processor time
    // than one). A few suffice, since the caller's own work per file has no
    // second taker. The caller reads one file in four itself, which spares
    // those the look at the name that reading ahead takes: no more, since
    // its own work on every file (the record, the report) already makes it
    // the busier thread, and with one in two it was the longer by half; and
    // no fewer, so that its own reads still tell when files come to wait on
    // the disk. The window of 128 files lets the workers fill a quarter of
    // it between wake-ups.
    //
    // They start once the caller has read a few files itself: a run that
    // ends at its first file, as a pattern that names a folder first does,
    // starts none, and a program that has started a thread pays for it in
    // every later allocation.
    unsigned workers = 0;
    if (file_count > files_before_workers) {
        unsigned processors = std::thread::hardware_concurrency();
        workers = processors > 1 ? std::min(processors - 1, 3u) : 0;
    }
    return {.window = 128,
            .threads = workers,
            .threads_after = files_before_workers,
            .caller_share = caller_reads_one_in,
            .disk_window = 256,
            .disk_threads = 16,
            .slow_read = disk_wait,
            .list_from = 64};
}

bool reads_wait_on_disk(SlowReads& seen, const ReadAheadPlan& plan, std::size_t index,
                        std::chrono::steady_clock::duration took)
{
    if (plan.disk_window == 0 || plan.disk_threads == 0 || took <= plan.slow_read)
        return false;
    std::optional<std::uint64_t> fetched = plan.fetched_so_far();
    std::size_t first = seen.before_last;
    bool close = first != 0 && std::max(index, first) - std::min(index, first) <= slow_reads_apart;
    bool from_storage = !fetched || !seen.fetched_at_last || *fetched > *seen.fetched_at_last;
    seen.before_last = seen.last;
    seen.last = index;
    seen.fetched_at_last = fetched;
    return close && from_storage;
}

}  // namespace tolvex
