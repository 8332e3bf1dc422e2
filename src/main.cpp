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

// Bytes each side of the console buffers: a pipe's worth of input in one read, and bulk output
// in large writes.
constexpr std::size_t buffer_size = 65536;

int main() {
    static char in_buf[buffer_size], out_buf[buffer_size]; // large: kept off the stack
    static Console con;
    Descriptors fds = standard_streams;
    console_open(con, system_io(fds), in_buf, sizeof in_buf, out_buf, sizeof out_buf);
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    const Ending ending = play(con, Draw{runtime_draw, nullptr});
    if (ending == Ending::answered_no) {
        // Whatever the program read ahead is left for the next reader of a seekable input.
        give_back(fds.in_fd, untaken_input(con));
    } else if (ending == Ending::input_failed) {
        report_error("palpite: erro ao ler a entrada\n");
        return 1;
    } else if (ending == Ending::output_failed) {
        report_error("palpite: erro ao escrever a saida\n");
        return 1;
    }
    return 0; // an N answer, or the end of input
}
