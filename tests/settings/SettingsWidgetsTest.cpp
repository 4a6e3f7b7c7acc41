#include "SettingsTestSupport.h"
#include "settings/MiniSlider.h"
#include "settings/ReportCoalescer.h"
#include "settings/ResetRowView.h"
#include "settings/SegmentedControl.h"
#include "settings/SettingsRowView.h"
#include "settings/SettingsToggle.h"
#include "settings/VertCenteredTextField.h"

#include <QSignalSpy>
#include <QTest>

using namespace chrometest;

TEST(SettingsToggle, ClicksFlipAndReportButCodeOnlyAnimates) {
    SettingsToggle toggle(false);
    toggle.show();
    QList<bool> changes;
    toggle.onChange = [&changes](bool on) { changes << on; };
    click(&toggle);
    click(&toggle);
    EXPECT_EQ(changes, (QList<bool>{true, false}));
    EXPECT_FALSE(toggle.isOn());

    toggle.setOn(true, false);
    EXPECT_TRUE(toggle.isOn());
    EXPECT_TRUE(changes.size() == 2) << "a change from code reports nothing";
    // Even without animation asked for, the thumb slides over the usual time.
    EXPECT_LT(toggle.shownPosition(), 1.0);
    EXPECT_EQ(toggle.positionTarget(), 1.0);
    finishAnimations(&toggle);
    EXPECT_EQ(toggle.shownPosition(), 1.0);

    enter(&toggle);
    EXPECT_DOUBLE_EQ(toggle.scaleTarget(), SettingsToggle::kHoverScale);
    leave(&toggle);
    EXPECT_DOUBLE_EQ(toggle.scaleTarget(), 1.0);
}

TEST(ResetRowView, DisabledRowNeitherHoversNorClicks) {
    ResetRowView row;
    row.resize(200, 28);
    row.show();
    int clicks = 0;
    row.onClick = [&clicks] { ++clicks; };
    row.setDisabled(true);
    row.setBackground(ResetRowView::disabledBg());
    enter(&row);
    EXPECT_FALSE(row.isHovered());
    EXPECT_EQ(row.backgroundTarget(), ResetRowView::disabledBg());
    click(&row);
    EXPECT_EQ(clicks, 0);
    leave(&row);
    EXPECT_EQ(row.backgroundTarget(), ResetRowView::disabledBg());
}

TEST(ResetRowView, ReleaseOutsideRestoresWithoutClicking) {
    ResetRowView row;
    row.resize(200, 28);
    row.show();
    int clicks = 0;
    row.onClick = [&clicks] { ++clicks; };
    enter(&row);
    EXPECT_EQ(row.backgroundTarget(), ResetRowView::hoverBg());
    press(&row, {20, 10});
    EXPECT_EQ(row.background(), ResetRowView::pressBg());
    release(&row, {20, 60});
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(row.background(), ResetRowView::hoverBg());
    click(&row, {20, 10});
    EXPECT_EQ(clicks, 1);
    leave(&row);
    EXPECT_EQ(row.backgroundTarget(), ResetRowView::normalBg());
}

TEST(SettingsRowView, HoverLightsTheRowAndDimsItsControl) {
    SettingsRowView row;
    row.resize(300, 28);
    auto* control = new QWidget(&row);
    row.setHoverControl(control);
    row.show();
    enter(&row);
    EXPECT_EQ(row.backgroundTarget(), SettingsRowView::hoverBg());
    finishAnimations(&row);
    EXPECT_NEAR(chrome::widgetAlpha(control), SettingsRowView::kHoveredControlAlpha, 1e-9);
    leave(&row);
    finishAnimations(&row);
    EXPECT_EQ(row.backgroundTarget(), SettingsRowView::normalBg());
    EXPECT_NEAR(chrome::widgetAlpha(control), 1.0, 1e-9);
}

TEST(SegmentedControl, ClickSelectsAndAnnouncesEvenTheSelectedSegment) {
    SegmentedControl control({"zsh", "bash", "sh"}, 0);
    control.show();
    QSignalSpy spy(&control, &SegmentedControl::segmentClicked);
    click(&control, control.segmentRect(2).center());
    click(&control, control.segmentRect(2).center());
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 2);
    EXPECT_EQ(control.selectedSegment(), 2);
    control.setSelectedSegment(7);
    EXPECT_EQ(control.selectedSegment(), -1);
    EXPECT_EQ(spy.count(), 2);
}

TEST(MiniSlider, PositionsMapToTheRangeAndClamp) {
    MiniSlider slider(8, 18, 10);
    slider.resize(111, MiniSlider::kHeight);
    const qreal r = MiniSlider::kKnobDiameter / 2;
    EXPECT_DOUBLE_EQ(slider.valueAt(r), 8);
    EXPECT_DOUBLE_EQ(slider.valueAt(111 - r), 18);
    EXPECT_DOUBLE_EQ(slider.valueAt(-50), 8);
    EXPECT_DOUBLE_EQ(slider.valueAt(500), 18);
    EXPECT_NEAR(slider.valueAt(slider.positionOf(13.0)), 13.0, 1e-9);
    slider.setValue(40);
    EXPECT_DOUBLE_EQ(slider.value(), 18);
}

TEST(ReportCoalescer, FirstValueAtOnceThenTheNewestPerIntervalAndTheLastOnFlush) {
    QList<int> reported;
    ReportCoalescer coalescer([&reported](const QVariant& v) { reported << v.toInt(); }, 30);
    for (int i = 1; i <= 10; ++i) coalescer.push(i);
    EXPECT_EQ(reported, QList<int>{1});
    EXPECT_TRUE(coalescer.hasPending());
    // Without a flush the held value goes out when the interval ends.
    QTRY_COMPARE_WITH_TIMEOUT(reported, (QList<int>{1, 10}), 2000);
    EXPECT_FALSE(coalescer.hasPending());

    // Within the next interval values are held; a flush sends the newest at once.
    coalescer.push(11);
    coalescer.push(12);
    coalescer.flush();
    EXPECT_EQ(reported.last(), 12);
    const qsizetype count = reported.size();
    coalescer.flush();
    EXPECT_EQ(reported.size(), count) << "nothing held, nothing sent";
}

TEST(VertCenteredTextField, TextStartsAtTheInsetAndSitsInTheMiddle) {
    VertCenteredTextField field(QStringLiteral("HHHH"));
    field.resize(240, 40);
    field.setLeftPad(10);
    QPalette palette = field.palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    field.setPalette(palette);
    field.show();
    // The ink of the text, found in the drawn pixels.
    const QImage image = field.grab().toImage();
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) > 128) ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 10);
    EXPECT_LE(ink.left(), 16);
    EXPECT_NEAR(ink.center().y(), field.height() / 2.0, 3);

    // Editing happens where the text is drawn: clicks at the ink's two ends put the cursor before
    // the first and after the last character.
    click(&field, QPointF(ink.left() + 1, ink.center().y()));
    EXPECT_EQ(field.cursorPosition(), 0);
    click(&field, QPointF(ink.right() + 2, ink.center().y()));
    EXPECT_EQ(field.cursorPosition(), 4);
}
