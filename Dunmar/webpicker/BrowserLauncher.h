#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <sys/types.h>
#include <vector>

// Starting the picker's own browser and finding it again among the running processes.
namespace browser {

// The environment variable that names the browser to start, with flags of its own after it
// ("chromium --headless=new --no-sandbox"); without it the first of google-chrome,
// google-chrome-stable, chromium and chromium-browser on the PATH is used.
inline constexpr const char* kBrowserVariable = "DUNMAR_PICKER_BROWSER";

struct Command {
    QString program;
    QStringList arguments;
};

// The command that starts the browser with remote debugging on `port` and the profile folder of
// that port; none when no browser is to be found or the profile folder is refused.
std::optional<Command> launchCommand(int port);

// Starts the browser detached; false when there is none or it could not be started.
bool launch(int port);

// Main browser processes (not the renderers and helpers it forks, which carry "--type=") whose
// command line uses `profileFolder`; lowest process id first.
std::vector<pid_t> processesWithProfile(const QString& profileFolder);
// The main process of every running Chromium-family browser.
std::vector<pid_t> runningBrowsers();

// Whether the process runs a Chromium-family browser (by its executable's name).
bool isBrowserProcess(pid_t pid);

// Asks our own browser on `profileFolder` to end (SIGTERM); browsers the user started are never
// touched. The number of processes asked.
int terminateProcessesWithProfile(const QString& profileFolder);

} // namespace browser
