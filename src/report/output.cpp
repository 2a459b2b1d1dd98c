#include "report/output.h"

#include <cerrno>
#include <cstring>

namespace tolvex {

namespace {

void hand_over(Output& out, const char* text, std::size_t size)
{
    if (size == 0 || out.error != 0)
        return;
    errno = 0;
    if (std::fwrite(text, 1, size, out.stream) != size)
        out.error = errno != 0 ? errno : EIO;
}

char shown_byte(char c)
{
    return is_control_byte(c) ? '?' : c;
}

}  // namespace

void hand_over_pending(Output& out)
{
    hand_over(out, out.buffer.data(), out.used);
    out.used = 0;
}

void hand_over_block(Output& out)
{
    hand_over(out, out.buffer.data(), output_block);
    out.used -= output_block;
    std::memmove(out.buffer.data(), out.buffer.data() + output_block, out.used);
}

void put_text(Output& out, std::string_view text)
{
    std::size_t room = output_block - out.used;
    if (text.size() < room) {
        put(out.buffer.data() + out.used, text);
        out.used += text.size();
        return;
    }
    put(out.buffer.data() + out.used, text.substr(0, room));
    hand_over(out, out.buffer.data(), output_block);
    text.remove_prefix(room);
    std::size_t whole = text.size() - text.size() % output_block;
    hand_over(out, text.data(), whole);
    text.remove_prefix(whole);
    put(out.buffer.data(), text);
    out.used = text.size();
}

void put_on_terminal(Output& out, std::string_view text, bool shown)
{
    while (!text.empty()) {
        if (out.used == out.buffer.size())
            hand_over_pending(out);
        std::size_t size = std::min(text.size(), out.buffer.size() - out.used);
        char* at = out.buffer.data() + out.used;
        if (shown)
            std::transform(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size), at,
                           shown_byte);
        else
            std::copy_n(text.begin(), size, at);
        out.used += size;
        text.remove_prefix(size);
    }
}

bool flush_output(Output& out)
{
    hand_over_pending(out);
    if (out.error == 0 && std::fflush(out.stream) != 0)
        out.error = errno != 0 ? errno : EIO;
    return out.error == 0;
}

}  // namespace tolvex
