// A press without its window, and one box's conversions, each beside a floor: the same
// computation done with the flow core and the standard library directly.
#include "flow/state_ratios.h"
#include "press/press.h"
#include "text/box_text.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <string>

namespace {

using namespace velhorn;

const flow::ExpansionFan fan;

// One box: its text to a number, and a result back to the text shown.
void BM_BoxConversion(benchmark::State& state)
{
    const std::u16string typed = u"26.379760813";
    for (auto _ : state) {
        const double value = text::parseNumber(typed);
        std::string shown = text::displayNumber(text::roundTo3(value), ".");
        benchmark::DoNotOptimize(shown);
    }
}
BENCHMARK(BM_BoxConversion);

// Floor: the standard library's own text-to-double and double-to-text on the same number.
void BM_BoxConversionFloor(benchmark::State& state)
{
    const std::string typed = "26.379760813";
    for (auto _ : state) {
        double value = 0;
        std::from_chars(typed.data(), typed.data() + typed.size(), value);
        char buffer[32];
        auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
        benchmark::DoNotOptimize(end);
    }
}
BENCHMARK(BM_BoxConversionFloor);

// The M2 mode's whole press: M1 = 2, Teta = 10.
void BM_PressValue(benchmark::State& state)
{
    for (auto _ : state) {
        press::Outcome outcome = press::press(fan, press::Mode::M2, {u"2", u"10", u""}, ".");
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(BM_PressValue);

// Floor: the same numbers from the flow core, and the five results written as text.
void BM_PressValueFloor(benchmark::State& state)
{
    for (auto _ : state) {
        double Nu1 = 0;
        fan.Nu_için_hesap(text::parseNumber(u"2"), Nu1);
        const double Nu2 = Nu1 + text::parseNumber(u"10");
        double M2 = 0;
        fan.M_için_hesap(Nu2, 10, M2);
        const double T = flow::temperatureRatio(2, M2);
        for (double value : {M2, Nu1, Nu2, flow::pressureRatio(T), T}) {
            std::string shown = text::displayNumber(text::roundTo3(value), ".");
            benchmark::DoNotOptimize(shown);
        }
    }
}
BENCHMARK(BM_PressValueFloor);

}  // namespace

BENCHMARK_MAIN();
