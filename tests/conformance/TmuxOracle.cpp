#include "conformance/Oracles.h"
#include "conformance/RunCommand.h"
#include "conformance/TextUtil.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace conformance {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A private tmux server in a temporary directory of its own, killed and removed at the end.
class TmuxServer {
public:
    explicit TmuxServer(const Recording& recording) {
        std::string dirTemplate = (fs::temp_directory_path() / "dunmar-conformance-tmux-XXXXXX").string();
        if (!mkdtemp(dirTemplate.data())) throw std::runtime_error("tmux oracle: cannot make a directory");
        dir_ = dirTemplate;
        // Nothing of tmux's own may show on the screen or change how the pane takes its input:
        // no status line, the size fixed to the recording's, a pane that stays when its program
        // ends, and the same TERM the program had.
        std::ofstream(dir_ / "tmux.conf")
            << "set -g status off\n"
            << "set -g default-size " << recording.cols << "x" << recording.rows << "\n"
            << "set -g remain-on-exit on\n"
            << "set -g default-terminal xterm-256color\n"
            << "set -g history-limit 100\n";
        env_ = {"LANG=C.UTF-8",
                "TERM=xterm-256color",
                "HOME=" + dir_.string(),
                "TMUX_TMPDIR=" + dir_.string(),
                "PATH=/usr/local/bin:/usr/bin:/bin",
                "SHELL=/bin/sh"};
    }
    ~TmuxServer() {
        if (started_) run({"kill-server"});
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    TmuxServer(const TmuxServer&) = delete;
    TmuxServer& operator=(const TmuxServer&) = delete;

    CommandResult run(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {"tmux", "-L", "conformance", "-f", (dir_ / "tmux.conf").string()};
        argv.insert(argv.end(), args.begin(), args.end());
        started_ = true;
        return runCommand(argv, env_);
    }
    const fs::path& dir() const { return dir_; }

private:
    fs::path dir_;
    std::vector<std::string> env_;
    bool started_ = false;
};

ScreenText captureText(const std::string& captured, int rows) {
    ScreenText text;
    std::size_t start = 0;
    while (start < captured.size() && int(text.size()) < rows) {
        std::size_t end = captured.find('\n', start);
        if (end == std::string::npos) end = captured.size();
        text.push_back(trimRight(composed(captured.substr(start, end - start))));
        start = end + 1;
    }
    text.resize(std::size_t(rows));
    return text;
}

} // namespace

std::vector<ScreenText> replayInTmux(const Recording& recording, const std::string& paneFeeder) {
    TmuxServer server(recording);
    const std::size_t count = recording.snapshots.size();
    std::vector<fs::path> doneFiles;
    for (std::size_t i = 0; i < count; ++i) {
        const fs::path streamFile = server.dir() / ("stream-" + std::to_string(i));
        std::ofstream(streamFile, std::ios::binary)
            .write(recording.bytes.data(), std::streamsize(recording.snapshots[i].offset));
        doneFiles.push_back(server.dir() / ("done-" + std::to_string(i)));
        const std::string session = "s" + std::to_string(i);
        const CommandResult started =
            server.run({"new-session", "-d", "-s", session, "-x", std::to_string(recording.cols), "-y",
                        std::to_string(recording.rows),
                        paneFeeder + " " + streamFile.string() + " " + doneFiles.back().string()});
        if (started.exitCode != 0) {
            throw std::runtime_error("tmux oracle: new-session failed: " + started.err);
        }
    }

    // Every pane is fed at the same time; each feeder leaves its done file once tmux has
    // answered a status request sent after the stream, that is once tmux has read all of it.
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    for (std::size_t i = 0; i < count; ++i) {
        while (!fs::exists(doneFiles[i])) {
            if (std::chrono::steady_clock::now() > deadline) {
                throw std::runtime_error("tmux oracle: the pane of snapshot \"" +
                                         recording.snapshots[i].label +
                                         "\" did not take its stream within 60 s");
            }
            std::this_thread::sleep_for(5ms);
        }
    }

    std::vector<ScreenText> screens;
    for (std::size_t i = 0; i < count; ++i) {
        const CommandResult captured = server.run({"capture-pane", "-p", "-t", "s" + std::to_string(i)});
        if (captured.exitCode != 0)
            throw std::runtime_error("tmux oracle: capture-pane failed: " + captured.err);
        ScreenText text = captureText(captured.out, recording.rows);
        const CommandResult pane = server.run({"display-message", "-p", "-t", "s" + std::to_string(i),
                                               "#{pane_width}x#{pane_height} #{cursor_x} #{cursor_y}"});
        const std::string size = std::to_string(recording.cols) + "x" + std::to_string(recording.rows) + " ";
        long column = -1;
        long row = -1;
        if (pane.out.compare(0, size.size(), size) != 0 ||
            std::sscanf(pane.out.c_str() + size.size(), "%ld %ld", &column, &row) != 2) {
            throw std::runtime_error("tmux oracle: the pane is not " + size + "but " + pane.out);
        }
        text.push_back(cursorLine(column, row));
        screens.push_back(std::move(text));
    }
    return screens;
}

} // namespace conformance
