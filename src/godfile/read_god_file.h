#pragma once

#include <cstddef>
#include <string>

#include "fileio/read_ahead.h"
#include "godfile/god_record.h"
#include "godfile/read_god_record.h"

namespace tolvex {

struct ReadResult {
    ReadStatus status = ReadStatus::ok;
    int error = 0;
};

// Reads file `index` of those `ahead` reads, which is `path`, into `record`:
// takes its bytes from file input, reads the record and closes the file.
// With no read-ahead, the file is opened now.
ReadResult read_god_file(const std::string& path, GodRecord& record, ReadAhead* ahead = nullptr,
                         std::size_t index = 0);

}  // namespace tolvex
