#pragma once

#include "flow/expansion_fan.h"
#include "history/history_file.h"
#include "press/press.h"
#include "window/layout.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QContextMenuEvent;
class QLabel;
class QMenu;
class QLineEdit;
class QRadioButton;

namespace velhorn::about {
class Form_About;
}
namespace velhorn::history {
class History;
class HistoryWindow;
}  // namespace velhorn::history
namespace velhorn::widgets {
class CommandButton;
class GroupFrame;
class PictureBox;
}  // namespace velhorn::widgets

namespace velhorn::calculator {

inline constexpr const char* kApplicationTitle = window::kApplicationTitle.data();

// The calculator's main window. The user picks which of M1, Teta and M2 is the output, types
// the other two and presses Command1; the results go straight back into the text boxes and
// the chart shows both states.
//
// Where its parts live: the window, its controls, start-up and the About item in form1.cpp;
// the option handlers in option_handlers.cpp; the calculate command in calculate_command.cpp
// (its computation, without the window, in press/); the chart in chart.cpp.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The window model: every control under its name, in the order they are built.
    QAction* const Mn_About;
    QWidget* const client;  // the client area below the menu bar
    widgets::PictureBox* const Picture1;
    // The output options, each with the box of its quantity.
    widgets::GroupFrame* const Frame4;
    QRadioButton* const Option_M1;    QLineEdit* const Text_M1;
    QRadioButton* const Option_Teta;  QLineEdit* const Text_Teta;
    QRadioButton* const Option_M2;    QLineEdit* const Text_M2;
    widgets::CommandButton* const Command1;
    // The results, each box under its caption.
    widgets::GroupFrame* const Frame2;
    QLabel* const Label6;  QLineEdit* const Text_Nu1;
    QLabel* const Label7;  QLineEdit* const Text_Nu2;
    QLabel* const Label4;  QLineEdit* const Text_p2p1;
    QLabel* const Label5;  QLineEdit* const Text_T2T1;

    // Event handlers.
    void Form_Load();
    void Option_M1_Click();
    void Option_Teta_Click();
    void Option_M2_Click();
    void Command1_Click();
    void Picture1_Click();
    void Mn_About_Click();

    // Clears the chart and draws the bare nu(M) curve over its two axes.
    void grafik();

    // The gas constants and the turning-angle function; they exist once Form_Load has run.
    [[nodiscard]] const flow::ExpansionFan& fan() const { return *fan_; }

    // Where the command's messages go: a modal box titled with the application title unless
    // replaced, as tests do to read them without a person pressing OK.
    using MessageBox = std::function<void(const QString& text)>;
    void setMessageBox(MessageBox messageBox) { messageBox_ = std::move(messageBox); }

    [[nodiscard]] about::Form_About* aboutWindow() const { return aboutWindow_.get(); }

    // The numbers out of the window: a context menu on the chart and the background (the text
    // boxes keep their own edit menu), each item also a shortcut of the window.
    [[nodiscard]] QMenu* contextMenu() const { return contextMenu_; }
    void copyResults();
    void copyChart();
    void saveChart(const QString& path);  // PNG, or SVG when the name ends in .svg
    void showHistory();
    void clearHistory();
    [[nodiscard]] history::History& history() const { return *history_; }
    [[nodiscard]] history::HistoryWindow* historyWindow() const { return historyWindow_.get(); }

    // The file dialog asking where to save the chart and the question before clearing the
    // history, replaceable as the message box is.
    using SaveDialog = std::function<QString()>;
    using QuestionBox = std::function<bool(const QString& question)>;
    void setSaveDialog(SaveDialog dialog) { saveDialog_ = std::move(dialog); }
    void setQuestionBox(QuestionBox question) { questionBox_ = std::move(question); }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void makeContextMenu();
    void saveChart_Click();
    void keepPress(std::optional<press::Mode> mode, const press::Typed& typed, const press::Outcome& outcome);
    void forgetLastResult();
    void orderKeyboardFocus();
    [[nodiscard]] std::vector<std::pair<const window::form1::Control*, QWidget*>> controls() const;
    void connectHandlers();
    void prepareForOutput(press::Mode mode);
    [[nodiscard]] std::optional<press::Mode> selectedMode() const;
    [[nodiscard]] QLineEdit* box(press::Box which) const;
    void applyPress(const press::Outcome& outcome);
    void MsgBox(const QString& text);

    std::array<QLineEdit*, press::kBoxCount> boxes_{};
    std::optional<flow::ExpansionFan> fan_;
    MessageBox messageBox_;
    std::unique_ptr<about::Form_About> aboutWindow_;

    std::unique_ptr<history::History> history_;
    std::unique_ptr<history::HistoryWindow> historyWindow_;
    std::optional<history::Entry> lastResult_;  // the last press that found a result
    QMenu* contextMenu_ = nullptr;
    QAction* copyResults_ = nullptr;
    SaveDialog saveDialog_;
    QString lastSaveFolder_;
    QuestionBox questionBox_;
};

}  // namespace velhorn::calculator
