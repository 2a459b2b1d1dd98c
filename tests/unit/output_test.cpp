#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "capture.h"
#include "report/output.h"

namespace tolvex {
namespace {

class OutputTest : public ::testing::Test {
protected:
    void SetUp() override { out_.stream = stream_.stream(); }

    // What has been handed to the stream so far.
    std::string written() const { return stream_.text(); }

    testing::Capture stream_;
    Output out_;
};

TEST_F(OutputTest, PartsGoDownInOrderWhateverTheirKind)
{
    const char* name = "Fire";
    write(out_, "a", std::string("bc"), std::numeric_limits<int>::min(), "", 0, name, -1);
    write(out_, std::numeric_limits<int>::max(), " ", 9, " ", 10, "\n");
    EXPECT_EQ(pending(out_), "abc-21474836480Fire-12147483647 9 10\n");
    EXPECT_TRUE(flush_output(out_));
    EXPECT_EQ(written(), "abc-21474836480Fire-12147483647 9 10\n");
}

// A text of `size` bytes that differs from its neighbours, so that a block
// handed over twice, or out of order, shows.
std::string text_of(std::size_t size, std::size_t seed)
{
    std::string text(size, ' ');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>('A' + (seed + i) % 53);
    return text;
}

// What has reached the stream is always the largest whole multiple of 4096
// bytes written so far, and the rest is pending. The writes cross a block
// boundary from every side: short writes that fill a block exactly, stop
// one short of it or pass it; writes longer than a block whose text, number
// or last literal ends exactly on a boundary; and texts longer than a block
// that start on a boundary or inside a block and end on one or inside one.
TEST_F(OutputTest, ReachesTheStreamInWholeBlocksOf4096Bytes)
{
    struct Step {
        std::size_t before;  // a write of one text, then
        std::size_t text;    // a write of one text between other parts,
        bool number_last;    // which end in a number, else in a literal
    };
    const Step steps[] = {
        {4096, 0, false},  {0, 4091, false},   {0, 4089, true},    {0, 4092, false},
        {4092, 0, true},   {4095, 0, false},   {1, 0, true},       {0, 4094, false},
        {0, 0, false},     {4000, 100, true},  {0, 4096, false},   {0, 4097, true},
        {0, 8190, false},  {0, 8191, true},    {1, 10000, false},  {0, 12288, true},
        {3, 12286, false}, {2048, 6143, true}, {0, 100000, false}, {4095, 4096, true},
        {17, 4079, false}, {4096, 1, true},    {5, 123456, false},
    };
    std::string all;
    std::size_t seed = 0;
    auto check = [&](const Step& step) {
        std::size_t whole = all.size() / 4096 * 4096;
        ASSERT_EQ(written(), all.substr(0, whole)) << step.before << " then " << step.text;
        ASSERT_EQ(pending(out_), all.substr(whole)) << step.before << " then " << step.text;
    };
    for (const Step& step : steps) {
        std::string before = text_of(step.before, seed++);
        write(out_, before);
        all += before;
        check(step);
        std::string text = text_of(step.text, seed++);
        if (step.number_last) {
            write(out_, "<", text, ">", 42);
            all += "<" + text + ">42";
        } else {
            write(out_, "<", text, 42, ">");
            all += "<" + text + "42>";
        }
        check(step);
    }
    EXPECT_TRUE(flush_output(out_));
    EXPECT_EQ(written(), all);
}

TEST_F(OutputTest, ATerminalGetsEachWriteAsItEnds)
{
    out_.terminal = true;
    write(out_, "Magic:");
    EXPECT_EQ(written(), "Magic:");
    write(out_, "  ", "Fire", " ", 2);
    EXPECT_EQ(written(), "Magic:  Fire 2");
    std::string caption = text_of(20000, 0);
    write(out_, "\n", caption, ", ", caption, "\n");
    EXPECT_EQ(written(), "Magic:  Fire 2\n" + caption + ", " + caption + "\n");
    EXPECT_EQ(pending(out_), "");
}

// A caption or a name may carry escape sequences: on a terminal each control
// byte of a text shows as "?", while the report's own line ends stay. A file
// or pipe gets every byte as it is.
TEST(Output, ControlBytesOfTextsShowOnlyOnATerminal)
{
    std::string every_byte;  // 0x01 to 0xFF
    for (int c = 1; c < 256; ++c)
        every_byte += static_cast<char>(c);
    std::string shown =
        std::string(31, '?') + every_byte.substr(31, 95) + "?" + every_byte.substr(127);
    std::string escapes;  // longer than the whole buffer
    std::string escapes_shown;
    for (int i = 0; i < 5000; ++i) {
        escapes += "\x1b[2J\x9b";
        escapes_shown += "?[2J\x9b";
    }
    const std::string name = "a\x1b]0;title\x07.god";

    const struct {
        bool terminal;
        std::string expected;
    } cases[] = {
        {false, every_byte + "\n" + escapes + "\n----" + name + "----\n\n" + "12\n"},
        {true, shown + "\n" + escapes_shown + "\n----a?]0;title?.god----\n\n12\n"},
    };
    for (const auto& c : cases) {
        testing::Capture stream;
        Output out;
        out.stream = stream.stream();
        out.terminal = c.terminal;
        write(out, every_byte, "\n");
        write(out, escapes);
        write(out, "\n----", name, "----\n\n");
        write(out, 12, "\n");
        EXPECT_TRUE(flush_output(out));
        EXPECT_EQ(stream.text(), c.expected) << "terminal " << c.terminal;
    }
}

}  // namespace
}  // namespace tolvex
