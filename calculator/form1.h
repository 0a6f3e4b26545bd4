#pragma once

#include "flow/expansion_fan.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace velhorn::about {
class Form_About;
}

namespace velhorn::calculator {

class CommandButton;
class PictureBox;

inline constexpr const char* kApplicationTitle = "Velhorn";

// The calculator's main window. The user picks which of M1, Teta and M2 is the output, types
// the other two and presses Command1; the results go straight back into the text boxes and
// the chart shows both states.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The window model: every control under its name.
    QAction* Mn_About;
    PictureBox* Picture1;
    QGroupBox* Frame4;
    QRadioButton* Option_M1;
    QLineEdit* Text_M1;
    QRadioButton* Option_Teta;
    QLineEdit* Text_Teta;
    QRadioButton* Option_M2;
    QLineEdit* Text_M2;
    CommandButton* Command1;
    QGroupBox* Frame2;
    QLabel* Label6;
    QLineEdit* Text_Nu1;
    QLabel* Label7;
    QLineEdit* Text_Nu2;
    QLabel* Label4;
    QLineEdit* Text_p2p1;
    QLabel* Label5;
    QLineEdit* Text_T2T1;

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

private:
    void buildMenu();
    void buildControls();
    void connectHandlers();
    void prepareForOutput(QLineEdit* outputBox);
    void MsgBox(const QString& text);

    // The calculate command's parts.
    enum class Mode { M1, Teta, M2 };
    void solveForM1();
    void solveForTeta();
    void solveForM2();
    bool inputsAreInRange(std::initializer_list<std::pair<const char*, double>> machs, std::optional<double> teta);
    void showResult(QLineEdit* box, double value);
    void showOutput(QLineEdit* outputBox, double value);
    void showStateRatios(double M1, double M2);
    void reportNoSolution(QLineEdit* outputBox, const char* output, const char* given, double givenMach,
                          double teta, double tetaLow, double tetaHigh);
    enum class StateOrigin { Given, Found };
    void describeState(int state, double M, double Nu, StateOrigin origin);
    void drawVerticalMarker(double M, double Nu, const QColor& colour);
    void drawHorizontalMarker(double M, double Nu, const QColor& colour);

    std::optional<flow::ExpansionFan> fan_;
    std::array<QString, 2> chartStates_;  // what the chart shows of states 1 and 2, if drawn
    MessageBox messageBox_;
    std::unique_ptr<about::Form_About> aboutWindow_;
};

}  // namespace velhorn::calculator
