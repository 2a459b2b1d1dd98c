#pragma once

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace tolvex {

// Where reports go: text collects here and reaches the stream in blocks,
// or at the end of every write when someone is watching a terminal. The
// stream itself should be unbuffered, so that what is handed to it here is
// what reaches the device, in that order.
struct Output {
    std::FILE* stream = nullptr;
    bool write_through = false;  // hand over each write as it ends
    std::size_t block_size = 4096;
    std::string pending;
    int error = 0;  // error number of the first failed write
};

// Hands everything pending to the stream. Returns false once any write
// has failed.
bool flush_output(Output& out);

// Hands what is pending, then `text`, to the stream.
void write_unbuffered(Output& out, std::string_view text);

inline void append(Output& out, std::string_view text)
{
    // A text of a block or more follows what is pending straight to the
    // stream instead of being copied, so a huge caption is held only once,
    // in its record.
    if (text.size() >= out.block_size)
        write_unbuffered(out, text);
    else
        out.pending.append(text);
}

inline void append(Output& out, int number)
{
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, number);
    out.pending.append(digits, result.ptr);
}

// One formatted write: its parts, text or numbers, in order.
template <typename... Parts>
void write(Output& out, const Parts&... parts)
{
    (append(out, parts), ...);
    if (out.write_through || out.pending.size() >= out.block_size)
        flush_output(out);
}

}  // namespace tolvex
