// Whole transcripts of the dialogue, byte for byte, with scripted draws.
#include "support.hpp"

#include <climits>
#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

const std::string prompts = "Nome do primeiro time: Overall do primeiro time: "
                            "Nome do segundo time: Overall do segundo time: ";
const std::string question = "\nContinuar? (S/N): ";

// One prediction's output from the echo lines to the score line, without the question.
std::string result(const std::string &time1, const std::string &overall1, const std::string &time2,
                   const std::string &overall2, const std::string &score_line) {
    return "Time 1: " + time1 + " (Overall: " + overall1 + ")\n" + "Time 2: " + time2 +
           " (Overall: " + overall2 + ")\n" + "Calculando resultado...\nCalculo feito!\n" +
           score_line + "\n";
}

// One whole first prediction: Alfa 80 against Beta 79, chances 2 and 3.
const std::string alfa_beta_input = "Alfa\n80\nBeta\n79\n";
const std::string alfa_beta = prompts + result("Alfa", "80", "Beta", "79", "Alfa 1 x 0 Beta");

} // namespace

// ---- the whole dialogue ----

TEST(Dialogue, TwoPredictionsByteForByte) {
    Transcript t = play_script("Alfa\n80\nBeta\n79\nS\nGama\n75\nDelta\n80\nN\n", {1, 0, 7, 8});
    EXPECT_EQ(t.output, "Nome do primeiro time: Overall do primeiro time: Nome do segundo time: "
                        "Overall do segundo time: Time 1: Alfa (Overall: 80)\n"
                        "Time 2: Beta (Overall: 79)\n"
                        "Calculando resultado...\n"
                        "Calculo feito!\n"
                        "Alfa 1 x 0 Beta\n"
                        "\n"
                        "Continuar? (S/N): \n"
                        "Nome do primeiro time: Overall do primeiro time: Nome do segundo time: "
                        "Overall do segundo time: Time 1: Gama (Overall: 75)\n"
                        "Time 2: Delta (Overall: 80)\n"
                        "Calculando resultado...\n"
                        "Calculo feito!\n"
                        "Gama 1 x 0 Delta\n"
                        "\n"
                        "Continuar? (S/N): ");
    EXPECT_EQ(t.ending, Ending::answered_no);
    EXPECT_EQ(t.draws_used, 4u);
}

// ---- answers ----

TEST(Dialogue, OnlyAnAnswerBeginningWithNStops) {
    struct {
        std::string answer;
        bool stops;
    } cases[] = {
        {"N\n", true},          {"n\n", true},
        {"Nao, chega\n", true}, {"nope", true},
        {"S\n", false},         {"s\n", false},
        {"\n", false},          {" N\n", false},
        {"x\n", false},         {"Sim, mais uma\n", false},
    };
    for (const auto &c : cases) {
        Transcript t = play_script(alfa_beta_input + c.answer, {1, 0});
        if (c.stops) {
            EXPECT_EQ(t.output, alfa_beta + question) << c.answer;
            EXPECT_EQ(t.ending, Ending::answered_no) << c.answer;
        } else {
            // The next prediction begins, and input ends at its first read.
            EXPECT_EQ(t.output, alfa_beta + question + "\nNome do primeiro time: \n") << c.answer;
            EXPECT_EQ(t.ending, Ending::input_ended) << c.answer;
        }
    }
}

TEST(Dialogue, TheRestOfALongAnswerIsNotReadAsATeamName) {
    Transcript t = play_script(alfa_beta_input + "Sim, mais uma rodada\nGama\n75\nDelta\n80\nN\n",
                               {1, 0, 7, 8});
    EXPECT_EQ(t.output, alfa_beta + question + "\n" + prompts +
                            result("Gama", "75", "Delta", "80", "Gama 1 x 0 Delta") + question);
}

TEST(Dialogue, ABlankAfterTheSecondRatingIsTheAnswer) {
    Transcript t = play_script("Alfa\n80\nBeta\n79 \nGama\n75\nDelta\n80\nN\n", {1, 0, 7, 8});
    EXPECT_EQ(t.output, alfa_beta + question + "\n" + prompts +
                            result("Gama", "75", "Delta", "80", "Gama 1 x 0 Delta") + question);
}

// ---- what a typed character becomes ----

struct LineUpCase {
    const char *what;
    std::string input; // a first prediction, answered N
    std::vector<int> draws;
    std::string result; // its output from the echo lines to the score line
};

class LineUp : public testing::TestWithParam<LineUpCase> {};

void PrintTo(const LineUpCase &c, std::ostream *os) {
    *os << testing::PrintToString(c.input);
}

