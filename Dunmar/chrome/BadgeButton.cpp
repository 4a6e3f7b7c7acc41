#include "chrome/BadgeButton.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

// Symbols such as "⇥" need the proportional face; plain letters take the monospaced one.
bool hasSymbol(const QString& text) {
    for (char32_t c : text.toUcs4())
        if (c > 0x2000) return true;
    return false;
}

} // namespace

BadgeButton::BadgeButton(const QString& keys, const QString& label, std::optional<QColor> accentColor,
                         QWidget* parent)
    : BaseHoverButton(parent), keys_(keys), label_(label), border_(chrome::white(1.0, 0.08)) {
    setBackgroundColors(chrome::white(1.0, 0.05), chrome::white(1.0, 0.12), chrome::white(1.0, 0.2));
    setCornerRadius(3.5);
    const QColor accent = accentColor.value_or(chrome::rgb(0.4, 0.65, 1.0));
    const QColor keysColor = chrome::withAlpha(accent, 0.6);
    const QColor labelColor = chrome::withAlpha(accent, 0.85);
    for (const QString& g : chrome::graphemes(keys)) {
        if (g == QStringLiteral("⇧"))
            keyRuns_ << TextRun{g, chrome::systemFont(12), keysColor, 1.0};
        else if (g == QStringLiteral("⌥"))
            keyRuns_ << TextRun{g, chrome::systemFont(11), keysColor, 0};
        else
            keyRuns_ << TextRun{g, chrome::systemFont(13), keysColor, 0};
    }
    labelRun_ = TextRun{
        label, hasSymbol(label) ? chrome::systemFont(13.5, QFont::Medium) : chrome::monoFont(11, QFont::Bold),
        labelColor, 0};
    setAccessibleName(keys + label);
}

QSize BadgeButton::sizeHint() const {
    const qreal keysWidth = chrome::runsSize(keyRuns_).width();
    const qreal labelWidth = chrome::runsSize({labelRun_}).width();
    return QSize(static_cast<int>(std::ceil(5 + keysWidth + 3 + labelWidth + 6)), 22);
}

void BadgeButton::applyHoverStyle(bool hovered) {
    border_ = chrome::white(1.0, hovered ? 0.2 : 0.08);
    update();
}

void BadgeButton::paintBackground(QPainter& painter, const QRectF& rect) {
    BaseHoverButton::paintBackground(painter, rect);
    QPainterPath path;
    const QRectF edge = rect.adjusted(0.25, 0.25, -0.25, -0.25);
    path.addRoundedRect(edge, cornerRadius(), cornerRadius());
    painter.strokePath(path, QPen(border_, 0.5));
}

void BadgeButton::paintContent(QPainter& painter, const QRectF& rect) {
    const qreal keysWidth = chrome::runsSize(keyRuns_).width();
    const qreal labelWidth = chrome::runsSize({labelRun_}).width();
    // A badge made wider than its content (the footer's minimum width) centres it.
    const qreal needed = 5 + keysWidth + 3 + labelWidth + 6;
    const qreal left = rect.left() + 5 + std::max<qreal>(0, (rect.width() - needed) / 2);
    chrome::drawRunsAt(painter, keyRuns_, left, rect);
    chrome::drawRunsAt(painter, {labelRun_}, left + keysWidth + 3, rect);
}
