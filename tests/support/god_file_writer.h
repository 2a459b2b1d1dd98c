#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tolvex::testing {

// Field values for a god-design file, laid out by write_god_file. Every byte
// the reader does not examine is filled with junk drawn from `seed`, so a
// reader that looks at a wrong offset reads garbage instead of zeros.
struct GodFileFields {
    int nation = 49;
    std::string lead_text = "lead";
    std::size_t gap = 40;  // junk bytes between the lead text and the record marker
    int body = 3;
    int hit_points = 32;
    std::string caption_a = "Alder";
    int dominion = 4;
    std::array<int, 8> paths{2, 0, 0, 0, 1, 0, 0, 0};
    std::array<int, 6> scales{254, 0, 0, 1, 0, 0};
    std::string caption_b = "the Grey";
    int sleep_state = 1;
    std::size_t tail = 16;  // junk bytes after the sleep state
    std::uint32_t seed = 1;
};

std::vector<unsigned char> write_god_file(const GodFileFields& fields);

// The stored form of a text: each byte XOR 0x5A, then the terminator 0x5A.
std::vector<unsigned char> scramble(const std::string& text);

// Writes `bytes` to `path`. Returns false if the file could not be written.
bool save_file(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace tolvex::testing