TEST_P(LineUp, TypedCharactersEndUpWhereTheReadsPutThem) {
    const LineUpCase &c = GetParam();
    Transcript t = play_script(c.input, c.draws);
    EXPECT_EQ(t.output, prompts + c.result + question);
    EXPECT_EQ(t.ending, Ending::answered_no);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineUp,
    testing::Values(LineUpCase{"blank after the first rating empties the second name",
                               "Alfa\n80 \n79\nN\n",
                               {1, 0},
                               result("Alfa", "80", "", "79", "Alfa 1 x 0 ")},
                    LineUpCase{"rating and second name on one line",
                               "Alfa\n80 Beta\n79\nN\n",
                               {1, 0},
                               result("Alfa", "80", "Beta", "79", "Alfa 1 x 0 Beta")},
                    LineUpCase{"empty lines at a rating prompt, negative ratings",
                               "Alfa\n\n\n-10\nBeta\n\n \n-20\nN\n",
                               {5, 2},
                               result("Alfa", "-10", "Beta", "-20", "Alfa 5 x 2 Beta")},
                    LineUpCase{"a rating that is not a number stays 0",
                               "Alfa\nabc\n79\nN\n",
                               {2, 40},
                               result("Alfa", "0", "bc", "79", "Alfa 2 x 40 bc")},
                    LineUpCase{"a sign without a digit is not a number",
                               "Alfa\n- 5\n79\nN\n",
                               {2, 40},
                               result("Alfa", "0", " 5", "79", "Alfa 2 x 40  5")},
                    LineUpCase{"a long name leaves its rest to the rating read",
                               std::string(150, 'a') + "\n80\nN\n",
                               {1, 0},
                               result(std::string(99, 'a'), "0", std::string(50, 'a'), "80",
                                      std::string(99, 'a') + " 1 x 0 " + std::string(50, 'a'))},
                    LineUpCase{"names with blanks, and an empty name",
                               "Real Madrid\n80\n\n79\nN\n",
                               {1, 0},
                               result("Real Madrid", "80", "", "79", "Real Madrid 1 x 0 ")},
                    LineUpCase{"a NUL ends a name; CR and other bytes stay",
                               "Al\0fa\n80\nS\xe3o\rX\n79\nN\n"s,
                               {1, 0},
                               result("Al", "80", "S\xe3o\rX", "79", "Al 1 x 0 S\xe3o\rX")},
                    LineUpCase{"ratings past int32 saturate",
                               "Alfa\n99999999999\nBeta\n-99999999999\nN\n",
                               {RAND_MAX, 4},
                               result("Alfa", "2147483647", "Beta", "-2147483648",
                                      "Alfa " + std::to_string(RAND_MAX) + " x 1 Beta")}),
    [](const auto &info) { return case_name(info.param.what); });

TEST(Dialogue, ARatingThatCannotBeReadKeepsThePreviousPredictionsValue) {
    Transcript t = play_script(alfa_beta_input + "S\nGama\nxx\n70\nN\n", {1, 0, 1, 0});
    // The second rating is 70 and the first keeps 80: chances 6 and 3.
    EXPECT_EQ(t.output, alfa_beta + question + "\n" + prompts +
                            result("Gama", "80", "x", "70", "Gama 1 x 0 x") + question);
}

// ---- end of input and read errors ----

// Input that ends, or fails, at any read abandons the prediction: the prompt line is closed and
// nothing more is drawn. Only the ending tells the two apart.
TEST(Dialogue, EndOrErrorAtAnyReadClosesThePromptLineAndDrawsNothingMore) {
    const std::string second = alfa_beta + question + "\nNome do primeiro time: ";
    struct {
        std::string input;
        std::string output; // before the closing line feed
        std::size_t draws;
    } cases[] = {
        {"", "Nome do primeiro time: ", 0},
        {"Alfa\n", "Nome do primeiro time: Overall do primeiro time: ", 0},
        {"Alfa\n\n \n", "Nome do primeiro time: Overall do primeiro time: ", 0},
        {"Alfa\n80", "Nome do primeiro time: Overall do primeiro time: Nome do segundo time: ", 0},
        {"Alfa\n80\n",
         "Nome do primeiro time: Overall do primeiro time: Nome do segundo time: ", 0},
        {"Alfa\n80\nBeta\n", prompts, 0},
        {"Alfa\n80\nBeta", prompts, 0},
        {"Alfa\n80\nBeta\n79", alfa_beta + question, 2},
        {"Alfa\n80\nBeta\n79\n", alfa_beta + question, 2},
        {"Alfa\n80\nBeta\n79\nS\n", second, 2},
        {"Alfa\n80\nBeta\n79\nSim, mais uma", second, 2},
    };
    for (const auto &c : cases) {
        for (auto [end_fails, ending] :
             {std::pair{false, Ending::input_ended}, {true, Ending::input_failed}}) {
            Transcript t = play_script(c.input, {1, 0}, end_fails);
            EXPECT_EQ(t.output, c.output + "\n") << c.input;
            EXPECT_EQ(t.ending, ending) << c.input;
            EXPECT_EQ(t.draws_used, c.draws) << c.input;
        }
    }
}

