// The end of a sixel DCS string. The parser has fed its data to the decoder byte by byte; the
// finished image is placed at the cursor, in grid coordinates, and the view is told. The cursor
// stays where it is.
#include "engine/Terminal.h"

#include <memory>

void Terminal::parseSixelData() {
    std::optional<RgbaImage> image = sixelDecoder_.finish();
    if (!image) return; // no pixel was set
    sixelImages_.add(SixelImage{cursor_.y, cursor_.x, std::make_shared<const RgbaImage>(std::move(*image))});
    if (onSixelImage) onSixelImage();
}
