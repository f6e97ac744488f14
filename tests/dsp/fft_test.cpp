// The FFT engine against a long-double direct transform, for every kernel variant this CPU
// runs, plus the table rules, the work-area bounds and the no-allocation guarantee.
#include "dsp/fft.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "dsp/fft_isa.h"

// Every heap allocation in this binary is counted, so a test can prove the transform makes none.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::atomic<long> allocations{0};
void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

constexpr double tolerance = 1e-14;  // RMS error relative to the RMS of the result

// Caller-side work areas sized for n doubles, as the contract asks (at least 2 + sqrt(n/2)
// ints, fft_w_needed(n) doubles), with a guard zone behind each that must stay untouched.
struct work_area {
    static constexpr int32_t guard = 64;
    int32_t n_ip, n_w;
    std::vector<int32_t> ip;
    std::vector<double> w;
    explicit work_area(int32_t n)
        : n_ip(2 + static_cast<int32_t>(std::ceil(std::sqrt(n / 2.0)))),
          n_w(std::max(fft_w_needed(n), n / 4)),
          ip(n_ip + guard, -77),
          w(n_w + guard, 1234.5) {
        ip[0] = 0;
    }
    bool guards_intact() const {
        for (int32_t i = n_ip; i < n_ip + guard; ++i)
            if (ip[i] != -77) return false;
        for (int32_t i = n_w; i < n_w + guard; ++i)
            if (w[i] != 1234.5) return false;
        return true;
    }
};

std::vector<double> random_data(int32_t n, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> x(n);
    for (double& v : x) v = u(gen);
    return x;
}

// Direct transform of x in long double: every bin, or (sparse) sixteen scattered bins with the
// others left NaN. Cached, since every kernel variant is checked against the same data.
const std::vector<double>& direct_dft(const std::vector<double>& x, int32_t sign,
                                      bool sparse = false) {
    static std::map<std::tuple<std::vector<double>, int32_t, bool>, std::vector<double>> cache;
    std::vector<double>& X = cache[{x, sign, sparse}];
    if (!X.empty()) return X;
    const int64_t N = static_cast<int64_t>(x.size()) / 2;
    const long double pi = 3.141592653589793238462643383279502884L;
    std::vector<long double> c(N), s(N);
    for (int64_t k = 0; k < N; ++k) {
        c[k] = cosl(2 * pi * k / N);
        s[k] = (sign >= 0 ? 1 : -1) * sinl(2 * pi * k / N);
    }
    X.assign(2 * N, std::nan(""));
    for (int64_t t = 0; t < (sparse ? 16 : N); ++t) {
        const int64_t k = sparse ? (t * (N / 16) + 7 * t + 1) % N : t;
        long double re = 0, im = 0;
        for (int64_t j = 0, e = 0; j < N; ++j, e = (e + k) % N) {
            re += x[2 * j] * c[e] - x[2 * j + 1] * s[e];
            im += x[2 * j] * s[e] + x[2 * j + 1] * c[e];
        }
        X[2 * k] = static_cast<double>(re);
        X[2 * k + 1] = static_cast<double>(im);
    }
    return X;
}

// RMS of got - want over the bins that want holds, relative to the RMS of want.
double relative_rms_error(const std::vector<double>& got, const std::vector<double>& want) {
    double err = 0, ref = 0;
    for (size_t i = 0; i < want.size(); ++i) {
        if (std::isnan(want[i])) continue;
        err += (got[i] - want[i]) * (got[i] - want[i]);
        ref += want[i] * want[i];
    }
    return std::sqrt(err / ref);
}

std::vector<fft_isa> variants() {
    std::vector<fft_isa> v;
    for (fft_isa isa : {fft_isa::scalar, fft_isa::avx2, fft_isa::avx512})
        if (fft_isa_available(isa)) v.push_back(isa);
    return v;
}

class Fft : public ::testing::TestWithParam<fft_isa> {
  protected:
    std::vector<double> run(std::vector<double> x, int32_t sign) {
        work_area wa(static_cast<int32_t>(x.size()));
        complex_fft_isa(GetParam(), static_cast<int32_t>(x.size()), sign, x.data(), wa.ip.data(),
                        wa.w.data());
        EXPECT_TRUE(wa.guards_intact()) << "work area overrun at n = " << x.size();
        return x;
    }
};

