// Fuzz target: the whole way from a file's bytes to its report text. The
// report is checked against one rendered here from the record with the
// report's format strings, and for its shape: the caption line, then six.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_check.h"
#include "godfile/read_god_record.h"
#include "report/name_tables.h"
#include "report/print_god_report.h"

namespace tolvex {
namespace {

using fuzz::require;

template <typename... Args>
std::string format(const char* pattern, Args... args)
{
    int size = std::snprintf(nullptr, 0, pattern, args...);
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, args...);
    text.pop_back();
    return text;
}

const char* name_or_null(const char* name)
{
    return name ? name : "(null)";
}

std::string expected_report(const GodRecord& r)
{
    std::string text = format("%s, %s\n", r.caption_a.c_str(), r.caption_b.c_str());

    if (r.nation < 0 || r.nation > 72)
        text += format("Bogus nation number %d\n", r.nation);
    else
        text += format("%s\n", name_or_null(nation_names.at(static_cast<std::size_t>(r.nation))));

    if (r.body < 0 || r.body > 1810)
        text += format("Bogus body number %d\n", r.body);
    else
        text += format("%s (Body %d, %d hits)\n",
                       name_or_null(body_names.at(static_cast<std::size_t>(r.body))), r.body,
                       r.hit_points);

    if (std::count(r.paths.begin(), r.paths.end(), 0) == 8) {
        text += "No magic\n";
    } else {
        text += "Magic:";
        for (std::size_t i = 0; i < 8; ++i)
            if (r.paths[i] != 0)
                text += format("  %s %d", path_names[i], r.paths[i]);
        text += "\n";
    }

    text += format("Dominion %d\n", r.dominion);

    if (std::count(r.scales.begin(), r.scales.end(), 0) == 6) {
        text += "No scales\n";
    } else {
        text += "Scales:";
        for (std::size_t i = 0; i < 6; ++i) {
            int v = r.scales[i];
            if (v != 0 && v <= 3)
                text += format("  %s %d", scale_names[i + 6], v);
            else if (v != 0)
                text += format("  %s %d", scale_names[i], 256 - v);
        }
        text += "\n";
    }

    if (r.sleep_state < 0 || r.sleep_state > 2)
        text += format("Bogus state number %d\n", r.sleep_state);
    else
        text += format("%s\n", state_names[static_cast<std::size_t>(r.sleep_state)]);
    return text;
}

// The report as it reaches a file, read back.
std::string printed_report(const GodRecord& record)
{
    std::FILE* stream = std::tmpfile();
    require(stream != nullptr, "a temporary file can be made");
    Output out;
    out.stream = stream;
    print_god_report(record, out);
    require(flush_output(out), "the report is written");
    std::string text(static_cast<std::size_t>(std::ftell(stream)), '\0');
    std::rewind(stream);
    require(std::fread(text.data(), 1, text.size(), stream) == text.size(),
            "the report reads back");
    std::fclose(stream);
    return text;
}

}  // namespace
}  // namespace tolvex

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tolvex;
    GodRecord record;
    ByteInput input = memory_input(data, size);
    ReadStatus status = read_god_record(input, record);
    require(status == ReadStatus::ok || status == ReadStatus::short_file,
            "the outcome is a record or a short file");

    // The program never prints a short file's record, but a partial record
    // must still print without reaching outside a table.
    std::string text = printed_report(record);
    std::string captions = record.caption_a + ", " + record.caption_b + "\n";
    require(text.compare(0, captions.size(), captions) == 0,
            "the report starts with the caption line");
    std::string rest = text.substr(std::min(captions.size(), text.size()));
    require(std::count(rest.begin(), rest.end(), '\n') == 6 && !rest.empty() && rest.back() == '\n',
            "six whole lines follow the caption line");
    require(text == expected_report(record), "each line has its exact format");
    return 0;
}
