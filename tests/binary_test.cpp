// The built program over a pseudo-terminal and over pipes: each line is typed only once its
// prompt is visible, as a person or a driving script would; and its exit statuses.
#include "process.hpp"

#include <csignal>
#include <gtest/gtest.h>
#include <regex>

namespace {

// The rest of a prediction of Alfa 80 against Beta 79 after its echo lines: progress lines,
// score (chances 2 and 3), a shoot-out line when it is level, and the question.
const std::string score_then_question = "Calculando resultado...\nCalculo feito!\n"
                                        "Alfa [01] x [012] Beta\n"
                                        "(Alfa [01] \\([0-3]\\) x \\([0-3]\\) [01] Beta)?"
                                        "\nContinuar\\? \\(S/N\\): ";

class Session : public testing::TestWithParam<Wiring> {};

} // namespace

void PrintTo(Wiring wiring, std::ostream *os) {
    *os << (wiring == Wiring::terminal ? "terminal" : "pipes");
}

namespace {

// Types each answer after its prompt; fails at once if a prompt is not visible in time.
void answer(Child &child, const std::string &prompt, const std::string &line) {
    ASSERT_TRUE(child.wait_for(prompt)) << "no prompt \"" << prompt << "\"; output so far:\n"
                                        << child.output();
    child.type(line);
}

} // namespace

TEST_P(Session, EachPromptIsVisibleBeforeItsRead) {
    Child child(GetParam());
    for (int round = 0; round < 2; ++round) {
        answer(child, "Nome do primeiro time: ", "Alfa\n");
        answer(child, "Overall do primeiro time: ", "80\n");
        answer(child, "Nome do segundo time: ", "Beta\n");
        answer(child, "Overall do segundo time: ", "79\n");
        answer(child, "Continuar? (S/N): ", round == 0 ? "S\n" : "n\n");
    }
    EXPECT_EQ(child.exit_status(), 0);

    const std::string one = "Nome do primeiro time: Overall do primeiro time: "
                            "Nome do segundo time: Overall do segundo time: "
                            "Time 1: Alfa \\(Overall: 80\\)\nTime 2: Beta \\(Overall: 79\\)\n" +
                            score_then_question;
    EXPECT_TRUE(std::regex_match(child.output(), std::regex(one + "\n" + one))) << child.output();
}

TEST_P(Session, EndOfInputAtAPromptExitsZeroAfterALineFeed) {
    Child child(GetParam());
    answer(child, "Nome do primeiro time: ", "Alfa\n");
    ASSERT_TRUE(child.wait_for("Overall do primeiro time: "));
    child.end_input();
    EXPECT_EQ(child.exit_status(), 0);
    EXPECT_EQ(child.output(), "Nome do primeiro time: Overall do primeiro time: \n");
}

INSTANTIATE_TEST_SUITE_P(Wirings, Session, testing::Values(Wiring::terminal, Wiring::pipes),
                         [](const auto &info) {
                             return info.param == Wiring::terminal ? "Terminal" : "Pipes";
                         });

// ---- exit statuses ----

class Exit : public testing::Test {
  protected:
    std::string errors() { return file_contents(err_path); }
    void TearDown() override { std::remove(err_path.c_str()); }
    std::string err_path = testing::TempDir() + "palpite_stderr";
};

TEST_F(Exit, ZeroAtEndOfInputAndOnN) {
    EXPECT_EQ(run_shell(PALPITE_BINARY " </dev/null >/dev/null 2>" + err_path), 0);
    EXPECT_EQ(run_shell("printf 'Alfa\\n80\\nBeta\\n79\\nN\\n' | " PALPITE_BINARY " >/dev/null 2>" +
                        err_path),
              0);
    EXPECT_EQ(errors(), "");
}

TEST_F(Exit, OneWhenTheOutputCannotBeWritten) {
    EXPECT_EQ(run_shell("printf 'Alfa\\n80\\nBeta\\n79\\nN\\n' | " PALPITE_BINARY " >/dev/full 2>" +
                        err_path),
              1);
    EXPECT_EQ(errors(), "palpite: erro ao escrever a saida\n");
}

// Endless input must not keep a program that cannot write alive; timeout's 124 would say so.
TEST_F(Exit, OneWhenTheOutputCannotBeWrittenAndInputNeverEnds) {
    EXPECT_EQ(run_shell("yes S | timeout 20 " PALPITE_BINARY " >/dev/full 2>" + err_path), 1);
    EXPECT_EQ(errors(), "palpite: erro ao escrever a saida\n");
}

// A reader that goes away is not a write error to report: SIGPIPE ends the program, as it
// ends any filter in a pipeline.
TEST_F(Exit, ABrokenPipeEndsItBySigpipe) {
    std::signal(SIGPIPE, SIG_DFL); // what the program inherits, whatever this test inherited
    EXPECT_EQ(run_shell("bash -c 'yes S | " PALPITE_BINARY " 2>" + err_path +
                        " | head -c 10 >/dev/null; exit ${PIPESTATUS[1]}'"),
              128 + SIGPIPE);
    EXPECT_EQ(errors(), "");
}
