// The picker sidebar's view tree, its display states and its small controls.
#include "webpicker/WebPickerSidebarView.h"

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "localisation/LanguageNotifier.h"
#include "localisation/Loc.h"
#include "platform/PlainText.h"
#include "settings/VertCenteredTextField.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/DevToolsPort.h"
#include "webpicker/PickListModel.h"
#include "webpicker/PickListView.h"
#include "webpicker/ScriptConsole.h"
#include "webpicker/ScriptConsoleView.h"
#include "webpicker/SidebarStyle.h"
#include "webpicker/StatusDotView.h"
#include "webpicker/WebPickerConnection.h"
#include "webpicker/WebPickerHotReload.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

using namespace sidebarstyle;

namespace {

QString loc(const char* key) {
    return QString::fromStdString(Loc::t(key));
}

QColor tealAlpha(qreal alpha) {
    return chrome::withAlpha(WebPickerSidebarView::teal(), alpha);
}

// The grey the desktop uses for "off".
QColor systemGray() {
    return QColor(142, 142, 147);
}

QWidget* box(QWidget* parent) {
    auto* view = new QWidget(parent);
    view->setAttribute(Qt::WA_StyledBackground);
    view->setObjectName(QStringLiteral("box"));
    view->setStyleSheet(QStringLiteral("#box{background:%1;border-radius:5px;border:1px solid %2;}")
                            .arg(css(chrome::white(0.1, 0.97)), css(chrome::white(0.22))));
    return view;
}

// Positions a widget by its left edge, width and vertical centre.
void centreOn(QWidget* widget, int x, int width, int centreY) {
    const int h = widget->sizeHint().height();
    widget->setGeometry(x, centreY - h / 2, width, h);
}

} // namespace

QColor WebPickerSidebarView::teal() {
    static const QColor color = QColor::fromRgbF(0.24f, 0.79f, 0.63f, 1.0f);
    return color;
}

WebPickerSidebarView::WebPickerSidebarView(Defaults& defaults, QWidget* parent)
    : QWidget(parent), defaults_(defaults), connection_(new WebPickerConnection(defaults, this)),
      picks_(new PickListModel(defaults, connection_->cdp(), this)),
      console_(new ScriptConsole(*connection_, this)),
      hotReload_(new WebPickerHotReload(defaults, *connection_, this)) {
    setAttribute(Qt::WA_StyledBackground);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, chrome::white(0.07));
    setPalette(pal);
    setupUI();
    bindConnection();
    bindPicks();
    bindHotReload();
    QObject::connect(&LanguageNotifier::shared(), &LanguageNotifier::appLanguageChanged, this,
                     &WebPickerSidebarView::refreshLanguage);
}

WebPickerSidebarView::~WebPickerSidebarView() {
    // The views go before the parts they call into, and the connection last: its client cancels its
    // requests as it goes, and their answers call into the parts.
    delete pickListView_;
    delete consoleView_;
    delete hotReload_;
    delete console_;
    delete picks_;
    delete connection_;
}

