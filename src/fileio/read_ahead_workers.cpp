#include <algorithm>
#include <new>
#include <system_error>

#include "fileio/descriptor_names.h"
#include "fileio/listed_plain_files.h"
#include "fileio/read_ahead_state.h"

namespace tolvex {

namespace {

// Reads the first buffer-full of the plain file found into `slot`, and
// keeps its descriptor for the caller whenever bytes came: only a read that
// gives none is the end of a file, and some plain files (the kernel's own)
// give a few KiB a read. Returns false, holding nothing, when the file is
// to be left to the caller.
bool fill_slot(ReadAheadSlot& slot, const std::string& path, const FoundFile& found)
{
    if (open_found_file(path, found, slot.file) != 0)
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

// How file `index` is to be read: ahead only if it is found to be a plain
// file, and then alone if it fills a buffer. A plain file with nothing in
// it (as /proc's seem), a name that may be one of the process's own
// descriptors and the caller's share (unless the folder's listing says the
// queue reads it for less) are left to the caller.
Way way_to_read(const ReadAhead& ahead, std::size_t index, FoundFile& found)
{
    bool listed =
        !ahead.listed_plain.empty() && ahead.listed_plain[index].load(std::memory_order_relaxed);
    unsigned share = ahead.caller_share.load(std::memory_order_relaxed);
    const std::string& path = (*ahead.paths)[index];
    if ((!listed && share != 0 && index % share == 0) || may_name_a_descriptor(path) ||
        !find_plain_file(path, found))
        return Way::caller;
    if (found.size == 0 && !listed) {
        let_go(found);
        return Way::caller;
    }
    return found.size < input_buffer_size ? Way::batch : Way::alone;
}

void take_batched_file(void* context, std::size_t place)
{
    auto& run = *static_cast<WorkerRun*>(context);
    std::size_t index = run.indexes[place];
    ReadAheadSlot& slot = slot_of(*run.ahead, index);
    BatchedFile& file = run.files[place];
    // A file that gave fewer bytes than it was found to hold may give the
    // rest a read at a time: its turn reads it whole.
    slot.filled = file.read && file.size >= file.found.size;
    slot.size = file.size;
    let_go(file.found);
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
        try {
            run.batch = open_file_batch(read_ahead_longest_run);
        } catch (const std::bad_alloc&) {
            run.batch = {};  // one file after another
        }
        if (!ahead.listed_plain.empty() && !ahead.lister_taken.exchange(true))
            list_folders(ahead);
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
        FoundFile found;
        Way way = way_to_read(ahead, index, found);
        if (way == Way::alone) {
            slot.filled = fill_slot(slot, (*ahead.paths)[index], found);
            let_go(found);
        }
        if (way != Way::batch) {
            publish(ahead, index);
            continue;
        }
        run.files[batched] = {.path = &(*ahead.paths)[index], .found = found, .bytes = slot.bytes};
        run.indexes[batched++] = index;
    }
    read_file_batch(run.batch, std::span(run.files.data(), batched), {take_batched_file, &run});
}

void add_workers(ReadAhead& ahead, unsigned count)
{
    // Runs short enough that every worker finds one in the window.
    ahead.run_length.store(std::clamp<std::size_t>(ahead.slots.size() / (2 * std::size_t{count}), 1,
                                                   read_ahead_longest_run));
    // A system short of threads (a process limit, a small address space)
    // reads with those it gave, or one file at a time.
    try {
        ahead.workers.reserve(count);
        while (ahead.workers.size() < count)
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
