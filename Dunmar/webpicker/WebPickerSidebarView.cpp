// The picker sidebar's view tree, its display states and its small controls.
#include "webpicker/WebPickerSidebarView.h"

#include "webpicker/ChromeCDPClient.h"
#include "webpicker/SidebarStyle.h"
#include "webpicker/StatusDotView.h"

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "chrome/FlippedClipView.h"
#include "localisation/LanguageNotifier.h"
#include "localisation/Loc.h"
#include "settings/VertCenteredTextField.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

using sidebarstyle::css;

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

// A flat button whose title takes the tint colour.
QPushButton* textButton(const QString& title, const QFont& font, const QColor& tint, QWidget* parent) {
    auto* button = new QPushButton(title, parent);
    button->setFont(font);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    sidebarstyle::setTint(button, tint);
    return button;
}

QLabel* textLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color:%1;background:transparent;").arg(css(color)));
    return label;
}

QWidget* line(const QColor& color, QWidget* parent) {
    auto* view = new QWidget(parent);
    view->setAttribute(Qt::WA_StyledBackground);
    view->setStyleSheet(QStringLiteral("background:%1;").arg(css(color)));
    return view;
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
    : QWidget(parent), defaults_(defaults), cdp_(new ChromeCDPClient(defaults, this)) {
    setAttribute(Qt::WA_StyledBackground);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, chrome::white(0.07));
    setPalette(pal);
    setupUI();
    QObject::connect(&LanguageNotifier::shared(), &LanguageNotifier::appLanguageChanged, this,
                     &WebPickerSidebarView::refreshLanguage);
}

WebPickerSidebarView::~WebPickerSidebarView() {
    ++attempt_;
    stopTimers();
    stopWatching();
    // The pick rows call into the sidebar; they go while all of it is still there.
    delete picksScrollView_;
    picksScrollView_ = nullptr;
    cdp_->onDisconnected = nullptr;
    cdp_->disconnect();
    // The client cancels its requests as it goes, and their answers call back here: it goes now,
    // while the sidebar is still whole, rather than among the widget's children after it.
    delete cdp_;
    cdp_ = nullptr;
}

