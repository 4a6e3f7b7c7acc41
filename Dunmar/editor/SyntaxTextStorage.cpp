#include "editor/SyntaxTextStorage.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QThreadPool>
#include <climits>
#include <vector>

namespace {

// The colours of one block, in block-relative units.
struct ColourRun {
    int start = 0;
    int length = 0;
    QRgb color = 0;
    bool operator==(const ColourRun&) const = default;
};

class BlockColours : public QTextBlockUserData {
public:
    std::vector<ColourRun> runs;
};

// Laying out one slice of blocks should stay well inside a frame.
constexpr qint64 kSliceBudgetMs = 6;

// Colours are formats of the block's layout: they never enter the document, its undo history or
// its modified flag, and they stay with the layout when it is laid out again.
void applyToLayout(const QTextBlock& block, const std::vector<ColourRun>& runs) {
    QTextLayout* layout = block.layout();
    if (!layout) return;
    QList<QTextLayout::FormatRange> ranges;
    ranges.reserve(static_cast<qsizetype>(runs.size()));
    for (const ColourRun& run : runs) {
        QTextLayout::FormatRange range;
        range.start = run.start;
        range.length = run.length;
        range.format.setForeground(QColor::fromRgb(run.color));
        ranges.append(range);
    }
    layout->setFormats(ranges);
}

// The colour runs of [start, start + length) of a colour map, relative to `start`.
std::vector<ColourRun> runsOf(const syntaxrules::ColourIndexMap& map, int start, int length,
                              const SyntaxRuleList& rules) {
    std::vector<ColourRun> runs;
    const int end = static_cast<int>(std::min<size_t>(map.size(), static_cast<size_t>(start + length)));
    for (int i = start; i < end;) {
        const std::uint8_t index = map[static_cast<size_t>(i)];
        int j = i + 1;
        while (j < end && map[static_cast<size_t>(j)] == index) ++j;
        if (index != 0) runs.push_back({i - start, j - i, rules[index - 1u].color.rgb()});
        i = j;
    }
    return runs;
}

// A paste of many lines is left to the pass beyond this many.
constexpr int kLinesColouredAtOnce = 64;

} // namespace

struct SyntaxTextStorage::Job {
    QString text;
    quint64 revision = 0;
    std::shared_ptr<const SyntaxRuleList> rules;
    syntaxrules::ColourIndexMap map;
    std::atomic<bool> cancel{false};
    // A text small enough to colour on the GUI thread is shown whole, before the setter returns;
    // a large one is laid out in slices between other events.
    bool inSlices = false;
};

SyntaxTextStorage::SyntaxTextStorage(QTextDocument* document, QObject* parent)
    : QObject(parent), document_(document) {
    timer_.setSingleShot(true);
    timer_.setInterval(kHighlightDelayMs);
    connect(&timer_, &QTimer::timeout, this, &SyntaxTextStorage::highlight);
    sliceTimer_.setSingleShot(true);
    sliceTimer_.setInterval(0);
    connect(&sliceTimer_, &QTimer::timeout, this, [this] {
        if (auto step = std::exchange(nextSlice_, nullptr)) step();
    });
    // The layout takes the change in after this has run, so the edited block is laid out once,
    // with its colours moved along.
    connect(document, &QTextDocument::contentsChange, this, &SyntaxTextStorage::onContentsChange);
}

// The next slice waits for a timer, not a posted event: timers come after the input and the
// repaints already waiting, so each slice and each repaint holds the window on its own.
void SyntaxTextStorage::continueLater(std::function<void()> step) {
    nextSlice_ = std::move(step);
    sliceTimer_.start();
}

SyntaxTextStorage::~SyntaxTextStorage() {
    cancelRunning();
}

QString SyntaxTextStorage::textOf(const QTextDocument* document) {
    QString raw = document->toRawText();
    raw.replace(QChar::ParagraphSeparator, u'\n');
    return raw;
}

QString SyntaxTextStorage::text() const {
    return document_ ? textOf(document_) : QString();
}

void SyntaxTextStorage::setLanguage(SyntaxLanguage language) {
    if (language == language_) return;
    language_ = language;
    if (language_ == SyntaxLanguage::none) {
        // Colours stay as the last pass left them; no pass follows.
        timer_.stop();
        cancelRunning();
        return;
    }
    highlight();
}

void SyntaxTextStorage::setDark(bool dark) {
    if (dark == isDark_) return;
    isDark_ = dark;
    highlight();
}

void SyntaxTextStorage::onContentsChange(int position, int, int added) {
    // Colour changes of a pass never arrive here (they are layout formats, not edits); this is a
    // change of characters.
    if (applying_ || !document_) return;
    ++revision_;
    if (language_ != SyntaxLanguage::none) {
        // The edited lines are coloured on their own at once, so typed text does not wait for the
        // pass in the base colour or in colours shifted off their words; the pass then corrects
        // what spans lines. (The reported range is no guide to where the edit lies within a
        // block: an insertion is often reported as the whole block replaced.)
        const std::shared_ptr<const SyntaxRuleList> rules = syntaxrules::cachedRules(language_, isDark_);
        QTextBlock block = document_->findBlock(position);
        const QTextBlock last = document_->findBlock(position + added);
        for (int n = 0; block.isValid() && n < kLinesColouredAtOnce; block = block.next(), ++n) {
            const QString line = block.text();
            const syntaxrules::ColourIndexMap map = syntaxrules::colourIndices(line, *rules);
            auto* data = static_cast<BlockColours*>(block.userData());
            if (!data) {
                data = new BlockColours;
                block.setUserData(data);
            }
            data->runs = runsOf(map, 0, static_cast<int>(line.size()), *rules);
            applyToLayout(block, data->runs);
            if (block == last) break;
        }
    }
    if (onTextEdited) onTextEdited();
    if (language_ != SyntaxLanguage::none) timer_.start();
}

