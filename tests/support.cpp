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
    case Delivery::interrupted:
        return "pieces with EINTR, EAGAIN and short writes";
    }
    return "?";
}

ScriptedConsole::ScriptedConsole(std::string_view bytes, Delivery delivery)
    : input(bytes), con(std::make_unique<Console>()) {
    script.input = input;
    script.delivery = delivery;
    console_open(*con, scripted_io(script));
}

std::string ScriptedConsole::pending() const {
    return std::string(con->in_buf + con->in_pos, untaken_input(*con)) +
           input.substr(script.delivered);
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

// Plays the dialogue once over input delivered as asked.
static Transcript play_delivered(std::string_view input, const std::vector<int> &draws,
                                 int end_error, Delivery delivery) {
    ScriptedConsole console(input, delivery);
    console.script.end_error = end_error;
    Script script(draws);
    Ending ending = play(*console.con, script.draw());
    EXPECT_EQ(console.script.misuse, "") << "delivered " << delivery_name(delivery);
    return {console.script.output, ending, script.used};
}

Transcript play_script(std::string_view input, std::vector<int> draws, int end_error) {
    Transcript whole = play_delivered(input, draws, end_error, Delivery::whole);
    for (Delivery delivery : deliveries) {
        if (delivery == Delivery::whole) continue;
        Transcript t = play_delivered(input, draws, end_error, delivery);
        EXPECT_EQ(t.output, whole.output) << "delivered " << delivery_name(delivery);
        EXPECT_EQ(t.ending, whole.ending) << "delivered " << delivery_name(delivery);
        EXPECT_EQ(t.draws_used, whole.draws_used) << "delivered " << delivery_name(delivery);
    }
    return whole;
}
