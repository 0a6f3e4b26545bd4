// Cost of the turning-angle function and of its Newton inverse. After the usual table it prints,
// for each target, the inverse's cost over (updates + 1) calls of nu(M): the loop evaluates nu
// once per pass, so a ratio near 1 means the inversion adds nothing beyond those evaluations.
#include "flow/expansion_fan.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

const velhorn::flow::ExpansionFan fan;
const std::vector<double> kTargets = {5, 26.38, 76.92, 120, 130};

// Each call waits for the one before, as the Newton passes do, so both figures are latencies.
void BM_Nu(benchmark::State& state)
{
    double M = 2.0;
    for (auto _ : state) {
        double Nu = 0;
        fan.Nu_için_hesap(M, Nu);
        M = 2.0 + Nu * 1e-300;  // numerically 2, but a data dependency on the last result
        benchmark::DoNotOptimize(M);
    }
}
BENCHMARK(BM_Nu);

void BM_Invert(benchmark::State& state)
{
    double target = kTargets[static_cast<size_t>(state.range(0))];
    for (auto _ : state) {
        benchmark::DoNotOptimize(target);
        auto r = fan.invert(target);
        benchmark::DoNotOptimize(r);
    }
    state.SetLabel("nu=" + std::to_string(target));
}
BENCHMARK(BM_Invert)->DenseRange(0, static_cast<int>(kTargets.size()) - 1);

class Recorder : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nsPerCall;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs)
            if (run.run_type == Run::RT_Iteration)
                nsPerCall[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    benchmark::Shutdown();

    const auto nu = recorder.nsPerCall.find("BM_Nu");
    if (nu == recorder.nsPerCall.end())
        return 0;
    std::printf("\n%-10s %8s %12s %14s %8s\n", "target", "updates", "inverse ns", "(k+1)*nu ns", "ratio");
    for (size_t i = 0; i < kTargets.size(); ++i) {
        const auto it = recorder.nsPerCall.find("BM_Invert/" + std::to_string(i));
        if (it == recorder.nsPerCall.end())
            continue;
        const int k = fan.invert(kTargets[i]).updates;
        const double floor = (k + 1) * nu->second;
        std::printf("%-10g %8d %12.1f %14.1f %8.2f%s\n", kTargets[i], k, it->second, floor,
                    it->second / floor, it->second / floor <= 1.2 ? "" : "  over 1.2");
    }
    return 0;
}
