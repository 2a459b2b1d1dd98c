#include "godfile/file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>

namespace tolvex {

int open_file(const std::string& path, FileHandle& file)
{
    file.descriptor = ::_open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    return file.descriptor < 0 ? errno : 0;
}

long read_file(FileHandle file, unsigned char* buffer, std::size_t size, int& error)
{
    // _read takes an unsigned int count; the reader's buffer is far smaller.
    int n = ::_read(file.descriptor, buffer, static_cast<unsigned>(size));
    if (n < 0)
        error = errno;
    return n;
}

void close_file(FileHandle file)
{
    ::_close(file.descriptor);
}

// The C runtime already maps the system's errors onto the texts users know.
std::string file_error_text(const std::string&, int error)
{
    return std::strerror(error);
}

}  // namespace tolvex
