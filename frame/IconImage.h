// An icon image of an ICO file (a BITMAPINFOHEADER, the colours, the AND mask) drawn anew at
// another size. Each new pixel is the average of the source area it covers, its colour
// weighted by how opaque each source pixel is: edges stay smooth and colours keep their
// brightness, where a system's stretch of an icon drops pixels or darkens them. Portable:
// bytes in, bytes out.
#pragma once

#include <string>
#include <string_view>

// The image at width x height, as a 32-bit image with alpha and its AND mask in the same
// form; empty when the source is not an uncompressed 24- or 32-bit image whose bytes are
// all there, or the size is not positive (or above 256).
std::string resampledIconImage(std::string_view image, int width, int height);
