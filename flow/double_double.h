#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>
#if defined(__AVX2__) && defined(__FMA__)
#include <immintrin.h>
#endif

// Double-double arithmetic: a value as the unevaluated sum of two doubles, about 106 bits, for
// the fast paths that decide from an error bound whether a double result is surely the
// correctly rounded one (else the long double code decides). No fused multiply-add is assumed
// of the machine, so every build gets the same bits. The operations are written once for a
// double and for doubles in vector registers (`Lanes`, four, and `Lanes2`, eight, where a file
// is compiled for AVX2 and FMA: the fan kernel, whose exact product takes the fused
// multiply-subtract and so gives the same product), each lane to the same bits.
namespace velhorn::flow::dd {

// The longer steps written for a double and for lanes alike: inlined wherever the lanes are
// built, as the vector unit wants, and left to the compiler elsewhere, as the page's size wants.
#if defined(__AVX2__) && defined(__FMA__)
#define VELHORN_LANE_STEP [[gnu::always_inline]] inline
#else
#define VELHORN_LANE_STEP inline
#endif

template <typename D>
struct Pair {
    D hi;
    D lo;
};
using Wide = Pair<double>;

// a + b exactly, where |a| >= |b| or a is nought.
template <typename D>
[[gnu::always_inline]] inline Pair<D> quickTwoSum(D a, std::type_identity_t<D> b)
{
    const D s = a + b;
    return {s, b - (s - a)};
}

template <typename D>
[[gnu::always_inline]] inline Pair<D> twoSum(D a, std::type_identity_t<D> b)
{
    const D s = a + b;
    const D bb = s - a;
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

[[gnu::always_inline]] inline double squareRootOf(double x)
{
    return std::sqrt(x);
}

#if defined(__AVX2__) && defined(__FMA__)
// Four doubles in a vector register: AVX2's __m256d without its aliasing attribute, which a
// template argument would drop.
using Lanes = double __attribute__((vector_size(32)));

// The same product, exact either way, from the fused multiply-subtract.
[[gnu::always_inline]] inline Pair<Lanes> twoProduct(Lanes a, Lanes b)
{
    const Lanes p = a * b;
    return {p, _mm256_fmsub_pd(a, b, p)};
}

[[gnu::always_inline]] inline Lanes squareRootOf(Lanes x)
{
    return _mm256_sqrt_pd(x);
}
#endif

// What the code below asks of a value, for a double and for Lanes alike: a comparison gives a
// bool, or for Lanes a mask of all ones or all noughts in each lane.
[[gnu::always_inline]] inline double absOf(double x)
{
    return std::fabs(x);
}
[[gnu::always_inline]] inline bool isLess(double a, double b)
{
    return a < b;
}
[[gnu::always_inline]] inline bool isLessOrEqual(double a, double b)
{
    return a <= b;
}
[[gnu::always_inline]] inline bool isEqual(double a, double b)
{
    return a == b;
}
[[gnu::always_inline]] inline bool isNotEqual(double a, double b)
{
    return a != b;
}
[[gnu::always_inline]] inline bool both(bool a, bool b)
{
    return a & b;
}
[[gnu::always_inline]] inline bool differ(bool a, bool b)
{
    return a != b;
}
[[gnu::always_inline]] inline double select(bool which, double a, double b)
{
    return which ? a : b;
}
// The power of two that begins x's binade. The builtin, as the page's libc++ has no std::bit_cast.
[[gnu::always_inline]] inline double binadeOf(double x)
{
    return __builtin_bit_cast(double, __builtin_bit_cast(std::uint64_t, x) & 0x7ff0000000000000ULL);
}
template <typename D>
[[gnu::always_inline]] inline D splat(double x)
{
    if constexpr (std::is_same_v<D, double>)
        return x;
#if defined(__AVX2__) && defined(__FMA__)
    else
        return _mm256_set1_pd(x);
#endif
}

#if defined(__AVX2__) && defined(__FMA__)
[[gnu::always_inline]] inline Lanes absOf(Lanes x)
{
    return _mm256_andnot_pd(_mm256_set1_pd(-0.0), x);
}
[[gnu::always_inline]] inline Lanes isLess(Lanes a, Lanes b)
{
    return _mm256_cmp_pd(a, b, _CMP_LT_OQ);
}
[[gnu::always_inline]] inline Lanes isLessOrEqual(Lanes a, Lanes b)
{
    return _mm256_cmp_pd(a, b, _CMP_LE_OQ);
}
[[gnu::always_inline]] inline Lanes isEqual(Lanes a, Lanes b)
{
    return _mm256_cmp_pd(a, b, _CMP_EQ_OQ);
}
[[gnu::always_inline]] inline Lanes isNotEqual(Lanes a, Lanes b)
{
    return _mm256_cmp_pd(a, b, _CMP_NEQ_UQ);
}
[[gnu::always_inline]] inline Lanes both(Lanes a, Lanes b)
{
    return _mm256_and_pd(a, b);
}
[[gnu::always_inline]] inline Lanes differ(Lanes a, Lanes b)
{
    return _mm256_xor_pd(a, b);
}
[[gnu::always_inline]] inline Lanes select(Lanes which, Lanes a, Lanes b)
{
    return _mm256_blendv_pd(b, a, which);
}
[[gnu::always_inline]] inline Lanes binadeOf(Lanes x)
{
    return _mm256_and_pd(x, _mm256_castsi256_pd(_mm256_set1_epi64x(0x7ff0000000000000LL)));
}
#endif

// To a few 2^-106 of |a| + |b| (not of the sum, where they cancel: the bounds below count that).
template <typename D>
[[gnu::always_inline]] inline Pair<D> add(Pair<D> a, Pair<D> b)
{
    const Pair<D> s = twoSum(a.hi, b.hi);
    return quickTwoSum(s.hi, s.lo + (a.lo + b.lo));
}

template <typename D>
[[gnu::always_inline]] inline Pair<D> multiply(Pair<D> a, Pair<D> b)
{
    Pair<D> p = twoProduct(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return quickTwoSum(p.hi, p.lo);
}

// To a few 2^-104: q1 + the quotient of the remainder, which q1 * b.hi leaves exactly.
template <typename D>
[[gnu::always_inline]] inline Pair<D> divide(Pair<D> a, Pair<D> b)
{
    const D q1 = a.hi / b.hi;
    const Pair<D> p = twoProduct(q1, b.hi);
    const D remainder = (((a.hi - p.hi) - p.lo) + a.lo) - q1 * b.lo;
    return quickTwoSum(q1, remainder / b.hi);
}

// Of a positive a; a value of nought or less gives nought, in a double, and what the lanes
// holding one give is for the caller to set aside.
template <typename D>
[[gnu::always_inline]] inline Pair<D> squareRoot(Pair<D> a)
{
    if constexpr (std::is_same_v<D, double>) {
        if (!(a.hi > 0))
            return {0, 0};
    }
    const D x = squareRootOf(a.hi);
    const Pair<D> x2 = twoProduct(x, x);
    const D correction = ((a.hi - x2.hi) - x2.lo + a.lo) / (2 * x);
    return quickTwoSum(x, correction);
}

template <typename D>
[[gnu::always_inline]] inline Pair<D> negate(Pair<D> a)
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
// Its table: atan(k/64) for k = 0 .. 64, from a 300-bit mpmath evaluation, and 1/3.
extern const Wide kAtanOfSixtyFourths[65];
inline constexpr Wide kThird = {0x1.5555555555555p-2, 0x1.5555555555555p-56};

// A constant in every lane.
template <typename D>
[[gnu::always_inline]] inline Pair<D> splat(Wide w)
{
    return {splat<D>(w.hi), splat<D>(w.lo)};
}

// The table's point c = k/64 nearest q (0 <= q <= 1), and atan(c).
struct TablePoint {
    double c;
    Wide atanOfC;
};
[[gnu::always_inline]] inline TablePoint tablePointNear(double q)
{
    const int k = static_cast<int>(q * 64 + 0.5);
    return {k / 64.0, kAtanOfSixtyFourths[k]};
}
#if defined(__AVX2__) && defined(__FMA__)
struct TablePoints {
    Lanes c;
    Pair<Lanes> atanOfC;
};
[[gnu::always_inline]] inline TablePoints tablePointNear(Lanes q)
{
    // Clamped, so a lane whose value is no number (set aside by the caller) stays in the table.
    const __m128i k =
        _mm_min_epi32(_mm_max_epi32(_mm256_cvttpd_epi32(q * 64 + 0.5), _mm_setzero_si128()), _mm_set1_epi32(64));
    const __m128i pair = _mm_add_epi32(k, k);  // each entry is two doubles
    // The masked gather, every lane taken: the plain one starts from an undefined register.
    const __m256d every = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    return {_mm256_cvtepi32_pd(k) * (1 / 64.0),
            {_mm256_mask_i32gather_pd(_mm256_setzero_pd(), &kAtanOfSixtyFourths[0].hi, pair, every, 8),
             _mm256_mask_i32gather_pd(_mm256_setzero_pd(), &kAtanOfSixtyFourths[0].lo, pair, every, 8)}};
}
#endif

// arctanOfQuotient, for a double or for Lanes.
template <typename D>
VELHORN_LANE_STEP Pair<D> arctanOfQuotientIn(Pair<D> n, Pair<D> d)
{
    // Above 1, pi/2 - atan(d/n). Then atan(a/b) = atan(c) + atan(t), t = (a - c b) / (b + c a),
    // at the table point c = k/64 nearest a/b, so |t| <= 1/128 and one division does. The series
    // of atan(t): t - t^3/3 in double-double and the rest, under 2^-30 of t, in double, which
    // leaves about 2^-82 of t. The terms left out are below 2^-112 of t.
    const auto inverted = isLess(d.hi, n.hi);
    const Pair<D> a = {select(inverted, d.hi, n.hi), select(inverted, d.lo, n.lo)};
    const Pair<D> b = {select(inverted, n.hi, d.hi), select(inverted, n.lo, d.lo)};
    const auto point = tablePointNear(a.hi / b.hi);
    const Pair<D> c = {point.c, D{}};
    const Pair<D> t = divide(add(a, negate(multiply(c, b))), add(b, multiply(c, a)));
    const Pair<D> t2 = multiply(t, t);
    const D u = t2.hi;
    const D tail =
        t.hi * u * u *
        (1.0 / 5 + u * (-1.0 / 7 + u * (1.0 / 9 + u * (-1.0 / 11 + u * (1.0 / 13 + u * (-1.0 / 15))))));
    const Pair<D> series = add(add(t, negate(multiply(multiply(t2, t), splat<D>(kThird)))), Pair<D>{tail, D{}});
    const Pair<D> angle = add(point.atanOfC, series);
    const Pair<D> turned = add(splat<D>(kHalfPi), negate(angle));
    return {select(inverted, turned.hi, angle.hi), select(inverted, turned.lo, angle.lo)};
}

#if defined(__AVX2__) && defined(__FMA__)
[[gnu::always_inline]] inline Pair<Lanes> arctanOfQuotient(Pair<Lanes> n, Pair<Lanes> d)
{
    return arctanOfQuotientIn(n, d);
}
#endif

#if defined(__AVX2__) && defined(__FMA__)
// Eight doubles as two registers worked side by side. Double-double is long chains of steps that
// each wait on the one before; a second chain beside the first keeps the vector unit busy.
struct Lanes2 {
    Lanes a;
    Lanes b;
};
#define VELHORN_LANES2_OPERATOR(op)                                                                        \
    [[gnu::always_inline]] inline Lanes2 operator op(Lanes2 x, Lanes2 y) { return {x.a op y.a, x.b op y.b}; } \
    [[gnu::always_inline]] inline Lanes2 operator op(double x, Lanes2 y) { return {x op y.a, x op y.b}; }     \
    [[gnu::always_inline]] inline Lanes2 operator op(Lanes2 x, double y) { return {x.a op y, x.b op y}; }
VELHORN_LANES2_OPERATOR(+)
VELHORN_LANES2_OPERATOR(-)
VELHORN_LANES2_OPERATOR(*)
VELHORN_LANES2_OPERATOR(/)
#undef VELHORN_LANES2_OPERATOR
[[gnu::always_inline]] inline Lanes2 operator-(Lanes2 x)
{
    return {-x.a, -x.b};
}
[[gnu::always_inline]] inline Lanes2& operator+=(Lanes2& x, Lanes2 y)
{
    return x = x + y;
}
[[gnu::always_inline]] inline Pair<Lanes2> twoProduct(Lanes2 x, Lanes2 y)
{
    const Pair<Lanes> a = twoProduct(x.a, y.a), b = twoProduct(x.b, y.b);
    return {{a.hi, b.hi}, {a.lo, b.lo}};
}
#define VELHORN_LANES2_UNARY(name)                   \
    [[gnu::always_inline]] inline Lanes2 name(Lanes2 x) \
    {                                                \
        return {name(x.a), name(x.b)};               \
    }
VELHORN_LANES2_UNARY(squareRootOf)
VELHORN_LANES2_UNARY(absOf)
VELHORN_LANES2_UNARY(binadeOf)
#undef VELHORN_LANES2_UNARY
#define VELHORN_LANES2_BINARY(name)                             \
    [[gnu::always_inline]] inline Lanes2 name(Lanes2 x, Lanes2 y) \
    {                                                           \
        return {name(x.a, y.a), name(x.b, y.b)};                \
    }
VELHORN_LANES2_BINARY(isLess)
VELHORN_LANES2_BINARY(isLessOrEqual)
VELHORN_LANES2_BINARY(isEqual)
VELHORN_LANES2_BINARY(isNotEqual)
VELHORN_LANES2_BINARY(both)
VELHORN_LANES2_BINARY(differ)
#undef VELHORN_LANES2_BINARY
[[gnu::always_inline]] inline Lanes2 select(Lanes2 which, Lanes2 x, Lanes2 y)
{
    return {select(which.a, x.a, y.a), select(which.b, x.b, y.b)};
}
template <>
[[gnu::always_inline]] inline Lanes2 splat<Lanes2>(double x)
{
    return {_mm256_set1_pd(x), _mm256_set1_pd(x)};
}
struct TablePoints2 {
    Lanes2 c;
    Pair<Lanes2> atanOfC;
};
[[gnu::always_inline]] inline TablePoints2 tablePointNear(Lanes2 q)
{
    const TablePoints a = tablePointNear(q.a), b = tablePointNear(q.b);
    return {{a.c, b.c}, {{a.atanOfC.hi, b.atanOfC.hi}, {a.atanOfC.lo, b.atanOfC.lo}}};
}
[[gnu::always_inline]] inline Pair<Lanes2> arctanOfQuotient(Pair<Lanes2> n, Pair<Lanes2> d)
{
    return arctanOfQuotientIn(n, d);
}
#endif

// Whether the whole interval v +- bound rounds to v.hi, for a double or for Lanes. Without
// branches: a shock batch asks this a dozen times a shock.
template <typename D>
VELHORN_LANE_STEP auto surelyRoundsIn(Pair<D> v, D bound)
{
    const D magnitude = absOf(v.hi);
    // The binade's power of two: half an ulp is 2^-53 of it, or 2^-54 just below it.
    const D power = binadeOf(magnitude);
    const auto justBelow = both(both(isEqual(magnitude, power), isNotEqual(v.lo, D{})),
                                differ(isLess(v.lo, D{}), isLess(v.hi, D{})));
    const D halfUlp = power * select(justBelow, splat<D>(0x1p-54), splat<D>(0x1p-53));
    return both(both(isLessOrEqual(splat<D>(0x1p-900), magnitude), isLessOrEqual(magnitude, splat<D>(0x1p900))),
                isLess(absOf(v.lo) + bound * (1 + 0x1p-40), halfUlp));
}

inline bool surelyRounds(Wide v, double bound)
{
    return surelyRoundsIn(v, bound);
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