TEST_P(Fft, MatchesDirectTransformAt4096Points) {
    const std::vector<double> x = random_data(8192, 1);
    for (int32_t sign : {-1, 1}) {
        const double e = relative_rms_error(run(x, sign), direct_dft(x, sign));
        EXPECT_LE(e, tolerance) << "sign " << sign;
        char text[32];
        std::snprintf(text, sizeof text, "%.3g", e);
        RecordProperty("rms_error_sign" + std::to_string(sign), text);
    }
}

TEST_P(Fft, MatchesDirectTransformUpTo2048Points) {
    for (int32_t N = 2; N <= 2048; N *= 2) {
        const std::vector<double> x = random_data(2 * N, N);
        for (int32_t sign : {-1, 1})
            EXPECT_LE(relative_rms_error(run(x, sign), direct_dft(x, sign)), tolerance)
                << "N " << N << " sign " << sign;
    }
}

// Large sizes: sixteen scattered bins against the direct sum.
TEST_P(Fft, LargeSizesMatchDirectTransformBins) {
    for (int32_t N = 4096; N <= 65536; N *= 2) {
        const std::vector<double> x = random_data(2 * N, N + 7);
        for (int32_t sign : {-1, 1})
            EXPECT_LE(relative_rms_error(run(x, sign), direct_dft(x, sign, true)), tolerance)
                << "N " << N << " sign " << sign;
    }
}

TEST_P(Fft, ForwardThenInverseGivesNTimesInputForEverySize) {
    for (int32_t N = 2; N <= 65536; N *= 2) {
        const std::vector<double> x = random_data(2 * N, 3 * N);
        work_area wa(2 * N);
        std::vector<double> y = x;
        complex_fft_isa(GetParam(), 2 * N, -1, y.data(), wa.ip.data(), wa.w.data());
        complex_fft_isa(GetParam(), 2 * N, +1, y.data(), wa.ip.data(), wa.w.data());
        std::vector<double> scaled = x;
        for (double& v : scaled) v *= N;
        EXPECT_LE(relative_rms_error(y, scaled), tolerance) << "N " << N;
        EXPECT_TRUE(wa.guards_intact()) << "N " << N;
    }
}

TEST_P(Fft, ImpulseGivesAllOnesBothWays) {
    for (int32_t N : {2, 4, 8, 16, 32, 4096}) {
        std::vector<double> x(2 * N, 0.0);
        x[0] = 1;
        for (int32_t sign : {-1, 1}) {
            const std::vector<double> X = run(x, sign);
            for (int32_t k = 0; k < N; ++k) {
                EXPECT_NEAR(X[2 * k], 1.0, 1e-15) << "N " << N << " k " << k;
                EXPECT_NEAR(X[2 * k + 1], 0.0, 1e-15) << "N " << N << " k " << k;
            }
        }
    }
}

TEST_P(Fft, RotatingPhasorLandsInBinOneOrMinusOne) {
    for (int32_t N : {2, 4, 8, 16, 64, 4096}) {
        std::vector<double> x(2 * N);
        const double pi = 4 * std::atan(1.0);
        for (int32_t j = 0; j < N; ++j) {
            x[2 * j] = std::cos(2 * pi * j / N);
            x[2 * j + 1] = std::sin(2 * pi * j / N);
        }
        for (int32_t sign : {-1, 1}) {
            const std::vector<double> X = run(x, sign);
            const int32_t bin = sign < 0 ? 1 : N - 1;
            for (int32_t k = 0; k < N; ++k) {
                EXPECT_NEAR(X[2 * k], k == bin ? N : 0.0, 1e-11) << "N " << N << " k " << k;
                EXPECT_NEAR(X[2 * k + 1], 0.0, 1e-11) << "N " << N << " k " << k;
            }
        }
    }
}

TEST_P(Fft, FourPointsInverseBinOne) {
    const std::vector<double> x = {1.5, -2.0, 0.25, 3.0, -4.0, 0.5, 7.0, -1.25};
    const std::vector<double> X = run(x, +1);
    EXPECT_DOUBLE_EQ(X[2], (1.5 - -4.0) - (3.0 - -1.25));  // Re (x0 - x2) - Im (x1 - x3)
    EXPECT_DOUBLE_EQ(X[3], (-2.0 - 0.5) + (0.25 - 7.0));   // Im (x0 - x2) + Re (x1 - x3)
}

