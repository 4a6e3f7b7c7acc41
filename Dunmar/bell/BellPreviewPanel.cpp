#include "bell/BellPreviewPanel.h"

#include "bell/BellPreviewWidgets.h"
#include "chrome/ChromeStyle.h"
#include "chrome/HoverButton.h"
#include "localisation/LanguageNotifier.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/PlainText.h"
#include "settings/SettingsStyle.h"

#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QVariantAnimation>

namespace {

// Vertical layout, from the panel's top and bottom edges.
constexpr int kTitleTop = 6;
constexpr int kTitleHeight = 16;
constexpr int kTopSeparatorY = kTitleTop + kTitleHeight + 6; // 1 high; choices start below it
constexpr int kBodyTop = kTopSeparatorY + 1;
constexpr int kFieldBottomInset = 8;
constexpr int kFieldHeight = 20;
constexpr int kBodyGap = 4; // between the body and the separators around it
constexpr int kCloseSize = 16;
constexpr int kCloseTrailing = 8;

// The panel's backdrop, separators and lower border; the children sit on it.
class PanelContent : public QWidget {
public:
    explicit PanelContent(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), chrome::white(0.07, 0.97));
        p.fillRect(QRect(0, kTopSeparatorY, width(), 1), chrome::white(0.18));
        const int fieldTop = height() - kFieldBottomInset - kFieldHeight;
        p.fillRect(QRect(0, fieldTop - kBodyGap - 1, width(), 1), chrome::white(0.2));
        p.fillRect(QRect(0, height() - 1, width(), 1), chrome::white(0.25));
    }
};

QString optionText(const BellOption& option) {
    return QString::number(option.number) + QStringLiteral(". ") + option.label;
}

} // namespace

BellPreviewPanel::BellPreviewPanel(const BellPreviewItem& item, QWidget* parent)
    : QWidget(parent), tabName_(item.tabName), appCursorMode_(item.appCursorMode),
      fullHeight_(panelHeight(item)) {
    if (item.options) {
        options_ = *item.options;
        selectedIndex_ = std::clamp(item.currentHighlightedIndex, 0, int(options_.size()) - 1);
    }
    setObjectName(QStringLiteral("bellPreviewPanel"));
    setCursor(Qt::ArrowCursor);

    content_ = new PanelContent(this);

    titleLabel_ =
        settingsui::makeLabel(QString(), chrome::monoFont(10, QFont::Medium), chrome::white(0.65), content_);
    titleLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    closeButton_ =
        new HoverButton(QStringLiteral("\u2715"), 11, QFont::Normal, chrome::white(0.5), chrome::white(0.85),
                        chrome::clear(), chrome::white(1.0, 0.1), chrome::white(1.0, 0.18), 4, content_);
    closeButton_->onClick = [this] {
        if (onDismiss) onDismiss();
    };

    if (options_.empty()) {
        linesView_ = new BellLinesView(item.lines, content_);
    } else {
        for (std::size_t i = 0; i < options_.size(); ++i) {
            auto* row = new BellOptionRow(optionText(options_[i]), content_);
            const int index = int(i);
            row->onTap = [this, index] {
                selectRow(index);
                focusReplyField();
            };
            optionRows_.push_back(row);
        }
    }

    inputField_ = new BellReplyField(content_);
    inputField_->onKey = [this](int key, Qt::KeyboardModifiers modifiers) {
        return handleKey(key, modifiers);
    };

    relabel();
    connect(&LanguageNotifier::shared(), &LanguageNotifier::appLanguageChanged, this,
            &BellPreviewPanel::relabel);
    updateSelectionHighlight();
    layoutContent();
}

BellPreviewPanel::~BellPreviewPanel() = default;

int BellPreviewPanel::panelHeight(const BellPreviewItem& item) {
    if (!item.options || item.options->empty()) return kHeightWithoutOptions;
    return kHeightBase + kRowHeight * int(item.options->size());
}

QByteArray BellPreviewPanel::arrowSequence(bool up, bool appCursorMode) {
    QByteArray bytes("\x1b");
    bytes.append(appCursorMode ? 'O' : '[');
    bytes.append(up ? 'A' : 'B');
    return bytes;
}

QLineEdit* BellPreviewPanel::inputField() const {
    return inputField_;
}

QString BellPreviewPanel::titleText() const {
    return QStringLiteral("\u25CF ") + tabName_;
}

void BellPreviewPanel::setTabName(const QString& name) {
    tabName_ = name;
    layoutContent();
}

QString BellPreviewPanel::linesText() const {
    return linesView_ ? linesView_->text() : QString();
}

QList<QWidget*> BellPreviewPanel::optionRows() const {
    QList<QWidget*> rows;
    for (BellOptionRow* row : optionRows_) rows.append(row);
    return rows;
}

