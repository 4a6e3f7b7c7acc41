#pragma once

#include <QString>

class Defaults;
class SettingsHost;

// Returning the program to its first-start state: what "resetDefaults" does.
namespace settings {

// The program's own folder, the state folder (crash log, shell histories, the usage log).
QString configDirectory();

// Runs every step of the reset in order, the program-wide ones through `host`:
//  1. empties the configuration folder and creates it again, empty, so that shell histories and
//     the crash log have somewhere to go afterwards;
//  2. removes the launch-at-login entry;
//  3. forgets every stored value of `defaults` (saved tabs and window geometry included);
//  4. host.deleteCodeHostingToken();
//  5. deletes the caches and preference file the former product left;
//  6. writes every setting of the table explicitly and saves the store;
//  7. host.resetPanes(), closeTabsForReset(), restartFirstShell(), resetWindow(), finishReset().
// File steps that fail (nothing to delete, say) do not stop the reset.
void resetToDefaults(Defaults& defaults, SettingsHost& host);

} // namespace settings
