// System calls for the console: read, write, wait for readiness, seek back, report an error.
//
// On POSIX systems a call may be interrupted by a signal (EINTR), and a descriptor may have
// been left non-blocking by another program (EAGAIN); both are dealt with here, next to the
// calls, so that the console sees only bytes moved, the end of input, or a failure. On Windows
// the C runtime's text mode turns CR LF into LF on input and LF into CR LF on output, and its
// descriptors always block.
#include "system.hpp"

#include <cerrno>
#include <climits>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

// ---- the calls ----

#ifdef _WIN32

// One _read or _write of at most size bytes.
static std::ptrdiff_t call(int fd, bool reading, char *bytes, std::size_t size) {
    const unsigned most = static_cast<unsigned>(size < INT_MAX ? size : INT_MAX);
    return reading ? _read(fd, bytes, most) : _write(fd, bytes, most);
}

// The C runtime's descriptors always block: there is nothing to wait for.
static void wait_until_ready(int, bool) {}

// Text mode delivers fewer bytes than the file holds wherever it dropped a CR, so the count of
// untaken bytes says nothing about the file offset: the read-ahead stays taken.
void give_back(int, std::size_t) {}

#else

// One read(2) or write(2) of at most size bytes.
static std::ptrdiff_t call(int fd, bool reading, char *bytes, std::size_t size) {
    return reading ? read(fd, bytes, size) : write(fd, bytes, size);
}

// Blocks in poll(2) until fd can be read (or written), or has hung up or failed, which the next
// call then reports. A wait that a signal interrupts, or that fails, only leads to that call
// again sooner.
static void wait_until_ready(int fd, bool reading) {
    pollfd ready{fd, static_cast<short>(reading ? POLLIN : POLLOUT), 0};
    poll(&ready, 1, -1);
}

void give_back(int fd, std::size_t count) {
    // On a pipe or a terminal lseek fails with ESPIPE, and the read-ahead is lost, as with any
    // buffered reader.
    if (count > 0) (void)lseek(fd, -static_cast<off_t>(count), SEEK_CUR);
}

#endif

// True when errno says the call would have blocked a non-blocking descriptor.
static bool would_block() {
#if EWOULDBLOCK != EAGAIN
    if (errno == EWOULDBLOCK) return true;
#endif
    return errno == EAGAIN;
}

// Reads into (or writes from) size bytes at bytes on fd: made again after an interruption and,
// once fd is ready, after it would have blocked. Returns the bytes moved, 0 at the end of input,
// or -1 on any other failure.
static std::ptrdiff_t transfer(int fd, bool reading, char *bytes, std::size_t size) {
    for (;;) {
        std::ptrdiff_t n = call(fd, reading, bytes, size);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        if (!would_block()) return -1;
        wait_until_ready(fd, reading);
    }
}

// ---- the channel ----

static std::ptrdiff_t read_descriptor(void *context, char *bytes, std::size_t size) {
    return transfer(static_cast<Descriptors *>(context)->in_fd, true, bytes, size);
}

static std::ptrdiff_t write_descriptor(void *context, const char *bytes, std::size_t size) {
    // write(2) only reads the bytes; transfer takes them as char * for read(2)'s sake.
    return transfer(static_cast<Descriptors *>(context)->out_fd, false, const_cast<char *>(bytes),
                    size);
}

Io system_io(Descriptors &fds) {
    return Io{&fds, read_descriptor, write_descriptor};
}

void report_error(const char *message) {
    Descriptors error_stream{-1, 2};
    for (std::size_t left = std::strlen(message); left > 0;) {
        std::ptrdiff_t n = write_descriptor(&error_stream, message, left);
        if (n <= 0) return; // standard error was the last place left to report to
        message += n;
        left -= static_cast<std::size_t>(n);
    }
}
