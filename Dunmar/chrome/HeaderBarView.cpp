#include "chrome/HeaderBarView.h"

#include "actions/ChordText.h"
#include "chrome/ChromeController.h"
#include "chrome/ChromeStyle.h"
#include "chrome/EdgeStrip.h"
#include "chrome/HorizontalScrollArea.h"
#include "chrome/HoverButton.h"
#include "chrome/SplitIconButton.h"
#include "chrome/SymbolHoverButton.h"
#include "chrome/TabItemView.h"
#include "localisation/LanguageNotifier.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/PushToTalkKeys.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The tinted overlay shown while a file is dragged over the bar.
class DropOverlay : public QWidget {
public:
    explicit DropOverlay(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), chrome::withAlpha(chrome::accentColor(), 0.18));
    }
};

// Local files among the dragged URLs, in their order.
QList<QUrl> fileUrls(const QMimeData* mime) {
    QList<QUrl> out;
    if (!mime || !mime->hasUrls()) return out;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) out << url;
    return out;
}

} // namespace

HeaderBarView::HeaderBarView(QWidget* parent)
    : QWidget(parent), pushToTalkKeyName_(pushtotalk::key(0).name) {
    setAttribute(Qt::WA_StyledBackground, false);
    setCursor(Qt::ArrowCursor);
    resize(width(), barHeight);

    tabScrollView_ = new HorizontalScrollArea(this);
    tabContainer_ = new QWidget;
    tabContainer_->setAttribute(Qt::WA_TranslucentBackground);
    tabContainer_->resize(0, kTabHeight);
    tabScrollView_->setContent(tabContainer_);

    buildButtons();
    applyTooltips();

    leftEdge_ = new EdgeStrip(Qt::SizeHorCursor, this);
    rightEdge_ = new EdgeStrip(Qt::SizeHorCursor, this);

    setAcceptDrops(true);
    dropOverlay_ = new DropOverlay(this);
    dropOverlay_->hide();

    connect(&LanguageNotifier::shared(), &LanguageNotifier::appLanguageChanged, this,
            &HeaderBarView::refreshLanguage);
    layoutBar();
}

HeaderBarView::~HeaderBarView() = default;

