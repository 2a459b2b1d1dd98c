#include <gtest/gtest.h>

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

TEST(Report, NationBounds)
{
    GodRecord r = alder();
    const std::pair<int, const char*> cases[] = {
        {0, "Arcoscephale, Early Era"},
        {26, "Independents"},
        {69, "Eriu, Middle Era"},
        {70, "(null)"},
        {72, "(null)"},
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
        {0, "Oops (Body 0, 32 hits)"},
        {1650, " (Body 1650, 32 hits)"},
        {1809, "Great Boar of Carnutes (Body 1809, 32 hits)"},
        {1810, "(null) (Body 1810, 32 hits)"},
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
        {0, "Awake"},
        {1, "Dormant"},
        {2, "Imprisoned"},
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

TEST(NameTables, BodyTableKeepsItsFixedRows)
{
    ASSERT_EQ(body_names.size(), 1811u);
    const std::pair<std::size_t, const char*> rows[] = {
        {0, "Oops"},
        {1, "Legionnaire"},
        {2, "Old Standard"},
        {3, "Serpent Cataphract"},
        {4, "Serpent"},
        {5, "Serpent Lord"},
        {8, "Legionnaire"},
        {9, "Legionnaire"},
        {10, "Legionnaire"},
        {11, "Retarius"},
        {12, "Gladiator"},
        {37, "Master of the Games"},
        {1649, "Scorpion Man"},
        {1650, ""},
        {1651, "Oreiad"},
        {1808, "Iron Boar"},
        {1809, "Great Boar of Carnutes"},
    };
    for (auto [slot, name] : rows)
        EXPECT_STREQ(body_names[slot], name) << "slot " << slot;
    EXPECT_EQ(body_names[1810], nullptr);
    for (std::size_t slot = 0; slot < 1810; ++slot)
        EXPECT_NE(body_names[slot], nullptr) << "slot " << slot;
}

TEST(NameTables, NationTableHasSeventyNamesThenThreeEmptySlots)
{
    ASSERT_EQ(nation_names.size(), 73u);
    std::set<std::string> distinct;
    for (std::size_t slot = 0; slot < 70; ++slot) {
        ASSERT_NE(nation_names[slot], nullptr) << "slot " << slot;
        distinct.insert(nation_names[slot]);
    }
    EXPECT_EQ(distinct.size(), 68u);  // the reserved and special-monster names stand twice
    EXPECT_STREQ(nation_names[39], "'Ctis, Middle Era");
    EXPECT_STREQ(nation_names[68], "Lanka, Early Era");
    for (std::size_t slot = 70; slot < 73; ++slot)
        EXPECT_EQ(nation_names[slot], nullptr);
}

}  // namespace
}  // namespace tolvex
