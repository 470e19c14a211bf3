#include "predict/Macierz.h"

#include "engine/MessageSink.h"

Macierz::Macierz(std::int32_t Wiersze, std::int32_t Kolumny, MessageSink* messages)
    : messages_(messages) {
    if (Wiersze < 0 || Kolumny < 0 || Wiersze > kMaxWymiar || Kolumny > kMaxWymiar) {
        if (messages_)
            messages_->showMessage(kTekstPamiec, "");
        return;
    }
    Wiersze_ = Wiersze;
    Kolumny_ = Kolumny;
}

void Macierz::Wypelnij(float value) {
    for (std::int32_t i = 0; i < Wiersze_; ++i)
        for (std::int32_t j = 0; j < Kolumny_; ++j)
            (*this)(i, j) = value;
}

void Macierz::jednostkowa() {
    for (std::int32_t i = 0; i < Wiersze_; ++i)
        for (std::int32_t j = 0; j < Kolumny_; ++j)
            (*this)(i, j) = i == j ? 1.0f : 0.0f;
}

void Macierz::zglosNiezgodnosc(const Macierz& other) const {
    MessageSink* sink = messages_ ? messages_ : other.messages_;
    if (sink)
        sink->showMessage(kTekstWymiary, "");
}

Macierz Transponuj(const Macierz& A) {
    Macierz T(A.Kolumny(), A.Wiersze(), A.messages());
    for (std::int32_t i = 0; i < A.Wiersze(); ++i)
        for (std::int32_t j = 0; j < A.Kolumny(); ++j)
            T(j, i) = A(i, j);
    return T;
}

Macierz operator*(const Macierz& A, const Macierz& B) {
    Macierz C(A.Wiersze(), B.Kolumny(), A.messages());
    if (A.Kolumny() != B.Wiersze()) {
        A.zglosNiezgodnosc(B);
        return C;
    }
    // C(i, j) = Σ_k A(i, k) · B(k, j), the float sum rounded after every term, k ascending.
    for (std::int32_t i = 0; i < A.Wiersze(); ++i)
        for (std::int32_t j = 0; j < B.Kolumny(); ++j) {
            float sum = 0.0f;
            for (std::int32_t k = 0; k < A.Kolumny(); ++k)
                sum = static_cast<float>(static_cast<double>(A(i, k)) * B(k, j) + sum);
            C(i, j) = sum;
        }
    return C;
}

Macierz operator*(const Macierz& A, float s) {
    Macierz C(A.Wiersze(), A.Kolumny(), A.messages());
    for (std::int32_t i = 0; i < A.Wiersze(); ++i)
        for (std::int32_t j = 0; j < A.Kolumny(); ++j)
            C(i, j) = static_cast<float>(static_cast<double>(A(i, j)) * s);
    return C;
}

Macierz operator*(float s, const Macierz& A) {
    return A * s;
}

namespace {

template <typename Op> Macierz elementwise(const Macierz& A, const Macierz& B, Op op) {
    Macierz C(A.Wiersze(), A.Kolumny(), A.messages());
    if (A.Wiersze() != B.Wiersze() || A.Kolumny() != B.Kolumny()) {
        A.zglosNiezgodnosc(B);
        return C;
    }
    for (std::int32_t i = 0; i < A.Wiersze(); ++i)
        for (std::int32_t j = 0; j < A.Kolumny(); ++j)
            C(i, j) = static_cast<float>(op(static_cast<double>(A(i, j)), B(i, j)));
    return C;
}

} // namespace

Macierz operator+(const Macierz& A, const Macierz& B) {
    return elementwise(A, B, [](double a, double b) { return a + b; });
}

Macierz operator-(const Macierz& A, const Macierz& B) {
    return elementwise(A, B, [](double a, double b) { return a - b; });
}
