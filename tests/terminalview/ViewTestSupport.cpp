#include "ViewTestSupport.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <cstdio>

void ViewTest::SetUp() {
    PtyTest::SetUp();
    quietShell = home.filePath("quiet-shell");
    QFile script(quietShell);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec cat >/dev/null\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    dumpPath = home.filePath("input.bin");
    dumpShell = home.filePath("dump-shell");
    QFile dump(dumpShell);
    ASSERT_TRUE(dump.open(QIODevice::WriteOnly));
    dump.write("#!/bin/sh\nstty raw -echo\nprintf ready\nexec cat > '" + QFile::encodeName(dumpPath) + "'\n");
    dump.close();
    dump.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void ViewTest::TearDown() {
    PtyTest::TearDown();
}

std::unique_ptr<TerminalView> ViewTest::makeView(const QString& shell, QSize size, const QString& historyId) {
    return std::make_unique<TerminalView>(viewHost, QRect(QPoint(0, 0), size), shell, QString(), historyId,
                                          settings());
}

std::unique_ptr<TerminalView> ViewTest::makeQuietView(QSize size) {
    return makeView(quietShell, size);
}

std::unique_ptr<TerminalView> ViewTest::makeDumpView(QSize size) {
    auto view = makeView(dumpShell, size);
    // "ready" comes after the terminal went raw: from then on every byte reaches the file as sent.
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->shellReady() && QFile::exists(dumpPath); }, 20000));
    return view;
}

QByteArray InputDump::readAll() const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

QByteArray InputDump::take(qsizetype count, int timeoutMs) {
    QByteArray all;
    (void)QTest::qWaitFor(
        [&] {
            all = readAll();
            return all.size() >= taken_ + count;
        },
        timeoutMs);
    const QByteArray piece = all.mid(taken_, count);
    taken_ += piece.size();
    return piece;
}

QByteArray InputDump::rest(TerminalView& view, int timeoutMs) {
    static constexpr char kMarker = '\xff';
    view.writePTY(QByteArrayView(&kMarker, 1));
    QByteArray all;
    qsizetype marker = -1;
    (void)QTest::qWaitFor(
        [&] {
            all = readAll();
            marker = all.indexOf(kMarker, taken_);
            return marker >= 0;
        },
        timeoutMs);
    if (marker < 0) marker = all.size(); // the marker never came: show what did
    const QByteArray piece = all.mid(taken_, marker - taken_);
    taken_ = std::min(all.size(), marker + 1);
    return piece;
}

std::string visible(const QByteArray& bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && u != '\\') {
            out += char(u);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return out;
}

void ViewTest::feed(TerminalView& view, const QByteArray& bytes) {
    view.terminal().process(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    view.update();
}

void ViewTest::showFocused(TerminalView& view) {
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.hasFocus(); }, 2000));
}

namespace {
// A cell's character with its marks; nothing for the right half of a wide character.
void appendCell(QString& line, const Terminal& terminal, const Cell& cell) {
    if (cell.width == 0) return;
    if (cell.ch == 0) {
        line += QLatin1Char(' ');
        return;
    }
    char32_t one = 0;
    const std::u32string_view text = terminal.textOf(cell, one);
    line += QString::fromUcs4(text.data(), qsizetype(text.size()));
}
} // namespace

QString gridLine(const Terminal& terminal, std::int64_t y) {
    QString line;
    for (const Cell& cell : terminal.gridRow(y)) appendCell(line, terminal, cell);
    while (line.endsWith(QLatin1Char(' '))) line.chop(1);
    return line;
}

QString screenText(const Terminal& terminal) {
    QStringList lines;
    for (std::int64_t y = 0; y < terminal.rows(); ++y) lines.append(gridLine(terminal, y));
    return lines.join(QLatin1Char('\n'));
}

QString scrollbackLine(const Terminal& terminal, std::size_t i) {
    QString line;
    for (const Cell& cell : terminal.scrollback().line(i)) appendCell(line, terminal, cell);
    while (line.endsWith(QLatin1Char(' '))) line.chop(1);
    return line;
}

bool waitForScreen(const TerminalView& view, const QString& needle, int timeoutMs) {
    return QTest::qWaitFor([&] { return screenText(view.terminal()).contains(needle); }, timeoutMs);
}

bool runAndWait(TerminalView& view, const QString& command, const QString& marker, int timeoutMs) {
    view.writePTY(command + QLatin1Char('\r'));
    return waitForScreen(view, marker, timeoutMs);
}

QImage grabImage(TerminalView& view) {
    return view.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

QRect cellRect(const TerminalView& view, int row, int col) {
    return QRect(int(TerminalView::paddingX + col * view.cellW()),
                 int(TerminalView::paddingY + row * view.cellH()), int(view.cellW()), int(view.cellH()));
}

int countPixels(const QImage& image, const QRect& rect, QColor color, int tolerance) {
    int count = 0;
    const QRect area = rect.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) <= tolerance &&
                std::abs(c.green() - color.green()) <= tolerance &&
                std::abs(c.blue() - color.blue()) <= tolerance)
                ++count;
        }
    }
    return count;
}
