#include "fileio/file_batch.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <liburing.h>
#include <new>

#include "fileio/byte_input.h"

namespace tolvex {

// Each file is a chain of three requests on the kernel's I/O queue: open
// into one of the queue's own descriptors, read, close. The files hold
// none of the process's descriptors, so its limit stays the caller's alone.
struct FileBatchQueue {
    io_uring ring{};
    std::unique_ptr<bool[]> announced;  // whether each file's done has been called
    // Given up: later batches read one file after another. The queue stays
    // mapped till the batch goes, with its thread's end, so that no other
    // thread's queue is mapped where it was while this thread still runs
    // (liburing maps with system calls of its own, which ThreadSanitizer
    // cannot follow).
    bool given_up = false;
};

void close_file_batch_queue(FileBatchQueue* queue)
{
    io_uring_queue_exit(&queue->ring);
    delete queue;
}

FileBatch open_file_batch(std::size_t capacity)
{
    std::unique_ptr<FileBatchQueue> queue(new (std::nothrow) FileBatchQueue);
    if (!queue)
        return {};
    // A kernel without the queue, or a container that forbids it, leaves
    // the batch to read one file after another.
    if (io_uring_queue_init(static_cast<unsigned>(3 * capacity), &queue->ring, 0) != 0)
        return {};
    if (io_uring_register_files_sparse(&queue->ring, static_cast<unsigned>(capacity)) != 0) {
        io_uring_queue_exit(&queue->ring);
        return {};
    }
    // Memory that is not to be had leaves one file after another too.
    queue->announced.reset(new (std::nothrow) bool[capacity]());
    if (!queue->announced) {
        io_uring_queue_exit(&queue->ring);
        return {};
    }
    FileBatch batch;
    batch.queue.reset(queue.release());
    return batch;
}

namespace {

enum Step : std::uint64_t { open_step, read_step, close_step };

std::uint64_t tag(std::size_t place, Step step)
{
    return place * 4 + step;
}

void announce(FileBatchQueue& queue, std::size_t place, BatchedFileDone done)
{
    if (queue.announced[place])
        return;
    queue.announced[place] = true;
    done.call(done.context, place);
}

void take_completion(FileBatchQueue& queue, std::span<BatchedFile> files, const io_uring_cqe& cqe,
                     BatchedFileDone done)
{
    std::size_t place = cqe.user_data / 4;
    BatchedFile& file = files[place];
    switch (cqe.user_data % 4) {
    case open_step:
        if (cqe.res < 0)
            announce(queue, place, done);  // the read and close come back cancelled
        break;
    case read_step:
        file.read = cqe.res >= 0 && static_cast<std::size_t>(cqe.res) < input_buffer_size;
        file.size = file.read ? static_cast<std::size_t>(cqe.res) : 0;
        file.full = static_cast<std::size_t>(cqe.res) == input_buffer_size;
        announce(queue, place, done);
        break;
    default:
        break;
    }
}

}  // namespace

void read_file_batch(FileBatch& batch, std::span<BatchedFile> files, BatchedFileDone done)
{
    if (!batch.queue || batch.queue->given_up) {
        read_files_one_by_one(files, done);
        return;
    }
    FileBatchQueue& queue = *batch.queue;
    io_uring& ring = queue.ring;
    for (std::size_t place = 0; place < files.size(); ++place) {
        BatchedFile& file = files[place];
        queue.announced[place] = false;
        auto slot = static_cast<unsigned>(place);
        io_uring_sqe* sqe = io_uring_get_sqe(&ring);
        // As open_file_now does: no open waits for ever in the queue.
        io_uring_prep_openat_direct(sqe, AT_FDCWD, file.path->c_str(),
                                    O_RDONLY | O_NONBLOCK | O_NOCTTY, 0, slot);
        sqe->flags |= IOSQE_IO_LINK;
        io_uring_sqe_set_data64(sqe, tag(place, open_step));
        sqe = io_uring_get_sqe(&ring);
        io_uring_prep_read(sqe, static_cast<int>(slot), file.bytes, input_buffer_size, 0);
        // Within a chain a read of fewer bytes than asked for counts as a
        // failure, which a plain link would pass on to the close.
        sqe->flags |= IOSQE_FIXED_FILE | IOSQE_IO_HARDLINK;
        io_uring_sqe_set_data64(sqe, tag(place, read_step));
        sqe = io_uring_get_sqe(&ring);
        io_uring_prep_close_direct(sqe, slot);
        io_uring_sqe_set_data64(sqe, tag(place, close_step));
    }

    std::size_t submitted = 0;
    std::size_t completed = 0;
    std::size_t requests = 3 * files.size();
    bool broken = false;
    while (completed < submitted || (!broken && submitted < requests)) {
        int n = broken || submitted == requests ? 0 : io_uring_submit_and_wait(&ring, 1);
        if (n > 0) {
            submitted += static_cast<std::size_t>(n);
        } else if (completed == submitted ||
                   (n < 0 && n != -EINTR && n != -EAGAIN && n != -EBUSY)) {
            // A refusal for the moment (a signal, completions to be taken
            // first) passes as requests in flight come back; with none in
            // flight, nothing makes it pass (a filter may refuse every call).
            // What was handed to the kernel is still waited for.
            broken = true;
        }
        io_uring_cqe* cqe = nullptr;
        if (n <= 0 && completed < submitted && io_uring_wait_cqe(&ring, &cqe) < 0)
            continue;
        unsigned head = 0;
        unsigned seen = 0;
        io_uring_for_each_cqe(&ring, head, cqe)
        {
            take_completion(queue, files, *cqe, done);
            ++seen;
        }
        io_uring_cq_advance(&ring, seen);
        completed += seen;
    }
    if (broken) {
        // Requests never handed over stay in the queue, which is given up:
        // their files are left unread, and later batches read one by one.
        for (std::size_t place = 0; place < files.size(); ++place)
            announce(queue, place, done);
        queue.given_up = true;
    }
}

}  // namespace tolvex
