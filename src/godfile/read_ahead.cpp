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

}  // namespace

ReadAheadPlan default_read_ahead_plan(std::size_t file_count)
{
    if (file_count < 3)
        return {};
    return {.window = 256, .threads = 16, .slow_read = disk_wait};
}

namespace {

ReadAheadSlot& slot_of(ReadAhead& ahead, std::size_t index)
{
    return ahead.slots[index % ahead.slots.size()];
}

std::size_t room(const ReadAhead& ahead)
{
    std::size_t end = std::min(ahead.first_kept + ahead.slots.size(), ahead.paths->size());
    return end > ahead.next_claim ? end - ahead.next_claim : 0;
}

// How many files the caller, waiting for its own, lets the workers finish
// before it is woken: on a busy machine each waking costs the wait for a
// processor, so it pays to find a few files ready at once.
constexpr std::size_t wake_batch = 8;

// Whether the caller's file and the few after it (those taken up) are done.
bool caller_may_go_on(ReadAhead& ahead)
{
    std::size_t end = std::min(ahead.waiting_for + wake_batch, ahead.next_claim);
    for (std::size_t i = ahead.waiting_for; i < end; ++i) {
        if (slot_of(ahead, i).state == ReadAheadSlot::State::reading)
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

// Takes up the next file and reads it into its slot, with the lock held
// before and after but not while reading.
void fill_next(ReadAhead& ahead, std::unique_lock<std::mutex>& lock)
{
    std::size_t index = ahead.next_claim++;
    ReadAheadSlot& slot = slot_of(ahead, index);
    slot.state = ReadAheadSlot::State::reading;
    lock.unlock();
    bool filled = fill_slot(slot, (*ahead.paths)[index]);
    lock.lock();
    slot.state = filled ? ReadAheadSlot::State::filled : ReadAheadSlot::State::dropped;
    if (ahead.caller_waits && index - ahead.waiting_for < wake_batch && caller_may_go_on(ahead))
        ahead.work_done.notify_one();
}

void read_ahead_worker(ReadAhead& ahead)
{
    std::unique_lock lock(ahead.mutex);
    for (;;) {
        while (!ahead.stopping && room(ahead) == 0) {
            ++ahead.idle_workers;
            ahead.work_to_do.wait(lock);
            --ahead.idle_workers;
        }
        if (ahead.stopping)
            return;
        fill_next(ahead, lock);
    }
}

}  // namespace

void start_read_ahead(ReadAhead& ahead, const std::vector<std::string>& paths, std::size_t first,
                      ReadAheadPlan plan)
{
    if (plan.window == 0 || plan.threads == 0 || first >= paths.size())
        return;
    ahead.paths = &paths;
    ahead.next_claim = first;
    ahead.first_kept = first;
    ahead.slots.resize(plan.window);
    for (ReadAheadSlot& slot : ahead.slots) {
        slot.bytes.reset(new (std::nothrow) unsigned char[input_buffer_size]);
        if (!slot.bytes) {
            ahead.slots.clear();
            return;
        }
    }
    // A system short of threads (a process limit, a small address space)
    // reads with those it gave, or one file at a time.
    for (unsigned i = 0; i < plan.threads; ++i) {
        try {
            ahead.workers.emplace_back(read_ahead_worker, std::ref(ahead));
        } catch (const std::system_error&) {
            break;
        }
    }
    if (ahead.workers.empty())
        ahead.slots.clear();
}

void arm_read_ahead(ReadAhead& ahead, const std::vector<std::string>& paths, ReadAheadPlan plan)
{
    ahead.paths = &paths;
    ahead.armed = plan;
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
    bool close = ahead.last_slow_read != 0 && index - ahead.last_slow_read <= 16;
    ahead.last_slow_read = index;
    if (!close)
        return;
    ReadAheadPlan plan = ahead.armed;
    ahead.armed = {};
    start_read_ahead(ahead, *ahead.paths, index + 1, plan);
}

bool take_read_ahead(ReadAhead& ahead, std::size_t index, ByteInput& input)
{
    if (ahead.slots.empty())
        return false;
    std::unique_lock lock(ahead.mutex);
    ahead.first_kept = index;
    // Sleeping workers are woken once a quarter of the window is free, not
    // for every file the caller takes, so that they work in runs.
    if (ahead.idle_workers > 0 && room(ahead) >= std::max<std::size_t>(ahead.slots.size() / 4, 1))
        ahead.work_to_do.notify_all();
    if (index >= ahead.next_claim) {
        ahead.next_claim = index + 1;
        return false;
    }
    ReadAheadSlot& slot = slot_of(ahead, index);
    while (slot.state == ReadAheadSlot::State::reading && ahead.caller_helps && room(ahead) > 0) {
        // Rather than sleep until a worker is done, which costs a processor
        // switch or two per file when the files are in memory, the caller
        // reads a later file itself; but not once one such read has waited
        // on the disk, which would hold up the files it is waiting for.
        auto start = std::chrono::steady_clock::now();
        fill_next(ahead, lock);
        if (std::chrono::steady_clock::now() - start > disk_wait)
            ahead.caller_helps = false;
    }
    if (slot.state == ReadAheadSlot::State::reading) {
        ahead.caller_waits = true;
        ahead.waiting_for = index;
        ahead.work_done.wait(lock, [&ahead] { return caller_may_go_on(ahead); });
        ahead.caller_waits = false;
    }
    if (slot.state != ReadAheadSlot::State::filled)
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
        ahead.stopping = true;
    }
    ahead.work_to_do.notify_all();
    for (std::thread& worker : ahead.workers)
        worker.join();
    ahead.workers.clear();
    for (const ReadAheadSlot& slot : ahead.slots) {
        if (slot.state == ReadAheadSlot::State::filled && slot.file_open)
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
