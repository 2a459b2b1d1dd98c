#include <algorithm>
#include <new>
#include <system_error>

#include "fileio/descriptor_names.h"
#include "fileio/listed_plain_files.h"
#include "fileio/read_ahead_state.h"

namespace tolvex {

namespace {

// Reads the first buffer-full of a plain file into `slot`, and keeps its
// descriptor for the caller whenever bytes came: only a read that gives
// none is the end of a file, and some plain files (the kernel's own) give a
// few KiB a read. Returns false, holding nothing, when the file is to be
// left to the caller.
bool fill_slot(ReadAheadSlot& slot, const std::string& path)
{
    if (open_file_now(path, slot.file) != 0)
        return false;
    int error = 0;
    long n = read_file(slot.file, slot.bytes, input_buffer_size, error);
    if (n < 0) {
        close_file(slot.file);
        return false;
    }
    slot.size = static_cast<std::size_t>(n);
    slot.file_open = n > 0;
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
Way way_to_read(const ReadAhead& ahead, std::size_t index, std::uint64_t& size)
{
    size = 0;
    if (!ahead.listed_plain.empty() && ahead.listed_plain[index].load(std::memory_order_relaxed))
        return Way::batch;
    unsigned share = ahead.caller_share.load(std::memory_order_relaxed);
    if (share != 0 && index % share == 0)
        return Way::caller;
    const std::string& path = (*ahead.paths)[index];
    if (may_name_a_descriptor(path))
        return Way::caller;
    size = plain_file_size(path);
    if (size == 0)
        return Way::caller;
    return size < input_buffer_size ? Way::batch : Way::alone;
}

void take_batched_file(void* context, std::size_t place)
{
    auto& run = *static_cast<WorkerRun*>(context);
    std::size_t index = run.indexes[place];
    ReadAheadSlot& slot = slot_of(*run.ahead, index);
    const BatchedFile& file = run.files[place];
    // A file that filled its buffer goes on past it, and its descriptor is
    // gone with the batch: it is read again alone, which keeps one, rather
    // than left to the caller's turn.
    if (file.full) {
        run.again[run.again_count++] = index;
        return;
    }
    // A file that gave fewer bytes than a look at its name said it holds
    // may give the rest a read at a time, and one that gave none may have
    // become something else since its folder was listed: its turn reads it.
    slot.filled = file.read && file.size > 0 && file.size >= run.sizes[place];
    slot.size = file.size;
    publish(*run.ahead, index);
}

// The lister's work: marks the names its folders list as plain files. Memory
// that runs out only ends the listing early: every mark made is true.
void list_folders(ReadAhead& ahead)
{
    try {
        ahead.listed_to =
            mark_listed_plain_files(*ahead.paths, ahead.listed_to, ahead.plan.list_from,
                                    ahead.listed_plain, ahead.stopping);
    } catch (const std::bad_alloc&) {
        return;
    }
}

void work(ReadAhead& ahead, WorkerRun& run)
{
    while (!ahead.stopping.load()) {
        std::size_t first = 0;
        std::size_t count = 0;
        if (claim_run(ahead, ahead.run_length.load(std::memory_order_relaxed), first, count)) {
            fill_run(run, first, count);
            continue;
        }
        std::unique_lock lock(ahead.mutex);
        for (;;) {
            ahead.workers_sleep.store(true);
            if (ahead.stopping.load() || room(ahead) > 0)
                break;
            ahead.work_to_do.wait(lock);
        }
    }
}

// A worker lets nothing escape its thread: what it cannot leave to the
// caller file by file (the system refusing a lock, say) ends reading ahead
// for the run, and the caller reads every file itself.
void read_ahead_worker(ReadAhead& ahead) noexcept
{
    WorkerRun run;
    run.ahead = &ahead;
    try {
        // One thread lists the folders and ends: a worker of its own would
        // take a processor from the caller once the listing is done.
        if (!ahead.listed_plain.empty() && !ahead.lister_taken.exchange(true)) {
            list_folders(ahead);
            return;
        }
        run.batch = open_file_batch(read_ahead_longest_run);
        work(ahead, run);
    } catch (...) {
        ahead.failed.store(true);
        std::lock_guard lock(ahead.mutex);
        ahead.work_done.notify_one();
    }
}

}  // namespace

void fill_run(WorkerRun& run, std::size_t first, std::size_t count)
{
    ReadAhead& ahead = *run.ahead;
    std::size_t batched = 0;
    for (std::size_t index = first; index < first + count; ++index) {
        ReadAheadSlot& slot = slot_of(ahead, index);
        slot.file_open = false;
        slot.filled = false;
        std::uint64_t size = 0;
        Way way = way_to_read(ahead, index, size);
        if (way == Way::alone)
            slot.filled = fill_slot(slot, (*ahead.paths)[index]);
        if (way != Way::batch) {
            publish(ahead, index);
            continue;
        }
        run.files[batched] = {.path = &(*ahead.paths)[index], .bytes = slot.bytes};
        run.sizes[batched] = size;
        run.indexes[batched++] = index;
    }
    run.again_count = 0;
    read_file_batch(run.batch, std::span(run.files.data(), batched), {take_batched_file, &run});
    for (std::size_t i = 0; i < run.again_count; ++i) {
        std::size_t index = run.again[i];
        ReadAheadSlot& slot = slot_of(ahead, index);
        slot.filled = fill_slot(slot, (*ahead.paths)[index]);
        publish(ahead, index);
    }
}

void add_workers(ReadAhead& ahead, unsigned count)
{
    // Runs short enough that every worker finds one in the window.
    ahead.run_length.store(std::clamp<std::size_t>(ahead.slots.size() / (2 * std::size_t{count}), 1,
                                                   read_ahead_longest_run));
    std::size_t threads = count + (ahead.listed_plain.empty() ? 0 : 1);
    // A system short of threads (a process limit, a small address space)
    // reads with those it gave, or one file at a time.
    try {
        ahead.workers.reserve(threads);
        while (ahead.workers.size() < threads)
            ahead.workers.emplace_back(read_ahead_worker, std::ref(ahead));
    } catch (const std::system_error&) {
    } catch (const std::bad_alloc&) {
    }
    if (ahead.workers.empty())
        close_window(ahead);
}

bool stop_workers(ReadAhead& ahead)
{
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
    ahead.stopping.store(false);
    ahead.lister_taken.store(false);
    ahead.failed.store(false);
    close_window(ahead);
    ahead.caller_run.ahead = nullptr;
    ahead.caller_run.batch = {};
    return true;
}

}  // namespace tolvex