void SyntaxTextStorage::highlight() {
    timer_.stop();
    if (language_ == SyntaxLanguage::none || !document_) return;
    if (document_->isEmpty()) return;
    startPass();
}

void SyntaxTextStorage::cancelRunning() {
    if (running_) running_->cancel = true;
    running_.reset();
}

void SyntaxTextStorage::startPass() {
    cancelRunning();
    auto job = std::make_shared<Job>();
    job->revision = revision_;
    job->rules = syntaxrules::cachedRules(language_, isDark_);
    // The whole text is copied only when it is small; a large one is gathered in slices.
    if (document_->characterCount() < backgroundThreshold_) {
        job->text = text();
        job->map = syntaxrules::colourIndices(job->text, *job->rules);
        applyResult(job);
        return;
    }
    job->inSlices = true;
    running_ = job;
    job->text.reserve(document_->characterCount());
    copySlice(std::move(job), 0);
}

// Copies blocks into the pass's text until the slice's time is spent, then lets other events run.
// One copy of a text of many megabytes would hold the window for as long as its memory takes to
// come in.
void SyntaxTextStorage::copySlice(std::shared_ptr<Job> job, int firstBlock) {
    if (!document_ || running_ != job) return;
    if (job->revision != revision_) {
        running_.reset();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    int number = firstBlock;
    for (QTextBlock block = document_->findBlockByNumber(firstBlock); block.isValid(); ++number) {
        job->text += block.text();
        block = block.next();
        if (!block.isValid()) break;
        job->text += u'\n';
        if (clock.elapsed() >= kSliceBudgetMs) {
            const int next = number + 1;
            continueLater([this, job, next] { copySlice(job, next); });
            return;
        }
    }
    runRules(std::move(job));
}

void SyntaxTextStorage::runRules(std::shared_ptr<Job> job) {
    const QPointer<SyntaxTextStorage> self(this);
    QThreadPool::globalInstance()->start([self, job] {
        job->map = syntaxrules::colourIndices(job->text, *job->rules, &job->cancel);
        if (job->cancel) return;
        // Posted to the application object, which outlives every worker; the storage may be gone
        // by the time it runs.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, job] {
                if (self && self->running_ == job) {
                    self->running_.reset();
                    self->applyResult(job);
                }
            },
            Qt::QueuedConnection);
    });
}

void SyntaxTextStorage::applyResult(std::shared_ptr<Job> job) {
    if (!document_ || job->revision != revision_) return;
    applySlice(std::move(job), 0);
}

void SyntaxTextStorage::applySlice(std::shared_ptr<Job> job, int firstBlock) {
    if (!document_ || job->revision != revision_) {
        applying_ = false;
        return;
    }
    const auto& map = job->map;
    const auto& rules = *job->rules;
    QElapsedTimer clock;
    clock.start();
    applying_ = true;
    bool changedOnScreen = false;
    const std::pair<int, int> onScreen = visibleBlocks ? visibleBlocks() : std::pair<int, int>{0, INT_MAX};
    // New colours need no new line breaks: the view only repaints, and only when it shows a block
    // that changed. A block whose formats were replaced is drawn with them when it comes on screen.
    const auto flush = [&] {
        if (changedOnScreen) emit document_->documentLayout()->update(QRectF());
    };
    int number = firstBlock;
    for (QTextBlock block = document_->findBlockByNumber(firstBlock); block.isValid(); block = block.next(), ++number) {
        const int start = block.position();
        const int length = block.length() - 1; // without its separator
        std::vector<ColourRun> runs = runsOf(map, start, length, rules);
        auto* data = static_cast<BlockColours*>(block.userData());
        const bool same = data ? data->runs == runs : runs.empty();
        if (!same) {
            if (!data) {
                data = new BlockColours;
                block.setUserData(data);
            }
            data->runs = std::move(runs);
            applyToLayout(block, data->runs);
            changedOnScreen = changedOnScreen || (number >= onScreen.first && number <= onScreen.second);
        }
        if (job->inSlices && clock.elapsed() >= kSliceBudgetMs) {
            flush();
            const int next = number + 1;
            continueLater([this, job, next] { applySlice(job, next); });
            applying_ = false;
            return;
        }
    }
    flush();
    applying_ = false;
    ++passCount_;
    emit highlighted();
}

QColor SyntaxTextStorage::colourAt(int position) const {
    if (!document_) return {};
    const QTextBlock block = document_->findBlock(position);
    const auto* data = static_cast<const BlockColours*>(block.userData());
    if (!data) return {};
    const int at = position - block.position();
    for (const ColourRun& run : data->runs)
        if (at >= run.start && at < run.start + run.length) return QColor::fromRgb(run.color);
    return {};
}
