#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <functional>

class AlertSheetView;
class Defaults;
class QWidget;

// The one way out of the program. Every quit request (menu, footer, palette, tray menu, the last
// shell ending) passes the confirmation; only SIGTERM ends without it. Either way the end-of-process
// work (`onWillTerminate`: saving the tabs and the window geometry, stopping timers) runs exactly
// once before the main loop is asked to stop with status 0.
class TerminationController : public QObject {
    Q_OBJECT
public:
    explicit TerminationController(QObject* parent = nullptr);
    ~TerminationController() override;

    // The window that is brought to the front before the question.
    void setWindow(QWidget* window);
    // The view the question covers as a sheet (the window's content); the window itself when unset.
    void setSheetHost(QWidget* host);

    // Brings the window to the front before the question; by default shows, raises and activates it.
    std::function<void()> onShowWindow;
    // The end of the process: saving and releasing, in the controller's order.
    std::function<void()> onWillTerminate;
    // Stops the main loop; QCoreApplication::exit unless replaced.
    std::function<void(int)> quitApplication;
    // The titles of the editor tabs whose changes are not saved, read when the question is asked.
    std::function<QStringList()> unsavedEditors;

    // Shows the confirmation as a sheet over the window ("Quit Dunmar" / "Sure?", the answers
    // "Cancel" (Escape) and "Quit" (the default, Return)); Quit ends the program, Cancel leaves
    // everything as it was. While editors hold unsaved changes the question names them instead of
    // "Sure?" and Cancel is the default, so that Return does not throw their text away. A request
    // while the question is open only brings it forward. Without a window there is nothing to ask
    // on, and the request is ignored. `onCancelled` runs when the program stays (the answer Cancel,
    // or no window to ask on).
    void requestQuit(std::function<void()> onCancelled = {});
    // Ends without asking (SIGTERM): closes an open question, runs the end-of-process work, quits.
    void terminateWithoutConfirmation();

    // The open question, or nullptr.
    AlertSheetView* confirmation() const;
    bool hasTerminated() const { return terminated_; }

private:
    void confirmationFinished(int question, bool quit);
    void terminate();

    QPointer<QWidget> window_;
    QPointer<QWidget> sheetHost_;
    QPointer<AlertSheetView> confirmation_;
    QList<std::function<void()>> onCancelled_;
    int questionsAsked_ = 0;
    bool terminated_ = false;
};

// The window geometry written at the end: the size always; the position under the keys of the
// mode the window is in (`windowX`/`windowY` when detached; `dockedWindowX` when docked, with
// `dockedWindowY` removed). Positions are the window's top-left corner in desktop coordinates.
void writeWindowGeometryOnQuit(Defaults& defaults, const QRect& frame, bool detached);

// The steps of the end of the process, run in this order whatever each one finds to do. A step
// left empty is skipped.
struct WillTerminateSteps {
    std::function<void()> cancelDictation;
    std::function<void()> saveWindowGeometry;
    std::function<void()> saveSession;
    std::function<void()> removeClickMonitor;
    std::function<void()> unregisterHotKey;
    std::function<void()> stopFooterTimer;
    std::function<void()> cancelWindowMoveSave;
    std::function<void()> stopDiagnosticsOverlays;
    std::function<void()> releaseTerminalViews;

    void run() const;
};

// What losing activation does.
struct ScreenArea {
    QRect frame;     // the whole screen
    QRect available; // without the desktop's panels
};
struct DeactivationInput {
    bool paletteShown = false;
    bool dragSessionActive = false;
    bool hideOnDeactivate = false;
    bool windowVisible = false;
    QPoint pointer;
    QList<ScreenArea> screens;
};
struct DeactivationResponse {
    bool dismissPalette = false;
    bool hideWindow = false;
    friend bool operator==(const DeactivationResponse&, const DeactivationResponse&) = default;
};
// The palette always closes. The window hides only when the setting asks for it, no file drag is
// in progress, it is visible, and the pointer is not over a desktop panel (where the tray icon
// sits: inside a screen but outside its available area). A pointer on no screen hides it too.
DeactivationResponse respondToDeactivation(const DeactivationInput& input);
