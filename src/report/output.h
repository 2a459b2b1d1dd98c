#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdio>
#include <string_view>

namespace tolvex {

// Standard output on a file or pipe goes out in whole blocks of this size:
// what has reached the device is always the largest whole multiple of it
// written so far, and the rest goes at the end. Where a message lands when
// both streams share a file depends on it.
constexpr std::size_t output_block = 4096;

// Where reports go. On a file or pipe, text collects here and reaches the
// stream in whole blocks. On a terminal or another character device, each
// write is handed over as it ends, and each control byte of its texts shows
// as "?". The stream itself should be unbuffered, so that what is handed to
// it here is what reaches the device, in that order. Nothing here allocates,
// so writing a report cannot run out of memory.
struct Output {
    std::FILE* stream = nullptr;
    bool terminal = false;
    int error = 0;  // error number of the first failed write
    // Its first `used` bytes are pending. Between writes, less than a block
    // is pending, so that a write of up to a block always fits.
    std::size_t used = 0;
    std::array<char, 2 * output_block> buffer;
};

// The text not yet handed to the stream.
inline std::string_view pending(const Output& out)
{
    return {out.buffer.data(), out.used};
}

// Hands everything pending to the stream and flushes it. Returns false once
// any write has failed.
bool flush_output(Output& out);

// Hands the first block to the stream and keeps the rest pending.
void hand_over_block(Output& out);

// Puts a text down by the block rule: the pending block is filled and
// handed over, the text's whole blocks follow straight from the text, and
// the remainder stays pending. A huge caption is thus held only once, in
// its record.
void put_text(Output& out, std::string_view text);

// On a terminal: puts a text down, each control byte shown as "?" when
// `shown` is set, handing over whenever the buffer is full.
void put_on_terminal(Output& out, std::string_view text, bool shown);

// Hands everything pending to the stream, without flushing it.
void hand_over_pending(Output& out);

// Whether a terminal would act on this byte instead of showing it.
inline bool is_control_byte(char c)
{
    auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x01 && byte <= 0x1F) || byte == 0x7F;
}

// A part of a write that is part of the report's own format, such as its
// line ends: always put down as it is. Its length is known when compiling,
// so copying it costs no call.
struct Literal {
    std::string_view text;
};

// The parts of a write: a literal, a text (a caption or a name), or a
// number written in decimal. A character array part is taken for a literal,
// so it must be one, filled to its end.
template <std::size_t N>
Literal as_part(const char (&literal)[N])
{
    return {{literal, N - 1}};
}
inline std::string_view as_part(std::string_view text)
{
    return text;
}
inline int as_part(int number)
{
    return number;
}

inline std::size_t longest(Literal literal)
{
    return literal.text.size();
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

inline char* put(char* at, Literal literal)
{
    return put(at, literal.text);
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

// A part of a write longer than a block.
inline void put_part(Output& out, std::string_view text)
{
    put_text(out, text);
}
inline void put_part(Output& out, Literal literal)
{
    put_text(out, literal.text);
}
inline void put_part(Output& out, int number)
{
    char* start = out.buffer.data() + out.used;
    out.used += static_cast<std::size_t>(put(start, number) - start);
    if (out.used >= output_block)
        hand_over_block(out);
}

// A part of a write to a terminal.
inline void put_shown(Output& out, std::string_view text)
{
    put_on_terminal(out, text, true);
}
inline void put_shown(Output& out, Literal literal)
{
    put_on_terminal(out, literal.text, false);
}
inline void put_shown(Output& out, int number)
{
    if (out.buffer.size() - out.used < longest(number))
        hand_over_pending(out);
    char* start = out.buffer.data() + out.used;
    out.used += static_cast<std::size_t>(put(start, number) - start);
}

// Kept out of line: a terminal is slow anyway, and the report's path to a
// file or pipe stays short.
template <typename... Parts>
[[gnu::noinline]] void write_to_terminal(Output& out, Parts... parts)
{
    (put_shown(out, parts), ...);
    hand_over_pending(out);
}

// Every report element passes here. Its parts are put down through a local
// pointer (a store through a char pointer could change `out`, so going
// through `out` would reload it after every byte). Inlined at each call, the
// sizes of the literal parts are constants there and cost nothing; a write
// of up to a block always fits, since less than a block is pending.
template <typename... Parts>
[[gnu::always_inline]] inline void write_parts(Output& out, Parts... parts)
{
    if (out.terminal) {
        write_to_terminal(out, parts...);
        return;
    }
    std::size_t size = (longest(parts) + ...);
    if (size <= output_block) {
        char* start = out.buffer.data() + out.used;
        char* at = start;
        ((at = put(at, parts)), ...);
        out.used += static_cast<std::size_t>(at - start);
        if (out.used >= output_block)
            hand_over_block(out);
    } else {
        (put_part(out, parts), ...);
    }
}

// One formatted write: its parts, texts or numbers, in order.
template <typename... Parts>
[[gnu::always_inline]] inline void write(Output& out, const Parts&... parts)
{
    write_parts(out, as_part(parts)...);
}

}  // namespace tolvex
