// Console input and output: buffered reads and writes over the channel the console is handed.
#include "console.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

void console_open(Console &con, Io io) {
    con.io = io;
    con.in_pos = con.in_len = 0;
    con.in_ended = con.in_failed = false;
    con.mid_line = false;
    con.out_len = 0;
    con.out_failed = false;
}

// ---- the channel ----

// After a transfer on side that moved nothing: true when the same call should be made again,
// at once after an interruption, or once the side is ready after it reported it was not.
static bool should_retry(const Console &con, std::ptrdiff_t result, Side side) {
    if (result == -EINTR) return true;
    if (result != -EAGAIN) return false;
    int waited = con.io.wait(con.io.context, side);
    return waited == 0 || waited == -EINTR;
}

// ---- input buffer ----

// Moves the untaken bytes to the front of in_buf, making room behind them.
static void move_down(Console &con) {
    if (con.in_pos == 0) return;
    std::memmove(con.in_buf, con.in_buf + con.in_pos, con.in_len - con.in_pos);
    con.in_len -= con.in_pos;
    con.in_pos = 0;
}

// Reads until at least `want` untaken bytes are buffered; false if input ends or fails first.
// Pending output is flushed before every read, since that read may wait for the user.
static bool refill(Console &con, std::size_t want) {
    while (con.in_len - con.in_pos < want) {
        if (con.in_ended || !flush_output(con)) return false;
        move_down(con);
        std::ptrdiff_t n =
            con.io.read(con.io.context, con.in_buf + con.in_len, sizeof con.in_buf - con.in_len);
        if (n > 0) {
            con.in_len += static_cast<std::size_t>(n);
        } else if (!should_retry(con, n, Side::input)) {
            con.in_ended = true;
            con.in_failed = n != 0;
            return false;
        }
    }
    return true;
}

// Makes `want` untaken bytes available without a call when they already are.
static inline bool available(Console &con, std::size_t want) {
    return con.in_len - con.in_pos >= want || refill(con, want);
}

// The untaken byte `ahead` places on; only valid after available(con, ahead + 1).
static inline char peek(const Console &con, std::size_t ahead) {
    return con.in_buf[con.in_pos + ahead];
}

// Takes the next byte, which must be available.
static inline char take(Console &con) {
    char c = con.in_buf[con.in_pos++];
    con.mid_line = c != '\n';
    return c;
}

static inline bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

static inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// ---- input operations ----

bool read_line(Console &con, char *line, std::size_t capacity) {
    std::size_t len = 0;
    while (len + 1 < capacity && available(con, 1)) {
        const char *from = con.in_buf + con.in_pos;
        std::size_t n = std::min(con.in_len - con.in_pos, capacity - 1 - len);
        const void *lf = std::memchr(from, '\n', n);
        if (lf) n = static_cast<std::size_t>(static_cast<const char *>(lf) - from) + 1;
        std::memcpy(line + len, from, n);
        len += n;
        con.in_pos += n;
        if (lf) break;
    }
    line[len] = '\0';
    if (len == 0) return false;
    con.mid_line = line[len - 1] != '\n';
    return true;
}

bool read_integer(Console &con, std::int32_t &value) {
    while (available(con, 1) && is_space(peek(con, 0))) take(con);
    if (!available(con, 1)) return false;

    // A sign counts only with a digit right behind it; otherwise it stays pending.
    char first = peek(con, 0);
    std::size_t sign = (first == '+' || first == '-') ? 1 : 0;
    if (!available(con, sign + 1) || !is_digit(peek(con, sign))) return true;
    if (sign) take(con);

    // Every digit is taken; the magnitude stops growing at the edge of the int32 range.
    const std::int64_t limit = first == '-' ? 2147483648 : 2147483647;
    std::int64_t magnitude = 0;
    while (available(con, 1) && is_digit(peek(con, 0)))
        magnitude = std::min(limit, magnitude * 10 + (take(con) - '0'));
    value = static_cast<std::int32_t>(first == '-' ? -magnitude : magnitude);
    return true;
}

bool skip_char(Console &con) {
    if (!available(con, 1)) return false;
    take(con);
    return true;
}

void discard_line(Console &con) {
    while (con.mid_line && available(con, 1)) take(con);
}

// ---- output ----

void print_text_flushing(Console &con, std::string_view text) {
    while (!text.empty()) {
        if (con.out_len == sizeof con.out_buf && !flush_output(con)) return;
        std::size_t n = std::min(text.size(), sizeof con.out_buf - con.out_len);
        std::memcpy(con.out_buf + con.out_len, text.data(), n);
        con.out_len += n;
        text.remove_prefix(n);
    }
}

// Written out rather than with std::to_chars, which libc++ keeps in its shared library: the
// program then needs no C++ runtime library with either standard library. Two digits a turn,
// from a table, as to_chars does.
void print_number(Console &con, std::int64_t number) {
    static constexpr char pairs[] = "00010203040506070809101112131415161718192021222324252627282930"
                                    "31323334353637383940414243444546474849505152535455565758596061"
                                    "62636465666768697071727374757677787980818283848586878889909192"
                                    "93949596979899";
    char text[20]; // a sign and the 19 digits of any int64
    char *const end = text + sizeof text;
    char *start = end;
    std::uint64_t magnitude =
        number < 0 ? 0 - static_cast<std::uint64_t>(number) : static_cast<std::uint64_t>(number);
    for (; magnitude >= 100; magnitude /= 100) {
        start -= 2;
        std::memcpy(start, pairs + 2 * (magnitude % 100), 2);
    }
    if (magnitude >= 10) {
        start -= 2;
        std::memcpy(start, pairs + 2 * magnitude, 2);
    } else {
        *--start = static_cast<char>('0' + magnitude);
    }
    if (number < 0) *--start = '-';
    print_text(con, std::string_view(start, static_cast<std::size_t>(end - start)));
}

bool flush_output(Console &con) {
    std::size_t done = 0;
    while (!con.out_failed && done < con.out_len) {
        std::ptrdiff_t n = con.io.write(con.io.context, con.out_buf + done, con.out_len - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (!should_retry(con, n, Side::output))
            con.out_failed = true; // the caller reports it; what is left cannot be written
    }
    con.out_len = 0;
    return !con.out_failed;
}
