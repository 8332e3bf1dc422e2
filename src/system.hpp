// The console's way to the operating system: standard input and output as descriptors. This is
// the only part of the program that makes I/O system calls.
#pragma once

#include "console.hpp"

#include <cstddef>

// The two descriptors a console on the system reads and writes.
struct Descriptors {
    int in_fd;  // where the reads take input from
    int out_fd; // where the prints are written
};

// Standard input and standard output.
constexpr Descriptors standard_streams{0, 1};

// An Io that reads in_fd and writes out_fd of fds, which must outlive it. A call that a signal
// interrupts is made again, and on a descriptor another program left non-blocking a call that
// would block waits until it can go on; the descriptors' flags are never changed, since other
// processes share them.
Io system_io(Descriptors &fds);

// Moves fd's offset back over the count bytes read from it that no read took, so that whoever
// reads fd next starts at the first of them; does nothing where fd cannot seek.
void give_back(int fd, std::size_t count);

// Writes message to standard error; if that fails too there is nowhere left to report it.
void report_error(const char *message);
