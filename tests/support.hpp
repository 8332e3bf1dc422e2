// Test support: a console over a scripted channel, and a scripted random source.
#pragma once

#include "console.hpp"
#include "dialogue.hpp"
#include "scripted_io.hpp"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Every way the tests deliver input, each with its name for test output.
inline constexpr Delivery deliveries[] = {Delivery::whole, Delivery::bytes, Delivery::pieces,
                                          Delivery::interrupted};
const char *delivery_name(Delivery delivery);

// A console that reads the given bytes, delivered as asked, and writes to memory.
struct ScriptedConsole {
    explicit ScriptedConsole(std::string_view input, Delivery delivery = Delivery::whole);
    ScriptedConsole(const ScriptedConsole &) = delete;
    ScriptedConsole &operator=(const ScriptedConsole &) = delete;

    std::string pending() const; // every input byte no read has taken yet
    std::string input;           // the bytes the script delivers
    ScriptedIo script;
    std::unique_ptr<Console> con;
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

// Plays the dialogue over input with the given draws, once for each delivery, and fails the
// test where a delivery's transcript differs from the whole input's, which it returns. A
// non-zero end_error makes reads fail with it where the input would end.
Transcript play_script(std::string_view input, std::vector<int> draws, int end_error = 0);
