#include "fileio/byte_input.h"

#include <algorithm>

namespace tolvex {

ByteInput memory_input(const unsigned char* data, std::size_t size)
{
    ByteInput input;
    input.next = data;
    input.end = data + size;
    input.memory_end = input.end;
    return input;
}

ByteInput chunked_memory_input(std::span<const unsigned char> bytes, std::size_t chunk)
{
    ByteInput input;
    input.next = bytes.data();
    input.end = bytes.data();
    input.memory_end = bytes.data() + bytes.size();
    input.memory_chunk = std::max<std::size_t>(chunk, 1);
    return input;
}

bool refill(ByteInput& input)
{
    input.next = input.end;
    if (input.ended)
        return false;
    if (!input.has_file) {
        auto left = static_cast<std::size_t>(input.memory_end - input.end);
        input.end += std::min(input.memory_chunk, left);
        input.ended = left == 0;
        return !input.ended;
    }
    long n = read_file(input.file, input.buffer.data(), input.buffer.size(), input.error);
    if (n <= 0) {
        input.ended = true;
        return false;
    }
    input.next = input.buffer.data();
    input.end = input.next + n;
    return true;
}

}  // namespace tolvex
