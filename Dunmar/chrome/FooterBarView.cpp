#include "chrome/FooterBarView.h"

#include "actions/ChordText.h"
#include "chrome/BadgeButton.h"
#include "chrome/ChromeController.h"
#include "chrome/ChromeStyle.h"
#include "chrome/EdgeStrip.h"
#include "chrome/GearButton.h"
#include "chrome/HorizontalScrollArea.h"
#include "chrome/QuitButton.h"
#include "chrome/ShellButton.h"
#include "chrome/SymbolHoverButton.h"
#include "chrome/UsageBadge.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "platform/Geometry.h"
#include "settings/SettingsKeys.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

QWidget* makeContent() {
    auto* content = new QWidget;
    content->setAttribute(Qt::WA_TranslucentBackground);
    return content;
}

} // namespace

const QStringList& FooterBarView::shellPaths() {
    static const QStringList paths{QStringLiteral("/bin/zsh"), QStringLiteral("/bin/bash"),
                                   QStringLiteral("/bin/sh")};
    return paths;
}

FooterBarView::FooterBarView(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::ArrowCursor);
    build();
    resize(width(), barHeight);
    layoutBar();
}

void FooterBarView::runCallback(std::function<void()> FooterBarView::*callback) {
    if (this->*callback) (this->*callback)();
}

void FooterBarView::build() {
    using chrome::rgb;
    using chrome::white;

    linksScroll_ = new HorizontalScrollArea(this);
    linksContent_ = makeContent();
    linksScroll_->setContent(linksContent_);
    rechtsScroll_ = new HorizontalScrollArea(this);
    rechtsContent_ = makeContent();
    rechtsScroll_->setContent(rechtsContent_);

    QPointer<FooterBarView> self(this);
    auto bind = [self](std::function<void()> FooterBarView::*callback) {
        return [self, callback] {
            if (self) self->runCallback(callback);
        };
    };

    // Left group: editor modes (hidden until an editor tab shows), then the shells.
    const struct {
        const char* title;
        QColor accent;
    } modes[] = {{"NORMAL", white(0.55)}, {"NANO", rgb(0.5, 0.85, 0.5)}, {"VIM", rgb(0.4, 0.7, 1.0)}};
    for (int i = 0; i < 3; ++i) {
        auto* b = new ShellButton(QString::fromUtf8(modes[i].title), modes[i].accent, linksContent_);
        const auto mode = static_cast<EditorInputMode>(i);
        b->onClick = [self, mode] {
            if (!self) return;
            if (self->onEditorModeChange) self->onEditorModeChange(mode);
            self->setActiveEditorMode(mode);
        };
        b->hide();
        editorModeButtons_ << b;
    }
    // Each shell's button shows the chord that switches to it ("^⌥ 1 zsh").
    const struct {
        const char* name;
        QColor accent;
    } shells[] = {
        {"zsh", rgb(0.4, 0.65, 1.0)}, {"bash", rgb(0.45, 0.78, 0.45)}, {"sh", rgb(0.9, 0.65, 0.35)}};
    for (int i = 0; i < 3; ++i) {
        const chordtext::Badge chord = chordtext::badgeFor(actions::switchShell(i));
        const QString title =
            QStringLiteral("%1 %2 %3").arg(chord.modifiers, chord.key, QString::fromUtf8(shells[i].name));
        auto* b = new ShellButton(title, shells[i].accent, linksContent_);
        b->setToolTip(chordtext::wordsFor(actions::switchShell(i)));
        b->onClick = [self, i] {
            if (self && self->onSwitchShell) self->onSwitchShell(i);
        };
        shellButtons_ << b;
    }

    // Right group.
    toggleBadge_ =
        new BadgeButton(QStringLiteral("^"), QStringLiteral("<"), rgb(0.9, 0.6, 0.2), rechtsContent_);
    toggleBadge_->onClick = bind(&FooterBarView::onToggleWindow);
    // The key caps show the chord bound to each command in the bindings table ("^⇧" "T").
    const struct {
        Action action;
        std::optional<QColor> accent;
        std::function<void()> FooterBarView::*callback;
    } shortcuts[] = {
        {Action::switchSplitPane, rgb(0.5, 0.85, 0.5), &FooterBarView::onSwitchSplitPane},
        {Action::newTab, std::nullopt, &FooterBarView::onNewTab},
        {Action::newEditorTab, rgb(0.35, 0.65, 1.0), &FooterBarView::onNewEditorTab},
        {Action::closeTab, std::nullopt, &FooterBarView::onCloseTab},
        {Action::splitSideBySide, std::nullopt, &FooterBarView::onSplitV},
        {Action::splitStacked, std::nullopt, &FooterBarView::onSplitH},
    };
    for (const auto& s : shortcuts) {
        const chordtext::Badge chord = chordtext::badgeFor(s.action);
        auto* b = new BadgeButton(chord.modifiers, chord.key, s.accent, rechtsContent_);
        b->setToolTip(chordtext::wordsFor(s.action));
        b->onClick = bind(s.callback);
        tabShortcutBadges_ << b;
    }
    toggleBadge_->setHoverScale(1.08);
    for (BadgeButton* b : tabShortcutBadges_) b->setHoverScale(1.08);

    printerBtn_ =
        new SymbolHoverButton(QStringLiteral("printer"), 16, white(0.5), white(0.88), chrome::clear(),
                              white(1.0, 0.08), white(1.0, 0.16), 4, rechtsContent_);
    printerBtn_->setImageSide(18);
    printerBtn_->setHoverScale(1.12);
    printerBtn_->setToolTip(qs(Loc::tooltipPrint()));
    printerBtn_->onClick = bind(&FooterBarView::onPrint);

    formatBtn_ =
        new SymbolHoverButton(QStringLiteral("curlybraces"), 12, white(0.5), white(0.88), chrome::clear(),
                              white(1.0, 0.08), white(1.0, 0.16), 4, rechtsContent_);
    formatBtn_->setImageSide(14);
    formatBtn_->setHoverScale(1.12);
    formatBtn_->setToolTip(chordtext::tooltip(qs(Loc::tooltipFormatDoc()), Action::formatDocument));
    formatBtn_->onClick = bind(&FooterBarView::onFormatDocument);
    formatBtn_->hide();

    gearBtn_ = new GearButton(rechtsContent_);
    gearBtn_->onClick = bind(&FooterBarView::onSettings);
    quitBtn_ = new QuitButton(rechtsContent_);
    // Reaches only the controller, which decides whether and how to quit.
    quitBtn_->onClick = [] {
        if (ChromeController* controller = ChromeController::installed()) controller->handleQuitRequest();
    };

    // Resize strips along the sides and the bottom, with the window's resize cursors.
    for (Qt::CursorShape shape :
         {Qt::SizeVerCursor, Qt::SizeHorCursor, Qt::SizeHorCursor, Qt::SizeBDiagCursor, Qt::SizeFDiagCursor})
        edgeStrips_ << new EdgeStrip(shape, this);
    // The corner square beside the bottom-right diagonal keeps the arrow but still passes through.
    edgeStrips_ << new EdgeStrip(Qt::ArrowCursor, this);
}

