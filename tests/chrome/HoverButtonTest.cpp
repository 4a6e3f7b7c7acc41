#include "chrome/HoverButton.h"

#include "ChromeTestSupport.h"
#include "chrome/BadgeButton.h"
#include "chrome/SymbolHoverButton.h"
#include "chrome/SymbolImage.h"
#include "chrome/TabCloseButton.h"

#include <QAccessible>
#include <QFontInfo>
#include <QImage>
#include <gtest/gtest.h>
#include <memory>

using namespace chrometest;

namespace {

const QColor kNormal = chrome::clear();
const QColor kHover = chrome::rgb(0.3, 0.55, 1.0, 0.12);
const QColor kPress = chrome::rgb(0.3, 0.55, 1.0, 0.25);

std::unique_ptr<HoverButton> titleButton() {
    auto b = std::make_unique<HoverButton>(QStringLiteral("GIT"), 9, QFont::Bold, chrome::white(0.5),
                                           chrome::rgb(0.95, 0.55, 0.25), kNormal, kHover, kPress, 4);
    b->setGeometry(0, 0, 30, 20);
    b->show();
    return b;
}

struct Clicks {
    int count = 0;
    void attach(BaseHoverButton& b) {
        b.onClick = [this] { ++count; };
    }
};

} // namespace

TEST(HoverButton, PressInsideReleaseOutsideDoesNotClickAndReturnsToRest) {
    for (bool active : {false, true}) {
        SCOPED_TRACE(active ? "active" : "inactive");
        auto b = titleButton();
        Clicks clicks;
        clicks.attach(*b);
        b->setActive(active);
        enter(b.get());
        press(b.get(), {10, 10});
        EXPECT_TRUE(b->isPressed());
        EXPECT_EQ(b->backgroundTarget(), kPress);
        leave(b.get());
        EXPECT_FALSE(b->isPressed());
        release(b.get(), {60, 40});
        EXPECT_EQ(clicks.count, 0);
        finishAnimations(b.get());
        EXPECT_EQ(b->shownBackground(), active ? kHover : kNormal);
    }
}

TEST(HoverButton, OnlyTheReleasePositionDecides) {
    auto b = titleButton();
    Clicks clicks;
    clicks.attach(*b);
    enter(b.get());
    press(b.get(), {10, 10});
    leave(b.get());
    enter(b.get());
    release(b.get(), {12, 8});
    EXPECT_EQ(clicks.count, 1);
    EXPECT_EQ(b->backgroundTarget(), kHover);

    // Without an owner's closure the button still animates and nothing happens.
    b->onClick = nullptr;
    click(b.get());
    EXPECT_EQ(clicks.count, 1);
}

TEST(HoverButton, ActiveStateSurvivesLeavingWhileHovered) {
    auto b = titleButton();
    enter(b.get());
    finishAnimations(b.get());
    b->setActive(true);
    EXPECT_TRUE(b->isActive());
    EXPECT_EQ(b->backgroundTarget(), kHover); // unchanged: the hover look shows already
    leave(b.get());
    finishAnimations(b.get());
    EXPECT_EQ(b->shownBackground(), kHover);
    EXPECT_EQ(b->titleColor(), b->hoverColor());

    b->setActive(false);
    finishAnimations(b.get());
    EXPECT_EQ(b->shownBackground(), kNormal);
    EXPECT_EQ(b->titleColor(), b->normalColor());
}

TEST(HoverButton, TitleButtonDoesNotGrowButSymbolButtonSpringsTo112) {
    auto title = titleButton();
    enter(title.get());
    EXPECT_DOUBLE_EQ(title->scaleTarget(), 1.0);

    SymbolHoverButton symbol(QStringLiteral("folder"), 11, chrome::white(0.5), chrome::rgb(0.35, 0.65, 1.0),
                             kNormal, kHover, kPress, 4);
    symbol.setGeometry(0, 0, 26, 20);
    symbol.show();
    enter(&symbol);
    EXPECT_DOUBLE_EQ(symbol.scaleTarget(), 1.12);
    // The spring overshoots: somewhere along the way the symbol is larger than where it settles.
    qreal peak = 0;
    const auto anim = symbol.findChildren<QVariantAnimation*>();
    for (QVariantAnimation* a : anim) {
        if (a->endValue().toReal() != 1.12) continue;
        for (int t = 0; t <= a->duration(); t += 5) {
            a->setCurrentTime(t);
            peak = std::max(peak, symbol.shownScale());
        }
    }
    EXPECT_GT(peak, 1.12);
    finishAnimations(&symbol);
    EXPECT_DOUBLE_EQ(symbol.shownScale(), 1.12);
    leave(&symbol);
    finishAnimations(&symbol);
    EXPECT_DOUBLE_EQ(symbol.shownScale(), 1.0);
}

