#include "process.hpp"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#if __has_include(<pty.h>)
#include <pty.h> // forkpty on Linux
#else
#include <util.h> // forkpty on macOS and the BSDs
#endif
#include <string_view>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

// A canonical-mode terminal without echo or output processing, so the output read back is
// exactly what the program wrote, and Ctrl-D ends a line read as it does for a person.
static termios plain_terminal() {
    termios t{};
    t.c_iflag = ICRNL;
    t.c_cflag = CS8 | CREAD | CLOCAL;
    t.c_lflag = ICANON;
    t.c_cc[VEOF] = 4;
    t.c_cc[VMIN] = 1;
    cfsetispeed(&t, B38400);
    cfsetospeed(&t, B38400);
    return t;
}

#ifndef PALPITE_EMULATOR
#define PALPITE_EMULATOR
#endif

const std::vector<std::string> &program_words() {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> emulator{PALPITE_EMULATOR};
        emulator.emplace_back(PALPITE_BINARY);
        return emulator;
    }();
    return words;
}

const std::string &palpite() {
    static const std::string command = [] {
        std::string line;
        for (std::string_view word : program_words()) {
            line += line.empty() ? "'" : " '";
            for (char ch : word) line += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
            line += '\'';
        }
        return line;
    }();
    return command;
}

bool under_emulator() {
    return program_words().size() > 1;
}

// Replaces this process with the program. Natively that is the program itself, named palpite;
// in a cross build the emulator, given the program's path. Allocates nothing: it runs between
// fork and exec.
[[noreturn]] static void exec_program(char *const *argv) {
    if (under_emulator())
        execv(argv[0], argv);
    else
        execl(PALPITE_BINARY, "palpite", static_cast<char *>(nullptr));
    _exit(127);
}

// The emulator's words and the program's path as an argument vector for execv, ended by a
// null pointer; it points into program_words(), which lives as long as the process.
static std::vector<char *> program_argv() {
    std::vector<char *> argv;
    for (const std::string &word : program_words())
        argv.push_back(const_cast<char *>(word.c_str()));
    argv.push_back(nullptr);
    return argv;
}

Child::Child(Wiring wiring) : wiring(wiring) {
    const std::vector<char *> argv = program_argv();
    if (wiring == Wiring::terminal) {
        termios t = plain_terminal();
        int master = -1;
        pid = forkpty(&master, nullptr, &t, nullptr);
        if (pid == 0) exec_program(argv.data());
        to_child = from_child = master;
    } else {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe failed");
        pid = fork();
        if (pid == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
            exec_program(argv.data());
        }
        close(in[0]);
        close(out[1]);
        to_child = in[1];
        from_child = out[0];
    }
    if (pid < 0) throw std::runtime_error("cannot start " PALPITE_BINARY);
}

Child::~Child() {
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (to_child >= 0 && to_child != from_child) close(to_child);
    if (from_child >= 0) close(from_child);
}

bool Child::read_some(std::chrono::milliseconds timeout) {
    pollfd p{from_child, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return false;
    char chunk[4096];
    ssize_t n = read(from_child, chunk, sizeof chunk);
    if (n <= 0) return false; // EIO on the terminal once the program has gone
    seen.append(chunk, static_cast<size_t>(n));
    return true;
}

// Every prompt the program waits at.
static const char *const prompts[] = {
    "Nome do primeiro time: ", "Overall do primeiro time: ", "Nome do segundo time: ",
    "Overall do segundo time: ", "Continuar? (S/N): "};

testing::AssertionResult Child::wait_for(const std::string &text,
                                         std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!seen.ends_with(text)) {
        for (const char *prompt : prompts)
            if (seen.size() > typed_at && seen.ends_with(prompt))
                return testing::AssertionFailure()
                       << "waiting at \"" << prompt << "\" instead of \"" << text
                       << "\"; output so far:\n"
                       << seen;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !read_some(left))
            return testing::AssertionFailure()
                   << (left.count() <= 0 ? "timed out" : "output ended") << " waiting for \""
                   << text << "\"; output so far:\n"
                   << seen;
    }
    return testing::AssertionSuccess();
}

void Child::type(const std::string &text) {
    typed_at = seen.size();
    ASSERT_EQ(write(to_child, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

void Child::end_input() {
    if (wiring == Wiring::terminal) {
        type("\x04");
    } else {
        close(to_child);
        to_child = -1;
    }
}

int Child::exit_status() {
    while (read_some(std::chrono::seconds(10))) {
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Scratch::Scratch() : folder(testing::TempDir() + "palpite-XXXXXX") {
    if (!mkdtemp(folder.data())) throw std::runtime_error("mkdtemp failed in " + folder);
}

Scratch::~Scratch() {
    if (run_shell("rm -rf '" + folder + "'") != 0) ADD_FAILURE() << "cannot remove " << folder;
}

std::string Scratch::path(const std::string &name) const {
    return folder + "/" + name;
}

int run_shell(const std::string &command) {
    int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string file_contents(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const std::string &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out.flush()) ADD_FAILURE() << "cannot write " << path;
}

std::string run_piped(const std::string &input) {
    Scratch scratch;
    write_file(scratch.path("input"), input);
    EXPECT_EQ(run_shell("cat " + scratch.path("input") + " | " + palpite() + " >" +
                        scratch.path("output")),
              0);
    return file_contents(scratch.path("output"));
}
