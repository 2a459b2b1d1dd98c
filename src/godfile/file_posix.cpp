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
#include <vector>

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

// The whole of a small file the system makes up, such as /proc's; nothing
// when it cannot be read.
std::optional<std::string> whole_text(const char* path)
{
    int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return {};
    std::string text;
    char block[4096];
    ssize_t n = 0;
    while ((n = ::read(descriptor, block, sizeof block)) > 0)
        text.append(block, static_cast<std::size_t>(n));
    ::close(descriptor);
    if (n < 0)
        return {};
    return text;
}

// A mount point as /proc/self/mountinfo writes it, with a space, a tab, a
// line end or a backslash as three octal digits after a backslash.
std::string unescaped(std::string_view field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

// The names in the folder open as `folder` that something is mounted on:
// its listing shows what lies beneath a mount, so a device bind-mounted on
// a plain file's name lists as a plain file. Nothing when it cannot be
// told.
std::optional<std::vector<std::string>> names_mounted_in(int folder)
{
    std::array<char, 4096> target{};
    std::string link = "/proc/self/fd/" + std::to_string(folder);
    ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
    std::optional<std::string> mounts = whole_text("/proc/self/mountinfo");
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size() || !mounts)
        return {};
    std::string prefix(target.data(), static_cast<std::size_t>(length));
    if (prefix.back() != '/')
        prefix += '/';
    std::vector<std::string> names;
    std::string_view rest = *mounts;
    while (!rest.empty()) {
        std::string_view line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(std::min(rest.size(), line.size() + 1));
        // The fifth field is the mount point.
        for (int field = 0; field < 4 && !line.empty(); ++field)
            line.remove_prefix(std::min(line.size(), line.find(' ') + 1));
        std::string point = unescaped(line.substr(0, line.find(' ')));
        if (point.size() > prefix.size() && point.starts_with(prefix) &&
            point.find('/', prefix.size()) == std::string::npos)
            names.push_back(point.substr(prefix.size()));
    }
    return names;
}

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
    std::optional<std::vector<std::string>> mounted = names_mounted_in(::dirfd(listing.get()));
    if (!mounted)
        return;
    for (std::size_t seen = 0; seen < most_entries; ++seen) {
        const dirent* entry = ::readdir(listing.get());
        if (!entry)
            return;
        // A link is not followed, nor a mount: their names wait to be
        // looked at on their own.
        if (entry->d_type != DT_REG ||
            std::ranges::find(*mounted, std::string_view(entry->d_name)) != mounted->end())
            continue;
        if (!found.call(found.context, entry->d_name))
            return;
    }
}

std::optional<std::uint64_t> bytes_fetched_from_storage()
{
    std::optional<std::string> text = whole_text("/proc/self/io");
    if (!text)
        return {};
    std::string_view lines = *text;
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
