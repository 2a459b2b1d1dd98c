// Writes the fuzz targets' seed inputs, god-design files made by the
// project's writer, into each folder named:
//   make_seed_corpus tests/fuzz/corpus/read_god_record tests/fuzz/corpus/god_report
#include <cstdio>
#include <string>
#include <vector>

#include "god_file_writer.h"

namespace {

using tolvex::testing::GodFileFields;

std::vector<GodFileFields> seeds()
{
    std::vector<GodFileFields> all;
    auto add = [&all](auto change) {
        GodFileFields f;
        change(f);
        all.push_back(f);
    };
    add([](GodFileFields&) {});
    add([](GodFileFields& f) {
        f.lead_text = f.caption_a = f.caption_b = "";
        f.gap = 0;
        f.tail = 0;
    });
    add([](GodFileFields& f) {
        f.nation = 72;
        f.body = 1810;
    });
    add([](GodFileFields& f) {
        f.nation = 73;
        f.body = 1811;
        f.sleep_state = 3;
    });
    add([](GodFileFields& f) {
        f.nation = 0;
        f.body = 0;
        f.sleep_state = 0;
    });
    add([](GodFileFields& f) {
        f.body = 1650;
        f.sleep_state = 2;
    });
    add([](GodFileFields& f) {
        f.paths = {};
        f.scales = {};
    });
    add([](GodFileFields& f) { f.scales = {3, 4, 255, 253, 1, 252}; });
    add([](GodFileFields& f) {
        f.caption_a = "two\nlines";
        f.caption_b = "\x80\xFF%s%n, ";
    });
    add([](GodFileFields& f) {
        f.lead_text = "\x63";
        f.gap = 0;
    });  // stores 0x39 before its end
    add([](GodFileFields& f) { f.caption_a = std::string(1100, 'a'); });
    add([](GodFileFields& f) {
        f.nation = f.body = f.hit_points = 65535;
        f.dominion = f.sleep_state = 255;
        f.paths = {255, 255, 255, 255, 255, 255, 255, 255};
        f.scales = {255, 255, 255, 255, 255, 255};
    });
    for (std::uint32_t seed = 2; seed < 22; ++seed) {
        add([seed](GodFileFields& f) {
            f.seed = seed;
            f.nation = static_cast<int>(seed * 7 % 80);
            f.body = static_cast<int>(seed * 97 % 1830);
            f.hit_points = static_cast<int>(seed * 13);
            f.lead_text = std::string(seed % 9, 'L');
            f.gap = seed * 5 % 60;
            f.caption_a = std::string(seed % 5, 'A');
            f.caption_b = std::string(seed % 4, 'B');
            f.dominion = static_cast<int>(seed % 11);
            f.paths[seed % 8] = static_cast<int>(seed % 6);
            f.scales[seed % 6] = static_cast<int>((seed * 37) % 256);
            f.sleep_state = static_cast<int>(seed % 4);
            f.tail = seed % 3;
        });
    }
    return all;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::vector<unsigned char>> files;
    for (const GodFileFields& f : seeds())
        files.push_back(tolvex::testing::write_god_file(f));
    // Two cut short: in the lead text, and just before the sleep state.
    std::vector<unsigned char> cut = files.front();
    cut.resize(40);
    files.push_back(cut);
    cut = files.front();
    cut.resize(cut.size() - GodFileFields{}.tail - 1);
    files.push_back(cut);

    for (int i = 1; i < argc; ++i) {
        for (std::size_t n = 0; n < files.size(); ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "/seed-%02u.god", static_cast<unsigned>(n));
            if (!tolvex::testing::save_file(argv[i] + std::string(name), files[n])) {
                std::fprintf(stderr, "make_seed_corpus: cannot write into %s\n", argv[i]);
                return 1;
            }
        }
    }
    return 0;
}
