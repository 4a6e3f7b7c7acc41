#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPointF>
#include <QRawFont>
#include <QVector>
#include <array>
#include <string_view>

class QPainter;
struct TerminalFonts;

// The four faces of a pane as raw fonts, with each character's glyph looked up once. Drawing then
// places glyphs on the cell grid itself instead of letting text layout move them.
class GlyphCache {
public:
    static constexpr int kFaces = 4;          // regular, bold, italic, bold italic
    static constexpr int kEmojiFace = kFaces; // the colour emoji font, for wide cells

    void setFonts(const TerminalFonts& fonts);

    // The glyph of a character in a face, or 0 when the face has none (the character is then drawn
    // as text so that Qt can find another font for it).
    quint32 glyph(int face, char32_t ch);
    const QRawFont& rawFont(int face) const { return faces_[std::size_t(face)].raw; }
    const QFont& font(int face) const { return faces_[std::size_t(face)].font; }
    // The face is an italic the family does not have: its upright glyphs are drawn slanted.
    bool isOblique(int face) const { return faces_[std::size_t(face)].oblique; }
    // Where a colour emoji goes in a cell two columns wide, from the cell's left edge on the
    // text's baseline.
    QPointF emojiOffset() const { return emojiOffset_; }
    qreal cellWidth() const { return cellWidth_; }

private:
    struct Face {
        QFont font;
        QRawFont raw;
        QHash<char32_t, quint32> glyphs;
        bool oblique = false;
    };
    std::array<Face, kFaces + 1> faces_;
    QPointF emojiOffset_;
    qreal cellWidth_ = 0;
};

// Glyphs of one face and colour gathered along a row, drawn in one call.
class GlyphRunBatch {
public:
    explicit GlyphRunBatch(GlyphCache& cache) : cache_(cache) {}

    // Adds a character at a baseline position; characters the face lacks are drawn at once as text.
    // A character in a cell two columns wide that the colour emoji font has is drawn from it.
    void add(QPainter& painter, int face, const QColor& color, char32_t ch, QPointF baseline,
             bool wide = false);
    // Adds a character with its combining marks, shaped together so that the marks sit on it. A
    // character asked for in emoji presentation (followed by U+FE0F) that the colour emoji font has
    // is drawn from that font, in colour: across a cell two columns wide, or at half size inside
    // a one-column cell, so that it never covers its neighbours.
    void addCluster(QPainter& painter, int face, const QColor& color, std::u32string_view scalars,
                    const QRectF& cell, qreal baseline);
    void flush(QPainter& painter);

private:
    GlyphCache& cache_;
    int face_ = -1;
    QColor color_;
    QVector<quint32> glyphs_;
    QVector<QPointF> positions_;
};
