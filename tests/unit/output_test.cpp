#include <gtest/gtest.h>

#include <string>

#include "capture.h"
#include "report/output.h"

namespace tolvex {
namespace {

TEST(Output, FormatsTextAndNumbers)
{
    Output out;
    write(out, "Body ", 0, ", ", -257, " ", 2147483647, std::string(" hits"));
    EXPECT_EQ(out.pending, "Body 0, -257 2147483647 hits");
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
    EXPECT_EQ(out.pending, "");
    write(out, "c");
    EXPECT_TRUE(flush_output(out));
    EXPECT_EQ(stream.text(), "1234567890abc");
}

TEST(Output, WriteThroughHandsOverEachWrite)
{
    testing::Capture stream;
    Output out;
    out.stream = stream.stream();
    out.write_through = true;
    write(out, "Magic:");
    EXPECT_EQ(stream.text(), "Magic:");
    write(out, "  Fire ", 2);
    EXPECT_EQ(stream.text(), "Magic:  Fire 2");
}

}  // namespace
}  // namespace tolvex
