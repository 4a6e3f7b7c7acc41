#include "bell/BellPreviewWidgets.h"

#include "chrome/ChromeStyle.h"
#include "platform/PlainText.h"
#include "settings/SettingsStyle.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {

QColor highlightBackground() {
    return chrome::white(0.15);
}
QColor cursorColor() {
    return chrome::rgb(0.3, 0.75, 1.0);
}

} // namespace

// ---- BellLinesView ----------------------------------------------------------------------------

BellLinesView::BellLinesView(const QStringList& lines, QWidget* parent) : QWidget(parent), lines_(lines) {
    setFont(chrome::monoFont(10));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QString BellLinesView::text() const {
    return lines_.isEmpty() ? QStringLiteral("(keine Ausgabe)") : lines_.join(QLatin1Char('\n'));
}

void BellLinesView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font());
    p.setPen(chrome::white(0.7));
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height();
    const QStringList shown = lines_.isEmpty()
                                  ? QStringList{text()}
                                  : lines_.mid(std::max<qsizetype>(0, lines_.size() - kMaxLines));
    const int fitting = std::max(1, height() / lineHeight);
    const QStringList visible = shown.mid(std::max<qsizetype>(0, shown.size() - fitting));
    int y = 0;
    for (const QString& line : visible) {
        const QString elided = metrics.elidedText(plaintext::visibleEscapes(line), Qt::ElideLeft, width());
        p.drawText(QRect(0, y, width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   elided);
        y += lineHeight;
    }
}

// ---- BellOptionRow ----------------------------------------------------------------------------

BellOptionRow::BellOptionRow(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    cursor_ = settingsui::makeLabel(QStringLiteral("\u276F"), chrome::monoFont(11, QFont::DemiBold),
                                    cursorColor(), this);
    cursor_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label_ = settingsui::makeLabel(text, chrome::monoFont(11), chrome::white(0.88), this);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    cursor_->hide();
    setCursor(Qt::PointingHandCursor);
}

void BellOptionRow::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    cursor_->setVisible(highlighted);
    update();
}

bool BellOptionRow::isCursorShown() const {
    return !cursor_->isHidden();
}

QString BellOptionRow::text() const {
    return text_;
}

void BellOptionRow::paintEvent(QPaintEvent*) {
    if (!highlighted_) return;
    QPainter p(this);
    p.fillRect(rect(), highlightBackground());
}

void BellOptionRow::resizeEvent(QResizeEvent*) {
    constexpr int kCursorWidth = 14;
    constexpr int kGap = 4;
    const int edge = settingsui::kEdge;
    cursor_->setGeometry(edge, 0, kCursorWidth, height());
    const int textX = edge + kCursorWidth + kGap;
    label_->setGeometry(textX, 0, std::max(0, width() - textX - edge), height());
    // A long label keeps its start, which carries the number.
    label_->setText(
        label_->fontMetrics().elidedText(plaintext::visibleEscapes(text_), Qt::ElideRight, label_->width()));
}

void BellOptionRow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (onTap) onTap();
}

// ---- BellReplyField ---------------------------------------------------------------------------

BellReplyField::BellReplyField(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setFont(chrome::monoFont(11));
    // Rounded, borderless and without a focus ring: the caret alone says where typing goes.
    setStyleSheet(
        QStringLiteral("QLineEdit { background-color: %1; color: %2; border: none; border-radius: 4px;"
                       " padding: 0px 4px; selection-background-color: %3; }")
            .arg(chrome::white(0.12).name(QColor::HexArgb), chrome::white(0.92).name(QColor::HexArgb),
                 chrome::rgb(0.3, 0.75, 1.0, 0.45).name(QColor::HexArgb)));
    QPalette palette = this->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::PlaceholderText, chrome::white(0.42));
    setPalette(palette);
    setAttribute(Qt::WA_MacShowFocusRect, false);
}

bool BellReplyField::isPanelKey(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers plain = modifiers & ~Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return plain == Qt::NoModifier || plain == Qt::ShiftModifier;
    case Qt::Key_Escape:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return plain == Qt::NoModifier;
    default:
        return false;
    }
}

bool BellReplyField::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isPanelKey(key->key(), key->modifiers())) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void BellReplyField::keyPressEvent(QKeyEvent* event) {
    if (isPanelKey(event->key(), event->modifiers()) && onKey && onKey(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
