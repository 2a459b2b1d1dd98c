#include "cli/code_page.h"

namespace tolvex {

namespace {

unsigned keep_double_byte(unsigned char lead, unsigned char trail)
{
    return lead * 256u + trail;
}

}  // namespace

CodePage single_byte_code_page()
{
    CodePage page;
    for (unsigned byte = 0; byte < 256; ++byte)
        page.fold[byte] =
            static_cast<unsigned char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
    page.fold_double_byte = keep_double_byte;
    return page;
}

}  // namespace tolvex
