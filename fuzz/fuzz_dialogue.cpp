// Fuzz target: the whole dialogue with the fuzz input as standard input.
//
// The input's first byte chooses how the rest is delivered: its three low bits pick whole
// reads, a byte a read, pseudo-random pieces, pieces with short writes, or a line at a time at
// each prompt (the corpus spells them '0' to '4'; 5 to 7 wrap around); bit 3 makes the input
// fail where it would end ('8' and '9'); bits 4 to 6 pick the console's buffer sizes, 64 bytes
// each for an ASCII digit. Draws come from a generator seeded from the input, so every run can
// be replayed. The transcript is then read back against the shape of the dialogue: prompts in
// order, echo lines, goals within their chances, a shoot-out line exactly after a level score,
// and an end after the question or at a read with one closing line feed; and, where the input
// came in pieces or through other buffers, it must be the very transcript that the input read
// whole through 64-byte buffers gives. Any mismatch aborts.
#include "dialogue.hpp"
#include "scripted_io.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// ---- draws ----

// A 64-bit linear congruential generator yielding 31-bit numbers, as rand does.
struct Generator {
    std::uint64_t state; // the generator's whole state, seeded from the input
    int next() {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return static_cast<int>(state >> 33);
    }
};

// FNV-1a of the input: the generator's seed.
std::uint64_t seed_of(const std::uint8_t *data, std::size_t size) {
    std::uint64_t hash = 14695981039346656037u;
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211u;
    return hash;
}

// ---- reading the transcript back ----

[[noreturn]] void fail(const char *what, std::string_view at) {
    std::fprintf(stderr, "transcript check failed: %s at: \"%.*s\"\n", what,
                 static_cast<int>(std::min<std::size_t>(at.size(), 200)), at.data());
    std::abort();
}

// Takes text off the front of rest, or fails.
void expect(std::string_view &rest, std::string_view text, const char *what) {
    if (!rest.starts_with(text)) fail(what, rest);
    rest.remove_prefix(text.size());
}

// Takes a decimal number off the front of rest, or fails.
std::int64_t number(std::string_view &rest, const char *what) {
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc()) fail(what, rest);
    rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
    return value;
}

// Takes an echo line, "<label><name> (Overall: <rating>)\n", returning name and rating.
std::pair<std::string, std::int64_t> echo_line(std::string_view &rest, std::string_view label) {
    expect(rest, label, "echo line");
    std::string_view line = rest.substr(0, rest.find('\n'));
    std::size_t at = line.rfind(" (Overall: ");
    if (at == line.npos || line.size() == rest.size() || !line.ends_with(")")) fail("echo", rest);
    std::string name(line.substr(0, at));
    std::string_view rating = line.substr(at + 11, line.size() - at - 12);
    std::int64_t value = number(rating, "rating");
    if (!rating.empty() || value < INT32_MIN || value > INT32_MAX) fail("rating", line);
    rest.remove_prefix(line.size() + 1);
    return {name, value};
}

const std::string_view prompts[] = {"Nome do primeiro time: ", "Overall do primeiro time: ",
                                    "Nome do segundo time: ", "Overall do segundo time: "};

// Checks that a transcript closed by a line feed ended at a read as the script made it end.
void check_input_end(Ending ending, Ending expected_end) {
    if (ending != expected_end) fail("closing line feed without the input's own end", "");
}

