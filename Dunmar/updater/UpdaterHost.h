#pragma once

#include <QColor>
#include <QString>
#include <functional>

// What the updater needs of the controller: its toasts, the setting, the state of the editor tabs,
// and the steps of handing over to a new copy of the program.
class UpdaterHost {
public:
    virtual ~UpdaterHost() = default;

    // A toast under the identifier of the update toasts, which replaces the one on show.
    virtual void showUpdateToast(const QString& badge, const QString& text, const QColor& badgeColor,
                                 double dismissAfter, std::function<void()> onClick = {}) = 0;
    // The download's progress toast; `fraction` from 0 to 1.
    virtual void showDownloadProgressToast(double fraction) = 0;
    virtual void dismissDownloadProgressToast() = 0;

    virtual bool autoCheckUpdates() const = 0;
    // An editor tab holds changes that are not saved: the update must not end the program.
    virtual bool hasUnsavedEditorTabs() const = 0;

    // The hand-over to the new copy: the tabs saved and the settings written, the single-instance
    // lock let go (and taken back when the new copy could not start), and the normal way out.
    virtual void saveSessionForRelaunch() = 0;
    virtual void releaseInstanceLock() = 0;
    virtual void retakeInstanceLock() = 0;
    virtual void quitForRelaunch() = 0;
};