void FooterBarView::setUsageBadge(UsageBadge* badge) {
    if (usageBadge_ == badge) return;
    if (usageBadge_) usageBadge_->deleteLater();
    usageBadge_ = badge;
    if (badge) {
        badge->setParent(linksContent_);
        QPointer<FooterBarView> self(this);
        badge->onClick = [self] {
            if (self && self->onUsageBadgeClick) self->onUsageBadgeClick();
        };
        badge->installEventFilter(this);
    }
    refreshUsageBadgeVisibility();
}

void FooterBarView::refreshUsageBadgeVisibility() {
    if (usageBadge_) usageBadge_->setVisible(Defaults::standard().boolean(settings::kShowAIUsage));
    layoutBar();
}

bool FooterBarView::eventFilter(QObject* watched, QEvent* event) {
    // A badge that changes its size hint asks for a new place.
    if (watched == usageBadge_ && event->type() == QEvent::LayoutRequest) layoutBar();
    return QWidget::eventFilter(watched, event);
}

void FooterBarView::update(const QString& shell, qint32) {
    for (int i = 0; i < shellButtons_.size(); ++i)
        shellButtons_[i]->setActive(shellPaths().value(i) == shell);
}

void FooterBarView::setEditorMode(bool editor) {
    // Unchanged, nothing is laid out again: an idle window must not repaint itself.
    if (editorMode_ == editor) return;
    editorMode_ = editor;
    for (ShellButton* b : editorModeButtons_) b->setVisible(editor);
    formatBtn_->setVisible(editor);
    for (ShellButton* b : shellButtons_) b->setVisible(!editor);
    // Switching panes, closing with the badge and splitting side by side belong to terminals.
    for (int i : {0, 3, 4}) tabShortcutBadges_[i]->setVisible(!editor);
    layoutBar();
}

void FooterBarView::setActiveEditorMode(EditorInputMode mode) {
    for (int i = 0; i < editorModeButtons_.size(); ++i)
        editorModeButtons_[i]->setActive(i == static_cast<int>(mode));
}