void WebPickerSidebarView::setupUI() {
    const QColor teal = WebPickerSidebarView::teal();
    // Created in drawing order, back to front.
    titleLabel_ = textLabel(QStringLiteral("◈  WebPicker"), chrome::systemFont(11, QFont::DemiBold), teal, this);
    closeBtn_ = textButton(QStringLiteral("✕"), chrome::systemFont(11), chrome::white(0.35), this);
    QObject::connect(closeBtn_, &QPushButton::clicked, this, [this] {
        if (onClose) onClose();
    });
    replBtn_ = textButton(QStringLiteral("</>"), chrome::monoFont(9, QFont::Medium), chrome::white(0.35), this);
    replBtn_->setToolTip(loc("tooltipToggleREPL"));
    replBtn_->hide();
    moveDownBtn_ = textButton(QStringLiteral("▼"), chrome::systemFont(9, QFont::Medium), chrome::white(0.5), this);
    QObject::connect(moveDownBtn_, &QPushButton::clicked, this, [this] {
        if (onMoveDown) onMoveDown();
    });
    moveDownBtn_->hide();
    moveUpBtn_ = textButton(QStringLiteral("▲"), chrome::systemFont(9, QFont::Medium), chrome::white(0.5), this);
    QObject::connect(moveUpBtn_, &QPushButton::clicked, this, [this] {
        if (onMoveUp) onMoveUp();
    });
    moveUpBtn_->hide();
    debugLink1_ = textLabel(QStringLiteral("chrome://inspect"), chrome::monoFont(7.5), tealAlpha(0.45), this);
    debugLink1_->setToolTip(QStringLiteral("Open chrome://inspect in Chrome"));
    debugLink1_->setCursor(Qt::PointingHandCursor);
    debugLink1_->installEventFilter(this);
    debugLink2_ = textLabel(QStringLiteral("localhost:9222/json"), chrome::monoFont(7.5), tealAlpha(0.45), this);
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
    urlField_->setStyleSheet(QStringLiteral("background:transparent;border:none;color:%1;").arg(css(chrome::white(0.88))));
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

    picksHeaderLabel_ = textLabel(loc("picks"), chrome::systemFont(8.5, QFont::Medium), chrome::white(0.35), this);
    picksHeaderLabel_->hide();
    clearPicksBtn_ = textButton(loc("resetMarks"), chrome::systemFont(8.5), chrome::white(0.38), this);
    clearPicksBtn_->hide();
    picksSep_ = line(chrome::white(1.0, 0.07), this);
    picksSep_->hide();
    picksScrollView_ = new FlippedClipView(this);
    picksStack_ = new QWidget;
    picksStackLayout_ = new QVBoxLayout(picksStack_);
    picksStackLayout_->setContentsMargins(0, 0, 0, 0);
    picksStackLayout_->setSpacing(2);
    // Rows take the list's whole width (a leading alignment would shrink them to their hint).
    picksStackLayout_->setAlignment(Qt::AlignTop);
    picksScrollView_->setDocument(picksStack_);
    feedbackLabel_ = textLabel(QString(), chrome::systemFont(9.5, QFont::Medium), teal, this);
    feedbackLabel_->hide();

    watchRow_ = new QWidget(this);
    watchFolderBtn_ = textButton(QStringLiteral("📁"), chrome::systemFont(11), chrome::white(0.8), watchRow_);
    watchFolderBtn_->setToolTip(loc("tooltipWatchFolder"));
    watchStatusLabel_ = textLabel(QString(), chrome::monoFont(8.5), tealAlpha(0.7), watchRow_);
    watchRow_->hide();

    suggestBox_ = box(this);
    suggestBox_->hide();
    tabBox_ = box(this);
    tabBox_->hide();

    replWrap_ = new QWidget(this);
    replBox_ = new QWidget(replWrap_);
    QWidget* replBox = replBox_;
    replBox->setAttribute(Qt::WA_StyledBackground);
    replBox->setObjectName(QStringLiteral("replBox"));
    replBox->setStyleSheet(QStringLiteral("#replBox{background:%1;border:1px solid %2;}")
                               .arg(css(chrome::white(1.0, 0.03)), css(chrome::white(1.0, 0.07))));
    replBox->setGeometry(0, 0, 0, 56);
    auto* prompt = textLabel(QStringLiteral("›"), chrome::monoFont(11, QFont::Medium), teal, replBox);
    prompt->setGeometry(8, 6, 14, 16);
    replField_ = new QLineEdit(replBox);
    replField_->setPlaceholderText(QStringLiteral("document.title"));
    replField_->setFont(chrome::monoFont(10));
    replField_->setFrame(false);
    replField_->setStyleSheet(QStringLiteral("background:transparent;border:none;color:%1;").arg(css(chrome::white(0.9))));
    replResultLabel_ = textLabel(QString(), chrome::monoFont(9), tealAlpha(0.8), replBox);

    QObject::connect(pickBtn_, &QPushButton::clicked, this, &WebPickerSidebarView::startPicking);
    QObject::connect(clearPicksBtn_, &QPushButton::clicked, this, &WebPickerSidebarView::clearAllPicksAction);
    QObject::connect(replBtn_, &QPushButton::clicked, this, &WebPickerSidebarView::toggleREPL);
    QObject::connect(replField_, &QLineEdit::returnPressed, this, &WebPickerSidebarView::evaluateREPL);
    replField_->installEventFilter(this);
    QObject::connect(urlField_, &QLineEdit::returnPressed, this, &WebPickerSidebarView::navigateURL);
    QObject::connect(urlField_, &QLineEdit::textEdited, this, &WebPickerSidebarView::updateSuggestions);
    urlField_->installEventFilter(this);
    QObject::connect(tabSwitcherBtn_, &QPushButton::clicked, this, &WebPickerSidebarView::toggleTabSwitcher);
    QObject::connect(hotReloadBtn_, &QPushButton::clicked, this, &WebPickerSidebarView::toggleHotReload);
    QObject::connect(watchFolderBtn_, &QPushButton::clicked, this, &WebPickerSidebarView::selectWatchFolder);
    watcher_.onChange = [this] { triggerHotReload(); };
    watcher_.onFileLost = [this] {
        watchStatusLabel_->setText(QStringLiteral("⚠ can't open file"));
        showWatchRow(false);
    };

    showDisconnectedState();
}

void WebPickerSidebarView::styleTealButton(QPushButton* button, bool enabled) {
    button->setStyleSheet(
        QStringLiteral("QPushButton{border-radius:5px;background:%1;border:1px solid %2;color:%3;padding:4px;}")
            .arg(css(tealAlpha(enabled ? 0.15 : 0.06)), css(tealAlpha(enabled ? 0.4 : 0.15)),
                 css(tealAlpha(enabled ? 1.0 : 0.4))));
    chrome::setWidgetAlpha(button, enabled ? 1.0 : 0.5);
}

void WebPickerSidebarView::setStatusDot(const QColor& color) {
    statusDot_->setColor(color);
}

void WebPickerSidebarView::setStatusLabelTrailing(bool connected) {
    statusLabelTrailingConnected_ = connected;
    layoutContents();
}

QLineEdit* WebPickerSidebarView::urlField() const {
    return urlField_;
}

QString WebPickerSidebarView::watchStatusText() const {
    return watchStatusLabel_->text();
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
    for (QPushButton* button : {moveUpBtn_, moveDownBtn_}) chrome::setWidgetAlpha(button, button->isEnabled() ? 1.0 : 0.35);
}

bool WebPickerSidebarView::isMoveUpEnabled() const {
    return !moveUpBtn_->isHidden() && moveUpBtn_->isEnabled();
}

