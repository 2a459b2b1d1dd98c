// Fuzz target: the reader, fed from memory through the primitives that read
// files, with the properties every input must keep.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "god_file_writer.h"
#include "godfile/read_god_record.h"

namespace tolvex {
namespace {

using fuzz::require;

struct Reading {
    ReadStatus status;
    GodRecord record;
    std::size_t consumed;  // bytes taken from the input
};

Reading read_from(ByteInput&& input, const unsigned char* data)
{
    Reading r;
    r.status = read_god_record(input, r.record);
    r.consumed = static_cast<std::size_t>(input.next - data);
    require(input.error == 0, "memory never fails to read");
    return r;
}

Reading read_whole(const unsigned char* data, std::size_t size)
{
    return read_from(memory_input(data, size), data);
}

bool same_reading(const Reading& a, const Reading& b)
{
    return a.status == b.status && a.consumed == b.consumed &&
           fuzz::same_record(a.record, b.record);
}

bool in_range(int value, int low, int high)
{
    return value >= low && value <= high;
}

// What a complete record can hold: the values of whole bytes and 16-bit
// numbers, texts without the zero byte.
bool complete_values(const GodRecord& r)
{
    bool ok = in_range(r.nation, 0, 65535) && in_range(r.body, 0, 65535) &&
              in_range(r.hit_points, 0, 65535) && in_range(r.dominion, 0, 255) &&
              in_range(r.sleep_state, 0, 255);
    for (int v : r.paths)
        ok = ok && in_range(v, 0, 255);
    for (int v : r.scales)
        ok = ok && in_range(v, 0, 255);
    for (const std::string* text : {&r.lead_text, &r.caption_a, &r.caption_b})
        ok = ok && text->find('\0') == std::string::npos;
    return ok;
}

// The writer lays the record out again with no gap and no tail.
std::vector<unsigned char> rewrite(const GodRecord& r)
{
    testing::GodFileFields f;
    f.nation = r.nation;
    f.lead_text = r.lead_text;
    f.gap = 0;
    f.body = r.body;
    f.hit_points = r.hit_points;
    f.caption_a = r.caption_a;
    f.dominion = r.dominion;
    f.paths = r.paths;
    f.scales = r.scales;
    f.caption_b = r.caption_b;
    f.sleep_state = r.sleep_state;
    f.tail = 0;
    return testing::write_god_file(f);
}

// Fixed bytes of a record with three empty texts and no gap.
constexpr std::size_t smallest_file = 225;

}  // namespace
}  // namespace tolvex

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tolvex;
    Reading whole = read_whole(data, size);
    require(whole.status == ReadStatus::ok || whole.status == ReadStatus::short_file,
            "the outcome is a record or a short file");
    require(whole.consumed <= size, "the reader stays inside the input");

    // Refills may fall anywhere: between the bytes of a number, inside a
    // text, between the two bytes of the record marker.
    for (std::size_t chunk : {1, 2, 3, 7, 64})
        require(same_reading(read_from(chunked_memory_input({data, size}, chunk), data), whole),
                "the same bytes read the same whatever the refill size");

    if (whole.status == ReadStatus::short_file) {
        require(whole.consumed == size, "a short file was read to its end");
        require(read_whole(data, size / 2).status == ReadStatus::short_file,
                "the front part of a short file is short");
        return 0;
    }

    const GodRecord& r = whole.record;
    require(complete_values(r), "a complete record holds bytes, 16-bit numbers and texts");
    require(whole.consumed >=
                smallest_file + r.lead_text.size() + r.caption_a.size() + r.caption_b.size(),
            "a complete record takes at least its fixed bytes and its texts");

    Reading cut = read_whole(data, whole.consumed);
    require(same_reading(cut, whole), "the bytes up to the sleep state are the whole record");
    require(read_whole(data, whole.consumed - 1).status == ReadStatus::short_file,
            "a file that ends before the sleep state is short");

    std::vector<unsigned char> longer(data, data + size);
    longer.push_back(static_cast<unsigned char>(size == 0 ? 0 : ~data[size - 1]));
    Reading extra = read_whole(longer.data(), longer.size());
    require(same_reading(extra, whole), "bytes after the sleep state change nothing");

    std::vector<unsigned char> again = rewrite(r);
    Reading reread = read_whole(again.data(), again.size());
    require(reread.status == ReadStatus::ok && fuzz::same_record(reread.record, r) &&
                reread.consumed == again.size(),
            "the record laid out again by the writer reads back the same");
    return 0;
}
