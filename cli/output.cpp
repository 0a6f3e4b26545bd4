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
    const bool written = buffer_.empty() || std::fwrite(buffer_.data(), 1, buffer_.size(), file_) == buffer_.size();
    buffer_.clear();
    if (written && std::fflush(file_) == 0)
        return;
    if (errno == EPIPE)
        std::_Exit(0);
    std::fprintf(stderr, "velhorn-cli: cannot write the results: %s\n", std::strerror(errno));
    std::_Exit(2);
}

}  // namespace velhorn::cli
