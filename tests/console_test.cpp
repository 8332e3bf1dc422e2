// The console operations: what each read takes, what it leaves pending, and when output is
// written.
#include "support.hpp"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

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
    for (Delivery delivery : deliveries) {
        SCOPED_TRACE(delivery_name(delivery));
        ScriptedConsole console(c.input, delivery);
        char line[100];
        std::memset(line, 'X', sizeof line);

        EXPECT_EQ(read_line(*console.con, line, c.capacity), c.took);
        EXPECT_EQ(std::string(line, c.line.size()), c.line);
        EXPECT_EQ(line[c.line.size()], '\0') << "the line must be zero-terminated";
        EXPECT_EQ(console.pending(), c.pending);
    }
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
    for (Delivery delivery : deliveries) {
        SCOPED_TRACE(delivery_name(delivery));
        ScriptedConsole console(c.input, delivery);
        std::int32_t value = 42;

        EXPECT_EQ(read_integer(*console.con, value), c.took);
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
                                         IntegerCase{"-", true, 42, "-"}));

INSTANTIATE_TEST_SUITE_P(EndOfInput, ReadInteger,
                         testing::Values(IntegerCase{"", false, 42, ""},
                                         IntegerCase{" \n\n\t ", false, 42, ""}));

// A sign at the very end of the buffer must still see the digit (or not) that follows it.
TEST(ReadInteger, LooksPastASignAtTheEndOfTheBuffer) {
    const std::string blanks(sizeof(Console::in_buf) - 1, ' ');
    for (auto [tail, value, pending] : {std::tuple{"-5\n", -5, "\n"}, {"-x\n", 42, "-x\n"}}) {
        ScriptedConsole console(blanks + tail);
        std::int32_t read = 42;
        EXPECT_TRUE(read_integer(*console.con, read));
        EXPECT_EQ(read, value) << tail;
        EXPECT_EQ(console.pending(), pending) << tail;
    }
}

// ---- skip_char and discard_line ----

TEST(SkipChar, TakesExactlyOneCharacterOfAnyKind) {
    ScriptedConsole console("\n \0x"s, Delivery::bytes);
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
        for (Delivery delivery : deliveries) {
            ScriptedConsole console(c.input, delivery);
            char answer[10];
            ASSERT_TRUE(read_line(*console.con, answer, sizeof answer));
            discard_line(*console.con);
            EXPECT_EQ(console.pending(), c.pending) << c.input << delivery_name(delivery);
        }
    }
}

// After a whole line the discard must not read: on a terminal that would wait for a line
// the user has not typed yet.
TEST(DiscardLine, NeverReadsAfterAWholeLine) {
    for (Delivery delivery : deliveries) {
        ScriptedConsole console("S\n", delivery);
        char answer[10];
        ASSERT_TRUE(read_line(*console.con, answer, sizeof answer));
        const int reads = console.script.calls[0];
        discard_line(*console.con);
        EXPECT_EQ(console.script.calls[0], reads)
            << "the discard tried to read; " << delivery_name(delivery);
    }
}

// ---- output ----

TEST(Output, IsWrittenOnlyBeforeAReadThatMustFetchInput) {
    ScriptedConsole console("Alfa\n80\n");
    Console &con = *console.con;
    const std::string &written = console.script.output;
    char line[100];
    std::int32_t rating = 0;

    print_text(con, "Nome: ");
    EXPECT_EQ(written, "") << "printing alone must not write";
    ASSERT_TRUE(read_line(con, line, sizeof line));
    EXPECT_EQ(written, "Nome: ") << "the prompt must be out before input is fetched";
    print_text(con, "Ok: ");
    ASSERT_EQ(untaken_input(con), 3u) << "the test needs the rating already buffered";
    ASSERT_TRUE(read_integer(con, rating));
    EXPECT_EQ(written, "Nome: ") << "input was already buffered: no write needed";
    ASSERT_TRUE(flush_output(con));
    EXPECT_EQ(written, "Nome: Ok: ");
}

