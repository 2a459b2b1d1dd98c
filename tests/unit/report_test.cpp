#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>

#include "capture.h"
#include "report/name_tables.h"
#include "report/print_god_report.h"

namespace tolvex {
namespace {

GodRecord alder()
{
    GodRecord r;
    r.caption_a = "Alder";
    r.caption_b = "the Grey";
    r.nation = 49;
    r.body = 3;
    r.hit_points = 32;
    r.paths = {2, 0, 0, 0, 1, 0, 0, 0};
    r.dominion = 4;
    r.scales = {254, 0, 0, 1, 0, 0};
    r.sleep_state = 1;
    return r;
}

std::string report(const GodRecord& record)
{
    testing::Capture stream;
    Output out;
    out.stream = stream.stream();
    print_god_report(record, out);
    EXPECT_TRUE(flush_output(out));
    return stream.text();
}

// The report's line `index` (0 to 6).
std::string line(const GodRecord& record, int index)
{
    std::string text = report(record);
    std::size_t start = 0;
    for (int i = 0; i < index; ++i)
        start = text.find('\n', start) + 1;
    return text.substr(start, text.find('\n', start) - start);
}

TEST(Report, WorkedExample)
{
    EXPECT_EQ(report(alder()),
              "Alder, the Grey\n"
              "Arcoscephale, Late Era\n"
              "Serpent Cataphract (Body 3, 32 hits)\n"
              "Magic:  Fire 2  Astral 1\n"
              "Dominion 4\n"
              "Scales:  Order 2  Death 1\n"
              "Dormant\n");
}

// Every name of every table, typed out here rather than taken from the
// program's tables, each seen where the report shows it: a misspelt name or
// two swapped slots fail. An empty slot prints "(null)".
enum class Table { nation, body, path, scale, state };

struct NamedSlot {
    Table table;
    int slot;
    const char* name;
};

using enum Table;

const NamedSlot named_slots[] = {
    {nation, 0, "Arcoscephale, Early Era"},
    {nation, 1, "Ermor, Early Era"},
    {nation, 2, "Ulm, Early Era"},
    {nation, 3, "Marverni, Early Era"},
    {nation, 4, "Sauromatia, Early Era"},
    {nation, 5, "T'ien Ch'i, Early Era"},
    {nation, 6, "(reserved), Early Era"},
    {nation, 7, "Mictlan, Early Era"},
    {nation, 8, "Abysia, Early Era"},
    {nation, 9, "Caelum, Early Era"},
    {nation, 10, "C'tis, Early Era"},
    {nation, 11, "Pangaea, Early Era"},
    {nation, 12, "Agartha, Early Era"},
    {nation, 13, "Tir na n'Og, Early Era"},
    {nation, 14, "Fomoria, Early Era"},
    {nation, 15, "Vanheim, Early Era"},
    {nation, 16, "Helheim, Early Era"},
    {nation, 17, "Niefelheim, Early Era"},
    {nation, 18, "Kailasa, Early Era"},
    {nation, 19, "Yomi, Early Era"},
    {nation, 20, "(reserved), Early Era"},
    {nation, 21, "Atlantis, Early Era"},
    {nation, 22, "R'lyeh, Early Era"},
    {nation, 23, "Oceania, Early Era"},
    {nation, 24, "Special Monsters"},
    {nation, 25, "Special Monsters"},
    {nation, 26, "Independents"},
    {nation, 27, "Arcoscephale, Middle Era"},
    {nation, 28, "Ermor, Middle Era"},
    {nation, 29, "Pythium, Middle Era"},
    {nation, 30, "Man, Middle Era"},
    {nation, 31, "Ulm, Middle Era"},
    {nation, 32, "Marignon, Middle Era"},
    {nation, 33, "Mictlan, Middle Era"},
    {nation, 34, "T'ien Ch'i, Middle Era"},
    {nation, 35, "Machaka, Middle Era"},
    {nation, 36, "Agartha, Middle Era"},
    {nation, 37, "Abysia, Middle Era"},
    {nation, 38, "Caelum, Middle Era"},
    {nation, 39, "'Ctis, Middle Era"},
    {nation, 40, "Pangaea, Middle Era"},
    {nation, 41, "Vanheim, Middle Era"},
    {nation, 42, "Jotunheim, Middle Era"},
    {nation, 43, "Bandar Log, Middle Era"},
    {nation, 44, "Shinuyama, Middle Era"},
    {nation, 45, "Gath, Middle Era"},
    {nation, 46, "Atlantis, Middle Era"},
    {nation, 47, "R'lyeh, Middle Era"},
    {nation, 48, "Oceania, Middle Era"},
    {nation, 49, "Arcoscephale, Late Era"},
    {nation, 50, "Ermor, Late Era"},
    {nation, 51, "Chelms, Late Era"},
    {nation, 52, "Ulm, Late Era"},
    {nation, 53, "Marignon, Late Era"},
    {nation, 54, "Mictlan, Late Era"},
    {nation, 55, "T'ien Ch'i, Late Era"},
    {nation, 56, "Jotunheim, Late Era"},
    {nation, 57, "Agartha, Late Era"},
    {nation, 58, "Abysia, Late Era"},
    {nation, 59, "Caelum, Late Era"},
    {nation, 60, "C'tis, Late Era"},
    {nation, 61, "Pangaea, Late Era"},
    {nation, 62, "Midgard, Late Era"},
    {nation, 63, "Utgard, Late Era"},
    {nation, 64, "Patala, Late Era"},
    {nation, 65, "Gath, Late Era"},
    {nation, 66, "Atlantis, Late Era"},
    {nation, 67, "R'lyeh, Late Era"},
    {nation, 68, "Lanka, Early Era"},
    {nation, 69, "Eriu, Middle Era"},
    {nation, 70, "(null)"},
    {nation, 71, "(null)"},
    {nation, 72, "(null)"},

    {body, 0, "Oops"},
    {body, 1, "Legionnaire"},
    {body, 2, "Old Standard"},
    {body, 3, "Serpent Cataphract"},
    {body, 4, "Serpent"},
    {body, 5, "Serpent Lord"},
    {body, 8, "Legionnaire"},
    {body, 9, "Legionnaire"},
    {body, 10, "Legionnaire"},
    {body, 11, "Retarius"},
    {body, 12, "Gladiator"},
    {body, 37, "Master of the Games"},
    {body, 1649, "Scorpion Man"},
    {body, 1650, ""},
    {body, 1651, "Oreiad"},
    {body, 1808, "Iron Boar"},
    {body, 1809, "Great Boar of Carnutes"},
    {body, 1810, "(null)"},

    {path, 0, "Fire"},
    {path, 1, "Air"},
    {path, 2, "Water"},
    {path, 3, "Earth"},
    {path, 4, "Astral"},
    {path, 5, "Death"},
    {path, 6, "Nature"},
    {path, 7, "Blood"},

    // Slots 0 to 5 are the first sides of the six pairs, 6 to 11 the
    // second sides.
    {scale, 0, "Order"},
    {scale, 1, "Productivity"},
    {scale, 2, "Heat"},
    {scale, 3, "Growth"},
    {scale, 4, "Fortune"},
    {scale, 5, "Magic"},
    {scale, 6, "Turmoil"},
    {scale, 7, "Sloth"},
    {scale, 8, "Cold"},
    {scale, 9, "Death"},
    {scale, 10, "Misfortune"},
    {scale, 11, "Drain"},

    {state, 0, "Awake"},
    {state, 1, "Dormant"},
    {state, 2, "Imprisoned"},
};

TEST(Report, EveryNameOfEveryTable)
{
    for (const auto& [table, slot, name] : named_slots) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        GodRecord r = alder();
        const std::string n = name;
        switch (table) {
        case nation:
            r.nation = slot;
            EXPECT_EQ(line(r, 1), n);
            break;
        case body:
            r.body = slot;
            EXPECT_EQ(line(r, 2), n + " (Body " + std::to_string(slot) + ", 32 hits)");
            break;
        case path:
            r.paths = {};
            r.paths[static_cast<std::size_t>(slot)] = 7;
            EXPECT_EQ(line(r, 3), "Magic:  " + n + " 7");
            break;
        case scale:
            // A pair leans 1 to 3 towards its second side with the bytes 1
            // to 3, towards its first side with 255 down to 253.
            for (int lean = 1; lean <= 3; ++lean) {
                r.scales = {};
                r.scales[static_cast<std::size_t>(slot % 6)] = slot < 6 ? 256 - lean : lean;
                EXPECT_EQ(line(r, 5), "Scales:  " + n + " " + std::to_string(lean));
            }
            break;
        case state:
            r.sleep_state = slot;
            EXPECT_EQ(line(r, 6), n);
            break;
        }
    }
}

TEST(Report, NationBounds)
{
    GodRecord r = alder();
    const std::pair<int, const char*> cases[] = {
        {73, "Bogus nation number 73"},
        {65535, "Bogus nation number 65535"},
        {-1, "Bogus nation number -1"},
        {-257, "Bogus nation number -257"},
    };
    for (auto [nation, expected] : cases) {
        r.nation = nation;
        EXPECT_EQ(line(r, 1), expected);
    }
}

TEST(Report, BodyBounds)
{
    GodRecord r = alder();
    const std::pair<int, const char*> cases[] = {
        {1811, "Bogus body number 1811"},
        {-1, "Bogus body number -1"},
    };
    for (auto [body, expected] : cases) {
        r.body = body;
        EXPECT_EQ(line(r, 2), expected);
    }
}

TEST(Report, MagicLine)
{
    GodRecord r = alder();
    r.paths = {};
    EXPECT_EQ(line(r, 3), "No magic");
    r.paths = {0, 0, 0, 0, 0, 0, 0, 5};
    EXPECT_EQ(line(r, 3), "Magic:  Blood 5");
    r.paths = {1, 2, 3, 4, 5, 6, 7, 255};
    EXPECT_EQ(line(r, 3),
              "Magic:  Fire 1  Air 2  Water 3  Earth 4  Astral 5  Death 6  Nature 7  Blood 255");
}

TEST(Report, ScaleBytesAreSigned)
{
    GodRecord r = alder();
    r.scales = {};
    EXPECT_EQ(line(r, 5), "No scales");
    r.scales = {3, 4, 255, 253, 1, 0};
    EXPECT_EQ(line(r, 5), "Scales:  Turmoil 3  Productivity 252  Heat 1  Growth 3  Misfortune 1");
    r.scales = {0, 0, 0, 0, 0, 128};
    EXPECT_EQ(line(r, 5), "Scales:  Magic 128");
}

TEST(Report, EveryScaleByteNamesOneSideOfItsPair)
{
    for (int v = 1; v < 256; ++v) {
        GodRecord r = alder();
        r.scales = {0, 0, 0, 0, 0, v};
        std::string expected = v <= 3 ? "Scales:  Drain " + std::to_string(v)
                                      : "Scales:  Magic " + std::to_string(256 - v);
        EXPECT_EQ(line(r, 5), expected);
    }
}

TEST(Report, StateBounds)
{
    GodRecord r = alder();
    const std::pair<int, const char*> cases[] = {
        {3, "Bogus state number 3"},
        {255, "Bogus state number 255"},
        {-1, "Bogus state number -1"},
    };
    for (auto [state, expected] : cases) {
        r.sleep_state = state;
        EXPECT_EQ(line(r, 6), expected);
    }
}

TEST(Report, CaptionsPassThroughUnchanged)
{
    GodRecord r = alder();
    r.caption_a = r.caption_b = "";
    EXPECT_EQ(line(r, 0), ", ");
    r.caption_a = "%s%n\x80\xFF";
    r.caption_b = std::string(5000, 'w');
    EXPECT_EQ(line(r, 0), "%s%n\x80\xFF, " + std::string(5000, 'w'));
}

// The report shows only the named rows above; every other slot but the
// last must hold a name too, if only a stand-in.
TEST(NameTables, BodyTableNamesEverySlotButTheLast)
{
    ASSERT_EQ(body_names.size(), 1811u);
    for (std::size_t slot = 0; slot < 1810; ++slot)
        EXPECT_NE(body_names[slot], nullptr) << "slot " << slot;
}

}  // namespace
}  // namespace tolvex
