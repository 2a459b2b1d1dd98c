#include "godfile/file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace tolvex {

int open_file(const std::string& path, FileHandle& file)
{
    file.descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return file.descriptor < 0 ? errno : 0;
}

long read_file(FileHandle file, unsigned char* buffer, std::size_t size, int& error)
{
    for (;;) {
        ssize_t n = ::read(file.descriptor, buffer, size);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno != EINTR) {
            error = errno;
            return -1;
        }
    }
}

void close_file(FileHandle file)
{
    ::close(file.descriptor);
}

std::uint64_t plain_file_size(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0)
        return 0;
    return static_cast<std::uint64_t>(status.st_size);
}

namespace {

// The file systems whose listings say which entries are plain files that
// hold their bytes, as opposed to pseudo file systems whose "plain" files
// are made up as they are read (/proc, /sys) or handed to a process (FUSE).
constexpr std::array<std::uint64_t, 9> trusted_file_systems{
    0xEF53,      // ext2, ext3, ext4
    0x58465342,  // XFS
    0x9123683E,  // Btrfs
    0xF2F52010,  // F2FS
    0x01021994,  // tmpfs
    0x858458F6,  // ramfs
    0x794C7630,  // overlay
    0x4D44,      // FAT
    0x2011BAB0,  // exFAT
};

struct CloseDirectory {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

}  // namespace

const bool listings_tell_plain_files = true;

void list_plain_files(const std::string& directory, std::size_t most_entries, PlainFileFound found)
{
    // The listing is opened as a folder only: a FIFO or a device of that
    // name is not opened at all.
    std::unique_ptr<DIR, CloseDirectory> listing(
        ::opendir(directory.empty() ? "." : directory.c_str()));
    if (!listing)
        return;
    struct statfs file_system {};
    if (::fstatfs(::dirfd(listing.get()), &file_system) != 0 ||
        std::ranges::find(trusted_file_systems, static_cast<std::uint64_t>(file_system.f_type)) ==
            trusted_file_systems.end())
        return;
    for (std::size_t seen = 0; seen < most_entries; ++seen) {
        const dirent* entry = ::readdir(listing.get());
        if (!entry)
            return;
        // A link is not followed: its name waits to be looked at on its own.
        if (entry->d_type == DT_REG && !found.call(found.context, entry->d_name))
            return;
    }
}

std::optional<std::uint64_t> bytes_fetched_from_storage()
{
    int descriptor = ::open("/proc/self/io", O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return {};
    char text[512];
    ssize_t n = ::read(descriptor, text, sizeof text);
    ::close(descriptor);
    if (n <= 0)
        return {};
    std::string_view lines(text, static_cast<std::size_t>(n));
    constexpr std::string_view key = "\nread_bytes: ";
    std::size_t at = lines.find(key);
    if (at == std::string_view::npos)
        return {};
    std::uint64_t count = 0;
    const char* digits = lines.data() + at + key.size();
    if (std::from_chars(digits, lines.data() + lines.size(), count).ec != std::errc{})
        return {};
    return count;
}

// Linux says more than the users of a Windows console program expect to
// read; its errors are folded onto the few texts that program gives.
std::string file_error_text(const std::string& path, int error)
{
    if (path.find_first_of("*?") != std::string::npos)
        return "Invalid argument";
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return "No such file or directory";
    case EACCES:
    case EPERM:
    case EISDIR:  // a directory opens on Linux; its first read is refused
        return "Permission denied";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    default:
        return std::strerror(error);
    }
}

}  // namespace tolvex
