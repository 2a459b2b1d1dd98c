#include "godfile/read_ahead.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <system_error>

namespace tolvex {

namespace {

// How long a read or a wait must take to count as one on the disk rather
// than on a processor: a file in the page cache takes a few microseconds.
constexpr auto disk_wait = std::chrono::microseconds(150);

// Below this many files a worker started at once costs about what it saves.
constexpr std::size_t files_worth_a_worker = 16;

}  // namespace

ReadAheadPlan default_read_ahead_plan(std::size_t file_count)
{
    if (file_count < 3)
        return {};
    // Files in the page cache cost processor time alone: one worker per
    // spare processor, and more would only queue for them. A few suffice,
    // since the caller's own work per file has no second taker. The caller
    // reads a share of the files itself, which spares it the look at the
    // name that reading ahead takes and keeps both processors busy.
    unsigned spare = 0;
    if (file_count >= files_worth_a_worker)
        spare = std::min(std::max(std::thread::hardware_concurrency(), 1u) - 1, 3u);
    return {.window = 256,
            .threads = spare,
            .caller_share = spare + 1,
            .disk_threads = 16,
            .slow_read = disk_wait};
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

// Takes up the next file of the window into `index`. Returns false when the
// window is full.
bool claim_next(ReadAhead& ahead, std::size_t& index)
{
    index = ahead.next_claim.load();
    do {
        if (index >= window_end(ahead))
            return false;
    } while (!ahead.next_claim.compare_exchange_weak(index, index + 1));
    return true;
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
    if (!is_plain_file(path) || open_file(path, slot.file) != 0)
        return false;
    int error = 0;
    long n = read_file(slot.file, slot.bytes.get(), input_buffer_size, error);
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

// Reads file `index`, taken up, into its slot, or leaves it to the caller
// if it is one of the caller's share, and wakes the caller if it waits for
// it.
void fill(ReadAhead& ahead, std::size_t index)
{
    ReadAheadSlot& slot = slot_of(ahead, index);
    unsigned share = ahead.caller_share.load();
    slot.filled = (share == 0 || index % share != 0) && fill_slot(slot, (*ahead.paths)[index]);
    // Published before the caller's flag is looked at, and the caller sets
    // its flag before it looks at the slots: either it sees this file done
    // or this thread sees it waiting.
    slot.ready.store(index);
    if (!ahead.caller_waits.load())
        return;
    std::size_t waited = ahead.waiting_for.load();
    if (index - waited < wake_batch && caller_may_go_on(ahead, waited)) {
        std::lock_guard lock(ahead.mutex);
        ahead.work_done.notify_one();
    }
}

void read_ahead_worker(ReadAhead& ahead)
{
    while (!ahead.stopping.load()) {
        std::size_t index = 0;
        if (claim_next(ahead, index)) {
            fill(ahead, index);
            continue;
        }
        std::unique_lock lock(ahead.mutex);
        ahead.idle_workers.fetch_add(1);
        ahead.work_to_do.wait(lock, [&ahead] { return ahead.stopping.load() || room(ahead) > 0; });
        ahead.idle_workers.fetch_sub(1);
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
    ahead.slots = std::vector<ReadAheadSlot>(window);
    for (ReadAheadSlot& slot : ahead.slots) {
        slot.bytes.reset(new (std::nothrow) unsigned char[input_buffer_size]);
        if (!slot.bytes) {
            ahead.slots.clear();
            return false;
        }
    }
    ahead.next_claim.store(first);
    ahead.first_kept.store(first);
    return true;
}

// Starts workers until there are `count`. A system short of threads (a
// process limit, a small address space) reads with those it gave, or one
// file at a time.
void add_workers(ReadAhead& ahead, unsigned count)
{
    while (ahead.workers.size() < count) {
        try {
            ahead.workers.emplace_back(read_ahead_worker, std::ref(ahead));
        } catch (const std::system_error&) {
            break;
        }
    }
    if (ahead.workers.empty())
        ahead.slots.clear();
}

}  // namespace

void start_read_ahead(ReadAhead& ahead, const std::vector<std::string>& paths, std::size_t first,
                      const ReadAheadPlan& plan)
{
    ahead.paths = &paths;
    if (plan.window == 0 || first >= paths.size())
        return;
    if (plan.disk_threads > plan.threads)
        ahead.armed = plan;
    if (plan.threads > 0 && open_window(ahead, first, plan.window)) {
        ahead.caller_share.store(plan.caller_share);
        add_workers(ahead, plan.threads);
    }
}

void note_read(ReadAhead& ahead, std::size_t index, std::chrono::steady_clock::duration took)
{
    if (ahead.armed.window == 0)
        return;
    // Two close together: a single slow read may only have lost its
    // processor for a while to another program, while on a cold disk the
    // files that share a block of metadata with a slow one come quickly.
    if (took <= ahead.armed.slow_read)
        return;
    bool close =
        ahead.last_slow_read != 0 &&
        std::max(index, ahead.last_slow_read) - std::min(index, ahead.last_slow_read) <= 16;
    ahead.last_slow_read = index;
    if (!close)
        return;
    ReadAheadPlan plan = ahead.armed;
    ahead.armed = {};
    ahead.caller_helps = false;
    ahead.caller_share.store(0);
    if (!ahead.slots.empty() ||
        (index + 1 < ahead.paths->size() && open_window(ahead, index + 1, plan.window)))
        add_workers(ahead, plan.disk_threads);
}

bool take_read_ahead(ReadAhead& ahead, std::size_t index, ByteInput& input)
{
    if (ahead.slots.empty())
        return false;
    ahead.first_kept.store(index);
    // Sleeping workers are woken once a quarter of the window is free, not
    // for every file the caller takes, so that they work in runs.
    if (ahead.idle_workers.load() > 0 &&
        room(ahead) >= std::max<std::size_t>(ahead.slots.size() / 4, 1)) {
        std::lock_guard lock(ahead.mutex);
        ahead.work_to_do.notify_all();
    }
    std::size_t unclaimed = index;
    if (ahead.next_claim.compare_exchange_strong(unclaimed, index + 1))
        return false;  // nobody has taken it up: the caller reads it itself

    ReadAheadSlot& slot = slot_of(ahead, index);
    std::size_t later = 0;
    while (slot.ready.load() != index && ahead.caller_helps && claim_next(ahead, later)) {
        // Rather than sleep until a worker is done, which costs a processor
        // switch or two per file when the files are in memory, the caller
        // reads a later file itself; but not once reads wait on the disk,
        // where one such read would hold up the files it is waiting for.
        auto start = std::chrono::steady_clock::now();
        fill(ahead, later);
        note_read(ahead, later, std::chrono::steady_clock::now() - start);
    }
    if (slot.ready.load() != index)
        wait_for(ahead, index);
    if (!slot.filled)
        return false;
    input.next = slot.bytes.get();
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
    for (const ReadAheadSlot& slot : ahead.slots) {
        if (slot.filled && slot.file_open)
            close_file(slot.file);
    }
    ahead.slots.clear();
    return true;
}

ReadAhead::~ReadAhead()
{
    stop_read_ahead(*this);
}

}  // namespace tolvex
