#include "report/output.h"

#include <cerrno>

namespace tolvex {

namespace {

void put(Output& out, std::string_view text)
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
    put(out, out.pending);
    out.pending.clear();
    put(out, text);
}

bool flush_output(Output& out)
{
    write_unbuffered(out, {});
    if (out.error == 0 && std::fflush(out.stream) != 0)
        out.error = errno != 0 ? errno : EIO;
    return out.error == 0;
}

}  // namespace tolvex
