#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

// What the bell needs of the terminal pane that rang: who it is, what its screen shows, how it
// encodes arrow keys, and a way to answer its shell. The terminal view implements it (or an adapter
// that lives exactly as long as the view does). Main thread only.
class BellPane {
public:
    virtual ~BellPane() = default;

    // The object whose destruction ends the pane. The bell holds it weakly: a preview of a pane
    // that is gone is dropped, and nothing is written to it.
    virtual QObject* bellPaneObject() = 0;
    // A stable name of the pane for as long as it lives (the view's history identifier). A later
    // preview notification of the same pane replaces the earlier one on the desktop.
    virtual QString bellPaneId() const = 0;
    // The last `count` non-blank lines of the screen grid, trimmed, in screen order
    // (`extractLastLines` does this for a `Terminal`).
    virtual QStringList lastScreenLines(int count) const = 0;
    // Whether the shell asked for application cursor keys (arrows as ESC O A instead of ESC [ A).
    virtual bool applicationCursorMode() const = 0;
    // Writes bytes to the pane's shell, as typed input.
    virtual void writeToShell(const QByteArray& bytes) = 0;
};

// A weak reference to a pane: empty once the pane's object is destroyed.
class BellPaneRef {
public:
    BellPaneRef() = default;
    explicit BellPaneRef(BellPane* pane) : pane_(pane), anchor_(pane ? pane->bellPaneObject() : nullptr) {}

    // The pane while it lives, else nullptr.
    BellPane* get() const { return anchor_ ? pane_ : nullptr; }
    // Whether this refers to `pane` (also after the pane died, to find what it left behind).
    bool isSame(const BellPane* pane) const { return pane && pane == pane_; }
    // The pane's address, for telling panes apart; never dereferenced once the pane is gone.
    const BellPane* identity() const { return pane_; }
    QObject* anchor() const { return anchor_; }

private:
    BellPane* pane_ = nullptr;
    QPointer<QObject> anchor_;
};