void WebPickerSidebarView::setupUI() {
    const QColor teal = WebPickerSidebarView::teal();
    // Created in drawing order, back to front.
    titleLabel_ =
        textLabel(QStringLiteral("◈  WebPicker"), chrome::systemFont(11, QFont::DemiBold), teal, this);
    closeBtn_ = textButton(QStringLiteral("✕"), chrome::systemFont(11), chrome::white(0.35), this);
    QObject::connect(closeBtn_, &QPushButton::clicked, this, [this] {
        if (onClose) onClose();
    });
    replBtn_ =
        textButton(QStringLiteral("</>"), chrome::monoFont(9, QFont::Medium), chrome::white(0.35), this);
    replBtn_->setToolTip(loc("tooltipToggleREPL"));
    replBtn_->hide();
    moveDownBtn_ =
        textButton(QStringLiteral("▼"), chrome::systemFont(9, QFont::Medium), chrome::white(0.5), this);
    QObject::connect(moveDownBtn_, &QPushButton::clicked, this, [this] {
        if (onMoveDown) onMoveDown();
    });
    moveDownBtn_->hide();
    moveUpBtn_ =
        textButton(QStringLiteral("▲"), chrome::systemFont(9, QFont::Medium), chrome::white(0.5), this);
    QObject::connect(moveUpBtn_, &QPushButton::clicked, this, [this] {
        if (onMoveUp) onMoveUp();
    });
    moveUpBtn_->hide();
    debugLink1_ = textLabel(QStringLiteral("chrome://inspect"), chrome::monoFont(7.5), tealAlpha(0.45), this);
    debugLink1_->setToolTip(QStringLiteral("Open chrome://inspect in Chrome"));
    debugLink1_->setCursor(Qt::PointingHandCursor);
    debugLink1_->installEventFilter(this);
    debugLink2_ =
        textLabel(QStringLiteral("localhost:9222/json"), chrome::monoFont(7.5), tealAlpha(0.45), this);
    debugLink2_->setToolTip(QStringLiteral("Open http://localhost:9222/json in browser"));
    debugLink2_->setCursor(Qt::PointingHandCursor);
    debugLink2_->installEventFilter(this);
    titleSep_ = line(tealAlpha(0.25), this);
    previewSep_ = line(chrome::white(1.0, 0.08), this);
    statusDot_ = new StatusDotView(this);
    statusDot_->setColor(systemGray());
    statusLabel_ = textLabel(QString(), chrome::monoFont(9.5), chrome::white(0.6), this);
    disconnectBtn_ = textButton(loc("disconnect"), chrome::systemFont(9.5), chrome::white(0.5), this);
    disconnectBtn_->installEventFilter(this);
    QObject::connect(disconnectBtn_, &QPushButton::clicked, this, &WebPickerSidebarView::disconnect);
    disconnectBtn_->hide();

    urlBg_ = new QWidget(this);
    urlBg_->setAttribute(Qt::WA_StyledBackground);
    urlBg_->setObjectName(QStringLiteral("urlBg"));
    urlBg_->setStyleSheet(QStringLiteral("#urlBg{background:%1;border-radius:5px;border:1px solid %2;}")
                              .arg(css(chrome::white(0.12)), css(chrome::white(0.2))));
    urlField_ = new VertCenteredTextField(urlBg_);
    urlField_->setLeftPad(10);
    urlField_->setPlaceholderText(QStringLiteral("https://..."));
    urlField_->setFont(chrome::systemFont(10));
    urlField_->setFrame(false);
    urlField_->setStyleSheet(
        QStringLiteral("background:transparent;border:none;color:%1;").arg(css(chrome::white(0.88))));
    urlBg_->hide();
    tabSwitcherBtn_ = textButton(QStringLiteral("⊞"), chrome::systemFont(11), chrome::white(0.45), this);
    tabSwitcherBtn_->setToolTip(loc("tooltipSwitchTab"));
    tabSwitcherBtn_->hide();
    hotReloadBtn_ = textButton(QStringLiteral("⟳"), chrome::systemFont(12), chrome::white(0.45), this);
    hotReloadBtn_->setToolTip(loc("tooltipHotReload"));
    hotReloadBtn_->hide();

    pickBtn_ = new QPushButton(loc("pickElement"), this);
    pickBtn_->setFont(chrome::systemFont(11, QFont::Medium));
    pickBtn_->setEnabled(false);
    styleTealButton(pickBtn_, false);
    connectBtn_ = new QPushButton(loc("connectToChrome"), this);
    connectBtn_->setFont(chrome::systemFont(10.5, QFont::Medium));
    styleTealButton(connectBtn_, true);
    QObject::connect(connectBtn_, &QPushButton::clicked, this, &WebPickerSidebarView::connect);

    pickListView_ = new PickListView(*picks_, this);

    watchRow_ = new QWidget(this);
    watchFolderBtn_ = textButton(QStringLiteral("📁"), chrome::systemFont(11), chrome::white(0.8), watchRow_);
    watchFolderBtn_->setToolTip(loc("tooltipWatchFolder"));
    watchStatusLabel_ = textLabel(QString(), chrome::monoFont(8.5), tealAlpha(0.7), watchRow_);
    watchRow_->hide();

    suggestBox_ = box(this);
    suggestBox_->hide();
    tabBox_ = box(this);
    tabBox_->hide();

    consoleView_ = new ScriptConsoleView(*console_, this);
    QObject::connect(replBtn_, &QPushButton::clicked, consoleView_, &ScriptConsoleView::toggle);
    QObject::connect(consoleView_, &ScriptConsoleView::expandedChanged, this, [this](bool expanded) {
        replBtn_->setStyleSheet(
            QStringLiteral("QPushButton{border:none;background:transparent;padding:0;color:%1;}")
                .arg(css(expanded ? WebPickerSidebarView::teal() : chrome::white(0.35))));
    });
    QObject::connect(consoleView_, &ScriptConsoleView::heightChanged, this,
                     &WebPickerSidebarView::layoutContents);

    QObject::connect(pickBtn_, &QPushButton::clicked, picks_, &PickListModel::startPicking);
    QObject::connect(urlField_, &QLineEdit::returnPressed, this, &WebPickerSidebarView::navigateURL);
    QObject::connect(urlField_, &QLineEdit::textEdited, this, &WebPickerSidebarView::updateSuggestions);
    urlField_->installEventFilter(this);
    QObject::connect(tabSwitcherBtn_, &QPushButton::clicked, this, &WebPickerSidebarView::toggleTabSwitcher);
    QObject::connect(hotReloadBtn_, &QPushButton::clicked, hotReload_, &WebPickerHotReload::toggle);
    QObject::connect(watchFolderBtn_, &QPushButton::clicked, this, &WebPickerSidebarView::selectWatchFolder);

    showDisconnectedState();
}

