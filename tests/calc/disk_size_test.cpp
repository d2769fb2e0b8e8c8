// The disk-size estimate: its figures, the input check naming the first bad
// input, and inputs at their edges (every byte value where the 49-byte limit
// cuts, a double-byte character across it, numbers that would wrap around a
// 32- or 64-bit integer): the message or the right figures, never a wrong
// number.
#include "calc/disk_size.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>

namespace calc {

// Readable failure messages for the outcomes.
void PrintTo(const DiskSizeResult& result, std::ostream* out) {
  *out << "{\"" << result.gigabytes << "\" G, \"" << result.terabytes << "\" T}";
}
void PrintTo(const InvalidInput& invalid, std::ostream* out) { *out << "invalid input " << invalid.item; }

namespace {

using ::testing::_;
using ::testing::AllOf;
using ::testing::Field;
using ::testing::Matcher;
using ::testing::VariantWith;

Matcher<ComputeOutcome> Shows(const std::string& gigabytes, const std::string& terabytes) {
  return VariantWith<DiskSizeResult>(
      AllOf(Field(&DiskSizeResult::gigabytes, gigabytes), Field(&DiskSizeResult::terabytes, terabytes)));
}

Matcher<ComputeOutcome> Rejects(int item) { return VariantWith<InvalidInput>(Field(&InvalidInput::item, item)); }

Matcher<ComputeOutcome> Like(const ComputeOutcome& expected) {
  if (const auto* invalid = std::get_if<InvalidInput>(&expected)) return Rejects(invalid->item);
  const auto& result = std::get<DiskSizeResult>(expected);
  return Shows(result.gigabytes, result.terabytes);
}

using Inputs = std::array<std::string, 4>;
const Inputs kDefaults{"2000", "16", "24", "30"};

ComputeOutcome computeOn(const Inputs& inputs) { return compute(inputs[0], inputs[1], inputs[2], inputs[3]); }

// The cameras input as typed, the others at their defaults.
ComputeOutcome withCameras(const std::string& typed) { return compute("2000", typed, "24", "30"); }

const std::string k48Digits = std::string(46, '0') + "16";  // 16 cameras in 48 bytes

// The defaults with one input (0-based index) replaced.
Inputs defaultsWith(std::size_t index, const std::string& text) {
  Inputs inputs = kDefaults;
  inputs[index] = text;
  return inputs;
}

TEST(DiskSizeResultTest, KnownFigures) {
  EXPECT_THAT(computeOn(kDefaults), Shows("9887", "9.89"));  // T = 9887.6953125
  EXPECT_THAT(compute("4000", "1", "24", "1"), Shows("41", "0.04"));  // T = 41.19873046875
  // T = 921599.9965667724609375: the GB figure is truncated, not rounded.
  EXPECT_THAT(compute("2147483647", "1", "1", "1"), Shows("921599", "921.60"));
}

TEST(DiskSizeResultTest, RateBelowEightBitsGivesNothing) {
  EXPECT_THAT(computeOn(defaultsWith(0, "7")), Shows("0", "0.00"));
}

TEST(DiskSizeResultTest, EmptyAndAllZeroInputsCountAsZero) {
  EXPECT_THAT(compute("", "", "", ""), Shows("0", "0.00"));
  EXPECT_THAT(computeOn(defaultsWith(2, "")), Shows("0", "0.00"));
  EXPECT_THAT(compute(std::string(60, '0'), "16", "24", "30"), Shows("0", "0.00"));
}

TEST(DiskSizeResultTest, LeadingZerosAreIgnoredUpTo49Bytes) {
  EXPECT_THAT(computeOn(defaultsWith(1, "0000000000000000000016")), Shows("9887", "9.89"));
  EXPECT_THAT(compute("8", "0000000000000000000001", "1", "1"), Shows("0", "0.00"));
  const ComputeOutcome largest = withCameras("2147483647");
  EXPECT_THAT(largest, VariantWith<DiskSizeResult>(Field(&DiskSizeResult::gigabytes, "1327103999382")));
  EXPECT_THAT(withCameras(std::string(39, '0') + "2147483647"), Like(largest));
  EXPECT_THAT(withCameras(std::string(39, '0') + "2147483648"), Rejects(2));
  // One zero more pushes the last digit past the limit: 214748364 is judged.
  EXPECT_THAT(withCameras(std::string(40, '0') + "2147483648"), Like(withCameras("214748364")));
}

TEST(DiskSizeResultTest, HugeTotalIsShownInFullWithoutWrapping) {
  // K = 268435455 and G = 181193932125 / 2^13 exactly. (2^31-1)^2 rounds to
  // 2^62 - 2^32 in double, and the exact product 102003115554995313770496000
  // rounds to the double 102003115554995313416601600.
  const auto outcome = compute("2147483647", "2147483647", "24", "2147483647");
  EXPECT_THAT(outcome, Shows("102003115554995313416601600", "102003115554995320127488.00"));
  const auto* result = std::get_if<DiskSizeResult>(&outcome);
  ASSERT_NE(result, nullptr);
  EXPECT_NE(result->gigabytes.front(), '-');
}

TEST(DiskSizeInputCheckTest, ForeignCharacterNamesItsInput) {
  const std::array<std::string, 7> badTexts{" 16", "16 ", "+16", "-16", "1.5", "\xB0\xA1", "1\xB0\xA1"};
  for (const auto& bad : badTexts) {
    for (std::size_t index = 0; index < kDefaults.size(); ++index) {
      EXPECT_THAT(computeOn(defaultsWith(index, bad)), Rejects(static_cast<int>(index) + 1))
          << "text \"" << bad << "\" as input " << index + 1;
    }
  }
}

TEST(DiskSizeInputCheckTest, OnlyTheFirstInvalidInputIsNamed) {
  EXPECT_THAT(compute("a", "b", "c", "d"), Rejects(1));
  EXPECT_THAT(compute("2000", "x", "24", "-1"), Rejects(2));
  EXPECT_THAT(compute("2000", "16", "1.5", "2147483648"), Rejects(3));
  EXPECT_THAT(compute("2147483648", "x", "24", "30"), Rejects(1));
}

TEST(DiskSizeInputCheckTest, ValuesBeyondInt32AreInvalidNeverWrappedAround) {
  for (std::size_t index = 0; index < kDefaults.size(); ++index) {
    const int item = static_cast<int>(index) + 1;
    EXPECT_THAT(computeOn(defaultsWith(index, "2147483647")), VariantWith<DiskSizeResult>(_)) << item;
    EXPECT_THAT(computeOn(defaultsWith(index, "2147483648")), Rejects(item));
    EXPECT_THAT(computeOn(defaultsWith(index, "123456789012345678901234567890")), Rejects(item));
  }
  // 2^32 + 16 and 2^64 + 16 read into a 32- or 64-bit integer would give 16.
  for (const std::string wraps : {"4294967312", "18446744073709551632", "4294967295", "4294967296", "9999999999",
                                  "-2147483648"})
    EXPECT_THAT(withCameras(wraps), Rejects(2)) << wraps;
}

TEST(DiskSizeInputCheckTest, OnlyAsciiDigitBytesAreAccepted) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string text(1, static_cast<char>(byte));
    const bool isDigit = byte >= '0' && byte <= '9';
    for (std::size_t index = 0; index < kDefaults.size(); ++index) {
      const auto outcome = computeOn(defaultsWith(index, text));
      EXPECT_EQ(std::holds_alternative<DiskSizeResult>(outcome), isDigit)
          << "byte " << byte << " as input " << index + 1;
    }
  }
}

