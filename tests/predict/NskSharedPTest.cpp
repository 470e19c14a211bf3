// A decoder predictor linked to its coder (taking the coder's whole step while it adapts with the
// same values, and its P' while both hold the same P) must behave exactly as one that computes
// everything itself: an ADPCM-like loop runs an independent coder/decoder pair and a linked pair
// side by side on speech and compares every prediction, coefficient, P element, fault and
// message with ==. The channel is ideal at first (the decoder adapts with the coder's values),
// then alters a sample now and then (only P is the same), and in some runs one of the two meets a
// value that stops its step after P' was formed, so that their P part ways; in others P
// overflows, or λ = 0 divides by zero.

#include "predict/Predyktory.h"

#include "RecordingSink.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace {

float f32(double x) {
    return static_cast<float>(x);
}

std::vector<float> elements(const Predyktory& p) {
    std::vector<float> out;
    const Macierz& m = *p.macierzP();
    for (std::int32_t i = 0; i < m.Wiersze(); ++i)
        for (std::int32_t j = 0; j < m.Kolumny(); ++j)
            out.push_back(m(i, j));
    return out;
}

// Which predictor is fed a value that ends its step after P' (+∞, an overflow of e), and when.
enum class Split { None, Coder, Decoder };

struct Case {
    int K;
    float lambda;
    Split split;
};

// A coder and a decoder; in the linked pair the decoder takes P' from the coder.
struct Pair {
    Pair(const std::string& path, const Case& c, bool linked)
        : coder("NSK", c.K, c.lambda, PredictorInputs{path, sink}),
          decoder("NSK", c.K, c.lambda, PredictorInputs{path, sink}) {
        if (linked) {
            EXPECT_TRUE(decoder.polaczZeZrodlem(coder));
        }
    }
    RecordingSink sink;
    Predyktory coder;
    Predyktory decoder;
};

// q: d on a grid of 1/8, so the reconstruction differs from the input.
float quantise(float d) {
    return f32(std::nearbyint(double(d) * 8.0) / 8.0);
}

} // namespace