void FooterBarView::layoutBar() {
    const qreal w = width();
    const qreal h = height();
    // Items are centred on a line 2 pixels above the middle, measured from the bottom.
    const qreal c = h * 0.5 + 2;
    auto place = [h](QWidget* widget, const QRectF& bottomUp) {
        const QRect r = geometry::flippedPixels(bottomUp, h);
        if (auto* button = qobject_cast<BaseHoverButton*>(widget))
            button->setFrame(r);
        else
            widget->setGeometry(r);
    };

    // Left group.
    qreal x = 20;
    if (usageBadge_ && !usageBadge_->isHidden()) {
        const QSize s = usageBadge_->sizeHint();
        place(usageBadge_, QRectF(20, c - s.height() / 2.0, s.width(), s.height()));
        x = 20 + s.width() + 12;
    }
    for (ShellButton* b : editorModeButtons_) {
        if (b->isHidden()) continue;
        place(b, QRectF(x, c - 12, 54, 24));
        x += 58;
    }
    for (ShellButton* b : shellButtons_) {
        if (b->isHidden()) continue;
        place(b, QRectF(x, c - 12, 70, 24));
        x += 74;
    }
    const qreal leftWidth = x + 20;

    // Right group, in its own coordinates.
    auto badgeSize = [](BadgeButton* b) {
        const QSize s = b->sizeHint();
        return QSizeF(std::max(s.width(), 30), std::max(s.height(), 22));
    };
    QSizeF bs = badgeSize(toggleBadge_);
    place(toggleBadge_, QRectF(4, c - bs.height() / 2, bs.width(), bs.height()));
    x = 4 + bs.width() + 3;
    for (BadgeButton* b : tabShortcutBadges_) {
        if (b->isHidden()) continue;
        bs = badgeSize(b);
        place(b, QRectF(x, c - bs.height() / 2, bs.width(), bs.height()));
        x += bs.width() + 3;
    }
    x += 13;
    place(printerBtn_, QRectF(x, c - 14, 28, 28));
    x += 32;
    if (!formatBtn_->isHidden()) {
        place(formatBtn_, QRectF(x, c - 12, 24, 24));
        x += 28;
    }
    place(gearBtn_, QRectF(x, c - 12, 24, 24));
    place(quitBtn_, QRectF(x + 28, c - 12, 24, 24));
    const qreal rightWidth = x + 28 + 40;

    // Each group gets its share of the width and scrolls inside it.
    const int leftShown = geometry::roundToPixel(std::min(0.4 * w, leftWidth));
    linksScroll_->setGeometry(0, 0, leftShown, static_cast<int>(h));
    linksContent_->resize(geometry::roundToPixel(leftWidth), static_cast<int>(h));
    const int rightShown = geometry::roundToPixel(std::min(0.6 * w, rightWidth));
    rechtsScroll_->setGeometry(static_cast<int>(w) - rightShown, 0, rightShown, static_cast<int>(h));
    rechtsContent_->resize(geometry::roundToPixel(rightWidth), static_cast<int>(h));
    // Too narrow: the quit end stays in view and the overflow hides on the left, where it can be
    // scrolled back.
    rechtsScroll_->setKeepEndVisible(0.6 * w < rightWidth);

    // Resize strips: bottom, left, right, the two lower corners, and the square beside the right one.
    const int W = static_cast<int>(w);
    const int H = static_cast<int>(h);
    const QRect strips[] = {
        {kEdge, H - kEdge, W - 2 * kEdge, kEdge}, {0, 0, kEdge, H - kEdge},
        {W - kEdge, 0, kEdge, H - kEdge},         {0, H - kEdge, kEdge, kEdge},
        {W - kEdge, H - kEdge, kEdge, kEdge},     {W - 2 * kEdge, H - 2 * kEdge, kEdge, kEdge},
    };
    for (int i = 0; i < edgeStrips_.size(); ++i) {
        edgeStrips_[i]->setGeometry(strips[i]);
        edgeStrips_[i]->raise();
    }
}

bool FooterBarView::passesThrough(const QPointF& p) const {
    // Measured from the bottom, as the strips hug the window's lower edge.
    const qreal w = width();
    const qreal y = height() - p.y();
    return p.x() > w - kEdge || y < kEdge || p.x() < kEdge || (y < 2 * kEdge && p.x() > w - 2 * kEdge);
}

void FooterBarView::resizeEvent(QResizeEvent*) {
    layoutBar();
}

void FooterBarView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), chrome::white(0.0, 0.3));
    QLinearGradient sheen(0, 0, 0, height());
    sheen.setColorAt(0, chrome::white(1.0, 0.03));
    sheen.setColorAt(1, chrome::white(1.0, 0.0));
    p.fillRect(rect(), sheen);
    p.fillRect(QRect(0, 0, width(), 1), chrome::white(1.0, 0.08));
}

void FooterBarView::mousePressEvent(QMouseEvent* event) {
    // Presses in the edge strips go on to the window, which resizes from there.
    if (passesThrough(event->position()))
        event->ignore();
    else
        event->accept();
}

void FooterBarView::mouseReleaseEvent(QMouseEvent* event) {
    if (passesThrough(event->position()))
        event->ignore();
    else
        event->accept();
}

void FooterBarView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (passesThrough(event->position()))
        event->ignore();
    else
        event->accept();
}
