// The numbers out of the window: the context menu and its shortcuts, copying the last result
// and the chart, saving the chart, and the history of presses kept across runs.
#include "calculator/form1.h"
#include "history/clipboard.h"
#include "history/history.h"
#include "history/history_window.h"
#include "widgets/colours.h"
#include "widgets/picture_box.h"
#include "widgets/save_file.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QShortcut>
#include <QStandardPaths>
#include <QTimer>
#ifdef VELHORN_SVG
#include <QSvgGenerator>
#endif

namespace velhorn::calculator {

namespace {

constexpr int kScreenDotsPerInch = 96;

#ifdef VELHORN_SVG
constexpr bool kSavesSvg = true;

// The chart as a vector drawing of the very strokes on screen, at the drawing area's size and at
// the 96 dots an inch the PNG declares, so both land in a document at the same size.
QByteArray chartSvg(const widgets::PictureBox& chart)
{
    QBuffer bytes;
    const QSize size = chart.image().deviceIndependentSize().toSize();
    QSvgGenerator svg;
    svg.setOutputDevice(&bytes);
    svg.setResolution(kScreenDotsPerInch);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("Velhorn: nu against M"));
    svg.setDescription(chart.accessibleDescription());
    QPainter painter(&svg);
    painter.fillRect(QRect(QPoint(0, 0), size), chart.backColor());
    chart.replay(painter);
    painter.end();
    return bytes.data();
}
#else
constexpr bool kSavesSvg = false;
QByteArray chartSvg(const widgets::PictureBox&) { return {}; }
#endif

QByteArray chartPng(const widgets::PictureBox& chart)
{
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    QImage image = chart.image();
    const int dotsPerMetre = qRound(kScreenDotsPerInch / 0.0254 * image.devicePixelRatio());
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.save(&bytes, "PNG");
    return bytes.data();
}

}  // namespace

void Form1::makeContextMenu()
{
    history_ = std::make_unique<history::History>(history::History::defaultPath());
    connect(history_.get(), &history::History::cannotSave, this, &Form1::MsgBox);
    QTimer::singleShot(0, this, [this] {
        if (const auto message = history_->takeStartupMessage())
            MsgBox(*message);
    });

    contextMenu_ = new QMenu(this);
    contextMenu_->setAccessibleName(QStringLiteral("Results and chart"));
    const auto item = [this](const QString& text, const QKeySequence& keys, void (Form1::*handler)()) {
        QAction* action = contextMenu_->addAction(text, this, handler);
        action->setShortcut(keys);
        addAction(action);  // the shortcut works with the menu closed
        return action;
    };
    copyResults_ = item(QString::fromUtf8(window::form1::kCopyResults.data()), QKeySequence::Copy, &Form1::copyResults);
    copyResults_->setEnabled(false);
    item(QStringLiteral("Copy c&hart"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &Form1::copyChart);
    item(QString::fromUtf8(window::form1::kSaveChart.data()), QKeySequence::Save, &Form1::saveChart_Click);
    contextMenu_->addSeparator();
    item(QStringLiteral("H&istory..."), QKeySequence(Qt::CTRL | Qt::Key_H), &Form1::showHistory);
    item(QStringLiteral("C&lear history"), QKeySequence(), &Form1::clearHistory);

    // Shift+F10 opens the menu where the keyboard is, as the menu key does; in a text box, its own.
    auto* shiftF10 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(shiftF10, &QShortcut::activated, this, [this] {
        QWidget* target = focusWidget() ? focusWidget() : Picture1;
        QContextMenuEvent event(QContextMenuEvent::Keyboard, target->rect().center(),
                                target->mapToGlobal(target->rect().center()));
        QCoreApplication::sendEvent(target, &event);
    });

    saveDialog_ = [this] {
        const QString folder = widgets::saveFolder(QStandardPaths::PicturesLocation, lastSaveFolder_);
        QString filter;
        const QString filters = kSavesSvg ? QStringLiteral("PNG image (*.png);;SVG drawing (*.svg)")
                                          : QStringLiteral("PNG image (*.png)");
        QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save chart as"),
                                                    folder + QStringLiteral("/velhorn-chart.png"), filters, &filter);
        if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
            path += filter.startsWith(QStringLiteral("SVG")) ? QStringLiteral(".svg") : QStringLiteral(".png");
        if (!path.isEmpty())
            lastSaveFolder_ = QFileInfo(path).absolutePath();
        return path;
    };
    questionBox_ = [this](const QString& question) {
        return QMessageBox::question(this, QString::fromLatin1(kApplicationTitle), question) == QMessageBox::Yes;
    };
}

void Form1::contextMenuEvent(QContextMenuEvent* event)
{
    const QPoint at = event->reason() == QContextMenuEvent::Mouse
                          ? event->globalPos()
                          : (focusWidget() ? focusWidget() : Picture1)->mapToGlobal(QPoint(0, 0)) + QPoint(8, 8);
    contextMenu_->popup(at);
    event->accept();
}

void Form1::keepPress(std::optional<press::Mode> mode, const press::Typed& typed, const press::Outcome& outcome)
{
    auto record = press::recordOfPress(mode, typed, outcome, history::timeNow());
    if (!record)
        return;
    lastResult_ = std::move(record);
    copyResults_->setEnabled(true);
    history_->add(*lastResult_);
}

void Form1::forgetLastResult()
{
    // The boxes no longer show it; the history still has it.
    lastResult_.reset();
    if (copyResults_)
        copyResults_->setEnabled(false);
}

void Form1::copyResults()
{
    if (lastResult_)
        history::copyToClipboard({*lastResult_});
}

void Form1::copyChart()
{
    QApplication::clipboard()->setImage(Picture1->image());
}

void Form1::saveChart_Click()
{
    if (const QString path = saveDialog_(); !path.isEmpty())
        saveChart(path);
}

void Form1::saveChart(const QString& path)
{
    const bool svg = kSavesSvg && path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
    if (const auto failure = widgets::saveWhole(path, svg ? chartSvg(*Picture1) : chartPng(*Picture1)))
        MsgBox(QStringLiteral("The chart could not be saved as %1: %2.").arg(QDir::toNativeSeparators(path), *failure));
}

void Form1::showHistory()
{
    if (!historyWindow_)
        historyWindow_ = std::make_unique<history::HistoryWindow>(*history_, [this](const QString& text) { MsgBox(text); });
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->activateWindow();
}

void Form1::clearHistory()
{
    if (questionBox_(QStringLiteral("Clear the history of every press?")))
        history_->clear();
}

}  // namespace velhorn::calculator
