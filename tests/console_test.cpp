// The console operations: what each read takes, what it leaves pending, and when output is
// written.
#include "support.hpp"

#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace std::string_literals;

// ---- read_line ----

struct LineCase {
    const char *what;
    std::string input;
    std::size_t capacity;
    bool took;           // read_line's result
    std::string line;    // stored bytes before the terminator
    std::string pending; // what the next read sees
};

class ReadLine : public testing::TestWithParam<LineCase> {};

void PrintTo(const LineCase &c, std::ostream *os) {
    *os << testing::PrintToString(c.input);
}

TEST_P(ReadLine, TakesUpToTheLineFeedWithinCapacity) {
    const LineCase &c = GetParam();
    MemoryConsole console(c.input);
    char line[100];
    std::memset(line, 'X', sizeof line);

    EXPECT_EQ(read_line(*console.con, line, c.capacity), c.took);
    EXPECT_EQ(std::string(line, c.line.size()), c.line);
    EXPECT_EQ(line[c.line.size()], '\0') << "the line must be zero-terminated";
    EXPECT_EQ(console.pending(), c.pending);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadLine,
    testing::Values(LineCase{"whole line", "Alfa\n70\n", 100, true, "Alfa\n", "70\n"},
                    LineCase{"blanks kept", "  Real Madrid \n", 100, true, "  Real Madrid \n", ""},
                    LineCase{"empty line", "\nBeta\n", 100, true, "\n", "Beta\n"},
                    LineCase{"cut at capacity", "Sim, mais uma\nGama\n", 10, true, "Sim, mais",
                             " uma\nGama\n"},
                    LineCase{"line feed fits", "12345678\nX", 10, true, "12345678\n", "X"},
                    LineCase{"line feed left over", "123456789\nX", 10, true, "123456789", "\nX"},
                    LineCase{"last line without line feed", "Alfa", 100, true, "Alfa", ""},
                    LineCase{"NUL and CR are bytes", "A\0B\r\n"s, 100, true, "A\0B\r\n"s, ""},
                    LineCase{"non-ASCII bytes", "S\xe3o Paulo\n", 100, true, "S\xe3o Paulo\n", ""},
                    LineCase{"long name", std::string(150, 'a') + "\n80\n", 100, true,
                             std::string(99, 'a'), std::string(51, 'a') + "\n80\n"},
                    LineCase{"end of input", "", 100, false, "", ""}),
    [](const auto &info) { return case_name(info.param.what); });

// ---- read_integer ----

struct IntegerCase {
    std::string input;
    bool took;           // read_integer's result: false only at end of input
    std::int32_t value;  // the target afterwards; it starts at 42
    std::string pending; // what the next read sees
};

class ReadInteger : public testing::TestWithParam<IntegerCase> {};

void PrintTo(const IntegerCase &c, std::ostream *os) {
    *os << testing::PrintToString(c.input);
}

TEST_P(ReadInteger, TakesSignAndDigitsAfterWhiteSpace) {
    const IntegerCase &c = GetParam();
    MemoryConsole console(c.input);
    std::int32_t value = 42;

    EXPECT_EQ(read_integer(*console.con, value), c.took);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(console.pending(), c.pending);
}

INSTANTIATE_TEST_SUITE_P(Numbers, ReadInteger,
                         testing::Values(IntegerCase{"80\nBeta\n", true, 80, "\nBeta\n"},
                                         IntegerCase{"  \n\n\t-12 x", true, -12, " x"},
                                         IntegerCase{"\r\v\f+7\n", true, 7, "\n"},
                                         IntegerCase{"007", true, 7, ""},
                                         IntegerCase{"-0\n", true, 0, "\n"},
                                         IntegerCase{"12abc", true, 12, "abc"},
                                         IntegerCase{"80 Beta\n", true, 80, " Beta\n"}));

INSTANTIATE_TEST_SUITE_P(
    Saturation, ReadInteger,
    testing::Values(IntegerCase{"2147483647\n", true, 2147483647, "\n"},
                    IntegerCase{"2147483648\n", true, 2147483647, "\n"},
                    IntegerCase{"-2147483648\n", true, -2147483647 - 1, "\n"},
                    IntegerCase{"-2147483649\n", true, -2147483647 - 1, "\n"},
                    IntegerCase{"99999999999999999999999999x", true, 2147483647, "x"},
                    IntegerCase{"-00000000000000000000000012\n", true, -12, "\n"}));

INSTANTIATE_TEST_SUITE_P(NotANumber, ReadInteger,
                         testing::Values(IntegerCase{"abc\n", true, 42, "abc\n"},
                                         IntegerCase{"\n\n  abc\n", true, 42, "abc\n"},
                                         IntegerCase{"-\n", true, 42, "-\n"},
                                         IntegerCase{"+x\n", true, 42, "+x\n"},
                                         IntegerCase{"- 5\n", true, 42, "- 5\n"},
                                         IntegerCase{"--5\n", true, 42, "--5\n"},
                                         IntegerCase{"-", true, 42, "-"}));