TEST_P(Fft, ClearingTheTableSizeRebuildsToTheSameResult) {
    const std::vector<double> x = random_data(8192, 5);
    work_area wa(8192);
    std::vector<double> a = x, b = x;
    complex_fft_isa(GetParam(), 8192, -1, a.data(), wa.ip.data(), wa.w.data());
    EXPECT_EQ(wa.ip[0], 2048);
    wa.ip[0] = 0;
    complex_fft_isa(GetParam(), 8192, -1, b.data(), wa.ip.data(), wa.w.data());
    EXPECT_EQ(wa.ip[0], 2048);
    EXPECT_EQ(a, b);
}

TEST_P(Fft, TableKeptForSmallerSizesAndRebuiltForLarger) {
    const int32_t big = 2 * 16384;
    work_area wa(big);
    std::vector<double> y = random_data(8192, 9);
    complex_fft_isa(GetParam(), 8192, -1, y.data(), wa.ip.data(), wa.w.data());
    EXPECT_EQ(wa.ip[0], 2048);
    const std::vector<double> w_before = wa.w;
    const std::vector<int32_t> ip_before = wa.ip;
    // Every smaller size (both parities of log2 n) runs on the kept table.
    for (int32_t n = 4; n <= 8192; n *= 2) {
        const std::vector<double> x = random_data(n, n);
        y = x;
        complex_fft_isa(GetParam(), n, -1, y.data(), wa.ip.data(), wa.w.data());
        EXPECT_LE(relative_rms_error(y, direct_dft(x, -1)), tolerance) << "n " << n;
    }
    EXPECT_EQ(wa.w, w_before);
    EXPECT_EQ(wa.ip, ip_before);
    // A larger size rebuilds it.
    const std::vector<double> x = random_data(big, 11);
    y = x;
    complex_fft_isa(GetParam(), big, +1, y.data(), wa.ip.data(), wa.w.data());
    EXPECT_EQ(wa.ip[0], big / 4);
    complex_fft_isa(GetParam(), big, -1, y.data(), wa.ip.data(), wa.w.data());
    for (size_t i = 0; i < x.size(); ++i) ASSERT_NEAR(y[i], x[i] * (big / 2), 1e-9) << i;
    EXPECT_TRUE(wa.guards_intact());
}

INSTANTIATE_TEST_SUITE_P(Variants, Fft, ::testing::ValuesIn(variants()),
                         [](const auto& info) { return std::string(fft_isa_name(info.param)); });

TEST(FftEngine, ReceiverWorkAreaServesItsSize) {
    EXPECT_GE(fft_w_size, fft_w_needed(8192));
    EXPECT_GE(fft_ip_size, 66);
    EXPECT_EQ(fft_w_needed(8), 0);
}

TEST(FftEngine, InvalidSizesTouchNothing) {
    std::vector<double> x = random_data(64, 19);
    const std::vector<double> before = x;
    work_area wa(64);
    for (int32_t n : {-8, 0, 2, 3, 6, 24, 40})
        complex_fft(n, -1, x.data(), wa.ip.data(), wa.w.data());
    EXPECT_EQ(x, before);
    EXPECT_EQ(wa.ip[0], 0);
}

TEST(FftEngine, TransformsWithoutAllocating) {
    std::vector<double> x = random_data(2 * 65536, 13);
    work_area wa(2 * 65536);
    const long before = allocations.load();
    for (int32_t n = 4; n <= 2 * 65536; n *= 2) {  // builds the table at every step
        complex_fft(n, -1, x.data(), wa.ip.data(), wa.w.data());
        complex_fft(n, +1, x.data(), wa.ip.data(), wa.w.data());
    }
    wa.ip[0] = 0;
    complex_fft(8192, -1, x.data(), wa.ip.data(), wa.w.data());
    EXPECT_EQ(allocations.load(), before);
}

TEST(FftEngine, DefaultEntryUsesTheBestVariant) {
    const std::vector<double> x = random_data(8192, 17);
    std::vector<double> a = x, b = x;
    work_area wa(8192), wb(8192);
    complex_fft(8192, -1, a.data(), wa.ip.data(), wa.w.data());
    complex_fft_isa(fft_isa_selected(), 8192, -1, b.data(), wb.ip.data(), wb.w.data());
    EXPECT_EQ(a, b);
    std::printf("fft variant in use: %s\n", fft_isa_name(fft_isa_selected()));
}

}  // namespace
