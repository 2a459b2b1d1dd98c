#pragma once

#include <string>

#include "fileio/read_ahead.h"
#include "godfile/god_record.h"
#include "godfile/read_god_record.h"

namespace tolvex {

struct ReadResult {
    ReadStatus status = ReadStatus::ok;
    int error = 0;
};

// Opens `path`, reads it into `record` and closes it again.
ReadResult read_god_file(const std::string& path, GodRecord& record);

// The same for file `index` of those `ahead` reads, taking what it has
// read of the file already.
ReadResult read_god_file(const std::string& path, GodRecord& record, ReadAhead& ahead,
                         std::size_t index);

}  // namespace tolvex
