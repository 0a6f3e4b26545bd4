// The calculate command: reads the two inputs of the chosen mode, computes the missing
// quantity, nu1, nu2 and the state ratios, shows them rounded and marks both states on the chart.
#include "calculator/colours.h"
#include "calculator/command_button.h"
#include "calculator/conversions.h"
#include "calculator/form1.h"
#include "calculator/picture_box.h"
#include "calculator/text_box.h"
#include "flow/state_ratios.h"

#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>

#include <cmath>

namespace velhorn::calculator {

namespace {

constexpr double kLowestMach = 1;

double readNumber(const QLineEdit* box)
{
    const QString text = box->text();
    return parseNumber(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                           static_cast<size_t>(text.size())));
}

QString shown(double value)
{
    const std::string separator = QLocale().decimalPoint().toStdString();
    return QString::fromStdString(displayNumber(roundTo3(value), separator));
}

}  // namespace

void Form1::Command1_Click()
{
    Mode mode;
    if (Option_M1->isChecked())
        mode = Mode::M1;
    else if (Option_Teta->isChecked())
        mode = Mode::Teta;
    else if (Option_M2->isChecked())
        mode = Mode::M2;
    else {
        MsgBox(QStringLiteral("Choose an output option"));
        return;
    }

    grafik();
    switch (mode) {
    case Mode::M1: solveForM1(); break;
    case Mode::Teta: solveForTeta(); break;
    case Mode::M2: solveForM2(); break;
    }
}

void Form1::solveForM1()
{
    const double M2 = readNumber(Text_M2);
    if (M2 < kLowestMach) {
        MsgBox(QStringLiteral("M2 must be greater then 1"));
        return;
    }
    const double TetaD = readNumber(Text_Teta);
    if (!inputsAreInRange({{"M2", M2}}, TetaD))
        return;

    double Nu2 = 0;
    fan().Nu_için_hesap(M2, Nu2);
    showResult(Text_Nu2, Nu2);
    drawVerticalMarker(M2, Nu2, kRed);
    drawHorizontalMarker(M2, Nu2, kRed);
    describeState(2, M2, Nu2, StateOrigin::Given);

    const double Nu1 = Nu2 - TetaD;
    showResult(Text_Nu1, Nu1);
    double M1 = 0;
    if (fan().M_için_hesap(Nu1, TetaD, M1) != flow::InversionOutcome::Converged) {
        const double limit = fan().nuLimitDegrees();
        reportNoSolution(Text_M1, "M1", "M2", M2, TetaD, Nu2 - limit, Nu2);
        return;
    }
    showOutput(Text_M1, M1);
    drawHorizontalMarker(M1, Nu1, kBlue);
    drawVerticalMarker(M1, Nu1, kBlue);
    describeState(1, M1, Nu1, StateOrigin::Found);
    showStateRatios(M1, M2);
}

void Form1::solveForTeta()
{
    const double M1 = readNumber(Text_M1);
    const double M2 = readNumber(Text_M2);
    if (M1 < kLowestMach || M2 < kLowestMach) {
        MsgBox(QStringLiteral("M1 and M2 must be greater then 1"));
        return;
    }
    if (!inputsAreInRange({{"M1", M1}, {"M2", M2}}, std::nullopt))
        return;

    double Nu1 = 0;
    fan().Nu_için_hesap(M1, Nu1);
    showResult(Text_Nu1, Nu1);
    double Nu2 = 0;
    fan().Nu_için_hesap(M2, Nu2);
    showResult(Text_Nu2, Nu2);
    showOutput(Text_Teta, Nu2 - Nu1);

    drawHorizontalMarker(M1, Nu1, kBlue);
    drawVerticalMarker(M1, Nu1, kBlue);
    drawVerticalMarker(M2, Nu2, kBlue);
    drawHorizontalMarker(M2, Nu2, kBlue);
    describeState(1, M1, Nu1, StateOrigin::Given);
    describeState(2, M2, Nu2, StateOrigin::Given);
    showStateRatios(M1, M2);
}

