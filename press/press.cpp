// The calculate command: reads the two inputs of the chosen mode, computes the missing
// quantity, nu1, nu2 and the state ratios, shows them rounded and marks both states on the chart.
#include "press/press.h"

#include "flow/state_ratios.h"
#include "text/box_text.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace velhorn::press {

using text::displayNumber;
using text::parseNumber;
using text::roundTo3;

namespace {

constexpr double kLowestMach = 1;

// A result as a box shows it: rounded to three decimals, with the user's decimal separator.
std::string shownNumber(double value, std::string_view separator)
{
    return displayNumber(roundTo3(value), separator);
}

// The M1 and M2 modes are one computation seen from either side of the fan: a Mach number is
// given, its nu is moved by Teta, and the Mach number of the other state is found from that.
struct InverseMode {
    Box given;                 // the typed Mach number's box
    Box found;                 // the box of the Mach number found
    int givenState;            // 1 or 2
    double tetaSign;           // nu(found) = nu(given) + tetaSign * Teta
    const char* givenName;
    const char* foundName;
    const char* belowOneMessage;
};
constexpr InverseMode kFindM1{Box::M2, Box::M1, 2, -1, "M2", "M1", "M2 must be greater then 1"};
constexpr InverseMode kFindM2{Box::M1, Box::M2, 1, +1, "M1", "M2", "M1 must be greater then 1"};

class Press {
public:
    Press(const flow::ExpansionFan& fan, const Typed& typed, std::string_view separator)
        : fan_(fan), typed_(typed), separator_(separator)
    {
    }

    Outcome run(std::optional<Mode> mode) &&
    {
        if (!mode) {
            outcome_.message = "Choose an output option";
            return std::move(outcome_);
        }
        outcome_.redrawChart = true;  // wipes the last press's markers, even if this one stops
        if (*mode == Mode::Teta)
            findTeta();
        else
            findMach(*mode == Mode::M1 ? kFindM1 : kFindM2);
        return std::move(outcome_);
    }

private:
    void findMach(const InverseMode& m)
    {
        const double givenM = read(m.given);
        if (givenM < kLowestMach) {
            outcome_.message = m.belowOneMessage;
            return;
        }
        const double teta = read(Box::Teta);
        if (!inRange({{m.givenName, givenM}}, teta))
            return;

        const double givenNu = nu(givenM);
        const int foundState = 3 - m.givenState;
        show(nuBox(m.givenState), givenNu);
        mark(m.givenState, givenM, givenNu, MarkerColour::Red, true);

        const double foundNu = givenNu + m.tetaSign * teta;
        show(nuBox(foundState), foundNu);
        double foundM = 0;
        if (fan_.M_için_hesap(foundNu, teta, foundM) != flow::InversionOutcome::Converged) {
            // nu(found) must lie within [0, limit]; say which Teta gets it there.
            const double a = m.tetaSign * (0 - givenNu);
            const double b = m.tetaSign * (fan_.nuLimitDegrees() - givenNu);
            reportNoSolution(m, givenM, teta, std::min(a, b), std::max(a, b));
            return;
        }
        showOutput(m.found, foundM);
        mark(foundState, foundM, foundNu, MarkerColour::Blue, false);
        const bool m1Found = m.found == Box::M1;
        showStateRatios(m1Found ? foundM : givenM, m1Found ? givenM : foundM);
    }

    void findTeta()
    {
        const double M1 = read(Box::M1);
        const double M2 = read(Box::M2);
        if (M1 < kLowestMach || M2 < kLowestMach) {
            outcome_.message = "M1 and M2 must be greater then 1";
            return;
        }
        if (!inRange({{"M1", M1}, {"M2", M2}}, std::nullopt))
            return;
        const double Nu1 = nu(M1);
        show(Box::Nu1, Nu1);
        const double Nu2 = nu(M2);
        show(Box::Nu2, Nu2);
        showOutput(Box::Teta, Nu2 - Nu1);
        mark(1, M1, Nu1, MarkerColour::Blue, true);
        mark(2, M2, Nu2, MarkerColour::Blue, true);
        showStateRatios(M1, M2);
    }

