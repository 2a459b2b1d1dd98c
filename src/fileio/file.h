#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvex {

// The platform's file handle for binary reading: open, read, close. Every
// call reports failure through a system error number, never by throwing.
struct FileHandle {
    int descriptor = -1;
};

// Opens `path` for binary reading. Returns 0, or the error number of the
// failed open.
int open_file(const std::string& path, FileHandle& file);

// Reads up to `size` bytes. Returns the count (0 at end of file), or -1 with
// the error number in `error`.
long read_file(FileHandle file, unsigned char* buffer, std::size_t size, int& error);

void close_file(FileHandle file);

// Opens `path` as open_file does, for reading ahead: the open never waits
// (a FIFO with no writer opens at once, and a terminal does not become the
// process's own), so no thread can wait in it for ever.
int open_file_now(const std::string& path, FileHandle& file);

// Whether the open file is a plain file, not a FIFO, a device or a folder.
bool is_plain_file(FileHandle file);

// The size of the plain file `path` names, found out without opening it;
// 0 for a FIFO, a device, a directory or an empty file (as /proc's are),
// and for a name that cannot be looked at.
std::uint64_t plain_file_size(const std::string& path);

// The text that follows "NAME: " when `path` could not be read because of
// `error`, in the words the platform's own error report uses.
std::string file_error_text(const std::string& path, int error);

}  // namespace tolvex
