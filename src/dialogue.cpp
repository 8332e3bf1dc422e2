// The prediction loop: one plain loop over the predictor state, one prediction a turn.
#include "dialogue.hpp"

#include "score.hpp"

#include <cstring>

// ---- input ----

// Cuts a name that read_line stored as `length` bytes at its line feed, which can only be its
// last byte, and returns it as it prints: up to its first NUL, like any C string.
static std::string_view cut_name(char *name, std::size_t length) {
    if (name[length - 1] == '\n') name[length - 1] = '\0';
    return {name, std::strlen(name)};
}

// Ends the run: input ended or failed at a read, so the pending prompt line is closed.
static Ending end_of_input(Console &con) {
    print(con, "\n");
    if (!flush_output(con)) return Ending::output_failed;
    return con.in_failed ? Ending::input_failed : Ending::input_ended;
}

// ---- the loop ----

Ending play(Console &con, const Draw &draw) {
    Predictor p;
    for (;;) {
        std::memset(p.time1, 0, sizeof p.time1);
        p.chance1 = p.chance2 = 3;
        p.gols1 = p.gols2 = p.gols1p = p.gols2p = 0;

        print(con, "Nome do primeiro time: ");
        if (p.continuar) discard_line(con); // the rest of a long answer is not a team name
        const std::size_t length1 = read_line(con, p.time1, sizeof p.time1);
        if (!length1) return end_of_input(con);

        print(con, "Overall do primeiro time: ");
        if (!read_integer(con, p.overalltime1)) return end_of_input(con);

        print(con, "Nome do segundo time: ");
        if (!skip_char(con)) return end_of_input(con); // normally the rating's line end
        const std::size_t length2 = read_line(con, p.time2, sizeof p.time2);
        if (!length2) return end_of_input(con);

        print(con, "Overall do segundo time: ");
        if (!read_integer(con, p.overalltime2)) return end_of_input(con);

        const std::string_view time1 = cut_name(p.time1, length1);
        const std::string_view time2 = cut_name(p.time2, length2);
        print(con, "Time 1: ", time1, " (Overall: ", p.overalltime1, ")\n");
        print(con, "Time 2: ", time2, " (Overall: ", p.overalltime2, ")\n");

        print(con, "Calculando resultado...\n");
        score(p, draw);
        print(con, "Calculo feito!\n");
        print(con, time1, " ", p.gols1, " x ", p.gols2, " ", time2, "\n");
        if (p.gols1 == p.gols2) {
            shootout(p, draw);
            // No line end: the question's leading line feed ends the shoot-out line.
            print(con, time1, " ", p.gols1, " (", p.gols1p, ") x (", p.gols2p, ") ", p.gols2, " ",
                  time2);
        }

        print(con, "\nContinuar? (S/N): ");
        if (!skip_char(con)) return end_of_input(con); // normally the rating's line end
        if (!read_line(con, p.resposta, sizeof p.resposta)) return end_of_input(con);
        if (p.resposta[0] == 'N' || p.resposta[0] == 'n')
            return flush_output(con) ? Ending::answered_no : Ending::output_failed;

        p.continuar = 1;
        print(con, "\n");
    }
}