void HeaderBarView::buildButtons() {
    using chrome::rgb;
    using chrome::white;
    using chrome::withAlpha;
    const QColor blueHover = rgb(0.35, 0.65, 1.0);
    const QColor blueTint = rgb(0.3, 0.55, 1.0);

    addBtn_ = new HoverButton(QStringLiteral("+"), 18, QFont::Medium, white(0.55), blueHover, chrome::clear(),
                              withAlpha(blueTint, 0.12), withAlpha(blueTint, 0.25), 6, this);
    addBtn_->setHoverScale(1.3);
    addBtn_->onClick = [this] { showNewTabMenu(); };

    auto textButton = [this](const QString& title, const QColor& hover,
                             std::function<void()> HeaderBarView::*callback) {
        auto* b = new HoverButton(title, 9, QFont::Bold, chrome::white(0.5), hover, chrome::clear(),
                                  chrome::withAlpha(hover, 0.12), chrome::withAlpha(hover, 0.25), 4, this);
        b->setHoverScale(1.15);
        QPointer<HeaderBarView> self(this);
        b->onClick = [self, callback] {
            if (self && (self->*callback)) (self->*callback)();
        };
        return b;
    };
    auto symbolButton = [this](const QString& symbol, const QColor& normal, const QColor& hover,
                               const QColor& tint, std::function<void()> HeaderBarView::*callback) {
        auto* b =
            new SymbolHoverButton(symbol, 11, normal, hover, chrome::clear(), chrome::withAlpha(tint, 0.12),
                                  chrome::withAlpha(tint, 0.25), 4, this);
        b->setImageSide(13);
        b->setHoverScale(1.12);
        if (callback) {
            QPointer<HeaderBarView> self(this);
            b->onClick = [self, callback] {
                if (self && (self->*callback)) (self->*callback)();
            };
        }
        return b;
    };

    splitVBtn_ = new SplitIconButton(true, this);
    splitHBtn_ = new SplitIconButton(false, this);
    {
        QPointer<HeaderBarView> self(this);
        splitVBtn_->onClick = [self] {
            if (self && self->onSplitVertical) self->onSplitVertical();
        };
        splitHBtn_->onClick = [self] {
            if (self && self->onSplitHorizontal) self->onSplitHorizontal();
        };
    }
    gitBtn_ = textButton(QStringLiteral("GIT"), rgb(0.95, 0.55, 0.25), &HeaderBarView::onGitToggle);
    webPickerBtn_ =
        textButton(QStringLiteral("</>"), rgb(0.35, 0.85, 0.55), &HeaderBarView::onWebPickerToggle);
    sshBtn_ = textButton(QStringLiteral("SSH"), rgb(0.55, 0.75, 1.0), &HeaderBarView::onSSHToggle);

    const QColor micHover = rgb(0.55, 0.75, 1.0);
    micBtn_ = symbolButton(QStringLiteral("mic"), white(0.5), micHover, micHover, nullptr);
    {
        QPointer<HeaderBarView> self(this);
        micBtn_->onClick = [self] {
            if (self) self->micClicked();
        };
    }
    fileOpenBtn_ =
        symbolButton(QStringLiteral("folder"), white(0.5), blueHover, blueTint, &HeaderBarView::onFileOpen);
    fileSaveBtn_ = symbolButton(QStringLiteral("square.and.arrow.down"), white(0.5), blueHover, blueTint,
                                &HeaderBarView::onFileSave);
    fileSaveAsBtn_ = symbolButton(QStringLiteral("square.and.arrow.down.on.square"), white(0.5), blueHover,
                                  blueTint, &HeaderBarView::onFileSaveAs);
    previewBtn_ = symbolButton(QStringLiteral("eye"), white(0.65), white(1.0), rgb(0.55, 0.75, 1.0),
                               &HeaderBarView::onPreviewToggle);
    for (QWidget* b : {static_cast<QWidget*>(fileOpenBtn_), static_cast<QWidget*>(fileSaveBtn_),
                       static_cast<QWidget*>(fileSaveAsBtn_), static_cast<QWidget*>(previewBtn_)})
        b->hide();
}

void HeaderBarView::applyTooltips() {
    // Looked up afresh each time, so that a change of language shows at once.
    micBtn_->setToolTip(qs(Loc::tooltipDictation(pushToTalkKeyName_.toStdString())));
    fileOpenBtn_->setToolTip(qs(Loc::tooltipOpenFile()));
    fileSaveBtn_->setToolTip(chordtext::tooltip(qs(Loc::tooltipSave()), Action::save));
    fileSaveAsBtn_->setToolTip(chordtext::tooltip(qs(Loc::tooltipSaveAs()), Action::saveAs));
    previewBtn_->setToolTip(qs(previewActive_ ? Loc::tooltipClosePreview() : Loc::tooltipTogglePreview()));
}

void HeaderBarView::setPushToTalkKeyName(const QString& name) {
    pushToTalkKeyName_ = name;
    applyTooltips();
}

void HeaderBarView::refreshLanguage() {
    applyTooltips();
}

QList<QWidget*> HeaderBarView::toolButtons() const {
    return {splitVBtn_, splitHBtn_,   gitBtn_,      webPickerBtn_,  sshBtn_,
            micBtn_,    fileOpenBtn_, fileSaveBtn_, fileSaveAsBtn_, previewBtn_};
}

