#pragma once

#include <array>
#include <cstddef>

namespace tolvex {

// Constant name tables, indexed from 0. An empty slot is a null pointer and
// prints as "(null)".

extern const std::array<const char*, 8> path_names;

// Slot i is the first side of scale pair i, slot i + 6 its second side.
extern const std::array<const char*, 12> scale_names;

extern const std::array<const char*, 3> state_names;

extern const std::array<const char*, 73> nation_names;

// Generated at build time from data/body_names.txt.
constexpr std::size_t body_slot_count = 1811;
extern const std::array<const char*, body_slot_count> body_names;

}  // namespace tolvex
