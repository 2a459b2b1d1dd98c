#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>

namespace tolvex {

// Reading the whole of many small files with a few system calls between
// them: each file is opened, read once and closed again by the system, a
// batch at a time, and from a disk they are all in flight together. Where
// the system has no such queue, or forbids it (a container may), the files
// are read one after another; the results are the same.

struct FileBatchQueue;  // the system's queue
void close_file_batch_queue(FileBatchQueue* queue);
struct FileBatchQueueCloser {
    void operator()(FileBatchQueue* queue) const { close_file_batch_queue(queue); }
};

struct FileBatch {
    std::unique_ptr<FileBatchQueue, FileBatchQueueCloser> queue;  // none: one after another
};

// A batch for up to `capacity` files at a time; one that reads one file
// after another where the queue or the memory for it is not to be had.
FileBatch open_file_batch(std::size_t capacity);

struct BatchedFile {
    const std::string* path = nullptr;
    // Room for input_buffer_size bytes, which the program must see as
    // written already (the system's queue fills it behind the back of tools
    // that check for reads of memory never written, such as valgrind).
    unsigned char* bytes = nullptr;
    // The whole file, fewer bytes than the room; or none when it could not
    // be read whole (it failed, or it filled the room and may go on).
    bool read = false;
    std::size_t size = 0;
    bool full = false;  // it filled the room
};

// Called as each file of a batch is done with, with its place in the batch.
struct BatchedFileDone {
    void (*call)(void* context, std::size_t place) = nullptr;
    void* context = nullptr;
};

// Reads `files`, at most the batch's capacity, calling `done` for each as
// it is read, in any order.
void read_file_batch(FileBatch& batch, std::span<BatchedFile> files, BatchedFileDone done);

// The same, one file after another, with the calls of file.h.
void read_files_one_by_one(std::span<BatchedFile> files, BatchedFileDone done);

}  // namespace tolvex
