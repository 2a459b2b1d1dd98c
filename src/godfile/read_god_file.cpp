#include "godfile/read_god_file.h"

namespace tolvex {

ReadResult read_god_file(const std::string& path, GodRecord& record, ReadAhead* ahead,
                         std::size_t index)
{
    ByteInput input;
    if (int error = open_input(ahead, index, path, input); error != 0)
        return {ReadStatus::cannot_open, error};
    ReadStatus status = read_god_record(input, record);
    close_input(ahead, index, input);
    return {status, input.error};
}

}  // namespace tolvex
