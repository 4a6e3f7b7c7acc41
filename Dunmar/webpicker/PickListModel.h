#pragma once

#include "webpicker/PickEntry.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class ChromeCDPClient;
class Defaults;
class QTimer;

// The picks of the connected page, oldest first: picking an element (the page's picker and the poll
// that takes the pick over), at most twenty picks with their marks in the page, the stored list
// that outlives the sidebar, and what a pick row asks of the page (a tint, the computed style, a
// screenshot). It knows nothing of widgets; the pick list view listens.
class PickListModel : public QObject {
    Q_OBJECT
public:
    PickListModel(Defaults& defaults, ChromeCDPClient& cdp, QObject* parent = nullptr);

    const std::vector<PickEntry>& picks() const { return picks_; }
    qint64 nextPickId() const { return nextPickId_; }
    // A click in the page is awaited.
    bool isPicking() const { return picking_; }

    // Installs the page's picker and asks the page for a pick until one comes.
    void startPicking();
    // Stops asking: the connection ended or another began.
    void stopPicking();
    // Takes the page's tints and picker away and stops waiting; the list stays as it is.
    void resetMarks();
    // Removes one pick from the list, the store and the page.
    void remove(qint64 id);
    // Fills an empty list from the store and marks the picks in the page again.
    void restore();
    // Empties the list shown; the store keeps it for the next connection.
    void clear();

    // What a pick row asks of the page.
    void highlight(qint64 id, const QString& hex, const QString& selector);
    void unhighlight(qint64 id, const QString& selector);
    // The element's computed style in one line; `done` only runs when the element is still there.
    void fetchComputedStyle(qint64 id, std::function<void(const QString&)> done);
    // A picture of the element; none when it is gone or has no size.
    void captureScreenshot(qint64 id, std::function<void(std::optional<QImage>)> done);

    void setPollIntervalMs(int ms) { pollIntervalMs_ = ms; }

    static constexpr int kMaxPicks = 20;
    static constexpr int kPickPollMs = 300;

signals:
    void added(const PickEntry& entry);
    void removed(qint64 id);
    void cleared();
    void pickingChanged(bool picking);
    // A new pick's markup, for the clipboard.
    void picked(const QString& html);

private:
    void pollPick();
    void add(const QString& html, const QString& selector, const QString& innerText, const QString& xpath);
    void save();
    void endPicking();

    Defaults& defaults_;
    ChromeCDPClient& cdp_;
    std::vector<PickEntry> picks_;
    qint64 nextPickId_ = 0;
    bool picking_ = false;
    QTimer* pollTimer_ = nullptr;
    int pollIntervalMs_ = kPickPollMs;
};
