// Drawing one pane: background, rows of cells (backgrounds, glyph runs, decorations), search
// highlights, cursor, and either the scroll badge or the images placed on the grid.
#include "engine/PerfMetrics.h"
#include "terminalview/BoxDrawing.h"
#include "terminalview/EngineBridge.h"
#include "theme/ThemeColors.h"
#include "terminalview/ScrollMath.h"
#include "terminalview/TerminalView.h"
#include "terminalview/TerminalViewHost.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <span>

namespace {

// Cells of one colour next to each other get one fill.
class FillBatch {
public:
    void add(QPainter& painter, const QRectF& rect, const QColor& color) {
        if (open_ && color == color_ && std::abs(rect_.right() - rect.left()) < 0.01) {
            rect_.setRight(rect.right());
            return;
        }
        flush(painter);
        rect_ = rect;
        color_ = color;
        open_ = true;
    }
    void flush(QPainter& painter) {
        if (open_) painter.fillRect(rect_, color_);
        open_ = false;
    }

private:
    QRectF rect_;
    QColor color_;
    bool open_ = false;
};

// A horizontal line of dashes, `on` pixels drawn and `off` skipped, starting at x.
void dashedLine(QPainter& painter, qreal x, qreal width, qreal y, qreal on, qreal off, const QColor& color) {
    for (qreal at = x; at < x + width; at += on + off)
        painter.fillRect(QRectF(at, y, std::min(on, x + width - at), 1), color);
}

QFont badgeFont() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(9);
    font.setWeight(QFont::Medium);
    return font;
}

} // namespace

TerminalView::FrameGeometry TerminalView::frameGeometry() const {
    FrameGeometry frame;
    frame.cellH = cellH();
    frame.scrolledBack = isScrolledBack();
    // Half a row or less counts as the live screen, drawn without any offset.
    const double s = frame.scrolledBack ? smoothScrollY_ : 0.0;
    frame.frac = std::fmod(s, std::max(cellH(), 1.0));
    frame.extra = frame.frac > 0.001 ? 1 : 0;
    frame.scrollbackCount = std::int64_t(terminal_->scrollback().size());
    frame.first = frame.scrollbackCount - (frame.scrolledBack ? scrollbackOffset() : 0) - frame.extra;
    return frame;
}

const TerminalView::ResolvedAttrs& TerminalView::resolve(const Cell& cell, const ColorContext& colors) {
    const CellRenditionKey key = renditionKey(cell);
    const auto found = attrCache_.find(key);
    if (found != attrCache_.end()) return found->second;
    const TextAttrs a = terminal_->attrsOf(cell);
    ColorRGBA fg = fgColor(a, &colors);
    ColorRGBA bg = bgColor(a, &colors);
    if (a.inverse != terminal_->mode(Mode::reverseVideo)) std::swap(fg, bg);
    if (a.hidden) fg = bg;

    ResolvedAttrs r;
    r.bg = toQColor(bg);
    r.defaultBg = bg == kDefaultBG;
    r.decoration = toQColor(fg);
    r.fg = r.decoration;
    if (a.dim) r.fg.setAlphaF(r.fg.alphaF() * 0.5f);
    if (a.ulRGB)
        r.underline = toQColor(*a.ulRGB);
    else if (a.ulColor >= 0 && std::size_t(a.ulColor) < kAnsiColorCache.size())
        r.underline = toQColor(kAnsiColorCache[std::size_t(a.ulColor)]);
    else
        r.underline = r.decoration;
    // Painting a hidden glyph in its background colour would still show it wherever that colour is
    // not what lies behind the cell (the default background is left to the translucent pane).
    r.hidden = a.hidden;
    r.face = (a.bold ? 1 : 0) + (a.italic ? 2 : 0);
    r.blink = a.blink != 0;
    r.underlineStyle = a.underline;
    r.overline = a.overline;
    r.strikethrough = a.strikethrough;
    r.hyperlink = !terminal_->hyperlinkOf(cell).empty();
    return attrCache_.emplace(key, r).first->second;
}

