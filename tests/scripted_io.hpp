// A scripted channel for the console: input handed over in chosen pieces, output kept in memory,
// and interruptions, short writes and errors injected at chosen calls. The tests and the fuzzer
// both drive the console through it.
#pragma once

#include "console.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How the reads receive the input and the writes are taken; only `interrupted` cuts writes.
enum class Delivery {
    whole,       // each read gets all it asks for
    bytes,       // each read gets one byte
    pieces,      // each read gets 1 to 7 bytes, pseudo-randomly
    interrupted, // pieces; any call may first report EINTR or EAGAIN, and writes are cut short
};

// The call-th call on side (counted from 0, interruptions included) fails with -error.
struct Fault {
    Side side;
    int call;
    int error;
};

struct ScriptedIo {
    std::string_view input;              // the bytes the reads deliver, in order
    Delivery delivery = Delivery::whole; // how they are cut into reads
    int end_error = 0;                   // once input is out: 0 ends it, else reads fail so
    int wait_error = 0;                  // what every wait returns, negated; 0 for ready
    std::vector<Fault> faults;           // errors to inject at chosen calls
    std::uint64_t state = 1;             // the pseudo-random pieces and interruptions
    std::size_t delivered = 0;           // input bytes handed to reads so far
    std::string output;                  // every byte written, in order
    int calls[2] = {0, 0};               // calls made so far on the input and the output side
    bool wait_due[2] = {false, false};   // the last call on that side reported EAGAIN
    bool input_over = false;             // a read reported the end of input or an error
    std::string misuse;                  // the first call against the channel's rules, if any
};

// An Io over script, which must outlive it.
Io scripted_io(ScriptedIo &script);