TEST(NskSharedP, LinkedDecoderMatchesAnIndependentOneBitForBit) {
    std::vector<float> samples = speechFixture("9_yweweler_40.wav");
    const auto more = speechFixture("8_theo_21.wav");
    samples.insert(samples.end(), more.begin(), more.end());
    samples.resize(3000);
    TempDir dir;
    const std::string path = dir.tmp("001.tmp");
    std::vector<float> words{float(samples.size())};
    words.insert(words.end(), samples.begin(), samples.end());
    writeStream(path, words);

    std::vector<Case> cases;
    for (int K = 1; K <= 11; ++K) {
        cases.push_back({K, 1.0f, Split::None});
        cases.push_back({K, 0.99f, K % 2 ? Split::Decoder : Split::Coder});
    }
    cases.push_back({11, 0.9f, Split::None}); // P overflows on these phrases
    cases.push_back({3, 0.6f, Split::Decoder});
    cases.push_back({11, 0.0f, Split::None}); // division by zero at the first step

    const float inf = std::numeric_limits<float>::infinity();
    const std::int32_t splitAt = 2500;
    // From this sample on, the channel alters every 173rd value.
    const std::int32_t firstAltered = 1557;
    auto altered = [&](std::int32_t n) { return n >= firstAltered && n % 173 == 0; };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "K=" << c.K << " lambda=" << c.lambda << " split " << int(c.split));
        Pair own(path, c, false), linked(path, c, true);
        std::vector<float> a(std::size_t(c.K)), b(std::size_t(c.K));
        for (std::int32_t n = 0; n < std::int32_t(samples.size()); ++n) {
            const float x = samples[std::size_t(n)];
            float reconstructed = 0.0f;
            for (Pair* pair : {&own, &linked}) {
                const float p = pair->coder.Przewiduj();
                pair->coder.NumerProbki = n;
                const float q = quantise(f32(double(x) - p));
                const float z = c.split == Split::Coder && n == splitAt ? inf : f32(double(q) + p);
                pair->coder.Adaptuj(z);
                const float channel = altered(n) ? f32(double(q) + 0.25) : q;
                const float pd = pair->decoder.Przewiduj();
                pair->decoder.NumerProbki = n;
                const float y =
                    c.split == Split::Decoder && n == splitAt ? inf : f32(double(channel) + pd);
                pair->decoder.Adaptuj(y);
                if (pair == &own)
                    reconstructed = y;
                else
                    ASSERT_EQ(y, reconstructed) << "n=" << n;
            }
            own.decoder.PobierzWspolczynniki(a.data());
            linked.decoder.PobierzWspolczynniki(b.data());
            ASSERT_EQ(a, b) << "n=" << n;
            own.coder.PobierzWspolczynniki(a.data());
            linked.coder.PobierzWspolczynniki(b.data());
            ASSERT_EQ(a, b) << "n=" << n;
            ASSERT_EQ(elements(own.decoder), elements(linked.decoder)) << "n=" << n;
            ASSERT_EQ(own.decoder.probki(), linked.decoder.probki()) << "n=" << n;
            ASSERT_EQ(own.decoder.faultKind(), linked.decoder.faultKind()) << "n=" << n;
            ASSERT_EQ(own.coder.faultKind(), linked.coder.faultKind()) << "n=" << n;
            ASSERT_EQ(own.sink.messages, linked.sink.messages) << "n=" << n;
        }
        EXPECT_EQ(own.decoder.krokiZeZrodla(), 0);
        EXPECT_EQ(own.decoder.krokiLustrzane(), 0);
        if (c.lambda >= 0.99f) {
            // Whole steps were taken until the channel first altered a value, P' from then on
            // until the two parted (or to the end).
            const std::int32_t parted =
                c.split == Split::None ? std::int32_t(samples.size()) : splitAt;
            EXPECT_EQ(linked.decoder.krokiLustrzane(), firstAltered);
            EXPECT_EQ(linked.decoder.krokiZeZrodla(), parted - firstAltered);
            if (c.split == Split::None) {
                EXPECT_TRUE(own.sink.messages.empty());
            }
        } else if (c.lambda > 0.0f) {
            EXPECT_FALSE(own.sink.messages.empty()) << "this case is meant to overflow";
        } else {
            EXPECT_TRUE(own.decoder.fault() && own.coder.fault());
        }
    }
}

