// Makes a folder of god-design files for the benchmark with the project's
// own writer:
//   make_bench_corpus DIR COUNT
// File i is g<i, six digits>.god and depends on i alone, so every folder
// holds the same files for the indices it shares with another. Beside the
// files stands an empty subdirectory "0": a pattern over the whole folder
// ("DIR/*") lists it first, so tolvex fails at once on it after expanding,
// which times the expansion alone; "DIR/*.god" does not match it.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

#include "god_file_writer.h"

namespace {

using tolvex::testing::GodFileFields;

struct Draw {
    std::uint32_t state;

    std::uint32_t below(std::uint32_t n)
    {
        state = state * 747796405u + 2891336453u;
        std::uint32_t word = ((state >> ((state >> 28) + 4)) ^ state) * 277803737u;
        return ((word >> 22) ^ word) % n;
    }

    bool one_in(std::uint32_t n) { return below(n) == 0; }
};

std::string word(Draw& draw, std::size_t length)
{
    static const char letters[] = "aeiourstlnmkdgbhyw";
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
        text += letters[draw.below(sizeof letters - 1)];
    if (!text.empty())
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// Mostly small files of a few hundred bytes to a few KiB, as the game
// writes them, with now and then a long gap before the record marker, a
// long caption or a large tail beyond what the reader needs.
GodFileFields fields_for(std::uint32_t index)
{
    Draw draw{index * 2654435761u + 1};
    GodFileFields f;
    f.seed = index + 1;
    f.nation = static_cast<int>(draw.below(76));
    f.lead_text = word(draw, draw.below(40));
    f.gap = draw.one_in(50) ? 2000 + draw.below(18000) : draw.below(600);
    f.body = static_cast<int>(draw.below(1816));
    f.hit_points = 1 + static_cast<int>(draw.below(300));
    f.caption_a = draw.one_in(500) ? word(draw, 1500) : word(draw, 3 + draw.below(10));
    f.dominion = 1 + static_cast<int>(draw.below(10));
    for (int& level : f.paths)
        level = draw.one_in(4) ? 1 + static_cast<int>(draw.below(5)) : 0;
    static const int leanings[] = {0, 0, 0, 1, 2, 3, 253, 254, 255};
    for (int& scale : f.scales)
        scale = leanings[draw.below(9)];
    f.caption_b = "the " + word(draw, 4 + draw.below(8));
    f.sleep_state = static_cast<int>(draw.below(3));
    f.tail = draw.one_in(1000) ? 100000 : draw.below(3000);
    return f;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: make_bench_corpus DIR COUNT\n", stderr);
        return 1;
    }
    std::string dir = argv[1];
    long count = std::atol(argv[2]);
    ::mkdir(dir.c_str(), 0777);
    if (::mkdir((dir + "/0").c_str(), 0777) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "make_bench_corpus: cannot make %s\n", dir.c_str());
        return 1;
    }
    for (long i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/g%06ld.god", i);
        auto bytes = tolvex::testing::write_god_file(fields_for(static_cast<std::uint32_t>(i)));
        if (!tolvex::testing::save_file(dir + name, bytes)) {
            std::fprintf(stderr, "make_bench_corpus: cannot write %s%s\n", dir.c_str(), name);
            return 1;
        }
    }
    return 0;
}
