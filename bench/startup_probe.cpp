// Start-up timer. Prints how long after the process was launched the first frame of the
// window was painted, and the peak resident memory then and after a number of presses.
// The launcher passes its CLOCK_MONOTONIC launch time in VELHORN_LAUNCH_NS.
//   startup_probe [--minimal | --minimal-text] [presses]
// With --minimal it shows one empty Qt Widgets window instead: the floor for the same work.
// --minimal-text adds one line of text to that window, which brings in the font machinery
// that any window with text needs.
#include "widgets/command_button.h"
#include "calculator/form1.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

long peakResidentKiB()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

double msSinceLaunch()
{
    const char* launch = std::getenv("VELHORN_LAUNCH_NS");
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count();
    return launch ? (now - std::atoll(launch)) / 1e6 : -1;
}

// Notes the end of the first paint of the window, then finishes the run.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(std::function<void()> then) : then_(std::move(then)) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Let this paint reach the screen before stopping the clock.
            QTimer::singleShot(0, watched, then_);
        }
        return false;
    }

private:
    std::function<void()> then_;
    bool seen_ = false;
};

}  // namespace

int main(int argc, char* argv[])
{
    const bool withText = argc > 1 && std::strcmp(argv[1], "--minimal-text") == 0;
    const bool minimal = withText || (argc > 1 && std::strcmp(argv[1], "--minimal") == 0);
    const int presses = argc > 1 + minimal ? std::atoi(argv[1 + minimal]) : 0;
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    velhorn::calculator::Form1* form = nullptr;
    if (minimal) {
        window = std::make_unique<QWidget>();
        window->resize(407, 334);
        if (withText)
            new QLabel(QStringLiteral("Velhorn"), window.get());
    } else {
        window = std::make_unique<velhorn::calculator::Form1>();
        form = static_cast<velhorn::calculator::Form1*>(window.get());
    }
    FirstFrame filter([&] {
        std::printf("first_frame_ms %.3f\npeak_rss_kib_startup %ld\n", msSinceLaunch(), peakResidentKiB());
        if (form && presses > 0) {
            form->setMessageBox([](const QString&) {});
            form->Option_M2->click();
            form->Text_M1->setText("2");
            form->Text_Teta->setText("10");
            for (int i = 0; i < presses; ++i) {
                form->Command1->click();
                QCoreApplication::processEvents();
            }
        }
        std::printf("peak_rss_kib_after_presses %ld\n", peakResidentKiB());
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    window->installEventFilter(&filter);
    window->show();
    return app.exec();
}
