// The calculator's inputs at their edges: every byte value where the 49-byte
// limit cuts, a double-byte character across it, numbers that would wrap
// around a 32- or 64-bit integer. The outcome is the designed message or the
// right figures, never a wrong number.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "calc/disk_size.h"

namespace calc {
namespace {

using ::testing::Field;
using ::testing::VariantWith;

constexpr char kYi[] = "\xD2\xBB";  // "一" in GBK: a lead byte and a trail byte

// The page's path for the cameras input, the others at their defaults.
ComputeOutcome withCameras(const std::string& typed) { return compute("2000", limitInput(typed), "24", "30"); }

ComputeOutcome rejected(int item) { return InvalidInput{item}; }

bool same(const ComputeOutcome& a, const ComputeOutcome& b) {
  if (a.index() != b.index()) return false;
  if (const auto* invalid = std::get_if<InvalidInput>(&a)) return invalid->item == std::get<InvalidInput>(b).item;
  const auto& result = std::get<DiskSizeResult>(a);
  return result.gigabytes == std::get<DiskSizeResult>(b).gigabytes &&
         result.terabytes == std::get<DiskSizeResult>(b).terabytes;
}

const std::string k48Digits = std::string(46, '0') + "16";  // 16 cameras in 48 bytes

TEST(DiskSizeLimitEdgeTest, EveryByteValueIsJudgedAsByte49AndIgnoredAsByte50) {
  const ComputeOutcome hundredSixty = withCameras("160");
  for (int value = 0; value < 256; ++value) {
    const char byte = static_cast<char>(value);
    const bool digit = byte >= '0' && byte <= '9';
    const ComputeOutcome judged = withCameras(k48Digits + byte);
    EXPECT_TRUE(same(judged, digit ? withCameras(std::to_string(160 + (value - '0'))) : rejected(2)))
        << "byte " << value << " as byte 49";
    EXPECT_TRUE(same(withCameras(k48Digits + "0" + byte), hundredSixty)) << "byte " << value << " as byte 50";
  }
}

TEST(DiskSizeLimitEdgeTest, ADoubleByteCharacterAcrossTheLimitLeavesItsLeadByteToBeJudged) {
  EXPECT_TRUE(same(withCameras(k48Digits + kYi), rejected(2)));        // bytes 49 and 50
  EXPECT_TRUE(same(withCameras(k48Digits.substr(1) + kYi), rejected(2)));  // bytes 48 and 49
  EXPECT_TRUE(same(withCameras(k48Digits + "0" + kYi), withCameras(k48Digits + "0")));  // bytes 50 and 51
}

TEST(DiskSizeLimitEdgeTest, ValuesThatWouldWrapAroundAreRejectedNotComputed) {
  // 2^32 + 16 and 2^64 + 16 read into a 32- or 64-bit integer would give 16.
  for (const std::string wraps : {"4294967312", "18446744073709551632", "4294967295", "4294967296",
                                  "2147483648", "9999999999"})
    EXPECT_TRUE(same(withCameras(wraps), rejected(2))) << wraps;
  EXPECT_TRUE(same(withCameras("-2147483648"), rejected(2)));
}

TEST(DiskSizeLimitEdgeTest, TheLargestValueCountsWithLeadingZerosUpTo49Bytes) {
  const ComputeOutcome largest = withCameras("2147483647");
  EXPECT_THAT(largest, VariantWith<DiskSizeResult>(Field(&DiskSizeResult::gigabytes, "1327103999382")));
  EXPECT_TRUE(same(withCameras(std::string(39, '0') + "2147483647"), largest));
  EXPECT_TRUE(same(withCameras(std::string(39, '0') + "2147483648"), rejected(2)));
  // One zero more pushes the last digit past the limit: 214748364 is judged.
  EXPECT_TRUE(same(withCameras(std::string(40, '0') + "2147483648"), withCameras("214748364")));
}

TEST(DiskSizeLimitEdgeTest, EmptyAndAllZeroInputsGiveZero) {
  const ComputeOutcome zero = DiskSizeResult{"0", "0.00"};
  EXPECT_TRUE(same(compute("", "", "", ""), zero));
  EXPECT_TRUE(same(compute(limitInput(std::string(60, '0')), "16", "24", "30"), zero));
  EXPECT_TRUE(same(compute("2000", "16", "24", ""), zero));
}

}  // namespace
}  // namespace calc
