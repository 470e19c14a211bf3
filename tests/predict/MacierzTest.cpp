#include "predict/Macierz.h"

#include "RecordingSink.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

using Message = std::pair<std::string, std::string>;
const Message kWymiary{"Wymiary macierzy nie odpowiadaja sobie", ""};

Macierz zWierszy(std::initializer_list<std::initializer_list<float>> rows,
                 MessageSink* sink = nullptr) {
    const auto r = static_cast<std::int32_t>(rows.size());
    const auto c = static_cast<std::int32_t>(rows.begin()->size());
    Macierz m(r, c, sink);
    std::int32_t i = 0;
    for (const auto& row : rows) {
        std::int32_t j = 0;
        for (float x : row)
            m(i, j++) = x;
        ++i;
    }
    return m;
}

std::vector<float> elementy(const Macierz& m) {
    std::vector<float> out;
    for (std::int32_t i = 0; i < m.Wiersze(); ++i)
        for (std::int32_t j = 0; j < m.Kolumny(); ++j)
            out.push_back(m(i, j));
    return out;
}

} // namespace

TEST(Macierz, NewMatrixHoldsZerosAndWypelnijSetsEveryElement) {
    Macierz m(3, 2);
    EXPECT_EQ(m.Wiersze(), 3);
    EXPECT_EQ(m.Kolumny(), 2);
    EXPECT_EQ(elementy(m), std::vector<float>(6, 0.0f));
    m.Wypelnij(-2.5f);
    EXPECT_EQ(elementy(m), std::vector<float>(6, -2.5f));
}

TEST(Macierz, ProductSizesAndValues) {
    RecordingSink sink;
    const Macierz a = zWierszy({{1, 2, 3}, {4, 5, 6}}, &sink);
    const Macierz b = zWierszy({{7, 8}, {9, 10}, {11, 12}});
    const Macierz ab = a * b;
    EXPECT_EQ(ab.Wiersze(), 2);
    EXPECT_EQ(ab.Kolumny(), 2);
    EXPECT_EQ(elementy(ab), (std::vector<float>{58, 64, 139, 154}));

    const Macierz v = zWierszy({{1}, {-2}, {3}, {0.5f}}, &sink);
    const Macierz outer = v * Transponuj(v);
    EXPECT_EQ(outer.Wiersze(), 4);
    EXPECT_EQ(outer.Kolumny(), 4);
    EXPECT_EQ(outer(1, 2), -6.0f);
    EXPECT_EQ(outer(3, 3), 0.25f);
    const Macierz inner = Transponuj(v) * v;
    EXPECT_EQ(inner.Wiersze(), 1);
    EXPECT_EQ(inner.Kolumny(), 1);
    EXPECT_EQ(inner(0, 0), 14.25f) << "the sum of squares";
    EXPECT_TRUE(sink.messages.empty());
}

// Each product term is rounded to float32 after it is added, in k order: 1 + 2^-24 is lost
// against 1 but kept when the small terms come first.
TEST(Macierz, ProductRoundsTheSumAfterEveryTermInIndexOrder) {
    const float tiny = 0x1p-24f;
    const Macierz big = zWierszy({{1, tiny, tiny}});
    const Macierz small = zWierszy({{tiny, tiny, 1}});
    const Macierz ones = zWierszy({{1}, {1}, {1}});
    EXPECT_EQ((big * ones)(0, 0), 1.0f);
    EXPECT_EQ((small * ones)(0, 0), 1.0f + 0x1p-23f);
}

