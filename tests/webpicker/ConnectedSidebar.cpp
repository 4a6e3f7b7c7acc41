#include "ConnectedSidebar.h"

#include "WebPickerTestSupport.h"
#include "webpicker/ChromeCDPClient.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>

namespace testsupport {

using OptJson = std::optional<QJsonObject>;

namespace {
// A browser on a busy two-core machine can take its time; nothing waits longer than it must.
constexpr int kAnswerMs = 45000;
} // namespace

void ConnectedSidebarTest::SetUpTestSuite() {
    pages_ = new PageServer;
    pages_->addPage("/blank", "<!doctype html><title>blank</title>");
    chromium_ = new Chromium;
    if (!chromium_->start(pages_->url("/blank"))) ADD_FAILURE() << "chromium did not start";
}

void ConnectedSidebarTest::TearDownTestSuite() {
    delete chromium_;
    chromium_ = nullptr;
    delete pages_;
    pages_ = nullptr;
}

void ConnectedSidebarTest::SetUp() {
    ASSERT_GT(chromium().port(), 0);
    defaults = std::make_unique<Defaults>(dir.filePath("defaults.json"));
}

void ConnectedSidebarTest::TearDown() {
    sidebar.reset();
}

void ConnectedSidebarTest::recreateSidebar() {
    sidebar.reset();
    sidebar = std::make_unique<WebPickerSidebarView>(*defaults);
    sidebar->resize(320, 520);
    sidebar->connection().cdp().setPortOverride(chromium().port());
    sidebar->pickList().setPollIntervalMs(30);
    sidebar->connect();
    // Connected, and the tab's host is shown (which restores the stored picks).
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return sidebar->connection().isConnected() && !ui(*sidebar).pickButton()->isHidden(); }, 15000))
        << sidebar->statusText().toStdString();
}

void ConnectedSidebarTest::connectTo(const QString& path) {
    recreateSidebar();
    open(path);
}

void ConnectedSidebarTest::open(const QString& path) {
    const QString url = pages().url(path);
    sidebar->connection().cdp().cdpCommand("Page.navigate", {{"url", url}}, [](OptJson) {});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return eval("location.href + ' ' + document.readyState").toString() == url + " complete"; },
        15000));
}

QJsonValue ConnectedSidebarTest::eval(const QString& script) {
    const OptJson answer =
        await<OptJson>([&](auto done) { sidebar->connection().cdp().evaluate(script, done); }, kAnswerMs);
    return answer ? answer->value("result").toObject().value("value") : QJsonValue();
}

void ConnectedSidebarTest::click(const QString& selector) {
    const QString script =
        QStringLiteral("(function(){var e=document.querySelector(%1);e.scrollIntoView({block:'center'});"
                       "var r=e.getBoundingClientRect();return "
                       "JSON.stringify([r.left+Math.min(r.width/2,5),r.top+r.height/2]);})()");
    const QString quoted =
        QString::fromUtf8(QJsonDocument(QJsonArray{selector}).toJson(QJsonDocument::Compact));
    const QJsonArray at =
        QJsonDocument::fromJson(eval(script.arg(quoted.mid(1, quoted.size() - 2))).toString().toUtf8())
            .array();
    ASSERT_EQ(at.size(), 2) << selector.toStdString();
    for (const char* type : {"mouseMoved", "mousePressed", "mouseReleased"}) {
        QJsonObject params{
            {"type", QString::fromLatin1(type)}, {"x", at[0].toDouble()}, {"y", at[1].toDouble()}};
        if (QByteArray(type) != "mouseMoved") {
            params.insert("button", "left");
            params.insert("clickCount", 1);
        }
        await<OptJson>(
            [&](auto done) {
                sidebar->connection().cdp().cdpCommand("Input.dispatchMouseEvent", params, done);
            },
            kAnswerMs);
    }
}

void ConnectedSidebarTest::pick(const QString& selector) {
    const size_t before = sidebar->pickList().picks().size();
    const qint64 nextId = sidebar->pickList().nextPickId();
    ui(*sidebar).pickButton()->click();
    ASSERT_FALSE(ui(*sidebar).pickButton()->isEnabled());
    // The click must find the picker's handler in the page: a click dispatched while the script is
    // still on its way (a busy machine) would go to the page itself.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return eval(QStringLiteral("window.__pkPickerActive === true")) == QJsonValue(true); }, 20000));
    click(selector);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sidebar->pickList().nextPickId() == nextId + 1; }, 20000))
        << selector.toStdString();
    EXPECT_EQ(sidebar->pickList().picks().size(), std::min<size_t>(before + 1, PickListModel::kMaxPicks));
    EXPECT_TRUE(ui(*sidebar).pickButton()->isEnabled());
}

} // namespace testsupport
