#include "palette/CommandPaletteView.h"

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "palette/BadgeLayout.h"
#include "platform/Geometry.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsDropShadowEffect>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kBrandW = 208;
constexpr int kBrandH = 20;
constexpr int kBadgeGapAbove = 6;
constexpr qreal kMarqueeStep = 0.6;

QFont fieldFont() {
    return chrome::monoFont(11, QFont::Normal);
}

QFont badgeFont() {
    return chrome::monoFont(9, QFont::Medium);
}

// A rounded plate painted with a fill and a border: the brand tab and each badge.
class Plate : public QWidget {
public:
    Plate(QWidget* parent, QColor fill, QColor border, qreal radius, qreal borderWidth)
        : QWidget(parent), fill_(fill), border_(border), radius_(radius), borderWidth_(borderWidth) {}
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal inset = borderWidth_ / 2;
        const QRectF r = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
        p.setPen(borderWidth_ > 0 ? QPen(border_, borderWidth_) : QPen(Qt::NoPen));
        p.setBrush(fill_);
        p.drawRoundedRect(r, radius_, radius_);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (onClick) {
            onClick();
            return;
        }
        QWidget::mousePressEvent(event);
    }

private:
    QColor fill_, border_;
    qreal radius_, borderWidth_;
};

QLabel* makeLabel(QWidget* parent, const QString& text, const QFont& font, const QColor& color,
                  Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, color);
    label->setPalette(pal);
    return label;
}

QString spacedName() {
    const QString name = QStringLiteral("pocketBAR");
    QStringList letters;
    for (const QChar c : name) letters << QString(c);
    return letters.join(QLatin1Char(' '));
}

} // namespace

CommandPaletteView::CommandPaletteView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);

    searchField_ = new QLineEdit(this);
    searchField_->setPlaceholderText(QString());
    searchField_->setFont(fieldFont());
    searchField_->setFrame(false);
    searchField_->setAttribute(Qt::WA_MacShowFocusRect, false);
    searchField_->setStyleSheet(
        QStringLiteral("QLineEdit { background: transparent; color: white; border: none; }"));
    searchField_->setGeometry(10, 8, 240, 16);
    searchField_->installEventFilter(this);
    // The window routes some keys before its widgets see them (an editor tab's vim and nano keys);
    // while the field has the keyboard, the keys sent to its window are the field's.
    qApp->installEventFilter(this);
    connect(searchField_, &QLineEdit::textEdited, this, [this] { controlTextDidChange(); });

    // The brand tab and the badge container live beside the palette in its parent.
    auto* brand = new Plate(parent, chrome::white(0.25, 0.63), Qt::transparent, 3, 0);
    brand->resize(kBrandW, kBrandH);
    QFont brandFont = chrome::monoFont(10);
    brandFont.setItalic(true);
    QLabel* brandLabel = makeLabel(brand, spacedName(), brandFont, Qt::black, Qt::AlignCenter);
    // The text sits 3 pt low in its tab.
    brandLabel->setGeometry(0, 3, kBrandW, kBrandH);
    auto* shadow = new QGraphicsDropShadowEffect(brandLabel);
    shadow->setOffset(0, 1);
    shadow->setBlurRadius(0);
    shadow->setColor(chrome::white(1.0, 0.17));
    brandLabel->setGraphicsEffect(shadow);
    brand->hide();
    nameLabel_ = brand;

    auto* container = new QWidget(parent);
    container->hide();
    badgeContainer_ = container;

    marqueeTimer_.setInterval(kMarqueeTickMs);
    connect(&marqueeTimer_, &QTimer::timeout, this, [this] { marqueeTick(); });
}

CommandPaletteView::~CommandPaletteView() {
    delete nameLabel_.data();
    delete badgeContainer_.data();
}

void CommandPaletteView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(chrome::white(0.25), 1));
    p.setBrush(chrome::white(0.06, 0.88));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
}

void CommandPaletteView::setup(std::vector<PaletteCommand> commands) {
    commands_ = std::move(commands);
    filtered_.clear();
    selectedIndex_ = 0;
    searchField_->clear();
}

