#include "tools/rcgen/icon_file.h"

#include <algorithm>
#include <array>
#include <string>

namespace rcgen {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The signature, then the IHDR chunk's length and type, then width and height.
constexpr std::size_t kWidthOffset = 16;
constexpr std::size_t kHeaderEnd = 24;
constexpr std::uint32_t kLargestIcon = 256;
constexpr std::uint32_t kDirectorySize = 6;
constexpr std::uint32_t kEntrySize = 16;

std::uint32_t bigEndian32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
         bytes[at + 3];
}

void put16(std::ostream& out, std::uint32_t value) {
  out.put(static_cast<char>(value & 0xFF)).put(static_cast<char>(value >> 8 & 0xFF));
}

void put32(std::ostream& out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

}  // namespace

std::optional<PngImage> readPng(std::vector<std::uint8_t> bytes) {
  if (bytes.size() < kHeaderEnd || !std::equal(kPngSignature.begin(), kPngSignature.end(), bytes.begin()) ||
      std::string(bytes.begin() + 12, bytes.begin() + 16) != "IHDR")
    return std::nullopt;
  PngImage image{bigEndian32(bytes, kWidthOffset), bigEndian32(bytes, kWidthOffset + 4), std::move(bytes)};
  if (image.width == 0 || image.height == 0 || image.width > kLargestIcon || image.height > kLargestIcon)
    return std::nullopt;
  return image;
}

void writeIconFile(std::ostream& out, const std::vector<PngImage>& images) {
  put16(out, 0);  // reserved
  put16(out, 1);  // an icon, not a cursor
  put16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = kDirectorySize + kEntrySize * static_cast<std::uint32_t>(images.size());
  for (const PngImage& image : images) {
    // 256 is written as 0; a PNG entry counts as 32 bits per pixel, one plane.
    out.put(static_cast<char>(image.width & 0xFF)).put(static_cast<char>(image.height & 0xFF));
    out.put(0).put(0);  // no palette, reserved
    put16(out, 1);
    put16(out, 32);
    put32(out, static_cast<std::uint32_t>(image.bytes.size()));
    put32(out, offset);
    offset += static_cast<std::uint32_t>(image.bytes.size());
  }
  for (const PngImage& image : images)
    out.write(reinterpret_cast<const char*>(image.bytes.data()), static_cast<std::streamsize>(image.bytes.size()));
}

}  // namespace rcgen
