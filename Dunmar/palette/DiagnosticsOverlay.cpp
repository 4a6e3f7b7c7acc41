#include "palette/DiagnosticsOverlay.h"

#include "chrome/ChromeStyle.h"
#include "palette/DiagnosticsText.h"
#include "terminalview/TerminalView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QVBoxLayout>

DiagnosticsOverlay::DiagnosticsOverlay(const QRect& frame, Mode mode, QWidget* parent)
    : QWidget(parent), mode_(mode) {
    setGeometry(frame);
    if (parent) {
        cornerMargins_ = QPoint(parent->width() - frame.right() - 1, parent->height() - frame.bottom() - 1);
        parent->installEventFilter(this);
    }
    setAttribute(Qt::WA_TranslucentBackground);
    textView_ = new QPlainTextEdit(this);
    textView_->setReadOnly(true);
    textView_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    textView_->setFrameStyle(QFrame::NoFrame);
    textView_->setFont(chrome::monoFont(10));
    textView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textView_->setStyleSheet(
        QStringLiteral("QPlainTextEdit { background: transparent; color: rgb(102, 255, 102); }"));
    textView_->viewport()->setAutoFillBackground(false);
    textView_->document()->setDocumentMargin(0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(textView_);
    updateTimer_.setInterval(kRefreshMs);
    connect(&updateTimer_, &QTimer::timeout, this, [this] { refresh(); });
}

QSize DiagnosticsOverlay::sizeFor(Mode mode) {
    return mode == Mode::perf ? QSize(260, 180) : QSize(280, 280);
}

QString DiagnosticsOverlay::text() const {
    return textView_->toPlainText();
}

void DiagnosticsOverlay::startUpdating() {
    refresh();
    updateTimer_.start();
}

void DiagnosticsOverlay::stopUpdating() {
    updateTimer_.stop();
}

void DiagnosticsOverlay::refresh() {
    TerminalView* view = terminalView.data();
    if (!view) return;
    const Terminal& term = view->terminal();
    QString text;
    if (mode_ == Mode::perf) {
        view->perf.sample();
        text = diagnostics::perfText(view->perf, term.cols(), term.rows(),
                                     std::int64_t(term.scrollback().size()));
    } else {
        text = diagnostics::parserText(term.diagnostics());
    }
    textView_->setPlainText(text);
}

bool DiagnosticsOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        move(parentWidget()->width() - width() - cornerMargins_.x(),
             parentWidget()->height() - height() - cornerMargins_.y());
    return QWidget::eventFilter(watched, event);
}

void DiagnosticsOverlay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(chrome::white(0.3, 0.6), 1));
    p.setBrush(chrome::white(0.0, 0.72));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
}

void DiagnosticsOverlay::mousePressEvent(QMouseEvent* event) {
    // The click stops here: neither the terminal below nor the window sees it.
    event->accept();
}
