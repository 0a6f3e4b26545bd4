#pragma once

#include <cstdio>
#include <string>

namespace velhorn::cli {

// Standard output through one large buffer. A reader that went away (`| head`) ends the program
// quietly; any other failed write is reported once, and the program ends with status 2.
class Output {
public:
    explicit Output(std::FILE* file);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    std::string& buffer() { return buffer_; }
    // Hands the buffer to the system once it is large enough to be worth a write.
    void maybeFlush()
    {
        if (buffer_.size() >= kChunk)
            flush();
    }
    void flush();

private:
    static constexpr std::size_t kChunk = 1 << 14;  // small, so a long run touches little more memory than a short one
    std::FILE* file_;
    std::string buffer_;
};

}  // namespace velhorn::cli
