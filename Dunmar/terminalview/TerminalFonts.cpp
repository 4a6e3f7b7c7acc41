#include "terminalview/TerminalFonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QRawFont>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Font names as the settings know them, and the family and weight that name them to fontconfig.
struct NamedFace {
    const char* name;
    const char* family;
    QFont::Weight weight;
};
constexpr NamedFace kNamedFaces[] = {
    {"Fira Code", "Fira Code", QFont::Normal},
    {"FiraCode-Bold", "Fira Code", QFont::Bold},
    {"JetBrains Mono Light", "JetBrains Mono", QFont::Light},
    {"Monocraft", "Monocraft", QFont::Normal},
    {"Iosevka Thin", "Iosevka", QFont::Thin},
};

// Qt resolves point sizes against the screen's logical resolution; go through it so that a size in
// logical pixels keeps its fractions.
qreal pointsForPixels(qreal pixels) {
    qreal dpi = 96.0;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) dpi = screen->logicalDotsPerInchY();
    return pixels * 72.0 / dpi;
}

QFont sized(QFont font, double size) {
    font.setPointSizeF(pointsForPixels(size));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setKerning(false);
    font.setFixedPitch(true);
    return font;
}

std::optional<QFont> installedFont(const char* name, double size) {
    if (!name) return std::nullopt;
    QString family = QString::fromUtf8(name);
    QFont::Weight weight = QFont::Normal;
    for (const NamedFace& face : kNamedFaces) {
        if (qstrcmp(face.name, name) == 0) {
            family = QString::fromUtf8(face.family);
            weight = face.weight;
        }
    }
    if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive)) return std::nullopt;
    QFont font(family);
    font.setWeight(weight);
    return sized(font, size);
}

QFont systemMonospace(double size, QFont::Weight weight) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setWeight(weight);
    return sized(font, size);
}

// The italic of a face when its family has one; Qt would otherwise slant the upright glyphs.
QFont italicOf(const QFont& font) {
    const QStringList styles = QFontDatabase::styles(font.family());
    const bool hasItalic = std::any_of(styles.begin(), styles.end(), [](const QString& style) {
        return style.contains(QLatin1String("Italic"), Qt::CaseInsensitive) ||
               style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive);
    });
    if (!hasItalic) return font;
    QFont italic = font;
    italic.setItalic(true);
    return italic;
}

void registerFile(const QString& path) {
    if (QFileInfo::exists(path)) QFontDatabase::addApplicationFont(path);
}

} // namespace

const std::array<TerminalFontEntry, 4>& availableFonts() {
    static const std::array<TerminalFontEntry, 4> fonts = {{
        {"Fira Code", "Fira Code", "FiraCode-Bold"},
        {"JetBrains Mono", "JetBrains Mono Light", nullptr},
        {"Monocraft", "Monocraft", nullptr},
        {"Iosevka Thin", "Iosevka Thin", nullptr},
    }};
    return fonts;
}

void loadTerminalFonts() {
    static bool fontsLoaded = false;
    if (fontsLoaded) return;
    fontsLoaded = true;
    const QDir executableDir(QCoreApplication::applicationDirPath());
    for (const char* file :
         {"_FiraCode-Regular-terminal.ttf", "_FiraCode-Bold-terminal.ttf", "_IosevkaThin-terminal.ttf"})
        registerFile(executableDir.filePath(QString::fromUtf8(file)));
    // Debian's fonts-firacode and fonts-jetbrains-mono; fontconfig usually knows them already.
    for (const char* file : {"/usr/share/fonts/truetype/firacode/FiraCode-Regular.ttf",
                             "/usr/share/fonts/truetype/firacode/FiraCode-Bold.ttf",
                             "/usr/share/fonts/truetype/jetbrains-mono/JetBrainsMono-Light.ttf",
                             "/usr/share/fonts/truetype/jetbrains-mono/JetBrainsMono-LightItalic.ttf"})
        registerFile(QString::fromUtf8(file));
}

qreal monoAdvance(const QFont& font) {
    const QFontMetricsF metrics(font);
    if (QRawFont::fromFont(font).supportsCharacter(QLatin1Char('M'))) {
        const qreal advance = metrics.horizontalAdvance(QLatin1Char('M'));
        if (advance > 0) return std::ceil(advance);
    }
    return metrics.maxWidth();
}

TerminalFonts makeTerminalFonts(double size, qint64 familyIndex) {
    if (!(size > 0)) size = 10.0;
    const auto& table = availableFonts();
    const TerminalFontEntry& entry =
        familyIndex >= 0 && familyIndex < qint64(table.size()) ? table[std::size_t(familyIndex)] : table[0];
    TerminalFonts fonts;
    if (std::optional<QFont> regular = installedFont(entry.fontName, size)) {
        fonts.font = *regular;
    } else {
        fonts.font = systemMonospace(size, QFont::Normal);
        fonts.regularIsFallback = true;
    }
    if (std::optional<QFont> bold = installedFont(entry.boldFontName, size)) {
        fonts.boldFont = *bold;
    } else {
        fonts.boldFont = systemMonospace(size, QFont::Bold);
        fonts.boldIsFallback = true;
    }
    fonts.italicFont = italicOf(fonts.font);
    fonts.boldItalicFont = italicOf(fonts.boldFont);

    const QFontMetricsF metrics(fonts.font);
    fonts.cellW = std::max<qreal>(1, monoAdvance(fonts.font));
    fonts.cellH = std::max<qreal>(1, std::ceil(metrics.ascent() + metrics.descent() + metrics.leading()));
    fonts.ascent = metrics.ascent();
    return fonts;
}