void HeaderBarView::layoutBar() {
    const int w = width();
    const int h = height();
    const QRect add(w - 12 - 24, (h - 24) / 2, 24, 24);
    addBtn_->setFrame(add);

    // The row of tool buttons ends 6 pixels before "+"; hidden buttons take no room.
    auto sizeOf = [this](QWidget* b) {
        if (b == splitVBtn_ || b == splitHBtn_) return QSize(20, 20);
        if (b == gitBtn_ || b == webPickerBtn_ || b == sshBtn_ || b == micBtn_) return QSize(30, 20);
        return QSize(26, 20);
    };
    int stackWidth = 0;
    int shown = 0;
    for (QWidget* b : toolButtons()) {
        if (b->isHidden()) continue;
        stackWidth += sizeOf(b).width();
        ++shown;
    }
    if (shown > 1) stackWidth += 4 * (shown - 1);
    const int stackLeft = add.left() - 6 - stackWidth;
    int x = stackLeft;
    for (QWidget* b : toolButtons()) {
        if (b->isHidden()) continue;
        const QSize s = sizeOf(b);
        static_cast<BaseHoverButton*>(b)->setFrame(QRect(x, (h - s.height()) / 2, s.width(), s.height()));
        x += s.width() + 4;
    }

    const int stripRight = stackLeft - 4;
    tabScrollView_->setGeometry(8, (h - kTabHeight) / 2, std::max(0, stripRight - 8), kTabHeight);

    leftEdge_->setGeometry(0, 0, kEdgeWidth, h);
    rightEdge_->setGeometry(w - kEdgeWidth, 0, kEdgeWidth, h);
    leftEdge_->raise();
    rightEdge_->raise();
    dropOverlay_->setGeometry(rect());
    dropOverlay_->raise();

    // A strip of another width lays its tabs out afresh.
    if (tabScrollView_->width() != lastScrollWidth_ && lastCount_ >= 1) {
        lastScrollWidth_ = tabScrollView_->width();
        forceRefresh();
    }
}

void HeaderBarView::resizeEvent(QResizeEvent*) {
    layoutBar();
}

void HeaderBarView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), chrome::white(0.0, 0.3));
    // A faint top light gives the bar its glassy edge; the separator closes it at the bottom.
    QLinearGradient sheen(0, 0, 0, height());
    sheen.setColorAt(0, chrome::white(1.0, 0.035));
    sheen.setColorAt(1, chrome::white(1.0, 0.0));
    p.fillRect(rect(), sheen);
    p.fillRect(QRect(0, height() - 1, width(), 1), chrome::white(1.0, 0.08));
}

void HeaderBarView::setGitActive(bool active) {
    gitBtn_->setActive(active);
}
void HeaderBarView::setWebPickerActive(bool active) {
    webPickerBtn_->setActive(active);
}
void HeaderBarView::setSSHActive(bool active) {
    sshBtn_->setActive(active);
}

void HeaderBarView::setSplitActive(bool vertical, bool active) {
    splitVBtn_->setActive(vertical && active);
    splitHBtn_->setActive(active && !vertical);
}

void HeaderBarView::resetSplitButtons() {
    splitVBtn_->setActive(false);
    splitHBtn_->setActive(false);
}

void HeaderBarView::setFileButtonsVisible(bool visible) {
    // Unchanged, nothing is laid out again: an idle window must not repaint itself.
    if (fileButtonsVisible_ == visible) return;
    fileButtonsVisible_ = visible;
    if (!visible) previewButtonVisible_ = false;
    for (QWidget* b : {static_cast<QWidget*>(splitVBtn_), static_cast<QWidget*>(splitHBtn_),
                       static_cast<QWidget*>(gitBtn_), static_cast<QWidget*>(webPickerBtn_),
                       static_cast<QWidget*>(sshBtn_)})
        b->setVisible(!visible);
    for (QWidget* b : {static_cast<QWidget*>(fileOpenBtn_), static_cast<QWidget*>(fileSaveBtn_),
                       static_cast<QWidget*>(fileSaveAsBtn_)})
        b->setVisible(visible);
    // The preview button belongs to editor tabs only; setPreviewButtonVisible decides there.
    if (!visible) previewBtn_->hide();
    layoutBar();
}

void HeaderBarView::setPreviewButtonVisible(bool visible) {
    if (previewButtonVisible_ == visible) return;
    previewButtonVisible_ = visible;
    previewBtn_->setVisible(visible);
    layoutBar();
}

void HeaderBarView::setPreviewActive(bool active) {
    previewActive_ = active;
    previewBtn_->setActive(active);
    previewBtn_->setToolTip(qs(active ? Loc::tooltipClosePreview() : Loc::tooltipTogglePreview()));
}

