#include "settings/ColorThemeRow.h"

#include "chrome/ChromeStyle.h"
#include "settings/SettingsKeys.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

ColorChipButton::ColorChipButton(int themeIndex, const QString& title, const QColor& chipBG,
                                 const QColor& chipFG, QWidget* parent)
    : QWidget(parent), themeIndex_(themeIndex), title_(title), chipBG_(chipBG), chipFG_(chipFG) {
    setCursor(Qt::ArrowCursor);
    setAccessibleName(title);
}

void ColorChipButton::setSelected(bool selected) {
    selected_ = selected;
    update();
}

void ColorChipButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
    painter.fillPath(path, chipBG_);
    if (selected_)
        painter.setPen(QPen(chrome::rgb(0.4, 0.7, 1.0), 1.5));
    else
        painter.setPen(QPen(chrome::white(1.0, 0.12), 0.5));
    painter.drawPath(path);

    const QFont font = chrome::systemFont(9, selected_ ? QFont::DemiBold : QFont::Normal);
    painter.setFont(font);
    painter.setPen(chipFG_);
    painter.drawText(QRectF(rect()), Qt::AlignCenter, title_);
}

void ColorChipButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (onHoverEnter) onHoverEnter(themeIndex_);
}

void ColorChipButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    pressed_ = false;
    if (onHoverExit) onHoverExit();
}

void ColorChipButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    pressed_ = true;
}

void ColorChipButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    const bool click = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click && onClick) onClick();
}

const QList<QColor>& ColorThemeRow::chipBG() {
    static const QList<QColor> colors{chrome::rgb(0.11, 0.11, 0.13), chrome::rgb(0.96, 0.96, 0.97),
                                      chrome::rgb(0.02, 0.02, 0.02), chrome::rgb(0.2, 0.2, 0.24)};
    return colors;
}

const QList<QColor>& ColorThemeRow::chipFG() {
    static const QList<QColor> colors{chrome::rgb(0.85, 0.85, 0.85), chrome::rgb(0.12, 0.12, 0.14),
                                      chrome::rgb(0.9, 0.9, 0.9), chrome::rgb(0.7, 0.7, 0.75)};
    return colors;
}

const QStringList& ColorThemeRow::chipTitles() {
    static const QStringList titles{QStringLiteral("Dark"), QStringLiteral("Light"), QStringLiteral("OLED"),
                                    QStringLiteral("System")};
    return titles;
}

ColorThemeRow::ColorThemeRow(QWidget* parent) : QWidget(parent) {}

void ColorThemeRow::setupButtons() {
    for (int i = 0; i < chipTitles().size(); ++i) {
        auto* chip = new ColorChipButton(i, chipTitles().at(i), chipBG().at(i), chipFG().at(i), this);
        chip->setSelected(i == savedIdx);
        QPointer<ColorThemeRow> row(this);
        chip->onClick = [row, chip] {
            if (row) row->chipTapped(chip);
        };
        chip->onHoverEnter = [row](int index) {
            if (row && row->onPreview) row->onPreview(index);
        };
        // Leaving a chip shows the saved theme again, as it is at that moment.
        chip->onHoverExit = [row] {
            if (row && row->onPreview) row->onPreview(row->savedIdx);
        };
        buttons_.append(chip);
        chip->show();
    }
    layoutChips();
}

void ColorThemeRow::chipTapped(ColorChipButton* sender) {
    if (!sender || !buttons_.contains(sender)) return;
    savedIdx = sender->themeIndex();
    for (ColorChipButton* chip : buttons_) chip->setSelected(chip->themeIndex() == savedIdx);
    if (onChanged) onChanged(settings::kColorTheme, savedIdx);
}

void ColorThemeRow::resizeEvent(QResizeEvent*) {
    layoutChips();
}

void ColorThemeRow::layoutChips() {
    int x = kLeading;
    const int h = std::max(0, height() - 2 * kChipInset);
    for (ColorChipButton* chip : buttons_) {
        chip->setGeometry(x, kChipInset, kChipWidth, h);
        x += kChipWidth + kChipSpacing;
    }
}
