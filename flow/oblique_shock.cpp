#include "flow/oblique_shock.h"

#include <cmath>
#include <limits>
#include <optional>

namespace velhorn::flow {

namespace {

const long double kPiLong = 4 * std::atan(1.0L);
const long double kDegreesPerRadianLong = 180 / kPiLong;

// The relation in w = cot(beta), where it is a cubic with no spurious branch:
//   tan(theta) = G(w) = 2 w (m - w^2) / (B + A w^2),  m = M^2 - 1, A = (gamma + 1) M^2 + 2,
//   B = (gamma - 1) M^2 + 2.
// Physical shocks have 0 <= w <= sqrt(m): w = sqrt(m) is the Mach wave, w = 0 the normal shock.
struct Relation {
    long double gamma;
    long double half;  // (gamma - 1) / 2
    long double M2;    // M^2
    long double m;     // M^2 - 1, from (M - 1)(M + 1) so it keeps its bits near M = 1
    long double A;
    long double B;

    Relation(const Gas& gas, double M)
    {
        half = gas.halfGammaMinusOneLong();  // air's from exactly 7/5
        gamma = 1 + 2 * half;
        const long double ML = M;
        M2 = ML * ML;
        m = (ML - 1) * (ML + 1);
        A = (gamma + 1) * M2 + 2;
        B = 2 * half * M2 + 2;
    }
    long double tanTheta(long double w) const { return 2 * w * (m - w * w) / (B + A * w * w); }
    // w of thetaMax: where G' = 0, the positive root of m B x^2 - (m A + 3 B) x - A = 0 in x = 1/w^2,
    // written so nothing cancels.
    long double wAtMax() const
    {
        const long double b = m * A + 3 * B;
        return std::sqrt(2 * m * B / (b + std::sqrt(b * b + 4 * m * A * B)));
    }
};

// The root of H(w) = 2 w (m - w^2) - T (B + A w^2) between `from` and the crest of H. H is concave
// for w > 0 and negative at both ends of 0..sqrt(m), so Newton from either end climbs to the root
// on its own side without overshooting; near thetaMax, where the two roots meet, it slows to
// halving the distance a step, and the cap is far above what that takes.
long double rootFrom(const Relation& r, long double T, long double from)
{
    long double w = from;
    for (int pass = 0; pass < 200; ++pass) {
        const long double w2 = w * w;
        const long double H = 2 * w * (r.m - w2) - T * (r.B + r.A * w2);
        const long double slope = 2 * r.m - 6 * w2 - 2 * T * r.A * w;
        if (H >= 0 || !(slope != 0))
            break;
        const long double next = w - H / slope;
        // Monotone from the start: a step that turns back, or does not move, is rounding.
        if (!((next - w) * (from == 0 ? 1 : -1) > 0))
            break;
        w = next;
    }
    return w;
}

bool finite(const Shock& s)
{
    for (double v : {s.beta, s.Mn1, s.Mn2, s.M2, s.p2p1, s.rho2rho1, s.T2T1, s.p02p01}) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

// Everything behind the shock from w = cot(beta) and T = tan(theta).
std::variant<Shock, WaveProblem> shockAt(const Gas& gas, const Relation& r, double M1, double theta, long double w,
                                         long double T, long double wMax)
{
    Shock s;
    s.gamma = gas.gamma();
    s.M1 = M1;
    s.theta = theta;
    s.strong = w < wMax;
    s.beta = static_cast<double>(std::atan2(1.0L, w) * kDegreesPerRadianLong);
    const long double g = r.gamma;
    const long double w2 = w * w;
    const long double n1 = r.M2 / (1 + w2);             // Mn1^2 = M^2 sin^2(beta)
    const long double excess = (r.m - w2) / (1 + w2);    // Mn1^2 - 1, without the cancellation
    const long double p = 1 + 2 * g / (g + 1) * excess;
    const long double rho = (g + 1) * n1 / (2 * r.half * n1 + 2);
    const long double n2 = (1 + r.half * n1) / (g * n1 - r.half);
    // sin^2(beta - theta) from tan(beta - theta) = (1 - T w) / (w + T).
    const long double up = 1 - T * w;
    const long double across = w + T;
    const long double sin2 = up * up / (up * up + across * across);
    s.Mn1 = static_cast<double>(std::sqrt(n1));
    s.Mn2 = static_cast<double>(std::sqrt(n2));
    s.M2 = static_cast<double>(std::sqrt(n2 / sin2));
    s.p2p1 = static_cast<double>(p);
    s.rho2rho1 = static_cast<double>(rho);
    s.T2T1 = static_cast<double>(p / rho);
    // p02/p01 = rho^(gamma/(gamma-1)) p^(-1/(gamma-1)): the entropy rise as a ratio.
    s.p02p01 = static_cast<double>(std::exp((g * std::log(rho) - std::log(p)) / (2 * r.half)));
    if (!finite(s))
        return WaveProblem{WaveProblem::Kind::BeyondDoubleRange, M1, theta, 0, 0};
    return s;
}

std::optional<WaveProblem> machProblem(double M1)
{
    if (std::isnan(M1))
        return WaveProblem{WaveProblem::Kind::NotFinite, M1, M1, 1, std::numeric_limits<double>::infinity()};
    if (!(M1 >= 1))
        return WaveProblem{WaveProblem::Kind::Subsonic, M1, M1, 1, std::numeric_limits<double>::infinity()};
    if (std::isinf(M1))
        return WaveProblem{WaveProblem::Kind::BeyondDoubleRange, M1, M1, 1, std::numeric_limits<double>::infinity()};
    return std::nullopt;
}

}  // namespace

ShockLimits shockLimits(const Gas& gas, double M1)
{
    const Relation r(gas, M1);
    ShockLimits limits;
    const long double wMach = std::sqrt(r.m);
    limits.mu = static_cast<double>(std::atan2(1.0L, wMach) * kDegreesPerRadianLong);
    const long double w = r.wAtMax();
    limits.thetaMax = static_cast<double>(std::atan(r.tanTheta(w)) * kDegreesPerRadianLong);
    limits.betaMax = static_cast<double>(std::atan2(1.0L, w) * kDegreesPerRadianLong);
    // M2 = 1: sin^2(beta) = [(g+1) M^2 - (3-g) + sqrt((g+1)((g+1) M^4 - 2 (3-g) M^2 + g + 9))] / (4 g M^2)
    // and w^2 = (1 - sin^2) / sin^2.
    const long double g = r.gamma;
    const long double root = std::sqrt((g + 1) * ((g + 1) * r.M2 * r.M2 - 2 * (3 - g) * r.M2 + g + 9));
    const long double numerator = (g + 1) * r.M2 - (3 - g) + root;
    const long double wSonic = std::sqrt(std::fmax(0.0L, (4 * g * r.M2 - numerator) / numerator));
    limits.thetaSonic = static_cast<double>(std::atan(r.tanTheta(wSonic)) * kDegreesPerRadianLong);
    limits.betaSonic = static_cast<double>(std::atan2(1.0L, wSonic) * kDegreesPerRadianLong);
    return limits;
}

std::variant<Shock, WaveProblem> shockFromDeflection(const Gas& gas, double M1, double theta, Branch branch)
{
    if (const auto problem = machProblem(M1))
        return *problem;
    if (!std::isfinite(theta))
        return WaveProblem{WaveProblem::Kind::NotFinite, M1, theta, 0, 0};
    const Relation r(gas, M1);
    const long double wMax = r.wAtMax();
    const long double T = std::tan(theta / kDegreesPerRadianLong);
    const long double tanMax = r.tanTheta(wMax);
    if (theta < 0 || T > tanMax) {
        const double thetaMax = static_cast<double>(std::atan(tanMax) * kDegreesPerRadianLong);
        // A theta that rounds onto thetaMax itself is the crest.
        if (!(theta >= 0) || theta > thetaMax)
            return WaveProblem{theta < 0 ? WaveProblem::Kind::NotACompression : WaveProblem::Kind::Detached, M1, theta, 0,
                               thetaMax};
        return shockAt(gas, r, M1, theta, wMax, tanMax, wMax);
    }
    const long double w = branch == Branch::Weak ? rootFrom(r, T, std::sqrt(r.m)) : rootFrom(r, T, 0);
    return shockAt(gas, r, M1, theta, w, T, wMax);
}

std::variant<Shock, WaveProblem> shockFromAngle(const Gas& gas, double M1, double beta)
{
    if (const auto problem = machProblem(M1))
        return *problem;
    const Relation r(gas, M1);
    const long double wMach = std::sqrt(r.m);
    const double mu = static_cast<double>(std::atan2(1.0L, wMach) * kDegreesPerRadianLong);
    if (!(beta >= mu && beta <= 90))
        return WaveProblem{std::isfinite(beta) ? WaveProblem::Kind::BetaOutOfRange : WaveProblem::Kind::NotFinite, M1,
                           beta, mu, 90};
    const long double b = beta / kDegreesPerRadianLong;
    // 90 degrees is the normal shock exactly, and mu itself may round to either side of the Mach wave.
    const long double w = beta == 90 ? 0.0L : std::fmin(std::cos(b) / std::sin(b), wMach);
    const long double T = r.tanTheta(w);
    const double theta = static_cast<double>(std::atan(T) * kDegreesPerRadianLong);
    auto shock = shockAt(gas, r, M1, theta, w, T, r.wAtMax());
    if (auto* s = std::get_if<Shock>(&shock))
        s->beta = beta;  // the angle given, not its round trip through w
    return shock;
}

}  // namespace velhorn::flow