void WebPickerSidebarView::bindConnection() {
    QObject::connect(connection_, &WebPickerConnection::attemptStarted, this, [this] {
        picks_->stopPicking();
        pickBtn_->setText(loc("pickElement"));
    });
    QObject::connect(connection_, &WebPickerConnection::connecting, this,
                     &WebPickerSidebarView::showConnectingState);
    QObject::connect(connection_, &WebPickerConnection::opened, this, [this] {
        if (onConnected) onConnected();
    });
    QObject::connect(connection_, &WebPickerConnection::pageShown, this,
                     [this](const QString& host) { showConnectedState(host, host.isEmpty()); });
    QObject::connect(connection_, &WebPickerConnection::ended, this, &WebPickerSidebarView::connectionEnded);
}

void WebPickerSidebarView::connectionEnded(const QString& message) {
    picks_->stopPicking();
    hotReload_->stop();
    showDisconnectedState();
    if (!message.isEmpty()) plaintext::setLabelText(statusLabel_, message);
}

void WebPickerSidebarView::bindPicks() {
    QObject::connect(picks_, &PickListModel::pickingChanged, this, [this](bool picking) {
        if (!picking) return resetPickButton();
        pickBtn_->setText(loc("waitingForClick"));
        pickBtn_->setEnabled(false);
        styleTealButton(pickBtn_, false);
    });
    QObject::connect(picks_, &PickListModel::picked, this, [this](const QString& html) {
        // The markup goes to the clipboard. It is pasted only into one of our own terminals, through
        // the terminal's paste (bracketed when the program asked for it): a synthetic keystroke into
        // whatever application has the focus could run an untrusted page's lines in a shell.
        QGuiApplication::clipboard()->setText(html);
        const QPointer<WebPickerSidebarView> self(this);
        QTimer::singleShot(kPasteDelayMs, this, [self, html] {
            if (self && self->pasteIntoFocusedTerminal) self->pasteIntoFocusedTerminal(html);
        });
    });
}

void WebPickerSidebarView::resetPickButton() {
    pickBtn_->setText(loc("pickElement"));
    pickBtn_->setEnabled(true);
    styleTealButton(pickBtn_, true);
}

void WebPickerSidebarView::connect() {
    connection_->connect();
}

void WebPickerSidebarView::disconnect() {
    connection_->disconnect();
}

void WebPickerSidebarView::softDisconnect() {
    connection_->softDisconnect();
}

void WebPickerSidebarView::styleTealButton(QPushButton* button, bool enabled) {
    button->setStyleSheet(
        QStringLiteral(
            "QPushButton{border-radius:5px;background:%1;border:1px solid %2;color:%3;padding:4px;}")
            .arg(css(tealAlpha(enabled ? 0.15 : 0.06)), css(tealAlpha(enabled ? 0.4 : 0.15)),
                 css(tealAlpha(enabled ? 1.0 : 0.4))));
    chrome::setWidgetAlpha(button, enabled ? 1.0 : 0.5);
}

void WebPickerSidebarView::setStatusLabelTrailing(bool connected) {
    statusLabelTrailingConnected_ = connected;
    layoutContents();
}

