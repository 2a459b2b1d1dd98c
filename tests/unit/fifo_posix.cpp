#include "fifo.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tolvex::testing {

bool make_fifo(const std::string& path)
{
    return ::mkfifo(path.c_str(), 0600) == 0;
}

void feed_fifo_when_opened(const std::string& path, const std::vector<unsigned char>& bytes,
                           const std::atomic<bool>& stop)
{
    // A non-blocking open for writing fails with ENXIO until a reader is there.
    int descriptor = -1;
    while ((descriptor = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0) {
        if (errno != ENXIO || stop)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::fcntl(descriptor, F_SETFL, 0);
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    ::close(descriptor);
}

}  // namespace tolvex::testing
