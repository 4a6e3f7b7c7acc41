#include "terminalview/BoxDrawing.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace boxdrawing {
namespace {

constexpr char32_t kBoxFirst = 0x2500;
constexpr char32_t kBoxLast = 0x257F;
constexpr char32_t kBlockFirst = 0x2580;
constexpr char32_t kBlockLast = 0x259F;
static_assert(kBoxLast + 1 == kBlockFirst);

// The weight of one arm, from the cell's centre to one of its edges.
enum Weight : int { none = 0, light = 1, heavy = 2, twin = 3 };

// The arms of U+2500–U+257F as four digits, left, up, right and down, each a Weight. The rounded
// corners and diagonals (U+256D–U+2573) have none here; they are drawn as paths.
constexpr std::array<const char*, 128> kArms = {
    "1010", "2020", "0101", "0202", "1010", "2020", "0101", "0202", // ─━│┃┄┅┆┇
    "1010", "2020", "0101", "0202", "0011", "0021", "0012", "0022", // ┈┉┊┋┌┍┎┏
    "1001", "2001", "1002", "2002", "0110", "0120", "0210", "0220", // ┐┑┒┓└┕┖┗
    "1100", "2100", "1200", "2200", "0111", "0121", "0211", "0112", // ┘┙┚┛├┝┞┟
    "0212", "0221", "0122", "0222", "1101", "2101", "1201", "1102", // ┠┡┢┣┤┥┦┧
    "1202", "2201", "2102", "2202", "1011", "2011", "1021", "2021", // ┨┩┪┫┬┭┮┯
    "1012", "2012", "1022", "2022", "1110", "2110", "1120", "2120", // ┰┱┲┳┴┵┶┷
    "1210", "2210", "1220", "2220", "1111", "2111", "1121", "2121", // ┸┹┺┻┼┽┾┿
    "1211", "1112", "1212", "2211", "1221", "2112", "1122", "2221", // ╀╁╂╃╄╅╆╇
    "2122", "2212", "1222", "2222", "1010", "2020", "0101", "0202", // ╈╉╊╋╌╍╎╏
    "3030", "0303", "0031", "0013", "0033", "3001", "1003", "3003", // ═║╒╓╔╕╖╗
    "0130", "0310", "0330", "3100", "1300", "3300", "0131", "0313", // ╘╙╚╛╜╝╞╟
    "0333", "3101", "1303", "3303", "3031", "1013", "3033", "3130", // ╠╡╢╣╤╥╦╧
    "1310", "3330", "3131", "1313", "3333", "0000", "0000", "0000", // ╨╩╪╫╬╭╮╯
    "0000", "0000", "0000", "0000", "1000", "0100", "0010", "0001", // ╰╱╲╳╴╵╶╷
    "2000", "0200", "0020", "0002", "1020", "0102", "2010", "0201", // ╸╹╺╻╼╽╾╿
};

// How many dashes a dashed line draws per cell (0: a solid line).
int dashesOf(char32_t ch) {
    switch (ch) {
    case 0x2504:
    case 0x2505:
    case 0x2506:
    case 0x2507:
        return 3;
    case 0x2508:
    case 0x2509:
    case 0x250A:
    case 0x250B:
        return 4;
    case 0x254C:
    case 0x254D:
    case 0x254E:
    case 0x254F:
        return 2;
    default:
        return 0;
    }
}

// The cell in whole pixels. Every cell of a row and column has the same size, so a line's place in
// the cell is the same in each of them and lines meet their neighbours'.
struct Box {
    int x0, y0, x1, y1;
    int w() const { return x1 - x0; }
    int h() const { return y1 - y0; }
};

// The cross-section of a line: one stroke, or the two strokes of a double line. For one stroke
// both pairs are the same.
struct Band {
    int lo, loEnd, hiStart, hiEnd;
};

Band bandFor(int weight, int from, int size, int thin) {
    if (weight == twin) {
        const int start = from + (size - 3 * thin) / 2;
        return {start, start + thin, start + 2 * thin, start + 3 * thin};
    }
    const int t = weight == heavy ? 2 * thin : thin;
    const int start = from + (size - t) / 2;
    return {start, start + t, start, start + t};
}

// The band that the lines across an axis form where they meet in the centre: double when one of
// them is, else as thick as the heavier.
Band crossing(int a, int b, int from, int size, int thin) {
    return bandFor(a == twin || b == twin ? twin : std::max(a, b), from, size, thin);
}

class Painter {
public:
    Painter(QPainter& painter, Box box, const QColor& color) : p_(painter), box_(box), color_(color) {
        // A hairline at small sizes, thicker as the cell grows.
        thin_ = std::max(1, int(std::lround(box.w() / 10.0)));
    }

