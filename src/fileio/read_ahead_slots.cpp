#include <algorithm>
#include <new>

#include "fileio/read_ahead_state.h"

namespace tolvex {

namespace {

// How many files the caller, waiting for its own, lets the workers finish
// before it is woken: on a busy machine each waking costs the wait for a
// processor, so it pays to find a few files ready at once.
constexpr std::size_t wake_batch = 8;

// The file past the last one that may be taken up now.
std::size_t window_end(const ReadAhead& ahead)
{
    return std::min(ahead.first_kept.load() + ahead.slots.size(), ahead.paths->size());
}

// Whether the caller may go on: file `index` is done, or something went
// wrong, and so are the few after it that are taken up, all of which may be
// short of the batch at the end of the window.
bool caller_may_go_on(ReadAhead& ahead, std::size_t index)
{
    if (ahead.failed.load())
        return true;
    std::size_t end = std::min(index + wake_batch, ahead.next_claim.load());
    for (std::size_t i = index; i < end; ++i) {
        if (slot_of(ahead, i).ready.load() != i)
            return false;
    }
    return true;
}

}  // namespace

ReadAheadSlot& slot_of(ReadAhead& ahead, std::size_t index)
{
    return ahead.slots[index % ahead.slots.size()];
}

std::size_t room(const ReadAhead& ahead)
{
    std::size_t end = window_end(ahead);
    std::size_t next = ahead.next_claim.load();
    return end > next ? end - next : 0;
}

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

void publish(ReadAhead& ahead, std::size_t index)
{
    slot_of(ahead, index).ready.store(index);
    if (!ahead.caller_waits.load())
        return;
    std::size_t waited = ahead.waiting_for.load();
    if (index - waited < wake_batch && caller_may_go_on(ahead, waited)) {
        std::lock_guard lock(ahead.mutex);
        ahead.work_done.notify_one();
    }
}

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
    try {
        ahead.slots = std::vector<ReadAheadSlot>(window);
    } catch (const std::bad_alloc&) {
        ahead.buffers.reset();
        return false;
    }
    for (std::size_t i = 0; i < window; ++i)
        ahead.slots[i].bytes = ahead.buffers.get() + i * input_buffer_size;
    ahead.next_claim.store(first);
    ahead.first_kept.store(first);
    return true;
}

void close_window(ReadAhead& ahead)
{
    for (std::size_t i = 0; i < ahead.slots.size(); ++i) {
        // A descriptor handed over to the caller is the caller's to close.
        const ReadAheadSlot& slot = ahead.slots[i];
        if (slot.filled && slot.file_open)
            close_file(slot.file);
    }
    ahead.slots = std::vector<ReadAheadSlot>();
    ahead.buffers.reset();
}

void wake_workers_for_room(ReadAhead& ahead)
{
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
}

bool wait_for(ReadAhead& ahead, std::size_t index)
{
    std::unique_lock lock(ahead.mutex);
    ahead.waiting_for.store(index);
    ahead.caller_waits.store(true);
    ahead.work_done.wait(lock, [&ahead, index] { return caller_may_go_on(ahead, index); });
    ahead.caller_waits.store(false);
    return !ahead.failed.load();
}

bool hand_over(ReadAhead& ahead, std::size_t index, ByteInput& input)
{
    ReadAheadSlot& slot = slot_of(ahead, index);
    if (!slot.filled)
        return false;
    input.next = slot.bytes;
    input.end = input.next + slot.size;
    if (slot.file_open) {
        input.file = slot.file;
        input.has_file = true;
        slot.file_open = false;  // the caller's now, and closed by it
    } else {
        input.memory_end = input.end;
    }
    return true;
}

}  // namespace tolvex
