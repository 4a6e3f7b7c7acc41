#include "app/editor/EditorServiceHost.h"

#include "app/ToastService.h"
#include "app/workspace/Workspace.h"
#include "chrome/HeaderBarView.h"
#include "editor/EditorCommands.h"
#include "editor/EditorCommandsHost.h"

#include <QPointer>

namespace {

class Host final : public EditorCommandsHost {
public:
    Host(Workspace& workspace, ToastService& toasts, QWidget* contentView, HeaderBarView* header)
        : workspace_(workspace), toasts_(toasts), contentView_(contentView), header_(header) {}

    int activeTab() const override { return workspace_.activeTab(); }
    int tabCount() const override { return workspace_.tabs().count(); }
    bool isEditorTab(int index) const override {
        const TabState* tab = workspace_.tabs().find(index);
        return tab && tab->type == TabType::editor;
    }
    EditorView* editorView(int index) const override {
        const TabState* tab = workspace_.tabs().find(index);
        return tab && tab->type == TabType::editor ? tab->editorView.data() : nullptr;
    }
    QUrl editorURL(int index) const override {
        const TabState* tab = workspace_.tabs().find(index);
        return tab ? tab->editorURL : QUrl();
    }
    bool isPreviewActive(int index) const override {
        const TabState* tab = workspace_.tabs().find(index);
        return tab && tab->previewActive;
    }
    void setPreviewActive(int index, bool active) override {
        if (TabState* tab = workspace_.tabs().find(index)) tab->previewActive = active;
    }
    void setHeaderPreviewActive(bool active) override {
        if (header_) header_->setPreviewActive(active);
    }
    QStringList activeTerminalScreen() const override {
        const TabState* tab = workspace_.tabs().active();
        if (!tab || !tab->termView) return {};
        const Terminal& terminal = tab->termView->terminal();
        QStringList lines;
        for (std::int64_t y = 0; y < terminal.rows(); ++y) {
            QString line;
            for (const Cell& cell : terminal.gridRow(y)) {
                if (cell.width == 0) continue; // the right half of a wide character
                const char32_t ch = cell.ch == 0 ? U' ' : char32_t(cell.ch);
                line += QString::fromUcs4(&ch, 1);
            }
            lines << line;
        }
        return lines;
    }
    void showToast(const QString& badge, const QString& text, const QColor& badgeColor, double seconds,
                   const QString& identifier) override {
        toasts_.showGenericToast(badge, text, badgeColor, seconds, identifier);
    }
    QWidget* contentView() const override { return contentView_; }

private:
    Workspace& workspace_;
    ToastService& toasts_;
    QPointer<QWidget> contentView_;
    QPointer<HeaderBarView> header_;
};

// The commands with the host they were made for.
class EditorServiceWithHost final : public EditorService {
public:
    EditorServiceWithHost(Workspace& workspace, ToastService& toasts, QWidget* contentView,
                          HeaderBarView* header)
        : host_(workspace, toasts, contentView, header), commands_(host_) {}
    bool isTabPreviewable(int index) const override { return commands_.isTabPreviewable(index); }
    void togglePreview() override { commands_.togglePreview(); }
    void printCurrentTab() override { commands_.printCurrentTab(); }
    void formatCurrentDocument() override { commands_.formatCurrentDocument(); }
    EditorCommands* commands() override { return &commands_; }

private:
    Host host_;
    EditorCommands commands_;
};

} // namespace

std::unique_ptr<EditorService> makeEditorService(Workspace& workspace, ToastService& toasts,
                                                 QWidget* contentView, HeaderBarView* header) {
    return std::make_unique<EditorServiceWithHost>(workspace, toasts, contentView, header);
}
