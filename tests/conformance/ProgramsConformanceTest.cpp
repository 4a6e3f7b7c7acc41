// Everyday programs run in a pseudo-terminal; the screens they leave on our terminal are compared
// with libvterm's and tmux's screens after the same bytes.
#include "conformance/Conformance.h"
#include "conformance/PtyHost.h"

#include <clocale>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace conformance;
namespace fs = std::filesystem;

namespace {

void expectConformant(const Recording& recording) {
    for (const std::string& problem : conformanceProblems(recording)) ADD_FAILURE() << problem;
}

PtyCommand command(std::vector<std::string> argv) {
    return PtyCommand{std::move(argv), 80, 24, ""};
}

// A directory for the files a program opens, removed at the end.
class FileDir {
public:
    FileDir() {
        std::string dirTemplate = (fs::temp_directory_path() / "dunmar-conformance-files-XXXXXX").string();
        if (mkdtemp(dirTemplate.data())) path_ = dirTemplate;
    }
    ~FileDir() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    FileDir(const FileDir&) = delete;
    FileDir& operator=(const FileDir&) = delete;

    const std::string path() const { return path_.string(); }

    std::string write(const std::string& name, const std::string& text) const {
        const fs::path file = path_ / name;
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }

private:
    fs::path path_;
};

// Numbered lines of text, every seventh longer than the screen and every fifth with a tab.
std::string numberedLines(int count) {
    std::ostringstream text;
    for (int i = 1; i <= count; ++i) {
        text << "line " << (i < 10 ? "00" : i < 100 ? "0" : "") << i << ":";
        if (i % 5 == 0) text << "\tafter a tab";
        text << " the quick brown fox jumps over the lazy dog";
        if (i % 7 == 0) text << ", and this line goes on past the right edge of an eighty-column screen";
        text << "\n";
    }
    return text.str();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(ProgramsConformance, SeqScrollsTwentyThousandLines) {
    PtyHost host(command({"seq", "1", "20000"}), "seq");
    ASSERT_EQ(host.waitForExit(), 0) << host.describe();
    host.snapshot("end");
    EXPECT_TRUE(host.screenHas("20000"));
    expectConformant(host.recording());
}

TEST(ProgramsConformance, LsLongColouredListing) {
    PtyHost host(command({"ls", "--color=always", "-la", "/usr/bin"}), "ls");
    ASSERT_EQ(host.waitForExit(), 0) << host.describe();
    host.snapshot("end");
    EXPECT_NE(host.recording().bytes.find("\x1b[0m"), std::string::npos) << "ls wrote no colours";
    expectConformant(host.recording());
}

TEST(ProgramsConformance, PrintfWideAndCombiningCharacters) {
    const std::string ascii78(78, '-');
    const std::string text = "CJK: 中文字符 日本語のテキスト 한국어 텍스트\n"
                             "Fullwidth: ＡＢＣ１２３ emoji: 😀🎉🚀 end\n"
                             "Composed: e\u0301 a\u0308 n\u0303 c\u0327 A\u030A o\u0302\u0301\n"
                             "Not composing: x\u0301 q\u0308 end\n" +
                             ascii78 + "+中 wraps whole\n" + ascii78 + "中 fills the row\n" +
                             "中文字\rab overwrites a left half\n" + "end of the wide and combining test\n";
    PtyHost host(command({"printf", "%s", text}), "printf");
    ASSERT_EQ(host.waitForExit(), 0) << host.describe();
    host.snapshot("end");
    EXPECT_TRUE(host.screenHas("é ä ñ ç Å ố"));
    EXPECT_TRUE(host.screenHas("x\u0301 q\u0308 end"));
    expectConformant(host.recording());
}

TEST(ProgramsConformance, PrintfOverwritesTheRightHalfOfAWideCharacter) {
    PtyHost host(command({"printf", "%s", "中文字\r\x1b[1CZ overwrites a right half\n"}), "printf right half");
    ASSERT_EQ(host.waitForExit(), 0) << host.describe();
    host.snapshot("end");
    EXPECT_TRUE(host.screenHas(" Z overwrites a right half"));
    expectConformant(host.recording());
}

TEST(ProgramsConformance, TputClearCupCsrIlDlEch) {
    // Twenty-two numbered lines, then a scroll region with scrolling, insertion and deletion of
    // lines and erasure of characters inside and around it, all through the terminfo entry.
    const std::string script = R"(
tput clear
i=1
while [ $i -le 22 ]; do printf 'row %02d: text that fills part of the line\n' $i; i=$((i+1)); done
tput csr 4 12
tput cup 12 0; printf 'scrolls the region\nand again'
tput cup 6 0; tput il 2; printf 'inserted two lines above me'
tput cup 9 3; tput dl 1
tput cup 2 5; tput ech 6
tput cup 3 10; tput el
tput cup 14 8; tput el1
tput cup 16 4; tput ich 3; printf '>>>'
tput cup 17 4; tput dch 5
tput csr 0 23
tput cup 19 10; printf 'placed by cup 19 10'
tput cup 23 0
)";
    PtyHost host(command({"sh", "-c", script}), "tput");
    ASSERT_EQ(host.waitForExit(), 0) << host.describe();
    host.snapshot("end");
    EXPECT_TRUE(host.screenHas("placed by cup 19 10"));
    expectConformant(host.recording());
}

// One key press in a full-screen program and what shows that it has been handled.
struct KeyStep {
    const char* keys;
    const char* label;
    const char* shows;          // text that appears
    const char* gone = nullptr; // text that disappears
};

void runSteps(PtyHost& host, std::initializer_list<KeyStep> steps) {
    for (const KeyStep& step : steps) {
        host.send(step.keys);
        const bool handled = host.waitUntil(
            [&] { return host.screenHas(step.shows) && !(step.gone && host.screenHas(step.gone)); });
        ASSERT_TRUE(handled) << step.label << "\n" << host.describe();
        host.snapshot(step.label);
    }
}

TEST(ProgramsConformance, LessPagesAFileAndQuits) {
    FileDir files;
    files.write("numbers.txt", numberedLines(300));
    PtyHost host({{"sh", "-c", "echo before less; less numbers.txt; echo after less"}, 80, 24, files.path()},
                 "less");
    ASSERT_TRUE(host.waitUntil([&] { return host.screenHas("line 001:") && host.screenHas("numbers.txt"); }))
        << host.describe();
    host.snapshot("first page");
    runSteps(host, {
                       {" ", "next page", "line 041:"},
                       {"d", "half page down", "line 050:", "line 025:"},
                       {"G", "end of file", "(END)"},
                       {"g", "back to the top", "line 001:"},
                       {"/line 150\r", "search", "line 150:"},
                       {"k", "one line up", "line 149:"},
                   });
    host.send("q");
    ASSERT_EQ(host.waitForExit(), 0) << host.describe();
    host.snapshot("after quit");
    EXPECT_TRUE(host.screenHas("before less"));
    EXPECT_TRUE(host.screenHas("after less"));
    expectConformant(host.recording());
}

TEST(ProgramsConformance, ViOpensEditsAndQuits) {
    FileDir files;
    const std::string file = files.write("notes.txt", numberedLines(100));
    // A key code that starts with ESC is taken as a lone ESC after 50 ms instead of vim's
    // default second, as most users configure it.
    PtyHost host(
        {{"sh", "-c", "echo before vi; vim.tiny --cmd 'set ttimeoutlen=50' notes.txt; echo after vi"},
         80,
         24,
         files.path()},
        "vi");
    ASSERT_TRUE(host.waitUntil([&] { return host.screenHas("line 001:") && host.screenHas("notes.txt"); }))
        << host.describe();
    host.snapshot("opened");
    runSteps(host, {
                       {"\x06", "page down", "line 030:"},
                       {"\x02", "page up", "line 001:"},
                       {"3Gdd", "line deleted", "line 004:", "line 003:"},
                       {"Oinserted by the test\x1b", "line inserted", "inserted by the test", "-- INSERT --"},
                       {"5GA appended\x1b", "text appended", " appended", "-- INSERT --"},
                       {":%s/quick/slow/\r", "substituted", "slow brown", "quick brown"},
                       {"G", "last line", "line 100:"},
                   });
    host.send(":wq\r");
    ASSERT_EQ(host.waitForExit(), 0) << host.describe();
    host.snapshot("after quit");
    EXPECT_TRUE(host.screenHas("after vi"));

    const std::string saved = readFile(file);
    EXPECT_NE(saved.find("inserted by the test\n"), std::string::npos);
    EXPECT_NE(saved.find("dog appended\n"), std::string::npos);
    EXPECT_EQ(saved.find("line 003:"), std::string::npos);
    EXPECT_EQ(saved.find("quick"), std::string::npos);
    expectConformant(host.recording());
}

namespace {

std::size_t countOf(const std::string& haystack, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1)) {
        ++count;
    }
    return count;
}