// ---- output errors ----

// A write that fails ends the run at once, the last one too: after an N answer everything
// printed since the last read is still to be written, and a full disk there is a failure.
TEST(Dialogue, AnOutputThatCannotBeWrittenEndsTheRun) {
    const std::string input = alfa_beta_input + "S\n" + alfa_beta_input + "N\n";
    for (auto [delivery, sizes] : every_setup()) {
        ScriptedConsole console(input, delivery, sizes);
        console.script.faults = {{Side::output, 0}};
        Script script({1, 0, 1, 0});
        EXPECT_EQ(play(console.con, script.draw()), Ending::output_failed)
            << setup_name(delivery, sizes);
        EXPECT_EQ(console.script.output, "") << setup_name(delivery, sizes);
    }
}

// With the whole input read at once, nothing is written between the first prompt and the
// answer: all of it waits for the flush after N, and a failure there (a disk that fills after
// the last prediction) is an output failure, not a clean stop.
TEST(Dialogue, AFailedFlushAfterTheAnswerIsAnOutputFailure) {
    ScriptedConsole console(alfa_beta_input + "N\n", Delivery::whole, {65536, 65536});
    console.script.faults = {{Side::output, 1}};
    Script script({1, 0});
    EXPECT_EQ(play(console.con, script.draw()), Ending::output_failed);
    EXPECT_EQ(console.script.output, "Nome do primeiro time: ");
    EXPECT_EQ(console.script.calls[1], 2) << "the failing write was not the last one";
}

// ---- penalty shoot-out ----

TEST(Shootout, FollowsALevelScoreLineAndTheQuestionEndsIt) {
    Transcript t = play_script("Alfa\n80\nBeta\n80\nN\n", {2, 2, 3, 1});
    EXPECT_EQ(t.output, prompts + "Time 1: Alfa (Overall: 80)\nTime 2: Beta (Overall: 80)\n"
                                  "Calculando resultado...\nCalculo feito!\n"
                                  "Alfa 2 x 2 Beta\n"
                                  "Alfa 2 (3) x (1) 2 Beta\n"
                                  "Continuar? (S/N): ");
    EXPECT_EQ(t.draws_used, 4u);
}

TEST(Shootout, EqualCountsTakeATieBreakThatOnlyTheFirstTeamGains) {
    struct {
        const char *ratings; // both ratings' lines
        std::vector<int> draws;
        const char *shootout_line;
    } cases[] = {
        {"80\nBeta\n80\n", {1, 1, 4, 4, 3}, "Alfa 1 (5) x (4) 1 Beta"},  // odd tie-break
        {"80\nBeta\n80\n", {1, 1, 4, 4, 2}, "Alfa 1 (4) x (4) 1 Beta"},  // even: stays level
        {"80\nBeta\n80\n", {0, 0, 6, 13, 1}, "Alfa 0 (7) x (6) 0 Beta"}, // up to chance1 + 1
        {"80\nBeta\n75\n", {1, 1, 3, 3, 1}, "Alfa 1 (4) x (3) 1 Beta"},  // chances 4 and 3
        {"75\nBeta\n80\n", {1, 1, 3, 3, 1}, "Alfa 1 (4) x (3) 1 Beta"},  // the weaker first team
        {"80\nBeta\n80\n", {1, 1, 4, 5}, "Alfa 1 (4) x (5) 1 Beta"},     // unequal: no tie-break
    };
    for (const auto &c : cases) {
        Transcript t = play_script("Alfa\n"s + c.ratings + "N\n", c.draws);
        EXPECT_TRUE(t.output.ends_with("\n"s + c.shootout_line + question)) << t.output;
        EXPECT_EQ(t.draws_used, c.draws.size()) << c.shootout_line;
    }
}

// All draws come from one sequence: the prediction after a tied shoot-out starts at the sixth.
TEST(Shootout, TheNextPredictionDrawsAfterTheShootoutsDraws) {
    Transcript t =
        play_script("Alfa\n80\nBeta\n80\nS\nGama\n80\nDelta\n75\nN\n", {1, 1, 2, 2, 0, 4, 5});
    EXPECT_EQ(t.output, prompts + result("Alfa", "80", "Beta", "80", "Alfa 1 x 1 Beta") +
                            "Alfa 1 (2) x (2) 1 Beta" + question + "\n" + prompts +
                            result("Gama", "80", "Delta", "75", "Gama 0 x 2 Delta") + question);
    EXPECT_EQ(t.draws_used, 7u);
}
