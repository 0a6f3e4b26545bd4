// exp, log and their kin in long double for the WebAssembly build. There a long double has a
// 113-bit significand, and emscripten's C library gives these functions only as their double
// versions, so the core's extended-precision paths would round like plain doubles and part from
// velhorn-cli's digits. These keep well over 64 good bits, as the desktop's x87 versions do.
// The linker takes them before the C library's.
#include <cmath>

namespace {

constexpr long double kLn2 = 0.693147180559945309417232121458176568075500134360255L;
constexpr long double kSqrtHalf = 0.707106781186547524400844362104849039284835937688474L;

// exp(r) - 1 for |r| <= 0.35: the series at r / 256, then doubled back up eight times through
// expm1(2a) = expm1(a) (2 + expm1(a)), which keeps its relative precision near 0.
long double expm1Small(long double r)
{
    const long double a = r / 256;
    long double term = a, sum = a;
    for (int n = 2; n <= 14; ++n) {
        term *= a / n;
        sum += term;
    }
    for (int k = 0; k < 8; ++k)
        sum = sum * (2 + sum);
    return sum;
}

// log(1 + f) for |f| <= 0.4143: 2 atanh(z) with z = f / (2 + f).
long double log1pSmall(long double f)
{
    const long double z = f / (2 + f);
    const long double z2 = z * z;
    long double sum = 0;
    for (int n = 27; n >= 1; --n)
        sum = sum * z2 + 1.0L / (2 * n + 1);
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
