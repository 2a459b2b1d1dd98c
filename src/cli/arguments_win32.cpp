#include "cli/arguments.h"

#include <windows.h>

#include <new>

#include "cli/directory_search.h"
#include "cli/expand_arguments.h"
#include "cli/split_command_line.h"

// The C runtime must not expand wildcards before main: tolvex does it itself,
// from the command line as typed.
extern "C" {
int _dowildcard = 0;
}

namespace tolvex {

namespace {

[[noreturn]] void fail_out_of_memory()
{
    // Straight to the device: the C runtime's descriptor would turn each
    // line feed into a second carriage return.
    static const char message[] = "\r\nruntime error R6008\r\n- not enough space for arguments\r\n";
    HANDLE device = ::GetStdHandle(STD_ERROR_HANDLE);
    const char* rest = message;
    DWORD left = sizeof message - 1;
    DWORD written = 0;
    while (left > 0 && ::WriteFile(device, rest, left, &written, nullptr) && written > 0) {
        rest += written;
        left -= written;
    }
    // Not _exit or ExitProcess: while the process unloads, the C runtime
    // library can still flush its streams.
    ::TerminateProcess(::GetCurrentProcess(), 255);
    ::ExitProcess(255);
}

unsigned upper_case_double_byte(unsigned char lead, unsigned char trail)
{
    const char character[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    char upper[2];
    if (::LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_UPPERCASE, character, 2, upper, 2) != 2)
        return lead * 256u + trail;
    return static_cast<unsigned char>(upper[0]) * 256u + static_cast<unsigned char>(upper[1]);
}

unsigned char lower_case_single_byte(unsigned char byte)
{
    const char character = static_cast<char>(byte);
    WORD type = 0;
    char lower = character;
    if (::GetStringTypeExA(LOCALE_SYSTEM_DEFAULT, CT_CTYPE1, &character, 1, &type) &&
        (type & C1_UPPER))
        ::LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_LOWERCASE, &character, 1, &lower, 1);
    return static_cast<unsigned char>(lower);
}

// The system's ANSI code page. Only a double-byte one changes anything:
// then two-byte characters are upper-cased by the system and single bytes
// that it marks as upper case compare as lower case; otherwise only the
// ASCII letters are folded.
CodePage ansi_code_page()
{
    CodePage page = single_byte_code_page();
    bool double_byte = false;
    for (unsigned byte = 0; byte < 256; ++byte) {
        page.lead_byte[byte] = ::IsDBCSLeadByte(static_cast<BYTE>(byte));
        double_byte = double_byte || page.lead_byte[byte];
    }
    if (double_byte) {
        for (unsigned byte = 0; byte < 256; ++byte) {
            if (!page.lead_byte[byte])
                page.fold[byte] = lower_case_single_byte(static_cast<unsigned char>(byte));
        }
        page.fold_double_byte = upper_case_double_byte;
    }
    return page;
}

}  // namespace

// The C runtime's own argv is not used: only the command line shows which
// arguments began with a double quote.
std::vector<std::string> command_line_arguments(int, char**, std::vector<bool>*)
{
    // Until the list is made, an allocation that fails ends the process in
    // the new-handler, in place of throwing: that needs no memory, where
    // making an exception can itself fail. Later failures throw as usual.
    std::new_handler previous = std::set_new_handler(fail_out_of_memory);
    CodePage code_page = ansi_code_page();
    std::vector<std::string> arguments = expand_arguments(
        split_command_line(::GetCommandLineA(), code_page), code_page, search_directory);
    std::set_new_handler(previous);
    return arguments;
}

}  // namespace tolvex
