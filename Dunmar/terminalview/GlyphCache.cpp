#include "terminalview/GlyphCache.h"

#include "terminalview/TerminalFonts.h"

#include <QGlyphRun>
#include <QPainter>

void GlyphCache::setFonts(const TerminalFonts& fonts) {
    const QFont* sources[kFaces] = {&fonts.font, &fonts.boldFont, &fonts.italicFont, &fonts.boldItalicFont};
    for (int i = 0; i < kFaces; ++i) {
        Face& face = faces_[std::size_t(i)];
        face.font = *sources[i];
        face.raw = QRawFont::fromFont(face.font);
        face.glyphs.clear();
    }
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

void GlyphRunBatch::add(QPainter& painter, int face, const QColor& color, char32_t ch, QPointF baseline) {
    const quint32 index = cache_.glyph(face, ch);
    if (index == 0) {
        // Not in the terminal font: let Qt's font fallback find it (CJK, emoji, rare symbols).
        flush(painter);
        const char32_t text[1] = {ch};
        painter.setFont(cache_.font(face));
        painter.setPen(color);
        painter.drawText(baseline, QString::fromUcs4(text, 1));
        return;
    }
    if (face != face_ || color != color_) {
        flush(painter);
        face_ = face;
        color_ = color;
    }
    glyphs_.append(index);
    positions_.append(baseline);
}

void GlyphRunBatch::addCluster(QPainter& painter, int face, const QColor& color, std::u32string_view scalars,
                               QPointF baseline) {
    // The glyph cache maps one character to one glyph; a cluster needs the shaper to place its
    // marks, so it is drawn as text of its own.
    flush(painter);
    painter.setFont(cache_.font(face));
    painter.setPen(color);
    painter.drawText(baseline, QString::fromUcs4(scalars.data(), qsizetype(scalars.size())));
}

void GlyphRunBatch::flush(QPainter& painter) {
    if (glyphs_.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(cache_.rawFont(face_));
    run.setGlyphIndexes(glyphs_);
    run.setPositions(positions_);
    painter.setPen(color_);
    painter.drawGlyphRun(QPointF(0, 0), run);
    glyphs_.clear();
    positions_.clear();
}