TEST(SymbolHoverButton, SymbolsTintAndUnknownNamesShowNothing) {
    SymbolHoverButton b(QStringLiteral("mic"), 11, chrome::white(0.5), chrome::rgb(0.55, 0.75, 1.0), kNormal,
                        kHover, kPress, 4);
    EXPECT_TRUE(b.hasImage());
    b.setSymbol(QStringLiteral("mic.fill"), chrome::systemRed());
    EXPECT_EQ(b.tint(), chrome::systemRed());
    b.setSymbol(QStringLiteral("mic"));
    EXPECT_EQ(b.tint(), b.normalColor());
    b.setSymbol(QStringLiteral("no.such.symbol"));
    EXPECT_FALSE(b.hasImage());
    b.resize(26, 20);
    EXPECT_FALSE(b.grab().isNull()); // draws, without the image

    // Active sets the hover tint at once; the tooltip names the button.
    b.setActive(true);
    EXPECT_EQ(b.tint(), b.hoverColor());
    b.setToolTip(QStringLiteral("Open File"));
    EXPECT_EQ(b.accessibleName(), QStringLiteral("Open File"));
}

TEST(SymbolImage, EveryShippedSymbolRendersInItsTint) {
    const QStringList names = SymbolImage::names();
    for (const char* wanted : {"mic", "mic.fill", "mic.slash", "folder", "square.and.arrow.down",
                               "square.and.arrow.down.on.square", "eye", "printer", "curlybraces",
                               "exclamationmark.triangle.fill"})
        EXPECT_TRUE(names.contains(QLatin1String(wanted))) << wanted;
    for (const QString& name : names) {
        const QImage img = SymbolImage::render(name, 24, QColor(255, 0, 0), 2.0).toImage();
        ASSERT_FALSE(img.isNull()) << name.toStdString();
        EXPECT_EQ(img.width(), 48);
        int red = 0;
        int other = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c.alpha() < 128) continue;
                (c.red() > 200 && c.green() < 40 && c.blue() < 40) ? ++red : ++other;
            }
        EXPECT_GT(red, 20) << name.toStdString();
        EXPECT_EQ(other, 0) << name.toStdString();
    }
    EXPECT_TRUE(SymbolImage::render(QStringLiteral("gearshape.9"), 24, Qt::white).isNull());
    EXPECT_TRUE(SymbolImage::render(QString(), 24, Qt::white).isNull());
}

TEST(BadgeButton, KeysAndLabelFaces) {
    BadgeButton plain(QStringLiteral("⌘⇧"), QStringLiteral("D"));
    // No accent: blue keys at 0.6 and a blue label at 0.85.
    const QColor blue = chrome::rgb(0.4, 0.65, 1.0);
    ASSERT_EQ(plain.keyRuns().size(), 2);
    EXPECT_EQ(plain.keyRuns()[0].color, chrome::withAlpha(blue, 0.6));
    EXPECT_EQ(plain.labelRun().color, chrome::withAlpha(blue, 0.85));
    // Command at 13, Shift at 12 raised by one.
    EXPECT_EQ(plain.keyRuns()[0].font, chrome::systemFont(13));
    EXPECT_EQ(plain.keyRuns()[1].font, chrome::systemFont(12));
    EXPECT_DOUBLE_EQ(plain.keyRuns()[1].baselineShift, 1.0);
    // A letter label is monospaced bold 11; a symbol label the proportional face at 13.5.
    EXPECT_EQ(plain.labelRun().font, chrome::monoFont(11, QFont::Bold));
    BadgeButton tab(QStringLiteral("⌥"), QStringLiteral("⇥"), chrome::rgb(0.5, 0.85, 0.5));
    EXPECT_EQ(tab.labelRun().font, chrome::systemFont(13.5, QFont::Medium));
    EXPECT_EQ(tab.keyRuns()[0].font, chrome::systemFont(11));
    EXPECT_EQ(tab.sizeHint().height(), 22);

    // Hover brightens the border; the whole badge grows and keeps room for it.
    plain.setHoverScale(1.08);
    plain.setFrame(QRect(10, 11, 30, 22));
    plain.show();
    EXPECT_EQ(plain.frame(), QRect(10, 11, 30, 22));
    enter(&plain);
    EXPECT_EQ(plain.borderColor(), chrome::white(1.0, 0.2));
    EXPECT_DOUBLE_EQ(plain.scaleTarget(), 1.08);
    leave(&plain);
    EXPECT_EQ(plain.borderColor(), chrome::white(1.0, 0.08));
}

TEST(TabCloseButton, FadesWhilePressedAndClicksOnlyInside) {
    TabCloseButton b;
    b.setGeometry(0, 0, 16, 16);
    b.show();
    Clicks clicks;
    clicks.attach(b);
    EXPECT_EQ(b.accessibleName(), QStringLiteral("Close Tab"));
    press(&b, {8, 8});
    finishAnimations(&b);
    EXPECT_DOUBLE_EQ(b.alpha(), 0.5);
    release(&b, {30, 8});
    finishAnimations(&b);
    EXPECT_DOUBLE_EQ(b.alpha(), 1.0);
    EXPECT_EQ(clicks.count, 0);
    click(&b, {8, 8});
    EXPECT_EQ(clicks.count, 1);
}

TEST(HoverButton, AnnouncesItselfAsAPressableButton) {
    auto b = titleButton();
    Clicks clicks;
    clicks.attach(*b);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(b.get());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Button);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("GIT"));
    ASSERT_NE(face->actionInterface(), nullptr);
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count, 1);
}
