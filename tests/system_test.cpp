// The console on real descriptors, as other programs may hand them over: non-blocking pipes
// whose other end is late, a directory or a closed descriptor as input, and a seekable file
// whose unread rest belongs to whoever reads it next.
#include "dialogue.hpp"
#include "system.hpp"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

const std::string one_prediction = "Alfa\n80\nBeta\n79\nN\n";

// ---- descriptors ----

// A pipe whose ends are closed with it, or earlier by close_end.
struct Pipe {
    Pipe() {
        if (pipe(ends) != 0) throw std::runtime_error("pipe failed");
    }
    ~Pipe() {
        for (int fd : ends)
            if (fd >= 0) close(fd);
    }
    void close_end(int which) {
        close(ends[which]);
        ends[which] = -1;
    }
    int ends[2]; // read end, write end
};

// Sets O_NONBLOCK on fd, as a launcher or a crashed program may have left it.
void make_non_blocking(int fd) {
    ASSERT_EQ(fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK), 0);
}

// Everything readable from fd until its end.
std::string read_all(int fd) {
    std::string text;
    char chunk[4096];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<size_t>(n));
    EXPECT_EQ(n, 0) << "reading failed: " << std::strerror(errno);
    return text;
}

// A console over two descriptors, through the same calls the program makes.
struct SystemConsole {
    SystemConsole(int in_fd, int out_fd) : fds{in_fd, out_fd}, con(std::make_unique<Console>()) {
        console_open(*con, system_io(fds));
    }
    Descriptors fds;
    std::unique_ptr<Console> con;
};

// Plays the dialogue with every draw 1 and returns how it ended.
Ending play_on(SystemConsole &console) {
    return play(*console.con, Draw{[](void *) { return 1; }, nullptr});
}

} // namespace

// ---- descriptors left non-blocking ----

TEST(NonBlocking, InputWaitsForALateWriterAndKeepsTheFlag) {
    Pipe input, output;
    make_non_blocking(input.ends[0]);
    std::thread late_writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_EQ(write(input.ends[1], one_prediction.data(), one_prediction.size()),
                  static_cast<ssize_t>(one_prediction.size()));
    });
    SystemConsole console(input.ends[0], output.ends[1]);
    Ending ending = play_on(console);
    late_writer.join();

    EXPECT_EQ(ending, Ending::answered_no) << "EAGAIN was taken for the end of input";
    EXPECT_TRUE(fcntl(input.ends[0], F_GETFL) & O_NONBLOCK) << "the shared flag was changed";
    output.close_end(1);
    EXPECT_NE(read_all(output.ends[0]).find("Time 1: Alfa (Overall: 80)\n"), std::string::npos);
}

TEST(NonBlocking, OutputWaitsForALateReaderAndLosesNothing) {
    Pipe output;
    make_non_blocking(output.ends[1]);
    std::string received;
    std::thread late_reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        received = read_all(output.ends[0]);
    });
    SystemConsole console(-1, output.ends[1]);
    std::string printed;
    for (int i = 0; i < 20000; ++i) {
        std::string line = "Alfa " + std::to_string(i) + " x 0 Beta\n";
        print_text(*console.con, line);
        printed += line;
    }
    bool flushed = flush_output(*console.con);
    output.close_end(1);
    late_reader.join();

    EXPECT_TRUE(flushed) << "EAGAIN was taken for a write error";
    EXPECT_TRUE(received == printed)
        << "received " << received.size() << " of " << printed.size() << " bytes";
}

// ---- input that cannot be read ----

// A descriptor number that nothing has open.
static int closed_descriptor() {
    int fd = open("/dev/null", O_RDONLY);
    EXPECT_GE(fd, 0);
    close(fd);
    return fd;
}

TEST(ReadError, ADirectoryOrAClosedDescriptorEndsTheRunAsAFailure) {
    for (bool directory : {true, false}) {
        const char *what = directory ? "a directory" : "a closed descriptor";
        Pipe output;
        int fd = directory ? open("/", O_RDONLY) : closed_descriptor();
        SystemConsole console(fd, output.ends[1]);
        EXPECT_EQ(play_on(console), Ending::input_failed) << what;
        output.close_end(1);
        EXPECT_EQ(read_all(output.ends[0]), "Nome do primeiro time: \n") << what;
        if (directory) close(fd);
    }
}

// ---- giving back the read-ahead ----

TEST(GiveBack, ASeekableInputIsLeftAtTheFirstByteNoReadTook) {
    std::string path = testing::TempDir() + "palpite-input-XXXXXX";
    int fd = mkstemp(path.data());
    ASSERT_GE(fd, 0) << path;
    unlink(path.c_str());
    // The answer is cut at nine characters: "a\n" was never taken.
    const std::string input = "Alfa\n80\nBeta\n79\nNao, chega\nresto\n";
    ASSERT_EQ(write(fd, input.data(), input.size()), static_cast<ssize_t>(input.size()));
    ASSERT_EQ(lseek(fd, 0, SEEK_SET), 0);
    int null = open("/dev/null", O_WRONLY);

    SystemConsole console(fd, null);
    ASSERT_EQ(play_on(console), Ending::answered_no);
    ASSERT_GT(untaken_input(*console.con), 0u) << "the test needs input read ahead";
    give_back(fd, untaken_input(*console.con));
    EXPECT_EQ(read_all(fd), "a\nresto\n");
    close(fd);
    close(null);
}