// Types a long command line that wraps (with wide characters in it), edits it in the middle and
// at both ends, runs it, and recalls it from the history: the line editor's redrawing of a wrapped
// line is cursor movement, erasing and inserting at the edges of rows.
void editLongLine(PtyHost& host, const std::string& prompt) {
    const auto prompts = [&] { return countOf(host.recording().bytes, prompt); };
    ASSERT_TRUE(host.waitUntil([&] { return prompts() >= 1; })) << host.describe();
    host.snapshot("prompt");
    host.send("echo " + std::string(100, 'x') + " 中文字符 end");
    ASSERT_TRUE(host.waitForScreenText("字符 end")) << host.describe();
    host.snapshot("long line typed");
    host.send("\x01\x1b[C\x1b[C\x1b[CXYZ");
    ASSERT_TRUE(host.waitForScreenText("echXYZo")) << host.describe();
    host.snapshot("inserted at the start");
    host.send("\x1b[D\x1b[D\x1b[D\x7f\x05\x7f\x7f\x7f\x7f");
    ASSERT_TRUE(host.waitUntil([&] { return host.screenHas("ecXYZo") && !host.screenHas("end"); }))
        << host.describe();
    host.snapshot("deleted in the middle and at the end");
    host.send("\r");
    ASSERT_TRUE(host.waitUntil([&] { return prompts() >= 2; })) << host.describe();
    host.snapshot("ran");
    host.send("for i in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22; do echo line $i; done\r");
    ASSERT_TRUE(host.waitUntil([&] { return prompts() >= 3; })) << host.describe();
    host.snapshot("scrolled");
    host.send("\x1b[A\x1b[A");
    ASSERT_TRUE(host.waitForScreenText("ecXYZo")) << host.describe();
    host.snapshot("recalled from the history");
    host.send("\x15");
    ASSERT_TRUE(host.waitUntil([&] { return !host.screenHas("ecXYZo"); })) << host.describe();
    host.snapshot("line killed");
    host.send("exit\r");
    EXPECT_EQ(host.waitForExit(), 0) << host.describe();
    host.snapshot("after exit");
}

} // namespace

