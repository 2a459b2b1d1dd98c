#include "report/output.h"

#include <cerrno>

namespace tolvex {

namespace {

void hand_over(Output& out, std::string_view text)
{
    if (text.empty() || out.error != 0)
        return;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), out.stream) != text.size())
        out.error = errno != 0 ? errno : EIO;
}

}  // namespace

void write_unbuffered(Output& out, std::string_view text)
{
    hand_over(out, pending(out));
    out.used = 0;
    hand_over(out, text);
}

bool flush_output(Output& out)
{
    write_unbuffered(out, {});
    if (out.error == 0 && std::fflush(out.stream) != 0)
        out.error = errno != 0 ? errno : EIO;
    return out.error == 0;
}

void make_room(Output& out, std::size_t size)
{
    // A block and the longest common write fit from the start; texts of a
    // block or more never come here.
    constexpr std::size_t first_size = 8192;
    out.buffer.resize(std::max({first_size, out.buffer.size() * 2, out.used + size}));
}

}  // namespace tolvex