INSTANTIATE_TEST_SUITE_P(EndOfInput, ReadInteger,
                         testing::Values(IntegerCase{"", false, 42, ""},
                                         IntegerCase{" \n\n\t ", false, 42, ""}));

// A sign at the very end of the buffer must still see the digit (or not) that follows it.
TEST(ReadInteger, LooksPastASignAtTheEndOfTheBuffer) {
    const std::string blanks(sizeof(Console::in_buf) - 1, ' ');
    for (auto [tail, value, pending] : {std::tuple{"-5\n", -5, "\n"}, {"-x\n", 42, "-x\n"}}) {
        MemoryConsole console(blanks + tail);
        std::int32_t read = 42;
        EXPECT_TRUE(read_integer(*console.con, read));
        EXPECT_EQ(read, value) << tail;
        EXPECT_EQ(console.pending(), pending) << tail;
    }
}

// ---- skip_char and discard_line ----

TEST(SkipChar, TakesExactlyOneCharacterOfAnyKind) {
    MemoryConsole console("\n \0x"s);
    for (std::string rest : {" \0x"s, "\0x"s, "x"s, ""s}) {
        EXPECT_TRUE(skip_char(*console.con));
        EXPECT_EQ(console.pending(), rest);
    }
    EXPECT_FALSE(skip_char(*console.con));
}

TEST(DiscardLine, DropsTheRestOfACutLineOnly) {
    struct {
        const char *input;
        std::string pending; // after a 10-byte line read and the discard
    } cases[] = {
        {"Sim, mais uma\nGama\n", "Gama\n"}, // cut: the rest of that line goes
        {"123456789\nGama\n", "Gama\n"},     // cut right before its line feed
        {"S\nGama\n", "Gama\n"},             // whole line: nothing goes
        {"\nGama\n", "Gama\n"},              // empty line: nothing goes
        {"Sim, mais uma", ""},               // cut, then input ends
    };
    for (const auto &c : cases) {
        MemoryConsole console(c.input);
        char answer[10];
        ASSERT_TRUE(read_line(*console.con, answer, sizeof answer));
        discard_line(*console.con);
        EXPECT_EQ(console.pending(), c.pending) << c.input;
    }
}

// After a whole line the discard must not read: on a terminal that would wait for a line
// the user has not typed yet. A pipe that is open and empty shows any read attempt.
TEST(DiscardLine, NeverReadsAfterAWholeLine) {
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_NONBLOCK), 0);
    ASSERT_EQ(write(fds[1], "S\n", 2), 2);
    auto con = std::make_unique<Console>();
    console_open(*con, fds[0], STDOUT_FILENO);

    char answer[10];
    ASSERT_TRUE(read_line(*con, answer, sizeof answer));
    discard_line(*con);
    EXPECT_FALSE(con->in_ended) << "the discard tried to read the empty pipe";
    close(fds[0]);
    close(fds[1]);
}

// ---- output ----

TEST(Output, IsWrittenOnlyBeforeAReadThatMustFetchInput) {
    MemoryConsole console("Alfa\n80\n");
    Console &con = *console.con;
    char line[100];
    std::int32_t rating = 0;

    print_text(con, "Nome: ");
    EXPECT_EQ(console.written(), "") << "printing alone must not write";
    ASSERT_TRUE(read_line(con, line, sizeof line));
    EXPECT_EQ(console.written(), "Nome: ") << "the prompt must be out before input is fetched";
    print_text(con, "Overall: ");
    ASSERT_TRUE(read_integer(con, rating));
    EXPECT_EQ(console.written(), "Nome: ") << "input was already buffered: no write needed";
    ASSERT_TRUE(flush_output(con));
    EXPECT_EQ(console.written(), "Nome: Overall: ");
}

TEST(Output, KeepsOrderAcrossAFullBuffer) {
    MemoryConsole console("");
    std::string expected;
    for (int i = 0; i < 30000; ++i) {
        print_text(*console.con, "gol ");
        print_number(*console.con, i - 15000);
        expected += "gol " + std::to_string(i - 15000);
    }
    print_number(*console.con, INT64_MIN);
    ASSERT_TRUE(flush_output(*console.con));
    EXPECT_EQ(console.written(), expected + "-9223372036854775808");
}

TEST(Output, AFailedWriteIsReportedAndStopsTheReads) {
    int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    MemoryConsole console("Alfa\n");
    console_open(*console.con, console.con->in_fd, full);
    char line[100];

    print_text(*console.con, "Nome: ");
    EXPECT_FALSE(read_line(*console.con, line, sizeof line)) << "no read once output failed";
    EXPECT_FALSE(flush_output(*console.con));
    close(full);
}
