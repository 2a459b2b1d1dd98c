#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/code_page.h"

namespace tolvex {

struct Argument {
    std::string text;
    // Whether the argument's first character on the command line was a
    // double quote: such an argument is never taken as a wildcard pattern.
    bool quoted = false;
};

// Splits a whole command line, program name first, the way the platform's
// C runtime does for a console program:
// - the program name runs to the first blank or tab outside double quotes;
//   a double quote toggles quoting and is dropped, backslashes are ordinary;
// - the other arguments are separated by runs of blanks and tabs outside
//   double quotes;
// - 2n backslashes before a double quote give n backslashes and the quote
//   toggles quoting; 2n+1 give n backslashes and a literal double quote;
//   other backslashes are copied as they are;
// - inside a quoted stretch, two double quotes give one literal double quote
//   and end the stretch;
// - a lead byte takes the next byte with it, whatever that byte is.
std::vector<Argument> split_command_line(std::string_view line, const CodePage& code_page);

}  // namespace tolvex