TEST(Macierz, MismatchShowsTheMessageAndYieldsZeros) {
    struct Case {
        const char* name;
        Macierz (*op)(const Macierz&, const Macierz&);
        std::int32_t rb, cb;     // size of the right operand (the left one is 2 × 3)
        std::int32_t rOut, cOut; // size of the all-zero result
    };
    const Case cases[] = {
        {"product 2x3 * 2x3", [](const Macierz& a, const Macierz& b) { return a * b; }, 2, 3, 2, 3},
        {"sum 2x3 + 3x3", [](const Macierz& a, const Macierz& b) { return a + b; }, 3, 3, 2, 3},
        {"difference 2x3 - 2x2", [](const Macierz& a, const Macierz& b) { return a - b; }, 2, 2, 2,
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSink sink;
        Macierz a(2, 3, &sink);
        a.Wypelnij(1.0f);
        Macierz b(c.rb, c.cb);
        b.Wypelnij(2.0f);
        const Macierz r = c.op(a, b);
        EXPECT_EQ(r.Wiersze(), c.rOut);
        EXPECT_EQ(r.Kolumny(), c.cOut);
        EXPECT_EQ(elementy(r), std::vector<float>(std::size_t(c.rOut * c.cOut), 0.0f));
        EXPECT_EQ(sink.messages, std::vector<Message>{kWymiary});
    }
}

TEST(Macierz, SumOfSquareMatricesOfDifferentSizeIsZeroOfTheLeftSize) {
    RecordingSink sink;
    Macierz a(2, 2), b(3, 3, &sink);
    a.Wypelnij(1.0f);
    b.Wypelnij(1.0f);
    const Macierz r = a + b;
    EXPECT_EQ(r.Wiersze(), 2);
    EXPECT_EQ(r.Kolumny(), 2);
    EXPECT_EQ(elementy(r), std::vector<float>(4, 0.0f));
    EXPECT_EQ(sink.messages, std::vector<Message>{kWymiary}) << "the right operand's sink is used";
}

TEST(Macierz, SumAndDifferenceAreElementwise) {
    const Macierz a = zWierszy({{1, 2}, {3, 4}});
    const Macierz b = zWierszy({{0.5f, -2}, {10, 0}});
    EXPECT_EQ(elementy(a + b), (std::vector<float>{1.5f, 0, 13, 4}));
    EXPECT_EQ(elementy(a - b), (std::vector<float>{0.5f, 4, -7, 4}));
}

TEST(Macierz, TransposeOfARowIsAColumnWithTheSameValues) {
    const Macierz row = zWierszy({{1, -2, 3.5f, 4}});
    const Macierz col = Transponuj(row);
    EXPECT_EQ(col.Wiersze(), 4);
    EXPECT_EQ(col.Kolumny(), 1);
    EXPECT_EQ(elementy(col), elementy(row));
    const Macierz m = zWierszy({{1, 2, 3}, {4, 5, 6}});
    EXPECT_EQ(elementy(Transponuj(m)), (std::vector<float>{1, 4, 2, 5, 3, 6}));
}

TEST(Macierz, CopiesAndAssignmentsAreIndependent) {
    Macierz a = zWierszy({{1, 2}, {3, 4}});
    Macierz copy(a);
    Macierz assigned(2, 2);
    assigned = a;
    a(0, 1) = 9.0f;
    copy(1, 0) = -1.0f;
    EXPECT_EQ(elementy(a), (std::vector<float>{1, 9, 3, 4}));
    EXPECT_EQ(elementy(copy), (std::vector<float>{1, 2, -1, 4}));
    EXPECT_EQ(elementy(assigned), (std::vector<float>{1, 2, 3, 4}));
}

TEST(Macierz, ScalarOnEitherSideGivesTheSameMatrix) {
    const Macierz a = zWierszy({{1, -3}, {0.1f, 7}, {1e30f, 0}});
    for (float s : {0.5f, -3.0f, 0.1f, 1e10f}) {
        SCOPED_TRACE(s);
        EXPECT_EQ(elementy(a * s), elementy(s * a));
    }
}

TEST(Macierz, SizeBeyondTheStorageIsRefusedWithTheAllocationMessage) {
    for (auto [r, c] : {std::pair{12, 1}, std::pair{1, 12}, std::pair{-1, 3}}) {
        SCOPED_TRACE(testing::Message() << r << " x " << c);
        RecordingSink sink;
        const Macierz m(r, c, &sink);
        EXPECT_EQ(m.Wiersze(), 0);
        EXPECT_EQ(m.Kolumny(), 0);
        EXPECT_EQ(sink.messages,
                  (std::vector<Message>{{"Nie moge zaalokowac potrzebnej pamieci", ""}}));
    }
    RecordingSink sink;
    const Macierz largest(11, 11, &sink);
    EXPECT_EQ(largest.Wiersze(), 11);
    EXPECT_TRUE(sink.messages.empty());
}
