// The console on real descriptors, as other programs may hand them over: pipes and terminals,
// blocking or left non-blocking, whose other end is late, with signals interrupting every call
// and wait; a directory or a closed descriptor as input; and a seekable file whose unread rest
// belongs to whoever reads it next.
#include "dialogue.hpp"
#include "system.hpp"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <pthread.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const std::string one_prediction = "Alfa\n80\nBeta\n79\nN\n";

// ---- descriptors ----

// A pipe, or a terminal in raw mode (bytes pass as they are), whose ends are closed with it, or
// earlier by close_end. For a terminal the far end is its master side.
struct Link {
    explicit Link(bool terminal = false) {
        if (!terminal) {
            if (pipe(ends) != 0) throw std::runtime_error("pipe failed");
            return;
        }
        int master, slave;
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        termios raw;
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        ends[0] = dup(master); // read the program's output here, or
        ends[1] = master;      // type its input here; the program has the slave side
        program_end = slave;
    }
    ~Link() {
        for (int fd : {ends[0], ends[1], program_end})
            if (fd >= 0) close(fd);
    }
    void close_end(int which) {
        close(ends[which]);
        ends[which] = -1;
    }
    int ends[2];          // read end, write end
    int program_end = -1; // a terminal's slave side, which the program reads and writes
};

// A pipe, closed with it.
struct Pipe : Link {};

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

// A console over two descriptors, through the same calls the program makes, with buffers of a
// few bytes so that every line takes several calls.
struct SystemConsole {
    SystemConsole(int in_fd, int out_fd) : fds{in_fd, out_fd} {
        console_open(con, system_io(fds), in_buf, sizeof in_buf, out_buf, sizeof out_buf);
    }
    Descriptors fds;
    char in_buf[8], out_buf[64];
    Console con;
};

// Plays the dialogue with every draw 1 and returns how it ended.
Ending play_on(SystemConsole &console) {
    return play(console.con, Draw{[](void *) { return 1; }, nullptr});
}

// While it lives, interrupts the thread that made it with SIGUSR1 every 100 microseconds. The
// handler is installed without SA_RESTART, so a read, write or poll that the thread is blocked
// in returns EINTR. The handler stays installed after it: a signal still on its way must not
// kill the test.
class Interrupter {
  public:
    Interrupter() {
        struct sigaction action {};
        action.sa_handler = [](int) { ++delivered; };
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        sigaction(SIGUSR1, &action, nullptr);
        sender = std::thread([this, target = pthread_self()] {
            while (!done) {
                pthread_kill(target, SIGUSR1);
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
        });
    }
    ~Interrupter() {
        done = true;
        sender.join();
    }
    static inline std::atomic<int> delivered{0}; // signals handled so far, in any test

  private:
    std::atomic<bool> done{false};
    std::thread sender;
};

// Makes a peer late: it waits until the program's thread has been interrupted `signals` times
// since `before` (or 5 seconds have passed, which the test's count then shows), and without
// interruptions for 100 milliseconds.
void be_late(bool interrupted, int before, int signals) {
    if (!interrupted) return std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Interrupter::delivered - before < signals && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Signals a late peer waits for: enough that most interrupt a blocked call or wait.
constexpr int signals_to_wait = 50;

// How a test hands the console its descriptor: kind of link, and whether it was left
// non-blocking, and whether signals interrupt the calls.
struct Wiring {
    bool terminal;
    bool non_blocking;
    bool interrupted;
};

std::string wiring_name(const testing::TestParamInfo<Wiring> &info) {
    return std::string(info.param.terminal ? "Terminal" : "Pipe") +
           (info.param.non_blocking ? "NonBlocking" : "Blocking") +
           (info.param.interrupted ? "Interrupted" : "");
}

const Wiring wirings[] = {{false, false, true}, {false, true, false}, {false, true, true},
                          {true, false, true},  {true, true, false},  {true, true, true}};

} // namespace

// ---- slow peers, non-blocking descriptors and signals ----

class SlowPeer : public testing::TestWithParam<Wiring> {};

TEST_P(SlowPeer, InputWaitsForALateWriter) {
    const Wiring w = GetParam();
    Link input(w.terminal);
    Pipe output;
    const int program_in = w.terminal ? input.program_end : input.ends[0];
    if (w.non_blocking) make_non_blocking(program_in);
    const int signals_before = Interrupter::delivered;
    std::thread late_writer([&] {
        be_late(w.interrupted, signals_before, signals_to_wait);
        EXPECT_EQ(write(input.ends[1], one_prediction.data(), one_prediction.size()),
                  static_cast<ssize_t>(one_prediction.size()));
    });
    SystemConsole console(program_in, output.ends[1]);
    Ending ending;
    {
        std::optional<Interrupter> interrupter;
        if (w.interrupted) interrupter.emplace();
        ending = play_on(console);
    }
    late_writer.join();

    EXPECT_EQ(ending, Ending::answered_no) << "a wait or an interruption was taken for an end";
    if (w.interrupted) {
        EXPECT_GE(Interrupter::delivered - signals_before, signals_to_wait);
    }
    EXPECT_EQ(static_cast<bool>(fcntl(program_in, F_GETFL) & O_NONBLOCK), w.non_blocking)
        << "the shared flag was changed";
    output.close_end(1);
    EXPECT_NE(read_all(output.ends[0]).find("Time 1: Alfa (Overall: 80)\n"), std::string::npos);
}

TEST_P(SlowPeer, OutputWaitsForALateReaderAndLosesNothing) {
    const Wiring w = GetParam();
    Link output(w.terminal);
    const int program_out = w.terminal ? output.program_end : output.ends[1];
    if (w.non_blocking) make_non_blocking(program_out);
    std::string printed;
    for (int i = 0; i < 20000; ++i) printed += "Alfa " + std::to_string(i) + " x 0 Beta\n";
    std::string received;
    const int signals_before = Interrupter::delivered;
    std::thread late_reader([&] {
        be_late(w.interrupted, signals_before, signals_to_wait);
        // A terminal's master side never reports an end: read exactly what was printed.
        std::vector<char> chunk(4096);
        while (received.size() < printed.size()) {
            ssize_t n = read(output.ends[0], chunk.data(), chunk.size());
            if (n <= 0) break;
            received.append(chunk.data(), static_cast<std::size_t>(n));
        }
    });
    SystemConsole console(-1, program_out);
    bool flushed;
    {
        std::optional<Interrupter> interrupter;
        if (w.interrupted) interrupter.emplace();
        print(console.con, std::string_view(printed));
        flushed = flush_output(console.con);
    }
    late_reader.join();

    EXPECT_TRUE(flushed) << "a wait or an interruption was taken for a write failure";
    if (w.interrupted) {
        EXPECT_GE(Interrupter::delivered - signals_before, signals_to_wait);
    }
    EXPECT_TRUE(received == printed)
        << "received " << received.size() << " of " << printed.size() << " bytes";
}

INSTANTIATE_TEST_SUITE_P(Wirings, SlowPeer, testing::ValuesIn(wirings), wiring_name);

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
    ASSERT_GT(untaken_input(console.con), 0u) << "the test needs input read ahead";
    give_back(fd, untaken_input(console.con));
    EXPECT_EQ(read_all(fd), "a\nresto\n");
    close(fd);
    close(null);
}
