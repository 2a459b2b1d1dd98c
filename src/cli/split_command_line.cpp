#include "cli/split_command_line.h"

namespace tolvex {

namespace {

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

// Copies the character at `at`, both bytes of a two-byte one, and moves past
// it. A lead byte at the very end of the line stands alone.
void copy_character(std::string_view line, std::size_t& at, const CodePage& code_page,
                    std::string& out)
{
    std::size_t length =
        code_page.lead_byte[static_cast<unsigned char>(line[at])] && at + 1 < line.size() ? 2 : 1;
    out.append(line, at, length);
    at += length;
}

std::string split_program_name(std::string_view line, std::size_t& at, const CodePage& code_page)
{
    std::string name;
    bool quoted = false;
    while (at < line.size() && (quoted || !is_blank(line[at]))) {
        if (line[at] == '"') {
            quoted = !quoted;
            ++at;
        } else {
            copy_character(line, at, code_page, name);
        }
    }
    return name;
}

std::string split_argument(std::string_view line, std::size_t& at, const CodePage& code_page)
{
    std::string text;
    bool quoted = false;
    while (at < line.size() && (quoted || !is_blank(line[at]))) {
        if (line[at] == '\\') {
            std::size_t run_end = line.find_first_not_of('\\', at);
            if (run_end == std::string_view::npos)
                run_end = line.size();
            std::size_t run = run_end - at;
            bool before_quote = run_end < line.size() && line[run_end] == '"';
            text.append(before_quote ? run / 2 : run, '\\');
            at = run_end;
            if (!before_quote)
                continue;
            if (run % 2 == 1) {
                text += '"';
                ++at;
                continue;
            }
        }
        if (line[at] == '"') {
            if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
                text += '"';
                at += 2;
                quoted = false;
            } else {
                quoted = !quoted;
                ++at;
            }
            continue;
        }
        copy_character(line, at, code_page, text);
    }
    return text;
}

}  // namespace

std::vector<Argument> split_command_line(std::string_view line, const CodePage& code_page)
{
    std::vector<Argument> arguments;
    std::size_t at = 0;
    bool quoted = !line.empty() && line[0] == '"';
    arguments.push_back({split_program_name(line, at, code_page), quoted});
    for (;;) {
        while (at < line.size() && is_blank(line[at]))
            ++at;
        if (at == line.size())
            break;
        quoted = line[at] == '"';
        arguments.push_back({split_argument(line, at, code_page), quoted});
    }
    return arguments;
}

}  // namespace tolvex
