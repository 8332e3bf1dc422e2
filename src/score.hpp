// The score model: chances from the ratings, and goals drawn from the random source.
#pragma once

#include "predictor.hpp"

// Sets chance1 and chance2 from the ratings, starting from the 3 each that the prediction was
// reset to, then draws gols1 and, second, gols2. Takes exactly two draws.
void score(Predictor &p, const Draw &draw);

// Draws the penalty shoot-out of a level score from the chances score() left: gols1p, then
// gols2p, then, only when they are equal, a tie-break of 0 or 1 added to gols1p. Takes two
// draws, or three on equal counts.
void shootout(Predictor &p, const Draw &draw);
