// The desktop layer: the one conversion between upward and Qt coordinates, the tray icon's picture
// and click filter, and what the global input says where there is no X11 session.
#include "platform/EwmhHints.h"
#include "platform/Geometry.h"
#include "platform/GlobalInput.h"
#include "platform/StatusTrayIcon.h"
#include "platform/TrayIconImage.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(DesktopGeometry, UpwardRectsTurnIntoQtRectsAndBack) {
    // A primary screen whose bottom edge is at Qt y 900.
    struct Case {
        QRectF up;
        QRect qt;
    };
    const Case cases[] = {
        {{582, 392, 860, 480}, {582, 28, 860, 480}},
        {{0, 0, 1440, 876}, {0, 24, 1440, 876}},
        {{100.4, 10.6, 50, 20}, {100, 869, 50, 20}},
        {{1440, 200, 1280, 1024}, {1440, -324, 1280, 1024}}, // a taller screen to the right
    };
    for (const Case& c : cases) {
        EXPECT_EQ(geometry::fromBottomUp(c.up, 900), c.qt);
        EXPECT_EQ(geometry::fromBottomUp(geometry::toBottomUp(QRectF(c.qt), 900), 900), c.qt);
    }
    EXPECT_EQ(geometry::pointToBottomUp(QPointF(10, 100), 900), QPointF(10, 800));
}

TEST(TrayIcon, DrawnInInkThatStandsOutAndDimmedForTheBell) {
    for (auto variant : {trayicon::Variant::dark, trayicon::Variant::light}) {
        const QImage image = trayicon::render(36, variant, false).toImage();
        const QImage dimmed = trayicon::render(36, variant, true).toImage();
        // The pointer's filled middle and the empty middle of the frame.
        const QColor ink = image.pixelColor(18, 33);
        EXPECT_EQ(ink.alpha(), 255);
        EXPECT_EQ(ink.lightness() > 128, variant == trayicon::Variant::light);
        EXPECT_EQ(image.pixelColor(18, 5).alpha(), 0);
        EXPECT_NEAR(dimmed.pixelColor(18, 33).alphaF(), 0.35, 0.02);
    }
    EXPECT_FALSE(trayicon::icon(trayicon::Variant::dark, false).availableSizes().isEmpty());
}

TEST(TrayIcon, ADoubleClickActsOnce) {
    TrayClickFilter filter(400);
    EXPECT_TRUE(filter.accept(QSystemTrayIcon::Trigger, 1000));
    EXPECT_FALSE(filter.accept(QSystemTrayIcon::Trigger, 1150)) << "the second press of a double click";
    EXPECT_FALSE(filter.accept(QSystemTrayIcon::DoubleClick, 1160));
    EXPECT_TRUE(filter.accept(QSystemTrayIcon::Trigger, 1700));
    EXPECT_FALSE(filter.accept(QSystemTrayIcon::Context, 3000)) << "a right click opens the menu instead";
    EXPECT_TRUE(filter.accept(QSystemTrayIcon::DoubleClick, 3000)) << "a lone double click still acts";
}

TEST(GlobalInput, WithoutX11NothingIsGrabbedAndTheUserIsToldWhy) {
    GlobalInput input;
    const GlobalInput::GrabResult result = input.grabHotKey(0x60, 4);
    EXPECT_EQ(result, GlobalInput::GrabResult::notX11);
    EXPECT_FALSE(input.isHotKeyGrabbed());
    EXPECT_FALSE(input.hasRawInput());
    EXPECT_TRUE(GlobalInput::describe(result).contains("X11"));
    EXPECT_TRUE(GlobalInput::describe(GlobalInput::GrabResult::taken).contains("Another program"));
    EXPECT_TRUE(GlobalInput::describe(GlobalInput::GrabResult::grabbed).isEmpty());
    input.setWatchClicks(true); // harmless without a server
    EXPECT_TRUE(ewmh::isOnCurrentDesktop(0));
    EXPECT_FALSE(ewmh::currentDesktop().has_value());
}
