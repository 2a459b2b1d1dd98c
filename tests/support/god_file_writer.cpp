#include "god_file_writer.h"

#include <cstdio>

namespace tolvex::testing {

namespace {

constexpr unsigned char key = 0x5A;

// A small deterministic generator; the junk only has to vary.
struct Junk {
    std::uint32_t state;

    unsigned char next()
    {
        state = state * 1664525u + 1013904223u;
        auto byte = static_cast<unsigned char>(state >> 24);
        return byte == 0 ? 0xA5 : byte;
    }
};

void put_junk(std::vector<unsigned char>& out, Junk& junk, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(junk.next());
}

void put_u16(std::vector<unsigned char>& out, int value)
{
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void put_text(std::vector<unsigned char>& out, const std::string& text)
{
    std::vector<unsigned char> stored = scramble(text);
    out.insert(out.end(), stored.begin(), stored.end());
}

}  // namespace

std::vector<unsigned char> scramble(const std::string& text)
{
    std::vector<unsigned char> stored;
    stored.reserve(text.size() + 1);
    for (char c : text)
        stored.push_back(static_cast<unsigned char>(c) ^ key);
    stored.push_back(key);
    return stored;
}

std::vector<unsigned char> write_god_file(const GodFileFields& f)
{
    Junk junk{f.seed};
    std::vector<unsigned char> out;
    put_junk(out, junk, 26);
    put_u16(out, f.nation);
    put_junk(out, junk, 10);
    put_text(out, f.lead_text);

    // The gap must not hold the marker itself: leave out the byte 0x30.
    for (std::size_t i = 0; i < f.gap; ++i) {
        unsigned char byte = junk.next();
        out.push_back(byte == 0x30 ? 0x31 : byte);
    }
    out.push_back(0x39);
    out.push_back(0x30);

    put_junk(out, junk, 18);
    put_u16(out, f.body);
    put_u16(out, f.hit_points);
    put_junk(out, junk, 22 + 2 + 7);
    put_text(out, f.caption_a);

    put_junk(out, junk, 2 + 73);
    out.push_back(static_cast<unsigned char>(f.dominion));
    for (int level : f.paths)
        out.push_back(static_cast<unsigned char>(level));
    put_junk(out, junk, 38);
    for (int scale : f.scales)
        out.push_back(static_cast<unsigned char>(scale));
    put_text(out, f.caption_b);
    out.push_back(static_cast<unsigned char>(f.sleep_state));
    put_junk(out, junk, f.tail);
    return out;
}

bool save_file(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace tolvex::testing
