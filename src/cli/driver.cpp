#include "cli/driver.h"

#include <algorithm>
#include <cstring>

#include "fileio/file.h"
#include "godfile/read_god_file.h"
#include "report/print_god_report.h"

namespace tolvex {

namespace {

std::string failure_text(const std::string& path, const ReadResult& result)
{
    if (result.status == ReadStatus::short_file)
        return "Unexpected end of file";
    return file_error_text(path, result.error);
}

// The message goes out in one write, so it stays one line whatever else
// shares the device, and ahead of any report still held in a buffer.
void write_line(MessageStream err, const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), err.stream);
    std::fflush(err.stream);
}

void report_cannot_read(MessageStream err, const std::string& path, const ReadResult& result)
{
    std::string line = "tolvex: can't read ";
    // An empty name leaves out the name and its separator, as the platform's
    // own error report does.
    if (!path.empty()) {
        auto name = static_cast<std::ptrdiff_t>(line.size());
        line += path + ": ";
        if (err.terminal)
            std::replace_if(line.begin() + name, line.end(), is_control_byte, '?');
    }
    line += failure_text(path, result) + "\n";
    write_line(err, line);
}

}  // namespace

int run_tolvex(const std::vector<std::string>& arguments, Output& out, MessageStream err,
               const ReadAheadPlan& plan, const std::vector<bool>& listed_plain)
{
    if (arguments.size() < 2) {
        write_line(err, "Usage: tolvex <files>\n");
        return exit_usage;
    }

    int status = exit_success;
    bool headers = arguments.size() > 2;
    GodRecord record;
    ReadAheadRun ahead = start_read_ahead(arguments, 1, plan, listed_plain);
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& path = arguments[i];
        ReadResult result = read_god_file(path, record, ahead.get(), i);
        if (result.status != ReadStatus::ok) {
            report_cannot_read(err, path, result);
            status = exit_cannot_read;
            break;
        }
        if (headers)
            write(out, "\n----", path, "----\n\n");
        print_god_report(record, out);
    }

    if (!flush_output(out)) {
        write_line(err, std::string("tolvex: write error: ") + std::strerror(out.error) + "\n");
        if (status == exit_success)
            status = exit_write_error;
    }
    return status;
}

}  // namespace tolvex
