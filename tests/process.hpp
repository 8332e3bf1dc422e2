// Test support: the built program as a child process, driven the way a person or a script
// drives it, over a pseudo-terminal or over pipes.
#pragma once

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

enum class Wiring { terminal, pipes };

// A running palpite whose input we type and whose output we read.
class Child {
  public:
    explicit Child(Wiring wiring);
    ~Child();
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    // Waits until the output read so far ends with text. Fails at once, with the output seen,
    // when the program waits at another prompt or its output ends; else after the timeout.
    testing::AssertionResult wait_for(const std::string &text,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void type(const std::string &text); // writes text to the program's input
    void end_input();                   // Ctrl-D on the terminal, closing the pipe otherwise
    int exit_status();                  // reads the rest of the output and reaps the program
    const std::string &output() const { return seen; }

  private:
    bool read_some(std::chrono::milliseconds timeout); // false on timeout or end of output
    Wiring wiring;
    int pid = -1;
    int to_child = -1;   // the terminal's master side, or the write end of the input pipe
    int from_child = -1; // the same master side, or the read end of the output pipe
    std::string seen;
    std::size_t typed_at = 0; // size of seen when input was last typed: what came since answers it
};

// A folder of its own for one test's files, removed with everything in it.
class Scratch {
  public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;
    std::string path(const std::string &name) const; // a file of that name in the folder

  private:
    std::string folder;
};

// The words of the command that starts the built program: in a cross build the emulator's
// (PALPITE_EMULATOR, qemu-user) and then the program's path, else the path alone.
const std::vector<std::string> &program_words();

// The same command quoted for the shell, to begin a command line run by run_shell.
const std::string &palpite();

// True when the program runs under an emulator, whose process (its memory, its system calls)
// is the emulator's as much as the program's.
bool under_emulator();

// Runs a shell command line and returns its exit status, or -1 if it did not exit normally.
int run_shell(const std::string &command);

// The whole contents of the file at path; empty if it cannot be read.
std::string file_contents(const std::string &path);

// Writes text to the file at path, replacing it.
void write_file(const std::string &path, const std::string &text);

// Runs the program with input piped from a file; returns its standard output, and fails the
// test unless it exits with status 0.
std::string run_piped(const std::string &input);
