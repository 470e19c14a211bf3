#pragma once

#include "predict/Macierz.h"

// The arithmetic of one least-squares ("NSK") step of Predyktory, for an order 1 ≤ K ≤ 11, in two
// interchangeable variants that give the same float32 values: a plain scalar one, and vector ones
// that run the row loops four (AVX2) or eight (AVX-512) doubles at a time, used when the
// processor has the instructions.
//
// The caller keeps P together with its transpose Pt (the AVX-512 variant reads the columns of P
// from Pt), and gets P'ᵀ with every P' (the weights read the columns of P' from it).
//
// Every element is formed in double from float32 operands and rounded to float32 once, where the
// matrix operation that defines it would store it; sums run over k ascending in a float32
// accumulator that starts at 0. u is the K × 1 regression vector, newest sample first, in an array
// of at least 12 floats whose elements from K on are 0.
//
// Overflow: each intermediate is formed from finite values, so the first non-finite element in
// the step's order is an overflow (±∞). A step is reported as stopped at that point; nothing is
// written to the caller's state before the step's end, so where it stopped matters only for which
// of an overflow and a division by zero came first.

#if defined(__x86_64__) && defined(__GNUC__)
#define MODULACJE_NSK_AVX2 1
#endif

enum class NskWynik { Dobrze, Przepelnienie, DzieleniePrzezZero };
enum class NskWariant { Skalarny, Avx2, Avx512 };

// True when the processor can run the variant.
bool nskWariantDostepny(NskWariant wariant);
// The fastest variant the processor can run.
NskWariant nskNajlepszyWariant();

// P' = (1/λ)·(P − A·g), with A = ((P·u)·uᵀ)·P and g = 1 / ((uᵀ·P)·u + λ), formed in that order
// (the difference first, then the product with the float32 value 1/λ). Pt is the transpose of P.
// Pn and Ptn are K × K matrices whose spare elements (rows and columns from K on) are 0; when the
// result is Dobrze, Pn holds P' and Ptn its transpose, otherwise they are incomplete. Only their
// first K rows are written.
NskWynik nskMacierzP(NskWariant wariant, const Macierz& P, const Macierz& Pt, const float* u,
                     float lambda, Macierz& Pn, Macierz& Ptn);

// W = w + ((P'·e)·u), K values, with Ptn the transpose of Pn. False on an overflow (W then
// incomplete).
bool nskWagi(NskWariant wariant, const Macierz& Pn, const Macierz& Ptn, const float* u, float e,
             const float* w, float* W);

// Ptn(j, i) = Pn(i, j) for i, j < K; the other elements of Ptn are left as they are.
void nskTransponuj(const Macierz& Pn, Macierz& Ptn);
