// The updater in the controller's place: its toasts in the window, the unsaved editor tabs it must
// not end, the setting it follows, and the copy of the test run, which is no install of its own.
#include "AppTestSupport.h"
#include "app/process/InstanceServer.h"
#include "app/updater/UpdaterServiceHost.h"
#include "localisation/Loc.h"
#include "updater/Updater.h"

#include <QLabel>

using namespace apptest;

namespace {

class AppUpdater : public AppTest {};

} // namespace

TEST_F(AppUpdater, theControllerCarriesTheUpdatersToastsAndKnowsItsUnsavedEditors) {
    launch();
    InstanceServer instanceServer(dir.filePath("Dunmar.sock"));
    Updater& updater = installUpdaterService(*app, *defaults, -1, instanceServer, std::nullopt);
    EXPECT_EQ(app->services().updater.get(), &updater);

    // A test executable runs from no install: a request says to update through the package manager.
    app->services().updater->manualCheckForUpdate();
    QWidget* toast = app->toasts().toast(ToastService::kDefaultIdentifier);
    ASSERT_TRUE(toast);
    bool saysWhy = false;
    for (QLabel* label : toast->findChildren<QLabel*>())
        saysWhy |= label->text() == QString::fromStdString(Loc::onlyWithAppBundle());
    EXPECT_TRUE(saysWhy);

    UpdaterServiceHost host(*app, *defaults, -1, &instanceServer);
    host.showDownloadProgressToast(0.25);
    EXPECT_FALSE(app->toasts().toast(ToastService::kDefaultIdentifier)) << "the progress toast replaces it";
    EXPECT_TRUE(app->toasts().toast("downloadProgressToast"));

    EXPECT_FALSE(host.hasUnsavedEditorTabs());
    app->workspace().createEditorTab();
    app->workspace().tabs().active()->editorView->textView()->insertPlainText("a draft");
    EXPECT_TRUE(host.hasUnsavedEditorTabs());

    defaults->setValue("autoCheckUpdates", false);
    EXPECT_FALSE(host.autoCheckUpdates());
    defaults->setValue("autoCheckUpdates", true);
    EXPECT_TRUE(host.autoCheckUpdates());
}
