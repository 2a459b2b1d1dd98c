#include "fileio/file_batch.h"

#include "fileio/byte_input.h"
#include "fileio/file.h"

namespace tolvex {

void read_files_one_by_one(std::span<BatchedFile> files, BatchedFileDone done)
{
    for (std::size_t place = 0; place < files.size(); ++place) {
        BatchedFile& file = files[place];
        FileHandle handle;
        if (open_file_now(*file.path, handle) == 0) {
            int error = 0;
            long n = read_file(handle, file.bytes, input_buffer_size, error);
            close_file(handle);
            file.read = n >= 0 && static_cast<std::size_t>(n) < input_buffer_size;
            file.size = file.read ? static_cast<std::size_t>(n) : 0;
            file.full = static_cast<std::size_t>(n) == input_buffer_size;
        }
        done.call(done.context, place);
    }
}

}  // namespace tolvex