void TerminalView::paintEvent(QPaintEvent* event) {
    const double start = perfNow();
    attrCache_.clear();
    {
        QPainter painter(this);
        // Only the part being repainted (see cursorBlinkTick).
        painter.fillRect(event->rect(), toQColor(kTerminalBackground));
        const FrameGeometry frame = frameGeometry();
        const ColorContext colors = terminal_->colorContext();
        const auto selection = selectionRange();
        const std::optional<std::pair<QString, QString>> ghost = ghostText();
        ghostSpan_.reset();
        if (ghost)
            ghostSpan_ = GhostSpan{terminal_->cursorY(), terminal_->cursorX(),
                                   terminal_->cursorX() + std::int64_t(ghost->first.toUcs4().size())};

        frameShowsBlinkingText_ = false;
        painter.save();
        painter.setClipRect(QRectF(0, paddingY, width(), qreal(terminal_->rows()) * cellH()));
        for (std::int64_t r = 0; r < terminal_->rows() + frame.extra; ++r)
            paintRow(painter, frame, colors, r, selection);
        painter.restore();

        paintSearchHighlights(painter, frame);
        const bool cursorBlinks = !frame.scrolledBack && paintCursor(painter);
        if (ghost) paintGhostText(painter, ghost->first);
        currentSuggestion_ = ghost ? std::optional<QString>(ghost->second) : std::nullopt;
        if (frame.scrolledBack)
            paintScrollBadge(painter);
        else
            paintImages(painter);
        updateBlinkTimers(cursorBlinks, frameShowsBlinkingText_ && !frame.scrolledBack);
    }
    const double elapsed = perfNow() - start;
    perf.drawCount += 1;
    perf.drawTimeSum += elapsed;
    perf.lastDrawTime = elapsed;
}

void TerminalView::paintRow(QPainter& painter, const FrameGeometry& frame, const ColorContext& colors,
                            std::int64_t r,
                            const std::optional<std::pair<std::int64_t, std::int64_t>>& selection) {
    const std::int64_t rows = terminal_->rows();
    const std::int64_t cols = terminal_->cols();
    const bool liveRow = !frame.scrolledBack && r < rows;
    const std::uint8_t lineSize = liveRow ? (terminal_->lineAttr(r) & LineAttr::sizeMask) : 0;
    const std::int64_t shownCols = lineSize != 0 ? std::max<std::int64_t>(1, cols / 2) : cols;
    const qreal rowTop = frame.rowTop(r);
    const std::int64_t bufferIndex = frame.first + r;

    // The cells of this row: a grid row while live, else whatever buffer line lies here.
    const std::span<const Cell> cells = liveRow ? terminal_->gridRow(r) : terminal_->bufferLine(bufferIndex);
    static const std::optional<std::vector<std::int64_t>> noOrder;
    const std::optional<std::vector<std::int64_t>>& order = liveRow ? bidiOrder(r) : noOrder;
    const std::int64_t lastText = selection ? lastTextColBuf(bufferIndex, frame.scrollbackCount) : -1;

    rowCells_.clear();
    std::int64_t previousLogical = -1;
    for (std::int64_t c = 0; c < shownCols; ++c) {
        const std::int64_t logical = order && c < std::int64_t(order->size()) ? (*order)[std::size_t(c)] : c;
        // A wide character stands twice in a visual order, once per column it covers.
        if (order && logical == previousLogical) continue;
        previousLogical = logical;
        const Cell cell =
            logical >= 0 && logical < std::int64_t(cells.size()) ? cells[std::size_t(logical)] : Cell{};
        if (cell.width == 0) continue;
        DrawCell d;
        d.x = paddingX + qreal(c) * cellW();
        d.width = cell.width == 2 ? 2 * cellW() : cellW();
        d.attrs = &resolve(cell, colors);
        d.ch = cell.ch;
        if (isClusterCode(cell.ch)) {
            char32_t one = 0;
            d.cluster = terminal_->textOf(cell, one);
        }
        d.hyperlink = d.attrs->hyperlink;
        d.underGhost = liveRow && ghostSpan_ && r == ghostSpan_->row && logical >= ghostSpan_->start &&
                       logical < ghostSpan_->end;
        if (selection && logical <= lastText) {
            const std::int64_t linear = bufferIndex * cols + logical;
            d.selected = linear >= selection->first && linear <= selection->second;
        }
        if (d.attrs->blink) frameShowsBlinkingText_ = true;
        rowCells_.push_back(d);
    }

    painter.save();
    if (lineSize == 1) {
        painter.translate(paddingX, 0);
        painter.scale(2, 1);
        painter.translate(-paddingX, 0);
    } else if (lineSize == 2 || lineSize == 3) {
        painter.setClipRect(QRectF(0, rowTop, width(), cellH()), Qt::IntersectClip);
        const qreal ty = lineSize == 2 ? rowTop : rowTop + cellH();
        painter.translate(paddingX, ty);
        painter.scale(2, 2);
        painter.translate(-paddingX, -ty);
    }

    FillBatch fills;
    const QColor selectionColor = toQColor(kSelectionColor);
    for (const DrawCell& d : rowCells_) {
        const QRectF box(d.x, rowTop, d.width, cellH());
        if (d.selected)
            fills.add(painter, box, selectionColor);
        else if (!d.attrs->defaultBg)
            fills.add(painter, box, d.attrs->bg);
    }
    fills.flush(painter);

    GlyphRunBatch glyphs(glyphs_);
    const qreal baseline = rowTop + fonts_.ascent;
    for (const DrawCell& d : rowCells_) {
        if (d.ch == 0 || d.ch == U' ') continue;
        if (d.attrs->hidden || (d.attrs->blink && !textBlinkVisible_) || d.underGhost) continue;
        if (!d.cluster.empty()) {
            glyphs.addCluster(painter, d.attrs->face, d.attrs->fg, d.cluster, QRectF(d.x, rowTop, d.width, cellH()),
                              baseline);
        } else if (boxdrawing::covers(d.ch)) {
            boxdrawing::draw(painter, d.ch, QRectF(d.x, rowTop, d.width, cellH()), d.attrs->fg);
        } else {
            glyphs.add(painter, d.attrs->face, d.attrs->fg, d.ch, QPointF(d.x, baseline),
                       d.width > cellW() * 1.5);
        }
    }
    glyphs.flush(painter);

    for (const DrawCell& d : rowCells_) paintDecorations(painter, d, rowTop);
    painter.restore();
}

