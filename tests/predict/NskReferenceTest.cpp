// Guards the optimised "NSK" step: a straightforward implementation built from the Macierz
// operations, reading every reference sample afresh from the file with its own seek, must agree
// with Predyktory bit for bit on real speech, for every order and a few forgetting factors, and
// whether the value adapted with is the input itself (prediction) or a value that differs from it
// (ADPCM, where the history holds reconstructions but u the input).

#include "predict/Macierz.h"
#include "predict/Predyktory.h"

#include "RecordingSink.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

float f32(double x) {
    return static_cast<float>(x);
}

class ReferenceNsk {
public:
    ReferenceNsk(const std::string& path, int K, float lambda)
        : path_(path), K_(K), lambda_(lambda), P_(K, K), w_(std::size_t(K), 0.0f),
          history_(std::size_t(K), 0.0f) {
        for (int i = 0; i < K; ++i)
            P_(i, i) = 1.0f;
    }

    float probkaWe(std::int64_t k) const {
        if (k < 0)
            return 0.0f;
        std::ifstream in(path_, std::ios::binary);
        in.seekg(4 * (k + 1));
        unsigned char b[4];
        in.read(reinterpret_cast<char*>(b), 4);
        const std::uint32_t raw = b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t(b[3]) << 24;
        float value;
        std::memcpy(&value, &raw, 4);
        return value;
    }

    float przewiduj() const {
        float s = 0.0f;
        for (int i = 0; i < K_; ++i)
            s = f32(double(history_[std::size_t(i)]) * w_[std::size_t(i)] + s);
        return s;
    }

    void adaptuj(std::int32_t n, float v) {
        if (n <= 0)
            return;
        Macierz u(K_, 1);
        for (int i = 0; i < K_; ++i)
            u(i, 0) = probkaWe(n - 1 - i);
        Macierz A = ((P_ * u) * Transponuj(u)) * P_;
        const float d = ((Transponuj(u) * P_) * u)(0, 0);
        const float den = f32(double(d) + lambda_);
        const float g = f32(1.0 / den);
        A = A * g;
        const Macierz difference = P_ - A;
        const Macierz Pn = f32(1.0 / lambda_) * difference;
        Macierz W(K_, 1);
        for (int i = 0; i < K_; ++i)
            W(i, 0) = w_[std::size_t(i)];
        const float e = f32(double(v) - przewiduj());
        W = W + ((Pn * e) * u);
        for (int i = 0; i < K_; ++i)
            w_[std::size_t(i)] = W(i, 0);
        P_ = Pn;
        for (int i = K_ - 1; i > 0; --i)
            history_[std::size_t(i)] = history_[std::size_t(i - 1)];
        history_[0] = v;
    }

    const std::vector<float>& w() const { return w_; }
    const Macierz& P() const { return P_; }

private:
    std::string path_;
    int K_;
    float lambda_;
    Macierz P_;
    std::vector<float> w_;
    std::vector<float> history_;
};

struct Case {
    int K;
    float lambda;
    bool reconstructed; // adapt with a value that differs from the input, as ADPCM does
};

// The indices of the steps: mostly consecutive, with jumps forward and back so that the kept
// samples must sometimes be read afresh.
std::vector<std::int32_t> stepOrder(std::int32_t count) {
    std::vector<std::int32_t> order;
    for (std::int32_t n = 0; n < count * 2 / 3; ++n)
        order.push_back(n);
    for (std::int32_t n = count * 2 / 3 + 5; n < count; ++n)
        order.push_back(n);
    for (std::int32_t n = 100; n < 400; ++n)
        order.push_back(n);
    return order;
}

} // namespace

TEST(NskReference, MatchesTheMatrixFormulationBitForBitOnSpeech) {
    std::vector<float> samples = speechFixture("5_lucas_7.wav");
    const auto more = speechFixture("0_george_0.wav");
    samples.insert(samples.end(), more.begin(), more.end());
    samples.resize(4000);
    TempDir dir;
    const std::string path = dir.tmp("001.tmp");
    std::vector<float> words{float(samples.size())};
    words.insert(words.end(), samples.begin(), samples.end());
    writeStream(path, words);

    std::vector<Case> cases;
    for (int K = 1; K <= 11; ++K)
        cases.push_back({K, K % 2 ? 0.99f : 1.0f, K % 3 == 0});
    cases.push_back({11, 0.9f, true});
    cases.push_back({4, 0.5f, false});

    const auto order = stepOrder(std::int32_t(samples.size()));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "K=" << c.K << " lambda=" << c.lambda
                                        << (c.reconstructed ? " reconstructed" : " input"));
        RecordingSink sink;
        Predyktory p("NSK", c.K, c.lambda, PredictorInputs{path, sink});
        ReferenceNsk ref(path, c.K, c.lambda);
        std::vector<float> w(std::size_t(c.K));
        int step = 0;
        for (std::int32_t n : order) {
            const float x = samples[std::size_t(n)];
            const float v = c.reconstructed ? f32(double(x) * 0.875 + 0.001) : x;
            const float predicted = p.Przewiduj();
            ASSERT_EQ(predicted, ref.przewiduj()) << "n=" << n;
            p.NumerProbki = n;
            p.Adaptuj(v);
            ref.adaptuj(n, v);
            p.PobierzWspolczynniki(w.data());
            ASSERT_EQ(w, ref.w()) << "n=" << n;
            if (++step % 97 == 0) { // a direct read moves the stream between steps
                ASSERT_EQ(p.ProbkaWe(n / 2), ref.probkaWe(n / 2));
            }
        }
        for (int i = 0; i < c.K; ++i)
            for (int j = 0; j < c.K; ++j)
                ASSERT_EQ((*p.macierzP())(i, j), ref.P()(i, j)) << i << "," << j;
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_FALSE(p.fault());
    }
}