QString WebPickerSidebarView::statusText() const {
    return statusLabel_->text();
}

QColor WebPickerSidebarView::statusColor() const {
    return statusDot_->targetColor();
}

void WebPickerSidebarView::setMoveButtonsEnabled(bool up, bool down) {
    const bool shown = up || down;
    moveUpBtn_->setVisible(shown);
    moveDownBtn_->setVisible(shown);
    moveUpBtn_->setEnabled(up);
    moveDownBtn_->setEnabled(down);
    for (QPushButton* button : {moveUpBtn_, moveDownBtn_})
        chrome::setWidgetAlpha(button, button->isEnabled() ? 1.0 : 0.35);
}

bool WebPickerSidebarView::isMoveUpEnabled() const {
    return !moveUpBtn_->isHidden() && moveUpBtn_->isEnabled();
}

bool WebPickerSidebarView::isMoveDownEnabled() const {
    return !moveDownBtn_->isHidden() && moveDownBtn_->isEnabled();
}

void WebPickerSidebarView::showDisconnectedState() {
    statusDot_->setColor(systemGray());
    statusLabel_->setText(loc("notConnected"));
    pickBtn_->hide();
    pickBtn_->setText(loc("pickElement"));
    disconnectBtn_->hide();
    disconnectBtn_->setText(loc("disconnect"));
    connectBtn_->show();
    connectBtn_->setEnabled(true);
    connectBtn_->setText(loc("connectToChrome"));
    styleTealButton(connectBtn_, true);
    urlBg_->hide();
    urlField_->clear();
    hideSuggestions();
    tabSwitcherBtn_->hide();
    hotReloadBtn_->hide();
    hideTabBox();
    previewSep_->hide();
    picks_->clear();
    pickListView_->hideFeedback();
    replBtn_->hide();
    if (consoleView_->isExpanded()) consoleView_->toggle();
    setStatusLabelTrailing(false);
}

void WebPickerSidebarView::showConnectingState(const QString& text) {
    statusDot_->setColor(chrome::systemOrange());
    plaintext::setLabelText(statusLabel_, text);
    pickBtn_->hide();
    disconnectBtn_->hide();
    connectBtn_->show();
    connectBtn_->setEnabled(false);
    styleTealButton(connectBtn_, false);
    urlBg_->hide();
    tabSwitcherBtn_->hide();
    hotReloadBtn_->hide();
    hideTabBox();
    previewSep_->hide();
    replBtn_->hide();
    setStatusLabelTrailing(false);
}

void WebPickerSidebarView::showConnectedState(const QString& hostname, bool navigating) {
    statusDot_->setColor(navigating ? chrome::systemOrange() : teal());
    // The page's address when it has no host name (a data: or file: page): the page's own text.
    plaintext::setLabelText(statusLabel_, navigating           ? loc("navigateTo")
                                          : hostname.isEmpty() ? loc("verbunden")
                                                               : hostname);
    pickBtn_->show();
    pickBtn_->setEnabled(!navigating);
    styleTealButton(pickBtn_, !navigating);
    disconnectBtn_->show();
    connectBtn_->hide();
    urlBg_->show();
    tabSwitcherBtn_->show();
    hotReloadBtn_->show();
    previewSep_->show();
    if (picks_->picks().empty()) picks_->restore();
    replBtn_->show();
    setStatusLabelTrailing(true);
}

void WebPickerSidebarView::refreshLanguage() {
    pickListView_->relabel();
    if (!connection_->isConnected()) {
        showDisconnectedState();
        return;
    }
    disconnectBtn_->setText(loc("disconnect"));
    pickBtn_->setText(loc("pickElement"));
    layoutContents();
}

void WebPickerSidebarView::openDebugJSON() {
    // The port the picker's browser actually uses.
    QDesktopServices::openUrl(
        QUrl(devtools::httpBase(connection_->cdp().debugPort()) + QStringLiteral("/json")));
}

void WebPickerSidebarView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutContents();
}

