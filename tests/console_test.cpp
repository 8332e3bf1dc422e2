// The console operations: what each read takes, what it leaves pending, and when output is
// written.
#include "support.hpp"

#include <cstring>
#include <gtest/gtest.h>

using namespace std::string_literals;

// ---- read_line ----

struct LineCase {
    const char *what;
    std::string input;
    std::size_t capacity;
    std::string line;    // stored bytes before the terminator; read_line returns their count
    std::string pending; // what the next read sees
};

class ReadLine : public testing::TestWithParam<LineCase> {};

void PrintTo(const LineCase &c, std::ostream *os) {
    *os << testing::PrintToString(c.input);
}

TEST_P(ReadLine, TakesUpToTheLineFeedWithinCapacity) {
    const LineCase &c = GetParam();
    for (auto [delivery, sizes] : every_setup()) {
        SCOPED_TRACE(setup_name(delivery, sizes));
        ScriptedConsole console(c.input, delivery, sizes);
        char line[100];
        std::memset(line, 'X', sizeof line);

        EXPECT_EQ(read_line(console.con, line, c.capacity), c.line.size());
        EXPECT_EQ(std::string(line, c.line.size()), c.line);
        EXPECT_EQ(line[c.line.size()], '\0') << "the line must be zero-terminated";
        EXPECT_EQ(console.pending(), c.pending);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadLine,
    testing::Values(LineCase{"whole line", "Alfa\n70\n", 100, "Alfa\n", "70\n"},
                    LineCase{"blanks kept", "  Real Madrid \n", 100, "  Real Madrid \n", ""},
                    LineCase{"empty line", "\nBeta\n", 100, "\n", "Beta\n"},
                    LineCase{"cut at capacity", "Sim, mais uma\nGama\n", 10, "Sim, mais",
                             " uma\nGama\n"},
                    LineCase{"line feed fits", "12345678\nX", 10, "12345678\n", "X"},
                    LineCase{"line feed left over", "123456789\nX", 10, "123456789", "\nX"},
                    LineCase{"last line without line feed", "Alfa", 100, "Alfa", ""},
                    LineCase{"NUL and CR are bytes", "A\0B\r\n"s, 100, "A\0B\r\n"s, ""},
                    LineCase{"non-ASCII bytes", "S\xe3o Paulo\n", 100, "S\xe3o Paulo\n", ""},
                    LineCase{"long name", std::string(150, 'a') + "\n80\n", 100,
                             std::string(99, 'a'), std::string(51, 'a') + "\n80\n"},
                    LineCase{"end of input", "", 100, "", ""}),
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
    for (auto [delivery, sizes] : every_setup()) {
        SCOPED_TRACE(setup_name(delivery, sizes));
        ScriptedConsole console(c.input, delivery, sizes);
        std::int32_t value = 42;

        EXPECT_EQ(read_integer(console.con, value), c.took);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(console.pending(), c.pending);
    }
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
                                         IntegerCase{"-", true, 42, "-"},
                                         IntegerCase{"\0"
                                                     "5\n"s,
                                                     true, 42,
                                                     "\0"
                                                     "5\n"s},
                                         IntegerCase{"\x01"
                                                     "5\n",
                                                     true, 42,
                                                     "\x01"
                                                     "5\n"}));

INSTANTIATE_TEST_SUITE_P(EndOfInput, ReadInteger,
                         testing::Values(IntegerCase{"", false, 42, ""},
                                         IntegerCase{" \n\n\t ", false, 42, ""}));

// A sign at the very end of the buffer must still see the digit (or not) that follows it.
TEST(ReadInteger, LooksPastASignAtTheEndOfTheBuffer) {
    const Buffers sizes{16, 16};
    const std::string blanks(sizes.in - 1, ' ');
    for (auto [tail, value, pending] : {std::tuple{"-5\n", -5, "\n"}, {"-x\n", 42, "-x\n"}}) {
        ScriptedConsole console(blanks + tail, Delivery::whole, sizes);
        std::int32_t read = 42;
        EXPECT_TRUE(read_integer(console.con, read));
        EXPECT_EQ(read, value) << tail;
        EXPECT_EQ(console.pending(), pending) << tail;
    }
}

// ---- skip_char and discard_line ----

TEST(SkipChar, TakesExactlyOneCharacterOfAnyKind) {
    ScriptedConsole console("\n \0x"s, Delivery::bytes);
    for (std::string rest : {" \0x"s, "\0x"s, "x"s, ""s}) {
        EXPECT_TRUE(skip_char(console.con));
        EXPECT_EQ(console.pending(), rest);
    }
    EXPECT_FALSE(skip_char(console.con));
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
        for (auto [delivery, sizes] : every_setup()) {
            ScriptedConsole console(c.input, delivery, sizes);
            char answer[10];
            ASSERT_TRUE(read_line(console.con, answer, sizeof answer));
            discard_line(console.con);
            EXPECT_EQ(console.pending(), c.pending) << c.input << setup_name(delivery, sizes);
        }
    }
}

