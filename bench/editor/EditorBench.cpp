// How the editor copes with large texts: a colouring pass per MB for each language, one typed
// character in a 5 MB file of 100,000 lines (edit to repaint, and the longest stall of the GUI
// thread while its pass follows), a 40 MB file from open to first paint, and the two inputs that
// make a backtracking engine crawl. Prints one table; no thresholds are checked here.
#include "editor/EditorView.h"
#include "editor/SyntaxRule.h"
#include "editor/SyntaxTextStorage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

// A few lines of each language that every one of its rules has something to find in.
const struct {
    SyntaxLanguage language;
    const char* sample;
} kSamples[] = {
    {SyntaxLanguage::json, "{\"name\": \"box\", \"size\": [1, 2.5, -3e4], \"ok\": true, \"none\": null},\n"},
    {SyntaxLanguage::html, "<div class=\"row\"><!-- note --><a href='x'>link</a></div>\n"},
    {SyntaxLanguage::css, ".box > a:hover { color: #fff; margin: 10px 2em; font-family: \"Mono\"; }\n"},
    {SyntaxLanguage::javascript, "const f = async (a) => { if (a) return await g(`t ${a}`); } // c\n"},
    {SyntaxLanguage::xml, "<item id=\"4\" kind='x'><![CDATA[raw]]><!-- c --></item>\n"},
    {SyntaxLanguage::markdown, "## Head\nSome **bold** and _it_ with `code` and [a](b)\n- item\n"},
    {SyntaxLanguage::shell, "for f in \"$@\"; do echo \"${f}\" | grep -v x; done # loop\n"},
    {SyntaxLanguage::python, "@d\ndef f(self, x=1.5):\n    return len(\"s#\") + x  # c\n"},
    {SyntaxLanguage::yaml, "- name: box\n  size: 12\n  ok: yes # c\n  ref: &a !tag 'q'\n"},
    {SyntaxLanguage::toml, "[server]\nport = 8080\nwhen = 1979-05-27T07:32:00\nok = true\n"},
    {SyntaxLanguage::swift, "@main struct App { let s: String = \"x\"; func go() -> Int { 1 } } // c\n"},
    {SyntaxLanguage::sql, "SELECT count(*) FROM t WHERE a = 'x' AND b > 2; -- c\n"},
    {SyntaxLanguage::ini, "[main]\nname = value ; c\nport: 80\n"},
    {SyntaxLanguage::dockerfile, "FROM alpine:3\nRUN apk add --no-cache curl # c\nENV A=${B}\n"},
};

QString repeatTo(const QString& unit, qsizetype size) {
    QString text;
    text.reserve(size + unit.size());
    while (text.size() < size) text += unit;
    return text;
}

double msSince(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

// The longest gap between ticks of a 1 ms timer while `done` is false: how long the GUI thread was
// held at a stretch.
double longestStall(const std::function<bool()>& done, int timeoutMs = 60000) {
    QElapsedTimer clock, total;
    clock.start();
    total.start();
    double longest = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, msSince(clock));
        clock.restart();
    });
    tick.start();
    while (!done() && total.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return std::max(longest, msSince(clock));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::printf("Colouring pass, 1 MB of each language (one thread)\n");
    std::printf("%-12s %10s %10s\n", "language", "ms/MB", "MB/s");
    for (const auto& [language, sample] : kSamples) {
        const QString text = repeatTo(QString::fromUtf8(sample), 1 << 20);
        const auto rules = syntaxrules::cachedRules(language, true);
        double best = 1e18;
        for (int run = 0; run < 3; ++run) {
            QElapsedTimer clock;
            clock.start();
            const auto map = syntaxrules::colourIndices(text, *rules);
            best = std::min(best, msSince(clock));
        }
        const double mb = double(text.size()) / double(1 << 20);
        std::printf("%-12s %10.1f %10.1f\n", qPrintable(syntaxlanguage::rawValue(language)), best / mb,
                    mb / (best / 1000));
    }

    std::printf("\nHostile inputs\n");
    {
        QString yaml;
        for (int i = 0; i < 4000; ++i) yaml += QStringLiteral("- item %1 with words\n").arg(i);
        yaml += QStringLiteral("- \"quoted key\": value\n");
        QElapsedTimer clock;
        clock.start();
        syntaxrules::colourIndices(yaml, *syntaxrules::cachedRules(SyntaxLanguage::yaml, true));
        std::printf("%-44s %8.1f ms\n", "YAML list of 4,000 lines with a quoted key", msSince(clock));
        const QString css = QStringLiteral(".icon { background: url(data:image/png;base64,") +
                            QString(80 * 1024, QLatin1Char('A')) + QStringLiteral("); }\n");
        clock.restart();
        syntaxrules::colourIndices(css, *syntaxrules::cachedRules(SyntaxLanguage::css, true));
        std::printf("%-44s %8.1f ms\n", "CSS with an 80 KB data: URI", msSince(clock));
    }

    std::printf("\nTyping into a 5 MB file of 100,000 lines (python)\n");
    {
        EditorView view;
        view.resize(1000, 700);
        view.show();
        QString text;
        for (int i = 0; i < 100000; ++i)
            text += QStringLiteral("    value_%1 = compute(\"item\", %1) + 0.5  # note %1\n")
                        .arg(i, 6, 10, QLatin1Char('0'));
        view.setContent(text);
        // The text is on screen before colouring starts: its first paint is the opening's cost,
        // measured below with the larger file.
        (void)QTest::qWaitForWindowExposed(&view);
        view.textView()->viewport()->repaint();
        SyntaxTextStorage* storage = view.syntaxStorage();
        QElapsedTimer first;
        first.start();
        view.setLanguage(SyntaxLanguage::python);
        const double firstStall = longestStall([&] { return storage->passCount() >= 1; });
        std::printf("%-44s %8.1f ms (longest GUI stall %.1f ms)\n", "first colouring, set to shown",
                    msSince(first), firstStall);
        double worstEdit = 0, worstStall = 0;
        for (int k = 0; k < 5; ++k) {
            const int passes = storage->passCount();
            QTextCursor cursor = view.textView()->textCursor();
            cursor.setPosition(static_cast<int>(text.size() / 2) + k);
            view.textView()->setTextCursor(cursor);
            QElapsedTimer clock;
            clock.start();
            QTest::keyClick(view.textView(), Qt::Key_X);
            view.textView()->viewport()->repaint();
            worstEdit = std::max(worstEdit, msSince(clock));
            worstStall = std::max(worstStall, longestStall([&] { return storage->passCount() > passes; }));
        }
        std::printf("%-44s %8.1f ms\n", "one character, edit to repaint (worst of 5)", worstEdit);
        std::printf("%-44s %8.1f ms\n", "longest GUI stall until its pass is shown", worstStall);
    }

    std::printf("\nOpening a 40 MB file\n");
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("big.log");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return 1;
        const QByteArray line = "2026-12-11 02:00:00 INFO request served in 12 ms from cache\n";
        for (qint64 written = 0; written < 40 * 1024 * 1024; written += line.size()) file.write(line);
        file.close();
        EditorView view;
        view.resize(1000, 700);
        view.show();
        QElapsedTimer clock;
        clock.start();
        view.loadFile(path);
        const double stall = longestStall([&] { return !view.isLoading(); });
        view.repaint();
        std::printf("%-44s %8.1f ms (longest GUI stall %.1f ms)\n", "open to first paint of the text",
                    msSince(clock), stall);
    }
    return 0;
}
