// Runs a command and prints its peak resident memory in KiB on standard error, after anything the
// command wrote there. A process Python starts cannot be measured from Python: across exec, a
// child keeps the high-water mark of the process it was forked from, and Python's is larger than
// a small batch's. This program's own is small.   peak_rss COMMAND [ARG...]
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: peak_rss COMMAND [ARG...]\n");
        return 2;
    }
    pid_t child;
    if (const int error = posix_spawnp(&child, argv[1], nullptr, nullptr, argv + 1, environ); error != 0) {
        std::fprintf(stderr, "peak_rss: cannot start %s: %s\n", argv[1], std::strerror(error));
        return 2;
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("peak_rss: wait4");
        return 2;
    }
    std::fprintf(stderr, "peak_rss_kib %ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
