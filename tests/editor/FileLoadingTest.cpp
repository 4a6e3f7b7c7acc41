// Which files may open, how their bytes become text, and the background load with its panel.
#include "EditorTestSupport.h"
#include "chrome/BaseHoverButton.h"
#include "editor/EditorAlertOverlay.h"
#include "editor/FileLoadTask.h"
#include "editor/TextFileCheck.h"
#include "support/Waits.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FileLoading : public testing::Test {
protected:
    QTemporaryDir dir;
    // A file of `size` bytes of short lines after `head`; beyond 5 MiB the rest is left sparse
    // (zero bytes), so that a file over the size limit costs nothing to make.
    QString file(const QString& name, qint64 size, const QByteArray& head = {}) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        const qint64 written = std::min<qint64>(size, 5 * 1024 * 1024);
        QByteArray content = head;
        while (content.size() < written) content += "abcdefghi\n";
        f.write(content.left(written));
        f.resize(size);
        return path;
    }
};

struct Load {
    std::vector<double> progress;
    int completions = 0;
    std::optional<textfile::Decoded> result;
};

} // namespace

TEST_F(FileLoading, SizeAndBinaryLimits) {
    EXPECT_FALSE(textfile::refusalReason(file("limit.txt", textfile::kOpenLimit)));
    const std::optional<QString> big = textfile::refusalReason(file("big.txt", textfile::kOpenLimit + 1));
    ASSERT_TRUE(big);
    EXPECT_EQ(*big,
              QStringLiteral("\"big.txt\" ist 50.0 MB groß. Der Editor unterstützt Dateien bis 50 MB."));

    QByteArray nulAt511(511, 'x');
    nulAt511 += '\0';
    EXPECT_EQ(textfile::refusalReason(file("bin", 600, nulAt511)),
              QStringLiteral(
                  "\"bin\" scheint eine Binärdatei zu sein und kann nicht im Text-Editor angezeigt werden."));
    QByteArray nulAt512(512, 'x');
    nulAt512 += '\0';
    EXPECT_FALSE(textfile::refusalReason(file("late-nul", 600, nulAt512)));
    EXPECT_FALSE(textfile::refusalReason(dir.filePath("missing")));
}

TEST_F(FileLoading, Utf8OrLatin1ThatSaysSo) {
    const textfile::Decoded utf8 = textfile::decode(QByteArray("gr\xc3\xbc\xc3\x9f"));
    EXPECT_EQ(utf8.text, QStringLiteral("grüß"));
    EXPECT_FALSE(utf8.latin1);
    const textfile::Decoded latin1 = textfile::decode(QByteArray("gr\xfc\xdf"));
    EXPECT_EQ(latin1.text, QStringLiteral("grüß"));
    EXPECT_TRUE(latin1.latin1);
}

TEST_F(FileLoading, TheLoaderReportsProgressAndDeliversOnce) {
    QObject context;
    const auto run = [&](const QString& path, qint64 total, bool cancel) {
        auto load = std::make_shared<Load>();
        auto task = FileLoadTask::create();
        // Set before the worker starts, so the cancel is seen whatever the worker's speed.
        if (cancel) task->cancelled = true;
        task->load(
            path, total, &context, [load](double f) { load->progress.push_back(f); },
            [load](std::optional<textfile::Decoded> text) {
                ++load->completions;
                load->result = std::move(text);
            });
        EXPECT_TRUE(QTest::qWaitFor([&] { return load->completions == 1; }, 10000));
        return load;
    };
    const QString path = file("three-chunks", 3 * FileLoadTask::kChunkSize);
    auto whole = run(path, 3 * FileLoadTask::kChunkSize, false);
    ASSERT_TRUE(whole->result);
    EXPECT_EQ(whole->result->text.size(), 3 * FileLoadTask::kChunkSize);
    EXPECT_EQ(whole->progress, (std::vector<double>{1.0 / 3, 2.0 / 3, 1.0}));

    // A size that says less than the file holds stops the fraction at 1.
    auto under = run(path, FileLoadTask::kChunkSize, false);
    EXPECT_EQ(under->progress, (std::vector<double>{1.0, 1.0, 1.0}));

    auto empty = run(file("empty", 0), 0, false);
    ASSERT_TRUE(empty->result);
    EXPECT_TRUE(empty->result->text.isEmpty());
    EXPECT_TRUE(empty->progress.empty());

    EXPECT_FALSE(run(path, 3 * FileLoadTask::kChunkSize, true)->result) << "cancelled: no text";
    EXPECT_FALSE(run(dir.filePath("missing"), 10, false)->result);
    testsupport::drainEvents();
}

