#include "app/AppDelegate.h"

#include "app/ConfigDirectory.h"
#include "chrome/FooterBarView.h"
#include "chrome/HeaderBarView.h"
#include "platform/Defaults.h"

#include <QDir>
#include <QResizeEvent>
#include <QWidget>

namespace {

constexpr int kArrowStripHeight = 10;

// The window's content: the header across the top (below the arrow strip), the footer across the
// bottom, the tab area between them.
class ContentView : public QWidget {
public:
    using QWidget::QWidget;
    HeaderBarView* header = nullptr;
    FooterBarView* footer = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (header) header->setGeometry(0, kArrowStripHeight, width(), HeaderBarView::barHeight);
        if (footer)
            footer->setGeometry(0, height() - FooterBarView::barHeight, width(), FooterBarView::barHeight);
    }
};

} // namespace

AppDelegate::AppDelegate(Defaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults), sessionStore_(defaults) {
    termination_.onWillTerminate = [this] { applicationWillTerminate(); };
}

AppDelegate::~AppDelegate() {
    if (ChromeController::installed() == this) ChromeController::install(nullptr);
}

void AppDelegate::applicationDidFinishLaunching() {
    configdir::takeOverFormerFolder(QDir::homePath());
    ChromeController::install(this);

    auto* content = new ContentView;
    window_.reset(content);
    contentView_ = content;
    content->setWindowTitle(QStringLiteral("Dunmar"));
    content->setMinimumSize(320, 220);
    content->setAutoFillBackground(true);
    QPalette palette = content->palette();
    palette.setColor(QPalette::Window, QColor::fromRgbF(0.11f, 0.11f, 0.13f));
    content->setPalette(palette);

    headerView_ = new HeaderBarView(content);
    footerView_ = new FooterBarView(content);
    content->header = headerView_;
    content->footer = footerView_;
    toasts_.setHost(content);
    termination_.setWindow(content);

    content->resize(860, 480);
    content->show();
}

void AppDelegate::handleQuitRequest() {
    termination_.requestQuit();
}

void AppDelegate::terminateWithoutConfirmation() {
    termination_.terminateWithoutConfirmation();
}

void AppDelegate::saveSession() {
    sessionStore_.save([this] { return sessionSnapshot(); });
}

session::SessionSnapshot AppDelegate::sessionSnapshot() const {
    session::SessionSnapshot snapshot;
    // A terminal tab's panes are read off its terminal views, which the tabs do not hold yet; a tab
    // whose panes cannot be read is left out of the save rather than written half.
    snapshot.tabs =
        session::savedTabs(tabs_, [](const TabState&) { return std::optional<session::TerminalSnapshot>(); });
    snapshot.activeTab = tabs_.activeTab();
    if (window_) snapshot.windowFrame = QRectF(window_->geometry());
    snapshot.sidebarOrder = sidebarOrder_;
    snapshot.sidebarPanelHeights = sidebarPanelHeights_;
    return snapshot;
}

void AppDelegate::applicationWillTerminate() {
    WillTerminateSteps steps;
    steps.saveWindowGeometry = [this] {
        if (window_) writeWindowGeometryOnQuit(defaults_, window_->geometry(), isWindowDetached_);
    };
    steps.saveSession = [this] { saveSession(); };
    steps.run();
    defaults_.synchronize();
}
