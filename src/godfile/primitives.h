#pragma once

#include <cstddef>
#include <string>

#include "fileio/byte_input.h"

namespace tolvex {

// The next byte as 0..255, or -1 at the end of the input.
inline int read_u8(ByteInput& input)
{
    if (input.next == input.end && !refill(input))
        return -1;
    return *input.next++;
}

// A little-endian 16-bit number: lo + hi * 256, where a byte past the end
// counts as -1 (so -257 when both are missing, lo - 256 when only hi is).
inline int read_u16le(ByteInput& input)
{
    int lo = read_u8(input);
    int hi = read_u8(input);
    return lo + hi * 256;
}

void skip_across_refills(ByteInput& input, std::size_t count);

// Passes over `count` bytes. Skips are short, so they read forward rather
// than seek: this also works on pipes. Past the end is not an error.
inline void skip(ByteInput& input, std::size_t count)
{
    if (count <= buffered(input))
        input.next += count;
    else
        skip_across_refills(input, count);
}

// The key that scrambles texts; stored on its own it ends a text.
constexpr unsigned char text_key = 0x5A;

// A text is held whole up to this size, its terminating zero included: far
// above any real design, and low enough that an endless input (a device of
// zero bytes) ends in an error before it takes all memory.
constexpr std::size_t text_size_limit = std::size_t{16} << 20;

// Reads a scrambled text up to its terminator or the end of the input, and
// puts the decoded bytes in `text`. A text that does not fit in
// text_size_limit ends the input with the error EFBIG; one that memory
// cannot hold, with ENOMEM.
void read_scrambled_text(ByteInput& input, std::string& text);

// Consumes bytes up to and including the record marker, the bytes 0x39 0x30,
// or up to the end of the input.
void skip_past_record_marker(ByteInput& input);

}  // namespace tolvex
