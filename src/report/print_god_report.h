#pragma once

#include "godfile/god_record.h"
#include "report/output.h"

namespace tolvex {

// Writes the seven-line report of `record`. It cannot fail; a failed write
// is left in `out` for the caller to find.
void print_god_report(const GodRecord& record, Output& out);

}  // namespace tolvex
