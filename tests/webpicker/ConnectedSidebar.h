#pragma once

// A picker sidebar connected to a real headless Chromium that shows pages of a local server, with
// what the tests need to act in the page: run a script, click an element as the user would.

#include "Chromium.h"
#include "platform/Defaults.h"
#include "support/WebPickerTestAccess.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/PickListModel.h"
#include "webpicker/ScriptConsole.h"
#include "webpicker/WebPickerConnection.h"
#include "webpicker/WebPickerHotReload.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace testsupport {

class ConnectedSidebarTest : public ::testing::Test {
protected:
    // One browser and one page server for all tests of the executable that run in one process.
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    static Chromium& chromium() { return *chromium_; }
    static PageServer& pages() { return *pages_; }

    void SetUp() override;
    void TearDown() override;

    // A new sidebar on the same defaults, connected to the browser's page, which shows `path`.
    void connectTo(const QString& path);
    void recreateSidebar();
    // Loads the page anew and waits until it has loaded.
    void open(const QString& path);

    // The value of a script run in the page, by value.
    QJsonValue eval(const QString& script);
    // Clicks the centre of the element the selector finds, through the browser's input events.
    void click(const QString& selector);
    // Presses the pick button and clicks the element; waits for the pick to arrive.
    void pick(const QString& selector);

    QTemporaryDir dir;
    std::unique_ptr<Defaults> defaults;
    std::unique_ptr<WebPickerSidebarView> sidebar;

private:
    static inline Chromium* chromium_ = nullptr;
    static inline PageServer* pages_ = nullptr;
};

} // namespace testsupport