    double read(Box box) const
    {
        switch (box) {
        case Box::M1: return parseNumber(typed_.M1);
        case Box::Teta: return parseNumber(typed_.Teta);
        default: return parseNumber(typed_.M2);
        }
    }

    double nu(double M) const
    {
        double Nu = 0;
        fan_.Nu_için_hesap(M, Nu);
        return Nu;
    }

    static Box nuBox(int state) { return state == 1 ? Box::Nu1 : Box::Nu2; }

    // A Mach number whose square overflows, or any typed number beyond the double range, would
    // turn every result into an infinity.
    bool inRange(std::initializer_list<std::pair<const char*, double>> machs, std::optional<double> teta)
    {
        for (const auto& [name, M] : machs) {
            if (!std::isfinite(M * M)) {
                outcome_.message = std::string(name) + " is too large to calculate with";
                return false;
            }
        }
        if (teta && !std::isfinite(*teta)) {
            outcome_.message = "Teta is too large to calculate with";
            return false;
        }
        return true;
    }

    std::string shown(double value) const { return shownNumber(value, separator_); }
    void show(Box box, double value) { set(box, shown(value)); }
    void set(Box box, std::string text) { outcome_.boxes[static_cast<std::size_t>(box)] = std::move(text); }

    void showOutput(Box box, double value)
    {
        outcome_.output = box;
        show(box, value);
    }

    void showStateRatios(double M1, double M2)
    {
        const double T2T1 = flow::temperatureRatio(M1, M2);
        const double p2p1 = flow::pressureRatio(T2T1);
        show(Box::T2T1, T2T1);
        if (!std::isfinite(p2p1)) {
            set(Box::p2p1, "");
            outcome_.message = "p2/p1 is too large to show";
            return;
        }
        show(Box::p2p1, p2p1);
    }

    void reportNoSolution(const InverseMode& m, double givenM, double teta, double tetaLow, double tetaHigh)
    {
        // Leave no result of an earlier press beside the new nu values.
        set(m.found, "");
        set(Box::p2p1, "");
        set(Box::T2T1, "");
        outcome_.message = "No " + std::string(m.foundName) + " gives Teta = " + shown(teta) + " with " +
                           m.givenName + " = " + shown(givenM) + ". Teta must lie between " + shown(tetaLow) +
                           " and " + shown(tetaHigh) + ".";
    }

    // A state's two markers: the vertical one from the M axis up to the curve, the horizontal one
    // from the nu axis across to it. State 1's are drawn across then up, state 2's up then across,
    // in every mode: where markers overlap, the later covers the earlier, so the order decides
    // which one shows.
    void mark(int state, double M, double Nu, MarkerColour colour, bool given)
    {
        const Marker vertical{{M, 0}, {M, -Nu}, colour};
        const Marker horizontal{{kLowestMach, -Nu}, {M, -Nu}, colour};
        auto& markers = outcome_.markers;
        if (state == 1)
            markers.insert(markers.end(), {horizontal, vertical});
        else
            markers.insert(markers.end(), {vertical, horizontal});
        auto& states = outcome_.states;
        // Two states at most, each marked once: state 1 goes in front of a state 2 marked first.
        states.insert(state == 1 ? states.begin() : states.end(), {state, M, Nu, given});
    }

    const flow::ExpansionFan& fan_;
    const Typed& typed_;
    const std::string_view separator_;
    Outcome outcome_;
};

}  // namespace

Outcome press(const flow::ExpansionFan& fan, std::optional<Mode> mode, const Typed& typed,
              std::string_view decimalSeparator)
{
    return Press(fan, typed, decimalSeparator).run(mode);
}

std::string describeChart(const std::vector<MarkedState>& states, std::string_view decimalSeparator)
{
    if (states.empty())
        return "bare chart";
    std::string description;
    for (const MarkedState& s : states) {
        if (!description.empty())
            description += "; ";
        description += "state " + std::to_string(s.number) + ": M = " + shownNumber(s.M, decimalSeparator) +
                       ", \u03BD = " + shownNumber(s.Nu, decimalSeparator) + (s.given ? ", given" : ", found");
    }
    return description;
}

}  // namespace velhorn::press
