#include "ChromeTestSupport.h"
#include "chrome/GearButton.h"
#include "chrome/QuitButton.h"
#include "chrome/ShellButton.h"
#include "chrome/SplitIconButton.h"

#include <QSequentialAnimationGroup>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace chrometest;

TEST(ShellButton, ReleaseOutsideDoesNotClickAndHoverLookOutlastsDeactivation) {
    const QColor accent = chrome::rgb(0.45, 0.78, 0.45);
    ShellButton b(QStringLiteral("⌘ 2 bash"), accent);
    b.setGeometry(0, 0, 70, 24);
    b.show();
    int clicks = 0;
    b.onClick = [&] { ++clicks; };

    press(&b, {30, 12});
    EXPECT_EQ(b.backgroundTarget(), chrome::withAlpha(accent, 0.18));
    release(&b, {100, 12});
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b.backgroundTarget(), chrome::clear());

    // Active, then deactivated under the pointer: the hover look stays until the pointer leaves.
    b.setActive(true);
    EXPECT_EQ(b.titleLook(), ShellButton::TitleLook::active);
    EXPECT_EQ(b.backgroundTarget(), chrome::withAlpha(accent, 0.12));
    enter(&b);
    b.setActive(false);
    EXPECT_FALSE(b.isActiveShell());
    EXPECT_EQ(b.titleLook(), ShellButton::TitleLook::active);
    leave(&b);
    EXPECT_EQ(b.titleLook(), ShellButton::TitleLook::inactive);
    EXPECT_EQ(b.backgroundTarget(), chrome::clear());

    enter(&b);
    EXPECT_EQ(b.titleLook(), ShellButton::TitleLook::hovered);
    click(&b);
    EXPECT_EQ(clicks, 1);
}

TEST(ShellButton, CommandGlyphIsLargerAndLowered) {
    const TextRuns runs = ShellButton::styledTitle(QStringLiteral("⌘ 1 zsh"), Qt::white, QFont::Normal);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].text, QStringLiteral("⌘"));
    EXPECT_EQ(runs[0].font, chrome::systemFont(13));
    EXPECT_DOUBLE_EQ(runs[0].baselineShift, -1.5);
    EXPECT_EQ(runs[1].text, QStringLiteral(" 1 zsh"));
    EXPECT_EQ(runs[1].font, chrome::monoFont(9.5));
}

TEST(SplitIconButton, ActiveStateAndHoverColours) {
    SplitIconButton b(true);
    b.setGeometry(0, 0, 20, 20);
    b.show();
    EXPECT_EQ(b.accessibleName(), QStringLiteral("Split Vertically"));
    EXPECT_EQ(SplitIconButton(false).accessibleName(), QStringLiteral("Split Horizontally"));

    // Setting the value it already has does nothing, not even an animation.
    b.setActive(false);
    EXPECT_FALSE(b.iconAnimating());
    b.setActive(true);
    EXPECT_TRUE(b.iconAnimating());
    EXPECT_EQ(b.iconColorTarget(), SplitIconButton::activeIconColor());
    EXPECT_EQ(b.backgroundTarget(), b.hoverBgColor());
    finishAnimations(&b);
    b.setActive(true);
    EXPECT_FALSE(b.iconAnimating());

    // Hovered and active shows the hovered teal; leaving returns to the active teal, not white.
    enter(&b);
    EXPECT_EQ(b.iconColorTarget(), SplitIconButton::hoveredIconColor());
    EXPECT_DOUBLE_EQ(b.iconScaleTarget(), 1.15);
    leave(&b);
    finishAnimations(&b);
    EXPECT_EQ(b.iconColor(), SplitIconButton::activeIconColor());
    EXPECT_DOUBLE_EQ(b.iconScaleTarget(), 1.0);
}

TEST(SplitIconButton, IconIsTwoFramedPanes) {
    const QPainterPath v = SplitIconButton::buildIconPath(true);
    EXPECT_EQ(v.fillRule(), Qt::OddEvenFill);
    EXPECT_TRUE(v.contains(QPointF(2.8, 10)));  // left frame
    EXPECT_FALSE(v.contains(QPointF(5.4, 10))); // inside the left pane
    EXPECT_TRUE(v.contains(QPointF(9.8, 10)));  // divider
    const QPainterPath h = SplitIconButton::buildIconPath(false);
    EXPECT_TRUE(h.contains(QPointF(9, 18 - 8.8))); // divider, measured from the bottom
    EXPECT_FALSE(h.contains(QPointF(9, 18 - 5)));  // inside the lower pane
}

TEST(GearButton, HoverTurnsAnEighthAndGoesAmber) {
    GearButton b;
    b.setGeometry(0, 0, 24, 24);
    b.show();
    enter(&b);
    EXPECT_DOUBLE_EQ(b.rotationTarget(), 45.0);
    EXPECT_EQ(b.gearColorTarget(), GearButton::hoverGearColor());
    leave(&b);
    EXPECT_DOUBLE_EQ(b.rotationTarget(), 0.0);
    EXPECT_EQ(b.gearColorTarget(), GearButton::normalGearColor());

    const QPainterPath gear = GearButton::buildGearPath();
    EXPECT_TRUE(gear.contains(QPointF(12, 12 - 7.5))); // a tooth straight up
    EXPECT_FALSE(gear.contains(QPointF(12, 12)));      // the hole
    EXPECT_TRUE(gear.contains(QPointF(12 + 5, 12)));   // the ring
}

TEST(QuitButton, HoverReddensAndDropsTheStemBeforeItSettles) {
    QuitButton b;
    b.setGeometry(0, 0, 24, 24);
    b.show();
    enter(&b);
    EXPECT_EQ(b.strokeColorTarget(), QuitButton::hoverStrokeColor());
    auto* group = b.findChild<QSequentialAnimationGroup*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->totalDuration(), QuitButton::kDropMs);
    // At the key times the stem is 2.5 down, then 2 up, then home.
    group->setCurrentTime(static_cast<int>(0.3 * QuitButton::kDropMs + 0.5));
    EXPECT_NEAR(b.stemOffset(), 2.5, 0.05);
    group->setCurrentTime(static_cast<int>(0.65 * QuitButton::kDropMs + 0.5));
    EXPECT_NEAR(b.stemOffset(), -2.0, 0.05);
    group->setCurrentTime(QuitButton::kDropMs);
    EXPECT_DOUBLE_EQ(b.stemOffset(), 0.0);
    leave(&b);
    EXPECT_EQ(b.strokeColorTarget(), QuitButton::normalStrokeColor());
}
