// exp, log and their kin in long double for the WebAssembly build. There a long double has a
// 113-bit significand, and emscripten's C library gives these functions only as their double
// versions, so the core's extended-precision paths would round like plain doubles and part from
// velhorn-cli's digits. These keep well over 64 good bits, as the desktop's x87 versions do.
// The linker takes them before the C library's.
#include <array>
#include <cmath>

namespace {

constexpr long double kLn2 = 0.693147180559945309417232121458176568075500134360255L;
constexpr long double kSqrtHalf = 0.707106781186547524400844362104849039284835937688474L;

// 1 / n! and 1 / (2n + 1), rounded once each at compile time: WebAssembly's long double
// arithmetic is software, so every division at run time costs.
constexpr auto kInverseFactorials = [] {
    std::array<long double, 12> c{};
    long double f = 1;
    for (int n = 1; n < 12; ++n) {
        f *= n;
        c[n] = 1 / f;
    }
    return c;
}();
constexpr auto kInverseOdds = [] {
    std::array<long double, 24> c{};
    for (int n = 0; n < 24; ++n)
        c[n] = 1.0L / (2 * n + 1);
    return c;
}();

// exp(r) - 1 for |r| <= 0.35: the series at r / 256 (whose eleventh term is below 2^-113 of
// the first), then doubled back up eight times through expm1(2a) = expm1(a) (2 + expm1(a)),
// which keeps its relative precision near 0.
long double expm1Small(long double r)
{
    const long double a = r / 256;
    long double sum = kInverseFactorials[11];
    for (int n = 10; n >= 1; --n)
        sum = sum * a + kInverseFactorials[n];
    sum *= a;
    for (int k = 0; k < 8; ++k)
        sum = sum * (2 + sum);
    return sum;
}

// log(1 + f) for |f| <= 0.4143: 2 atanh(z) with z = f / (2 + f), |z| <= 0.1716, whose series
// is below 2^-113 of its first term by the 23rd.
long double log1pSmall(long double f)
{
    const long double z = f / (2 + f);
    const long double z2 = z * z;
    long double sum = 0;
    for (int n = 23; n >= 1; --n)
        sum = sum * z2 + kInverseOdds[n];
    return 2 * z + 2 * z * z2 * sum;
}

}  // namespace

extern "C" {

long double expl(long double x)
{
    if (std::isnan(x))
        return x;
    if (x > 11356.6L)
        return HUGE_VALL;
    if (x < -11433.0L)
        return 0;
    const long double k = std::nearbyint(x / kLn2);
    const long double r = x - k * kLn2;
    return std::scalbn(1 + expm1Small(r), static_cast<int>(k));
}

long double expm1l(long double x)
{
    if (std::isnan(x) || x == 0)
        return x;
    if (x <= 0.35L && x >= -0.35L)
        return expm1Small(x);
    if (x < -80)
        return -1;
    return expl(x) - 1;
}

long double logl(long double x)
{
    if (std::isnan(x) || x == HUGE_VALL)
        return x;
    if (x == 0)
        return -HUGE_VALL;
    if (x < 0)
        return NAN;
    int e = 0;
    long double m = std::frexp(x, &e);  // in [0.5, 1)
    if (m < kSqrtHalf) {
        m *= 2;
        --e;
    }
    return log1pSmall(m - 1) + e * kLn2;  // m - 1 is exact
}

long double log1pl(long double x)
{
    if (std::isnan(x) || x == HUGE_VALL || x == 0)
        return x;
    if (x == -1)
        return -HUGE_VALL;
    if (x < -1)
        return NAN;
    if (x >= kSqrtHalf - 1 && x <= 0.41421356237309504880168872420969807856967L)
        return log1pSmall(x);
    return logl(1 + x);
}

long double powl(long double x, long double y)
{
    if (y == 0 || x == 1)
        return 1;
    if (std::isnan(x) || std::isnan(y))
        return NAN;
    if (x < 0) {
        if (std::nearbyint(y) != y)
            return NAN;
        const long double magnitude = powl(-x, y);
        return std::fmod(y, 2.0L) == 0 ? magnitude : -magnitude;
    }
    if (x == 0)
        return y > 0 ? 0 : HUGE_VALL;
    return expl(y * logl(x));
}

}  // extern "C"
