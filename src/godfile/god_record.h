#pragma once

#include <array>
#include <string>

namespace tolvex {

// The fields of one god-design file that the report shows, in file order.
// Numbers are held signed and raw: nothing here is validated, the report
// decides how an out-of-range value prints.
struct GodRecord {
    int nation = 0;
    std::string lead_text;
    int body = 0;
    int hit_points = 0;
    std::string caption_a;
    int dominion = 0;
    std::array<int, 8> paths{};   // Fire, Air, Water, Earth, Astral, Death, Nature, Blood
    std::array<int, 6> scales{};  // raw bytes 0..255, one per scale pair
    std::string caption_b;
    int sleep_state = 0;
};

}  // namespace tolvex
