#include "flow/corners.h"

#include "flow/full_precision_fan.h"
#include "flow/solve.h"

#include <cmath>
#include <limits>
#include <optional>

namespace velhorn::flow {

std::variant<CornerFlow, CornerProblem> solveCorners(const Gas& gas, double M1, std::span<const double> turns,
                                                     Compression compression)
{
    if (!(M1 >= 1) || !std::isfinite(M1))
        return CornerProblem{WaveProblem{std::isnan(M1) ? WaveProblem::Kind::NotFinite : M1 < 1 ? WaveProblem::Kind::Subsonic
                                                                                                 : WaveProblem::Kind::BeyondDoubleRange,
                                         M1, M1, 1, std::numeric_limits<double>::infinity()},
                             0};
    CornerFlow flow;
    flow.regions.reserve(turns.size() + 1);
    flow.waves.reserve(turns.size());
    flow.regions.push_back(Region{M1, 0, 1, 1, 1, 1});
    // The angles behind the last fan, which the next one starts from.
    std::optional<Angles> behindFan;
    for (std::size_t i = 0; i < turns.size(); ++i) {
        const double turn = turns[i];
        const Region& ahead = flow.regions.back();
        CornerWave wave;
        wave.theta = turn;
        double M = ahead.M;
        if (turn < 0 && compression == Compression::Shock) {
            const auto shock = shockFromDeflection(gas, ahead.M, -turn);
            if (const auto* p = std::get_if<WaveProblem>(&shock))
                return CornerProblem{*p, i + 1};
            const Shock& s = std::get<Shock>(shock);
            wave.kind = CornerWave::Kind::Shock;
            wave.beta = s.beta;
            wave.p2p1 = s.p2p1;
            wave.T2T1 = s.T2T1;
            wave.rho2rho1 = s.rho2rho1;
            wave.p02p01 = s.p02p01;
            M = s.M2;
            behindFan.reset();
        } else {
            // A fan runs out at nuMax (the gas reaches vacuum) or, compressing, at M = 1.
            const auto fanProblem = [&](double low, double high) {
                return CornerProblem{WaveProblem{!std::isfinite(turn) ? WaveProblem::Kind::NotFinite
                                                 : turn > 0           ? WaveProblem::Kind::Vacuum
                                                                      : WaveProblem::Kind::BelowSonic,
                                                 ahead.M, turn, low, high},
                                     i + 1};
            };
            // Behind a shock the flow may be subsonic, where no fan starts.
            if (!(ahead.M >= 1) || std::isinf(ahead.M))
                return fanProblem(1, std::numeric_limits<double>::infinity());
            Angles upstream;
            if (behindFan) {
                upstream = *behindFan;
            } else {
                const State s = stateAt(gas, ahead.M);
                upstream = {s.M, s.nu, s.mu};
            }
            const auto solved = solveTurn(gas, upstream, turn);
            if (const auto* p = std::get_if<Problem>(&solved))
                return fanProblem(p->low, p->high);
            const Turn& t = std::get<Turn>(solved);
            behindFan = t.downstream;
            wave.kind = turn < 0 ? CornerWave::Kind::Compression : CornerWave::Kind::Fan;
            wave.firstMachLine = upstream.mu;
            wave.lastMachLine = t.downstream.mu - turn;
            wave.p2p1 = t.across.p2p1;
            wave.T2T1 = t.across.T2T1;
            wave.rho2rho1 = t.across.rho2rho1;
            M = t.downstream.M;
        }
        flow.waves.push_back(wave);
        flow.regions.push_back(Region{M, ahead.direction + turn, ahead.pRatio * wave.p2p1, ahead.TRatio * wave.T2T1,
                                      ahead.rhoRatio * wave.rho2rho1, ahead.p0Ratio * wave.p02p01});
    }
    return flow;
}

}  // namespace velhorn::flow
