#include "scripted_io.hpp"

#include <algorithm>
#include <cerrno>

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

// What a call on side returns before it moves any byte: a negated errno value, or 0 to go on.
int interruption(ScriptedIo &script, Side side) {
    const int index = static_cast<int>(side);
    if (script.wait_due[index]) breach(script, "a call was repeated after EAGAIN without a wait");
    const int call = script.calls[index]++;
    int error = 0;
    for (const Fault &fault : script.faults)
        if (fault.side == side && fault.call == call) error = fault.error;
    if (!error && script.delivery == Delivery::interrupted) {
        std::size_t roll = next_below(script, 4);
        error = roll == 0 ? EINTR : roll == 1 ? EAGAIN : 0;
    }
    script.wait_due[index] = error == EAGAIN;
    return -error;
}

// How many of size bytes one read takes under the script's delivery.
std::size_t piece(ScriptedIo &script, std::size_t size) {
    switch (script.delivery) {
    case Delivery::whole:
        return size;
    case Delivery::bytes:
        return 1;
    case Delivery::pieces:
    case Delivery::interrupted:
        return std::min(size, 1 + next_below(script, 7));
    }
    return size;
}

// ---- the calls ----

std::ptrdiff_t read_script(void *context, char *bytes, std::size_t size) {
    ScriptedIo &script = *static_cast<ScriptedIo *>(context);
    if (size == 0) breach(script, "a read asked for no bytes");
    if (script.input_over) breach(script, "a read came after the input had ended");
    if (int error = interruption(script, Side::input)) return error;
    std::size_t left = script.input.size() - script.delivered;
    if (left == 0) {
        script.input_over = true;
        return -script.end_error;
    }
    std::size_t n = std::min(left, piece(script, size));
    script.input.copy(bytes, n, script.delivered);
    script.delivered += n;
    return static_cast<std::ptrdiff_t>(n);
}

std::ptrdiff_t write_script(void *context, const char *bytes, std::size_t size) {
    ScriptedIo &script = *static_cast<ScriptedIo *>(context);
    if (size == 0) breach(script, "a write offered no bytes");
    if (int error = interruption(script, Side::output)) return error;
    // Reads get small pieces; a write is cut short anywhere, which loses nothing if the console
    // writes the rest.
    std::size_t n = script.delivery == Delivery::interrupted ? 1 + next_below(script, size) : size;
    script.output.append(bytes, n);
    return static_cast<std::ptrdiff_t>(n);
}

int wait_script(void *context, Side side) {
    ScriptedIo &script = *static_cast<ScriptedIo *>(context);
    bool &due = script.wait_due[static_cast<int>(side)];
    if (!due) breach(script, "a wait came without an EAGAIN before it");
    due = false;
    return -script.wait_error;
}

} // namespace

Io scripted_io(ScriptedIo &script) {
    return Io{&script, read_script, write_script, wait_script};
}
