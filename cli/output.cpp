#include "cli/output.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace velhorn::cli {

Output::Output(std::FILE* file) : file_(file)
{
    buffer_.reserve(kChunk + 4096);  // a chunk and the row that crosses it
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
