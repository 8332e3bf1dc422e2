// palpite: predicts the score of a football match from the two teams' ratings.
//
// main only wires the dialogue to standard input, standard output and the C runtime's
// generator, seeded once from the clock, so that two runs started in the same second agree.
#include "dialogue.hpp"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

int main() {
    static Console con; // large buffers: kept off the stack
    console_open(con, STDIN_FILENO, STDOUT_FILENO);
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    if (play(con, [] { return std::rand(); }) == Ending::output_failed) {
        // Standard error is the last place to report to; if it fails too, the status still says.
        std::fputs("palpite: erro ao escrever a saida\n", stderr);
        return 1;
    }
    return 0;
}
