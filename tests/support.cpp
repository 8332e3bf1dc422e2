#include "support.hpp"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

// Reads everything from fd's current offset to its end.
static std::string read_rest(int fd) {
    std::string text;
    char chunk[4096];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<size_t>(n));
    EXPECT_EQ(n, 0) << "reading a memory file failed";
    return text;
}

MemoryConsole::MemoryConsole(std::string_view input)
    : con(std::make_unique<Console>()), in_fd(memfd_create("input", 0)),
      out_fd(memfd_create("output", 0)) {
    if (in_fd < 0 || out_fd < 0) throw std::runtime_error("memfd_create failed");
    if (write(in_fd, input.data(), input.size()) != static_cast<ssize_t>(input.size()) ||
        lseek(in_fd, 0, SEEK_SET) != 0)
        throw std::runtime_error("cannot fill the input file");
    console_open(*con, in_fd, out_fd);
}

MemoryConsole::~MemoryConsole() {
    close(in_fd);
    close(out_fd);
}

std::string MemoryConsole::written() {
    if (lseek(out_fd, 0, SEEK_SET) != 0) ADD_FAILURE() << "cannot rewind the output file";
    return read_rest(out_fd);
}

std::string MemoryConsole::pending() {
    std::string buffered(con->in_buf + con->in_pos, con->in_len - con->in_pos);
    return buffered + read_rest(in_fd);
}

Draw Script::draw() {
    return [this] {
        if (used == draws.size()) {
            ADD_FAILURE() << "the dialogue took more than the " << draws.size()
                          << " draws scripted";
            return 0;
        }
        return draws[used++];
    };
}

std::string case_name(std::string description) {
    for (char &ch : description)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return description;
}

Transcript play_script(std::string_view input, std::vector<int> draws) {
    MemoryConsole console(input);
    Script script(std::move(draws));
    Ending ending = play(*console.con, script.draw());
    return {console.written(), ending, script.used};
}
