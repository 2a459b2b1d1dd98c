#include "fileio/system_text.h"

#include <fcntl.h>
#include <unistd.h>

namespace tolvex {

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

}  // namespace tolvex
