#pragma once

#include "editor/EditorCommandsHost.h"
#include "editor/EditorView.h"

#include <QWidget>
#include <memory>
#include <vector>

namespace editortest {

// The tabs of a controller as the editor's commands see them: real editor views in a content
// view, and the toasts they showed.
class CommandsHost final : public EditorCommandsHost {
public:
    struct Tab {
        EditorView* view = nullptr; // none: a terminal tab
        QUrl url;
        bool preview = false;
    };
    struct Toast {
        QString badge, text, identifier;
        QColor color;
        double seconds = 0;
    };

    CommandsHost() { content.resize(800, 600); }

    // An editor tab holding `text`, coloured as `language`, with the file `path` (none: no file).
    EditorView* addEditor(const QString& text, SyntaxLanguage language, const QString& path = {}) {
        auto* view = new EditorView(&content);
        view->setGeometry(content.rect());
        view->setContent(text);
        view->setLanguage(language);
        tabs.push_back({view, path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path)});
        active = int(tabs.size()) - 1;
        return view;
    }
    void addTerminal(QStringList screen) {
        tabs.push_back({});
        terminalScreen = std::move(screen);
        active = int(tabs.size()) - 1;
    }
    QString lastToast() const { return toasts.empty() ? QString() : toasts.back().text; }

    int activeTab() const override { return active; }
    int tabCount() const override { return int(tabs.size()); }
    bool isEditorTab(int i) const override { return valid(i) && tabs[size_t(i)].view; }
    EditorView* editorView(int i) const override { return valid(i) ? tabs[size_t(i)].view : nullptr; }
    QUrl editorURL(int i) const override { return valid(i) ? tabs[size_t(i)].url : QUrl(); }
    bool isPreviewActive(int i) const override { return valid(i) && tabs[size_t(i)].preview; }
    void setPreviewActive(int i, bool on) override {
        if (valid(i)) tabs[size_t(i)].preview = on;
    }
    void setHeaderPreviewActive(bool on) override { headerPreview = on; }
    QStringList activeTerminalScreen() const override {
        return valid(active) && !tabs[size_t(active)].view ? terminalScreen : QStringList();
    }
    void showToast(const QString& badge, const QString& text, const QColor& color, double seconds,
                   const QString& identifier) override {
        toasts.push_back({badge, text, identifier, color, seconds});
    }
    QWidget* contentView() const override { return const_cast<QWidget*>(&content); }

    QWidget content;
    std::vector<Tab> tabs;
    int active = 0;
    QStringList terminalScreen;
    bool headerPreview = false;
    std::vector<Toast> toasts;

private:
    bool valid(int i) const { return i >= 0 && i < int(tabs.size()); }
};

} // namespace editortest