void HeaderBarView::updateMicButton(const DictationState& state) {
    using Kind = DictationState::Kind;
    switch (state.kind) {
    case Kind::starting:
    case Kind::listening:
    case Kind::transcribing:
        micBtn_->setSymbol(QStringLiteral("mic.fill"), chrome::systemRed());
        break;
    case Kind::error:
        micBtn_->setSymbol(QStringLiteral("mic.slash"), chrome::systemOrange());
        break;
    case Kind::idle:
    case Kind::requesting:
    case Kind::stopping:
        micBtn_->setSymbol(QStringLiteral("mic"));
        break;
    }
}

void HeaderBarView::micClicked() {
    DictationControl* dictation = DictationControl::shared();
    if (!dictation) return;
    const DictationState::Kind kind = dictation->state().kind;
    // Stopping does nothing after a failure, so a click there starts afresh, as from rest.
    if (kind == DictationState::Kind::idle || kind == DictationState::Kind::error)
        dictation->start();
    else
        dictation->stopAndCommit();
}

void HeaderBarView::showNewTabMenu() {
    if (newTabMenu_) newTabMenu_->deleteLater();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setStyleSheet(
        QStringLiteral("QMenu { background: rgba(28, 28, 34, 240); border: 1px solid rgba(255, 255, 255, 40);"
                       " border-radius: 8px; padding: 4px; color: rgba(255, 255, 255, 230); }"
                       "QMenu::item { padding: 5px 18px; border-radius: 5px; }"
                       "QMenu::item:selected { background: rgba(77, 140, 255, 200); color: white; }"));
    menu->setFont(chrome::systemFont(13));
    QPointer<HeaderBarView> self(this);
    menu->addAction(qs(Loc::newTabMenuTerminal()), this, [self] {
        if (self && self->onAddTab) self->onAddTab();
    });
    menu->addAction(qs(Loc::newTabMenuEditor()), this, [self] {
        if (self && self->onAddEditorTab) self->onAddEditorTab();
    });
    newTabMenu_ = menu;
    menu->popup(addBtn_->mapToGlobal(QPoint(0, addBtn_->frame().height() + 4)));
}

bool HeaderBarView::inEdgeStrip(const QPointF& p) const {
    return p.x() < kEdgeWidth || p.x() >= width() - kEdgeWidth;
}

void HeaderBarView::mousePressEvent(QMouseEvent* event) {
    // The strips along the ends belong to the window's resize handling.
    if (event->button() != Qt::LeftButton || inEdgeStrip(event->position())) {
        event->ignore();
        return;
    }
    dragOffset_ = mapTo(window(), event->position());
    event->accept();
}

void HeaderBarView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || inEdgeStrip(event->position())) {
        event->ignore();
        return;
    }
    dragOffset_ = mapTo(window(), event->position());
    event->accept();
    if (onDoubleClick) onDoubleClick();
}

void HeaderBarView::mouseMoveEvent(QMouseEvent* event) {
    ChromeController* controller = ChromeController::installed();
    if (!(event->buttons() & Qt::LeftButton) || !controller || !controller->isWindowDetached()) {
        event->ignore();
        return;
    }
    // The grab point stays under the pointer; placed by its inside, whatever frame the window has.
    QRect frame = window()->geometry();
    frame.moveTopLeft((event->globalPosition() - dragOffset_).toPoint());
    window()->setGeometry(frame);
    event->accept();
}

void HeaderBarView::setDropHighlight(bool on) {
    dropHighlight_ = on;
    dropOverlay_->setVisible(on);
    if (on) dropOverlay_->raise();
}

void HeaderBarView::dragEnterEvent(QDragEnterEvent* event) {
    if (fileUrls(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    setDropHighlight(true);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void HeaderBarView::dragMoveEvent(QDragMoveEvent* event) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void HeaderBarView::dragLeaveEvent(QDragLeaveEvent* event) {
    setDropHighlight(false);
    event->accept();
}

void HeaderBarView::dropEvent(QDropEvent* event) {
    setDropHighlight(false);
    const QList<QUrl> urls = fileUrls(event->mimeData());
    // Only the first file counts; a folder or a missing file is refused without a word.
    if (urls.isEmpty()) {
        event->ignore();
        return;
    }
    const QFileInfo info(urls.first().toLocalFile());
    if (!info.exists() || info.isDir()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (onFileDropped) onFileDropped(urls.first());
}
