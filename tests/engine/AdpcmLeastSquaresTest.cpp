// The ADPCM run with the least-squares predictor, whose decoder follows its coder, against the
// same run written plainly: a coder and a decoder that compute every step themselves, an
// adaptive 16-level quantiser and the ideal channel. Every value of 002.tmp to 005.tmp is
// compared with ==, on real speech, for a few orders and forgetting factors.
#include "RunFixture.h"

#include "predict/Predyktory.h"
#include "quant/Kwantyzery.h"

#include <cstdint>

namespace {

class NullSink : public MessageSink {
public:
    void showMessage(const std::string&, const std::string&) override {}
};

} // namespace

class AdpcmLeastSquares : public RunFixture {};

TEST_F(AdpcmLeastSquares, MatchesAnUnlinkedCoderAndDecoder) {
    std::vector<float> x = speechFixture("7_nicolas_3.wav");
    const auto more = speechFixture("3_jackson_12.wav");
    x.insert(x.end(), more.begin(), more.end());
    ASSERT_GT(x.size(), 5000u);
    setInput(x);
    struct Case {
        const char* order;
        const char* lambdaText;
        float lambda;
    };
    for (const Case& c :
         {Case{"11", "1", 1.0f}, Case{"4", "0,999", 0.999f}, Case{"1", "1", 1.0f}}) {
        SCOPED_TRACE(c.order);
        ASSERT_EQ(simulate(true, true, adpcm("16", 1, "1,0", c.order, c.lambdaText, 2)), 1);
        EXPECT_TRUE(host.messages.empty());

        const int K = std::stoi(c.order);
        NullSink sink;
        const std::string input = dir.tmp("001.tmp");
        Predyktory coder("NSK", K, c.lambda, PredictorInputs{input, sink});
        Predyktory decoder("NSK", K, c.lambda, PredictorInputs{input, sink});
        Kwantyzery quantiser("ADAP", 16, 1.0f, 1, QuantiserInputs{mnozniki, input, random});
        const auto y = stream("002.tmp"), qd = stream("003.tmp"), d = stream("004.tmp"),
                   w = stream("005.tmp");
        ASSERT_EQ(y.size(), x.size() + 1);
        ASSERT_EQ(w.size(), x.size() * K + 1);
        std::vector<float> coefficients(std::size_t(K), 0.0f);
        for (std::size_t n = 0; n < x.size(); ++n) {
            const float p = coder.Przewiduj();
            const float pd = decoder.Przewiduj();
            coder.NumerProbki = std::int32_t(n);
            const float dn = x[n] - p;
            const float q = quantiser.Kwantyzuj(dn);
            coder.Adaptuj(q + p);
            decoder.NumerProbki = std::int32_t(n);
            const float yn = q + pd;
            decoder.Adaptuj(yn);
            ASSERT_EQ(y[n + 1], yn) << n;
            ASSERT_EQ(d[n + 1], dn) << n;
            ASSERT_EQ(qd[n + 1], q - dn) << n;
            coder.PobierzWspolczynniki(coefficients.data());
            for (int k = 0; k < K; ++k)
                ASSERT_EQ(w[1 + n * std::size_t(K) + std::size_t(k)], coefficients[std::size_t(k)])
                    << n << "," << k;
        }
    }
}
