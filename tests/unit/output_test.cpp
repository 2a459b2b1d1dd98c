#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "capture.h"
#include "report/output.h"

namespace tolvex {
namespace {

TEST(Output, PartsGoDownInOrderWhateverTheirKind)
{
    Output out;
    out.block_size = std::numeric_limits<std::size_t>::max();
    const char* name = "Fire";
    write(out, "a", std::string("bc"), std::numeric_limits<int>::min(), "", 0, name, -1);
    write(out, std::numeric_limits<int>::max(), " ", 9, " ", 10, "\n");
    EXPECT_EQ(pending(out), "abc-21474836480Fire-12147483647 9 10\n");
}

// A text of a block or more is not copied into the buffer: it follows what
// is pending straight to the stream, and the parts after it stay in order.
TEST(Output, LongTextsGoStraightToTheStreamInOrder)
{
    testing::Capture stream;
    Output out;
    out.stream = stream.stream();
    std::string long_text(100000, 'x');
    write(out, "head ", 7, "\n");
    EXPECT_EQ(stream.text(), "");
    write(out, "<", long_text, ">", 8);
    EXPECT_EQ(stream.text(), "head 7\n<" + long_text);
    EXPECT_EQ(pending(out), ">8");
    EXPECT_LT(out.buffer.size(), long_text.size());
    write(out, "tail\n");
    EXPECT_TRUE(flush_output(out));
    EXPECT_EQ(stream.text(), "head 7\n<" + long_text + ">8tail\n");
}

TEST(Output, WriteThroughHandsOverEveryWriteAsItEnds)
{
    testing::Capture stream;
    Output out;
    out.stream = stream.stream();
    out.write_through = true;
    write(out, "Magic:");
    EXPECT_EQ(stream.text(), "Magic:");
    write(out, "  ", "Fire", " ", 2);
    EXPECT_EQ(stream.text(), "Magic:  Fire 2");
}

TEST(Output, HoldsTextUntilABlockIsFull)
{
    testing::Capture stream;
    Output out;
    out.stream = stream.stream();
    out.block_size = 10;
    write(out, "12345");
    EXPECT_EQ(stream.text(), "");
    write(out, "67890", "ab");
    EXPECT_EQ(stream.text(), "1234567890ab");
    EXPECT_EQ(pending(out), "");
    write(out, "c");
    EXPECT_TRUE(flush_output(out));
    EXPECT_EQ(stream.text(), "1234567890abc");
}

}  // namespace
}  // namespace tolvex