void CommandPaletteView::activate() {
    if (!window()) return;
    searchField_->setFocus(Qt::OtherFocusReason);
}

QRectF CommandPaletteView::frameBottomUp() const {
    const qreal parentH = parentWidget() ? parentWidget()->height() : 0;
    return QRectF(x(), parentH - y() - height(), width(), height());
}

void CommandPaletteView::controlTextDidChange() {
    if (marqueeLabel_) stopMarquee();
    const QString query = searchField_->text().toLower();
    if (confirmAction_) {
        const QString last = query.isEmpty() ? QString() : query.right(1);
        if (last == QLatin1String("y")) {
            std::function<void()> action = std::move(confirmAction_);
            confirmAction_ = {};
            searchField_->setPlaceholderText(QString());
            action();
            dismiss();
        } else if (last == QLatin1String("n")) {
            confirmAction_ = {};
            searchField_->setPlaceholderText(QString());
            dismiss();
        } else {
            searchField_->clear();
        }
        return;
    }
    if (inputAction_) return;
    filtered_.clear();
    if (!query.isEmpty())
        for (const PaletteCommand& command : commands_)
            if (command.title.toLower().startsWith(query)) filtered_.push_back(command);
    selectedIndex_ = 0;
    updateBadges();
}

void CommandPaletteView::updateBadges() {
    if (!badgeContainer_) return;
    for (QWidget* badge : badgeViews_) delete badge;
    badgeViews_.clear();
    const int n = std::min(int(filtered_.size()), badgelayout::kMaxCandidates);
    if (n == 0) {
        badgeContainer_->hide();
        positionSelf();
        return;
    }
    const QFont font = badgeFont();
    const QFontMetricsF metrics(font);
    std::vector<int> widths;
    for (int i = 0; i < n; ++i)
        widths.push_back(int(std::ceil(metrics.horizontalAdvance(filtered_[std::size_t(i)].title))) + 20);
    const std::vector<std::vector<int>> rows = badgelayout::packRows(widths);
    QWidget* parent = parentWidget();
    if (!parent) return;

    const int rowCount = int(rows.size());
    const int containerH = rowCount * badgelayout::kBadgeHeight + (rowCount - 1) * 4;
    const QRectF bottomUp(0, frameBottomUp().bottom() + kBadgeGapAbove, parent->width(), containerH);
    badgeContainer_->setGeometry(geometry::flippedPixels(bottomUp, parent->height()));

    const int textH = int(std::ceil(metrics.ascent() + metrics.descent()));
    for (int r = 0; r < rowCount; ++r) {
        std::vector<int> rowWidths;
        for (int i : rows[std::size_t(r)]) rowWidths.push_back(widths[std::size_t(i)]);
        qreal x = badgelayout::rowStart(rowWidths, parent->width());
        // Row 0 is the one nearest the palette, at the container's bottom.
        const int top = containerH - r * badgelayout::kRowPitch - badgelayout::kBadgeHeight;
        for (int i : rows[std::size_t(r)]) {
            const bool selected = i == selectedIndex_;
            const QString& title = filtered_[std::size_t(i)].title;
            const QColor base = badgelayout::badgeColor(title);
            auto* badge = new Plate(badgeContainer_, selected ? chrome::withAlpha(base, 0.45) : base,
                                    selected ? chrome::white(1.0, 0.4) : chrome::white(0.25), 4, 1);
            badge->setObjectName(title);
            badge->setGeometry(geometry::roundToPixel(x), top, widths[std::size_t(i)],
                               badgelayout::kBadgeHeight);
            QLabel* label =
                makeLabel(badge, title, font, selected ? Qt::white : chrome::white(0.72), Qt::AlignCenter);
            const int labelTop = geometry::roundToPixel((badgelayout::kBadgeHeight - textH) / 2.0);
            label->setGeometry(0, badgelayout::kBadgeHeight - labelTop - textH, widths[std::size_t(i)],
                               textH);
            badge->onClick = [this, badge] {
                const auto it = std::find(badgeViews_.begin(), badgeViews_.end(), badge);
                if (it != badgeViews_.end()) badgeTapped(int(it - badgeViews_.begin()));
            };
            badge->show();
            badgeViews_.push_back(badge);
            x += widths[std::size_t(i)] + badgelayout::kGap;
        }
    }
    badgeContainer_->show();
    badgeContainer_->raise();
}

