// The score model: chances from the rating difference, and which draw becomes which goal.
#include "score.hpp"
#include "support.hpp"

#include <climits>
#include <gtest/gtest.h>

struct ChanceCase {
    std::int32_t overalltime1, overalltime2;
    std::int64_t chance1, chance2;
};

class Chances : public testing::TestWithParam<ChanceCase> {};

void PrintTo(const ChanceCase &c, std::ostream *os) {
    *os << c.overalltime1 << " x " << c.overalltime2;
}

TEST_P(Chances, FollowTheRatingDifference) {
    const ChanceCase &c = GetParam();
    Predictor p;
    p.overalltime1 = c.overalltime1;
    p.overalltime2 = c.overalltime2;
    Script script({0, 0});

    score(p, script.draw());
    EXPECT_EQ(p.chance1, c.chance1);
    EXPECT_EQ(p.chance2, c.chance2);
    EXPECT_EQ(script.used, 2u);
}

INSTANTIATE_TEST_SUITE_P(Differences, Chances,
                         testing::Values(ChanceCase{80, 80, 6, 6}, ChanceCase{0, 0, 6, 6},
                                         ChanceCase{80, 79, 2, 3}, ChanceCase{80, 78, 2, 3},
                                         ChanceCase{80, 77, 3, 3}, ChanceCase{80, 76, 3, 3},
                                         ChanceCase{80, 75, 4, 3}, ChanceCase{80, 74, 4, 3},
                                         ChanceCase{80, 73, 5, 3}, ChanceCase{80, 72, 5, 3},
                                         ChanceCase{75, 80, 3, 4}, ChanceCase{79, 80, 3, 2},
                                         ChanceCase{99, 0, 51, 3}));

INSTANTIATE_TEST_SUITE_P(NegativeRatings, Chances,
                         testing::Values(ChanceCase{-10, -20, 6, 3}, ChanceCase{-20, -10, 3, 6},
                                         ChanceCase{-5, -5, 6, 6}, ChanceCase{5, -5, 6, 3}));

// The difference of two int32 ratings needs 33 bits; the chance never wraps below 2.
INSTANTIATE_TEST_SUITE_P(Int32Extremes, Chances,
                         testing::Values(ChanceCase{INT32_MAX, INT32_MIN, 2147483649, 3},
                                         ChanceCase{INT32_MIN, INT32_MAX, 3, 2147483649},
                                         ChanceCase{INT32_MAX, INT32_MAX, 6, 6},
                                         ChanceCase{INT32_MIN, INT32_MIN, 6, 6},
                                         ChanceCase{INT32_MAX, INT32_MAX - 1, 2, 3},
                                         ChanceCase{INT32_MIN + 1, INT32_MIN, 2, 3},
                                         ChanceCase{INT32_MAX, 0, 1073741825, 3}));

TEST(Goals, FirstDrawIsTheFirstTeamsModItsChance) {
    struct {
        std::int32_t overalltime1, overalltime2;
        std::vector<int> draws;
        std::int32_t gols1, gols2;
    } cases[] = {
        {80, 75, {7, 8}, 3, 2},  // chances 4 and 3
        {75, 80, {7, 8}, 1, 0},  // chances 3 and 4
        {80, 79, {5, 5}, 1, 2},  // chances 2 and 3
        {70, 70, {11, 6}, 5, 0}, // chances 6 and 6
        {INT32_MAX, INT32_MIN, {RAND_MAX, RAND_MAX}, RAND_MAX, RAND_MAX % 3},
    };
    for (const auto &c : cases) {
        Predictor p;
        p.overalltime1 = c.overalltime1;
        p.overalltime2 = c.overalltime2;
        Script script(c.draws);
        score(p, script.draw());
        EXPECT_EQ(p.gols1, c.gols1) << c.overalltime1 << " x " << c.overalltime2;
        EXPECT_EQ(p.gols2, c.gols2) << c.overalltime1 << " x " << c.overalltime2;
    }
}

TEST(Shootout, DrawsModTheChancesPlusOne) {
    struct {
        std::int64_t chance1, chance2;
        std::vector<int> draws; // every draw the shoot-out must take
        std::int32_t gols1p, gols2p;
    } cases[] = {
        {6, 6, {13, 20, 0}, 6, 6},                   // 13 % 7 and 20 % 7 tie; an even tie-break
        {6, 6, {13, 20, 7}, 7, 6},                   // an odd one lifts only gols1p
        {2, 3, {5, 9}, 2, 1},                        // 5 % 3 and 9 % 4: no tie-break
        {2147483649, 3, {RAND_MAX, 3}, RAND_MAX, 3}, // the 64-bit chance + 1 does not wrap
    };
    for (const auto &c : cases) {
        Predictor p;
        p.chance1 = c.chance1;
        p.chance2 = c.chance2;
        Script script(c.draws);
        shootout(p, script.draw());
        EXPECT_EQ(p.gols1p, c.gols1p) << c.chance1;
        EXPECT_EQ(p.gols2p, c.gols2p) << c.chance1;
        EXPECT_EQ(script.used, c.draws.size()) << c.chance1;
    }
}
