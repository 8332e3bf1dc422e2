#include "support.hpp"

#include <cctype>
#include <gtest/gtest.h>

const char *delivery_name(Delivery delivery) {
    switch (delivery) {
    case Delivery::whole:
        return "whole";
    case Delivery::bytes:
        return "one byte per read";
    case Delivery::pieces:
        return "pseudo-random pieces";
    case Delivery::short_writes:
        return "pseudo-random pieces and short writes";
    case Delivery::typed:
        return "typed a line at a time at each prompt";
    }
    return "?";
}

std::vector<std::pair<Delivery, Buffers>> every_setup() {
    std::vector<std::pair<Delivery, Buffers>> setups;
    for (Buffers sizes : buffer_sizes)
        for (Delivery delivery : deliveries) setups.emplace_back(delivery, sizes);
    return setups;
}

std::string setup_name(Delivery delivery, Buffers sizes) {
    return std::string("delivered ") + delivery_name(delivery) + ", buffers of " +
           std::to_string(sizes.in) + " and " + std::to_string(sizes.out) + " bytes";
}

ScriptedConsole::ScriptedConsole(std::string_view bytes, Delivery delivery, Buffers sizes)
    : input(bytes), in_buf(sizes.in), out_buf(sizes.out) {
    script.input = input;
    script.delivery = delivery;
    console_open(con, scripted_io(script), in_buf.data(), in_buf.size(), out_buf.data(),
                 out_buf.size());
}

std::string ScriptedConsole::pending() const {
    return std::string(con.in_next, untaken_input(con)) + input.substr(script.delivered);
}

Draw Script::draw() {
    auto next = [](void *context) {
        Script &script = *static_cast<Script *>(context);
        if (script.used == script.draws.size()) {
            ADD_FAILURE() << "the dialogue took more than the " << script.draws.size()
                          << " draws scripted";
            return 0;
        }
        return script.draws[script.used++];
    };
    return Draw{next, this};
}

std::string case_name(std::string description) {
    for (char &ch : description)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return description;
}

// Plays the dialogue once over input delivered as asked, with buffers of the given sizes.
static Transcript play_delivered(std::string_view input, const std::vector<int> &draws,
                                 bool end_fails, Delivery delivery, Buffers sizes) {
    ScriptedConsole console(input, delivery, sizes);
    console.script.end_fails = end_fails;
    Script script(draws);
    Ending ending = play(console.con, script.draw());
    EXPECT_EQ(console.script.misuse, "") << setup_name(delivery, sizes);
    return {console.script.output, ending, script.used};
}

Transcript play_script(std::string_view input, std::vector<int> draws, bool end_fails) {
    Transcript first = play_delivered(input, draws, end_fails, Delivery::whole, buffer_sizes[1]);
    for (auto [delivery, sizes] : every_setup()) {
        Transcript t = play_delivered(input, draws, end_fails, delivery, sizes);
        SCOPED_TRACE(setup_name(delivery, sizes));
        EXPECT_EQ(t.output, first.output);
        EXPECT_EQ(t.ending, first.ending);
        EXPECT_EQ(t.draws_used, first.draws_used);
    }
    return first;
}
