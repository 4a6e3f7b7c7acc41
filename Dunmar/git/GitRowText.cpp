#include "git/GitRowText.h"

#include "git/GitPanelStyle.h"

StyledText fileRowText(const GitFileEntry& entry) {
    const GitStatusTagStyle style = statusTagStyle(statusTag(entry.x, entry.y));
    const QString name = entry.path.section(QLatin1Char('/'), -1);
    const QFont nameFont = gitstyle::monoFont(10);
    return {{style.text, gitstyle::monoFont(8, QFont::Bold), style.tagColor},
            {QStringLiteral("  ") + name, nameFont, style.nameColor}};
}

QString plainText(const StyledText& text) {
    QString plain;
    for (const StyledRun& run : text) plain += run.text;
    return plain;
}
