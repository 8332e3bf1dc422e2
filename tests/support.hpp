// Test support: a console over a scripted channel, and a scripted random source.
#pragma once

#include "console.hpp"
#include "dialogue.hpp"
#include "scripted_io.hpp"

#include <string>
#include <string_view>
#include <vector>

// Every way the tests deliver input, each with its name for test output.
inline constexpr Delivery deliveries[] = {Delivery::whole, Delivery::bytes, Delivery::pieces,
                                          Delivery::short_writes, Delivery::typed};
const char *delivery_name(Delivery delivery);

// The sizes of a console's two buffers.
struct Buffers {
    std::size_t in;
    std::size_t out;
};

// The buffer sizes the dialogue is played with: the smallest that work, a few bytes, and the
// program's own.
inline constexpr Buffers buffer_sizes[] = {{min_input_buffer, 1}, {16, 16}, {65536, 65536}};

// Every delivery with every buffer size, and a name for one of them in test output.
std::vector<std::pair<Delivery, Buffers>> every_setup();
std::string setup_name(Delivery delivery, Buffers sizes);

// A console that reads the given bytes, delivered as asked, and writes to memory.
struct ScriptedConsole {
    explicit ScriptedConsole(std::string_view input, Delivery delivery = Delivery::whole,
                             Buffers sizes = {16, 16});
    ScriptedConsole(const ScriptedConsole &) = delete;
    ScriptedConsole &operator=(const ScriptedConsole &) = delete;

    std::string pending() const; // every input byte no read has taken yet
    std::string input;           // the bytes the script delivers
    ScriptedIo script;
    std::vector<char> in_buf, out_buf;
    Console con;
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

// Plays the dialogue over input with the given draws, once for each delivery and buffer size,
// and fails the test where a run breaks the channel's rules or its transcript differs from the
// first's, which it returns. With end_fails, reads fail where the input would end.
Transcript play_script(std::string_view input, std::vector<int> draws, bool end_fails = false);
