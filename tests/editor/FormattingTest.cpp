// The format command: JSON in-process, the real formatters for the others, and what it says.
#include "CommandsTestHost.h"
#include "editor/EditorCommands.h"
#include "editor/SyntaxTextStorage.h"
#include "support/Waits.h"

#include <QFileInfo>
#include <QProcess>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using editortest::CommandsHost;

namespace {

class Formatting : public testing::Test {
protected:
    CommandsHost host;
    EditorCommands commands{host};
    QTemporaryDir tools;

    // A stand-in formatter in a folder of its own, the only place searched.
    void standIn(const QString& name, const QByteArray& script) {
        const QString path = tools.filePath(name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + script);
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        commands.searchDirs = {tools.path()};
    }
    bool waitForToast(size_t count) {
        return QTest::qWaitFor([&] { return host.toasts.size() >= count; }, 30000);
    }
};

// Whether npm's global folder holds prettier, as scripts/install-deps leaves it.
bool prettierInstalled() {
    QProcess npm;
    npm.start(QStringLiteral("npm"), {QStringLiteral("root"), QStringLiteral("-g")});
    if (!npm.waitForFinished(30000) || npm.exitCode() != 0) return false;
    const QString root = QString::fromLocal8Bit(npm.readAllStandardOutput()).trimmed();
    return QFileInfo::exists(root + QStringLiteral("/prettier/package.json"));
}

} // namespace

TEST_F(Formatting, JsonKeepsTheUsersDataAndOneUndoBringsItBack) {
    const QString input = QStringLiteral("{\"z\":1.0,\"a\":12345678901234567890,\"z\":\"\\u00e9\"}");
    EditorView* view = host.addEditor(input, SyntaxLanguage::json);
    commands.formatCurrentDocument();
    EXPECT_EQ(view->text(), "{\n  \"z\": 1.0,\n  \"a\": 12345678901234567890,\n  \"z\": \"\\u00e9\"\n}");
    EXPECT_TRUE(view->isDirty());
    ASSERT_EQ(host.toasts.size(), 1u);
    EXPECT_EQ(host.toasts[0].text, "JSON formatiert");
    EXPECT_EQ(host.toasts[0].badge, "FORMAT");
    EXPECT_EQ(host.toasts[0].identifier, "updateToast");
    EXPECT_EQ(host.toasts[0].seconds, 2);
    view->textView()->undo();
    EXPECT_EQ(view->text(), input);

    view->setContent(QStringLiteral("{"));
    commands.formatCurrentDocument();
    EXPECT_EQ(host.lastToast(), "Ungültiges JSON — Formatierung fehlgeschlagen");
    EXPECT_EQ(view->text(), "{");
}

TEST_F(Formatting, WhatCannotBeFormattedIsSaid) {
    commands.formatCurrentDocument();
    EXPECT_EQ(host.lastToast(), "Kein Editor-Tab aktiv");
    host.addTerminal({});
    commands.formatCurrentDocument();
    EXPECT_EQ(host.lastToast(), "Kein Editor-Tab aktiv");
    host.addEditor(QStringLiteral("# T"), SyntaxLanguage::markdown);
    commands.formatCurrentDocument();
    EXPECT_EQ(host.lastToast(), "Kein Formatter für markdown");
    host.addEditor(QStringLiteral("x"), SyntaxLanguage::none);
    commands.formatCurrentDocument();
    EXPECT_EQ(host.lastToast(), "Kein Formatter für none");
    host.addEditor(QStringLiteral("x=1"), SyntaxLanguage::python);
    commands.searchDirs = {tools.path()};
    commands.formatCurrentDocument();
    EXPECT_EQ(host.lastToast(), "Tool nicht gefunden — pip install black");
}

TEST_F(Formatting, RealBlackAndPrettier) {
    EditorView* py = host.addEditor(QStringLiteral("x = {  'a':1 }\n"), SyntaxLanguage::python);
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(1));
    EXPECT_EQ(host.lastToast(), "Fertig");
    EXPECT_EQ(py->text(), "x = {\"a\": 1}\n");

    if (!prettierInstalled())
        GTEST_SKIP() << "prettier is not installed: scripts/install-deps could not reach the npm registry";
    EditorView* js = host.addEditor(QStringLiteral("const a = {b:1}"), SyntaxLanguage::javascript);
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(2));
    EXPECT_EQ(host.lastToast(), "Fertig");
    EXPECT_EQ(js->text(), "const a = { b: 1 };\n");

    EditorView* html = host.addEditor(QStringLiteral("<div><p>hi</p>\n</div>"), SyntaxLanguage::html);
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(3));
    EXPECT_EQ(host.lastToast(), "Fertig");
    EXPECT_EQ(html->text(), "<div><p>hi</p></div>\n");
}

