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

// The size of the plain file `path` names, found out without opening it;
// 0 for a FIFO, a device, a directory or an empty file (as /proc's are),
// and for a name that cannot be looked at.
std::uint64_t plain_file_size(const std::string& path);

// Calls `found` with the name of each plain file that the folder
// `directory` ("" for the current one) lists, opening none of them, until
// `found` returns false or `most_entries` entries have been looked at. It
// finds none where the listing does not tell plain files apart, or where its
// plain files may be made up when read (as /proc's are): the file systems
// that keep files on storage (ext4, XFS, Btrfs, FAT) or in memory (tmpfs)
// are trusted, others are not, and Windows lists none. A name something is
// mounted on is left out, since the listing shows what lies beneath.
struct PlainFileFound {
    bool (*call)(void* context, std::string_view name) = nullptr;
    void* context = nullptr;
};
void list_plain_files(const std::string& directory, std::size_t most_entries, PlainFileFound found);

// Whether list_plain_files finds any on this system.
extern const bool listings_tell_plain_files;

// How many bytes the process has had fetched from storage so far, counting
// none that came from the system's cache; nothing where the system keeps
// no such count.
std::optional<std::uint64_t> bytes_fetched_from_storage();

// The text that follows "NAME: " when `path` could not be read because of
// `error`, in the words the platform's own error report uses.
std::string file_error_text(const std::string& path, int error);

}  // namespace tolvex
