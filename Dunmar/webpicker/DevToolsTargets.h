#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// Reading the browser's answers to the DevTools HTTP endpoints. Every shape that is not the one
// expected gives none: the caller shows its own status text.
namespace devtools {

// From a "/json/list" body: the websocket URL of the preferred page when it is still a usable
// page, else of the first usable page. Usable pages are of type "page" and show an http(s) address
// or "about:blank"; the browser's own pages (chrome://, devtools://), service workers, background
// pages and frames never are.
std::optional<QString> chooseTargetWebSocket(const QByteArray& listBody,
                                             const std::optional<QString>& preferredTargetId);

// From a "/json/list" body: the host of the target's page; "" for a blank page; the address itself
// when it has no host (a data: URL); none when the target is not listed.
std::optional<QString> targetHost(const QByteArray& listBody, const QString& targetId);

// From a "/json/new" body: the new target's websocket URL.
std::optional<QString> newTargetWebSocket(const QByteArray& body);

// The target id in a websocket URL: its last path component.
std::optional<QString> targetIdOfWebSocket(const QString& webSocketUrl);

// "Waiting for Chrome" and 1 to 4 dots, as the launch's wait shows it with `remaining` asks left.
QString waitingStatusText(int remaining);

// What the user typed into the address bar as the address to open: trimmed of blanks, given
// "http://" for local addresses and "https://" otherwise when it has no scheme; none unless it is an
// http(s) address.
std::optional<QString> navigationUrl(const QString& typed);

// A page of "/json/list" as the tab switcher offers it, its title as the page has it; members the
// browser left out are empty.
struct ListedPage {
    QString id;
    QString title;
    QString url;
    QString webSocket;
};

// From a "/json/list" body: the targets of type "page", in the browser's order; none when the body
// is not an array of objects.
std::optional<std::vector<ListedPage>> listedPages(const QByteArray& listBody);

// From a "/json/list" body: the address the target shows; none when it is not listed or has none.
std::optional<QString> targetUrl(const QByteArray& listBody, const std::optional<QString>& targetId);

} // namespace devtools
