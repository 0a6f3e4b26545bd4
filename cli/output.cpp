#include "cli/output.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace velhorn::cli {

Output::Output(std::FILE* file) : file_(file)
{
    // A chunk and the row that crosses it, touched once now, so that a long run uses the memory
    // of a short one.
    buffer_.resize(kChunk + 4096);
    buffer_.clear();
}

Output::~Output()
{
    flush();
}

void Output::complain(std::string_view what)
{
    complaints_ += "velhorn-cli: ";
    complaints_ += what;
    complaints_ += '\n';
}

void Output::flush()
{
    if (!complaints_.empty()) {
        std::fwrite(complaints_.data(), 1, complaints_.size(), stderr);
        std::fflush(stderr);
        complaints_.clear();
    }
    put(buffer_);
    buffer_.clear();
}

void Output::write(std::string_view text)
{
    flush();
    put(text);
}

void Output::put(std::string_view text)
{
    const bool written = text.empty() || std::fwrite(text.data(), 1, text.size(), file_) == text.size();
    if (written && std::fflush(file_) == 0)
        return;
    if (errno == EPIPE)
        std::_Exit(0);
    std::fprintf(stderr, "velhorn-cli: cannot write the results: %s\n", std::strerror(errno));
    std::_Exit(2);
}

}  // namespace velhorn::cli
