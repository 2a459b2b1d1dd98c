#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "fileio/file.h"

namespace tolvex {

// How much one read of a file asks for.
constexpr std::size_t input_buffer_size = std::size_t{64} * 1024;

// A forward-only byte stream over an open file, or over bytes already in
// memory. The file is read a buffer-full at a time, so taking a byte or
// skipping a few costs no system call until the buffer runs dry.
struct ByteInput {
    const unsigned char* next = nullptr;
    const unsigned char* end = nullptr;
    const unsigned char* memory_end = nullptr;  // memory input: the last byte's end
    std::size_t memory_chunk = 0;               // memory input: bytes handed out per refill
    FileHandle file;                            // no descriptor: memory input, ends with its bytes
    bool has_file = false;
    bool ended = false;  // a read wanted a byte past the last one
    int error = 0;       // why the input could not be taken in; this also ends it
    std::array<unsigned char, input_buffer_size> buffer;
};

ByteInput memory_input(const unsigned char* data, std::size_t size);

// Memory input handed out `chunk` bytes per refill, the way a file comes a
// buffer-full at a time, so tests reach the refill edges without a file.
ByteInput chunked_memory_input(std::span<const unsigned char> bytes, std::size_t chunk);

// Makes the next buffer-full available. Returns false, with `ended` set,
// when the input has no more bytes.
bool refill(ByteInput& input);

inline std::size_t buffered(const ByteInput& input)
{
    return static_cast<std::size_t>(input.end - input.next);
}

}  // namespace tolvex
