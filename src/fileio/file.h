#pragma once

#include <array>
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

// Whether the open file is a plain file, not a FIFO, a device or a folder.
bool is_plain_file(FileHandle file);

// A plain file found at a name, not yet open for reading. What it is was
// judged on the file itself, not on its name: what opens later is that
// very file, whatever the name has come to mean in between.
struct FoundFile {
    int descriptor = -1;  // where the system gives one: it holds the file, not its bytes
    std::uint64_t size = 0;
};

// Finds the plain file that `path` names without opening it for reading,
// so that a FIFO's writer is not woken and no device's driver is called.
// Returns false, holding nothing, for anything else (a FIFO, a device, a
// folder) and for a name that cannot be looked at.
bool find_plain_file(const std::string& path, FoundFile& found);

// Opens for binary reading the file found at `path`. Returns 0, or the
// error number of the failed open.
int open_found_file(const std::string& path, const FoundFile& found, FileHandle& file);

// The name under which the file found at `path` opens for reading, for a
// queue that opens files by name; `room` holds it where it is not `path`.
const char* found_file_name(const std::string& path, const FoundFile& found,
                            std::array<char, 32>& room);

// Lets go of a found file.
void let_go(FoundFile& found);

// The text that follows "NAME: " when `path` could not be read because of
// `error`, in the words the platform's own error report uses.
std::string file_error_text(const std::string& path, int error);

}  // namespace tolvex
