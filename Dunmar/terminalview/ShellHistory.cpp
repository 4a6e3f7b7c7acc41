#include "terminalview/ShellHistory.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <optional>

namespace shellhistory {

namespace {

constexpr char kZshMeta = char(0x83);

std::optional<QString> decodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

} // namespace

QByteArray unmetafyZsh(const QByteArray& bytes) {
    if (!bytes.contains(kZshMeta)) return bytes;
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == kZshMeta && i + 1 < bytes.size()) {
            out.append(char(bytes[++i] ^ 0x20));
        } else {
            out.append(bytes[i]);
        }
    }
    return out;
}

QString decodeHistoryText(const QByteArray& bytes) {
    if (std::optional<QString> text = decodeUtf8(bytes)) return *text;
    return QString::fromLatin1(bytes);
}

QStringList parseZshHistory(const QByteArray& bytes) {
    // A file zsh wrote is metafied; one written by something else may hold 0x83 as an ordinary
    // byte of a UTF-8 character, so the plain reading is tried when undoing the metafication does
    // not give UTF-8.
    std::optional<QString> text = decodeUtf8(unmetafyZsh(bytes));
    if (!text) text = decodeHistoryText(bytes);
    QStringList commands;
    for (const QStringView line : QStringView(*text).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('\t'))) continue;
        QStringView command = line;
        if (line.startsWith(QLatin1String(": "))) {
            const qsizetype semicolon = line.indexOf(QLatin1Char(';'));
            if (semicolon >= 0) command = line.mid(semicolon + 1);
        }
        command = command.trimmed();
        if (!command.isEmpty()) commands.append(command.toString());
    }
    return commands;
}

QStringList parseBashHistory(const QByteArray& bytes) {
    const QString text = decodeHistoryText(bytes);
    QStringList commands;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('#'))) continue;
        const QStringView command = line.trimmed();
        if (!command.isEmpty()) commands.append(command.toString());
    }
    return commands;
}

QStringList newestFirstDistinct(const QStringList& zshLines, const QStringList& bashLines,
                                std::size_t limit) {
    QStringList result;
    QSet<QString> seen;
    const auto walk = [&](const QStringList& lines) {
        for (qsizetype i = lines.size() - 1; i >= 0 && std::size_t(result.size()) < limit; --i) {
            if (seen.contains(lines[i])) continue;
            seen.insert(lines[i]);
            result.append(lines[i]);
        }
    };
    walk(bashLines);
    walk(zshLines);
    return result;
}

QByteArray readFileTail(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const qint64 size = file.size();
    if (size <= kMaxFileBytes) return file.readAll();
    if (!file.seek(size - kMaxFileBytes)) return {};
    QByteArray tail = file.read(kMaxFileBytes);
    // The first line was cut; it begins before the part read.
    const qsizetype newline = tail.indexOf('\n');
    return newline < 0 ? QByteArray() : tail.mid(newline + 1);
}

QStringList loadShellHistory(const QString& homeDirectory, std::size_t limit) {
    const QString base =
        homeDirectory.endsWith(QLatin1Char('/')) ? homeDirectory : homeDirectory + QLatin1Char('/');
    const QStringList zsh = parseZshHistory(readFileTail(base + QStringLiteral(".zsh_history")));
    const QStringList bash = parseBashHistory(readFileTail(base + QStringLiteral(".bash_history")));
    return newestFirstDistinct(zsh, bash, limit);
}

} // namespace shellhistory
