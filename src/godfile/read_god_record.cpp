#include "godfile/read_god_record.h"

#include <algorithm>

#include "godfile/primitives.h"

namespace tolvex {

ReadStatus read_god_record(ByteInput& input, GodRecord& record)
{
    skip(input, 6);
    read_u16le(input);
    skip(input, 2);
    read_u16le(input);
    skip(input, 14);
    record.nation = read_u16le(input);
    skip(input, 10);
    read_scrambled_text(input, record.lead_text);

    skip_past_record_marker(input);
    skip(input, 18);
    record.body = read_u16le(input);
    record.hit_points = read_u16le(input);
    skip(input, 22);
    read_u16le(input);
    skip(input, 7);
    read_scrambled_text(input, record.caption_a);

    read_u16le(input);
    skip(input, 73);
    record.dominion = read_u8(input);
    std::ranges::generate(record.paths, [&input] { return read_u8(input); });
    skip(input, 38);
    std::ranges::generate(record.scales, [&input] { return read_u8(input); });
    read_scrambled_text(input, record.caption_b);
    record.sleep_state = read_u8(input);

    // Once the input has ended every later read sees the end too, so one
    // test after the last field tells whether the file was complete.
    if (input.error != 0)
        return ReadStatus::read_error;
    return input.ended ? ReadStatus::short_file : ReadStatus::ok;
}

}  // namespace tolvex
