// Writes one god-design file from field values given as NAME=VALUE:
//   make_god_file OUT nation=49 body=3 hit_points=32 caption_a=Alder
//       caption_b='the Grey' dominion=4 paths=2,0,0,0,1,0,0,0
//       scales=254,0,0,1,0,0 sleep_state=1 lead_text=x gap=40 tail=16 seed=1
// Texts take \xNN for any byte. Fields not named keep the writer's defaults.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "god_file_writer.h"

namespace {

using tolvex::testing::GodFileFields;

std::string unescape(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size()) {
            out += static_cast<char>(std::strtol(text.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

template <typename Array>
bool parse_list(const std::string& text, Array& values)
{
    std::size_t start = 0;
    for (auto& value : values) {
        if (start > text.size())
            return false;
        std::size_t comma = text.find(',', start);
        value = std::atoi(text.substr(start, comma - start).c_str());
        start = comma == std::string::npos ? text.size() + 1 : comma + 1;
    }
    return start == text.size() + 1;
}

bool set_field(GodFileFields& f, const std::string& name, const std::string& value)
{
    int number = std::atoi(value.c_str());
    if (name == "nation")
        f.nation = number;
    else if (name == "body")
        f.body = number;
    else if (name == "hit_points")
        f.hit_points = number;
    else if (name == "dominion")
        f.dominion = number;
    else if (name == "sleep_state")
        f.sleep_state = number;
    else if (name == "gap")
        f.gap = static_cast<std::size_t>(number);
    else if (name == "tail")
        f.tail = static_cast<std::size_t>(number);
    else if (name == "seed")
        f.seed = static_cast<std::uint32_t>(number);
    else if (name == "lead_text")
        f.lead_text = unescape(value);
    else if (name == "caption_a")
        f.caption_a = unescape(value);
    else if (name == "caption_b")
        f.caption_b = unescape(value);
    else if (name == "paths")
        return parse_list(value, f.paths);
    else if (name == "scales")
        return parse_list(value, f.scales);
    else
        return false;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: make_god_file OUT [NAME=VALUE]...\n", stderr);
        return 1;
    }
    GodFileFields fields;
    for (int i = 2; i < argc; ++i) {
        std::string argument = argv[i];
        std::size_t equals = argument.find('=');
        if (equals == std::string::npos ||
            !set_field(fields, argument.substr(0, equals), argument.substr(equals + 1))) {
            std::fprintf(stderr, "make_god_file: bad field '%s'\n", argv[i]);
            return 1;
        }
    }
    if (!tolvex::testing::save_file(argv[1], tolvex::testing::write_god_file(fields))) {
        std::fprintf(stderr, "make_god_file: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
