// Test support: a console over in-memory files, and a scripted random source.
#pragma once

#include "console.hpp"
#include "dialogue.hpp"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A console that reads the given bytes and writes to a file kept in memory.
struct MemoryConsole {
    explicit MemoryConsole(std::string_view input);
    ~MemoryConsole();
    MemoryConsole(const MemoryConsole &) = delete;
    MemoryConsole &operator=(const MemoryConsole &) = delete;

    std::string written(); // what reached the output file so far, without flushing
    std::string pending(); // every input byte no read has taken yet
    std::unique_ptr<Console> con;

  private:
    int in_fd, out_fd;
};

// Hands out the given draws in order; a draw past the end fails the test.
struct Script {
    explicit Script(std::vector<int> draws) : draws(std::move(draws)) {}
    Draw draw();
    std::vector<int> draws;
    std::size_t used = 0;
};

// What a whole run of the dialogue printed, how it ended and how many draws it took.
struct Transcript {
    std::string output;
    Ending ending;
    std::size_t draws_used;
};

// A test name made of the letters and digits of a description, other characters as '_'.
std::string case_name(std::string description);

// Plays the dialogue over input with the given draws.
Transcript play_script(std::string_view input, std::vector<int> draws);
