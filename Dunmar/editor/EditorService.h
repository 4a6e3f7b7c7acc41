#pragma once

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
};

// Until previews, printing and formatters exist: no tab offers a preview and the commands do
// nothing.
class NullEditorService final : public EditorService {
public:
    bool isTabPreviewable(int) const override { return false; }
    void togglePreview() override {}
    void printCurrentTab() override {}
    void formatCurrentDocument() override {}
};
