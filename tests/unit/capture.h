#pragma once

#include <cstdio>
#include <string>

namespace tolvex::testing {

// A temporary binary stream whose contents can be read back, to capture
// what code writes to a FILE*.
class Capture {
public:
    Capture() : stream_(std::tmpfile()) {}
    ~Capture()
    {
        if (stream_)
            std::fclose(stream_);
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    std::FILE* stream() const { return stream_; }

    std::string text() const
    {
        std::fflush(stream_);
        std::rewind(stream_);
        std::string out;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, stream_)) > 0;)
            out.append(buffer, n);
        return out;
    }

private:
    std::FILE* stream_;
};

}  // namespace tolvex::testing
