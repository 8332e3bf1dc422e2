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

// Types line once prompt is visible; fails, with the output seen, if it does not become so.
testing::AssertionResult answer(Child &child, const std::string &prompt, const std::string &line) {
    testing::AssertionResult visible = child.wait_for(prompt);
    if (visible) child.type(line);
    return visible;
}

} // namespace

TEST_P(Session, EachPromptIsVisibleBeforeItsRead) {
    Child child(GetParam());
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(answer(child, "Nome do primeiro time: ", "Alfa\n"));
        ASSERT_TRUE(answer(child, "Overall do primeiro time: ", "80\n"));
        ASSERT_TRUE(answer(child, "Nome do segundo time: ", "Beta\n"));
        ASSERT_TRUE(answer(child, "Overall do segundo time: ", "79\n"));
        ASSERT_TRUE(answer(child, "Continuar? (S/N): ", round == 0 ? "S\n" : "n\n"));
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
    ASSERT_TRUE(answer(child, "Nome do primeiro time: ", "Alfa\n"));
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
    Scratch scratch;
    std::string err_path = scratch.path("stderr");
};

TEST_F(Exit, ZeroAtEndOfInputAndOnN) {
    EXPECT_EQ(run_shell(palpite() + " </dev/null >/dev/null 2>" + err_path), 0);
    EXPECT_EQ(run_shell("printf 'Alfa\\n80\\nBeta\\n79\\nN\\n' | " + palpite() + " >/dev/null 2>" +
                        err_path),
              0);
    EXPECT_EQ(errors(), "");
}

TEST_F(Exit, OneWhenTheOutputCannotBeWritten) {
    EXPECT_EQ(run_shell("printf 'Alfa\\n80\\nBeta\\n79\\nN\\n' | " + palpite() + " >/dev/full 2>" +
                        err_path),
              1);
    EXPECT_EQ(errors(), "palpite: erro ao escrever a saida\n");
}

// Endless input must not keep a program that cannot write alive; timeout's 124 would say so.
TEST_F(Exit, OneWhenTheOutputCannotBeWrittenAndInputNeverEnds) {
    EXPECT_EQ(run_shell("yes S | timeout 20 " + palpite() + " >/dev/full 2>" + err_path), 1);
    EXPECT_EQ(errors(), "palpite: erro ao escrever a saida\n");
}

// The output of a whole file of input waits in the buffer for the flush after the N answer; a
// file size limit makes that last flush fail, as a disk that fills after the last prediction
// would. That is a write error, not a clean stop. (The limit, 16 or 32 KiB as the shell counts
// blocks, leaves room for a coverage build's own data files.)
TEST_F(Exit, OneWhenTheLastFlushAfterTheAnswerFails) {
    std::string input;
    for (int i = 0; i < 200; ++i)
        input += i < 199 ? "Alfa\n80\nBeta\n79\nS\n" : "Alfa\n80\nBeta\n79\nN\n";
    ASSERT_LT(input.size(), 65536u) << "the input must arrive in one read";
    write_file(scratch.path("jogos"), input);
    const std::string out_path = scratch.path("placar");
    // Ignored, SIGXFSZ lets the write past the limit fail with EFBIG instead of killing it.
    EXPECT_EQ(run_shell("trap '' XFSZ; ulimit -f 32; exec " + palpite() + " <" +
                        scratch.path("jogos") + " >" + out_path + " 2>" + err_path),
              1);
    EXPECT_EQ(errors(), "palpite: erro ao escrever a saida\n");
    const std::string written = file_contents(out_path);
    EXPECT_TRUE(written.starts_with("Nome do primeiro time: Overall do primeiro time: "))
        << written.substr(0, 200);
    EXPECT_LT(written.size(), 40000u) << "the limit did not cut the output";
}

// When standard error cannot take the report either, the exit status still tells.
TEST_F(Exit, OneWhenStandardErrorCannotTakeTheReportEither) {
    for (const char *err : {"2>/dev/full", "2>&-"})
        EXPECT_EQ(run_shell(palpite() + " </ >/dev/null " + std::string(err)), 1) << err;
}

// Input that fails is not the end of input: the run is abandoned as at the end, but reported.
TEST_F(Exit, OneWhenTheInputCannotBeRead) {
    for (const char *input : {"</", "<&-"}) {
        const std::string out_path = scratch.path("stdout");
        EXPECT_EQ(
            run_shell(palpite() + " " + std::string(input) + " >" + out_path + " 2>" + err_path), 1)
            << input;
        EXPECT_EQ(file_contents(out_path), "Nome do primeiro time: \n") << input;
        EXPECT_EQ(errors(), "palpite: erro ao ler a entrada\n") << input;
    }
}

// A reader that goes away is not a write error to report: SIGPIPE ends the program, as it
// ends any filter in a pipeline.
TEST_F(Exit, ABrokenPipeEndsItBySigpipe) {
    std::signal(SIGPIPE, SIG_DFL); // what the program inherits, whatever this test inherited
    EXPECT_EQ(run_shell("bash -c 'yes S | \"$@\" 2>" + err_path +
                        " | head -c 10 >/dev/null; exit ${PIPESTATUS[1]}' bash " + palpite()),
              128 + SIGPIPE);
    EXPECT_EQ(errors(), "");
}

// ---- what is left for the next reader ----

// After an N answer the rest of a seekable input belongs to the next command, as it would
// after any C program that reads its input through stdio.
TEST(Input, TheNextCommandReadsWhatTheProgramDidNotTake) {
    Scratch scratch;
    write_file(scratch.path("jogos"), "Alfa\n80\nBeta\n79\nN\nresto\n");
    EXPECT_EQ(run_shell("{ " + palpite() + " >/dev/null; cat >" + scratch.path("resto") + "; } <" +
                        scratch.path("jogos")),
              0);
    EXPECT_EQ(file_contents(scratch.path("resto")), "resto\n");
}
