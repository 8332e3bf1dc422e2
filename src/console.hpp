// Console input and output over a byte channel, each side with a buffer the caller hands over.
//
// The reads take characters the way a line-oriented console delivers them: a line read, a
// decimal integer read, a one-character skip and a discard of the rest of a line. Output is
// collected and written in large pieces; it is flushed just before a read that would have to
// wait for more input, so a prompt is always visible while the program waits for its answer.
//
// The console never calls the operating system itself: it is handed an Io, which is the real
// descriptors in the program and a scripted channel in the tests and the fuzzer.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// ---- the channel ----

// How the console reaches its input and output. read returns the number of bytes it stored
// (> 0), 0 at the end of input, or -1 when the input failed; write returns the number of bytes
// it took (> 0, perhaps fewer than offered) or -1 when the output failed. Retrying after an
// interruption or waiting for a slow peer is the channel's business, not the console's.
struct Io {
    void *context; // handed back to every call: the descriptors, or a test's script
    std::ptrdiff_t (*read)(void *context, char *bytes, std::size_t size);
    std::ptrdiff_t (*write)(void *context, const char *bytes, std::size_t size);
};

// ---- the console ----

struct Console {
    Io io;           // where input comes from and output goes
    char *in_buf;    // input delivered but not taken lies in [in_next, in_end)
    char *in_next;   // first byte of in_buf no read has taken yet
    char *in_end;    // end of the bytes filled from the input
    char *in_limit;  // end of in_buf
    bool in_ended;   // the input ended or failed; no more is read
    bool in_failed;  // the input failed rather than ended
    bool line_cut;   // the last read_line stopped short of a line feed
    char *out_buf;   // output printed but not yet written lies in [out_buf, out_end)
    char *out_end;   // where the next byte of output goes
    char *out_limit; // end of out_buf
    bool out_failed; // a write failed; output is dropped from then on
};

// The smallest input buffer: an integer read looks at a sign and the digit after it at once.
constexpr std::size_t min_input_buffer = 2;

// ---- setup ----

// Starts con on io with empty buffers of in_size (>= min_input_buffer) and out_size (>= 1)
// bytes, which must outlive it.
void console_open(Console &con, Io io, char *in_buf, std::size_t in_size, char *out_buf,
                  std::size_t out_size);

// The number of input bytes delivered to con that no read has taken.
inline std::size_t untaken_input(const Console &con) {
    return static_cast<std::size_t>(con.in_end - con.in_next);
}

// ---- input: each returns false (or 0) only when input ended, or output failed, first ----
//
// The reads that every prediction makes are defined here, inline, so that each one compiles to
// a few instructions over the buffer in the dialogue itself; only a refill calls out.

// Reads until at least `want` (<= the input buffer's size) untaken bytes are buffered; false if
// input ends or fails first. Pending output is flushed before every read, since that read may
// wait for the user.
bool refill(Console &con, std::size_t want);

// Makes `want` (<= the input buffer's size) untaken bytes available, reading only when they are
// not buffered yet; false if input ends or fails first.
inline bool available(Console &con, std::size_t want) {
    return untaken_input(con) >= want || refill(con, want);
}

// Takes characters up to and including the first line feed, at most capacity - 1 of them, and
// stores them zero-terminated in line (capacity >= 2). Returns how many it took; 0 when input
// ended before any. Each run of buffered bytes is searched and copied by the C library.
inline std::size_t read_line(Console &con, char *line, std::size_t capacity) {
    std::size_t length = 0;
    const std::size_t most = capacity - 1;
    while (length < most && available(con, 1)) {
        const std::size_t run = std::min(untaken_input(con), most - length);
        const char *lf = static_cast<const char *>(std::memchr(con.in_next, '\n', run));
        const std::size_t taken = lf ? static_cast<std::size_t>(lf - con.in_next) + 1 : run;
        std::memcpy(line + length, con.in_next, taken);
        con.in_next += taken;
        length += taken;
        con.line_cut = !lf;
        if (lf) break;
    }
    line[length] = '\0';
    return length;
}

// Blank, tab, line feed, vertical tab, form feed and carriage return.
inline bool is_white_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Takes the white space before the next other byte, across refills, and returns where that
// byte lies; null if input ends first.
inline char *skip_white_space(Console &con) {
    do {
        char *blank = con.in_next;
        char *const end = con.in_end;
        while (blank < end && is_white_space(*blank)) ++blank;
        con.in_next = blank;
        if (blank < end) return blank;
    } while (refill(con, 1));
    return nullptr;
}

