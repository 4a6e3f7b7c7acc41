#include "editor/SyntaxTextStorage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextDocument>
#include <QThreadPool>
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

} // namespace

class SyntaxBlockHighlighter : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;
    using QSyntaxHighlighter::rehighlightBlock;

protected:
    void highlightBlock(const QString& text) override {
        const auto* data = static_cast<const BlockColours*>(currentBlockUserData());
        if (!data) return;
        const int length = static_cast<int>(text.size());
        for (const ColourRun& run : data->runs) {
            if (run.start >= length) break;
            QTextCharFormat format;
            format.setForeground(QColor::fromRgb(run.color));
            setFormat(run.start, std::min(run.length, length - run.start), format);
        }
    }
};

struct SyntaxTextStorage::Job {
    QString text;
    quint64 revision = 0;
    std::shared_ptr<const SyntaxRuleList> rules;
    syntaxrules::ColourIndexMap map;
    std::atomic<bool> cancel{false};
};

SyntaxTextStorage::SyntaxTextStorage(QTextDocument* document, QObject* parent)
    : QObject(parent), document_(document) {
    timer_.setSingleShot(true);
    timer_.setInterval(kHighlightDelayMs);
    connect(&timer_, &QTimer::timeout, this, &SyntaxTextStorage::highlight);
    // Connected before the highlighter connects its own, so runs are moved with an edit before the
    // highlighter redraws the edited block.
    connect(document, &QTextDocument::contentsChange, this, &SyntaxTextStorage::onContentsChange);
    highlighter_ = new SyntaxBlockHighlighter(document);
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

void SyntaxTextStorage::onContentsChange(int position, int removed, int added) {
    // The highlighter's own format changes arrive as equal removals and additions while a result
    // is laid out; they are not edits and must not schedule the next pass.
    if (applying_ || !document_) return;
    ++revision_;
    // Keep the colours of the edited block in place around the edit until the next pass.
    const QTextBlock block = document_->findBlock(position);
    if (auto* data = static_cast<BlockColours*>(block.userData());
        data && position + removed <= block.position() + block.length()) {
        const int at = position - block.position();
        const int delta = added - removed;
        std::vector<ColourRun> moved;
        for (ColourRun run : data->runs) {
            const int end = run.start + run.length;
            if (end <= at) {
                moved.push_back(run);
            } else if (run.start >= at + removed) {
                run.start += delta;
                moved.push_back(run);
            } else if (run.start < at) {
                run.length = at - run.start;
                moved.push_back(run);
            }
        }
        data->runs = std::move(moved);
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
    job->text = text();
    job->revision = revision_;
    job->rules = syntaxrules::cachedRules(language_, isDark_);
    if (job->text.size() < backgroundThreshold_) {
        job->map = syntaxrules::colourIndices(job->text, *job->rules);
        applyResult(job);
        return;
    }
    running_ = job;
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
    QTextBlock block = document_->findBlockByNumber(firstBlock);
    int checked = 0;
    for (; block.isValid(); block = block.next()) {
        const int start = block.position();
        const int length = block.length() - 1; // without its separator
        std::vector<ColourRun> runs;
        for (int i = 0; i < length && static_cast<size_t>(start + i) < map.size();) {
            const std::uint8_t index = map[static_cast<size_t>(start + i)];
            int j = i + 1;
            while (j < length && map[static_cast<size_t>(start + j)] == index) ++j;
            if (index != 0) runs.push_back({i, j - i, rules[index - 1u].color.rgb()});
            i = j;
        }
        auto* data = static_cast<BlockColours*>(block.userData());
        const bool same = data ? data->runs == runs : runs.empty();
        if (!same) {
            if (!data) {
                data = new BlockColours;
                block.setUserData(data);
            }
            data->runs = std::move(runs);
            highlighter_->rehighlightBlock(block);
        }
        if (++checked % 256 == 0 && clock.elapsed() >= kSliceBudgetMs) {
            const int next = block.blockNumber() + 1;
            const QPointer<SyntaxTextStorage> self(this);
            QTimer::singleShot(0, this, [self, job, next] {
                if (self) self->applySlice(job, next);
            });
            applying_ = false;
            return;
        }
    }
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
