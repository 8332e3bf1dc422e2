// Fuzz target: the whole dialogue with the fuzz input as standard input.
//
// Draws come from a generator seeded from the input, so every run can be replayed. The
// transcript is then read back against the shape of the dialogue: prompts in order, echo
// lines, goals within their chances, a shoot-out line exactly after a level score, and an end
// after the question or at a read with one closing line feed. Any mismatch aborts.
#include "dialogue.hpp"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

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

// ---- files ----

// A memory file holding bytes, positioned at its start; aborts if the kernel refuses.
int memory_file(const char *name, std::string_view bytes) {
    int fd = memfd_create(name, 0);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        lseek(fd, 0, SEEK_SET) != 0)
        std::abort();
    return fd;
}

// Everything in fd from its start.
std::string contents(int fd) {
    std::string text;
    char chunk[1 << 16];
    ssize_t n;
    if (lseek(fd, 0, SEEK_SET) != 0) std::abort();
    while ((n = read(fd, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<size_t>(n));
    if (n < 0) std::abort();
    return text;
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

// Checks the whole transcript of a run that ended as `ending`.
void check(std::string_view rest, Ending ending) {
    for (bool first = true;; first = false) {
        if (!first) expect(rest, "\n", "line feed after a continue answer");
        for (std::string_view prompt : prompts) {
            expect(rest, prompt, "prompt");
            if (rest == "\n") {
                if (ending != Ending::input_ended) fail("closing line feed without end", rest);
                return;
            }
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
        if (rest == "\n") {
            if (ending != Ending::input_ended) fail("closing line feed without end", rest);
            return;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char *>(data), size);
    int in_fd = memory_file("input", input);
    int out_fd = memory_file("output", "");
    auto con = std::make_unique<Console>();
    console_open(*con, in_fd, out_fd);
    Generator generator{seed_of(data, size)};

    Ending ending = play(*con, [&generator] { return generator.next(); });
    std::string transcript = contents(out_fd);
    close(in_fd);
    close(out_fd);

    if (ending == Ending::output_failed) fail("a memory file could not be written", "");
    // Each prediction takes at least five input bytes and prints a few hundred bytes of its
    // own text plus each name at most three times.
    if (transcript.size() > 100 * size + 64) fail("output out of proportion to input", "");
    check(transcript, ending);
    return 0;
}
