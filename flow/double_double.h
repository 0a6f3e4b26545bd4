#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

// Double-double arithmetic: a value as the unevaluated sum of two doubles, about 106 bits, for
// the fast paths that decide from an error bound whether a double result is surely the
// correctly rounded one (else the long double code decides). No fused multiply-add is assumed
// of the machine, so every build gets the same bits.
namespace velhorn::flow::dd {

struct Wide {
    double hi;
    double lo;
};

// a + b exactly, where |a| >= |b| or a is nought.
[[gnu::always_inline]] inline Wide quickTwoSum(double a, double b)
{
    const double s = a + b;
    return {s, b - (s - a)};
}

[[gnu::always_inline]] inline Wide twoSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a * b exactly (Dekker's product: no fused multiply-add is assumed of the machine). Needs
// |a|, |b| below 2^996.
[[gnu::always_inline]] inline Wide twoProduct(double a, double b)
{
    constexpr double kSplitter = 134217729.0;  // 2^27 + 1
    const double ta = kSplitter * a;
    const double ah = ta - (ta - a);
    const double al = a - ah;
    const double tb = kSplitter * b;
    const double bh = tb - (tb - b);
    const double bl = b - bh;
    const double p = a * b;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

// To a few 2^-106 of |a| + |b| (not of the sum, where they cancel: the bounds below count that).
[[gnu::always_inline]] inline Wide add(Wide a, Wide b)
{
    const Wide s = twoSum(a.hi, b.hi);
    return quickTwoSum(s.hi, s.lo + (a.lo + b.lo));
}

[[gnu::always_inline]] inline Wide multiply(Wide a, Wide b)
{
    Wide p = twoProduct(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return quickTwoSum(p.hi, p.lo);
}

// To a few 2^-104: q1 + the quotient of the remainder, which q1 * b.hi leaves exactly.
[[gnu::always_inline]] inline Wide divide(Wide a, Wide b)
{
    const double q1 = a.hi / b.hi;
    const Wide p = twoProduct(q1, b.hi);
    const double remainder = (((a.hi - p.hi) - p.lo) + a.lo) - q1 * b.lo;
    return quickTwoSum(q1, remainder / b.hi);
}

[[gnu::always_inline]] inline Wide squareRoot(Wide a)
{
    if (!(a.hi > 0))
        return {0, 0};
    const double x = std::sqrt(a.hi);
    const Wide x2 = twoProduct(x, x);
    const double correction = ((a.hi - x2.hi) - x2.lo + a.lo) / (2 * x);
    return quickTwoSum(x, correction);
}

[[gnu::always_inline]] inline Wide negate(Wide a)
{
    return {-a.hi, -a.lo};
}

// The x87 does long double in hardware; elsewhere (the page's WebAssembly) it is software, slower
// than double-double.
inline constexpr bool kLongDoubleInHardware = std::numeric_limits<long double>::digits == 64;

// A double-double value with the operators of a number, so one template serves it and long
// double: a shock is worked in long double where that is the x87's, and in this where long
// double is software (the page's WebAssembly), which is several times quicker there and as
// precise. Nothing near double's overflow: the products need magnitudes below 2^996.
struct Number {
    Wide v{0, 0};
    Number() = default;
    Number(double x) : v{x, 0} {}  // NOLINT: a double is a number exactly
    explicit Number(Wide w) : v(w) {}
    explicit operator double() const { return v.hi; }
    // Out of line, which keeps the page's module small.
    friend Number operator+(Number a, Number b);
    friend Number operator-(Number a, Number b);
    friend Number operator*(Number a, Number b);
    friend Number operator/(Number a, Number b);
    friend Number operator-(Number a) { return Number(negate(a.v)); }
    friend bool operator<(Number a, Number b) { return a.v.hi < b.v.hi || (a.v.hi == b.v.hi && a.v.lo < b.v.lo); }
    friend bool operator>(Number a, Number b) { return b < a; }
    friend bool operator<=(Number a, Number b) { return a.v.hi < b.v.hi || (a.v.hi == b.v.hi && a.v.lo <= b.v.lo); }
    friend bool operator>=(Number a, Number b) { return b <= a; }
    friend bool operator==(Number a, Number b) { return a.v.hi == b.v.hi && a.v.lo == b.v.lo; }
};
Number operator+(Number a, Number b);
Number operator-(Number a, Number b);
Number operator*(Number a, Number b);
Number operator/(Number a, Number b);

// Constants from a 300-bit mpmath evaluation, each the nearest double-double.
inline constexpr Wide kHalfPi = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
inline constexpr Wide kDegreesPerRadian = {0x1.ca5dc1a63c1f8p+5, -0x1.1e7ab456405f9p-49};
inline constexpr Wide kRadiansPerDegree = {0x1.1df46a2529d39p-6, 0x1.5c1d8becdd291p-62};
inline constexpr Wide kSqrtSix = {0x1.3988e1409212ep+1, 0x1.f40c86450c869p-53};

// atan(n / d) for n, d >= 0 and not both nought, within 2^-78 of itself (the arguments taken as
// exact): enough for a rounding test to pass all but about one time in 2^24.
inline constexpr double kArctanError = 0x1p-78;
[[nodiscard]] Wide arctanOfQuotient(Wide n, Wide d);

// Whether the whole interval v +- bound rounds to v.hi. Without branches: a shock batch asks
// this a dozen times a shock.
inline bool surelyRounds(Wide v, double bound)
{
    const double magnitude = std::fabs(v.hi);
    // The binade's power of two: half an ulp is 2^-53 of it, or 2^-54 just below it.
    // The builtin, as the page's libc++ has no std::bit_cast.
    const double power = __builtin_bit_cast(double, __builtin_bit_cast(std::uint64_t, magnitude) & 0x7ff0000000000000ULL);
    const double halfUlp = power * (magnitude == power && v.lo != 0 && (v.lo < 0) != (v.hi < 0) ? 0x1p-54 : 0x1p-53);
    return (magnitude >= 0x1p-900) & (magnitude <= 0x1p900) & (std::fabs(v.lo) + bound * (1 + 0x1p-40) < halfUlp);
}

// The double nearest to v, if the whole interval v +- bound rounds to it.
inline std::optional<double> roundedIfSure(Wide v, double bound)
{
    if (surelyRounds(v, bound))
        return v.hi;
    return std::nullopt;
}

// Long double's epsilon, the unit of its error bounds.
inline constexpr long double kLongEpsilon = std::numeric_limits<long double>::epsilon();

// A long double rounded to double, and whether that is surely the double nearest the exact
// value `bound` or less from it.
struct Decision {
    double value;
    bool sure;
};

inline Decision decisionOf(long double value, long double bound)
{
    const double hi = static_cast<double>(value);
    const Wide wide{hi, static_cast<double>(value - hi)};  // the difference is exact
    const auto rounded = roundedIfSure(wide, static_cast<double>(bound));
    return {rounded ? *rounded : hi, rounded.has_value()};
}

}  // namespace velhorn::flow::dd
