#pragma once

#include "editor/EditorAlertOverlay.h"
#include "editor/EditorModes.h"
#include "editor/EditorTextView.h"
#include "editor/FileLoadTask.h"
#include "editor/SyntaxLanguage.h"
#include "editor/TextSearch.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class FindReplaceBar;
class LineGutterView;
class QKeyEvent;
class QLabel;
class QTextBrowser;
class SyntaxTextStorage;

// The page of an editor tab: from the top, the mode bar of the nano and vim input modes (when one
// is on), the find-and-replace bar (while it is open), then the line gutter beside the text view.
// It owns the tab's text with its colours, the find state and the vim state.
class EditorView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGutterWidth = 44;
    static constexpr int kModeBarHeight = 26;
    static constexpr int kFindBarHeight = 62;

    explicit EditorView(QWidget* parent = nullptr);
    ~EditorView() override;

    EditorTextView* textView() const { return textView_; }
    SyntaxTextStorage* syntaxStorage() const { return storage_.get(); }
    LineGutterView* lineGutter() const { return gutter_; }
    QWidget* modeBar() const { return modeBar_; }
    QLabel* modeBarLabel() const { return modeBarLabel_; }
    FindReplaceBar* findBar() const { return findBar_; }

    // ---- Text and file ------------------------------------------------------------------------
    // The user's text, exactly as typed (see SyntaxTextStorage::text).
    QString text() const;
    // Shows `text` as the unmodified content.
    void setContent(const QString& text);
    // Opens a file: refused (false, `error` says why) when too large or binary; read at once when
    // small, else in the background under a progress panel. `onLoadCancelled` runs when the user
    // cancels that panel; the text is then left empty.
    bool loadFile(const QString& path, QString* error = nullptr);
    bool isLoading() const { return loadTask_ != nullptr; }
    // Whether the last file read was not UTF-8 and was read as ISO Latin-1.
    bool loadedAsLatin1() const { return loadedAsLatin1_; }
    EditorAlertOverlay* loadingOverlay() const { return loadingOverlay_; }
    std::function<void()> onLoadCancelled;
    // Writes the text as UTF-8, replacing the file as a whole, and marks it unmodified.
    bool saveFile(const QString& path, QString* error = nullptr);

    bool isDirty() const;
    // Runs when the text becomes modified or unmodified.
    std::function<void(bool dirty)> onDirtyChanged;
    // Runs after every edit that changed characters.
    std::function<void()> onTextEdited() const;
    void setOnTextEdited(std::function<void()> callback);

    // ---- Colours, language, preview -----------------------------------------------------------
    void applyColors(const QColor& bg, const QColor& fg);
    SyntaxLanguage language() const;
    void setLanguage(SyntaxLanguage language);
    void setHighlightDark(bool dark);
    void showPreview(const QString& html, const QUrl& baseUrl = {});
    void hidePreview();
    bool isPreviewActive() const;

    // ---- Input modes ---------------------------------------------------------------------------
    void setInputMode(EditorInputMode mode);
    EditorInputMode inputMode() const { return inputMode_; }
    void setVimMode(VimSubMode mode);
    VimSubMode vimMode() const { return vimMode_; }
    bool isVimInsertMode() const { return vimMode_ == VimSubMode::insert; }
    bool vimPendingColon() const { return vimPendingColon_; }
    bool vimPendingD() const { return vimPendingD_; }
    bool vimPendingY() const { return vimPendingY_; }
    QString vimYankBuffer() const { return vimYankBuffer_; }
    void updateVimModeBar();
    // nano's ^K: the line (with its line break) to the clipboard, and out of the text.
    void cutCurrentLine();
    bool handleVimTwoKeyOp(const QKeyEvent* event);
    bool handleVimKey(const QKeyEvent* event);
    bool handleVimColonCommand(const QString& command);
    // What the colon commands ask of the tab's owner; without them the commands do nothing.
    std::function<void()> onSaveRequested;
    std::function<void()> onCloseRequested;
    // A file dropped on the text, to open in a tab of its own.
    std::function<void(const QString& path)> onOpenFile;

    // ---- Find and replace ----------------------------------------------------------------------
    void showFindBar();
    void hideFindBar();
    void performFind(const QString& query, bool forward);
    void clearFindHighlights();
    void replaceCurrentMatch(const QString& replacement);
    void replaceAllMatches(const QString& query, const QString& replacement);
    const std::vector<textsearch::Range>& findMatches() const { return findMatches_; }
    int findMatchIndex() const { return findMatchIndex_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct LineRange {
        int location = 0;
        int length = 0; // with the line break when the line has one
        bool hasBreak = false;
    };
    LineRange lineAt(int position) const;
    int caret() const;
    void moveCaret(int position);
    // Replaces [from, from + length) as typed text would (undoable, an edit of the text).
    void replaceRange(int from, int length, const QString& text);
    void layoutChildren();
    void startBackgroundLoad(const QString& path, qint64 size);
    // Stops the slices of a load under way (the text is left empty) and makes the text editable.
    void stopLoading();
    // Shows a large loaded text a slice per turn of the event loop, so that building its lines
    // never holds the window for long; `done` runs once all of it is in.
    void insertInSlices(std::shared_ptr<const QString> text, qsizetype from, quint64 generation,
                        std::function<void()> done);

    EditorTextView* textView_ = nullptr;
    std::unique_ptr<SyntaxTextStorage> storage_;
    LineGutterView* gutter_ = nullptr;
    QWidget* modeBar_ = nullptr;
    QLabel* modeBarLabel_ = nullptr;
    FindReplaceBar* findBar_ = nullptr;
    QTextBrowser* preview_ = nullptr;

    EditorInputMode inputMode_ = EditorInputMode::normal;
    VimSubMode vimMode_ = VimSubMode::normal;
    QString vimYankBuffer_;
    bool vimPendingColon_ = false;
    bool vimPendingD_ = false;
    bool vimPendingY_ = false;

    std::vector<textsearch::Range> findMatches_;
    int findMatchIndex_ = 0;
    QString findQuery_; // what `findMatches_` were found for

    std::shared_ptr<FileLoadTask> loadTask_;
    QPointer<EditorAlertOverlay> loadingOverlay_;
    bool loadedAsLatin1_ = false;
    quint64 loadGeneration_ = 0; // a newer load or a cancel stops the slices of an older one
};
