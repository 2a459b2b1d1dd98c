#include "godfile/byte_input.h"

namespace tolvex {

ByteInput memory_input(const unsigned char* data, std::size_t size)
{
    ByteInput input;
    input.next = data;
    input.end = data + size;
    return input;
}

bool refill(ByteInput& input)
{
    input.next = input.end;
    if (!input.has_file || input.ended) {
        input.ended = true;
        return false;
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