bool BellPreviewPanel::isRowHighlighted(int index) const {
    return index >= 0 && index < int(optionRows_.size()) && optionRows_[std::size_t(index)]->isHighlighted();
}

bool BellPreviewPanel::isCursorShown(int index) const {
    return index >= 0 && index < int(optionRows_.size()) && optionRows_[std::size_t(index)]->isCursorShown();
}

QWidget* BellPreviewPanel::closeButton() const {
    return closeButton_;
}

void BellPreviewPanel::selectRow(int index) {
    if (index < 0 || index >= int(options_.size())) return;
    selectedIndex_ = index;
    updateSelectionHighlight();
}

void BellPreviewPanel::focusReplyField() {
    inputField_->setFocus(Qt::OtherFocusReason);
}

bool BellPreviewPanel::handleKey(int key, Qt::KeyboardModifiers modifiers) {
    Q_UNUSED(modifiers);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (onSubmit) onSubmit(inputField_->text());
        return true;
    case Qt::Key_Escape:
        if (onDismiss) onDismiss();
        return true;
    case Qt::Key_Up:
        moveSelection(-1);
        if (onArrow) onArrow(arrowSequence(true, appCursorMode_));
        return true;
    case Qt::Key_Down:
        moveSelection(+1);
        if (onArrow) onArrow(arrowSequence(false, appCursorMode_));
        return true;
    default:
        return false;
    }
}

void BellPreviewPanel::moveSelection(int delta) {
    if (options_.empty()) return;
    selectedIndex_ = std::clamp(selectedIndex_ + delta, 0, int(options_.size()) - 1);
    updateSelectionHighlight();
}

void BellPreviewPanel::updateSelectionHighlight() {
    for (std::size_t i = 0; i < optionRows_.size(); ++i)
        optionRows_[i]->setHighlighted(int(i) == selectedIndex_);
}

void BellPreviewPanel::relabel() {
    inputField_->setPlaceholderText(qs(options_.empty() ? Loc::bellInputEmpty() : Loc::bellInputOptions()));
}

void BellPreviewPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutContent();
}

void BellPreviewPanel::layoutContent() {
    const int w = width();
    const int h = fullHeight_;
    // Kept against the lower edge: while the panel is shorter than its content, the top is cut.
    content_->setGeometry(0, height() - h, w, h);

    const int closeX = w - kCloseTrailing - kCloseSize;
    closeButton_->setFrame(
        QRect(closeX, kTitleTop + (kTitleHeight - kCloseSize) / 2, kCloseSize, kCloseSize));
    const int titleWidth = std::max(0, closeX - 8 - kEdge);
    titleLabel_->setGeometry(kEdge, kTitleTop, titleWidth, kTitleHeight);
    titleLabel_->setText(titleLabel_->fontMetrics().elidedText(plaintext::visibleEscapes(titleText()),
                                                               Qt::ElideRight, titleWidth));

    const int fieldTop = h - kFieldBottomInset - kFieldHeight;
    inputField_->setGeometry(kEdge, fieldTop, std::max(0, w - 2 * kEdge), kFieldHeight);
    const int bodyBottom = fieldTop - kBodyGap - 1; // the lower separator's top

    if (linesView_) {
        linesView_->setGeometry(kEdge, kBodyTop + kBodyGap, std::max(0, w - 2 * kEdge),
                                std::max(0, bodyBottom - kBodyGap - (kBodyTop + kBodyGap)));
    }
    for (std::size_t i = 0; i < optionRows_.size(); ++i)
        optionRows_[i]->setGeometry(0, kBodyTop + kRowHeight * int(i), w, kRowHeight);
}

void BellPreviewPanel::animateOpen(int durationMs, const QEasingCurve& curve) {
    closing_ = false;
    animateHeight(fullHeight_, durationMs, curve, {});
}

void BellPreviewPanel::animateClose(int durationMs, const QEasingCurve& curve, std::function<void()> done) {
    closing_ = true;
    // A panel on its way out takes no more answers.
    onSubmit = nullptr;
    onDismiss = nullptr;
    onArrow = nullptr;
    inputField_->setEnabled(false);
    animateHeight(0, durationMs, curve, std::move(done));
}

void BellPreviewPanel::animateHeight(int to, int durationMs, const QEasingCurve& curve,
                                     std::function<void()> done) {
    if (animation_) animation_->stop();
    if (durationMs <= 0) {
        resize(width(), to);
        if (done) done();
        return;
    }
    // Only the height is animated: the owner keeps the width in step with the window meanwhile.
    auto* animation = new QVariantAnimation(this);
    animation->setDuration(durationMs);
    animation->setEasingCurve(curve);
    animation->setStartValue(height());
    animation->setEndValue(to);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { resize(width(), value.toInt()); });
    if (done) connect(animation, &QVariantAnimation::finished, this, std::move(done));
    animation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}