void TerminalView::paintDecorations(QPainter& painter, const DrawCell& cell, qreal rowTop) const {
    const ResolvedAttrs& a = *cell.attrs;
    const qreal x = cell.x;
    const qreal w = cell.width;
    if (a.underlineStyle != 0 || cell.hyperlink) {
        const qreal ulY = std::floor(rowTop + cellH() - 2);
        if (cell.hyperlink) {
            dashedLine(painter, x, w, ulY, 2, 2, toQColor(kHyperlinkColor));
        } else {
            const QColor& color = a.underline;
            switch (a.underlineStyle) {
            case 2: // double
                painter.fillRect(QRectF(x, ulY, w, 1), color);
                painter.fillRect(QRectF(x, ulY - 2, w, 1), color);
                break;
            case 3: { // curly: one wave per cell
                const qreal y = ulY + 0.5;
                QPainterPath wave(QPointF(x, y));
                wave.cubicTo(QPointF(x + w / 4, y - 2), QPointF(x + w / 4, y - 2), QPointF(x + w / 2, y));
                wave.cubicTo(QPointF(x + 3 * w / 4, y + 2), QPointF(x + 3 * w / 4, y + 2), QPointF(x + w, y));
                painter.save();
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setPen(QPen(color, 1));
                painter.setBrush(Qt::NoBrush);
                painter.drawPath(wave);
                painter.restore();
                break;
            }
            case 4: // dotted
                dashedLine(painter, x, w, ulY, 1, 2, color);
                break;
            case 5: // dashed
                dashedLine(painter, x, w, ulY, 4, 2, color);
                break;
            default: // single, and any style this terminal does not know
                painter.fillRect(QRectF(x, ulY, w, 1), color);
                break;
            }
        }
    }
    if (a.overline) painter.fillRect(QRectF(x, std::floor(rowTop + 1), w, 1), a.decoration);
    if (a.strikethrough) painter.fillRect(QRectF(x, std::floor(rowTop + cellH() * 0.5), w, 1), a.decoration);
}

void TerminalView::paintSearchHighlights(QPainter& painter, const FrameGeometry& frame) const {
    const TerminalViewHost* host = host_;
    if (!host) return;
    const std::vector<SearchHighlight>& matches = host->searchHighlights(this);
    if (matches.empty()) return;
    const int current = host->searchCurrentIndex(this);
    const std::int64_t offset = frame.scrolledBack ? scrollbackOffset() : 0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < matches.size(); ++i) {
        const SearchHighlight& m = matches[i];
        std::int64_t screenRow;
        if (m.row < 0) {
            screenRow = m.row + offset;
            if (screenRow < 0) continue;
        } else {
            if (frame.scrolledBack) continue; // a grid row is not on screen while history is
            screenRow = m.row;
        }
        if (screenRow >= terminal_->rows() + frame.extra) continue;
        const QRectF box(paddingX + qreal(m.col) * cellW(),
                         frame.frac + cellH() * qreal(screenRow) + paddingY + 1, qreal(m.len) * cellW(),
                         cellH() - 2);
        if (int(i) == current) {
            // A soft orange glow, then the match itself.
            for (int ring = 3; ring >= 1; --ring) {
                const qreal grow = ring * 2.5;
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor::fromRgbF(1.0f, 0.6f, 0.0f, 0.7f / float(ring * 3)));
                painter.drawRoundedRect(box.adjusted(-grow, -grow, grow, grow), 3 + grow, 3 + grow);
            }
            painter.setBrush(QColor::fromRgbF(1.0f, 0.65f, 0.0f, 0.55f));
            painter.setPen(QPen(QColor::fromRgbF(1.0f, 0.8f, 0.3f, 0.9f), 1.5));
            painter.drawRoundedRect(box, 3, 3);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor::fromRgbF(0.9f, 0.75f, 0.2f, 0.22f));
            painter.drawRoundedRect(box, 3, 3);
            painter.fillRect(QRectF(box.left() + 1, std::floor(box.top() + cellH() - 3), box.width() - 2, 1),
                             QColor::fromRgbF(1.0f, 0.8f, 0.0f, 0.4f));
        }
    }
    painter.restore();
}

