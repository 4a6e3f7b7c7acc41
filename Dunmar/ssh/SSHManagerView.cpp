#include "ssh/SSHManagerView.h"

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "chrome/FlippedClipView.h"
#include "chrome/SidebarContextMenu.h"
#include "localisation/LanguageNotifier.h"
#include "ssh/SSHConnectionText.h"
#include "ssh/SSHFieldValidator.h"
#include "ssh/SSHPanelStyle.h"
#include "ssh/SSHProfileRowView.h"
#include "ssh/SSHProfileStore.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEasingCurve>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace {

constexpr int kFormOpenMs = 220;
constexpr int kFormCloseMs = 150;

const QString kFieldStyle =
    QStringLiteral("QLineEdit { color: rgba(230,230,230,1); background: rgba(255,255,255,0.08); border: %1; "
                   "border-radius: 3px; padding: 0px 3px; }");
const QString kNoBorder = QStringLiteral("none");
const QString kRedBorder = QStringLiteral("1px solid rgb(255,59,48)");

QLineEdit* makeField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setFont(chrome::monoFont(9));
    field->setFixedHeight(18);
    field->setFrame(false);
    field->setAttribute(Qt::WA_MacShowFocusRect, false);
    field->setStyleSheet(kFieldStyle.arg(kNoBorder));
    field->setValidator(new SSHFieldValidator(field));
    return field;
}

// The last piece of a text split at double blanks: "💾  Save" gives "Save".
QString lastPiece(const QString& text) {
    const QStringList pieces = text.split(QStringLiteral("  "), Qt::SkipEmptyParts);
    return pieces.isEmpty() ? text : pieces.last();
}

} // namespace

SSHManagerView::SSHManagerView(Defaults& defaults, QWidget* parent) : QWidget(parent), defaults_(defaults) {
    setAttribute(Qt::WA_StyledBackground, false);
    profiles_ = sshprofiles::load(defaults_);
    setupUI();
    connect(&LanguageNotifier::shared(), &LanguageNotifier::appLanguageChanged, this,
            &SSHManagerView::refreshSSHLanguage);
}

void SSHManagerView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), chrome::white(0.07));
}

// A right click anywhere on the panel that no field of it answers itself.
void SSHManagerView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    showSidebarContextMenu(this, event->globalPos(), sidebarMenuHost);
}

