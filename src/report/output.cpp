#include "report/output.h"

#include <cerrno>

namespace tolvex {

bool flush_output(Output& out)
{
    if (!out.pending.empty() && out.error == 0) {
        errno = 0;
        if (std::fwrite(out.pending.data(), 1, out.pending.size(), out.stream) !=
            out.pending.size())
            out.error = errno != 0 ? errno : EIO;
    }
    out.pending.clear();
    if (out.error == 0 && std::fflush(out.stream) != 0)
        out.error = errno != 0 ? errno : EIO;
    return out.error == 0;
}

}  // namespace tolvex
