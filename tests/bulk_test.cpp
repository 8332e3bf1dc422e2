// Bulk input, as scripts feed it: memory that does not grow with the input, and output
// in a few large writes rather than one per prompt.
#include "process.hpp"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// n predictions of names of 5 to 12 letters and ratings from 60 to 89, answered S but the
// last, which is answered N.
std::string bulk_input(int n) {
    std::string input;
    unsigned state = 12345;
    auto next = [&state](unsigned below) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % below;
    };
    auto name = [&] {
        std::string text(5 + next(8), 'a');
        for (char &ch : text) ch = static_cast<char>('a' + next(26));
        return text;
    };
    for (int i = 0; i < n; ++i)
        input += name() + "\n" + std::to_string(60 + next(30)) + "\n" + name() + "\n" +
                 std::to_string(60 + next(30)) + (i + 1 < n ? "\nS\n" : "\nN\n");
    return input;
}

class Bulk : public testing::Test {
  protected:
    // Writes n predictions to a scratch file and returns its path.
    std::string input_file(int n) {
        std::string path = scratch.path("bulk_" + std::to_string(n));
        write_file(path, bulk_input(n));
        return path;
    }
    Scratch scratch;
};

// The program's peak resident memory in KiB with its input read from the file, or -1. GNU
// time measures it: a child forked from this test would inherit the test's own high-water mark.
// A file, unlike a pipe, fills every read the same way, and so the same pages of the buffers.
long peak_memory_kib(const std::string &input_path, const std::string &report_path) {
    if (run_shell("/usr/bin/time -f %M -o " + report_path + " " + palpite() + " <" + input_path +
                  " >/dev/null") != 0)
        return -1;
    std::ifstream report(report_path);
    std::string line, last;
    while (std::getline(report, line)) last = line;
    return last.empty() ? -1 : std::stol(last);
}

// The least peak of five runs, or -1 if one failed. How the C library and the loader map
// their pages varies from run to run and adds up to 150 KiB, more than a tenth of what the
// program needs; the least of five runs is the program's own need.
long least_peak_memory_kib(const std::string &input_path, const std::string &report_path) {
    long least = -1;
    for (int run = 0; run < 5; ++run) {
        long peak = peak_memory_kib(input_path, report_path);
        if (peak < 0) return -1;
        least = least < 0 ? peak : std::min(least, peak);
    }
    return least;
}

} // namespace

TEST_F(Bulk, PeakMemoryDoesNotGrowWithTheInput) {
    if (access("/usr/bin/time", X_OK) != 0) GTEST_SKIP() << "GNU time is not installed";
    if (under_emulator())
        GTEST_SKIP() << "under an emulator GNU time measures the emulator's memory, about ten "
                        "times the program's, in which the growth this test looks for would hide";
    const std::string report = scratch.path("rss");
    long small = least_peak_memory_kib(input_file(20000), report);
    long large = least_peak_memory_kib(input_file(200000), report);
    ASSERT_GT(small, 0);
    ASSERT_GT(large, 0);
    // The 180,000 more predictions type 5 MB and print 45 MB: keeping even 3 bytes of each
    // would add more than 512 KiB, which is over three times what the mapping varies by.
    EXPECT_LE(large, small + 512) << small << " KiB for 20,000 predictions, " << large
                                  << " KiB for 200,000";
}

TEST_F(Bulk, PipedOutputGoesOutInFewLargeWrites) {
    if (run_shell("command -v strace >/dev/null") != 0) GTEST_SKIP() << "strace is not installed";
    // Under qemu-user strace sees the emulator, which makes one write of its own for each of
    // the program's: the count is the program's there too.
    const std::string log = scratch.path("strace");
    // LeakSanitizer, in a sanitizer build, cannot run under ptrace and would fail the run.
    ASSERT_EQ(run_shell("cat " + input_file(20000) + " | ASAN_OPTIONS=detect_leaks=0 strace -o " +
                        log + " -e trace=write " + palpite() + " >/dev/null"),
              0);

    std::ifstream in(log);
    int writes = 0;
    for (std::string line; std::getline(in, line);) writes += line.starts_with("write(");
    // About 5 MB of output: a write per prompt would make 100,000 of them.
    EXPECT_GT(writes, 0);
    EXPECT_LE(writes, 250);
}