bool TerminalView::paintCursor(QPainter& painter) {
    const int style = effectiveCursorStyle();
    const bool blinks = style == 1 || style == 3 || style == 5;
    if (!isFocusedForCursor() || !terminal_->mode(Mode::cursorVisible)) return false;
    if (!blinks || cursorBlinkOn_) {
        const qreal x = paddingX + qreal(terminal_->cursorX()) * cellW();
        const qreal y = paddingY + qreal(terminal_->cursorY()) * cellH();
        const QColor cursorColor = toQColor(kCursorColor);
        if (style == 5 || style == 6)
            painter.fillRect(QRectF(x, y, 2, cellH()), cursorColor);
        else if (style == 3 || style == 4)
            painter.fillRect(QRectF(x, y + cellH() - 2, cellW(), 2), cursorColor);
        else
            painter.fillRect(QRectF(x, y, cellW(), cellH()), QColor::fromRgbF(0.4f, 0.7f, 1.0f, 0.35f));
    }
    return blinks;
}

void TerminalView::paintGhostText(QPainter& painter, const QString& ghost) {
    QColor color = toQColor(kDefaultFG);
    color.setAlphaF(0.35f);
    GlyphRunBatch glyphs(glyphs_);
    const qreal baseline = paddingY + qreal(terminal_->cursorY()) * cellH() + fonts_.ascent;
    std::int64_t col = terminal_->cursorX();
    for (const char32_t ch : ghost.toUcs4()) {
        if (ch != U' ') glyphs.add(painter, 0, color, ch, QPointF(paddingX + qreal(col) * cellW(), baseline));
        ++col;
    }
    glyphs.flush(painter);
}

void TerminalView::paintScrollBadge(QPainter& painter) const {
    static const QFont font = badgeFont();
    const QString text = QStringLiteral("↑ %1 lines").arg(scrollbackOffset());
    const QFontMetricsF metrics(font);
    const qreal w = metrics.horizontalAdvance(text);
    const qreal h = metrics.height();
    const QRectF box(width() - (w + 12) - 8, 4, w + 12, h + 4);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgbF(0.1f, 0.1f, 0.1f, 0.85f));
    painter.drawRoundedRect(box, 4, 4);
    painter.setFont(font);
    painter.setPen(QColor::fromRgbF(1, 1, 1, 0.7f));
    painter.drawText(QPointF(box.left() + 6, 6 + metrics.ascent()), text);
    painter.restore();
}

void TerminalView::paintImages(QPainter& painter) {
    // Keep the wrapped images of what is still placed; the rest are released.
    decltype(imageCache_) kept;
    for (const SixelImage& placed : terminal_->sixelImages()) {
        if (!placed.image) continue;
        const RgbaImage& source = *placed.image;
        if (source.width <= 0 || source.height <= 0 ||
            source.pixels.size() < std::size_t(source.width) * std::size_t(source.height) * 4)
            continue;
        std::shared_ptr<QImage> image;
        for (auto& entry : imageCache_)
            if (entry.first.get() == placed.image.get()) image = entry.second;
        if (!image) {
            const QImage wrapped(source.pixels.data(), source.width, source.height, source.width * 4,
                                 QImage::Format_RGBA8888_Premultiplied);
            image = std::make_shared<QImage>(wrapped.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
        kept.emplace_back(placed.image, image);
        const qreal room = cellW() * qreal(terminal_->cols() - placed.col);
        const qreal k = std::min(room / qreal(source.width), 1.0);
        if (k <= 0) continue;
        const QRectF target(paddingX + qreal(placed.col) * cellW(), paddingY + qreal(placed.row) * cellH(),
                            k * source.width, k * source.height);
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, k < 1.0);
        painter.drawImage(target, *image);
        painter.restore();
    }
    imageCache_ = std::move(kept);
}
