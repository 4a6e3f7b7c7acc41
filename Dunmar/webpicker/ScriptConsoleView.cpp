#include "webpicker/ScriptConsoleView.h"

#include "chrome/ChromeStyle.h"
#include "platform/PlainText.h"
#include "webpicker/ScriptConsole.h"
#include "webpicker/SidebarStyle.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QEasingCurve>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVariantAnimation>

using namespace sidebarstyle;

namespace {

constexpr int kAnimationMs = 220;

QColor answerColour(ConsoleAnswer::Kind kind) {
    switch (kind) {
    case ConsoleAnswer::Kind::value:
        return chrome::withAlpha(WebPickerSidebarView::teal(), 0.8);
    case ConsoleAnswer::Kind::error:
        return chrome::rgb(0.9, 0.35, 0.35);
    case ConsoleAnswer::Kind::noResponse:
        break;
    }
    return chrome::white(0.4);
}

} // namespace

ScriptConsoleView::ScriptConsoleView(ScriptConsole& console, QWidget* parent)
    : QWidget(parent), console_(console) {
    const QColor teal = WebPickerSidebarView::teal();
    box_ = new QWidget(this);
    box_->setAttribute(Qt::WA_StyledBackground);
    box_->setObjectName(QStringLiteral("replBox"));
    box_->setStyleSheet(QStringLiteral("#replBox{background:%1;border:1px solid %2;}")
                            .arg(css(chrome::white(1.0, 0.03)), css(chrome::white(1.0, 0.07))));
    auto* prompt = textLabel(QStringLiteral("›"), chrome::monoFont(11, QFont::Medium), teal, box_);
    prompt->setGeometry(8, 6, 14, 16);
    field_ = new QLineEdit(box_);
    field_->setPlaceholderText(QStringLiteral("document.title"));
    field_->setFont(chrome::monoFont(10));
    field_->setFrame(false);
    field_->setStyleSheet(
        QStringLiteral("background:transparent;border:none;color:%1;").arg(css(chrome::white(0.9))));
    field_->installEventFilter(this);
    resultLabel_ = textLabel(QString(), chrome::monoFont(9), chrome::withAlpha(teal, 0.8), box_);

    QObject::connect(field_, &QLineEdit::returnPressed, this, [this] { console_.evaluate(field_->text()); });
    QObject::connect(&console_, &ScriptConsole::evaluating, this, [this] {
        setLabelColour(resultLabel_, answerColour(ConsoleAnswer::Kind::value));
        resultLabel_->setText(QStringLiteral("…"));
    });
    QObject::connect(&console_, &ScriptConsole::answered, this, &ScriptConsoleView::showAnswer);
}

void ScriptConsoleView::showAnswer(const ConsoleAnswer& answer) {
    setLabelColour(resultLabel_, answerColour(answer.kind));
    // One line, cut at its end; the page's text as the characters it is.
    const QString shown = plaintext::visibleEscapes(answer.text);
    const int width = std::max(0, resultLabel_->width());
    resultLabel_->setText(width > 0 ? resultLabel_->fontMetrics().elidedText(shown, Qt::ElideRight, width)
                                    : shown);
    resultLabel_->setToolTip(plaintext::toolTip(answer.text));
}

void ScriptConsoleView::toggle() {
    expanded_ = !expanded_;
    emit expandedChanged(expanded_);
    auto* animation = new QVariantAnimation(this);
    QEasingCurve curve(QEasingCurve::BezierSpline);
    if (expanded_) {
        // Overshoots a little and settles.
        curve.addCubicBezierSegment(QPointF(0.34, 1.56), QPointF(0.64, 1.0), QPointF(1.0, 1.0));
    } else {
        curve.addCubicBezierSegment(QPointF(0.42, 0.0), QPointF(1.0, 1.0), QPointF(1.0, 1.0));
    }
    animation->setEasingCurve(curve);
    animation->setDuration(kAnimationMs);
    animation->setStartValue(height_);
    animation->setEndValue(expanded_ ? kOpenHeight : 0);
    QObject::connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        height_ = std::max(0, value.toInt());
        emit heightChanged();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    if (expanded_ && window()) field_->setFocus(Qt::OtherFocusReason);
}

bool ScriptConsoleView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const ScriptConsole::Step step = console_.browse(static_cast<QKeyEvent*>(event)->key());
        if (step.line) field_->setText(*step.line);
        if (step.handled) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ScriptConsoleView::place(const QRect& rect) {
    // Laid out at once: a hidden parent gets its resize events only when it is shown.
    setGeometry(rect);
    layoutBox();
}

void ScriptConsoleView::layoutBox() {
    const int inner = width();
    box_->setGeometry(0, 0, inner, kOpenHeight);
    field_->setGeometry(8 + 14 + 4, 4, std::max(0, inner - 8 - 14 - 4 - 8), 22);
    resultLabel_->setGeometry(10, 4 + 22 + 4, std::max(0, inner - 18), resultLabel_->sizeHint().height());
}
