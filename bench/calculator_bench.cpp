// The window's costs, each beside a floor: the least the same job could cost with the tools it
// is built on. Runs offscreen.
#include "calculator/form1.h"
#include "flow/solve.h"
#include "history/history.h"
#include "history/history_window.h"
#include "widgets/command_button.h"
#include "widgets/picture_box.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <memory>

#include <benchmark/benchmark.h>

using velhorn::calculator::Form1;

namespace {

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

Form1& shownWindow()
{
    static Form1* form = [] {
        auto* f = new Form1;
        f->setMessageBox([](const QString&) {});
        f->show();
        settle();
        return f;
    }();
    return *form;
}

// Whole presses in `mode` (0 M1, 1 Teta, 2 M2), with the chart redrawn and the markers drawn,
// each until the event loop is idle.
void pressRepeatedly(benchmark::State& state, Form1& f, int mode)
{
    QRadioButton* const options[] = {f.Option_M1, f.Option_Teta, f.Option_M2};
    options[mode]->click();
    f.Text_M1->setText("2");
    settle();
    bool odd = false;
    for (auto _ : state) {
        // New inputs each time, so every result box changes and is repainted.
        odd = !odd;
        f.Text_Teta->setText(odd ? QStringLiteral("10") : QStringLiteral("11"));
        f.Text_M2->setText(odd ? QStringLiteral("3") : QStringLiteral("3.5"));
        f.Command1->click();
        settle();
    }
}

void BM_Press(benchmark::State& state)
{
    const int mode = static_cast<int>(state.range(0));
    pressRepeatedly(state, shownWindow(), mode);
    state.SetLabel(mode == 0 ? "M1 mode" : mode == 1 ? "Teta mode" : "M2 mode");
}
BENCHMARK(BM_Press)->DenseRange(0, 2)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// A history file of `count` presses of the window's kind.
void writeHistory(const QString& path, int count)
{
    using namespace velhorn;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    std::string text = history::csvHeader();
    history::Entry entry{{}, history::timeNow(), press::Mode::M2};
    for (int i = 0; i < count; ++i) {
        const auto fan = flow::solveFan(flow::Gas::air(), flow::Given{flow::By::Mach, 1.5 + i * 1e-5}, std::nullopt, 10.0);
        entry.values = press::fanValues(std::get<flow::Fan>(fan));
        text += history::csvLine(entry);
    }
    file.write(text.data(), static_cast<qint64>(text.size()));
}

constexpr int kLongHistory = 100'000;

// Opening the History window on 100 000 presses, until its first rows are shown; the rest of
// the file is read behind them.
void BM_OpenHistory(benchmark::State& state)
{
    using namespace velhorn;
    QTemporaryDir folder;
    const QString path = folder.filePath("history.csv");
    writeHistory(path, kLongHistory);
    history::History kept(path);
    for (auto _ : state) {
        auto window = std::make_unique<history::HistoryWindow>(kept, [](const QString&) {});
        window->show();
        while (window->table()->model()->rowCount() == 0 && window->loading())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
        settle();
        state.PauseTiming();
        benchmark::DoNotOptimize(window->entries().size());
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenHistory)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// A press in M2 mode with the History window open on 100 000 presses, beside BM_Press/2 with it
// closed.
void BM_PressHistoryOpen(benchmark::State& state)
{
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    writeHistory(data.filePath("velhorn/history.csv"), kLongHistory);
    Form1 f;
    f.setMessageBox([](const QString&) {});
    f.show();
    f.showHistory();
    while (f.historyWindow()->loading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    pressRepeatedly(state, f, 2);
    benchmark::DoNotOptimize(f.historyWindow()->entries().size());
}
BENCHMARK(BM_PressHistoryOpen)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// Floor: a button of the same window whose click writes the five result boxes with fixed
// texts and asks the chart to repaint, computing nothing: what showing a result costs.
void BM_PressFloor(benchmark::State& state)
{
    Form1& f = shownWindow();
    static auto* plain = new QPushButton(f.centralWidget());
    static bool odd = false;
    plain->setGeometry(0, 0, 1, 1);
    QObject::connect(plain, &QPushButton::clicked, [&f] {
        odd = !odd;  // alternate, so every write is a change that must be repainted
        for (QLineEdit* box : {f.Text_M2, f.Text_Nu1, f.Text_Nu2, f.Text_p2p1, f.Text_T2T1})
            box->setText(odd ? QStringLiteral("2.385") : QStringLiteral("2.386"));
        f.Picture1->update();
    });
    plain->show();
    settle();
    for (auto _ : state) {
        plain->click();
        settle();
    }
}
BENCHMARK(BM_PressFloor)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_Grafik(benchmark::State& state)
{
    Form1& f = shownWindow();
    for (auto _ : state)
        f.grafik();
}
BENCHMARK(BM_Grafik)->Unit(benchmark::kMicrosecond);

// Floor: the same ink straight onto an image of the same size with a painter.
void BM_GrafikFloor(benchmark::State& state)
{
    Form1& f = shownWindow();
    QImage image(f.Picture1->image().size(), QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::yellow);
        QPainter painter(&image);
        painter.drawLine(20, 280, 20, 20);
        painter.drawLine(20, 280, 200, 280);
        painter.drawPoint(20, 280);
        for (int i = 0; i < 40; ++i)
            painter.drawLine(20 + i * 4, 280 - i * 6, 24 + i * 4, 274 - i * 6);
    }
}
BENCHMARK(BM_GrafikFloor)->Unit(benchmark::kMicrosecond);

// One repaint of the chart from its retained image.
void BM_ChartRepaint(benchmark::State& state)
{
    Form1& f = shownWindow();
    f.grafik();
    for (auto _ : state)
        f.Picture1->repaint();
}
BENCHMARK(BM_ChartRepaint)->Unit(benchmark::kMicrosecond);

// Floor: repainting a bare frame of the same size and border.
void BM_ChartRepaintFloor(benchmark::State& state)
{
    Form1& f = shownWindow();
    static auto* bare = new QFrame(f.centralWidget());
    bare->setFrameStyle(f.Picture1->frameStyle());
    bare->setGeometry(f.Picture1->geometry());
    bare->show();
    bare->lower();
    settle();
    for (auto _ : state)
        bare->repaint();
}
BENCHMARK(BM_ChartRepaintFloor)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