// Skips white space, then takes an optional sign and the digits after it into value, saturated
// to the int32 range. When no digit follows, nothing past the white space is taken and value is
// kept. False when input ended while skipping white space.
inline bool read_integer(Console &con, std::int32_t &value) {
    char *digit = skip_white_space(con);
    if (!digit) return false;

    // A sign counts only with a digit right behind it; otherwise it stays pending.
    const bool negative = *digit == '-';
    if (negative || *digit == '+') {
        if (!available(con, 2)) return true;
        digit = con.in_next + 1;
    }
    if (*digit < '0' || *digit > '9') return true;

    // Every digit is taken, across refills; the magnitude stops growing at the edge of the
    // int32 range.
    const std::uint64_t limit = negative ? 2147483648 : 2147483647;
    std::uint64_t magnitude = 0;
    for (;;) {
        char *const end = con.in_end;
        for (unsigned d; digit < end && (d = static_cast<unsigned char>(*digit) - '0') < 10;
             ++digit)
            magnitude = std::min(limit, magnitude * 10 + d);
        con.in_next = digit;
        if (digit < end || !refill(con, 1)) break;
        digit = con.in_next;
    }
    value = static_cast<std::int32_t>(negative ? 0 - magnitude : magnitude);
    return true;
}

// Takes exactly one character, whatever it is; false when input ended.
inline bool skip_char(Console &con) {
    if (!available(con, 1)) return false;
    ++con.in_next;
    return true;
}

// Drops the rest of the line that the last read_line cut short, up to and including its line
// feed; drops nothing after a whole line, so it never waits for a new one.
inline void discard_line(Console &con) {
    while (con.line_cut && available(con, 1)) {
        char *lf = static_cast<char *>(std::memchr(con.in_next, '\n', untaken_input(con)));
        con.in_next = lf ? lf + 1 : con.in_end;
        con.line_cut = !lf;
    }
}

// ---- output ----

// Writes all pending output; false if this or any earlier write failed.
bool flush_output(Console &con);

// Stores number in decimal at cursor, which has room for 11 bytes; returns the end.
char *put_number(char *cursor, std::int32_t number);

// The parts a line is printed from: a string literal, whose length the compiler knows; text of
// any length; or an int32 in decimal. For each, the most bytes it takes, how it is stored at a
// cursor with that much room, and how it is printed when the line does not fit the buffer.
template <std::size_t N> std::size_t most_bytes(const char (&)[N]) {
    return N - 1;
}
inline std::size_t most_bytes(std::string_view text) {
    return text.size();
}
inline std::size_t most_bytes(std::int32_t) {
    return 11; // "-2147483648"
}

template <std::size_t N> char *put(char *cursor, const char (&literal)[N]) {
    std::memcpy(cursor, literal, N - 1);
    return cursor + N - 1;
}
inline char *put(char *cursor, std::string_view text) {
    std::memcpy(cursor, text.data(), text.size());
    return cursor + text.size();
}

// "00", "01", ... "99": the two digits of every number below 100, side by side.
inline constexpr auto two_digits = [] {
    std::array<char, 200> pairs{};
    for (int n = 0; n < 100; ++n) {
        pairs[2 * n] = static_cast<char>('0' + n / 10);
        pairs[2 * n + 1] = static_cast<char>('0' + n % 10);
    }
    return pairs;
}();

inline char *put(char *cursor, std::int32_t number) {
    // Goals and ratings, most often, have one or two digits.
    const auto small = static_cast<std::uint32_t>(number);
    if (small < 10) {
        *cursor = static_cast<char>('0' + small);
        return cursor + 1;
    }
    if (small >= 100) return put_number(cursor, number);
    std::memcpy(cursor, &two_digits[2 * small], 2);
    return cursor + 2;
}

// Appends text, or number in decimal, writing the buffer out whenever it fills: for a line
// longer than the buffer.
void put_in_pieces(Console &con, std::string_view text);
void put_in_pieces(Console &con, std::int32_t number);

// Makes room for `bytes` more bytes of output, writing out what is pending if it must; false
// when even an empty buffer is too small for them.
bool make_room(Console &con, std::size_t bytes);

// Appends each part in turn, so that a line reads like its format:
// print(con, time1, " ", gols1, " x ", gols2, " ", time2, "\n"), with the names as
// string_views (a char array is taken for a literal, its last byte for the terminator). Room
// for the whole line is made once and the parts are stored through a local cursor; a line
// longer than the buffer goes out in pieces.
template <class... Parts> void print_in_pieces(Console &con, const Parts &...parts) {
    (put_in_pieces(con, parts), ...);
}

template <class... Parts> inline void print(Console &con, const Parts &...parts) {
    const std::size_t most = (most_bytes(parts) + ...);
    if (most > static_cast<std::size_t>(con.out_limit - con.out_end) && !make_room(con, most))
        [[unlikely]]
        return print_in_pieces(con, parts...);
    char *cursor = con.out_end;
    ((cursor = put(cursor, parts)), ...);
    con.out_end = cursor;
}
