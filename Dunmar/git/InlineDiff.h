#pragma once

#include "git/CappedScrollArea.h"

#include <QColor>
#include <QString>
#include <vector>

class QLabel;

// A diff as the git panel shows it below a file's row: at most 200 lines, each coloured by how it
// begins.
struct DiffLine {
    QString text;
    QColor color;
    bool operator==(const DiffLine&) const = default;
};

inline constexpr int kMaxDiffLines = 200;
inline constexpr int kMaxDiffHeight = 180;

QColor diffLineColor(const QString& line);
// The first 200 lines of `output` (empty lines kept), coloured.
std::vector<DiffLine> diffLines(const QString& output);

// The diff view: a selectable, wrapping text in a dark rounded box, as tall as the text up to
// 180 px; a longer diff scrolls inside it.
class InlineDiffView : public CappedScrollArea {
    Q_OBJECT
public:
    explicit InlineDiffView(const QString& output, QWidget* parent = nullptr);

    const std::vector<DiffLine>& lines() const { return lines_; }
    QLabel* label() const { return label_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<DiffLine> lines_;
    QLabel* label_;
};
