#include "fileio/file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
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

bool is_plain_file(FileHandle file)
{
    struct stat status {};
    return ::fstat(file.descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

bool find_plain_file(const std::string& path, FoundFile& found)
{
    // A descriptor that only holds the file: opening one calls no driver
    // and wakes no writer, and the look at the file's type is on what it
    // holds, not on the name.
    found.descriptor = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (found.descriptor < 0)
        return false;
    struct stat status {};
    if (::fstat(found.descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
        let_go(found);
        return false;
    }
    found.size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

const char* found_file_name(const std::string&, const FoundFile& found, std::array<char, 32>& room)
{
    // The file the descriptor holds, opened anew through the system's view
    // of the process's own descriptors.
    constexpr std::string_view folder = "/proc/self/fd/";
    std::copy(folder.begin(), folder.end(), room.begin());
    char* end =
        std::to_chars(room.data() + folder.size(), room.data() + room.size() - 1, found.descriptor)
            .ptr;
    *end = '\0';
    return room.data();
}

int open_found_file(const std::string& path, const FoundFile& found, FileHandle& file)
{
    std::array<char, 32> room{};
    file.descriptor = ::open(found_file_name(path, found, room), O_RDONLY | O_CLOEXEC);
    return file.descriptor < 0 ? errno : 0;
}

void let_go(FoundFile& found)
{
    if (found.descriptor >= 0)
        ::close(found.descriptor);
    found.descriptor = -1;
}

// Linux says more than the users of a Windows console program expect to
// read; its errors are folded onto the few texts that program gives.
std::string file_error_text(const std::string& path, int error)
{
    // Windows opens no name that holds a wildcard. Linux may: a folder so
    // named opens and refuses its first read, and a file so named may hold
    // a text too long to read; those keep their own texts.
    bool opened = error == EISDIR || error == EFBIG;
    if (!opened && path.find_first_of("*?") != std::string::npos)
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