// Checks the whole transcript of a run that ended as `ending`; where input ran out, it should
// have ended as expected_end.
void check(std::string_view rest, Ending ending, Ending expected_end) {
    for (bool first = true;; first = false) {
        if (!first) expect(rest, "\n", "line feed after a continue answer");
        for (std::string_view prompt : prompts) {
            expect(rest, prompt, "prompt");
            if (rest == "\n") return check_input_end(ending, expected_end);
        }
        auto [time1, overall1] = echo_line(rest, "Time 1: ");
        auto [time2, overall2] = echo_line(rest, "Time 2: ");
        expect(rest, "Calculando resultado...\nCalculo feito!\n", "progress lines");

        const std::int64_t d = overall1 - overall2;
        const std::int64_t chance1 = d > 0 ? (3 + d) / 2 : d == 0 ? 6 : 3;
        const std::int64_t chance2 = d < 0 ? (3 - d) / 2 : d == 0 ? 6 : 3;
        expect(rest, time1 + " ", "score line");
        std::int64_t gols1 = number(rest, "gols1");
        expect(rest, " x ", "score line");
        std::int64_t gols2 = number(rest, "gols2");
        expect(rest, " " + time2 + "\n", "score line");
        if (gols1 < 0 || gols1 >= chance1 || gols2 < 0 || gols2 >= chance2)
            fail("goals outside their chances", rest);

        if (gols1 == gols2) {
            expect(rest, time1 + " " + std::to_string(gols1) + " (", "shoot-out line");
            std::int64_t gols1p = number(rest, "gols1p");
            expect(rest, ") x (", "shoot-out line");
            std::int64_t gols2p = number(rest, "gols2p");
            expect(rest, ") " + std::to_string(gols2) + " " + time2, "shoot-out line");
            bool lifted = gols1p == chance1 + 1 && gols2p == chance1; // a tie-break's +1
            if (gols2p < 0 || gols2p > chance2 || gols1p < 0 || (gols1p > chance1 && !lifted))
                fail("shoot-out counts outside their chances", rest);
        }
        expect(rest, "\nContinuar? (S/N): ", "question");
        if (rest.empty()) {
            if (ending != Ending::answered_no) fail("stopped without an N answer", rest);
            return;
        }
        if (rest == "\n") return check_input_end(ending, expected_end);
    }
}

// Input and output buffer sizes to choose from: the smallest that work, a few bytes, sizes
// that are not powers of two, 64 bytes, whose refills short inputs still reach, the smallest
// input buffer with room for output, a name's line just fitting or not, and larger ones. The
// one-byte output buffer, which writes every byte on its own, is one choice in eight: it is the
// slowest by far.
constexpr std::size_t buffer_sizes[8][2] = {
    {min_input_buffer, 1},  {16, 16},   {300, 7}, {64, 64},
    {min_input_buffer, 64}, {100, 100}, {7, 300}, {300, 300}};

// Plays the dialogue over input delivered as asked, into script, reusing its output's room;
// the draws and the pieces follow seed.
Ending play_delivered(ScriptedIo &script, std::string_view input, Delivery delivery, bool end_fails,
                      const std::size_t (&sizes)[2], std::uint64_t seed) {
    static char in_buf[300], out_buf[300];
    std::string output = std::move(script.output);
    output.clear();
    script = ScriptedIo{};
    script.output = std::move(output);
    script.input = input;
    script.delivery = delivery;
    script.end_fails = end_fails;
    script.state = seed;
    Console con;
    console_open(con, scripted_io(script), in_buf, sizes[0], out_buf, sizes[1]);
    Generator generator{seed};
    auto next = [](void *context) { return static_cast<Generator *>(context)->next(); };
    Ending ending = play(con, Draw{next, &generator});
    if (!script.misuse.empty()) fail(script.misuse.c_str(), "");
    return ending;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t how = data[0];
    const std::string_view input(reinterpret_cast<const char *>(data) + 1, size - 1);
    const Delivery delivery = static_cast<Delivery>((how & 7) % 5);
    const bool end_fails = how & 8;
    const auto &sizes = buffer_sizes[(how >> 4) & 7];
    const std::uint64_t seed = seed_of(data, size);

    static ScriptedIo script;
    Ending ending = play_delivered(script, input, delivery, end_fails, sizes, seed);
    if (ending == Ending::output_failed) fail("the scripted output could not be written", "");
    // Each prediction takes at least five input bytes and prints a few hundred bytes of its
    // own text plus each name at most three times.
    if (script.output.size() > 100 * size + 64) fail("output out of proportion to input", "");
    check(script.output, ending, end_fails ? Ending::input_failed : Ending::input_ended);

    // How the input arrives, and the buffers' sizes, must change nothing: the same input read
    // whole with 64-byte buffers gives the same run.
    static ScriptedIo whole;
    const auto &usual = buffer_sizes[3];
    if ((delivery != Delivery::whole || &sizes != &usual) &&
        (play_delivered(whole, input, Delivery::whole, end_fails, usual, seed) != ending ||
         whole.output != script.output))
        fail("the transcript depends on how the input arrives", script.output);
    return 0;
}