TEST_F(Formatting, FailuresOfTheFormatterLeaveTheDocument) {
    EditorView* view = host.addEditor(QStringLiteral("x=1\n"), SyntaxLanguage::python);
    standIn("black", "echo '   ' >&2\nexit 1\n");
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(1));
    EXPECT_EQ(host.lastToast(), "Formatter fehlgeschlagen");

    standIn("black", "cat >/dev/null\necho 'cannot parse: 1:2' >&2\nexit 123\n");
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(2));
    EXPECT_EQ(host.lastToast(), "cannot parse: 1:2");

    // Nothing back for a document is a failure, not an empty document.
    standIn("black", "cat >/dev/null\nexit 0\n");
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(3));
    EXPECT_EQ(host.lastToast(), "Formatter lieferte keine Ausgabe");

    // A formatter that never ends is stopped.
    standIn("black", "exec sleep 30\n");
    commands.formatterTimeLimitMs = 300;
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(4));
    EXPECT_EQ(host.lastToast(), "Formatter nach 0.3 s abgebrochen");
    EXPECT_EQ(view->text(), "x=1\n");
    EXPECT_FALSE(view->isDirty());

    // Warnings beside a result do not matter.
    standIn("black", "cat >/dev/null\necho warning >&2\necho 'x = 1'\n");
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(5));
    EXPECT_EQ(host.lastToast(), "Fertig");
    EXPECT_EQ(view->text(), "x = 1\n");
}

TEST_F(Formatting, TextTypedMeanwhileIsNotReplaced) {
    EditorView* view = host.addEditor(QStringLiteral("a=1\n"), SyntaxLanguage::python);
    // The stand-in waits for a go-ahead file, so the typing surely comes first.
    const QString go = tools.filePath("go");
    standIn("black",
            "cat >/dev/null\nwhile [ ! -e '" + go.toUtf8() + "' ]; do sleep 0.02; done\necho 'a = 1'\n");
    commands.formatCurrentDocument();
    view->textView()->moveCursor(QTextCursor::End);
    view->textView()->insertPlainText(QStringLiteral("b=2\n"));
    QFile(go).open(QIODevice::WriteOnly);
    ASSERT_TRUE(waitForToast(1));
    EXPECT_EQ(view->text(), "a=1\nb=2\n");
    EXPECT_EQ(host.lastToast(), "Text geändert — Formatierung verworfen");
}

TEST_F(Formatting, HtmlUsesTheFilesExtensionAndSwiftItsStandIn) {
    // The stand-in npx prints its arguments, so the file name it was given shows.
    standIn("npx", "cat >/dev/null\necho \"$@\"\n");
    host.addEditor(QStringLiteral("<p>"), SyntaxLanguage::html);
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(1));
    EXPECT_EQ(host.editorView(0)->text(), "prettier --parser html --stdin-filepath file.html\n");
    host.addEditor(QStringLiteral("<p>"), SyntaxLanguage::html, tools.filePath("page.htm"));
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(2));
    EXPECT_EQ(host.editorView(1)->text(), "prettier --parser html --stdin-filepath file.htm\n");

    standIn("swift-format", "tr a-z A-Z\n");
    host.addEditor(QStringLiteral("let x = 1\n"), SyntaxLanguage::swift);
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(3));
    EXPECT_EQ(host.editorView(2)->text(), "LET X = 1\n");
}

TEST_F(Formatting, OutputFarLargerThanTheDocumentIsRefused) {
    EditorView* view = host.addEditor(QStringLiteral("x=1\n"), SyntaxLanguage::python);
    // Prints without end; the time limit is far off, so only the output limit can stop it.
    standIn("black", "cat >/dev/null\nexec yes xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n");
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(1));
    EXPECT_EQ(host.lastToast(), "Formatter-Ausgabe zu groß (über 1 MiB) — Dokument unverändert");
    EXPECT_EQ(host.toasts.back().seconds, 6);
    EXPECT_EQ(view->text(), "x=1\n");
    EXPECT_FALSE(view->isDirty());

    // The limit grows with the document, up to a ceiling.
    EXPECT_EQ(FormatterProcess::outputLimit(0), 1024 * 1024);
    EXPECT_EQ(FormatterProcess::outputLimit(10 * 1024 * 1024), 41 * 1024 * 1024);
    EXPECT_EQ(FormatterProcess::outputLimit(50 * 1024 * 1024), 128 * 1024 * 1024);
}

TEST_F(Formatting, ATimeOutEndsWhatTheFormatterStarted) {
    EditorView* view = host.addEditor(QStringLiteral("x=1\n"), SyntaxLanguage::python);
    // Like npx waiting on node: the formatter starts a helper and waits for it.
    const QString pidFile = tools.filePath("helper.pid");
    standIn("black", "sleep 300 &\necho $! > '" + pidFile.toUtf8() + "'\nwait\n");
    commands.formatterTimeLimitMs = 2000;
    commands.formatCurrentDocument();
    ASSERT_TRUE(waitForToast(1));
    EXPECT_EQ(host.lastToast(), "Formatter nach 2 s abgebrochen");
    EXPECT_EQ(view->text(), "x=1\n");

    QFile f(pidFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray helper = f.readAll().trimmed();
    ASSERT_FALSE(helper.isEmpty());
    // Gone, or a zombie about to be reaped by whoever inherited it.
    const auto running = [&] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(helper)));
        if (!stat.open(QIODevice::ReadOnly)) return false;
        const QByteArray line = stat.readAll();
        return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return !running(); }, 10000))
        << "sleep " << helper.toStdString() << " lives on";
}