    void lines(const char* arms, int dashes) {
        const int left = arms[0] - '0', up = arms[1] - '0', right = arms[2] - '0', down = arms[3] - '0';
        const bool vertical = up || down;
        const bool horizontal = left || right;
        const Band v = crossing(up, down, box_.x0, box_.w(), thin_);
        const Band h = crossing(left, right, box_.y0, box_.h(), thin_);
        if (dashes > 0) {
            if (horizontal) dashed(h, dashes, true);
            if (vertical) dashed(v, dashes, false);
            return;
        }
        // Each arm reaches the lines across it; where a double line turns a corner, its inner
        // stroke stops at the inner stroke across it and its outer at the outer one.
        // An arm with nothing across it ends in the middle of the cell, where the opposite arm
        // (if any) begins.
        if (left) {
            const Band own = bandFor(left, box_.y0, box_.h(), thin_);
            const int mid = bandFor(left, box_.x0, box_.w(), thin_).hiEnd;
            if (left == twin) {
                fill(box_.x0, own.lo, vertical ? (up ? v.loEnd : v.hiEnd) : mid, own.loEnd);
                fill(box_.x0, own.hiStart, vertical ? (down ? v.loEnd : v.hiEnd) : mid, own.hiEnd);
            } else {
                const bool stub = up == twin && down == twin && !right;
                fill(box_.x0, own.lo, vertical ? (stub ? v.loEnd : v.hiEnd) : mid, own.loEnd);
            }
        }
        if (right) {
            const Band own = bandFor(right, box_.y0, box_.h(), thin_);
            const int mid = bandFor(right, box_.x0, box_.w(), thin_).lo;
            if (right == twin) {
                fill(vertical ? (up ? v.hiStart : v.lo) : mid, own.lo, box_.x1, own.loEnd);
                fill(vertical ? (down ? v.hiStart : v.lo) : mid, own.hiStart, box_.x1, own.hiEnd);
            } else {
                const bool stub = up == twin && down == twin && !left;
                fill(vertical ? (stub ? v.hiStart : v.lo) : mid, own.lo, box_.x1, own.loEnd);
            }
        }
        if (up) {
            const Band own = bandFor(up, box_.x0, box_.w(), thin_);
            const int mid = bandFor(up, box_.y0, box_.h(), thin_).hiEnd;
            if (up == twin) {
                fill(own.lo, box_.y0, own.loEnd, horizontal ? (left ? h.loEnd : h.hiEnd) : mid);
                fill(own.hiStart, box_.y0, own.hiEnd, horizontal ? (right ? h.loEnd : h.hiEnd) : mid);
            } else {
                const bool stub = left == twin && right == twin && !down;
                fill(own.lo, box_.y0, own.loEnd, horizontal ? (stub ? h.loEnd : h.hiEnd) : mid);
            }
        }
        if (down) {
            const Band own = bandFor(down, box_.x0, box_.w(), thin_);
            const int mid = bandFor(down, box_.y0, box_.h(), thin_).lo;
            if (down == twin) {
                fill(own.lo, horizontal ? (left ? h.hiStart : h.lo) : mid, own.loEnd, box_.y1);
                fill(own.hiStart, horizontal ? (right ? h.hiStart : h.lo) : mid, own.hiEnd, box_.y1);
            } else {
                const bool stub = left == twin && right == twin && !up;
                fill(own.lo, horizontal ? (stub ? h.hiStart : h.lo) : mid, own.loEnd, box_.y1);
            }
        }
    }

    // A quarter circle joining the centre lines of two edges: right or left, and down or up.
    void arc(bool toRight, bool toBottom) {
        const Band v = bandFor(light, box_.x0, box_.w(), thin_);
        const Band h = bandFor(light, box_.y0, box_.h(), thin_);
        const qreal cx = (v.lo + v.loEnd) / 2.0;
        const qreal cy = (h.lo + h.loEnd) / 2.0;
        const qreal edgeX = toRight ? box_.x1 : box_.x0;
        const qreal edgeY = toBottom ? box_.y1 : box_.y0;
        const qreal r = std::min(std::abs(edgeX - cx), std::abs(edgeY - cy));
        QPainterPath path(QPointF(edgeX, cy));
        path.lineTo(cx + (toRight ? r : -r), cy);
        path.quadTo(QPointF(cx, cy), QPointF(cx, cy + (toBottom ? r : -r)));
        path.lineTo(cx, edgeY);
        stroke(path);
    }

    void diagonal(bool rising) {
        QPainterPath path(QPointF(box_.x0, rising ? box_.y1 : box_.y0));
        path.lineTo(box_.x1, rising ? box_.y0 : box_.y1);
        stroke(path);
    }

