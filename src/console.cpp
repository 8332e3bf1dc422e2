// Console input and output: buffered reads and writes over the channel the console is handed.
#include "console.hpp"

#include <algorithm>

void console_open(Console &con, Io io, char *in_buf, std::size_t in_size, char *out_buf,
                  std::size_t out_size) {
    con = Console{};
    con.io = io;
    con.in_buf = con.in_next = con.in_end = in_buf;
    con.in_limit = in_buf + in_size;
    con.out_buf = con.out_end = out_buf;
    con.out_limit = out_buf + out_size;
}

// ---- input buffer ----

// Moves the untaken bytes to the front first, so that the buffer's whole size can be filled.
bool refill(Console &con, std::size_t want) {
    const std::size_t untaken = untaken_input(con);
    std::memmove(con.in_buf, con.in_next, untaken);
    con.in_next = con.in_buf;
    con.in_end = con.in_buf + untaken;
    while (untaken_input(con) < want) {
        if (con.in_ended || !flush_output(con)) return false;
        std::ptrdiff_t n = con.io.read(con.io.context, con.in_end,
                                       static_cast<std::size_t>(con.in_limit - con.in_end));
        if (n <= 0) {
            con.in_ended = true;
            con.in_failed = n < 0;
            return false;
        }
        con.in_end += n;
    }
    return true;
}

// Makes `want` untaken bytes available, reading only when they are not buffered yet.
static inline bool available(Console &con, std::size_t want) {
    return untaken_input(con) >= want || refill(con, want);
}

static inline bool is_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r'); // blank, tab, line feed, \v, \f, return
}

static inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// ---- input operations ----

// Each run of buffered bytes is searched and copied by the C library: measured, that costs no
// more than a byte loop for a ten-byte name with g++, and less with clang++.
std::size_t read_line(Console &con, char *line, std::size_t capacity) {
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

// Takes the white space before the next other byte, across refills; false if input ends first.
static bool skip_space(Console &con) {
    do {
        const char *blank = con.in_next;
        while (blank < con.in_end && is_space(*blank)) ++blank;
        con.in_next = const_cast<char *>(blank);
        if (blank < con.in_end) return true;
    } while (refill(con, 1));
    return false;
}

bool read_integer(Console &con, std::int32_t &value) {
    if (!skip_space(con)) return false;

    // A sign counts only with a digit right behind it; otherwise it stays pending.
    const char *digit = con.in_next;
    const bool negative = *digit == '-';
    if (negative || *digit == '+') {
        if (!available(con, 2)) return true;
        digit = con.in_next + 1;
    }
    if (!is_digit(*digit)) return true;

    // Every digit is taken, across refills; the magnitude stops growing at the edge of the
    // int32 range.
    const std::uint64_t limit = negative ? 2147483648 : 2147483647;
    std::uint64_t magnitude = 0;
    for (;;) {
        for (unsigned d; digit < con.in_end && (d = static_cast<unsigned char>(*digit) - '0') < 10;
             ++digit)
            magnitude = std::min(limit, magnitude * 10 + d);
        con.in_next = const_cast<char *>(digit);
        if (digit < con.in_end || !refill(con, 1)) break;
        digit = con.in_next;
    }
    value = static_cast<std::int32_t>(negative ? 0 - magnitude : magnitude);
    return true;
}

void discard_line(Console &con) {
    while (con.line_cut && available(con, 1)) {
        char *lf = static_cast<char *>(std::memchr(con.in_next, '\n', untaken_input(con)));
        con.in_next = lf ? lf + 1 : con.in_end;
        con.line_cut = !lf;
    }
}

// ---- output ----

bool flush_output(Console &con) {
    const char *done = con.out_buf;
    while (!con.out_failed && done < con.out_end) {
        std::ptrdiff_t n =
            con.io.write(con.io.context, done, static_cast<std::size_t>(con.out_end - done));
        if (n > 0)
            done += n;
        else
            con.out_failed = true; // the caller reports it; what is left cannot be written
    }
    con.out_end = con.out_buf;
    return !con.out_failed;
}

bool make_room(Console &con, std::size_t bytes) {
    if (bytes > static_cast<std::size_t>(con.out_limit - con.out_buf)) return false;
    flush_output(con); // on failure the buffer is emptied all the same, and output dropped
    return true;
}

void put_in_pieces(Console &con, std::string_view text) {
    while (!text.empty()) {
        if (con.out_end == con.out_limit) flush_output(con);
        std::size_t n =
            std::min(text.size(), static_cast<std::size_t>(con.out_limit - con.out_end));
        std::memcpy(con.out_end, text.data(), n);
        con.out_end += n;
        text.remove_prefix(n);
    }
}

void put_in_pieces(Console &con, std::int32_t number) {
    char digits[11];
    put_in_pieces(con, std::string_view(digits, put_number(digits, number) - digits));
}

// Written out rather than with std::to_chars, which libc++ keeps in its shared library: the
// program then needs no C++ runtime library with either standard library.
char *put_number(char *cursor, std::int32_t number) {
    std::uint32_t magnitude = static_cast<std::uint32_t>(number);
    if (number < 0) {
        *cursor++ = '-';
        magnitude = 0 - magnitude;
    }
    std::size_t digits = 1;
    for (std::uint32_t rest = magnitude; rest >= 10; rest /= 10) ++digits;
    char *const end = cursor + digits;
    for (char *digit = end; digit > cursor; magnitude /= 10)
        *--digit = static_cast<char>('0' + magnitude % 10);
    return end;
}
