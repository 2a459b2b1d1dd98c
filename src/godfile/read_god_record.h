#pragma once

#include "fileio/byte_input.h"
#include "godfile/god_record.h"

namespace tolvex {

// The god-design file, as far as tolvex reads it. Offsets in the first block
// are from the start of the file; T is just after the lead text, M just after
// the record marker, A just after caption A, B just after caption B.
//
//   0      6   not examined
//   6      2   16-bit field, read and dropped
//   8      2   not examined
//   10     2   16-bit field, read and dropped
//   12     14  not examined
//   26     2   nation, 16-bit little-endian
//   28     10  not examined
//   38     -   lead text, scrambled, ends at T
//   T      -   bytes up to and including the record marker 0x39 0x30; ends at M
//   M      18  not examined
//   M+18   2   body, 16-bit little-endian
//   M+20   2   hit points, 16-bit little-endian
//   M+22   22  not examined
//   M+44   2   16-bit field, read and dropped
//   M+46   7   not examined
//   M+53   -   caption A, scrambled, ends at A
//   A      2   16-bit field, read and dropped
//   A+2    73  not examined
//   A+75   1   dominion
//   A+76   8   path levels: Fire, Air, Water, Earth, Astral, Death, Nature, Blood
//   A+84   38  not examined
//   A+122  6   scale bytes: Order, Productivity, Heat, Growth, Fortune, Magic
//   A+128  -   caption B, scrambled, ends at B
//   B      1   sleep state; nothing after it is read
//
// A scrambled text is its bytes XOR 0x5A followed by the byte 0x5A. Nothing
// is validated: the file carries no magic number or version.

enum class ReadStatus {
    ok,
    cannot_open,  // the open failed; `error` holds why
    short_file,   // the file ends before the sleep state
    read_error,   // a read failed; `error` holds why
};

// Reads the fields of one file from `input` into `record`.
ReadStatus read_god_record(ByteInput& input, GodRecord& record);

}  // namespace tolvex
