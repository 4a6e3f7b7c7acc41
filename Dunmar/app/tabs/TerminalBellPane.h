#pragma once

#include "bell/BellPane.h"

#include <QObject>

class TerminalView;

// A terminal view as the bell sees it. The adapter is a child of its view, so it lives exactly as
// long as the view does, and there is at most one per view.
class TerminalBellPane : public QObject, public BellPane {
    Q_OBJECT
public:
    // The view's adapter, made on first use; nullptr for no view.
    static TerminalBellPane* of(TerminalView* view);

    TerminalView* view() const { return view_; }

    QObject* bellPaneObject() override;
    QString bellPaneId() const override;
    QStringList lastScreenLines(int count) const override;
    bool applicationCursorMode() const override;
    void writeToShell(const QByteArray& bytes) override;

private:
    explicit TerminalBellPane(TerminalView* view);

    TerminalView* view_;
};
