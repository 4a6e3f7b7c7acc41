#include "editor/PrintModal.h"

#include "chrome/BaseHoverButton.h"
#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "chrome/SymbolImage.h"
#include "editor/EditorPanel.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"

#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

namespace {

// One way of printing: a label on a faint rounded field that lightens under the pointer.
BaseHoverButton* makeOptionButton(const QString& label, QWidget* parent) {
    auto* button = new BaseHoverButton(parent);
    button->setBackgroundColors(chrome::white(1.0, 0.06), chrome::white(1.0, 0.12), chrome::white(1.0, 0.2));
    button->setCornerRadius(7);
    button->setCursor(Qt::PointingHandCursor);
    button->setAccessibleName(label);
    auto* text = makePanelLabel(label, chrome::systemFont(13, QFont::Medium), chrome::white(0.88), button);
    text->setAttribute(Qt::WA_TransparentForMouseEvents);
    text->setGeometry(0, 0, 280, 36);
    return button;
}

} // namespace

PrintModal* PrintModal::show(QWidget* host, const std::vector<PrintOption>& options,
                             std::function<void(const PrintAction&)> onSelect,
                             std::function<void()> onCancel) {
    auto* modal = new PrintModal(host);
    modal->onSelect_ = std::move(onSelect);
    modal->onCancel_ = std::move(onCancel);
    modal->build(options);
    modal->setGeometry(host->rect());
    chrome::setWidgetAlpha(modal, 0);
    modal->QWidget::show();
    modal->raise();
    chrome::fadeWidget(modal, 1.0, kFadeInMs, chrome::easeOutCurve());
    return modal;
}

PrintModal::PrintModal(QWidget* host) : QWidget(host) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    // It covers its host whatever size the host takes.
    host->installEventFilter(this);
}

void PrintModal::build(const std::vector<PrintOption>& options) {
    const int n = static_cast<int>(options.size());
    panel_ = new EditorPanel(this);
    panel_->resize(kPanelWidth, panelHeight(n));
    auto* shadow = new QGraphicsDropShadowEffect(panel_);
    shadow->setColor(QColor(0, 0, 0, 178));
    shadow->setBlurRadius(44);
    shadow->setOffset(0, 8);
    panel_->setGraphicsEffect(shadow);

    auto* icon = new QLabel(panel_);
    icon->setPixmap(
        SymbolImage::render(QStringLiteral("printer"), 28, chrome::white(0.75), devicePixelRatioF()));
    icon->setGeometry(146, 20, 28, 28);

    auto* title = makePanelLabel(QStringLiteral("Drucken"), chrome::systemFont(15, QFont::DemiBold),
                                 chrome::white(0.92), panel_);
    title->setGeometry(20, 58, 280, 20);

    const QPointer<PrintModal> self(this);
    for (int i = 0; i < n; ++i) {
        BaseHoverButton* button = makeOptionButton(options[size_t(i)].label, panel_);
        button->setGeometry(20, 94 + 44 * i, 280, 36);
        // The panel is gone before the print work starts.
        button->onClick = [self, action = options[size_t(i)].action] {
            if (!self || self->dismissing_) return;
            self->dismissAnimated([select = self->onSelect_, action] {
                if (select) select(action);
            });
        };
        buttons_.push_back(button);
    }

    cancel_ = new QPushButton(qs(Loc::cancel()), panel_);
    cancel_->setFlat(true);
    cancel_->setFocusPolicy(Qt::NoFocus);
    cancel_->setFont(chrome::systemFont(12));
    cancel_->setCursor(Qt::PointingHandCursor);
    cancel_->setStyleSheet(
        QStringLiteral("QPushButton{color:rgba(255,255,255,115);border:none;background:transparent}"));
    cancel_->setGeometry(20, 94 + 44 * n, 280, 28);
    connect(cancel_, &QPushButton::clicked, this, &PrintModal::cancelTapped);
    centerPanel();
}

void PrintModal::centerPanel() {
    if (panel_) panel_->move((width() - panel_->width()) / 2, (height() - panel_->height()) / 2);
}

void PrintModal::cancelTapped() {
    if (dismissing_) return;
    std::function<void()> cancel = onCancel_;
    dismissAnimated();
    if (cancel) cancel();
}

void PrintModal::dismissAnimated(std::function<void()> then) {
    if (dismissing_) return;
    dismissing_ = true;
    if (parentWidget()) parentWidget()->removeEventFilter(this);
    const QPointer<PrintModal> self(this);
    chrome::fadeWidget(this, 0.0, kFadeOutMs, chrome::easeOutCurve(), [self, then = std::move(then)] {
        if (self) {
            self->hide();
            self->deleteLater();
        }
        if (then) then();
    });
}

bool PrintModal::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void PrintModal::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), QColor::fromRgbF(0, 0, 0, 0.55f));
}

void PrintModal::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    centerPanel();
}

void PrintModal::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void PrintModal::wheelEvent(QWheelEvent* event) {
    event->accept();
}