// After a whole line the discard must not read: on a terminal that would wait for a line
// the user has not typed yet.
TEST(DiscardLine, NeverReadsAfterAWholeLine) {
    for (Delivery delivery : deliveries) {
        ScriptedConsole console("S\n", delivery);
        char answer[10];
        ASSERT_TRUE(read_line(console.con, answer, sizeof answer));
        const int reads = console.script.calls[0];
        discard_line(console.con);
        EXPECT_EQ(console.script.calls[0], reads)
            << "the discard tried to read; " << delivery_name(delivery);
    }
}

// ---- output ----

TEST(Output, IsWrittenOnlyBeforeAReadThatMustFetchInput) {
    ScriptedConsole console("Alfa\n80\n");
    Console &con = console.con;
    const std::string &written = console.script.output;
    char line[100];
    std::int32_t rating = 0;

    print(con, "Nome: ");
    EXPECT_EQ(written, "") << "printing alone must not write";
    ASSERT_TRUE(read_line(con, line, sizeof line));
    EXPECT_EQ(written, "Nome: ") << "the prompt must be out before input is fetched";
    print(con, "Ok: ");
    ASSERT_EQ(untaken_input(con), 3u) << "the test needs the rating already buffered";
    ASSERT_TRUE(read_integer(con, rating));
    EXPECT_EQ(written, "Nome: ") << "input was already buffered: no write needed";
    ASSERT_TRUE(flush_output(con));
    EXPECT_EQ(written, "Nome: Ok: ");
}

// Lines of every length against buffers of every size, the smallest included: what fits is
// stored whole, a line longer than the buffer goes out in pieces, and nothing is lost or
// reordered across full buffers and short writes. Numbers come out as they read, whatever
// their digits.
TEST(Output, KeepsEveryByteInOrderWhateverTheBufferSize) {
    const std::string name(150, 'n');
    for (auto [delivery, sizes] : every_setup()) {
        ScriptedConsole console("", delivery, sizes);
        std::string expected;
        for (int i = 0; i < 300; ++i) {
            const std::int32_t number = i * 7919 - 1000000;
            const std::string_view time1(name.data(), static_cast<std::size_t>(i % 151));
            print(console.con, time1, " ", i % 12, " x ", number, "\n");
            expected += std::string(time1) + " " + std::to_string(i % 12) + " x " +
                        std::to_string(number) + "\n";
        }
        // Every number of one, two and three digits, each side of zero, then the extremes.
        for (std::int32_t number = -120; number <= 120; ++number) {
            print(console.con, number, " ");
            expected += std::to_string(number) + " ";
        }
        print(console.con, INT32_MIN, " ", INT32_MAX);
        expected += "-2147483648 2147483647";
        ASSERT_TRUE(flush_output(console.con));
        EXPECT_EQ(console.script.output, expected) << setup_name(delivery, sizes);
        EXPECT_EQ(console.script.misuse, "") << setup_name(delivery, sizes);
    }
}

// ---- what the channel reports ----

// A failed read ends the input for good and says it failed; a plain end does not.
TEST(Channel, AReadFailureEndsTheInputAsAFailure) {
    for (bool end_fails : {false, true}) {
        ScriptedConsole console("Alfa");
        console.script.end_fails = end_fails;
        char line[100];
        EXPECT_TRUE(read_line(console.con, line, sizeof line)) << "the bytes before it count";
        EXPECT_FALSE(skip_char(console.con));
        EXPECT_TRUE(console.con.in_ended);
        EXPECT_EQ(console.con.in_failed, end_fails);
        EXPECT_FALSE(skip_char(console.con)) << "no read after the input is over";
        EXPECT_EQ(console.script.misuse, "");
    }
}

// A failed write drops what is pending and every later print, and stops the reads: a program
// that cannot write must not go on waiting for input.
TEST(Channel, AWriteFailureDropsTheOutputAndStopsTheReads) {
    for (int call : {0, 1}) {
        ScriptedConsole console("Alfa\nBeta\n", Delivery::bytes);
        console.script.faults = {{Side::output, call}};
        char line[100];
        print(console.con, "Nome: ");
        const bool first = read_line(console.con, line, sizeof line);
        print(console.con, "Nome: ");
        const bool second = read_line(console.con, line, sizeof line);
        EXPECT_FALSE(flush_output(console.con)) << "write call " << call;
        EXPECT_EQ(first, call == 1) << "write call " << call;
        EXPECT_FALSE(second) << "write call " << call;
        EXPECT_EQ(console.script.output, call == 1 ? "Nome: " : "") << "write call " << call;
    }
}
