#pragma once

#include "aiusage/UsageService.h"
#include "dictation/DictationService.h"
#include "editor/EditorService.h"
#include "git/GitService.h"
#include "palette/PaletteService.h"
#include "ssh/RemoteStreamService.h"
#include "updater/UpdaterService.h"
#include "webpicker/WebPickerSubsystem.h"

#include <functional>
#include <memory>

// The later subsystems as the controller reaches them: one service each, the null one until the
// subsystem exists. A subsystem plugs in by replacing its member before the launch.
struct SubsystemServices {
    SubsystemServices() = default;
    SubsystemServices(const SubsystemServices&) = delete;
    SubsystemServices& operator=(const SubsystemServices&) = delete;

    // A command of a subsystem not built yet says so (a toast) instead of doing nothing.
    std::function<void()> notAvailable;
    std::function<void()> tellNotAvailable() {
        return [this] {
            if (notAvailable) notAvailable();
        };
    }

    std::unique_ptr<EditorService> editor = std::make_unique<NullEditorService>(tellNotAvailable());
    std::unique_ptr<PaletteService> palette = std::make_unique<NullPaletteService>(tellNotAvailable());
    std::unique_ptr<GitService> git = std::make_unique<NullGitService>(tellNotAvailable());
    // Made by the controller, which hands it the defaults store.
    std::unique_ptr<WebPickerService> webPicker;
    std::unique_ptr<RemoteStreamService> remoteStream = std::make_unique<NullRemoteStreamService>();
    std::unique_ptr<UsageService> usage = std::make_unique<NullUsageService>();
    std::unique_ptr<DictationService> dictation = std::make_unique<NullDictationService>();
    std::unique_ptr<UpdaterService> updater = std::make_unique<NullUpdaterService>();
};
