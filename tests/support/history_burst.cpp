// A scripted burst of presses into a history, for the test that kills it: adds one press every
// 0.2 ms and, after each, prints its number and the monotonic clock in nanoseconds.
#include "history/history.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <thread>

#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    velhorn::history::History history(QString::fromLocal8Bit(argv[1]));
    velhorn::history::Entry entry{{}, velhorn::history::timeNow(), velhorn::press::Mode::M2};
    entry.values.fill(1);
    for (long press = 0;; ++press) {
        entry.values[1] = static_cast<double>(press);  // which press a line is
        history.add(entry);
        const long long now =
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
        char line[64];
        const int length = std::snprintf(line, sizeof line, "%ld %lld\n", press, now);
        if (write(STDOUT_FILENO, line, static_cast<std::size_t>(length)) != length)
            return 1;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}
