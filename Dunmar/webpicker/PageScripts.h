#pragma once

#include <QString>

// The scripts the picker runs in the page. Each is a checked-in function; what varies (ids,
// selectors, colours) goes in as JSON values of its call, never spliced into the script's text.
namespace pagescripts {

QString resetScript();
QString pickerScript();
QString pollScript();
QString markScript(qint64 id);
QString unmarkScript(qint64 id);
QString remarkScript(qint64 id, const QString& selector);
QString clearAllScript();
QString cleanupScript();
QString highlightScript(qint64 id, const QString& selector, const QString& hex);
QString unhighlightScript(qint64 id, const QString& selector);
QString styleScript(qint64 id);

} // namespace pagescripts
