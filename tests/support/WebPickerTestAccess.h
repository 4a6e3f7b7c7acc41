#pragma once

// The picker sidebar's controls that tests press and read, and the program itself never asks for.
// Only tests include this header.

#include "settings/VertCenteredTextField.h"
#include "webpicker/PickListView.h"
#include "webpicker/ScriptConsoleView.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>

class WebPickerTestAccess {
public:
    explicit WebPickerTestAccess(WebPickerSidebarView& sidebar) : s_(sidebar) {}

    QPushButton* connectButton() const { return s_.connectBtn_; }
    QPushButton* disconnectButton() const { return s_.disconnectBtn_; }
    QPushButton* pickButton() const { return s_.pickBtn_; }
    QPushButton* moveUpButton() const { return s_.moveUpBtn_; }
    QPushButton* moveDownButton() const { return s_.moveDownBtn_; }
    QLabel* statusLabel() const { return s_.statusLabel_; }

    PickListView& pickListView() const { return *s_.pickListView_; }
    QList<PickRowView*> pickRows() const { return s_.pickListView_->rows(); }
    QPushButton* clearPicksButton() const { return s_.pickListView_->clearBtn_; }
    QLabel* feedbackLabel() const { return s_.pickListView_->feedbackLabel_; }
    // The menu a right click on a pick row opened last.
    QMenu* pickMenu() const { return s_.pickListView_->menu_; }

    QPushButton* replButton() const { return s_.replBtn_; }
    ScriptConsoleView& consoleView() const { return *s_.consoleView_; }
    QLineEdit* replField() const { return s_.consoleView_->field_; }
    QLabel* replResultLabel() const { return s_.consoleView_->resultLabel_; }

    QLineEdit* urlField() const { return s_.urlField_; }
    QWidget* suggestBox() const { return s_.suggestBox_; }
    QWidget* tabBox() const { return s_.tabBox_; }
    QPushButton* tabSwitcherButton() const { return s_.tabSwitcherBtn_; }

    QPushButton* hotReloadButton() const { return s_.hotReloadBtn_; }
    QWidget* watchRow() const { return s_.watchRow_; }
    QPushButton* watchFolderButton() const { return s_.watchFolderBtn_; }
    QLabel* watchStatusLabel() const { return s_.watchStatusLabel_; }

private:
    WebPickerSidebarView& s_;
};

// `ui(*sidebar).pickButton()`
inline WebPickerTestAccess ui(WebPickerSidebarView& sidebar) {
    return WebPickerTestAccess(sidebar);
}
