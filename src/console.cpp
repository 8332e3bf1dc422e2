// Console input and output over the channel the console is handed: refilling the input buffer,
// and writing the output out. The reads themselves are inline, in console.hpp.
#include "console.hpp"

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
