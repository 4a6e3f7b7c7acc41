#include "editor/HtmlEscape.h"

namespace htmlescape {

QString text(const QString& raw) {
    QString out = raw;
    out.replace(u'&', QStringLiteral("&amp;"));
    out.replace(u'<', QStringLiteral("&lt;"));
    out.replace(u'>', QStringLiteral("&gt;"));
    return out;
}

QString attribute(const QString& raw) {
    QString out = text(raw);
    out.replace(u'"', QStringLiteral("&quot;"));
    out.replace(u'\'', QStringLiteral("&#39;"));
    return out;
}

} // namespace htmlescape
