#pragma once

#include <cstdio>
#include <cstdlib>

#include "godfile/god_record.h"

namespace tolvex::fuzz {

// A broken property is a finding like a crash: stop at once, so that the
// fuzzer keeps the input and a replay of it fails.
inline void require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz property broken: %s\n", property);
        std::abort();
    }
}

inline bool same_record(const GodRecord& a, const GodRecord& b)
{
    return a.nation == b.nation && a.lead_text == b.lead_text && a.body == b.body &&
           a.hit_points == b.hit_points && a.caption_a == b.caption_a && a.dominion == b.dominion &&
           a.paths == b.paths && a.scales == b.scales && a.caption_b == b.caption_b &&
           a.sleep_state == b.sleep_state;
}

}  // namespace tolvex::fuzz
