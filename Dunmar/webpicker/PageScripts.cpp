#include "webpicker/PageScripts.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

static void initWebPickerResources() {
    Q_INIT_RESOURCE(webpicker);
}

namespace pagescripts {
namespace {

QString source(const QString& name) {
    static QHash<QString, QString> cache;
    const auto it = cache.constFind(name);
    if (it != cache.constEnd()) return *it;
    static const bool initialised = (initWebPickerResources(), true);
    (void)initialised;
    QFile file(QStringLiteral(":/webpicker/scripts/%1.js").arg(name));
    const QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    Q_ASSERT(!text.isEmpty());
    cache.insert(name, text);
    return text;
}

// The script's function called with the arguments as JSON. JSON is a subset of today's JavaScript;
// the two line separators are escaped all the same, for engines that still end a line at them.
QString call(const QString& name, const QJsonArray& args = {}) {
    QString json = QString::fromUtf8(QJsonDocument(args).toJson(QJsonDocument::Compact));
    json.replace(QChar(0x2028), QLatin1String("\\u2028")).replace(QChar(0x2029), QLatin1String("\\u2029"));
    return QStringLiteral("(%1).apply(null, %2)").arg(source(name).trimmed(), json);
}

} // namespace

QString resetScript() {
    return call(QStringLiteral("reset"));
}
QString pickerScript() {
    return call(QStringLiteral("picker"));
}
QString pollScript() {
    return call(QStringLiteral("poll"));
}
QString markScript(qint64 id) {
    return call(QStringLiteral("mark"), {id});
}
QString unmarkScript(qint64 id) {
    return call(QStringLiteral("unmark"), {id});
}
QString remarkScript(qint64 id, const QString& selector) {
    return call(QStringLiteral("remark"), {id, selector});
}
QString clearAllScript() {
    return call(QStringLiteral("clearall"));
}
QString cleanupScript() {
    return call(QStringLiteral("cleanup"));
}
QString highlightScript(qint64 id, const QString& selector, const QString& hex) {
    return call(QStringLiteral("highlight"), {id, selector, hex});
}
QString unhighlightScript(qint64 id, const QString& selector) {
    return call(QStringLiteral("unhighlight"), {id, selector});
}
QString styleScript(qint64 id) {
    return call(QStringLiteral("style"), {id});
}

} // namespace pagescripts
