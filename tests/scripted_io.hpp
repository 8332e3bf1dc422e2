// A scripted channel for the console: input handed over in chosen pieces, output kept in memory,
// and failures injected at chosen calls. The tests and the fuzzer both drive the console
// through it.
#pragma once

#include "console.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How the reads receive the input and the writes are taken.
enum class Delivery {
    whole,        // each read gets all it asks for
    bytes,        // each read gets one byte
    pieces,       // each read gets 1 to 7 bytes, pseudo-randomly
    short_writes, // pieces, and each write takes a pseudo-random part of what it is offered
    typed,        // as at a terminal: a line only once the output written ends with a prompt
};

// The two sides of the channel.
enum class Side { input, output };

// The call-th call on side (counted from 0) fails.
struct Fault {
    Side side;
    int call;
};

struct ScriptedIo {
    std::string_view input;              // the bytes the reads deliver, in order
    Delivery delivery = Delivery::whole; // how they are cut into reads
    bool end_fails = false;              // once input is out, reads fail rather than end
    std::vector<Fault> faults;           // failures to inject at chosen calls
    std::uint64_t state = 1;             // the pseudo-random pieces and short writes
    std::size_t delivered = 0;           // input bytes handed to reads so far
    std::string output;                  // every byte written, in order
    int calls[2] = {0, 0};               // calls made so far on the input and the output side
    bool input_over = false;             // a read reported the end of input or a failure
    std::string misuse;                  // the first call against the channel's rules, if any
};

// An Io over script, which must outlive it.
Io scripted_io(ScriptedIo &script);
