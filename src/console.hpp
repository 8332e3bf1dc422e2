// Console input and output over a byte channel, each side with a buffer of its own.
//
// The reads take characters the way a line-oriented console delivers them: a line read, a
// decimal integer read, a one-character skip and a discard of the rest of a line. Output is
// collected and written in large pieces; it is flushed just before a read that would have to
// wait for more input, so a prompt is always visible while the program waits for its answer.
//
// The console never calls the operating system itself: it is handed an Io, which is the real
// descriptors in the program and a scripted channel in the tests and the fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Bytes each side buffers; test and fuzz builds set it small to reach the refill paths.
#ifndef PALPITE_BUFFER_SIZE
#define PALPITE_BUFFER_SIZE 65536
#endif
static_assert(PALPITE_BUFFER_SIZE >= 2, "an integer read looks at a sign and a digit at once");

// ---- the channel ----

// The two sides of the console, each with a descriptor of its own to wait for.
enum class Side { input, output };

// How the console reaches its input and output. read and write return the number of bytes
// moved (> 0), 0 at the end of input (read only), or a negated errno value: -EINTR asks for the
// same call again, -EAGAIN for the same call again once wait(side) has returned 0, and any other
// value is a failure of that side. wait returns 0 or a negated errno value.
struct Io {
    void *context; // handed back to every call: the descriptors, or a test's script
    std::ptrdiff_t (*read)(void *context, char *bytes, std::size_t size);
    std::ptrdiff_t (*write)(void *context, const char *bytes, std::size_t size);
    int (*wait)(void *context, Side side);
};

// ---- the console ----

struct Console {
    Io io;                             // where input comes from and output goes
    std::size_t in_pos;                // first byte of in_buf no read has taken yet
    std::size_t in_len;                // bytes of in_buf filled from the input
    bool in_ended;                     // the input ended or failed; no more is read
    bool in_failed;                    // the input failed rather than ended
    bool mid_line;                     // the last character taken was not a line feed
    std::size_t out_len;               // bytes of out_buf waiting to be written
    bool out_failed;                   // a write failed; output is dropped from then on
    char in_buf[PALPITE_BUFFER_SIZE];  // input delivered but not taken lies in [in_pos, in_len)
    char out_buf[PALPITE_BUFFER_SIZE]; // output printed but not yet written
};

// ---- setup ----

// Starts con on io with empty buffers.
void console_open(Console &con, Io io);

// The number of input bytes delivered to con that no read has taken.
inline std::size_t untaken_input(const Console &con) {
    return con.in_len - con.in_pos;
}

// ---- input: each returns false only when input ended (or output failed) before it could act ----

// Takes characters up to and including the first line feed, at most capacity - 1 of them, and
// stores them zero-terminated in line (capacity >= 2); false when input ended before any.
bool read_line(Console &con, char *line, std::size_t capacity);

// Skips white space, then takes an optional sign and the digits after it into value, saturated
// to the int32 range. When no digit follows, nothing past the white space is taken and value is
// kept. False when input ended while skipping white space.
bool read_integer(Console &con, std::int32_t &value);

// Takes exactly one character, whatever it is; false when input ended.
bool skip_char(Console &con);

// Drops the rest of the line the last read stopped inside of, up to and including its line
// feed; drops nothing after a read that ended a line, so it never waits for a new line.
void discard_line(Console &con);

// ---- output ----

// Appends text to the output, flushing whenever the buffer fills.
void print_text_flushing(Console &con, std::string_view text);

// Appends text to the output. Inline, because it is called for every piece of every line:
// with a literal the copy compiles to a few moves.
inline void print_text(Console &con, std::string_view text) {
    if (text.size() > sizeof con.out_buf - con.out_len) return print_text_flushing(con, text);
    std::memcpy(con.out_buf + con.out_len, text.data(), text.size());
    con.out_len += text.size();
}

// Appends a number in decimal to the output.
void print_number(Console &con, std::int64_t number);

// Appends one part of a line: text as it is, or an integer in decimal.
inline void print_part(Console &con, std::string_view text) {
    print_text(con, text);
}
inline void print_part(Console &con, std::int64_t number) {
    print_number(con, number);
}

// Appends each part in turn, so that a line reads like its format:
// print(con, time1, " ", gols1, " x ", gols2, " ", time2, "\n"). Always inline, so that the
// length of each literal is known where it is printed.
template <class... Parts>
[[gnu::always_inline]] inline void print(Console &con, const Parts &...parts) {
    (print_part(con, parts), ...);
}

// Writes all pending output; false if this or any earlier write failed.
bool flush_output(Console &con);
