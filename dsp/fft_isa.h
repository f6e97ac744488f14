#pragma once
// Internals of the FFT engine shared by its instruction-set variants and its tests.
//
// Table layout in fft_w: for every radix-4 stage of L points (L = 16, 64, 256, ...) three rows,
// e = 1, 2, 3, of the L/4 twiddles exp(-2 pi i e k / L), k = 0..L/4-1, starting at
// fft_stage_offset(L) doubles, each row 4 doubles per twiddle. A row is made of groups of four
// twiddles, 16 doubles each: (re0 re0 re1 re1 re2 re2 re3 re3 im0 im0 im1 im1 ... im3 im3), so
// that a vector of 1, 2 or 4 complex values finds its real and imaginary parts duplicated in
// place, 8 doubles apart (fft_twiddle). The inverse direction uses the conjugates.
// fft_ip[1] = K, fft_ip[2 + x] = x with its K low bits reversed (x < 2^K).
//
// Kept free of standard-library templates: it is included by translation units compiled for
// other instruction sets, whose inline code must not be merged with the generic build's.
#include <cstdint>

enum class fft_isa : int32_t { scalar, avx2, avx512 };

// Offset [doubles] of the twiddle rows of the radix-4 stage of L points.
static constexpr int32_t fft_stage_offset(int32_t L) {
    return L - 16;
}

// Offset [doubles] of twiddle k within a row.
static constexpr int32_t fft_twiddle(int32_t k) {
    return 16 * (k >> 2) + 2 * (k & 3);
}

// Transform of N >= 16 points with a built table; fwd: exp(-2 pi i jk/N).
void fft_run_scalar(double* a, int32_t N, bool fwd, const double* w, const int32_t* ip);
void fft_run_avx2(double* a, int32_t N, bool fwd, const double* w, const int32_t* ip);
void fft_run_avx512(double* a, int32_t N, bool fwd, const double* w, const int32_t* ip);

bool fft_isa_available(fft_isa isa);
fft_isa fft_isa_selected();  // the variant complex_fft uses on this CPU
const char* fft_isa_name(fft_isa isa);

// complex_fft with a chosen variant (which must be available).
void complex_fft_isa(fft_isa isa, int32_t n, int32_t sign, double* data, int32_t* fft_ip,
                     double* fft_w);