namespace {

// The columns the C library gives a UTF-8 text (the widths every line editor uses).
int columnsOf(const std::string& text) {
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    const locale_t before = uselocale(utf8);
    std::mbstate_t state{};
    std::wstring wide(text.size(), L'\0');
    const char* src = text.c_str();
    const std::size_t n = std::mbsrtowcs(wide.data(), &src, wide.size(), &state);
    const int columns = n == std::size_t(-1) ? -1 : wcswidth(wide.c_str(), n);
    uselocale(before);
    freelocale(utf8);
    return columns;
}

// Edits a line holding characters whose widths the shell takes from the C library (a wide emoji,
// a sequence joined by U+200D, Thai marks, a mark with no precomposed form): the shell moves its
// cursor over them by those widths, so our cursor must stand where the shell thinks it is, and the
// screen must match the other terminals'.
void editLineOfWidths(PtyHost& host, const std::string& prompt) {
    const auto atColumnOf = [&](const std::string& before) {
        return host.terminal().cursorX() == columnsOf(prompt + before);
    };
    ASSERT_TRUE(host.waitUntil([&] { return atColumnOf("") && host.screenHas(prompt.substr(0, prompt.size() - 1)); }))
        << host.describe();
    const std::string head = "echo \u2705 \U0001F469\u200D\U0001F4BB \u0E01\u0E35\u0E48 x\u0332";
    host.send(head + " end");
    ASSERT_TRUE(host.waitUntil([&] { return host.screenHas("\u0332 end") && atColumnOf(head + " end"); }))
        << host.describe();
    host.snapshot("typed");
    host.send("\x1b[D\x1b[D\x1b[DY");
    ASSERT_TRUE(host.waitUntil([&] { return host.screenHas("\u0332 Yend") && atColumnOf(head + " Y"); }))
        << host.describe();
    host.snapshot("inserted after the marks");
    host.send("\x01\x1b[C\x1b[C\x1b[C\x1b[C\x1b[C\x1b[CZ");
    ASSERT_TRUE(host.waitUntil([&] { return host.screenHas("\u2705Z ") && atColumnOf("echo \u2705Z"); }))
        << host.describe();
    host.snapshot("inserted after the wide emoji");
    host.send("\r");
    ASSERT_TRUE(host.waitUntil([&] { return host.screenHas("\u2705Z \U0001F469") && host.terminal().cursorX() ==
                                                                                  columnsOf(prompt); }))
        << host.describe();
    host.snapshot("ran");
    host.send("exit\r");
    EXPECT_EQ(host.waitForExit(), 0) << host.describe();
}

} // namespace

TEST(ProgramsConformance, BashEditsALineOfWideAndZeroWidthCharacters) {
    PtyHost host({{"sh", "-c", "PS1='prompt$ ' exec bash --norc --noprofile -i"}, 80, 24, ""}, "bash widths");
    editLineOfWidths(host, "prompt$ ");
    expectConformant(host.recording());
}

TEST(ProgramsConformance, ZshEditsALineOfWideAndZeroWidthCharacters) {
    // Zsh shows marks after their base only with this option; otherwise it spells them out.
    PtyHost host({{"sh", "-c", "PS1='prompt> ' exec zsh -f -o combiningchars -i"}, 80, 24, ""}, "zsh widths");
    editLineOfWidths(host, "prompt> ");
    expectConformant(host.recording());
}

TEST(ProgramsConformance, BashEditsALongCommandLine) {
    PtyHost host({{"sh", "-c", "PS1='prompt$ ' exec bash --norc --noprofile -i"}, 80, 24, ""}, "bash");
    editLongLine(host, "prompt$ ");
    expectConformant(host.recording());
}

TEST(ProgramsConformance, ZshEditsALongCommandLine) {
    PtyHost host({{"sh", "-c", "PS1='prompt> ' exec zsh -f -i"}, 80, 24, ""}, "zsh");
    editLongLine(host, "prompt> ");
    expectConformant(host.recording());
}
