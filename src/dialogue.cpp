// The prediction loop: one plain loop over the predictor state, one prediction a turn.
#include "dialogue.hpp"

#include "score.hpp"

#include <cstring>

// ---- printing ----

// Prints "Time N: <name> (Overall: <rating>)" and a line end.
static void print_team(Console &con, std::string_view label, const char *name,
                       std::int32_t overall) {
    print_text(con, label);
    print_text(con, name);
    print_text(con, " (Overall: ");
    print_number(con, overall);
    print_text(con, ")\n");
}

// Prints the score line, "Alfa 2 x 1 Beta", and a line end.
static void print_score(Console &con, const Predictor &p) {
    print_text(con, p.time1);
    print_text(con, " ");
    print_number(con, p.gols1);
    print_text(con, " x ");
    print_number(con, p.gols2);
    print_text(con, " ");
    print_text(con, p.time2);
    print_text(con, "\n");
}

// Prints the shoot-out line, "Alfa 1 (3) x (2) 1 Beta", with no line end: the question's
// leading line feed ends it.
static void print_shootout(Console &con, const Predictor &p) {
    print_text(con, p.time1);
    print_text(con, " ");
    print_number(con, p.gols1);
    print_text(con, " (");
    print_number(con, p.gols1p);
    print_text(con, ") x (");
    print_number(con, p.gols2p);
    print_text(con, ") ");
    print_number(con, p.gols2);
    print_text(con, " ");
    print_text(con, p.time2);
}

// ---- input ----

// Cuts a name at its first line feed, which goes with everything after it.
static void cut_at_line_feed(char *name) {
    if (char *lf = std::strchr(name, '\n')) *lf = '\0';
}

// Ends the run: input ended at a read, so the pending prompt line is closed.
static Ending end_of_input(Console &con) {
    print_text(con, "\n");
    return flush_output(con) ? Ending::input_ended : Ending::output_failed;
}

// ---- the loop ----

Ending play(Console &con, const Draw &draw) {
    Predictor p;
    for (;;) {
        std::memset(p.time1, 0, sizeof p.time1);
        p.chance1 = p.chance2 = 3;
        p.gols1 = p.gols2 = p.gols1p = p.gols2p = 0;

        print_text(con, "Nome do primeiro time: ");
        if (p.continuar) discard_line(con); // the rest of a long answer is not a team name
        if (!read_line(con, p.time1, sizeof p.time1)) return end_of_input(con);

        print_text(con, "Overall do primeiro time: ");
        if (!read_integer(con, p.overalltime1)) return end_of_input(con);

        print_text(con, "Nome do segundo time: ");
        if (!skip_char(con)) return end_of_input(con); // normally the rating's line end
        if (!read_line(con, p.time2, sizeof p.time2)) return end_of_input(con);

        print_text(con, "Overall do segundo time: ");
        if (!read_integer(con, p.overalltime2)) return end_of_input(con);

        cut_at_line_feed(p.time1);
        cut_at_line_feed(p.time2);
        print_team(con, "Time 1: ", p.time1, p.overalltime1);
        print_team(con, "Time 2: ", p.time2, p.overalltime2);

        print_text(con, "Calculando resultado...\n");
        score(p, draw);
        print_text(con, "Calculo feito!\n");
        print_score(con, p);
        if (p.gols1 == p.gols2) {
            shootout(p, draw);
            print_shootout(con, p);
        }

        print_text(con, "\nContinuar? (S/N): ");
        if (!skip_char(con)) return end_of_input(con); // normally the rating's line end
        if (!read_line(con, p.resposta, sizeof p.resposta)) return end_of_input(con);
        if (p.resposta[0] == 'N' || p.resposta[0] == 'n')
            return flush_output(con) ? Ending::answered_no : Ending::output_failed;

        p.continuar = 1;
        print_text(con, "\n");
    }
}
