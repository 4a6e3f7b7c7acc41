#pragma once

#include <functional>
#include <utility>

class EditorCommands;

// What the controller asks of the code editor beyond making, opening and saving editor tabs: the
// commands behind the header's preview button and the footer's print and format buttons. Each acts
// on the tab on show and does nothing where it does not apply.
class EditorService {
public:
    virtual ~EditorService() = default;

    // Whether editor tab `index` offers a preview of its file (the header shows the button then).
    virtual bool isTabPreviewable(int index) const = 0;
    virtual void togglePreview() = 0;
    virtual void printCurrentTab() = 0;
    virtual void formatCurrentDocument() = 0;
    // The commands behind these, where they exist (tests reach their settings through it).
    virtual EditorCommands* commands() { return nullptr; }
};

// Until previews, printing and formatters exist: no tab offers a preview, and the commands say
// that they are not available yet (`notAvailable`) rather than doing nothing.
class NullEditorService final : public EditorService {
public:
    explicit NullEditorService(std::function<void()> notAvailable = {}) : notAvailable_(std::move(notAvailable)) {}
    bool isTabPreviewable(int) const override { return false; }
    void togglePreview() override { tell(); }
    void printCurrentTab() override { tell(); }
    void formatCurrentDocument() override { tell(); }

private:
    void tell() const {
        if (notAvailable_) notAvailable_();
    }
    std::function<void()> notAvailable_;
};
