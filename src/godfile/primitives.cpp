#include "godfile/primitives.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace tolvex {

void skip_across_refills(ByteInput& input, std::size_t count)
{
    while (count > buffered(input)) {
        count -= buffered(input);
        if (!refill(input))
            return;
    }
    input.next += count;
}

namespace {

// A text that cannot be taken in ends the input with an error: the file is
// then reported like one that cannot be read, not printed as if the text
// were empty.
void fail_input(ByteInput& input, std::string& text, int error)
{
    std::string().swap(text);
    input.error = error;
    input.ended = true;
    input.next = input.end;
}

bool grow(ByteInput& input, std::string& text, std::size_t more)
{
    if (more >= text_size_limit - text.size()) {
        fail_input(input, text, EFBIG);
        return false;
    }
    try {
        text.resize(text.size() + more);
        return true;
    } catch (const std::bad_alloc&) {
        fail_input(input, text, ENOMEM);
        return false;
    }
}

}  // namespace

void read_scrambled_text(ByteInput& input, std::string& text)
{
    text.clear();
    for (;;) {
        if (input.next == input.end && !refill(input))
            return;
        const auto* stop =
            static_cast<const unsigned char*>(std::memchr(input.next, text_key, buffered(input)));
        const unsigned char* from = input.next;
        std::size_t count = static_cast<std::size_t>((stop ? stop : input.end) - from);
        std::size_t start = text.size();
        if (!grow(input, text, count))
            return;
        // Plain pointers and a count, so that the compiler decodes many
        // bytes at a time.
        char* to = text.data() + start;
        for (std::size_t i = 0; i < count; ++i)
            to[i] = static_cast<char>(from[i] ^ text_key);
        input.next = from + count;
        if (stop) {
            ++input.next;
            return;
        }
    }
}

void skip_past_record_marker(ByteInput& input)
{
    constexpr unsigned char first = 0x39;
    constexpr unsigned char second = 0x30;
    // The scan starts with a zero "previous" byte, so a 0x30 at the very
    // start never completes the marker.
    unsigned char previous = 0;
    for (;;) {
        if (input.next == input.end && !refill(input))
            return;
        const unsigned char* start = input.next;
        const auto* hit =
            static_cast<const unsigned char*>(std::memchr(start, second, buffered(input)));
        while (hit) {
            unsigned char before = hit == start ? previous : hit[-1];
            if (before == first) {
                input.next = hit + 1;
                return;
            }
            hit = static_cast<const unsigned char*>(
                std::memchr(hit + 1, second, static_cast<std::size_t>(input.end - hit - 1)));
        }
        previous = input.end[-1];
        input.next = input.end;
    }
}

}  // namespace tolvex
