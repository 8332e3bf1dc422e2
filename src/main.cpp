// palpite: predicts the score of a football match from the two teams' ratings.
//
// main only wires the dialogue to standard input, standard output and the C runtime's
// generator, seeded once from the clock, so that two runs started in the same second agree.
#include "dialogue.hpp"
#include "system.hpp"

#include <cstdlib>
#include <ctime>

// The C runtime's generator, as a draw source.
static int runtime_draw(void *) {
    return std::rand();
}

int main() {
    static Console con; // large buffers: kept off the stack
    Descriptors fds = standard_streams;
    console_open(con, system_io(fds));
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    switch (play(con, Draw{runtime_draw, nullptr})) {
    case Ending::answered_no:
        // Whatever the program read ahead is left for the next reader of a seekable input.
        give_back(fds.in_fd, untaken_input(con));
        return 0;
    case Ending::input_ended:
        return 0;
    case Ending::input_failed:
        report_error("palpite: erro ao ler a entrada\n");
        return 1;
    case Ending::output_failed:
        report_error("palpite: erro ao escrever a saida\n");
        return 1;
    }
    return 1; // not reached: every ending is handled above
}
