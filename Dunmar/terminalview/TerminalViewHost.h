#pragma once

#include <QString>
#include <vector>

class TerminalView;

// One match of the scrollback search. A row of 0 or more is a grid row; a negative row counts back
// from the end of the scrollback (buffer line = scrollback line count + row). `col` is the first
// column, `len` the number of cells.
struct SearchHighlight {
    long long row = 0;
    long long col = 0;
    long long len = 0;
    bool operator==(const SearchHighlight&) const = default;
};

// What a terminal pane asks of the application controller and the services it owns (bell, search,
// remote viewer). The controller installs itself once at start; while none is installed the steps
// that need it are skipped: no search highlights are drawn, the bell is silent, nothing is streamed
// and a pane whose shell ended with no owner listening does not quit the program.
class TerminalViewHost {
public:
    virtual ~TerminalViewHost() = default;

    // Asks the application to quit through the controller's termination path.
    virtual void handleQuitRequest() = 0;
    // The shell rang the bell. `view` is null when the pane was closed before the bell was handled.
    virtual void ringBell(TerminalView* view) = 0;

    // The matches of the current scrollback search that `view` should draw, and the index of the one
    // drawn as current (-1 for none). Read on every frame, so return a stored list.
    virtual const std::vector<SearchHighlight>& searchHighlights(const TerminalView* view) const = 0;
    virtual int searchCurrentIndex(const TerminalView* view) const = 0;

    // True while a remote viewer is connected; the shell's output is only decoded for it then.
    virtual bool isRemoteStreamConnected() const = 0;
    // A piece of shell output as text (whole UTF-8 characters only).
    virtual void sendRemoteOutput(const QString& text) = 0;

    static TerminalViewHost* installed();
    // Pass nullptr to uninstall. The host must outlive its installation.
    static void install(TerminalViewHost* host);
};
