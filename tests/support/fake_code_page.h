#pragma once

#include "cli/code_page.h"

namespace tolvex::testing {

// A double-byte code page for tests: 0x81 to 0x9F are lead bytes; the
// two-byte characters 0x82 0x81 to 0x82 0x9A are lower-case letters whose
// upper case is 0x82 0x60 to 0x82 0x79; the single byte 0xC0 is upper case
// with 0xE0 as its lower case.
inline CodePage fake_double_byte_code_page()
{
    CodePage page = single_byte_code_page();
    for (unsigned byte = 0x81; byte <= 0x9F; ++byte)
        page.lead_byte[byte] = true;
    page.fold[0xC0] = 0xE0;
    page.fold_double_byte = [](unsigned char lead, unsigned char trail) {
        if (lead == 0x82 && trail >= 0x81 && trail <= 0x9A)
            return 0x8200u + trail - 0x21u;
        return lead * 256u + trail;
    };
    return page;
}

}  // namespace tolvex::testing
