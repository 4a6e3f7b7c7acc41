#include "app/session/SessionRestore.h"

#include "app/session/SessionFormat.h"
#include "editor/TextFileCheck.h"
#include "platform/Defaults.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace session {

namespace {

std::optional<QString> stringValue(const QVariantMap& entry, const char* key) {
    const QVariant v = entry.value(QLatin1String(key));
    if (v.typeId() != QMetaType::QString) return std::nullopt;
    return v.toString();
}

std::optional<double> doubleValue(const QVariantMap& entry, const char* key) {
    const QVariant v = entry.value(QLatin1String(key));
    if (!Defaults::isNumber(v)) return std::nullopt;
    return v.toDouble();
}

std::optional<bool> boolValue(const QVariantMap& entry, const char* key) {
    const QVariant v = entry.value(QLatin1String(key));
    if (v.typeId() != QMetaType::Bool) return std::nullopt;
    return v.toBool();
}

bool isDictionary(const QVariant& v) {
    return v.typeId() == QMetaType::QVariantMap;
}

bool isList(const QVariant& v) {
    return v.typeId() == QMetaType::QVariantList || v.typeId() == QMetaType::QStringList;
}

RestoreTab terminalTab(const QVariantMap& entry, const std::function<bool(const QString&)>& isDirectory) {
    RestoreTab tab;
    tab.type = TabType::terminal;
    tab.shell = stringValue(entry, "shell").value_or(QStringLiteral("/bin/zsh"));
    const std::optional<QString> storedCwd = stringValue(entry, "cwd");
    if (storedCwd && !storedCwd->isEmpty() && *storedCwd != QLatin1String("/") && isDirectory &&
        isDirectory(*storedCwd))
        tab.cwd = storedCwd;
    tab.colorHue = doubleValue(entry, "colorHue");
    tab.tabId = stringValue(entry, "tabId");
    tab.customName = stringValue(entry, "customName");

    const std::optional<QString> position = stringValue(entry, "gitPosition");
    if (position && *position != QLatin1String("none")) {
        RestoreGit git;
        git.position =
            *position == QLatin1String("bottom") ? GitPanelPosition::bottom : GitPanelPosition::right;
        git.ratio = doubleValue(entry, "gitRatio");
        git.ratioV = doubleValue(entry, "gitRatioV");
        git.ratioH = doubleValue(entry, "gitRatioH");
        git.refreshDirectory = storedCwd.value_or(QString());
        tab.git = git;
    }

    if (const std::optional<bool> vertical = boolValue(entry, "splitVertical")) {
        RestoreSplit split;
        split.vertical = *vertical;
        split.shell = stringValue(entry, "splitShell").value_or(tab.shell);
        const std::optional<QString> splitCwd = stringValue(entry, "splitCwd");
        split.cwd = splitCwd ? splitCwd : tab.cwd;
        split.tabId = stringValue(entry, "splitTabId");
        const std::optional<double> ratio = doubleValue(entry, "splitRatio");
        if (ratio && *ratio > 0.1 && *ratio < 0.9) split.ratio = ratio;
        tab.split = split;
    }
    return tab;
}

RestoreTab editorTab(const QVariantMap& entry) {
    RestoreTab tab;
    tab.type = TabType::editor;
    tab.editorPath = stringValue(entry, "editorURL");
    if (tab.editorPath && tab.editorPath->isEmpty()) tab.editorPath.reset();
    if (const std::optional<QString> mode = stringValue(entry, "editorMode")) {
        if (*mode == QLatin1String("nano"))
            tab.editorMode = EditorInputMode::nano;
        else if (*mode == QLatin1String("vim"))
            tab.editorMode = EditorInputMode::vim;
        else
            tab.editorMode = EditorInputMode::normal;
    }
    tab.customName = stringValue(entry, "customName");
    return tab;
}

} // namespace