bool WebPickerSidebarView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == urlField_ && event->type() == QEvent::FocusIn) {
        updateSuggestions(urlField_->text());
    } else if (watched == urlField_ && event->type() == QEvent::FocusOut) {
        // Late enough for a click on a suggestion to land first.
        QTimer::singleShot(kSuggestionsHideDelayMs, this, [this] { hideSuggestions(); });
    } else if (watched == disconnectBtn_) {
        if (event->type() == QEvent::Enter) setTint(disconnectBtn_, chrome::rgb(0.9, 0.35, 0.35));
        if (event->type() == QEvent::Leave) setTint(disconnectBtn_, chrome::white(0.5));
    } else if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == debugLink1_) connection_->openInspector();
        if (watched == debugLink2_) openDebugJSON();
    }
    return QWidget::eventFilter(watched, event);
}

void WebPickerSidebarView::layoutContents() {
    const int w = width();
    const int h = height();
    auto fit = [](QWidget* widget) { return widget->sizeHint(); };

    // Title block.
    const QSize title = fit(titleLabel_);
    titleLabel_->setGeometry(12, 10, title.width(), title.height());
    const int titleMid = 10 + title.height() / 2;
    centreOn(closeBtn_, w - 8 - 18, 18, titleMid);
    centreOn(moveDownBtn_, closeBtn_->x() - 2 - 16, 16, titleMid);
    centreOn(moveUpBtn_, moveDownBtn_->x() - 1 - 16, 16, titleMid);
    centreOn(replBtn_, moveUpBtn_->x() - 4 - 26, 26, titleMid);
    const QSize link1 = fit(debugLink1_);
    debugLink1_->setGeometry(12, titleLabel_->geometry().bottom() + 1 + 3, link1.width(), link1.height());
    const QSize link2 = fit(debugLink2_);
    debugLink2_->setGeometry(debugLink1_->geometry().right() + 1 + 6, debugLink1_->y(), link2.width(),
                             link2.height());
    titleSep_->setGeometry(0, debugLink1_->geometry().bottom() + 1 + 6, w, 1);

    // Status and address rows.
    statusDot_->setGeometry(12, titleSep_->geometry().bottom() + 1 + 10, 7, 7);
    const int dotMid = statusDot_->y() + 3;
    const QSize disconnect = fit(disconnectBtn_);
    centreOn(disconnectBtn_, w - 10 - disconnect.width(), disconnect.width(), dotMid);
    const int statusLeft = statusDot_->geometry().right() + 1 + 7;
    const int statusRight = statusLabelTrailingConnected_ ? disconnectBtn_->x() - 4 : w - 12;
    centreOn(statusLabel_, statusLeft, std::max(0, statusRight - statusLeft), dotMid);
    const int urlTop = statusDot_->geometry().bottom() + 1 + 8;
    const int urlMid = urlTop + 12;
    centreOn(hotReloadBtn_, w - 10 - 20, 20, urlMid);
    centreOn(tabSwitcherBtn_, hotReloadBtn_->x() - 4 - 20, 20, urlMid);
    urlBg_->setGeometry(10, urlTop, std::max(0, tabSwitcherBtn_->x() - 4 - 10), 24);
    urlField_->setGeometry(10, 0, std::max(0, urlBg_->width() - 18), 24);
    const int urlBottom = urlTop + 24;

    // Buttons, watch row, picks and the console.
    const int inner = std::max(0, w - 20);
    connectBtn_->setGeometry(10, urlBottom + 8, inner, fit(connectBtn_).height());
    watchRow_->setGeometry(10, urlBottom + 28, inner, watchRowH_);
    watchFolderBtn_->setGeometry(0, 0, 22, watchRowH_);
    watchStatusLabel_->setGeometry(26, 0, std::max(0, inner - 26), watchRowH_);
    pickBtn_->setGeometry(10, watchRow_->y() + watchRowH_ + 6, inner, fit(pickBtn_).height());
    previewSep_->setGeometry(0, pickBtn_->geometry().bottom() + 1 + 10, w, 1);

    const int consoleHeight = consoleView_->currentHeight();
    consoleView_->place(QRect(10, h - 8 - consoleHeight, inner, consoleHeight));
    const int picksTop = previewSep_->y() + 1;
    pickListView_->place(picksTop, w,
                         std::clamp(consoleView_->y() - 4 - (picksTop + pickListView_->listTop()), 0, 200));

    suggestBox_->setGeometry(urlBg_->x(), urlBottom + 2, urlBg_->width(), suggestBoxH_);
    tabBox_->setGeometry(10, urlBottom + 2, inner, tabBoxH_);
}
