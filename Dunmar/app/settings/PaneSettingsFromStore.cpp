#include "app/settings/PaneSettingsFromStore.h"

#include "platform/Defaults.h"
#include "settings/SettingsKeys.h"

#include <QMetaType>
#include <algorithm>
#include <climits>

namespace settings {

PaneSettings paneSettingsFrom(const Defaults& store) {
    PaneSettings pane;
    pane.fontSize = store.doubleValue(kTerminalFontSize);
    pane.fontFamily = store.integer(kFontFamily);
    pane.cursorStyle = int(std::clamp<qint64>(store.integer(kCursorStyle), INT_MIN, INT_MAX));
    pane.cursorBlink = store.boolean(kCursorBlink);
    // The setting is on unless the user turned it off.
    const QVariant copy = store.object(kCopyOnSelect);
    pane.copyOnSelect = copy.typeId() == QMetaType::Bool ? copy.toBool() : true;
    pane.syntaxHighlighting = store.boolean(kSyntaxHighlighting);
    pane.promptTheme = store.object(kPromptTheme).isValid() ? store.string(kPromptTheme) : QStringLiteral("default");
    return pane;
}

} // namespace settings
