#include "report/print_god_report.h"

#include <algorithm>
#include <cstddef>

#include "report/name_tables.h"

namespace tolvex {

namespace {

const char* or_null(const char* name)
{
    return name ? name : "(null)";
}

// Numbers come straight from the file, so each is checked against its table
// here, including the negative values a short file would leave.
template <std::size_t N>
const char* const* slot(const std::array<const char*, N>& table, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= N)
        return nullptr;
    return &table[static_cast<std::size_t>(index)];
}

template <typename Values>
bool all_zero(const Values& values)
{
    return std::all_of(values.begin(), values.end(), [](int v) { return v == 0; });
}

}  // namespace

void print_god_report(const GodRecord& record, Output& out)
{
    write(out, record.caption_a, ", ", record.caption_b, "\n");

    if (const auto* nation = slot(nation_names, record.nation))
        write(out, or_null(*nation), "\n");
    else
        write(out, "Bogus nation number ", record.nation, "\n");

    if (const auto* body = slot(body_names, record.body))
        write(out, or_null(*body), " (Body ", record.body, ", ", record.hit_points, " hits)\n");
    else
        write(out, "Bogus body number ", record.body, "\n");

    if (all_zero(record.paths)) {
        write(out, "No magic\n");
    } else {
        write(out, "Magic:");
        for (std::size_t i = 0; i < record.paths.size(); ++i)
            if (record.paths[i] != 0)
                write(out, "  ", path_names[i], " ", record.paths[i]);
        write(out, "\n");
    }

    write(out, "Dominion ", record.dominion, "\n");

    // A scale byte is signed: 1 to 3 lean to the pair's second side, 253 to
    // 255 (-3 to -1) to its first side.
    if (all_zero(record.scales)) {
        write(out, "No scales\n");
    } else {
        write(out, "Scales:");
        for (std::size_t i = 0; i < record.scales.size(); ++i) {
            int v = record.scales[i];
            if (v == 0)
                continue;
            if (v <= 3)
                write(out, "  ", scale_names[i + 6], " ", v);
            else
                write(out, "  ", scale_names[i], " ", 256 - v);
        }
        write(out, "\n");
    }

    if (const auto* state = slot(state_names, record.sleep_state))
        write(out, *state, "\n");
    else
        write(out, "Bogus state number ", record.sleep_state, "\n");
}

}  // namespace tolvex
