#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QUrl>

class EditorView;
class QWidget;

// What the editor's commands need of the controller: the tabs as they stand, the header's preview
// button, the toasts, and the content view that shows the print panel.
class EditorCommandsHost {
public:
    virtual ~EditorCommandsHost() = default;

    virtual int activeTab() const = 0;
    virtual int tabCount() const = 0;
    virtual bool isEditorTab(int index) const = 0;
    // The editor of tab `index`; none for a terminal tab or an index out of range.
    virtual EditorView* editorView(int index) const = 0;
    // The file of editor tab `index`; empty without one.
    virtual QUrl editorURL(int index) const = 0;
    virtual bool isPreviewActive(int index) const = 0;
    virtual void setPreviewActive(int index, bool active) = 0;
    virtual void setHeaderPreviewActive(bool active) = 0;
    // The rows of the visible screen of the active terminal tab, empty for another tab.
    virtual QStringList activeTerminalScreen() const = 0;
    virtual void showToast(const QString& badge, const QString& text, const QColor& badgeColor,
                           double dismissAfterSeconds, const QString& identifier) = 0;
    // The view that covers the window's content: the print panel lies over it.
    virtual QWidget* contentView() const = 0;
};
