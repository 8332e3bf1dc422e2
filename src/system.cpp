// System calls for the console: read, write, wait for readiness, seek back, report an error.
//
// On POSIX systems a descriptor may have been left non-blocking by another program; a read or
// write then reports EAGAIN, and wait() blocks in poll(2) until the descriptor is ready. On
// Windows the C runtime's text mode turns CR LF into LF on input and LF into CR LF on output,
// and its descriptors never report EAGAIN.
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

static std::ptrdiff_t read_descriptor(void *context, char *bytes, std::size_t size) {
    int n = _read(static_cast<Descriptors *>(context)->in_fd, bytes,
                  static_cast<unsigned>(size < INT_MAX ? size : INT_MAX));
    return n >= 0 ? n : -errno;
}

static std::ptrdiff_t write_descriptor(void *context, const char *bytes, std::size_t size) {
    int n = _write(static_cast<Descriptors *>(context)->out_fd, bytes,
                   static_cast<unsigned>(size < INT_MAX ? size : INT_MAX));
    return n >= 0 ? n : -errno;
}

// The C runtime's descriptors block, so there is never anything to wait for.
static int wait_descriptor(void *, Side) {
    return 0;
}

// Text mode delivers fewer bytes than the file holds wherever it dropped a CR, so the count of
// untaken bytes says nothing about the file offset: the read-ahead stays taken.
void give_back(int, std::size_t) {}

#else

// The negated errno of the call that just failed, with EWOULDBLOCK spelled EAGAIN.
static std::ptrdiff_t failure() {
    return errno == EWOULDBLOCK ? -EAGAIN : -errno;
}

static std::ptrdiff_t read_descriptor(void *context, char *bytes, std::size_t size) {
    ssize_t n = read(static_cast<Descriptors *>(context)->in_fd, bytes, size);
    return n >= 0 ? n : failure();
}

static std::ptrdiff_t write_descriptor(void *context, const char *bytes, std::size_t size) {
    ssize_t n = write(static_cast<Descriptors *>(context)->out_fd, bytes, size);
    return n >= 0 ? n : failure();
}

// Blocks until side's descriptor can be read or written, or has hung up or failed, which the
// next read or write then reports.
static int wait_descriptor(void *context, Side side) {
    const Descriptors &fds = *static_cast<Descriptors *>(context);
    pollfd ready =
        side == Side::input ? pollfd{fds.in_fd, POLLIN, 0} : pollfd{fds.out_fd, POLLOUT, 0};
    return poll(&ready, 1, -1) >= 0 ? 0 : -errno;
}

void give_back(int fd, std::size_t count) {
    // On a pipe or a terminal lseek fails with ESPIPE, and the read-ahead is lost, as with any
    // buffered reader.
    if (count > 0) (void)lseek(fd, -static_cast<off_t>(count), SEEK_CUR);
}

#endif

// ---- the channel ----

Io system_io(Descriptors &fds) {
    return Io{&fds, read_descriptor, write_descriptor, wait_descriptor};
}

void report_error(const char *message) {
    Descriptors error_stream{-1, 2};
    for (std::size_t left = std::strlen(message); left > 0;) {
        std::ptrdiff_t n = write_descriptor(&error_stream, message, left);
        if (n == -EINTR || (n == -EAGAIN && wait_descriptor(&error_stream, Side::output) == 0))
            continue;
        if (n <= 0) return; // standard error was the last place left to report to
        message += n;
        left -= static_cast<std::size_t>(n);
    }
}
