#pragma once

#include "ssh/SSHProfile.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class Defaults;
class QLabel;
class QLineEdit;
class QPushButton;
class QVariantAnimation;
class QVBoxLayout;
class FlippedClipView;
class SSHProfileRowView;
class SidebarMenuHost;

// The SSH side panel: the saved profiles, a form that slides open at the top to add or edit one,
// and a connect button per profile. It reports through its callbacks and knows nothing of the
// controller.
class SSHManagerView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFormHeight = 114;
    static constexpr int kRowHeight = 44;
    static constexpr int kErrorFlashMs = 1500;

    explicit SSHManagerView(Defaults& defaults, QWidget* parent = nullptr);

    std::function<void(const SSHProfile&)> onConnect;
    std::function<void()> onClose;
    std::function<void()> onMoveUp;
    std::function<void()> onMoveDown;
    // Serves the side panels' menu that a right click on the panel shows; no menu without one.
    SidebarMenuHost* sidebarMenuHost = nullptr;

    // Both buttons go when neither way is open; otherwise each is dimmed when its way is closed.
    void setMoveButtonsEnabled(bool up, bool down);
    bool isMoveUpEnabled() const;
    bool isMoveDownEnabled() const;

    const QList<SSHProfile>& profiles() const { return profiles_; }
    bool isFormVisible() const { return formVisible_; }
    std::optional<int> editingIndex() const { return editingIndex_; }
    bool isConnFieldFlashing() const { return flashingField_ == connField_; }
    // The field whose red border shows what kept the form from saving; none after the flash.
    QLineEdit* flashingField() const { return flashingField_; }

    QLineEdit* nameField() const { return nameField_; }
    QLineEdit* connField() const { return connField_; }
    QLineEdit* keyField() const { return keyField_; }
    QPushButton* addButton() const { return addBtn_; }
    QPushButton* moveUpButton() const { return moveUpBtn_; }
    QPushButton* moveDownButton() const { return moveDownBtn_; }
    QLabel* formTitle() const { return formTitleLbl_; }
    QWidget* listStack() const { return listStack_; }
    // The rows of the list, top first; none while the list is empty.
    QList<SSHProfileRowView*> rows() const;

    // The form: the add button's toggle, editing a listed profile, closing it and saving it.
    void toggleForm();
    void startEditing(int index);
    void cancelForm();
    void saveProfile();

    // The panel's texts in the interface language of now.
    void refreshSSHLanguage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void setupUI();
    void rebuildList();
    void openForm();
    void animateFormHeight(int to, int ms, bool springy);
    void flashConnFieldError();
    void flashFieldError(QLineEdit* field);
    // Gives `red` the red border and every other field none; null clears them all.
    void setFieldBorder(QLineEdit* red);
    void saveProfiles();

    Defaults& defaults_;
    QList<SSHProfile> profiles_;
    QPushButton* moveUpBtn_ = nullptr;
    QPushButton* moveDownBtn_ = nullptr;
    QPushButton* addBtn_ = nullptr;
    QWidget* listStack_ = nullptr;
    QVBoxLayout* listLayout_ = nullptr;
    FlippedClipView* scrollView_ = nullptr;
    QWidget* formWrap_ = nullptr;
    QWidget* formInner_ = nullptr;
    QLineEdit* nameField_ = nullptr;
    QLineEdit* connField_ = nullptr;
    QLineEdit* keyField_ = nullptr;
    QLabel* formTitleLbl_ = nullptr;
    QPointer<QVariantAnimation> formAnimation_;
    bool formVisible_ = false;
    // A list position, and the id of the profile it held when the form opened: a delete meanwhile
    // moves positions, and a save must never write over another profile.
    std::optional<int> editingIndex_;
    QString editingId_;
    QLineEdit* flashingField_ = nullptr;
    int flashGeneration_ = 0;
};
