#include "Workloads.h"

#include <cstdlib>
#include <functional>

namespace benchwork {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void appendNumber(std::string& out, int v) {
    out += std::to_string(v);
}

// A CSI with numeric parameters: csi(out, 'H', {row, col}) gives ESC [ row ; col H.
void csi(std::string& out, char final, std::initializer_list<int> params) {
    out += "\x1b[";
    bool first = true;
    for (int p : params) {
        if (!first) out += ';';
        appendNumber(out, p);
        first = false;
    }
    out += final;
}

char printable(Rng& rng) {
    return char(rng.range(0x20, 0x7E));
}

char letter(Rng& rng) {
    return char('a' + rng.range(0, 25));
}

// Repeats `unit` until the stream holds at least `target` bytes.
std::string generate(std::size_t target, const std::function<void(std::string&)>& unit) {
    std::string out;
    out.reserve(target + 4096);
    while (out.size() < target) unit(out);
    return out;
}

std::string denseAscii(std::size_t target) {
    Rng rng(1);
    return generate(target, [&](std::string& out) {
        for (int i = 0; i < kCols - 1; ++i) out += printable(rng);
        out += "\r\n";
    });
}

std::string sgrPerWord(std::size_t target) {
    Rng rng(2);
    return generate(target, [&](std::string& out) { out += sgrLine(rng, kCols, false); });
}

// The same shape with colours from the palette only, as coloured logs and highlighted code send:
// a few thousand renditions in all, against one of its own for nearly every word above.
std::string sgrPalette(std::size_t target) {
    Rng rng(7);
    return generate(target, [&](std::string& out) { out += sgrLine(rng, kCols, true); });
}

std::string cursorMotion(std::size_t target) {
    Rng rng(3);
    return generate(target, [&](std::string& out) {
        csi(out, 'H', {rng.range(1, kRows), rng.range(1, kCols)});
        out += char(rng.range(0x21, 0x7E));
    });
}

// Words of four kinds, each about as often: Latin with accents, CJK ideographs (two cells each),
// emoji (two cells, four bytes) and letters carrying combining marks.
std::string unicode(std::size_t target) {
    static const char* const latin[] = {"café",  "naïve",  "über",     "señor",   "smörgåsbord",
                                        "crème", "façade", "jalapeño", "Ærø",     "déjà",
                                        "Łódź",  "Škoda",  "İstanbul", "Ångström"};
    constexpr char32_t marks[] = {0x0300, 0x0301, 0x0302, 0x0303, 0x0308, 0x0323};
    Rng rng(4);
    return generate(target, [&](std::string& out) {
        int col = 0;
        for (;;) {
            std::string word;
            int width = 0;
            switch (rng.range(0, 3)) {
            case 0: {
                const char* w = latin[rng.range(0, int(std::size(latin)) - 1)];
                word = w;
                for (const char* p = w; *p; ++p) width += (*p & 0xC0) != 0x80;
                break;
            }
            case 1:
                for (int i = rng.range(2, 6); i > 0; --i, width += 2)
                    appendUtf8(word, char32_t(rng.range(0x4E00, 0x9FFF)));
                break;
            case 2:
                for (int i = rng.range(1, 3); i > 0; --i, width += 2)
                    appendUtf8(word, char32_t(rng.range(0x1F600, 0x1F64F)));
                break;
            default:
                for (int i = rng.range(2, 7); i > 0; --i, ++width) {
                    word += letter(rng);
                    if (rng.range(0, 1)) appendUtf8(word, marks[rng.range(0, int(std::size(marks)) - 1)]);
                }
                break;
            }
            if (col + width + 1 > kCols) break;
            out += word;
            out += ' ';
            col += width + 1;
        }
        out += "\r\n";
    });
}

std::string scrollRegion(std::size_t target) {
    Rng rng(5);
    std::string out = "\x1b[5;45r";
    const std::size_t start = out.size();
    out += generate(target > start ? target - start : 0, [&](std::string& o) {
        csi(o, 'H', {45, 1});
        for (int i = rng.range(60, kCols - 1); i > 0; --i) o += printable(rng);
        o += "\r\n";
    });
    out += "\x1b[r";
    return out;
}

// Frames of a full-screen program (an editor or a process monitor): every row redrawn with its
// own colours and the rest of the line erased, a block of lines inserted or deleted, the cursor
// moved about, a status line in inverse video, and now and then the whole screen erased.
std::string fullscreen(std::size_t target) {
    Rng rng(6);
    std::string out = "\x1b[?1049h\x1b[H\x1b[2J";
    int frame = 0;
    const std::size_t start = out.size();
    out += generate(target > start ? target - start : 0, [&](std::string& o) {
        if (++frame % 8 == 0) o += "\x1b[H\x1b[2J";
        for (int row = 1; row < kRows; ++row) {
            csi(o, 'H', {row, 1});
            switch (rng.range(0, 4)) {
            case 0:
                o += "\x1b[0m";
                break;
            case 1:
                csi(o, 'm', {1, 30 + rng.range(0, 7)});
                break;
            case 2:
                csi(o, 'm', {38, 5, rng.range(0, 255)});
                break;
            case 3:
                csi(o, 'm', {48, 5, rng.range(0, 255), 4});
                break;
            default:
                csi(o, 'm', {7});
                break;
            }
            for (int i = rng.range(10, kCols - 1); i > 0; --i) o += printable(rng);
            o += "\x1b[K";
            if (rng.range(0, 9) == 0) {
                csi(o, 'H', {rng.range(2, kRows - 2), 1});
                csi(o, rng.range(0, 1) ? 'L' : 'M', {rng.range(1, 5)});
            }
            if (rng.range(0, 4) == 0) {
                const char moves[] = {'A', 'B', 'C', 'D'};
                csi(o, moves[rng.range(0, 3)], {rng.range(1, 20)});
                o += printable(rng);
            }
        }
        csi(o, 'H', {kRows, 1});
        o += "\x1b[7m";
        for (int i = 0; i < kCols - 1; ++i) o += letter(rng);
        o += "\x1b[0m";
    });
    out += "\x1b[?1049l";
    return out;
}

} // namespace

std::size_t workloadBytesFromEnv() {
    double mib = 32;
    if (const char* env = std::getenv("DUNMAR_BENCH_MIB")) {
        const double v = std::atof(env);
        if (v > 0) mib = v;
    }
    return std::size_t(mib * 1024 * 1024);
}

std::string sgrLine(Rng& rng, int cols, bool paletteOnly) {
    std::string out;
    int col = 0;
    for (;;) {
        const int len = rng.range(2, 8);
        if (col + len + 1 > cols) break;
        csi(out, 'm', {38, 5, rng.range(0, 255)});
        if (paletteOnly) {
            csi(out, 'm', {48, 5, rng.range(0, 15)});
        } else {
            csi(out, 'm', {48, 2, rng.range(0, 255), rng.range(0, 255), rng.range(0, 255)});
        }
        for (int i = 0; i < len; ++i) out += letter(rng);
        out += ' ';
        col += len + 1;
    }
    out += "\x1b[0m\r\n";
    return out;
}

std::vector<Workload> makeWorkloads(std::size_t targetBytes) {
    return {
        {"dense-ascii", denseAscii(targetBytes)}, {"sgr-per-word", sgrPerWord(targetBytes)},
        {"sgr-palette", sgrPalette(targetBytes)}, {"cursor-motion", cursorMotion(targetBytes)},
        {"unicode", unicode(targetBytes)},        {"scroll-region", scrollRegion(targetBytes)},
        {"fullscreen", fullscreen(targetBytes)},
    };
}

} // namespace benchwork
