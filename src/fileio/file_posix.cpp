#include "fileio/file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvex {

int open_file(const std::string& path, FileHandle& file)
{
    file.descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return file.descriptor < 0 ? errno : 0;
}

int open_file_now(const std::string& path, FileHandle& file)
{
    file.descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    return file.descriptor < 0 ? errno : 0;
}

bool is_plain_file(FileHandle file)
{
    struct stat status {};
    return ::fstat(file.descriptor, &status) == 0 && S_ISREG(status.st_mode);
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
