#pragma once

#include <array>

namespace tolvex {

// What the argument splitter, the directory-part scan and the name order need
// to know about the character set of the command line and of file names.
// Under a double-byte code page a lead byte and the byte after it form one
// character; elsewhere every byte is a character of its own.
struct CodePage {
    std::array<bool, 256> lead_byte{};
    // The value a single byte compares as.
    std::array<unsigned char, 256> fold{};
    // The value a two-byte character compares as: two bytes, the first high.
    unsigned (*fold_double_byte)(unsigned char lead, unsigned char trail) = nullptr;
};

// No lead bytes; the ASCII letters A to Z compare as a to z, every other
// byte as itself.
CodePage single_byte_code_page();

}  // namespace tolvex