TEST_F(FileLoading, AFileThatGrowsWhileItLoadsStopsAtTheLimit) {
    // A log still being written: it was half the limit when looked at, and a writer keeps adding.
    constexpr qint64 kLimit = 1024 * 1024;
    const QString path = file("growing.log", kLimit / 2);
    const qint64 seen = QFileInfo(path).size();
    QProcess writer;
    writer.start(QStringLiteral("sh"),
                 {QStringLiteral("-c"), QStringLiteral("head -c 16777216 /dev/zero | tr '\\0' x >> \"$1\""),
                  QStringLiteral("sh"), path});
    ASSERT_TRUE(writer.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(path).size() > kLimit; }, 10000));

    QObject context;
    Load load;
    auto task = FileLoadTask::create();
    task->maxBytes = kLimit;
    task->load(
        path, seen, &context, [&](double f) { load.progress.push_back(f); },
        [&](std::optional<textfile::Decoded> text) {
            ++load.completions;
            load.result = std::move(text);
        });
    ASSERT_TRUE(QTest::qWaitFor([&] { return load.completions == 1; }, 10000));
    EXPECT_FALSE(load.result) << "no text: half of it would be saved over the file";
    EXPECT_TRUE(task->overLimit);
    // Each progress report is one piece read: the reading stopped one byte past the limit.
    EXPECT_LE(qint64(load.progress.size()), kLimit / FileLoadTask::kChunkSize + 1);
    writer.kill();
    writer.waitForFinished();
    testsupport::drainEvents();

    EXPECT_EQ(textfile::grewPastLimitReason(QStringLiteral("growing.log")),
              QStringLiteral("\"growing.log\" ist beim Laden über 50 MB gewachsen. Der Editor unterstützt "
                             "Dateien bis 50 MB."));
}

TEST_F(FileLoading, ALargeFileLoadsUnderAPanelAndCancelKeepsTheTextBefore) {
    EditorView view;
    view.resize(600, 400);
    view.show();
    QString error;
    ASSERT_TRUE(view.loadFile(file("small.txt", textfile::kReadAtOnceLimit), &error));
    EXPECT_FALSE(view.isLoading()) << "512 KiB are read at once";
    EXPECT_EQ(view.text().size(), textfile::kReadAtOnceLimit);

    ASSERT_TRUE(view.loadFile(file("large.txt", textfile::kReadAtOnceLimit + 1), &error));
    ASSERT_TRUE(view.isLoading());
    ASSERT_NE(view.loadingOverlay(), nullptr);
    EXPECT_EQ(view.loadingOverlay()->geometry(), view.rect());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.isLoading(); }, 10000));
    EXPECT_EQ(view.text().size(), textfile::kReadAtOnceLimit + 1);
    EXPECT_FALSE(view.isDirty());

    // A cancelled load leaves the text that was there, and the modified mark with it.
    view.textView()->insertPlainText(QStringLiteral("typed"));
    const QString before = view.text();
    std::vector<std::pair<bool, QString>> outcomes;
    ASSERT_TRUE(
        view.loadFile(file("again.txt", 4 * 1024 * 1024), nullptr,
                      [&](bool loaded, const QString& error) { outcomes.emplace_back(loaded, error); }));
    QPointer<EditorAlertOverlay> overlay = view.loadingOverlay();
    ASSERT_TRUE(overlay);
    static_cast<BaseHoverButton*>(overlay->actionButton())->onClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return outcomes.size() == 1 && !overlay; }, 10000));
    EXPECT_EQ(outcomes[0], std::make_pair(false, QString())) << "a cancel, not a failure";
    EXPECT_EQ(view.text(), before);
    EXPECT_FALSE(view.isLoading());
    EXPECT_TRUE(view.isDirty());

    EXPECT_FALSE(view.loadFile(file("huge.txt", textfile::kOpenLimit + 1), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("50 MB")));
}

TEST_F(FileLoading, PanelTexts) {
    EXPECT_EQ(EditorAlertOverlay::sizeText(1048576), "1024 KB");
    EXPECT_EQ(EditorAlertOverlay::sizeText(1048577), "1.0 MB");
    EXPECT_EQ(EditorAlertOverlay::sizeText(1536), "2 KB");

    std::unique_ptr<EditorAlertOverlay> loading(EditorAlertOverlay::loading("f.log", 3 * 1048576, {}));
    EXPECT_EQ(loading->panel()->size(), QSize(320, 152));
    loading->updateProgress(0.426);
    EXPECT_EQ(loading->progressBar()->value(), 42);
    EXPECT_EQ(loading->pctLabel()->text(), "43%");
    bool subtitle = false;
    for (QLabel* label : loading->panel()->findChildren<QLabel*>())
        subtitle |= label->text() == QStringLiteral("Lade Datei · 3.0 MB");
    EXPECT_TRUE(subtitle);

    std::unique_ptr<EditorAlertOverlay> warning(EditorAlertOverlay::warning("x", "too big", {}));
    EXPECT_EQ(warning->panel()->size(), QSize(320, 170));
    EXPECT_EQ(warning->progressBar(), nullptr);
}
