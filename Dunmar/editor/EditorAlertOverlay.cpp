#include "editor/EditorAlertOverlay.h"

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "chrome/HoverButton.h"
#include "editor/EditorPanel.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/PlainText.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {

// One line, shortened in the middle to fit.
void elideMiddle(QLabel* label, int width) {
    label->setText(QFontMetrics(label->font())
                       .elidedText(plaintext::visibleEscapes(label->text()), Qt::ElideMiddle, width));
}

} // namespace

EditorAlertOverlay::EditorAlertOverlay(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoMousePropagation);
    setCursor(Qt::ArrowCursor);
}

void EditorAlertOverlay::buildPanel(int height) {
    panel_ = new EditorPanel(this);
    panel_->resize(kPanelWidth, height);
}

QWidget* EditorAlertOverlay::makeActionButton(const QString& title, int width, int height,
                                              std::function<void()> action) {
    auto* button = new HoverButton(title, 11.5, QFont::Medium, chrome::white(0.85), chrome::white(1.0),
                                   chrome::white(1.0, 0.1), chrome::white(1.0, 0.18),
                                   chrome::white(1.0, 0.26), 5, panel_);
    button->resize(width, height);
    button->setAccessibleName(title);
    button->onClick = std::move(action);
    actionButton_ = button;
    return button;
}

EditorAlertOverlay* EditorAlertOverlay::warning(const QString&, const QString& reason,
                                                std::function<void()> onDismiss, QWidget* parent) {
    auto* overlay = new EditorAlertOverlay(parent);
    overlay->buildPanel(kWarningHeight);
    QWidget* panel = overlay->panel_;
    auto* icon = makePanelLabel(QStringLiteral("⚠"), chrome::systemFont(26), chrome::rgb(1.0, 0.78, 0.0), panel);
    icon->setGeometry(0, 16, kPanelWidth, 32);
    auto* title = makePanelLabel(QStringLiteral("Datei kann nicht geöffnet werden"),
                            chrome::monoFont(12.5, QFont::DemiBold), Qt::white, panel);
    title->setGeometry(16, 56, kPanelWidth - 32, 18);
    elideMiddle(title, kPanelWidth - 32);
    auto* text = makePanelLabel(reason, chrome::monoFont(10.5), chrome::white(0.58), panel);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    text->setGeometry(20, 80, kPanelWidth - 40, 3 * QFontMetrics(text->font()).lineSpacing());
    const QPointer<EditorAlertOverlay> self(overlay);
    QWidget* ok = overlay->makeActionButton(QStringLiteral("OK"), 80, 24, [self, onDismiss] {
        if (self) self->dismissAnimated(onDismiss);
    });
    ok->move((kPanelWidth - 80) / 2, kWarningHeight - 16 - 24);
    return overlay;
}

QString EditorAlertOverlay::sizeText(qint64 fileSize) {
    if (fileSize > 1048576) return QString::asprintf("%.1f MB", double(fileSize) / 1048576.0);
    return QString::asprintf("%.0f KB", double(fileSize) / 1024.0);
}

EditorAlertOverlay* EditorAlertOverlay::loading(const QString& filename, qint64 fileSize,
                                                std::function<void()> onCancel, QWidget* parent) {
    auto* overlay = new EditorAlertOverlay(parent);
    overlay->buildPanel(kLoadingHeight);
    QWidget* panel = overlay->panel_;
    auto* title = makePanelLabel(filename, chrome::monoFont(12.5, QFont::DemiBold), Qt::white, panel);
    title->setGeometry(16, 20, kPanelWidth - 32, 18);
    elideMiddle(title, kPanelWidth - 32);
    auto* subtitle = makePanelLabel(QStringLiteral("Lade Datei · ") + sizeText(fileSize), chrome::monoFont(10),
                               chrome::white(0.55), panel);
    subtitle->setGeometry(16, 43, kPanelWidth - 32, 14);
    elideMiddle(subtitle, kPanelWidth - 32);
    auto* bar = new QProgressBar(panel);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setGeometry(20, 71, kPanelWidth - 20 - 8 - 36 - 20, 8);
    overlay->progressBar_ = bar;
    auto* pct = makePanelLabel(QStringLiteral("0%"), chrome::monoFont(10), chrome::white(0.65), panel);
    pct->setGeometry(kPanelWidth - 20 - 36, 67, 36, 16);
    overlay->pctLabel_ = pct;
    const QPointer<EditorAlertOverlay> self(overlay);
    QWidget* cancel = overlay->makeActionButton(qs(Loc::cancel()), 90, 22, [self, onCancel] {
        if (self) self->dismissAnimated(onCancel);
    });
    cancel->move((kPanelWidth - 90) / 2, 79 + 14);
    return overlay;
}

void EditorAlertOverlay::updateProgress(double fraction) {
    if (progressBar_) progressBar_->setValue(static_cast<int>(fraction * 100));
    if (pctLabel_) pctLabel_->setText(QString::asprintf("%.0f%%", fraction * 100));
}

void EditorAlertOverlay::dismissAnimated(std::function<void()> completion) {
    if (dismissing_) return;
    dismissing_ = true;
    // From wherever a fade in has got to: it is replaced, not run to its end first.
    chrome::fadeWidget(this, 0.0, kFadeMs, chrome::linearCurve(), [this, completion = std::move(completion)] {
        hide();
        setParent(nullptr);
        deleteLater();
        if (completion) completion();
    });
}

void EditorAlertOverlay::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), QColor(0, 0, 0, 140));
}

void EditorAlertOverlay::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (panel_) panel_->move((width() - panel_->width()) / 2, (height() - panel_->height()) / 2);
}

void EditorAlertOverlay::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void EditorAlertOverlay::wheelEvent(QWheelEvent* event) {
    event->accept();
}
