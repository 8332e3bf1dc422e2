// Console input and output: buffered reads and writes on raw file descriptors.
#include "console.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <unistd.h>

void console_open(Console &con, int in_fd, int out_fd) {
    con.in_fd = in_fd;
    con.out_fd = out_fd;
    con.in_pos = con.in_len = 0;
    con.in_ended = false;
    con.mid_line = false;
    con.out_len = 0;
    con.out_failed = false;
}

// ---- input buffer ----

// Reads until at least `want` untaken bytes are buffered; false if input ends first. Pending
// output is flushed before every read(2), since that read may wait for the user.
static bool refill(Console &con, std::size_t want) {
    while (con.in_len - con.in_pos < want) {
        if (con.in_ended || !flush_output(con)) return false;
        if (con.in_pos > 0) {
            std::memmove(con.in_buf, con.in_buf + con.in_pos, con.in_len - con.in_pos);
            con.in_len -= con.in_pos;
            con.in_pos = 0;
        }
        ssize_t n = read(con.in_fd, con.in_buf + con.in_len, sizeof con.in_buf - con.in_len);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            con.in_ended = true; // end of input and a failing descriptor end the dialogue alike
            return false;
        }
        con.in_len += static_cast<std::size_t>(n);
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

void print_number(Console &con, std::int64_t number) {
    char digits[24];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
    (void)error; // 24 bytes hold every int64, so to_chars cannot run out of room
    print_text(con, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

bool flush_output(Console &con) {
    std::size_t done = 0;
    while (!con.out_failed && done < con.out_len) {
        ssize_t n = write(con.out_fd, con.out_buf + done, con.out_len - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            con.out_failed = true; // the caller reports it; what is left cannot be written
        else
            done += static_cast<std::size_t>(n);
    }
    con.out_len = 0;
    return !con.out_failed;
}
