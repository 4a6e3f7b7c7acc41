// The end of a sixel DCS string: the collected data goes to the image decoder, which places the
// picture at the cursor in sixelImages and tells the view through onSixelImage. Until the decoder
// joins, the data is dropped.
#include "engine/Terminal.h"

void Terminal::parseSixelData() {
    sixelBuf_.clear();
}
