#pragma once

#include <array>
#include <cstddef>

#include "godfile/file.h"

namespace tolvex {

// A forward-only byte stream over an open file, or over bytes already in
// memory. The file is read a buffer-full at a time, so taking a byte or
// skipping a few costs no system call until the buffer runs dry.
struct ByteInput {
    const unsigned char* next = nullptr;
    const unsigned char* end = nullptr;
    FileHandle file;  // no descriptor: memory input, ends with its bytes
    bool has_file = false;
    bool ended = false;  // a read wanted a byte past the last one
    int error = 0;       // error number of a failed read, which also ends the input
    std::array<unsigned char, std::size_t{64} * 1024> buffer;
};

ByteInput memory_input(const unsigned char* data, std::size_t size);

// Makes the next buffer-full available. Returns false, with `ended` set,
// when the input has no more bytes.
bool refill(ByteInput& input);

inline std::size_t buffered(const ByteInput& input)
{
    return static_cast<std::size_t>(input.end - input.next);
}

}  // namespace tolvex