TEST(DiskSizeInputLimitTest, KeepsTheFirst49Bytes) {
  EXPECT_EQ(limitInput("2000"), "2000");
  const std::string exact(kInputByteLimit, '7');
  EXPECT_EQ(limitInput(exact), exact);
  EXPECT_EQ(limitInput(exact + "\xB0\xA1"), exact);
  EXPECT_EQ(limitInput(""), "");
}

TEST(DiskSizeInputLimitTest, EveryByteValueIsJudgedAsByte49AndIgnoredAsByte50) {
  const ComputeOutcome hundredSixty = withCameras("160");
  for (int value = 0; value < 256; ++value) {
    const char byte = static_cast<char>(value);
    const bool digit = byte >= '0' && byte <= '9';
    EXPECT_THAT(withCameras(k48Digits + byte), digit ? Like(withCameras(std::to_string(160 + (value - '0')))) : Rejects(2))
        << "byte " << value << " as byte 49";
    EXPECT_THAT(withCameras(k48Digits + "0" + byte), Like(hundredSixty)) << "byte " << value << " as byte 50";
  }
}

TEST(DiskSizeInputLimitTest, ADoubleByteCharacterAcrossTheLimitLeavesItsLeadByteToBeJudged) {
  constexpr char kYi[] = "\xD2\xBB";  // "一" in GBK: a lead byte and a trail byte
  EXPECT_THAT(withCameras(k48Digits + kYi), Rejects(2));              // bytes 49 and 50
  EXPECT_THAT(withCameras(k48Digits.substr(1) + kYi), Rejects(2));  // bytes 48 and 49
  EXPECT_THAT(withCameras(k48Digits + "0" + kYi), Like(withCameras(k48Digits + "0")));  // bytes 50 and 51
}

}  // namespace
}  // namespace calc