    // A rectangle of the cell given in eighths of its width and height.
    void eighths(int left, int top, int right, int bottom, qreal alpha = 1.0) {
        const auto x = [&](int e) { return box_.x0 + int(std::lround(box_.w() * e / 8.0)); };
        const auto y = [&](int e) { return box_.y0 + int(std::lround(box_.h() * e / 8.0)); };
        QColor color = color_;
        color.setAlphaF(color.alphaF() * alpha);
        const QRect rect(x(left), y(top), x(right) - x(left), y(bottom) - y(top));
        if (!rect.isEmpty()) p_.fillRect(rect, color);
    }

private:
    void fill(int x0, int y0, int x1, int y1) {
        if (x1 > x0 && y1 > y0) p_.fillRect(QRect(x0, y0, x1 - x0, y1 - y0), color_);
    }

    // Dashes evenly spaced over the cell, each followed by its gap, so that the pattern runs on
    // through the next cell.
    void dashed(const Band& band, int count, bool horizontal) {
        const int length = horizontal ? box_.w() : box_.h();
        const int from = horizontal ? box_.x0 : box_.y0;
        const qreal segment = qreal(length) / count;
        const int gap = std::max(1, int(std::lround(segment / 3)));
        for (int i = 0; i < count; ++i) {
            const int start = from + int(std::lround(segment * i));
            const int end = from + int(std::lround(segment * (i + 1))) - gap;
            if (horizontal)
                fill(start, band.lo, std::max(end, start + 1), band.hiEnd);
            else
                fill(band.lo, start, band.hiEnd, std::max(end, start + 1));
        }
    }

    void stroke(const QPainterPath& path) {
        p_.save();
        p_.setClipRect(QRect(box_.x0, box_.y0, box_.w(), box_.h()), Qt::IntersectClip);
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setBrush(Qt::NoBrush);
        p_.setPen(QPen(color_, thin_, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p_.drawPath(path);
        p_.restore();
    }

    QPainter& p_;
    Box box_;
    QColor color_;
    int thin_ = 1;
};

// Block elements as rectangles in eighths: left, top, right, bottom.
struct Eighths {
    int left, top, right, bottom;
};

void drawBlock(Painter& p, char32_t ch) {
    if (ch == 0x2580) return p.eighths(0, 0, 8, 4);                                    // ▀
    if (ch >= 0x2581 && ch <= 0x2588) return p.eighths(0, 8 - int(ch - 0x2580), 8, 8); // ▁..█
    if (ch >= 0x2589 && ch <= 0x258F) return p.eighths(0, 0, 8 - int(ch - 0x2588), 8); // ▉..▏
    switch (ch) {
    case 0x2590:
        return p.eighths(4, 0, 8, 8); // ▐
    case 0x2591:
        return p.eighths(0, 0, 8, 8, 0.25); // ░
    case 0x2592:
        return p.eighths(0, 0, 8, 8, 0.5); // ▒
    case 0x2593:
        return p.eighths(0, 0, 8, 8, 0.75); // ▓
    case 0x2594:
        return p.eighths(0, 0, 8, 1); // ▔
    case 0x2595:
        return p.eighths(7, 0, 8, 8); // ▕
    default:
        break;
    }
    // Quadrants ▖..▟ as bits: upper left 1, upper right 2, lower left 4, lower right 8.
    static constexpr int kQuadrants[] = {4,         8,         1, 1 | 4 | 8, 1 | 8,
                                         1 | 2 | 4, 1 | 2 | 8, 2, 2 | 4,     2 | 4 | 8};
    const int bits = kQuadrants[ch - 0x2596];
    static constexpr Eighths kCorners[] = {{0, 0, 4, 4}, {4, 0, 8, 4}, {0, 4, 4, 8}, {4, 4, 8, 8}};
    for (int i = 0; i < 4; ++i)
        if (bits & (1 << i))
            p.eighths(kCorners[i].left, kCorners[i].top, kCorners[i].right, kCorners[i].bottom);
}

} // namespace

bool covers(char32_t ch) {
    return ch >= kBoxFirst && ch <= kBlockLast;
}

void draw(QPainter& painter, char32_t ch, const QRectF& cell, const QColor& color) {
    const Box box{int(std::lround(cell.left())), int(std::lround(cell.top())), int(std::lround(cell.right())),
                  int(std::lround(cell.bottom()))};
    if (box.w() <= 0 || box.h() <= 0 || !covers(ch)) return;
    Painter p(painter, box, color);
    if (ch >= kBlockFirst) return drawBlock(p, ch);
    switch (ch) {
    case 0x256D:
        return p.arc(true, true); // ╭
    case 0x256E:
        return p.arc(false, true); // ╮
    case 0x256F:
        return p.arc(false, false); // ╯
    case 0x2570:
        return p.arc(true, false); // ╰
    case 0x2571:
        return p.diagonal(true); // ╱
    case 0x2572:
        return p.diagonal(false); // ╲
    case 0x2573:                  // ╳
        p.diagonal(true);
        return p.diagonal(false);
    default:
        return p.lines(kArms[ch - kBoxFirst], dashesOf(ch));
    }
}

} // namespace boxdrawing