void CommandPaletteView::positionSelf() {
    QWidget* parent = parentWidget();
    if (!parent) return;
    const QRectF bottomUp((parent->width() - paletteW) / 2.0, (parent->height() - baseHeight) / 2.0, paletteW,
                          baseHeight);
    setGeometry(geometry::flippedPixels(bottomUp, parent->height()));
    repositionNameLabel();
    repositionBadges();
}

void CommandPaletteView::repositionNameLabel() {
    QWidget* parent = parentWidget();
    if (!parent || !nameLabel_) return;
    chrome::setWidgetAlpha(nameLabel_, chrome::widgetAlpha(this));
    const QRectF palette = frameBottomUp();
    // It hangs under the palette box and overlaps its lower edge by 1 pt.
    const QRectF bottomUp(palette.center().x() - kBrandW / 2.0, palette.top() - kBrandH + 1, kBrandW,
                          kBrandH);
    nameLabel_->setGeometry(geometry::flippedPixels(bottomUp, parent->height()));
    nameLabel_->show();
    nameLabel_->raise();
}

void CommandPaletteView::repositionBadges() {
    QWidget* parent = parentWidget();
    if (!parent || !badgeContainer_ || badgeContainer_->isHidden()) return;
    const int containerH = badgeContainer_->height();
    const QRectF bottomUp(badgeContainer_->x(), frameBottomUp().bottom() + kBadgeGapAbove, parent->width(),
                          containerH);
    badgeContainer_->setGeometry(geometry::flippedPixels(bottomUp, parent->height()));
    std::size_t i = 0;
    while (i < badgeViews_.size()) {
        std::size_t end = i + 1;
        while (end < badgeViews_.size() && badgeViews_[end]->y() == badgeViews_[i]->y()) ++end;
        std::vector<int> rowWidths;
        for (std::size_t k = i; k < end; ++k) rowWidths.push_back(badgeViews_[k]->width());
        qreal x = badgelayout::rowStart(rowWidths, parent->width());
        for (std::size_t k = i; k < end; ++k) {
            badgeViews_[k]->move(geometry::roundToPixel(x), badgeViews_[k]->y());
            x += badgeViews_[k]->width() + badgelayout::kGap;
        }
        i = end;
    }
}

void CommandPaletteView::badgeTapped(int index) {
    if (index < 0 || index >= int(badgeViews_.size()) || index >= int(filtered_.size())) return;
    runSelected(index);
}

void CommandPaletteView::runSelected(int index) {
    // The list may be replaced by what the action does; keep the command alive while it runs.
    const PaletteCommand command = filtered_[std::size_t(index)];
    if (command.action) command.action();
    if (!confirmAction_ && !inputAction_) dismiss();
}

bool CommandPaletteView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWindowType() && searchField_->hasFocus() &&
        watched == window()->windowHandle()) {
        QApplication::sendEvent(searchField_, event);
        return true;
    }
    if (watched == searchField_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Left:
        case Qt::Key_Right:
            break;
        default:
            return QWidget::eventFilter(watched, event);
        }
        if (event->type() == QEvent::ShortcutOverride) {
            // These keys belong to the palette while its field has the keyboard, not to the
            // window's shortcuts.
            event->accept();
            return true;
        }
        if (handleKey(key->key())) return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool CommandPaletteView::handleKey(int key) {
    const bool confirm = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (confirmAction_) {
        if (key != Qt::Key_Escape) return false;
        confirmAction_ = {};
        searchField_->setPlaceholderText(QString());
        dismiss();
        return true;
    }
    if (inputAction_) {
        if (key == Qt::Key_Escape) {
            inputAction_ = {};
            searchField_->setPlaceholderText(QString());
            dismiss();
            return true;
        }
        if (!confirm) return false;
        static const QRegularExpression edges(QStringLiteral("^[ \\t]+|[ \\t]+$"));
        const QString text = searchField_->text().remove(edges);
        if (text.isEmpty()) return true;
        std::function<void(const QString&)> action = std::move(inputAction_);
        inputAction_ = {};
        searchField_->setPlaceholderText(QString());
        action(text);
        dismiss();
        return true;
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selectedIndex_ < int(filtered_.size())) runSelected(selectedIndex_);
        return true;
    case Qt::Key_Escape:
        dismiss();
        return true;
    case Qt::Key_Left:
        if (selectedIndex_ >= 1) {
            --selectedIndex_;
            updateBadges();
        }
        return true;
    case Qt::Key_Right:
        if (!filtered_.empty() &&
            selectedIndex_ < std::min(int(filtered_.size()), badgelayout::kMaxCandidates) - 1) {
            ++selectedIndex_;
            updateBadges();
        }
        return true;
    default:
        return false;
    }
}

