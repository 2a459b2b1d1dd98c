#include "report/output.h"

#include <cerrno>

namespace tolvex {

bool flush_output(Output& out)
{
    if (out.used != 0 && out.error == 0) {
        errno = 0;
        if (std::fwrite(out.buffer.data(), 1, out.used, out.stream) != out.used)
            out.error = errno != 0 ? errno : EIO;
    }
    out.used = 0;
    if (out.error == 0 && std::fflush(out.stream) != 0)
        out.error = errno != 0 ? errno : EIO;
    return out.error == 0;
}

void make_room(Output& out, std::size_t size)
{
    // A block and the longest common write fit from the start; a long
    // text makes the buffer grow to hold it whole until the write ends.
    constexpr std::size_t first_size = 8192;
    out.buffer.resize(std::max({first_size, out.buffer.size() * 2, out.used + size}));
}

}  // namespace tolvex