void Form1::solveForM2()
{
    const double M1 = readNumber(Text_M1);
    if (M1 < kLowestMach) {
        MsgBox(QStringLiteral("M1 must be greater then 1"));
        return;
    }
    const double TetaD = readNumber(Text_Teta);
    if (!inputsAreInRange({{"M1", M1}}, TetaD))
        return;

    double Nu1 = 0;
    fan().Nu_için_hesap(M1, Nu1);
    showResult(Text_Nu1, Nu1);
    drawHorizontalMarker(M1, Nu1, kRed);
    drawVerticalMarker(M1, Nu1, kRed);
    describeState(1, M1, Nu1, StateOrigin::Given);

    const double Nu2 = Nu1 + TetaD;
    showResult(Text_Nu2, Nu2);
    double M2 = 0;
    if (fan().M_için_hesap(Nu2, TetaD, M2) != flow::InversionOutcome::Converged) {
        const double limit = fan().nuLimitDegrees();
        reportNoSolution(Text_M2, "M2", "M1", M1, TetaD, -Nu1, limit - Nu1);
        return;
    }
    showOutput(Text_M2, M2);
    drawVerticalMarker(M2, Nu2, kBlue);
    drawHorizontalMarker(M2, Nu2, kBlue);
    describeState(2, M2, Nu2, StateOrigin::Found);
    showStateRatios(M1, M2);
}

bool Form1::inputsAreInRange(std::initializer_list<std::pair<const char*, double>> machs,
                             std::optional<double> teta)
{
    // A Mach number whose square overflows, or any typed number beyond the double range,
    // would turn every result into an infinity.
    for (const auto& [name, M] : machs) {
        if (!std::isfinite(M * M)) {
            MsgBox(QStringLiteral("%1 is too large to calculate with").arg(QLatin1String(name)));
            return false;
        }
    }
    if (teta && !std::isfinite(*teta)) {
        MsgBox(QStringLiteral("Teta is too large to calculate with"));
        return false;
    }
    return true;
}

void Form1::showResult(QLineEdit* box, double value)
{
    writeText(box, shown(value));
}

void Form1::showOutput(QLineEdit* outputBox, double value)
{
    outputBox->setVisible(true);
    setBackColor(outputBox, kOutputGrey);
    showResult(outputBox, value);
}

void Form1::showStateRatios(double M1, double M2)
{
    const double T2T1 = flow::temperatureRatio(M1, M2);
    const double p2p1 = flow::pressureRatio(T2T1);
    if (!std::isfinite(p2p1)) {
        Text_p2p1->clear();
        showResult(Text_T2T1, T2T1);
        MsgBox(QStringLiteral("p2/p1 is too large to show"));
        return;
    }
    showResult(Text_p2p1, p2p1);
    showResult(Text_T2T1, T2T1);
}

void Form1::reportNoSolution(QLineEdit* outputBox, const char* output, const char* given, double givenMach,
                             double teta, double tetaLow, double tetaHigh)
{
    // Leave no result of an earlier press beside the new nu values.
    outputBox->clear();
    Text_p2p1->clear();
    Text_T2T1->clear();
    MsgBox(QStringLiteral("No %1 gives Teta = %2 with %3 = %4. Teta must lie between %5 and %6.")
               .arg(QLatin1String(output), shown(teta), QLatin1String(given), shown(givenMach),
                    shown(tetaLow), shown(tetaHigh)));
}

// A state's markers: from the M axis up to the curve, and from the nu axis across to it.
void Form1::drawVerticalMarker(double M, double Nu, const QColor& colour)
{
    Picture1->Line(UserPoint::fromDouble(M, 0), UserPoint::fromDouble(M, -Nu), colour);
}

void Form1::drawHorizontalMarker(double M, double Nu, const QColor& colour)
{
    Picture1->Line(UserPoint::fromDouble(kLowestMach, -Nu), UserPoint::fromDouble(M, -Nu), colour);
}

// What a screen reader hears of the chart: the states marked on it, in state order.
void Form1::describeState(int state, double M, double Nu, StateOrigin origin)
{
    chartStates_.at(state - 1) = QStringLiteral("state %1: M = %2, \u03BD = %3, %4")
                                     .arg(state)
                                     .arg(shown(M), shown(Nu),
                                          origin == StateOrigin::Given ? QStringLiteral("given") : QStringLiteral("found"));
    QStringList drawn;
    for (const QString& description : chartStates_)
        if (!description.isEmpty())
            drawn << description;
    Picture1->setAccessibleDescription(drawn.join(QStringLiteral("; ")));
}

}  // namespace velhorn::calculator
