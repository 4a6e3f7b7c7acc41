#include "terminalview/GlyphCache.h"

#include "terminalview/TerminalFonts.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QPainter>

namespace {

const QString kEmojiFamily = QStringLiteral("Noto Color Emoji");

// How far a synthesised oblique leans: the tangent of about 11 degrees, as drawn italics do.
constexpr qreal kObliqueSlant = 0.2;

// Slants what the painter draws next about a baseline: the higher, the further right.
void slantAbout(QPainter& painter, qreal baselineY) {
    painter.translate(0, baselineY);
    painter.shear(-kObliqueSlant, 0);
    painter.translate(0, -baselineY);
}

} // namespace

void GlyphCache::setFonts(const TerminalFonts& fonts) {
    cellWidth_ = fonts.cellW;
    const QFont* sources[kFaces] = {&fonts.font, &fonts.boldFont, &fonts.italicFont, &fonts.boldItalicFont};
    for (int i = 0; i < kFaces; ++i) {
        Face& face = faces_[std::size_t(i)];
        face.font = *sources[i];
        face.raw = QRawFont::fromFont(face.font);
        face.glyphs.clear();
        face.oblique = i >= 2 && !face.font.italic();
    }

    // Emoji are as tall as a cell and as wide as two, whichever is smaller, and sit in the middle.
    Face& emoji = faces_[kEmojiFace];
    emoji.glyphs.clear();
    emoji.raw = QRawFont();
    if (!QFontDatabase::families().contains(kEmojiFamily)) return;
    emoji.font = QFont(kEmojiFamily);
    emoji.raw = QRawFont::fromFont(emoji.font);
    if (!emoji.raw.isValid()) return;
    emoji.raw.setPixelSize(fonts.cellH);
    const QVector<quint32> sample = emoji.raw.glyphIndexesForString(QStringLiteral("\U0001F600"));
    qreal advance = fonts.cellH;
    if (!sample.isEmpty() && sample[0] != 0) {
        const QVector<QPointF> advances = emoji.raw.advancesForGlyphIndexes(sample);
        if (!advances.isEmpty() && advances[0].x() > 0) advance = advances[0].x();
    }
    const qreal scale = std::min<qreal>(1.0, 2 * fonts.cellW / advance);
    emoji.raw.setPixelSize(fonts.cellH * scale);
    advance *= scale;
    const qreal height = emoji.raw.ascent() + emoji.raw.descent();
    emojiOffset_ = QPointF((2 * fonts.cellW - advance) / 2,
                           (fonts.cellH - height) / 2 + emoji.raw.ascent() - fonts.ascent);
}

quint32 GlyphCache::glyph(int face, char32_t ch) {
    Face& f = faces_[std::size_t(face)];
    const auto found = f.glyphs.constFind(ch);
    if (found != f.glyphs.cend()) return found.value();
    quint32 index = 0;
    if (f.raw.isValid() && f.raw.supportsCharacter(uint(ch))) {
        const char32_t text[1] = {ch};
        const QString s = QString::fromUcs4(text, 1);
        quint32 indexes[2] = {0, 0};
        int count = 2;
        if (f.raw.glyphIndexesForChars(s.constData(), int(s.size()), indexes, &count) && count >= 1)
            index = indexes[0];
    }
    // A face grows at most by the characters a screen shows; start again if a program cycles
    // through the whole of Unicode.
    if (f.glyphs.size() > 65536) f.glyphs.clear();
    f.glyphs.insert(ch, index);
    return index;
}

void GlyphRunBatch::add(QPainter& painter, int face, const QColor& color, char32_t ch, QPointF baseline,
                        bool wide) {
    // Fonts fallen back to for emoji draw them in one colour; the colour font draws them as meant.
    if (wide) {
        if (cache_.glyph(GlyphCache::kEmojiFace, ch) != 0) {
            face = GlyphCache::kEmojiFace;
            baseline += cache_.emojiOffset();
        }
    }
    const quint32 index = cache_.glyph(face, ch);
    if (index == 0) {
        // Not in the terminal font: let Qt's font fallback find it (CJK, rare symbols).
        flush(painter);
        const char32_t text[1] = {ch};
        painter.save();
        if (cache_.isOblique(face)) slantAbout(painter, baseline.y());
        painter.setFont(cache_.font(face));
        painter.setPen(color);
        painter.drawText(baseline, QString::fromUcs4(text, 1));
        painter.restore();
        return;
    }
    if (face != face_ || color != color_ ||
        (!positions_.isEmpty() && positions_.back().y() != baseline.y())) {
        flush(painter);
        face_ = face;
        color_ = color;
    }
    glyphs_.append(index);
    positions_.append(baseline);
}

void GlyphRunBatch::addCluster(QPainter& painter, int face, const QColor& color, std::u32string_view scalars,
                               const QRectF& cell, qreal baseY) {
    const QPointF baseline(cell.left(), baseY);
    const bool emojiPresentation = scalars.size() >= 2 && scalars.find(U'\uFE0F') != std::u32string_view::npos;
    if (emojiPresentation && cache_.glyph(GlyphCache::kEmojiFace, scalars.front()) != 0) {
        const bool wide = cell.width() > cache_.cellWidth() * 1.5;
        if (wide) {
            add(painter, face, color, scalars.front(), baseline, true);
            return;
        }
        flush(painter);
        painter.save();
        const QPointF middle(cell.left(), cell.center().y());
        painter.translate(middle);
        painter.scale(0.5, 0.5);
        painter.translate(-middle);
        add(painter, face, color, scalars.front(), baseline, true);
        flush(painter);
        painter.restore();
        return;
    }
    // The glyph cache maps one character to one glyph; a cluster needs the shaper to place its
    // marks, so it is drawn as text of its own.
    flush(painter);
    painter.save();
    if (cache_.isOblique(face)) slantAbout(painter, baseline.y());
    painter.setFont(cache_.font(face));
    painter.setPen(color);
    painter.drawText(baseline, QString::fromUcs4(scalars.data(), qsizetype(scalars.size())));
    painter.restore();
}

void GlyphRunBatch::flush(QPainter& painter) {
    if (glyphs_.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(cache_.rawFont(face_));
    run.setGlyphIndexes(glyphs_);
    run.setPositions(positions_);
    painter.setPen(color_);
    if (cache_.isOblique(face_)) {
        painter.save();
        slantAbout(painter, positions_.front().y());
        painter.drawGlyphRun(QPointF(0, 0), run);
        painter.restore();
    } else {
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    glyphs_.clear();
    positions_.clear();
}
