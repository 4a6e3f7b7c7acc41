#include "editor/FindReplaceBar.h"

#include "chrome/ChromeStyle.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

FindReplaceBar::FindReplaceBar(QWidget* parent) : QWidget(parent) {
    findField_ = makeField(QStringLiteral("Find"));
    replaceField_ = makeField(QStringLiteral("Replace"));
    matchLabel_ = new QLabel(this);
    matchLabel_->setFont(chrome::systemFont(11));
    matchLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette labelPalette = matchLabel_->palette();
    labelPalette.setColor(QPalette::WindowText, palette().color(QPalette::PlaceholderText));
    matchLabel_->setPalette(labelPalette);
    prevBtn_ = makeMiniBtn(QStringLiteral("↑"), &FindReplaceBar::prevTapped);
    nextBtn_ = makeMiniBtn(QStringLiteral("↓"), &FindReplaceBar::nextTapped);
    replaceBtn_ = makeMiniBtn(QStringLiteral("Replace"), &FindReplaceBar::replaceTapped);
    replaceAllBtn_ = makeMiniBtn(QStringLiteral("All"), &FindReplaceBar::replaceAllTapped);
    closeBtn_ = makeMiniBtn(QStringLiteral("✕"), &FindReplaceBar::closeTapped);
    closeBtn_->setFlat(true);

    // Search as you type; Return searches on; changes of the replacement do nothing.
    connect(findField_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (onSearch) onSearch(text, true);
    });
    connect(findField_, &QLineEdit::returnPressed, this, &FindReplaceBar::nextTapped);
    findField_->installEventFilter(this);
    replaceField_->installEventFilter(this);
    setAutoFillBackground(false);
}

QLineEdit* FindReplaceBar::makeField(const QString& placeholder) {
    auto* field = new QLineEdit(this);
    field->setPlaceholderText(placeholder);
    field->setFont(chrome::monoFont(12));
    return field;
}

QPushButton* FindReplaceBar::makeMiniBtn(const QString& title, void (FindReplaceBar::*action)()) {
    auto* button = new QPushButton(title, this);
    button->setFont(chrome::systemFont(11));
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, action);
    return button;
}

void FindReplaceBar::setMatchInfo(int current, int total) {
    QPalette p = matchLabel_->palette();
    if (total == 0) {
        matchLabel_->setText(qs(Loc::noMatches()));
        p.setColor(QPalette::WindowText, QColor(255, 59, 48));
    } else {
        matchLabel_->setText(QStringLiteral("%1/%2").arg(current).arg(total));
        p.setColor(QPalette::WindowText, palette().color(QPalette::PlaceholderText));
    }
    matchLabel_->setPalette(p);
}

void FindReplaceBar::nextTapped() {
    if (onSearch) onSearch(findField_->text(), true);
}

void FindReplaceBar::prevTapped() {
    if (onSearch) onSearch(findField_->text(), false);
}

void FindReplaceBar::replaceTapped() {
    if (onReplace) onReplace(replaceField_->text());
}

void FindReplaceBar::replaceAllTapped() {
    if (onReplaceAll) onReplaceAll(findField_->text(), replaceField_->text());
}

void FindReplaceBar::closeTapped() {
    if (onClose) onClose();
}

bool FindReplaceBar::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == findField_ || watched == replaceField_) &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            if (event->type() == QEvent::KeyPress) closeTapped();
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindReplaceBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int w = width();
    const int fw = std::max(w - 210, 100);
    const int x0 = 8 + fw + 6;
    findField_->setGeometry(8, 4, fw, 24);
    replaceField_->setGeometry(8, 33, fw, 24);
    prevBtn_->setGeometry(x0, 4, 28, 24);
    nextBtn_->setGeometry(x0 + 30, 4, 28, 24);
    matchLabel_->setGeometry(x0 + 60, 4, 84, 24);
    closeBtn_->setGeometry(w - 28, 4, 24, 24);
    replaceBtn_->setGeometry(x0, 33, 58, 24);
    replaceAllBtn_->setGeometry(x0 + 62, 33, 36, 24);
}

void FindReplaceBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor background = palette().color(QPalette::Window);
    background.setAlphaF(0.95f);
    painter.fillRect(rect(), background);
    painter.fillRect(QRect(0, 0, width(), 1), palette().color(QPalette::Mid));
}