std::optional<RestorePlan> planRestore(const QVariant& sessionTabs, const QVariant& sessionActiveTab,
                                       const QVariant& windowFrame, const QVariant& sidebarOrder,
                                       const QVariant& sidebarPanelHeights, const QVariant& webPickerOpen,
                                       const QVariant& sshManagerOpen,
                                       const std::function<bool(const QString&)>& isDirectory) {
    if (!isList(sessionTabs)) return std::nullopt;
    const QVariantList entries = sessionTabs.toList();

    RestorePlan plan;
    // restoredBefore[i]: how many usable entries come before stored position i.
    std::vector<int> restoredBefore;
    restoredBefore.reserve(static_cast<size_t>(entries.size()));
    for (const QVariant& element : entries) {
        restoredBefore.push_back(static_cast<int>(plan.tabs.size()));
        if (!isDictionary(element)) {
            ++plan.skippedEntries;
            continue;
        }
        const QVariantMap entry = element.toMap();
        const std::optional<QString> type = stringValue(entry, "type");
        if (type && *type == QLatin1String("editor")) {
            RestoreTab tab = editorTab(entry);
            // A FIFO or a device would hang every start at the open; that tab is left out.
            if (tab.editorPath && regularfile::isSpecialFile(*tab.editorPath)) {
                plan.skippedFiles << *tab.editorPath;
                continue;
            }
            plan.tabs.push_back(std::move(tab));
        } else {
            plan.tabs.push_back(terminalTab(entry, isDirectory));
        }
    }
    if (plan.tabs.empty() && plan.skippedFiles.isEmpty()) return std::nullopt;

    const int last = static_cast<int>(plan.tabs.size()) - 1;
    const qint64 stored = Defaults::isNumber(sessionActiveTab) ? sessionActiveTab.toLongLong() : 0;
    if (stored >= 0 && last >= 0) {
        // The stored index counts the entries as they were saved; skipped ones do not count here,
        // and a skipped active entry hands over to the next restored one.
        const int target =
            stored >= entries.size() ? last : std::min(restoredBefore[static_cast<size_t>(stored)], last);
        plan.activeTab = target;
    }

    if (windowFrame.typeId() == QMetaType::QString) {
        const std::optional<QRectF> frame = rectFromString(windowFrame.toString());
        if (frame && frame->width() >= 320 && frame->height() >= 220) plan.windowFrame = frame;
    }
    if (isList(sidebarOrder)) {
        QStringList order;
        bool allStrings = true;
        for (const QVariant& id : sidebarOrder.toList()) {
            if (id.typeId() != QMetaType::QString) {
                allStrings = false;
                break;
            }
            order << id.toString();
        }
        if (allStrings) plan.sidebarOrder = order;
    }
    if (isDictionary(sidebarPanelHeights)) {
        const QVariantMap heights = sidebarPanelHeights.toMap();
        const bool allNumbers = std::all_of(heights.begin(), heights.end(),
                                            [](const QVariant& v) { return Defaults::isNumber(v); });
        if (allNumbers)
            for (auto it = heights.begin(); it != heights.end(); ++it)
                plan.sidebarPanelHeights.insert(it.key(), it.value().toDouble());
    }
    plan.webPickerOpen = webPickerOpen.typeId() == QMetaType::Bool && webPickerOpen.toBool();
    plan.sshManagerOpen = sshManagerOpen.typeId() == QMetaType::Bool && sshManagerOpen.toBool();
    return plan;
}

std::optional<RestorePlan> planRestore(const Defaults& defaults,
                                       const std::function<bool(const QString&)>& isDirectory) {
    return planRestore(defaults.object(kSessionTabs), defaults.object(kSessionActiveTab),
                       defaults.object(kWindowFrame), defaults.object(kSidebarOrder),
                       defaults.object(kSidebarPanelHeights), defaults.object(kWebPickerOpen),
                       defaults.object(kSSHManagerOpen), isDirectory);
}

bool isExistingDirectory(const QString& path) {
    return QFileInfo(path).isDir();
}

bool frameFitsOnScreens(const QRectF& frame, const QList<QRectF>& visibleFrames) {
    for (const QRectF& visible : visibleFrames) {
        const QRectF overlap = visible.intersected(frame);
        if (overlap.width() >= 100 && overlap.height() >= 44) return true;
    }
    return false;
}

std::optional<QString> readUtf8File(const QString& path) {
    // The editor's own limit: a file that grew past it since the last session is not restored.
    const std::optional<QByteArray> bytes = regularfile::read(path, nullptr, textfile::kOpenLimit);
    if (!bytes) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(*bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

EditorRestore restoreEditor(const RestoreTab& tab,
                            const std::function<std::optional<QString>(const QString&)>& readFile) {
    EditorRestore out;
    out.mode = tab.editorMode.value_or(EditorInputMode::normal);
    if (tab.editorPath) {
        if (std::optional<QString> text = readFile ? readFile(*tab.editorPath) : std::nullopt) {
            out.text = std::move(text);
            out.url = QUrl::fromLocalFile(*tab.editorPath);
            out.customName = QFileInfo(*tab.editorPath).fileName();
        } else {
            out.keptPath = tab.editorPath;
        }
    }
    if (tab.customName) out.customName = tab.customName;
    return out;
}

void applyEditorRestore(TabState& tab, const EditorRestore& restored) {
    tab.editorURL = restored.url;
    tab.keptEditorPath = restored.keptPath;
    tab.editorMode = restored.mode;
    if (restored.customName) tab.customName = restored.customName;
}

} // namespace session
