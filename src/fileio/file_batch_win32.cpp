#include "fileio/file_batch.h"

namespace tolvex {

// Windows offers no queue that opens files, so a batch reads them one
// after another.
struct FileBatchQueue {};

void close_file_batch_queue(FileBatchQueue* queue)
{
    delete queue;
}

FileBatch open_file_batch(std::size_t)
{
    return {};
}

void read_file_batch(FileBatch&, std::span<BatchedFile> files, BatchedFileDone done)
{
    read_files_one_by_one(files, done);
}

}  // namespace tolvex
