// The score model and the penalty shoot-out.
//
// The stronger side's chance is 3 plus the rating difference, halved; the weaker side keeps 3,
// and equal ratings give both 6. The chances are 64-bit, so that any two int32 ratings give a
// chance of at least 2, chance + 1 cannot overflow and no draw ever divides by zero.
#include "score.hpp"

// Draw mod m, for m >= 1; the result lies between 0 and min(m - 1, RAND_MAX). A chance is at
// most (3 + 2^32 - 1) / 2 and m at most one more, so m fits 32 unsigned bits, as every draw
// does: the remainder is taken in 32 bits, and no 32-bit target needs a 64-bit division.
static std::int32_t draw_mod(const Draw &draw, std::int64_t m) {
    const auto drawn = static_cast<std::uint32_t>(draw.next(draw.context));
    return static_cast<std::int32_t>(drawn % static_cast<std::uint32_t>(m));
}

void score(Predictor &p, const Draw &draw) {
    const std::int64_t difference = std::int64_t{p.overalltime1} - p.overalltime2;
    if (difference > 0) {
        p.chance1 = (p.chance1 + difference) / 2;
    } else if (difference < 0) {
        p.chance2 = (p.chance2 - difference) / 2;
    } else {
        p.chance1 += 3;
        p.chance2 += 3;
    }
    p.gols1 = draw_mod(draw, p.chance1);
    p.gols2 = draw_mod(draw, p.chance2);
}

void shootout(Predictor &p, const Draw &draw) {
    p.gols1p = draw_mod(draw, p.chance1 + 1);
    p.gols2p = draw_mod(draw, p.chance2 + 1);
    if (p.gols1p == p.gols2p) p.gols1p += draw_mod(draw, 2); // only ever the first team's
}
