// The score model: chances from the ratings, and goals drawn from the random source.
#pragma once

#include "predictor.hpp"

// Sets chance1 and chance2 from the ratings, starting from the 3 each that the prediction was
// reset to, then draws gols1 and, second, gols2. Takes exactly two draws.
void score(Predictor &p, const Draw &draw);