TEST(NskSharedP, LinkIsRefusedBetweenPredictorsThatCannotShareSteps) {
    TempDir dir;
    const std::string path = dir.tmp("001.tmp");
    writeStream(path, {2.0f, 0.5f, 0.25f});
    RecordingSink sink;
    Predyktory source("NSK", 4, 0.99f, PredictorInputs{path, sink});
    struct Case {
        const char* name;
        const char* algorithm;
        int K;
        float lambda;
        std::string path;
        bool accepted;
    };
    const Case cases[] = {
        {"same settings", "NSK", 4, 0.99f, path, true},
        {"another order", "NSK", 3, 0.99f, path, false},
        {"another lambda", "NSK", 4, 0.98f, path, false},
        {"another input", "NSK", 4, 0.99f, dir.tmp("002.tmp"), false},
        {"another algorithm", "SG", 4, 0.99f, path, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Predyktory p(c.algorithm, c.K, c.lambda, PredictorInputs{c.path, sink});
        EXPECT_EQ(p.polaczZeZrodlem(source), c.accepted);
    }
    EXPECT_FALSE(source.polaczZeZrodlem(source));

    // Once either has stepped, their states are no longer known to be equal.
    Predyktory stepped("NSK", 4, 0.99f, PredictorInputs{path, sink});
    stepped.NumerProbki = 1;
    stepped.Adaptuj(0.5f);
    EXPECT_FALSE(stepped.polaczZeZrodlem(source));
    Predyktory fresh("NSK", 4, 0.99f, PredictorInputs{path, sink});
    EXPECT_FALSE(fresh.polaczZeZrodlem(stepped));
}

// While a linked decoder takes whole steps it reads the coder's P instead of copying it. These
// orders of calls make it take its own copy at every moment that can happen: the coder's step
// stops after forming P' in its spare pair, the coder steps twice before the decoder steps once,
// and the coder is destroyed first. The linked decoder must still match one that was never linked.
TEST(NskSharedP, DecoderSharingTheCodersPMatchesAnIndependentOneWhenTheyPart) {
    std::vector<float> samples = speechFixture("9_yweweler_40.wav");
    samples.resize(1200);
    TempDir dir;
    const std::string path = dir.tmp("001.tmp");
    std::vector<float> words{float(samples.size())};
    words.insert(words.end(), samples.begin(), samples.end());
    writeStream(path, words);

    enum class Event { CoderOverflows, CoderStepsTwice, CoderDestroyed };
    const float inf = std::numeric_limits<float>::infinity();
    for (Event event : {Event::CoderOverflows, Event::CoderStepsTwice, Event::CoderDestroyed}) {
        for (std::int32_t at : {1, 2, 700}) {
            SCOPED_TRACE(testing::Message() << "event " << int(event) << " at " << at);
            RecordingSink ownSink, linkedSink;
            const Case c{11, 0.99f, Split::None};
            Predyktory ownCoder("NSK", c.K, c.lambda, PredictorInputs{path, ownSink});
            Predyktory ownDecoder("NSK", c.K, c.lambda, PredictorInputs{path, ownSink});
            auto linkedCoder = std::make_unique<Predyktory>("NSK", c.K, c.lambda,
                                                            PredictorInputs{path, linkedSink});
            Predyktory linkedDecoder("NSK", c.K, c.lambda, PredictorInputs{path, linkedSink});
            ASSERT_TRUE(linkedDecoder.polaczZeZrodlem(*linkedCoder));
            auto coderStep = [&](std::int32_t n, float v) {
                for (Predyktory* p : {&ownCoder, linkedCoder.get()}) {
                    if (!p)
                        continue;
                    p->NumerProbki = n;
                    p->Adaptuj(v);
                }
            };
            const auto value = [&](std::int32_t n) { return quantise(samples[std::size_t(n)]); };
            for (std::int32_t n = 0; n + 1 < std::int32_t(samples.size()); ++n) {
                if (n == at && event == Event::CoderDestroyed)
                    linkedCoder.reset();
                const bool twice = event == Event::CoderStepsTwice;
                if (!(twice && n == at + 1)) {
                    const bool overflow = event == Event::CoderOverflows && n == at;
                    coderStep(n, overflow ? inf : value(n));
                    if (twice && n == at)
                        coderStep(n + 1, value(n + 1));
                }
                for (Predyktory* p : {&ownDecoder, &linkedDecoder}) {
                    p->NumerProbki = n;
                    p->Adaptuj(value(n));
                }
                ASSERT_EQ(elements(ownDecoder), elements(linkedDecoder)) << "n=" << n;
                ASSERT_EQ(ownDecoder.wspolczynniki(), linkedDecoder.wspolczynniki()) << "n=" << n;
                ASSERT_EQ(ownDecoder.probki(), linkedDecoder.probki()) << "n=" << n;
                ASSERT_EQ(ownDecoder.Przewiduj(), linkedDecoder.Przewiduj()) << "n=" << n;
                if (linkedCoder) {
                    ASSERT_EQ(elements(ownCoder), elements(*linkedCoder)) << "n=" << n;
                }
            }
            EXPECT_EQ(ownSink.messages, linkedSink.messages);
            EXPECT_GT(linkedDecoder.krokiLustrzane(), 0);
        }
    }
}

TEST(NskSharedP, LinksDoNotChain) {
    TempDir dir;
    const std::string path = dir.tmp("001.tmp");
    writeStream(path, {2.0f, 0.5f, 0.25f});
    RecordingSink sink;
    Predyktory a("NSK", 4, 0.99f, PredictorInputs{path, sink});
    Predyktory b("NSK", 4, 0.99f, PredictorInputs{path, sink});
    Predyktory c("NSK", 4, 0.99f, PredictorInputs{path, sink});
    ASSERT_TRUE(b.polaczZeZrodlem(a));
    EXPECT_FALSE(c.polaczZeZrodlem(a)) << "a source has one follower";
    EXPECT_FALSE(c.polaczZeZrodlem(b)) << "a follower is no source";
    EXPECT_FALSE(a.polaczZeZrodlem(c)) << "a source follows none";
}
