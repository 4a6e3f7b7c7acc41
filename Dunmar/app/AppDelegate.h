#pragma once

#include "app/SessionStore.h"
#include "app/TabList.h"
#include "app/Termination.h"
#include "app/ToastService.h"
#include "chrome/ChromeController.h"

#include <QMap>
#include <QObject>
#include <QStringList>
#include <memory>

class Defaults;
class FooterBarView;
class HeaderBarView;
class QWidget;

// The application controller: the window with its header and footer, the open tabs, the saved
// tabs, the toast service and the way out of the program. It lives for the whole process.
class AppDelegate : public QObject, public ChromeController {
    Q_OBJECT
public:
    explicit AppDelegate(Defaults& defaults, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Builds the window and shows it; run once when the main loop starts.
    void applicationDidFinishLaunching();

    QWidget* window() const { return window_.get(); }
    QWidget* contentView() const { return contentView_; }
    HeaderBarView* headerView() const { return headerView_; }
    FooterBarView* footerView() const { return footerView_; }
    TabList& tabs() { return tabs_; }
    ToastService& toasts() { return toasts_; }
    TerminationController& termination() { return termination_; }
    SessionStore& sessionStore() { return sessionStore_; }

    bool isWindowDetached() const override { return isWindowDetached_; }

    // Writes every key of the saved tabs (skipped while a restore runs).
    void saveSession();
    // SIGTERM: saves and quits without the confirmation.
    void terminateWithoutConfirmation();

public slots:
    // Every quit request: asks first.
    void handleQuitRequest() override;

private:
    void applicationWillTerminate();
    session::SessionSnapshot sessionSnapshot() const;

    Defaults& defaults_;
    std::unique_ptr<QWidget> window_;
    QWidget* contentView_ = nullptr;
    HeaderBarView* headerView_ = nullptr;
    FooterBarView* footerView_ = nullptr;
    TabList tabs_;
    SessionStore sessionStore_;
    ToastService toasts_;
    TerminationController termination_;
    bool isWindowDetached_ = false;
    QStringList sidebarOrder_{QStringLiteral("git"), QStringLiteral("picker"), QStringLiteral("ssh")};
    QMap<QString, double> sidebarPanelHeights_{
        {QStringLiteral("git"), 300}, {QStringLiteral("picker"), 320}, {QStringLiteral("ssh"), 260}};
};
