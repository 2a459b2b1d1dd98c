// Makes the benchmark's second corpus, unlike the first in every way the
// reader and the read-ahead could be tuned to, with the project's own
// writer:
//   make_second_corpus DIR
// Under DIR:
//   "Downloads 2026/"  20,000 files
//   "Every Design/"    200,000 files, and an empty subdirectory "0"
//   "Mod Packs/Pack A/" to "Pack D/", 500 files each
// Names come in several forms, with spaces, mixed case, UTF-8 letters and a
// raw byte above 0x7F, the suffix in mixed case, and every folder's names
// in its own order (file i's name does not follow from its place). Sizes
// run from a few hundred bytes to over 64 KiB: most are small, some have a
// long caption or a long text before the record marker, and one in
// twenty-five holds its record beyond the first 64 KiB or a long tail.
// Every file depends on its folder and index alone. The subdirectory "0"
// sorts before every name, so the pattern "Every Design/*" makes tolvex stop
// on it at once after expanding, which times the expansion alone;
// "Every Design/*.god" does not match it.
#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "god_file_writer.h"

namespace {

using tolvex::testing::GodFileFields;

// A different stream from the first corpus's: xorshift, seeded by a hash.
struct Draw {
    std::uint64_t state;

    std::uint64_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
    unsigned between(unsigned low, unsigned high) { return low + below(high - low + 1); }
};

Draw draw_for(std::uint64_t folder, std::uint64_t index)
{
    Draw draw{(folder + 1) * 0x9E3779B97F4A7C15ull ^ (index + 1) * 0xBF58476D1CE4E5B9ull};
    for (int i = 0; i < 4; ++i)
        draw.next();
    return draw;
}

std::string text(Draw& draw, std::size_t length)
{
    static const char* const words[] = {"storm", "Oak",  "MOTHER", "of",    "the", "Deep",
                                        "Ember", "Ænir", "mère",   "Ωmega", "fen", "King"};
    std::string out;
    while (out.size() < length) {
        if (!out.empty())
            out += ' ';
        out += words[draw.below(sizeof words / sizeof words[0])];
    }
    out.resize(length);
    return out;
}

GodFileFields fields_for(Draw& draw, std::uint32_t seed)
{
    GodFileFields f;
    f.seed = seed;
    f.nation = static_cast<int>(draw.below(76));
    f.body = static_cast<int>(draw.below(1816));
    f.hit_points = static_cast<int>(draw.between(1, 999));
    f.dominion = static_cast<int>(draw.between(1, 10));
    for (int& level : f.paths)
        level = draw.below(3) == 0 ? static_cast<int>(draw.between(1, 9)) : 0;
    for (int& scale : f.scales)
        scale = draw.below(2) == 0 ? 0 : static_cast<int>(draw.below(256));
    f.sleep_state = static_cast<int>(draw.below(3));
    f.lead_text = text(draw, draw.below(80));
    f.gap = draw.below(300);
    f.caption_a = text(draw, draw.between(1, 40));
    f.caption_b = text(draw, draw.between(1, 24));
    f.tail = draw.below(400);
    unsigned kind = draw.below(100);
    if (kind < 25) {  // a few KiB
        f.gap = draw.between(1000, 6000);
    } else if (kind < 37) {  // a long caption
        f.caption_a = text(draw, draw.between(1000, 12000));
    } else if (kind < 42) {  // a long text before the record marker
        f.lead_text = text(draw, draw.between(4000, 40000));
    } else if (kind < 44) {  // the record beyond the first 64 KiB
        f.lead_text = text(draw, draw.between(66000, 90000));
    } else if (kind < 46) {  // a long tail, read by no one
        f.tail = draw.between(66000, 80000);
    }
    return f;
}

std::string name_for(Draw& draw, unsigned index)
{
    static const char* const forms[] = {
        "Design %06u.god",       "the Oak King %06u.GOD",
        "\xC3\x86ther %06u.God", "M\xC3\xA8re des Eaux %06u.god",
        "caf\xE9 lord %06u.gOd", "[v2] STORM %06u.god",
        "zz top %06u.god",       "Ember_%06u.GoD",
    };
    char name[64];
    std::snprintf(name, sizeof name, forms[draw.below(sizeof forms / sizeof forms[0])], index);
    return name;
}

bool make_folder(const std::string& path)
{
    return ::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

bool fill_folder(const std::string& folder, unsigned folder_number, unsigned count)
{
    if (!make_folder(folder))
        return false;
    for (unsigned i = 0; i < count; ++i) {
        Draw draw = draw_for(folder_number, i);
        std::string name = name_for(draw, i);
        GodFileFields fields = fields_for(draw, folder_number * 1000003u + i);
        if (!tolvex::testing::save_file(folder + "/" + name,
                                        tolvex::testing::write_god_file(fields)))
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make_second_corpus DIR\n", stderr);
        return 1;
    }
    std::string dir = argv[1];
    bool made = make_folder(dir) && fill_folder(dir + "/Downloads 2026", 1, 20000) &&
                fill_folder(dir + "/Every Design", 2, 200000) &&
                make_folder(dir + "/Every Design/0") && make_folder(dir + "/Mod Packs");
    for (unsigned pack = 0; made && pack < 4; ++pack)
        made = fill_folder(dir + "/Mod Packs/Pack " + std::string(1, static_cast<char>('A' + pack)),
                           3 + pack, 500);
    if (!made) {
        std::fprintf(stderr, "make_second_corpus: cannot fill %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
