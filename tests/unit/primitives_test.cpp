#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "god_file_writer.h"
#include "godfile/primitives.h"
#include "temp_dir.h"

namespace tolvex {
namespace {

using Bytes = std::vector<unsigned char>;

TEST(ReadU8, GivesBytesThenMinusOneForever)
{
    Bytes bytes{0x00, 0xFF};
    ByteInput input = memory_input(bytes.data(), bytes.size());
    EXPECT_EQ(read_u8(input), 0);
    EXPECT_EQ(read_u8(input), 255);
    EXPECT_FALSE(input.ended);
    EXPECT_EQ(read_u8(input), -1);
    EXPECT_EQ(read_u8(input), -1);
    EXPECT_TRUE(input.ended);
}

TEST(ReadU16le, IsLittleEndianAndCarriesEndOfFileValues)
{
    Bytes bytes{0x39, 0x30, 0xFF, 0xFF, 0x07};
    ByteInput input = memory_input(bytes.data(), bytes.size());
    EXPECT_EQ(read_u16le(input), 12345);
    EXPECT_EQ(read_u16le(input), 65535);
    EXPECT_EQ(read_u16le(input), 7 - 256);  // high byte missing
    EXPECT_EQ(read_u16le(input), -257);     // both missing
}

TEST(Skip, MovesForwardAndMayPassTheEnd)
{
    Bytes bytes{1, 2, 3, 4};
    ByteInput input = memory_input(bytes.data(), bytes.size());
    skip(input, 2);
    EXPECT_EQ(read_u8(input), 3);
    skip(input, 0);
    EXPECT_EQ(read_u8(input), 4);
    EXPECT_FALSE(input.ended);
    skip(input, 100);
    EXPECT_TRUE(input.ended);
    EXPECT_EQ(read_u8(input), -1);
}

std::string decode(const Bytes& bytes, std::size_t* consumed = nullptr)
{
    ByteInput input = memory_input(bytes.data(), bytes.size());
    std::string text = "stale";
    read_scrambled_text(input, text);
    if (consumed)
        *consumed = static_cast<std::size_t>(input.next - bytes.data());
    return text;
}

TEST(ScrambledText, DecodesUpToTheTerminatorAndConsumesIt)
{
    Bytes bytes = testing::scramble("Alder");
    bytes.push_back(0x77);
    std::size_t consumed = 0;
    EXPECT_EQ(decode(bytes, &consumed), "Alder");
    EXPECT_EQ(consumed, 6u);

    EXPECT_EQ(decode(Bytes{0x5A, 0x11}, &consumed), "");
    EXPECT_EQ(consumed, 1u);
}

TEST(ScrambledText, PassesEveryByteValueThrough)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(decode(testing::scramble(all)), all);
}

TEST(ScrambledText, StopsAtTheEndWithoutTerminator)
{
    Bytes bytes = testing::scramble("cut short");
    bytes.pop_back();
    EXPECT_EQ(decode(bytes), "cut short");
    EXPECT_EQ(decode(Bytes{}), "");
}

TEST(ScrambledText, HoldsLongTextsWhole)
{
    std::string text(100000, 'x');
    text[1023] = 'y';
    text.back() = 'z';
    EXPECT_EQ(decode(testing::scramble(text)), text);
}

// A text and its terminating zero fit in 16 MiB; a longer one ends the input
// with EFBIG, wherever the edge falls in the input's buffer-fulls.
TEST(ScrambledText, IsBoundedAt16MiBWithItsTerminatingZero)
{
    constexpr std::size_t mib16 = std::size_t{16} << 20;
    struct Case {
        std::size_t length;
        bool terminated;
        int error;
    };
    const Case cases[] = {
        {mib16 - 1, true, 0}, {mib16 - 1, false, 0},  // the input ends: a short file, not too large
        {mib16, true, EFBIG}, {mib16, false, EFBIG}, {mib16 + 70000, true, EFBIG},
    };
    for (std::size_t chunk : {mib16 * 2, std::size_t{65536}, std::size_t{1000}}) {
        for (const Case& c : cases) {
            Bytes bytes(c.length, 0x00);
            if (c.terminated)
                bytes.push_back(0x5A);
            ByteInput input = chunked_memory_input(bytes, chunk);
            std::string text;
            read_scrambled_text(input, text);
            SCOPED_TRACE(::testing::Message() << c.length << " bytes, chunks of " << chunk);
            EXPECT_EQ(input.error, c.error);
            if (c.error == 0) {
                EXPECT_EQ(text.size(), c.length);
                EXPECT_EQ(text.find_first_not_of('\x5A'), std::string::npos);
                EXPECT_EQ(input.ended, !c.terminated);
            } else {
                EXPECT_TRUE(input.ended);
                EXPECT_EQ(read_u8(input), -1);
            }
        }
    }
}

// Where the scan stops: the count of bytes consumed, or -1 if it ran off the end.
long marker_end(const Bytes& bytes)
{
    ByteInput input = memory_input(bytes.data(), bytes.size());
    skip_past_record_marker(input);
    return input.ended ? -1 : static_cast<long>(input.next - bytes.data());
}

TEST(RecordMarker, CompletesAtTheFirst30AfterA39)
{
    EXPECT_EQ(marker_end({0x39, 0x30, 0x39, 0x30}), 2);
    EXPECT_EQ(marker_end({0x39, 0x39, 0x30}), 3);
    EXPECT_EQ(marker_end({0x30, 0x39, 0x30}), 3);
    EXPECT_EQ(marker_end({0x11, 0x30, 0x39, 0x11, 0x30, 0x39, 0x30, 0x55}), 7);
}

TEST(RecordMarker, A30AtTheStartIsNotAMarker)
{
    EXPECT_EQ(marker_end({0x30}), -1);
    EXPECT_EQ(marker_end({0x30, 0x30}), -1);
}

TEST(RecordMarker, StopsAtTheEndWhenThereIsNone)
{
    EXPECT_EQ(marker_end({}), -1);
    EXPECT_EQ(marker_end({0x30, 0x39}), -1);
    EXPECT_EQ(marker_end(Bytes(100000, 0x39)), -1);
}

// A file larger than the input's buffer, so fields straddle refills.
class FileInput : public ::testing::Test {
protected:
    ByteInput open(const Bytes& bytes)
    {
        std::string path = dir_.path("input");
        EXPECT_TRUE(testing::save_file(path, bytes));
        ByteInput input;
        EXPECT_EQ(open_file(path, input.file), 0);
        input.has_file = true;
        return input;
    }

    testing::TempDir dir_;
    static constexpr std::size_t block = std::tuple_size_v<decltype(ByteInput::buffer)>;
};

TEST_F(FileInput, MarkerSplitAcrossRefills)
{
    Bytes bytes(block, 0x11);
    bytes[block - 1] = 0x39;
    bytes.push_back(0x30);
    bytes.push_back(0x42);
    ByteInput input = open(bytes);
    skip_past_record_marker(input);
    EXPECT_EQ(read_u8(input), 0x42);
    close_file(input.file);
}

TEST_F(FileInput, TextAndSkipsAcrossRefills)
{
    std::string text(3 * block, 'q');
    Bytes bytes(block - 3, 0x11);
    Bytes stored = testing::scramble(text);
    bytes.insert(bytes.end(), stored.begin(), stored.end());
    bytes.insert(bytes.end(), {0x01, 0x02, 0x03, 0x04});
    ByteInput input = open(bytes);
    skip(input, block - 3);
    std::string read;
    read_scrambled_text(input, read);
    EXPECT_EQ(read, text);
    skip(input, 3);
    EXPECT_EQ(read_u8(input), 0x04);
    EXPECT_EQ(read_u8(input), -1);
    close_file(input.file);
}

}  // namespace
}  // namespace tolvex
