#include "terminalview/EngineBridge.h"

namespace {
Rgb8 toRgb8(const RGB& c) {
    return Rgb8{c.r, c.g, c.b};
}
} // namespace

ColorContext colorContextOf(const Terminal& terminal) {
    ColorContext context;
    for (const auto& [index, color] : terminal.paletteOverrides) {
        if (index >= 0 && index < std::int64_t(context.paletteOverrides.size()))
            context.paletteOverrides[std::size_t(index)] = toRgb8(color);
    }
    if (terminal.dynamicFG) context.dynamicFG = toRgb8(*terminal.dynamicFG);
    if (terminal.dynamicBG) context.dynamicBG = toRgb8(*terminal.dynamicBG);
    return context;
}

CellColorAttrs colorAttrsOf(const TextAttrs& attrs) {
    CellColorAttrs c;
    c.fg = attrs.fg;
    c.bg = attrs.bg;
    c.bold = attrs.bold;
    if (attrs.fgRGB) c.fgRGB = toRgb8(*attrs.fgRGB);
    if (attrs.bgRGB) c.bgRGB = toRgb8(*attrs.bgRGB);
    return c;
}

std::vector<PlacedImage> placedImages(const Terminal& terminal) {
    std::vector<PlacedImage> images;
    images.reserve(terminal.sixelImages.size());
    // The sixel decoder stores RgbaImage bitmaps behind the placement's opaque pointer.
    for (const ImagePlacement& placement : terminal.sixelImages) {
        if (!placement.image) continue;
        images.push_back(
            {placement.row, placement.col, std::static_pointer_cast<const RgbaImage>(placement.image)});
    }
    return images;
}