TEST(Output, KeepsOrderAcrossFullBuffersAndShortWrites) {
    for (Delivery delivery : deliveries) {
        ScriptedConsole console("", delivery);
        std::string expected;
        for (int i = 0; i < 3000; ++i) {
            print_text(*console.con, "gol ");
            print_number(*console.con, i - 1500);
            expected += "gol " + std::to_string(i - 1500);
        }
        print_number(*console.con, INT64_MIN);
        ASSERT_TRUE(flush_output(*console.con));
        EXPECT_EQ(console.script.output, expected + "-9223372036854775808")
            << delivery_name(delivery);
        EXPECT_EQ(console.script.misuse, "") << delivery_name(delivery);
    }
}

// ---- what the channel reports ----

// A failed read ends the input for good and says it failed; a plain end does not.
TEST(Channel, AReadErrorEndsTheInputAsAFailure) {
    for (auto [end_error, failed] : {std::pair{0, false}, {EIO, true}, {EISDIR, true}}) {
        ScriptedConsole console("Alfa");
        console.script.end_error = end_error;
        char line[100];
        EXPECT_TRUE(read_line(*console.con, line, sizeof line)) << "the bytes before it count";
        EXPECT_FALSE(skip_char(*console.con));
        EXPECT_TRUE(console.con->in_ended);
        EXPECT_EQ(console.con->in_failed, failed) << end_error;
        EXPECT_FALSE(skip_char(*console.con)) << "no read after the input is over";
        EXPECT_EQ(console.script.misuse, "");
    }
}

// EINTR and EAGAIN at any call are retried (after a wait for EAGAIN); other errors are not.
TEST(Channel, InterruptionsAreRetriedAndErrorsAreNot) {
    struct {
        Fault fault;
        bool fails;
    } cases[] = {
        {{Side::input, 0, EINTR}, false},  {{Side::input, 0, EAGAIN}, false},
        {{Side::input, 1, EAGAIN}, false}, {{Side::input, 0, EIO}, true},
        {{Side::output, 0, EINTR}, false}, {{Side::output, 0, EAGAIN}, false},
        {{Side::output, 0, ENOSPC}, true}, {{Side::output, 0, EPIPE}, true},
    };
    for (const auto &c : cases) {
        ScriptedConsole console("Alfa\n", Delivery::bytes);
        console.script.faults = {c.fault};
        print_text(*console.con, "Nome: ");
        char line[100];
        bool read = read_line(*console.con, line, sizeof line);
        bool flushed = flush_output(*console.con);
        SCOPED_TRACE(testing::Message() << "side " << static_cast<int>(c.fault.side) << ", call "
                                        << c.fault.call << ", error " << c.fault.error);
        EXPECT_EQ(console.script.misuse, "");
        if (!c.fails) {
            EXPECT_TRUE(read && flushed);
            EXPECT_STREQ(line, "Alfa\n");
            EXPECT_EQ(console.script.output, "Nome: ");
        } else if (c.fault.side == Side::input) {
            EXPECT_FALSE(read);
            EXPECT_TRUE(console.con->in_failed);
        } else {
            EXPECT_FALSE(read) << "no read once output failed";
            EXPECT_FALSE(flushed);
        }
    }
}

// A wait that fails is a failure of the side that was waiting.
TEST(Channel, AFailedWaitFailsItsSide) {
    for (Side side : {Side::input, Side::output}) {
        ScriptedConsole console("Alfa\n");
        console.script.faults = {{side, 0, EAGAIN}};
        console.script.wait_error = ENOMEM;
        print_text(*console.con, "Nome: ");
        bool flushed = flush_output(*console.con);
        char line[100];
        EXPECT_FALSE(read_line(*console.con, line, sizeof line));
        EXPECT_EQ(flushed, side == Side::input);
        EXPECT_EQ(console.con->in_failed, side == Side::input);
    }
}
