// The predictor state: everything one run of predictions keeps, in one place.
#pragma once

#include <cstdint>

// The random source: each next(context) yields a number from 0 to RAND_MAX.
struct Draw {
    int (*next)(void *context);
    void *context; // handed back to next: the generator's state, if it keeps any
};

struct Predictor {
    char time1[100];               // first team's name, zero-terminated; cleared every prediction
    std::int32_t overalltime1 = 0; // first team's rating; keeps its value when none can be read
    char time2[100];               // second team's name, zero-terminated
    std::int32_t overalltime2 = 0; // second team's rating; keeps its value when none can be read
    std::int64_t chance1 = 3;      // how many goal counts the first team can reach (>= 2)
    std::int64_t chance2 = 3;      // how many goal counts the second team can reach (>= 2)
    std::int32_t gols1 = 0;        // first team's goals, 0 to chance1 - 1
    std::int32_t gols2 = 0;        // second team's goals, 0 to chance2 - 1
    std::int32_t gols1p = 0;       // first team's shoot-out count on a level score
    std::int32_t gols2p = 0;       // second team's shoot-out count on a level score
    int continuar = 0;             // 0 during the first prediction, 1 in every later one
    char resposta[10];             // the answer to "Continuar? (S/N): ", zero-terminated
};
