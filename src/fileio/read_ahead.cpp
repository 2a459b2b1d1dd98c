#include "fileio/read_ahead.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <system_error>

#include "fileio/file_batch.h"
#include "fileio/listed_plain_files.h"

namespace tolvex {

namespace {

// How long a read or a wait must take to count as one on the disk rather
// than on a processor: a file in the page cache takes a few microseconds.
constexpr auto disk_wait = std::chrono::microseconds(150);

// The files the caller reads itself before the workers for files in memory
// start: fewer than that would not repay starting them.
constexpr std::size_t files_before_workers = 16;

}  // namespace

ReadAheadPlan default_read_ahead_plan(std::size_t file_count)
{
    if (file_count < 3)
        return {};
    // Files in the page cache cost processor time alone: as many workers as
    // processors, which keeps them busy while one waits on the kernel's
    // queue, and a few suffice, since the caller's own work per file has no
    // second taker. The caller reads a share of the files itself, which
    // spares it the look at the name that reading ahead takes.
    //
    // They start once the caller has read a few files itself: a run that
    // ends at its first file, as a pattern that names a folder first does,
    // starts none, and a program that has started a thread pays for it in
    // every later allocation.
    unsigned workers = 0;
    if (file_count > files_before_workers) {
        unsigned processors = std::thread::hardware_concurrency();
        workers = processors > 1 ? std::min(processors, 3u) : 0;
    }
    return {.window = 32,
            .threads = workers,
            .threads_after = files_before_workers,
            .caller_share = workers + 1,
            .disk_window = 256,
            .disk_threads = 16,
            .slow_read = disk_wait,
            .list_from = 64};
}

namespace {

ReadAheadSlot& slot_of(ReadAhead& ahead, std::size_t index)
{
    return ahead.slots[index % ahead.slots.size()];
}

// The file past the last one that may be taken up now.
std::size_t window_end(const ReadAhead& ahead)
{
    return std::min(ahead.first_kept.load() + ahead.slots.size(), ahead.paths->size());
}

std::size_t room(const ReadAhead& ahead)
{
    std::size_t end = window_end(ahead);
    std::size_t next = ahead.next_claim.load();
    return end > next ? end - next : 0;
}

// How many files the caller, waiting for its own, lets the workers finish
// before it is woken: on a busy machine each waking costs the wait for a
// processor, so it pays to find a few files ready at once.
constexpr std::size_t wake_batch = 8;

// Whether file `index` and the few after it that are taken up are done.
bool caller_may_go_on(ReadAhead& ahead, std::size_t index)
{
    std::size_t end = std::min(index + wake_batch, ahead.next_claim.load());
    for (std::size_t i = index; i < end; ++i) {
        if (slot_of(ahead, i).ready.load() != i)
            return false;
    }
    return true;
}

// Reads the first buffer-full of a plain file into `slot`. Returns false,
// holding nothing, when the file is to be left to the caller.
bool fill_slot(ReadAheadSlot& slot, const std::string& path)
{
    if (open_file(path, slot.file) != 0)
        return false;
    int error = 0;
    long n = read_file(slot.file, slot.bytes, input_buffer_size, error);
    if (n < 0) {
        close_file(slot.file);
        return false;
    }
    slot.size = static_cast<std::size_t>(n);
    slot.file_open = slot.size == input_buffer_size;
    if (!slot.file_open)
        close_file(slot.file);
    return true;
}

enum class Way {
    caller,  // left to the caller
    batch,   // with others, by the kernel's queue
    alone,   // on its own, to hand over its descriptor with its first bytes
};

// How file `index` is to be read: ahead only if it is a plain file, and then
// alone if it was seen to fill a buffer. A plain file with nothing in it (as
// /proc's seem) and the caller's share are left to the caller.
Way way_to_read(const ReadAhead& ahead, std::size_t index)
{
    if (!ahead.listed_plain.empty() && ahead.listed_plain[index].load(std::memory_order_relaxed))
        return Way::batch;
    unsigned share = ahead.caller_share.load();
    if (share != 0 && index % share == 0)
        return Way::caller;
    std::uint64_t size = plain_file_size((*ahead.paths)[index]);
    if (size == 0)
        return Way::caller;
    return size < input_buffer_size ? Way::batch : Way::alone;
}

// Hands file `index`, its slot written, over to the caller, and wakes the
// caller if it waits for it.
void publish(ReadAhead& ahead, std::size_t index)
{
    // Published before the caller's flag is looked at, and the caller sets
    // its flag before it looks at the slots: either it sees this file done
    // or this thread sees it waiting.
    slot_of(ahead, index).ready.store(index);
    if (!ahead.caller_waits.load())
        return;
    std::size_t waited = ahead.waiting_for.load();
    if (index - waited < wake_batch && caller_may_go_on(ahead, waited)) {
        std::lock_guard lock(ahead.mutex);
        ahead.work_done.notify_one();
    }
}

// Takes up the next run of up to `most` files of the window. Returns false
// when the window is full.
bool claim_run(ReadAhead& ahead, std::size_t most, std::size_t& first, std::size_t& count)
{
    first = ahead.next_claim.load();
    do {
        std::size_t end = window_end(ahead);
        if (first >= end)
            return false;
        count = std::min(most, end - first);
    } while (!ahead.next_claim.compare_exchange_weak(first, first + count));
    return true;
}

void take_batched_file(void* context, std::size_t place)
{
    auto& run = *static_cast<ReadAheadRun*>(context);
    std::size_t index = run.indexes[place];
    ReadAheadSlot& slot = slot_of(*run.ahead, index);
    slot.filled = run.files[place].read;
    slot.size = run.files[place].size;
    publish(*run.ahead, index);
}

// Reads files `first` to `first + count`, taken up: those left to the
// caller are handed over at once, large ones one at a time, so that they
// hand over their descriptors, and the rest as one batch.
void fill_run(ReadAheadRun& run, std::size_t first, std::size_t count)
{
    ReadAhead& ahead = *run.ahead;
    std::size_t batched = 0;
    for (std::size_t index = first; index < first + count; ++index) {
        ReadAheadSlot& slot = slot_of(ahead, index);
        slot.file_open = false;
        slot.filled = false;
        Way way = way_to_read(ahead, index);
        if (way == Way::alone)
            slot.filled = fill_slot(slot, (*ahead.paths)[index]);
        if (way != Way::batch) {
            publish(ahead, index);
            continue;
        }
        run.files[batched] = {.path = &(*ahead.paths)[index], .bytes = slot.bytes};
        run.indexes[batched++] = index;
    }
    read_file_batch(run.batch, std::span(run.files.data(), batched), {take_batched_file, &run});
}

void read_ahead_worker(ReadAhead& ahead)
{
    ReadAheadRun run;
    run.ahead = &ahead;
    run.batch = open_file_batch(read_ahead_longest_run);
    if (!ahead.listed_plain.empty() && !ahead.lister_taken.exchange(true))
        ahead.listed_to = mark_listed_plain_files(*ahead.paths, ahead.listed_to, ahead.list_from,
                                                  ahead.listed_plain, ahead.stopping);
    while (!ahead.stopping.load()) {
        std::size_t first = 0;
        std::size_t count = 0;
        if (claim_run(ahead, ahead.run_length.load(), first, count)) {
            fill_run(run, first, count);
            continue;
        }
        // The flag is raised before the room is looked at, and the caller
        // frees room before it looks at the flag: either this worker sees
        // the room or the caller sees the flag, and wakes it under the lock.
        std::unique_lock lock(ahead.mutex);
        for (;;) {
            ahead.workers_sleep.store(true);
            if (ahead.stopping.load() || room(ahead) > 0)
                break;
            ahead.work_to_do.wait(lock);
        }
    }
}

// Sleeps until file `index` and the few after it are done.
void wait_for(ReadAhead& ahead, std::size_t index)
{
    std::unique_lock lock(ahead.mutex);
    ahead.waiting_for.store(index);
    ahead.caller_waits.store(true);
    ahead.work_done.wait(lock, [&ahead, index] { return caller_may_go_on(ahead, index); });
    ahead.caller_waits.store(false);
}

// Makes room for the window from file `first` on. Returns false when the
// memory for it is not to be had.
bool open_window(ReadAhead& ahead, std::size_t first, std::size_t window)
{
    // One block for all the buffers, which the system maps at once: only
    // the pages the files fill are ever touched. It is allocated as zeros,
    // which costs nothing for a block of fresh pages, so that tools that
    // look for reads of memory never written, such as valgrind, see every
    // byte the kernel's queue puts there behind their backs as written.
    ahead.buffers.reset(static_cast<unsigned char*>(std::calloc(window, input_buffer_size)));
    if (!ahead.buffers)
        return false;
    ahead.slots = std::vector<ReadAheadSlot>(window);
    for (std::size_t i = 0; i < window; ++i)
        ahead.slots[i].bytes = ahead.buffers.get() + i * input_buffer_size;
    ahead.next_claim.store(first);
    ahead.first_kept.store(first);
    return true;
}

// Starts workers until there are `count`. A system short of threads (a
// process limit, a small address space) reads with those it gave, or one
// file at a time.
void add_workers(ReadAhead& ahead, unsigned count)
{
    // Runs short enough that every worker finds one in the window.
    ahead.run_length.store(std::clamp<std::size_t>(ahead.slots.size() / (2 * std::size_t{count}), 1,
                                                   read_ahead_longest_run));
    while (ahead.workers.size() < count) {
        try {
            ahead.workers.emplace_back(read_ahead_worker, std::ref(ahead));
        } catch (const std::system_error&) {
            break;
        }
    }
    if (ahead.workers.empty()) {
        ahead.slots.clear();
        ahead.buffers.reset();
    }
}

// Starts the plan's workers for files in memory, the window opening at the
// caller's file, `first`, while the caller holds no slot.
void start_memory_workers(ReadAhead& ahead, std::size_t first)
{
    const ReadAheadPlan& plan = ahead.armed;
    if (plan.window > 0 && plan.threads > 0 && open_window(ahead, first, plan.window)) {
        ahead.caller_share.store(plan.caller_share);
        add_workers(ahead, plan.threads);
    }
}

}  // namespace

void start_read_ahead(ReadAhead& ahead, const std::vector<std::string>& paths, std::size_t first,
                      const ReadAheadPlan& plan)
{
    ahead.paths = &paths;
    if (first >= paths.size())
        return;
    ahead.armed = plan;
    if (plan.list_from > 0 && paths.size() - first >= plan.list_from) {
        ahead.listed_plain = std::vector<std::atomic<bool>>(paths.size());
        ahead.listed_to = first;
        ahead.list_from = plan.list_from;
    }
    if (plan.threads_after == 0)
        start_memory_workers(ahead, first);
    else
        ahead.workers_from = first + plan.threads_after;
}

void note_read(ReadAhead& ahead, std::size_t index, std::chrono::steady_clock::duration took)
{
    if (ahead.armed.disk_window == 0 || took <= ahead.armed.slow_read)
        return;
    // Two close together, with bytes fetched from storage since the first:
    // a slow read may only have lost its processor for a while, to another
    // program or to a worker, while on a cold disk the files that share a
    // block of metadata with a slow one come quickly.
    std::optional<std::uint64_t> fetched = ahead.armed.fetched_so_far();
    bool close =
        ahead.last_slow_read != 0 &&
        std::max(index, ahead.last_slow_read) - std::min(index, ahead.last_slow_read) <= 16;
    bool from_storage =
        !fetched || !ahead.fetched_at_slow_read || *fetched > *ahead.fetched_at_slow_read;
    ahead.last_slow_read = index;
    ahead.fetched_at_slow_read = fetched;
    ahead.reads_wait = ahead.reads_wait || (close && from_storage);
}

namespace {

// The workers for files in memory, if any, make way for those for the
// disk, with a wider window: files come back from a disk out of order, and
// one slow read must not hold the others up. Each name is looked at again,
// listed or not: the look brings a file's metadata in from the disk in the
// worker's own thread, sixteen at a time, where the queue's open of a file
// not in memory would wait in the kernel's few threads (a cold run took
// twice as long). The window opens at the caller's file, `first`, while the
// caller holds no slot.
void start_disk_workers(ReadAhead& ahead, std::size_t first)
{
    ReadAheadPlan plan = ahead.armed;
    stop_read_ahead(ahead);
    if (plan.disk_window == 0 || plan.disk_threads == 0)
        return;
    ahead.reads_wait = false;
    ahead.stopping.store(false);
    ahead.caller_helps = false;
    ahead.caller_share.store(0);
    ahead.listed_plain.clear();
    if (open_window(ahead, first, plan.disk_window))
        add_workers(ahead, plan.disk_threads);
}

}  // namespace

bool take_read_ahead(ReadAhead& ahead, std::size_t index, ByteInput& input)
{
    if (ahead.reads_wait)
        start_disk_workers(ahead, index);
    else if (index == ahead.workers_from)
        start_memory_workers(ahead, index);
    if (ahead.slots.empty())
        return false;
    ahead.first_kept.store(index);
    // Sleeping workers are woken once a quarter of the window is free, not
    // for every file the caller takes, so that they work in runs; and once
    // only, not again for every file until they have woken up and taken the
    // lock, which had cost a system call and a wait for the lock each time.
    if (ahead.workers_sleep.load() &&
        room(ahead) >= std::max<std::size_t>(ahead.slots.size() / 4, 1)) {
        std::lock_guard lock(ahead.mutex);
        ahead.workers_sleep.store(false);
        ahead.work_to_do.notify_all();
    }
    std::size_t unclaimed = index;
    if (ahead.next_claim.compare_exchange_strong(unclaimed, index + 1))
        return false;  // nobody has taken it up: the caller reads it itself

    ReadAheadSlot& slot = slot_of(ahead, index);
    std::size_t later = 0;
    std::size_t count = 0;
    while (slot.ready.load() != index && ahead.caller_helps &&
           claim_run(ahead, ahead.run_length.load(), later, count)) {
        // Rather than sleep until a worker is done, which costs a processor
        // switch or two per file when the files are in memory, the caller
        // reads a run of later files itself, as a worker does; but not once
        // reads wait on the disk, where such a run would hold up the files
        // it is waiting for.
        ReadAheadRun& run = ahead.caller_run;
        if (!run.ahead) {
            run.ahead = &ahead;
            run.batch = open_file_batch(read_ahead_longest_run);
        }
        auto start = std::chrono::steady_clock::now();
        fill_run(run, later, count);
        note_read(ahead, later, std::chrono::steady_clock::now() - start);
    }
    if (slot.ready.load() != index)
        wait_for(ahead, index);
    if (!slot.filled)
        return false;
    input.next = slot.bytes;
    input.end = input.next + slot.size;
    if (slot.file_open) {
        input.file = slot.file;
        input.has_file = true;
        slot.file_open = false;
    } else {
        input.memory_end = input.end;
    }
    return true;
}

bool stop_read_ahead(ReadAhead& ahead)
{
    ahead.armed = {};
    ahead.reads_wait = false;
    if (ahead.slots.empty())
        return false;
    {
        std::lock_guard lock(ahead.mutex);
        ahead.stopping.store(true);
    }
    ahead.work_to_do.notify_all();
    for (std::thread& worker : ahead.workers)
        worker.join();
    ahead.workers.clear();
    ahead.lister_taken.store(false);
    for (const ReadAheadSlot& slot : ahead.slots) {
        if (slot.filled && slot.file_open)
            close_file(slot.file);
    }
    ahead.slots.clear();
    ahead.buffers.reset();
    ahead.caller_run.ahead = nullptr;
    ahead.caller_run.batch = {};
    return true;
}

ReadAhead::~ReadAhead()
{
    stop_read_ahead(*this);
}

}  // namespace tolvex
