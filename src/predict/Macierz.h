#pragma once

#include <array>
#include <cstdint>

class MessageSink;

// A dense matrix of float32 values with value semantics, at most 11 × 11 (the largest predictor
// order). Element (i, j) is row i, column j, both from 0. The elements live in an inline array
// with a fixed row stride, so constructing, copying and returning a matrix never touches the heap.
//
// Every element formula is evaluated in double from its float32 operands and rounded to float32
// once, where the element is stored; a product's sum runs over k in index order in a float32
// accumulator rounded after every term.
//
// A size mismatch in a product, sum or difference hands "Wymiary macierzy nie odpowiadaja sobie"
// (empty title) to the sink the left operand (or else the right one) was built with, and yields the
// all-zero result. A size beyond 11 × 11 or below 0 cannot be stored: the constructor hands
// "Nie moge zaalokowac potrzebnej pamieci" (empty title) to its sink and the matrix is 0 × 0.
// Results of operations report to their left operand's sink.
class Macierz {
public:
    static constexpr std::int32_t kMaxWymiar = 11;
    // Row stride of the storage: one spare column, always 0, so that a row can be read in whole
    // groups of four.
    static constexpr std::int32_t kRozstep = 12;

    // An r × c matrix of zeros.
    Macierz(std::int32_t Wiersze, std::int32_t Kolumny, MessageSink* messages = nullptr);

    std::int32_t Wiersze() const { return Wiersze_; }
    std::int32_t Kolumny() const { return Kolumny_; }
    MessageSink* messages() const { return messages_; }

    float& operator()(std::int32_t i, std::int32_t j) { return Elementy_[i * kRozstep + j]; }
    float operator()(std::int32_t i, std::int32_t j) const { return Elementy_[i * kRozstep + j]; }
    // Row i: kRozstep floats, of which the first Kolumny() are elements and the rest 0.
    float* wiersz(std::int32_t i) { return &Elementy_[i * kRozstep]; }
    const float* wiersz(std::int32_t i) const { return &Elementy_[i * kRozstep]; }

    void Wypelnij(float value);
    // Sets the matrix to the identity (1 on the diagonal, 0 elsewhere).
    void jednostkowa();

    // Reports a size mismatch through this matrix's sink, or `other`'s when this one has none.
    void zglosNiezgodnosc(const Macierz& other) const;

private:
    std::array<float, kMaxWymiar * kRozstep> Elementy_{};
    std::int32_t Wiersze_ = 0;
    std::int32_t Kolumny_ = 0;
    MessageSink* messages_ = nullptr;
};

// The c × r matrix T with T(j, i) = A(i, j).
Macierz Transponuj(const Macierz& A);

// The A.Wiersze() × B.Kolumny() product; all zeros after the mismatch message when A.Kolumny()
// differs from B.Wiersze().
Macierz operator*(const Macierz& A, const Macierz& B);
Macierz operator*(const Macierz& A, float s);
Macierz operator*(float s, const Macierz& A);
// Element by element; the result has A's size, all zeros after the mismatch message.
Macierz operator+(const Macierz& A, const Macierz& B);
Macierz operator-(const Macierz& A, const Macierz& B);

inline constexpr const char* kTekstWymiary = "Wymiary macierzy nie odpowiadaja sobie";
inline constexpr const char* kTekstPamiec = "Nie moge zaalokowac potrzebnej pamieci";
