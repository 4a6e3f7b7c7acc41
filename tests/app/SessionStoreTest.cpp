// Saving is skipped while the saved tabs are being rebuilt, so a restore that stops halfway leaves
// the stored list whole.
#include "app/session/SessionStore.h"

#include "platform/Defaults.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace session;

namespace {

SessionSnapshot snapshotWith(int tabCount) {
    SessionSnapshot s;
    for (int i = 0; i < tabCount; ++i) {
        SavedTab t;
        t.primary = {"/bin/sh", "/srv", QString::number(i)};
        s.tabs.push_back(t);
    }
    s.activeTab = tabCount - 1;
    s.sidebarOrder = {"git", "picker", "ssh"};
    return s;
}

} // namespace

TEST(SessionStore, RestoringSavesNothingUntilItEnds) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    SessionStore store(defaults);
    ASSERT_TRUE(store.save([] { return snapshotWith(3); }));
    const QVariant stored = defaults.object(kSessionTabs);
    ASSERT_EQ(stored.toList().size(), 3);

    const std::optional<RestorePlan> plan = store.restorePlan();
    ASSERT_TRUE(plan.has_value());
    int built = 0;
    {
        auto guard = store.beginRestore();
        EXPECT_TRUE(store.isRestoring());
        // Each rebuilt tab asks for a save, as tab creation always does; none may reach the store.
        for (int i = 1; i <= static_cast<int>(plan->tabs.size()); ++i) {
            EXPECT_FALSE(store.save([&] {
                ++built;
                return snapshotWith(i);
            }));
            EXPECT_EQ(defaults.object(kSessionTabs), stored)
                << "a crash now would lose the tabs not yet rebuilt";
        }
        { auto inner = store.beginRestore(); }
        EXPECT_TRUE(store.isRestoring()) << "a nested restore does not end the outer one";
    }
    EXPECT_EQ(built, 0) << "nothing is even collected while restoring";
    EXPECT_FALSE(store.isRestoring());

    // The one save at the end writes the whole rebuilt state.
    EXPECT_TRUE(store.save([] { return snapshotWith(3); }));
    EXPECT_EQ(defaults.object(kSessionActiveTab).toInt(), 2);
}

TEST(SessionStore, ASaveWithoutAWindowKeepsTheStoredFrame) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    SessionStore store(defaults);
    SessionSnapshot withWindow = snapshotWith(1);
    withWindow.windowFrame = QRectF(5, 6, 700, 400);
    store.save([&] { return withWindow; });
    store.save([] { return snapshotWith(2); });
    EXPECT_EQ(defaults.string(kWindowFrame), "{{5, 6}, {700, 400}}");
    EXPECT_EQ(defaults.array(kSessionTabs).size(), 2);
}
