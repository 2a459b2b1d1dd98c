#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

namespace tolvex {

// Where reports go: text collects here and reaches the stream in blocks,
// or at the end of every write when someone is watching a terminal. The
// stream itself should be unbuffered, so that what is handed to it here is
// what reaches the device, in that order.
struct Output {
    std::FILE* stream = nullptr;
    bool write_through = false;  // hand over each write as it ends
    std::size_t block_size = 4096;
    std::vector<char> buffer;  // its first `used` bytes are pending
    std::size_t used = 0;
    int error = 0;  // error number of the first failed write
};

// The text not yet handed to the stream.
inline std::string_view pending(const Output& out)
{
    return {out.buffer.data(), out.used};
}

// Hands everything pending to the stream. Returns false once any write
// has failed.
bool flush_output(Output& out);

// Grows the buffer to hold at least `size` more bytes.
void make_room(Output& out, std::size_t size);

// Hands what is pending, then `text`, to the stream.
void write_unbuffered(Output& out, std::string_view text);

// Where the next `size` bytes go.
inline char* room(Output& out, std::size_t size)
{
    if (out.buffer.size() - out.used < size)
        make_room(out, size);
    return out.buffer.data() + out.used;
}

// The parts of a write: a text, or a number written in decimal. A string
// literal's length is known when compiling, so copying it costs no call;
// a character array part must therefore be a literal, filled to its end.
template <std::size_t N>
std::string_view as_part(const char (&literal)[N])
{
    return {literal, N - 1};
}
inline std::string_view as_part(std::string_view text)
{
    return text;
}
inline int as_part(int number)
{
    return number;
}

inline std::size_t longest(std::string_view text)
{
    return text.size();
}
inline std::size_t longest(int)
{
    return 11;  // "-2147483648"
}

inline char* put(char* at, std::string_view text)
{
    return std::copy(text.begin(), text.end(), at);
}

inline char* put(char* at, int number)
{
    // Most numbers in a report are path levels, scales and the like.
    if (static_cast<unsigned>(number) < 10) {
        *at = static_cast<char>('0' + number);
        return at + 1;
    }
    return std::to_chars(at, at + longest(number), number).ptr;
}

// A part of a long write. A text of a block or more follows what is
// pending straight to the stream instead of being copied, so that a huge
// caption is held only once, in its record.
inline void put_part(Output& out, std::string_view text)
{
    if (text.size() >= out.block_size) {
        write_unbuffered(out, text);
        return;
    }
    char* start = room(out, text.size());
    out.used += static_cast<std::size_t>(put(start, text) - start);
}
inline void put_part(Output& out, int number)
{
    char* start = room(out, longest(number));
    out.used += static_cast<std::size_t>(put(start, number) - start);
}

// Every report element passes here: room is made once for all its parts,
// which are then put down through a local pointer (a store through a char
// pointer could change `out`, so going through `out` would reload it after
// every byte). Inlined at each call, the sizes of the literal parts are
// constants there and cost nothing.
template <typename... Parts>
[[gnu::always_inline]] inline void write_parts(Output& out, Parts... parts)
{
    std::size_t size = (longest(parts) + ...);
    if (size < out.block_size) {
        char* start = room(out, size);
        char* at = start;
        ((at = put(at, parts)), ...);
        out.used += static_cast<std::size_t>(at - start);
    } else {
        (put_part(out, parts), ...);
    }
    if (out.write_through || out.used >= out.block_size)
        flush_output(out);
}

// One formatted write: its parts, texts or numbers, in order.
template <typename... Parts>
[[gnu::always_inline]] inline void write(Output& out, const Parts&... parts)
{
    write_parts(out, as_part(parts)...);
}

}  // namespace tolvex
