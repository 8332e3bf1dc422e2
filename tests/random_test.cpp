// The real generator behind the built program: the distribution of the goals it draws and the
// seeding from the clock, over pipes. Scripted draws cannot see this wiring.
#include "process.hpp"

#include <charconv>
#include <chrono>
#include <ctime>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <utility>

namespace {

// n predictions of A against B with the given ratings, all answered S but the last.
std::string matches(int n, const std::string &overall_a, const std::string &overall_b) {
    std::string input;
    for (int i = 0; i < n; ++i)
        input += "A\n" + overall_a + "\nB\n" + overall_b + (i + 1 < n ? "\nS\n" : "\nN\n");
    return input;
}

// The goals of every score line, "A <gols1> x <gols2> B", in the order printed.
std::vector<std::pair<int, int>> scores(const std::string &transcript) {
    std::vector<std::pair<int, int>> found;
    std::istringstream lines(transcript);
    std::string line;
    bool next_is_score = false;
    while (std::getline(lines, line)) {
        if (next_is_score) {
            int gols1 = -1, gols2 = -1;
            const char *end = line.data() + line.size();
            auto one = std::from_chars(line.data() + 2, end, gols1);
            auto two = std::from_chars(one.ptr + 3, end, gols2);
            EXPECT_TRUE(line.starts_with("A ") && std::string_view(one.ptr, 3) == " x " &&
                        std::string_view(two.ptr, end) == " B")
                << line;
            found.emplace_back(gols1, gols2);
        }
        next_is_score = line == "Calculo feito!";
    }
    return found;
}

// Pearson's statistic for counts that should be equal across their cells.
double chi_square(const std::vector<int> &counts) {
    double total = 0;
    for (int c : counts) total += c;
    double expected = total / static_cast<double>(counts.size()), sum = 0;
    for (int c : counts) sum += (c - expected) * (c - expected) / expected;
    return sum;
}

// Waits until the clock's second changes, so that what starts next has a whole second.
void wait_for_a_new_second() {
    for (std::time_t now = std::time(nullptr); std::time(nullptr) == now;)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// Runs the program twice at once, each with the input piped from a file; returns the two
// outputs, and fails the test unless both exit with status 0.
std::pair<std::string, std::string> run_piped_together(const std::string &input) {
    Scratch scratch;
    const std::string in = scratch.path("input"), one = scratch.path("one"),
                      two = scratch.path("two");
    write_file(in, input);
    EXPECT_EQ(run_shell("cat " + in + " | " + palpite() + " >" + one + " & cat " + in + " | " +
                        palpite() + " >" + two + " && wait $!"),
              0);
    return {file_contents(one), file_contents(two)};
}

} // namespace

TEST(Generator, EqualRatingsDrawEachGoalCountAsOften) {
    const int predictions = 30000;
    auto found = scores(run_piped(matches(predictions, "70", "70")));
    ASSERT_EQ(found.size(), static_cast<size_t>(predictions));

    std::vector<int> first(6), second(6);
    for (auto [gols1, gols2] : found) {
        ASSERT_TRUE(gols1 >= 0 && gols1 < 6 && gols2 >= 0 && gols2 < 6) << gols1 << " x " << gols2;
        ++first[gols1];
        ++second[gols2];
    }
    // With 5 degrees of freedom a statistic above 40 has a chance of 1.5e-7 for a uniform
    // draw: the two sides together raise a false alarm less than once in a million runs.
    EXPECT_LT(chi_square(first), 40.0);
    EXPECT_LT(chi_square(second), 40.0);
}

TEST(Generator, ADifferenceOfFiveGivesRangesOfFourAndThree) {
    // The stronger side first in one run, second in the other.
    for (auto [stronger_first, input] :
         {std::pair{true, matches(2000, "80", "75")}, {false, matches(2000, "75", "80")}}) {
        int lowest_strong = 99, highest_strong = -1, lowest_weak = 99, highest_weak = -1;
        for (auto [gols1, gols2] : scores(run_piped(input))) {
            int strong = stronger_first ? gols1 : gols2, weak = stronger_first ? gols2 : gols1;
            lowest_strong = std::min(lowest_strong, strong);
            highest_strong = std::max(highest_strong, strong);
            lowest_weak = std::min(lowest_weak, weak);
            highest_weak = std::max(highest_weak, weak);
        }
        EXPECT_EQ(lowest_strong, 0) << stronger_first;
        EXPECT_EQ(highest_strong, 3) << stronger_first;
        EXPECT_EQ(lowest_weak, 0) << stronger_first;
        EXPECT_EQ(highest_weak, 2) << stronger_first;
    }
}

TEST(Generator, TwoRunsInTheSameSecondPredictTheSame) {
    const std::string input = matches(200, "70", "70") + matches(200, "90", "61");
    // Started together at the top of a second, the two runs seed within it even when each
    // takes most of a second to start, as under an emulator on a busy machine.
    for (int attempt = 0; attempt < 5; ++attempt) {
        wait_for_a_new_second();
        std::time_t before = std::time(nullptr);
        auto [one, two] = run_piped_together(input);
        if (std::time(nullptr) != before) continue; // the second changed: the seeds may differ
        EXPECT_EQ(one, two);
        return;
    }
    FAIL() << "no two runs fell within one second";
}

TEST(Generator, RunsStartedInDifferentSecondsPredictDifferently) {
    const std::string input = matches(200, "70", "70");
    std::string one = run_piped(input);
    // The first run started no later than now; the second starts in a later second.
    wait_for_a_new_second();
    std::string two = run_piped(input);
    ASSERT_EQ(scores(one).size(), 200u);
    EXPECT_NE(one, two) << "the generator is not seeded from the clock";
}
