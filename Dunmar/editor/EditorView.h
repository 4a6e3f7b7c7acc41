#pragma once

#include "chrome/AlertSheetView.h"
#include "editor/DiskStamp.h"
#include "editor/EditorAlertOverlay.h"
#include "editor/EditorModes.h"
#include "editor/EditorTextView.h"
#include "editor/FileLoadTask.h"
#include "editor/NanoMode.h"
#include "editor/SyntaxLanguage.h"
#include "editor/TextSearch.h"
#include "editor/VimMode.h"

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
// It owns the tab's text with its colours, the find state and the state of its input modes.
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
    // Opens a file: false, with `error` saying why, when it is refused (too large, binary, not a
    // regular file) or cannot be read; the text is then left as it was. A small file is read at
    // once; a larger one in the background under a progress panel, the text read-only meanwhile,
    // and `done` runs when that load ends: true once the whole text is shown; false when the read
    // failed (`error` says why) or the user cancelled (no error), and the previous text is back. A
    // load replaced by a newer one ends silently.
    using LoadDone = std::function<void(bool loaded, const QString& error)>;
    bool loadFile(const QString& path, QString* error = nullptr, LoadDone done = {});
    bool isLoading() const { return loadTask_ != nullptr; }
    // How the last file read spelled its text; a save writes it the same way.
    textfile::FileFormat fileFormat() const { return fileFormat_; }
    void setFileFormat(textfile::FileFormat format) { fileFormat_ = format; }
    bool loadedAsLatin1() const { return fileFormat_.encoding == textfile::Encoding::latin1; }
    EditorAlertOverlay* loadingOverlay() const { return loadingOverlay_; }
    // Writes the text in the file's format, replacing the file as a whole, and marks it
    // unmodified. False, with the file and the modified mark untouched, when the write failed or
    // the file's encoding cannot spell the text. Asks nothing: see save.
    bool saveFile(const QString& path, QString* error = nullptr);
    // Saves as saveFile does, after asking where a plain write would lose something: when another
    // program changed the file since this view read or wrote it (cancel, reload or overwrite), and
    // when the file's encoding cannot spell the text (save as UTF-8 or cancel). `done` runs once,
    // at once or after the answer; `reloaded` means the file's text replaced the tab's.
    enum class SaveResult { saved, failed, cancelled, reloaded };
    using SaveDone = std::function<void(SaveResult result, const QString& error)>;
    void save(const QString& path, SaveDone done);
    // Asks whether to reload the file when another program changed it since this view read or
    // wrote it (once per version of the file). Runs when the view is shown again.
    void checkDiskOnShow();
    // What the view has to tell about a file it opened (read as ISO Latin-1), for the owner to
    // show; runs just after the load.
    std::function<void(const QString& notice)> onNotice;
    // The question on show, if any.
    AlertSheetView* question() const { return question_; }

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
    // A page in place of the text. `textColor`, when given, is the page's own text colour, which
    // Qt also needs for what the page's style cannot reach (list bullets).
    void showPreview(const QString& html, const QUrl& baseUrl = {}, const QColor& textColor = {});
    // An SVG drawing in place of the text, centred and as large as fits, on a dark or light page.
    void showSvgPreview(const QByteArray& svg, bool dark);
    void hidePreview();
    bool isPreviewActive() const;

    // ---- Input modes ---------------------------------------------------------------------------
    void setInputMode(EditorInputMode mode);
    EditorInputMode inputMode() const { return inputMode_; }
    void setVimMode(VimSubMode mode);
    VimSubMode vimMode() const { return vim_.subMode(); }
    bool isVimInsertMode() const { return vim_.subMode() == VimSubMode::insert; }
    bool vimPendingColon() const { return vim_.pendingColon(); }
    const VimMode& vim() const { return vim_; }
    const NanoMode& nano() const { return nano_; }
    void updateVimModeBar();
    // nano's ^K: the line (with its line break) out of the text into the cut buffer, which then
    // goes onto the clipboard.
    void cutCurrentLine();
    // A key the window hands to the input mode (vim's normal sub-mode, Escape in its insert
    // sub-mode, nano's ^K and ^U); true when the mode took it.
    bool handleModeKey(const QKeyEvent* event);
    // What the colon commands ask of the tab's owner; without them the commands do nothing. The
    // save runs `done` with whether the file was written, at once or after a question.
    std::function<void(std::function<void(bool saved)> done)> onSaveRequested;
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
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class ModeView;
    ModeLine lineAt(int position) const;
    int caret() const;
    void moveCaret(int position);
    // Replaces [from, from + length) as typed text would (undoable, an edit of the text).
    void replaceRange(int from, int length, const QString& text);
    void layoutChildren();
    // Applies what an input mode made of a key; true when the key was consumed.
    bool applyModeResult(const ModeResult& result);
    void startBackgroundLoad(const QString& path, qint64 size, LoadDone done);
    // Stops the slices of a load under way and makes the text editable.
    void stopLoading();
    // Ends the load under way: with `loaded` false the text from before it comes back.
    void endLoad(bool loaded, const QString& error);
    // Shows a large loaded text a slice per turn of the event loop, so that building its lines
    // never holds the window for long; `done` runs once all of it is in.
    void insertInSlices(std::shared_ptr<const QString> text, qsizetype from, quint64 generation,
                        std::function<void()> done);

    // Saving with its questions (EditorViewSave.cpp).
    bool isAsking() const;
    QWidget* questionHost();
    void tell(const QString& notice);
    // Remembers the file a text was read from: its look before the read and the read bytes.
    void noteRead(const QString& path, std::optional<diskstamp::Stamp> before, const textfile::Decoded& decoded);
    void askBeforeOverwriting(const QString& path, SaveDone done);
    void saveInItsEncoding(const QString& path, SaveDone done);
    void write(const QString& path, const SaveDone& done);
    void reloadFromDisk(const QString& path, const SaveDone& done);
    // The text as UTF-8 reads the bytes it was read from (see textfile::reinterpretAsUtf8).
    void convertToUtf8();

    EditorTextView* textView_ = nullptr;
    std::unique_ptr<SyntaxTextStorage> storage_;
    LineGutterView* gutter_ = nullptr;
    QWidget* modeBar_ = nullptr;
    QLabel* modeBarLabel_ = nullptr;
    FindReplaceBar* findBar_ = nullptr;
    QTextBrowser* preview_ = nullptr;
    QWidget* svgPreview_ = nullptr;

    EditorInputMode inputMode_ = EditorInputMode::normal;
    VimMode vim_;
    NanoMode nano_;
    // The last save a colon command asked for, for the q of :wq that follows it.
    enum class ColonWrite { none, running, written };
    ColonWrite colonWrite_ = ColonWrite::none;
    bool closeWhenWritten_ = false;

    std::vector<textsearch::Range> findMatches_;
    int findMatchIndex_ = 0;
    QString findQuery_; // what `findMatches_` were found for

    std::shared_ptr<FileLoadTask> loadTask_;
    QPointer<EditorAlertOverlay> loadingOverlay_;
    textfile::FileFormat fileFormat_;
    LoadDone loadDone_;
    QString textBeforeLoad_;
    bool dirtyBeforeLoad_ = false;
    quint64 loadGeneration_ = 0; // a newer load or a cancel stops the slices of an older one

    // The file the text was last read from or written to, as it looked then.
    QString diskPath_;
    std::optional<diskstamp::Stamp> diskStamp_;
    std::optional<diskstamp::Stamp> acknowledged_; // a version of the file the user chose to keep the text over
    QPointer<AlertSheetView> question_;
};