bool WebPickerSidebarView::isMoveDownEnabled() const {
    return !moveDownBtn_->isHidden() && moveDownBtn_->isEnabled();
}

void WebPickerSidebarView::showDisconnectedState() {
    setStatusDot(systemGray());
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
    clearPickList();
    feedbackLabel_->hide();
    replBtn_->hide();
    if (replExpanded_) toggleREPL();
    setStatusLabelTrailing(false);
}

void WebPickerSidebarView::showConnectingState(const QString& text) {
    setStatusDot(chrome::systemOrange());
    statusLabel_->setText(text);
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
    setStatusDot(navigating ? chrome::systemOrange() : teal());
    statusLabel_->setText(navigating ? loc("navigateTo") : hostname.isEmpty() ? loc("verbunden") : hostname);
    pickBtn_->show();
    pickBtn_->setEnabled(!navigating);
    styleTealButton(pickBtn_, !navigating);
    disconnectBtn_->show();
    connectBtn_->hide();
    urlBg_->show();
    tabSwitcherBtn_->show();
    hotReloadBtn_->show();
    previewSep_->show();
    if (picks_.empty()) restorePicksFromDisk();
    replBtn_->show();
    setStatusLabelTrailing(true);
}

void WebPickerSidebarView::refreshLanguage() {
    picksHeaderLabel_->setText(loc("picks"));
    clearPicksBtn_->setText(loc("resetMarks"));
    if (!isConnected_) {
        showDisconnectedState();
        return;
    }
    disconnectBtn_->setText(loc("disconnect"));
    pickBtn_->setText(loc("pickElement"));
    layoutContents();
}

void WebPickerSidebarView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutContents();
}

bool WebPickerSidebarView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == replField_ && event->type() == QEvent::KeyPress) {
        if (replHistoryKey(static_cast<QKeyEvent*>(event)->key())) return true;
    } else if (watched == urlField_ && event->type() == QEvent::FocusIn) {
        updateSuggestions(urlField_->text());
    } else if (watched == urlField_ && event->type() == QEvent::FocusOut) {
        // Late enough for a click on a suggestion to land first.
        QTimer::singleShot(kSuggestionsHideDelayMs, this, [this] { hideSuggestions(); });
    } else if (watched == disconnectBtn_) {
        if (event->type() == QEvent::Enter) sidebarstyle::setTint(disconnectBtn_, chrome::rgb(0.9, 0.35, 0.35));
        if (event->type() == QEvent::Leave) sidebarstyle::setTint(disconnectBtn_, chrome::white(0.5));
    } else if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == debugLink1_) openChromeInspect();
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
    debugLink2_->setGeometry(debugLink1_->geometry().right() + 1 + 6, debugLink1_->y(), link2.width(), link2.height());
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

    // Buttons, watch row and picks.
    const int inner = std::max(0, w - 20);
    connectBtn_->setGeometry(10, urlBottom + 8, inner, fit(connectBtn_).height());
    watchRow_->setGeometry(10, urlBottom + 28, inner, watchRowH_);
    watchFolderBtn_->setGeometry(0, 0, 22, watchRowH_);
    watchStatusLabel_->setGeometry(26, 0, std::max(0, inner - 26), watchRowH_);
    pickBtn_->setGeometry(10, watchRow_->y() + watchRowH_ + 6, inner, fit(pickBtn_).height());
    previewSep_->setGeometry(0, pickBtn_->geometry().bottom() + 1 + 10, w, 1);
    const QSize header = fit(picksHeaderLabel_);
    picksHeaderLabel_->setGeometry(12, previewSep_->y() + 1 + 8, header.width(), header.height());
    const QSize clear = fit(clearPicksBtn_);
    centreOn(clearPicksBtn_, w - 10 - clear.width(), clear.width(), picksHeaderLabel_->geometry().center().y());
    picksSep_->setGeometry(10, picksHeaderLabel_->geometry().bottom() + 1 + 5, inner, 1);

    replWrap_->setGeometry(10, h - 8 - replHeightC_, inner, replHeightC_);
    replBox_->setGeometry(0, 0, inner, 56);
    replField_->setGeometry(8 + 14 + 4, 4, std::max(0, inner - 8 - 14 - 4 - 8), 22);
    replResultLabel_->setGeometry(10, 4 + 22 + 4, std::max(0, inner - 18), fit(replResultLabel_).height());
    const int picksTop = picksSep_->y() + 1 + 5;
    const int picksHeight = std::clamp(replWrap_->y() - 4 - picksTop, 0, 200);
    picksScrollView_->setGeometry(10, picksTop, inner, picksHeight);
    const QSize feedback = fit(feedbackLabel_);
    feedbackLabel_->setGeometry(12, picksScrollView_->geometry().bottom() + 1 + 6, feedback.width(), feedback.height());

    suggestBox_->setGeometry(urlBg_->x(), urlBottom + 2, urlBg_->width(), suggestBoxH_);
    tabBox_->setGeometry(10, urlBottom + 2, inner, tabBoxH_);
}
