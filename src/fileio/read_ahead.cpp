#include "fileio/read_ahead.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "fileio/descriptor_names.h"
#include "fileio/read_ahead_state.h"

namespace tolvex {

namespace {

// After descriptors ran out, reading ahead pauses for so many files before
// it tries again, twice as many after each time.
constexpr std::size_t first_pause = 64;

// Starts the workers of the mode the run is in, the window opening at the
// caller's file, `first`, while the caller holds no slot. The disk's
// workers look at each name, listed or not: the look brings a file's
// metadata in from the disk in the worker's own thread, sixteen at a time,
// where the queue's open of a file not in memory would wait in the kernel's
// few threads (a cold run took twice as long).
void start_workers(ReadAhead& ahead, std::size_t first)
{
    ahead.workers_from = 0;
    if (!ahead.slots.empty())
        return;  // they run already
    const ReadAheadPlan& plan = ahead.plan;
    std::size_t window = ahead.disk_mode ? plan.disk_window : plan.window;
    unsigned threads = ahead.disk_mode ? plan.disk_threads : plan.threads;
    if (window == 0 || threads == 0 || !open_window(ahead, first, window))
        return;
    ahead.caller_share.store(ahead.disk_mode ? 0 : plan.caller_share);
    add_workers(ahead, threads);
}

// The workers for files in memory, if any, make way for those for the
// disk, with a wider window: files come back from a disk out of order, and
// one slow read must not hold the others up; nor does the caller read
// later files itself, which would hold up the ones it waits for.
void switch_to_disk(ReadAhead& ahead, std::size_t first)
{
    bool running = stop_workers(ahead);
    ahead.reads_wait = false;
    ahead.disk_mode = true;
    ahead.caller_helps = false;
    ahead.listed_plain = std::vector<std::atomic<bool>>();
    // Workers paused after descriptors ran out start again when the pause
    // ends, as the disk's.
    bool paused = !running && ahead.resume_after != 0 && ahead.workers_from > first;
    if (!paused)
        start_workers(ahead, first);
}

// Gives back every descriptor reading ahead holds, after the caller's open
// of file `index` found none to be had; the workers start again later, if
// the system then allows. Returns whether any were held.
bool give_back_descriptors(ReadAhead& ahead, std::size_t index)
{
    if (!stop_workers(ahead))
        return false;
    ahead.resume_after = ahead.resume_after == 0 ? first_pause : 2 * ahead.resume_after;
    ahead.workers_from = index + ahead.resume_after;
    return true;
}

// The read-ahead's part of the caller's turn at file `index`: starts or
// switches workers where the run has come to that, and hands over what was
// read ahead. Returns false when the caller is to open the file itself.
bool take_read_ahead(ReadAhead& ahead, std::size_t index, ByteInput& input)
{
    if (ahead.reads_wait)
        switch_to_disk(ahead, index);
    else if (index == ahead.workers_from)
        start_workers(ahead, index);
    if (ahead.slots.empty())
        return false;
    ahead.first_kept.store(index);
    wake_workers_for_room(ahead);
    std::size_t unclaimed = index;
    if (ahead.next_claim.compare_exchange_strong(unclaimed, index + 1))
        return false;  // nobody has taken it up: the caller reads it itself

    ReadAheadSlot& slot = slot_of(ahead, index);
    std::size_t later = 0;
    std::size_t count = 0;
    while (slot.ready.load() != index && ahead.caller_helps && !ahead.failed.load() &&
           claim_run(ahead, ahead.run_length.load(), later, count)) {
        // Rather than sleep until a worker is done, which costs a processor
        // switch or two per file when the files are in memory, the caller
        // reads a run of later files itself, as a worker does.
        WorkerRun& run = ahead.caller_run;
        if (!run.ahead) {
            run.ahead = &ahead;
            run.batch = open_file_batch(read_ahead_longest_run);
        }
        fill_run(run, later, count);
    }
    if (slot.ready.load() != index && !wait_for(ahead, index)) {
        // A worker gave up: so does reading ahead, for the rest of the run.
        stop_workers(ahead);
        ahead.plan = {};
        return false;
    }
    return hand_over(ahead, index, input);
}

}  // namespace

void StopReadAhead::operator()(ReadAhead* ahead) const
{
    stop_workers(*ahead);
    delete ahead;
}

ReadAheadRun start_read_ahead(const std::vector<std::string>& paths, std::size_t first,
                              const ReadAheadPlan& plan, const std::vector<bool>& listed_plain)
{
    ReadAheadRun ahead(new (std::nothrow) ReadAhead);
    if (!ahead || first >= paths.size())
        return ahead;
    ahead->paths = &paths;
    ahead->plan = plan;
    if (plan.list_from > 0 && paths.size() - first >= plan.list_from) {
        try {
            ahead->listed_plain = std::vector<std::atomic<bool>>(paths.size());
            ahead->listed_to = first;
        } catch (const std::bad_alloc&) {
            ahead->listed_plain = std::vector<std::atomic<bool>>();
        }
        std::size_t told = std::min(listed_plain.size(), ahead->listed_plain.size());
        for (std::size_t i = first; i < told; ++i)
            ahead->listed_plain[i].store(listed_plain[i], std::memory_order_relaxed);
    }
    if (plan.threads_after == 0)
        start_workers(*ahead, first);
    else
        ahead->workers_from = first + plan.threads_after;
    return ahead;
}

int open_input(ReadAhead* ahead, std::size_t index, const std::string& path, ByteInput& input)
{
    if (ahead && take_read_ahead(*ahead, index, input))
        return 0;
    // Such a name must not find the read-ahead's descriptors where it looks.
    if (ahead && may_name_a_descriptor(path))
        give_back_descriptors(*ahead, index);
    if (ahead) {
        ahead->own_read = index;
        ahead->own_read_start = std::chrono::steady_clock::now();
    }
    int error = open_file(path, input.file);
    // Descriptors that reading ahead holds may be the ones the system is
    // out of: they are given back, and the file is opened once more.
    if ((error == EMFILE || error == ENFILE) && ahead && give_back_descriptors(*ahead, index))
        error = open_file(path, input.file);
    input.has_file = error == 0;
    if (ahead && error == 0 && !ahead->slots.empty())
        ahead->own_read_special = !is_plain_file(input.file);
    return error;
}

void close_input(ReadAhead* ahead, std::size_t index, ByteInput& input)
{
    if (input.has_file)
        close_file(input.file);
    input.has_file = false;
    // What was read ahead past a FIFO, a device or the like was read before
    // the caller had read it, which may have waited for anything: a file
    // saved meanwhile, or a name that has come to be a FIFO, is looked at
    // afresh, and the folders' listings are no longer trusted.
    if (ahead && ahead->own_read == index && ahead->own_read_special) {
        ahead->own_read_special = false;
        if (stop_workers(*ahead))
            ahead->workers_from = index + 1;  // afresh, from the next file on
        ahead->listed_plain = std::vector<std::atomic<bool>>();
    }
    // Only the caller's own open and read count for the arming decision:
    // not its help with later files, nor its waits for them.
    if (ahead && ahead->own_read == index && index != 0 && !ahead->disk_mode) {
        auto took = std::chrono::steady_clock::now() - ahead->own_read_start;
        ahead->reads_wait =
            ahead->reads_wait || reads_wait_on_disk(ahead->slow_reads, ahead->plan, index, took);
    }
}

}  // namespace tolvex
