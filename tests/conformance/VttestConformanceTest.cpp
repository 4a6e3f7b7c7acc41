// vttest driven through its menus in a pseudo-terminal; each screen it shows before "Push
// <RETURN>" is compared with libvterm's and tmux's screens after the same bytes.
#include "conformance/Conformance.h"
#include "conformance/PtyHost.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

using namespace conformance;

namespace {

constexpr const char* kMenuPrompt = "Enter choice number";
constexpr const char* kPause = "Push <RETURN>";

// Chooses one item of the menu on show and takes a snapshot, labelled "<label>.<n>", at every
// pause until vttest shows a menu again. Returns the number of screens.
int choose(PtyHost& host, const std::string& item, const std::string& label) {
    std::size_t from = host.streamSize();
    host.send(item + "\r");
    int screen = 0;
    for (;;) {
        const std::string& bytes = host.recording().bytes;
        const bool progressed = host.waitUntil([&] {
            return bytes.find(kPause, from) != std::string::npos ||
                   bytes.find(kMenuPrompt, from) != std::string::npos;
        });
        if (!progressed) {
            ADD_FAILURE() << "vttest stalled in " << label << " after screen " << screen << "\n"
                          << host.describe();
            return screen;
        }
        const std::size_t pause = bytes.find(kPause, from);
        const std::size_t menu = bytes.find(kMenuPrompt, from);
        if (pause == std::string::npos || (menu != std::string::npos && menu < pause)) return screen;
        ++screen;
        host.snapshot(label + "." + std::to_string(screen));
        from = host.streamSize();
        host.send("\r");
    }
}

// Runs menu items given as space-separated paths: "1" is a main-menu item, "9/3" item 3 of the
// submenu of item 9 (left again with 0).
void runItems(PtyHost& host, const std::string& paths) {
    std::istringstream in(paths);
    std::string path;
    while (in >> path) {
        std::string label;
        std::istringstream parts(path);
        std::string part;
        int depth = 0;
        while (std::getline(parts, part, '/')) {
            label += (label.empty() ? "" : ".") + part;
            choose(host, part, label);
            ++depth;
        }
        for (int d = 1; d < depth; ++d) choose(host, "0", label + ".back");
    }
}

// Runs vttest at 80 x 24 through the given menu items (see runItems), leaves it, and compares
// every screen it paused on. The geometry 24x80.80 tells vttest that the terminal does not switch
// to 132 columns, so that it draws its 132-column passes at 80 columns.
void expectVttestConformant(const std::string& caseName, const std::string& items, int expectedScreens) {
    PtyHost host({{"vttest", "24x80.80"}, 80, 24, ""}, caseName);
    ASSERT_TRUE(host.waitForScreenText(kMenuPrompt)) << host.describe();
    host.snapshot("main menu");
    runItems(host, items);
    host.send("0\r");
    EXPECT_EQ(host.waitForExit(), 0) << host.describe();
    host.snapshot("after exit");
    // The snapshots besides the menu and the exit are vttest's screens; a script that lost its
    // way through the menus would show fewer.
    EXPECT_EQ(int(host.recording().snapshots.size()) - 2, expectedScreens);
    for (const std::string& problem : conformanceProblems(host.recording())) ADD_FAILURE() << problem;
}

} // namespace

TEST(VttestConformance, CursorMovementsAndScreenFeatures) {
    expectVttestConformant("vttest 1 2", "1 2", 21);
}

TEST(VttestConformance, InsertDeleteAndDoubleSizedCharacters) {
    // Menu 4 leaves double-width rows behind; menu 8 starts by erasing the screen and expects
    // full-width rows afterwards.
    expectVttestConformant("vttest 4 8", "4 8", 20);
}

TEST(VttestConformance, KnownBugsAndResets) {
    // 10/1 (RIS) is left out: vttest waits five seconds after it for the terminal to come back.
    expectVttestConformant("vttest 9 10", "9/1 9/2 9/5 9/7 9/8 9/9 10/3", 26);
}

TEST(VttestConformance, IsoCursorMovementAndEditing) {
    expectVttestConformant("vttest 11",
                           "11/5/1 11/5/2 11/5/3 11/5/4 11/5/5 11/5/6 11/5/7 11/5/8 11/5/9 "
                           "11/6/3 11/6/4 11/6/5 11/6/8 11/6/9 11/7/2 11/7/3 11/7/4 11/7/5 11/7/6",
                           28);
}
