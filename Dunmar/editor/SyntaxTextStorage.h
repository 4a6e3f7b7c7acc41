#pragma once

#include "editor/SyntaxLanguage.h"
#include "editor/SyntaxRule.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <utility>

class QTextDocument;

// The text of an editor tab with its colours. The characters live in the document (and only there);
// the colours are formats of the blocks' layouts, so a colouring pass never adds an undo step nor
// marks the document modified. It colours the whole text with its language's rule list at once
// when the language or palette changes, and 0.15 s after the latest character edit otherwise.
//
// A pass over a large text copies the text block by block in short slices, runs the rules on a
// worker thread on that copy, and applies the result block by block in short slices, so neither
// the copy, the rules nor the re-layout freeze the window; an edit made meanwhile drops the stale
// pass (the edit schedules the next pass anyway). While slices are applied, the view repaints only
// when a block on screen changed colour.
class SyntaxTextStorage : public QObject {
    Q_OBJECT
public:
    static constexpr int kHighlightDelayMs = 150;
    // Texts at least this long (UTF-16 units) are coloured off the GUI thread.
    static constexpr qsizetype kBackgroundThreshold = 256 * 1024;

    explicit SyntaxTextStorage(QTextDocument* document, QObject* parent = nullptr);
    ~SyntaxTextStorage() override;

    QTextDocument* document() const { return document_; }
    // The user's text: the document's raw characters with only its paragraph separators read as
    // "\n" (no-break spaces and line separators stay what they are).
    QString text() const;
    static QString textOf(const QTextDocument* document);

    SyntaxLanguage language() const { return language_; }
    // A different value colours the text at once; the same value does nothing.
    void setLanguage(SyntaxLanguage language);
    bool isDark() const { return isDark_; }
    void setDark(bool dark);
    // The colour of text no rule matches, used by the next pass.
    QColor baseFG() const { return baseFG_; }
    void setBaseFG(const QColor& color) { baseFG_ = color; }

    // The first and the last block number on screen; unset, every applied slice repaints.
    std::function<std::pair<int, int>()> visibleBlocks;

    // Runs after every edit that changed characters (not after colour changes).
    std::function<void()> onTextEdited;

    // One colouring pass over the whole text (nothing for `none` or an empty text).
    void highlight();

    // What the tests and the benchmark look at.
    int passCount() const { return passCount_; }
    bool isPassScheduled() const { return timer_.isActive(); }
    bool isPassRunning() const { return running_ != nullptr || applying_; }
    // The foreground the last pass gave the character at `position` (invalid where the text has
    // its base colour).
    QColor colourAt(int position) const;
    void setBackgroundThreshold(qsizetype units) { backgroundThreshold_ = units; }

signals:
    // A pass has been applied in full.
    void highlighted();

private:
    struct Job;
    void onContentsChange(int position, int removed, int added);
    void startPass();
    void copySlice(std::shared_ptr<Job> job, int firstBlock);
    void runRules(std::shared_ptr<Job> job);
    void applyResult(std::shared_ptr<Job> job);
    void applySlice(std::shared_ptr<Job> job, int firstBlock);
    void cancelRunning();
    // Runs `step` once other events have had their turn; a newer step replaces one still waiting
    // (it belongs to a pass that is over).
    void continueLater(std::function<void()> step);

    QPointer<QTextDocument> document_;
    SyntaxLanguage language_ = SyntaxLanguage::none;
    bool isDark_ = true;
    QColor baseFG_ = Qt::white;
    QTimer timer_;
    QTimer sliceTimer_;
    std::function<void()> nextSlice_;
    quint64 revision_ = 0; // counts character edits, so a stale pass is recognised
    std::shared_ptr<Job> running_;
    bool applying_ = false; // a result is being laid out: its format changes are no edits
    int passCount_ = 0;
    qsizetype backgroundThreshold_ = kBackgroundThreshold;
};