// Tab and Shift+Tab go round the form's three fields. Left to the window's chain they would move
// on to the terminal, and what the user typed next for the form would run in the shell.
bool SSHManagerView::focusNextPrevChild(bool next) {
    const QList<QLineEdit*> fields{nameField_, connField_, keyField_};
    const qsizetype at = fields.indexOf(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    if (at < 0) return QWidget::focusNextPrevChild(next);
    const qsizetype to = (at + (next ? 1 : fields.size() - 1)) % fields.size();
    fields[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void SSHManagerView::setupUI() {
    const QColor accent = sshstyle::accent();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The header line: the title at the left, add, move and close at the right.
    auto* header = new QHBoxLayout;
    header->setContentsMargins(12, 10, 8, 0);
    header->setSpacing(0);
    auto* title = new QLabel(QStringLiteral("\u2317  SSH"), this);
    title->setFont(chrome::systemFont(11, QFont::DemiBold));
    title->setStyleSheet(QStringLiteral("color: %1;").arg(accent.name()));
    header->addWidget(title, 0, Qt::AlignVCenter);
    header->addStretch(1);
    addBtn_ = sshstyle::flatButton(QStringLiteral("+"), chrome::systemFont(14, QFont::Light), accent, this);
    addBtn_->setFixedWidth(22);
    moveUpBtn_ = sshstyle::flatButton(QStringLiteral("\u25B2"), chrome::systemFont(9, QFont::Medium),
                                      chrome::white(0.5), this);
    moveUpBtn_->setFixedWidth(18);
    moveUpBtn_->hide();
    moveDownBtn_ = sshstyle::flatButton(QStringLiteral("\u25BC"), chrome::systemFont(9, QFont::Medium),
                                        chrome::white(0.5), this);
    moveDownBtn_->setFixedWidth(18);
    moveDownBtn_->hide();
    auto* closeBtn =
        sshstyle::flatButton(QStringLiteral("\u2715"), chrome::systemFont(10), chrome::white(0.45), this);
    closeBtn->setFixedWidth(22);
    header->addWidget(addBtn_, 0, Qt::AlignVCenter);
    header->addSpacing(4);
    header->addWidget(moveUpBtn_, 0, Qt::AlignVCenter);
    header->addSpacing(2);
    header->addWidget(moveDownBtn_, 0, Qt::AlignVCenter);
    header->addSpacing(2);
    header->addWidget(closeBtn, 0, Qt::AlignVCenter);
    column->addLayout(header);
    column->addSpacing(10);

    auto* separator = new QWidget(this);
    separator->setFixedHeight(1);
    separator->setAutoFillBackground(true);
    separator->setStyleSheet(QStringLiteral("background: rgba(255,255,255,0.07);"));
    column->addWidget(separator);

    // The form sits in a clipping wrapper whose height slides between 0 and the form's own.
    formWrap_ = new QWidget(this);
    formWrap_->setFixedHeight(0);
    formInner_ = new QWidget(formWrap_);
    formInner_->setObjectName(QStringLiteral("formInner"));
    formInner_->setAttribute(Qt::WA_StyledBackground, true);
    formInner_->setStyleSheet(QStringLiteral("#formInner { background: rgba(255,255,255,0.04); "
                                             "border: 1px solid rgba(255,255,255,0.07); }"));
    formInner_->setFixedHeight(kFormHeight);
    auto* form = new QVBoxLayout(formInner_);
    form->setContentsMargins(8, 8, 8, 0);
    form->setSpacing(0);
    formTitleLbl_ = new QLabel(formInner_);
    formTitleLbl_->setFont(chrome::systemFont(9, QFont::DemiBold));
    formTitleLbl_->setStyleSheet(QStringLiteral("color: %1;").arg(accent.name()));
    formTitleLbl_->setContentsMargins(2, 0, 0, 0);
    formTitleLbl_->setText(sshstyle::text("sshNewConn"));
    form->addWidget(formTitleLbl_);
    nameField_ = makeField(formInner_);
    connField_ = makeField(formInner_);
    keyField_ = makeField(formInner_);
    form->addSpacing(5);
    form->addWidget(nameField_);
    form->addSpacing(4);
    form->addWidget(connField_);
    form->addSpacing(4);
    form->addWidget(keyField_);
    form->addSpacing(7);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    buttons->addStretch(1);
    auto* cancelBtn =
        sshstyle::flatButton(sshstyle::text("cancel"), chrome::systemFont(9), chrome::white(0.5), formInner_);
    cancelBtn->setObjectName(QStringLiteral("cancel"));
    cancelBtn->setMinimumWidth(44);
    cancelBtn->setFixedHeight(16);
    auto* saveBtn = sshstyle::flatButton(lastPiece(sshstyle::text("save")),
                                         chrome::systemFont(9, QFont::DemiBold), accent, formInner_);
    saveBtn->setObjectName(QStringLiteral("save"));
    saveBtn->setMinimumWidth(36);
    saveBtn->setFixedHeight(16);
    buttons->addWidget(cancelBtn);
    buttons->addWidget(saveBtn);
    form->addLayout(buttons);
    form->addStretch(1);
    QWidget::setTabOrder(nameField_, connField_);
    QWidget::setTabOrder(connField_, keyField_);
    QWidget::setTabOrder(keyField_, nameField_);
    column->addWidget(formWrap_);

    scrollView_ = new FlippedClipView(this);
    listStack_ = new QWidget;
    listLayout_ = new QVBoxLayout(listStack_);
    listLayout_->setContentsMargins(0, 6, 0, 6);
    listLayout_->setSpacing(1);
    scrollView_->setDocument(listStack_);
    column->addWidget(scrollView_, 1);

    refreshSSHLanguage();
    formWrap_->raise();

    connect(addBtn_, &QPushButton::clicked, this, &SSHManagerView::toggleForm);
    connect(moveUpBtn_, &QPushButton::clicked, this, [this] {
        if (onMoveUp) onMoveUp();
    });
    connect(moveDownBtn_, &QPushButton::clicked, this, [this] {
        if (onMoveDown) onMoveDown();
    });
    connect(closeBtn, &QPushButton::clicked, this, [this] {
        if (onClose) onClose();
    });
    connect(saveBtn, &QPushButton::clicked, this, &SSHManagerView::saveProfile);
    connect(cancelBtn, &QPushButton::clicked, this, &SSHManagerView::cancelForm);
    // Return in any field saves, as the save button would.
    for (QLineEdit* field : {nameField_, connField_, keyField_})
        connect(field, &QLineEdit::returnPressed, this, &SSHManagerView::saveProfile);
}

void SSHManagerView::setMoveButtonsEnabled(bool up, bool down) {
    const bool any = up || down;
    for (auto [button, on] : {std::pair{moveUpBtn_, up}, std::pair{moveDownBtn_, down}}) {
        button->setVisible(any);
        button->setEnabled(on);
        chrome::setWidgetAlpha(button, on ? 1.0 : 0.35);
    }
}

bool SSHManagerView::isMoveUpEnabled() const {
    return !moveUpBtn_->isHidden() && moveUpBtn_->isEnabled();
}

bool SSHManagerView::isMoveDownEnabled() const {
    return !moveDownBtn_->isHidden() && moveDownBtn_->isEnabled();
}

void SSHManagerView::rebuildList() {
    while (QLayoutItem* item = listLayout_->takeAt(0)) {
        // A row may be the one whose button is being handled: it goes once that is over.
        if (QWidget* w = item->widget()) {
            w->hide();
            w->deleteLater();
        }
        delete item;
    }
    if (profiles_.isEmpty()) {
        auto* empty = new QWidget(listStack_);
        empty->setObjectName(QStringLiteral("emptyList"));
        empty->setFixedHeight(50);
        auto* layout = new QVBoxLayout(empty);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* label = new QLabel(sshstyle::text("sshNoSaved"), empty);
        label->setFont(chrome::monoFont(9));
        label->setStyleSheet(QStringLiteral("color: rgba(77,77,77,1);"));
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
        listLayout_->addWidget(empty);
    } else {
        const QPointer<SSHManagerView> self(this);
        for (int i = 0; i < profiles_.size(); ++i) {
            auto* row = new SSHProfileRowView(profiles_[i], i, sshstyle::accent(), listStack_);
            row->onConnect = [self](int index) {
                if (!self || index < 0 || index >= self->profiles_.size()) return;
                // A stored profile that could type commands or options of its own never connects.
                if (!self->profiles_[index].isValid()) return;
                if (self->onConnect) self->onConnect(self->profiles_[index]);
            };
            row->onEdit = [self](int index) {
                if (self) self->startEditing(index);
            };
            row->onDelete = [self](int index) {
                if (!self || index < 0 || index >= self->profiles_.size()) return;
                self->profiles_.removeAt(index);
                self->saveProfiles();
                self->rebuildList();
            };
            listLayout_->addWidget(row);
        }
    }
    listLayout_->addStretch(1);
    listStack_->adjustSize();
}

QList<SSHProfileRowView*> SSHManagerView::rows() const {
    QList<SSHProfileRowView*> result;
    for (int i = 0; i < listLayout_->count(); ++i)
        if (auto* row = qobject_cast<SSHProfileRowView*>(listLayout_->itemAt(i)->widget()))
            result.append(row);
    return result;
}

void SSHManagerView::toggleForm() {
    if (formVisible_) {
        cancelForm();
        return;
    }
    editingIndex_.reset();
    editingId_.clear();
    formTitleLbl_->setText(sshstyle::text("sshNewConn"));
    nameField_->clear();
    connField_->clear();
    keyField_->clear();
    openForm();
}

void SSHManagerView::startEditing(int index) {
    if (index < 0 || index >= profiles_.size()) return;
    const SSHProfile& profile = profiles_[index];
    editingIndex_ = index;
    editingId_ = profile.id;
    formTitleLbl_->setText(sshstyle::text("sshEditConn"));
    nameField_->setText(profile.label);
    connField_->setText(profile.connectionText());
    keyField_->setText(profile.keyFile);
    openForm();
}

void SSHManagerView::openForm() {
    if (formVisible_) return;
    formVisible_ = true;
    addBtn_->setText(QStringLiteral("\u2212"));
    animateFormHeight(kFormHeight, kFormOpenMs, true);
    nameField_->setFocus(Qt::OtherFocusReason);
}

void SSHManagerView::cancelForm() {
    formVisible_ = false;
    editingIndex_.reset();
    editingId_.clear();
    addBtn_->setText(QStringLiteral("+"));
    animateFormHeight(0, kFormCloseMs, false);
    if (QWidget* focused = focusWidget(); focused && isAncestorOf(focused)) focused->clearFocus();
}

void SSHManagerView::animateFormHeight(int to, int ms, bool springy) {
    if (formAnimation_) formAnimation_->stop();
    auto* animation = new QVariantAnimation(this);
    animation->setDuration(ms);
    animation->setStartValue(formWrap_->height());
    animation->setEndValue(to);
    if (springy) {
        QEasingCurve curve(QEasingCurve::BezierSpline);
        curve.addCubicBezierSegment(QPointF(0.22, 1.0), QPointF(0.36, 1.0), QPointF(1.0, 1.0));
        animation->setEasingCurve(curve);
    } else {
        QEasingCurve curve(QEasingCurve::BezierSpline);
        curve.addCubicBezierSegment(QPointF(0.25, 0.1), QPointF(0.25, 1.0), QPointF(1.0, 1.0));
        animation->setEasingCurve(curve);
    }
    connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        const int height = value.toInt();
        formWrap_->setFixedHeight(height);
        // The form is pinned to the wrapper's bottom edge and slides in from above.
        formInner_->setGeometry(0, height - kFormHeight, formWrap_->width(), kFormHeight);
    });
    formAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void SSHManagerView::saveProfile() {
    const std::optional<SSHConnectionTarget> target = parseConnectionText(trimBlanks(connField_->text()));
    if (!target) {
        flashConnFieldError();
        return;
    }
    const QString name = trimBlanks(nameField_->text());
    const QString key = trimBlanks(keyField_->text());
    // The profile the form was opened for, wherever it stands now; gone, the form's values make a
    // new profile rather than land on another one.
    qsizetype at = -1;
    if (editingIndex_ && !editingId_.isEmpty()) {
        for (qsizetype i = 0; i < profiles_.size(); ++i)
            if (profiles_[i].id == editingId_) at = i;
    }
    SSHProfile profile = SSHProfile::make(name, target->user, target->host, target->port, key);
    if (at >= 0) profile.id = profiles_[at].id;
    // The fields refuse control characters, but a stored profile being edited was put in by the
    // program and may hold them; an option-like user or host is refused here too.
    if (!profile.isValid()) {
        if (hasControlCharacters(nameField_->text()))
            flashFieldError(nameField_);
        else if (hasControlCharacters(keyField_->text()))
            flashFieldError(keyField_);
        else
            flashConnFieldError();
        return;
    }
    if (at < 0)
        profiles_.append(profile);
    else
        profiles_[at] = profile;
    saveProfiles();
    rebuildList();
    cancelForm();
}

void SSHManagerView::setFieldBorder(QLineEdit* red) {
    if (flashingField_) flashingField_->setStyleSheet(kFieldStyle.arg(kNoBorder));
    flashingField_ = red;
    if (red) red->setStyleSheet(kFieldStyle.arg(kRedBorder));
}

void SSHManagerView::flashConnFieldError() {
    flashFieldError(connField_);
}

void SSHManagerView::flashFieldError(QLineEdit* field) {
    setFieldBorder(field);
    // A second flash within the first keeps the border its full time.
    const int generation = ++flashGeneration_;
    QTimer::singleShot(kErrorFlashMs, this, [this, generation] {
        if (generation == flashGeneration_) setFieldBorder(nullptr);
    });
}

void SSHManagerView::refreshSSHLanguage() {
    formTitleLbl_->setText(sshstyle::text("sshNewConn"));
    nameField_->setPlaceholderText(sshstyle::text("sshNamePh"));
    connField_->setPlaceholderText(sshstyle::text("sshConnPh"));
    keyField_->setPlaceholderText(sshstyle::text("sshKeyPh"));
    rebuildList();
}

void SSHManagerView::saveProfiles() {
    sshprofiles::save(defaults_, profiles_);
}
