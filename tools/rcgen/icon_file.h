// An icon file (.ico) made of PNG images, as Windows reads them since Vista:
// the application icon's PNGs in res are the one copy of the picture.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

namespace rcgen {

struct PngImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> bytes;  // the whole file
};

// The image's size from its header; nothing when `bytes` is no PNG file or
// the image is larger than an icon may be (256 x 256).
std::optional<PngImage> readPng(std::vector<std::uint8_t> bytes);

// The icon directory, then each image as it is.
void writeIconFile(std::ostream& out, const std::vector<PngImage>& images);

}  // namespace rcgen