void CommandPaletteView::enterPromptMode(const QString& prompt) {
    filtered_.clear();
    selectedIndex_ = 0;
    updateBadges();
    searchField_->clear();
    searchField_->setPlaceholderText(QString());
    startMarquee(prompt);
}

void CommandPaletteView::showConfirm(const QString& prompt, std::function<void()> action) {
    confirmAction_ = std::move(action);
    enterPromptMode(prompt);
}

void CommandPaletteView::showInput(const QString& prompt, std::function<void(const QString&)> action) {
    inputAction_ = std::move(action);
    enterPromptMode(prompt);
}

void CommandPaletteView::startMarquee(const QString& text) {
    stopMarquee();
    marqueeFullText_ = text;
    marqueeTextWidth_ = QFontMetricsF(fieldFont()).horizontalAdvance(text);
    const qreal fieldW = searchField_->width();
    if (marqueeTextWidth_ <= fieldW) {
        searchField_->setPlaceholderText(text);
        return;
    }
    auto* clip = new QWidget(this);
    clip->setGeometry(searchField_->geometry());
    clip->setAttribute(Qt::WA_TransparentForMouseEvents);
    marqueeLabel_ = makeLabel(clip, text, fieldFont(), chrome::white(0.5), Qt::AlignLeft | Qt::AlignVCenter);
    marqueeLabel_->adjustSize();
    marqueeLabel_->move(0, (clip->height() - marqueeLabel_->height()) / 2);
    clip->show();
    marqueeOffset_ = 0;
    marqueeTimer_.start();
}

void CommandPaletteView::marqueeTick() {
    if (!marqueeLabel_) return;
    const qreal fieldW = searchField_->width();
    marqueeOffset_ += kMarqueeStep;
    if (marqueeOffset_ > (marqueeTextWidth_ + 40 - fieldW) + 40) marqueeOffset_ = -0.3 * fieldW;
    marqueeLabel_->move(geometry::roundToPixel(-marqueeOffset_), marqueeLabel_->y());
}

void CommandPaletteView::stopMarquee() {
    marqueeTimer_.stop();
    if (marqueeLabel_) delete marqueeLabel_->parentWidget();
    marqueeLabel_ = nullptr;
    marqueeFullText_.clear();
}

void CommandPaletteView::dismiss() {
    stopMarquee();
    if (dismissing_) return;
    dismissing_ = true;
    if (badgeContainer_) chrome::fadeWidget(badgeContainer_, 0, kFadeOutMs, chrome::linearCurve());
    if (nameLabel_) chrome::fadeWidget(nameLabel_, 0, kFadeOutMs, chrome::linearCurve());
    QPointer<CommandPaletteView> self(this);
    chrome::fadeWidget(this, 0, kFadeOutMs, chrome::linearCurve(), [self] {
        if (!self) return;
        if (self->badgeContainer_) self->badgeContainer_->hide();
        if (self->nameLabel_) self->nameLabel_->hide();
        self->hide();
        std::function<void()> closed = std::move(self->onClosed);
        self->deleteLater();
        if (closed) closed();
    });
}
