#include "chrome/ShellButton.h"

#include "chrome/ChromeAccessibility.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

ShellButton::ShellButton(const QString& title, std::optional<QColor> accent, QWidget* parent)
    : QWidget(parent), bg_(new chrome::Tween(this, QVariant::fromValue(chrome::clear()))),
      labelScale_(new chrome::Tween(this, 1.0)) {
    chrome::installButtonAccessibility();
    if (accent) accent_ = *accent;
    inactiveTitle_ = styledTitle(title, inactiveColor_, QFont::Normal);
    activeTitle_ = styledTitle(title, chrome::white(0.92), QFont::Medium);
    hoveredTitle_ = styledTitle(title, chrome::withAlpha(accent_, 0.85), QFont::Normal);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(title);
}

TextRuns ShellButton::styledTitle(const QString& text, const QColor& color, QFont::Weight weight) {
    TextRuns runs;
    const QFont mono = chrome::monoFont(9.5, weight);
    for (const QString& g : chrome::graphemes(text)) {
        if (g == QStringLiteral("⌘")) {
            runs << TextRun{g, chrome::systemFont(13, weight), color, -1.5};
        } else if (g == QStringLiteral("⌥") || g == QStringLiteral("⇧")) {
            // The monospaced face has no modifier glyphs.
            runs << TextRun{g, chrome::systemFont(11, weight), color, 0};
        } else if (!runs.isEmpty() && runs.back().font == mono) {
            runs.back().text += g; // one run per stretch of the same face
        } else {
            runs << TextRun{g, mono, color, 0};
        }
    }
    return runs;
}

const TextRuns& ShellButton::shownTitle() const {
    switch (look_) {
    case TitleLook::active:
        return activeTitle_;
    case TitleLook::hovered:
        return hoveredTitle_;
    case TitleLook::inactive:
        break;
    }
    return inactiveTitle_;
}

void ShellButton::animateBg(const QColor& to, int durationMs) {
    bg_->animateTo(QVariant::fromValue(to), durationMs, chrome::easeOutCurve());
}

void ShellButton::setActive(bool active) {
    // The footer tells its buttons the active shell every two seconds; only a change animates
    // (an unchanged button repainted the window sixty times a second for the animation's length).
    if (active == activeShell_) return;
    activeShell_ = active;
    if (active) {
        look_ = TitleLook::active;
        animateBg(chrome::withAlpha(accent_, 0.12), kActiveBgMs);
    } else if (!hovered_) {
        look_ = TitleLook::inactive;
        animateBg(chrome::clear(), kActiveBgMs);
    }
    update();
}

void ShellButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    const QColor bg = bg_->color();
    if (bg.alpha() > 0) {
        QPainterPath path;
        path.addRoundedRect(r, 4, 4);
        painter.fillPath(path, bg);
    }
    const qreal s = labelScale_->real();
    painter.translate(r.center());
    painter.scale(s, s);
    painter.translate(-r.center());
    chrome::drawRunsCentred(painter, shownTitle(), r);
}

void ShellButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    hovered_ = true;
    if (!activeShell_) {
        animateBg(chrome::withAlpha(accent_, 0.1), kEnterBgMs);
        look_ = TitleLook::hovered;
    }
    labelScale_->animateTo(1.08, kGrowMs, chrome::springCurve());
    update();
}

void ShellButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    hovered_ = false;
    if (!activeShell_) {
        animateBg(chrome::clear(), kExitBgMs);
        look_ = TitleLook::inactive;
    }
    labelScale_->animateTo(1.0, kShrinkMs, chrome::easeOutCurve());
    update();
}

void ShellButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    animateBg(chrome::withAlpha(accent_, 0.18), kPressBgMs);
    event->accept();
}

void ShellButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    const bool inside = rect().contains(event->position().toPoint());
    const bool tinted = activeShell_ || hovered_;
    animateBg(tinted ? chrome::withAlpha(accent_, 0.1) : chrome::clear(), kReleaseBgMs);
    // Last: the owner may rebuild the footer in answer.
    if (inside && onClick) onClick();
}
