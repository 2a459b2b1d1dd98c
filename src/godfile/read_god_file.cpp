#include "godfile/read_god_file.h"

#include <cerrno>
#include <chrono>

namespace tolvex {

ReadResult read_god_file(const std::string& path, GodRecord& record, ReadAhead& ahead,
                         std::size_t index)
{
    ByteInput input;
    auto start = std::chrono::steady_clock::now();
    bool own_read = !take_read_ahead(ahead, index, input);
    if (own_read) {
        int error = open_file(path, input.file);
        // Descriptors that reading ahead holds may be the ones the system
        // is out of: they are given back, and the file is opened once more.
        if ((error == EMFILE || error == ENFILE) && stop_read_ahead(ahead))
            error = open_file(path, input.file);
        if (error != 0)
            return {ReadStatus::cannot_open, error};
        input.has_file = true;
    }
    ReadStatus status = read_god_record(input, record);
    if (input.has_file)
        close_file(input.file);
    if (own_read)
        note_read(ahead, index, std::chrono::steady_clock::now() - start);
    return {status, input.error};
}

ReadResult read_god_file(const std::string& path, GodRecord& record)
{
    ReadAhead none;
    return read_god_file(path, record, none, 0);
}

}  // namespace tolvex
