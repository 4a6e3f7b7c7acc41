// conformance_pane_feeder STREAM DONE
// Runs in a tmux pane: writes the recorded stream to the pane exactly as it was recorded, then
// makes sure tmux has taken all of it before it creates the file DONE, and waits to be ended.
//
// The terminal is put in raw mode first, so that the line discipline neither adds carriage
// returns to the stream (the recording already holds what the program's terminal sent) nor echoes
// tmux's answers to queries in the stream back onto the screen. To know when tmux has parsed the
// whole stream, a status request (CSI 5 n) follows it: tmux answers requests in order, so its
// answer to this last one, counted past the answers to the ones in the stream, comes after it has
// read everything before it.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

std::size_t countOf(const std::string& haystack, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1)) {
        ++count;
    }
    return count;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: conformance_pane_feeder STREAM DONE\n");
        return 2;
    }
    termios mode{};
    if (tcgetattr(0, &mode) == 0) {
        cfmakeraw(&mode);
        tcsetattr(0, TCSANOW, &mode);
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string stream((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string request = "\x1b[5n";
    const std::string answer = "\x1b[0n";
    const std::size_t expected = countOf(stream, request) + 1;
    if (!writeAll(1, stream) || !writeAll(1, request)) return 1;

    std::string answers;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(50);
    while (countOf(answers, answer) < expected) {
        if (std::chrono::steady_clock::now() > deadline) return 1;
        pollfd p{0, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(0, buffer, sizeof buffer);
        if (n > 0) answers.append(buffer, std::size_t(n));
        if (n == 0) return 1;
    }
    const std::string done = argv[2];
    std::ofstream(done + ".tmp") << "done\n";
    if (std::rename((done + ".tmp").c_str(), done.c_str()) != 0) return 1;
    for (;;) pause(); // tmux ends the pane with the server
}
