#include "scripted_io.hpp"

#include <algorithm>

namespace {

// ---- choices ----

// The next pseudo-random number below `below`, from the script's own generator.
std::size_t next_below(ScriptedIo &script, std::size_t below) {
    script.state = script.state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<std::size_t>(script.state >> 33) % below;
}

// Records the first breach of the channel's rules.
void breach(ScriptedIo &script, const char *what) {
    if (script.misuse.empty()) script.misuse = what;
}

// Counts a call on side; true when a fault makes it fail.
bool faulted(ScriptedIo &script, Side side) {
    const int call = script.calls[static_cast<int>(side)]++;
    for (const Fault &fault : script.faults)
        if (fault.side == side && fault.call == call) return true;
    return false;
}

// Every prompt the dialogue waits at.
constexpr std::string_view prompts[] = {
    "Nome do primeiro time: ", "Overall do primeiro time: ", "Nome do segundo time: ",
    "Overall do segundo time: ", "Continuar? (S/N): "};

// True when the output written so far ends with a prompt, as a person waits for before typing.
bool at_prompt(const ScriptedIo &script) {
    return std::any_of(std::begin(prompts), std::end(prompts),
                       [&](std::string_view prompt) { return script.output.ends_with(prompt); });
}

// True when the next byte to deliver begins a line (or the end of input follows a whole line).
bool at_line_start(const ScriptedIo &script) {
    return script.delivered == 0 || script.input[script.delivered - 1] == '\n';
}

// How many of the size bytes asked for, with left bytes still to deliver, one read gets.
std::size_t piece(ScriptedIo &script, std::size_t size, std::size_t left) {
    switch (script.delivery) {
    case Delivery::whole:
        break;
    case Delivery::bytes:
        return 1;
    case Delivery::pieces:
    case Delivery::short_writes:
        return std::min({size, left, 1 + next_below(script, 7)});
    case Delivery::typed: {
        const std::size_t line_end = script.input.find('\n', script.delivered);
        return std::min(size,
                        line_end == script.input.npos ? left : line_end + 1 - script.delivered);
    }
    }
    return std::min(size, left);
}

// ---- the calls ----

std::ptrdiff_t read_script(void *context, char *bytes, std::size_t size) {
    ScriptedIo &script = *static_cast<ScriptedIo *>(context);
    if (size == 0) breach(script, "a read asked for no bytes");
    if (script.input_over) breach(script, "a read came after the input had ended");
    // At a terminal a line already begun stays readable; the next one (or the end of input) is
    // typed only once its prompt is on the screen.
    if (script.delivery == Delivery::typed && at_line_start(script) && !at_prompt(script))
        breach(script, "a read waited for a line with no prompt written");
    if (faulted(script, Side::input)) return -1;
    const std::size_t left = script.input.size() - script.delivered;
    if (left == 0) {
        script.input_over = true;
        return script.end_fails ? -1 : 0;
    }
    const std::size_t n = piece(script, size, left);
    script.input.copy(bytes, n, script.delivered);
    script.delivered += n;
    return static_cast<std::ptrdiff_t>(n);
}

std::ptrdiff_t write_script(void *context, const char *bytes, std::size_t size) {
    ScriptedIo &script = *static_cast<ScriptedIo *>(context);
    if (size == 0) breach(script, "a write offered no bytes");
    if (faulted(script, Side::output)) return -1;
    // A short write loses nothing if the console writes the rest.
    const std::size_t n =
        script.delivery == Delivery::short_writes ? 1 + next_below(script, size) : size;
    script.output.append(bytes, n);
    return static_cast<std::ptrdiff_t>(n);
}

} // namespace

Io scripted_io(ScriptedIo &script) {
    return Io{&script, read_script, write_script};
}
