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

using Inputs = std::array<std::string, 4>;
const Inputs kDefaults{"2000", "16", "24", "30"};

ComputeOutcome computeOn(const Inputs& inputs) { return compute(inputs[0], inputs[1], inputs[2], inputs[3]); }

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

TEST(DiskSizeResultTest, EmptyInputsCountAsZero) {
  EXPECT_THAT(compute("", "", "", ""), Shows("0", "0.00"));
  EXPECT_THAT(computeOn(defaultsWith(2, "")), Shows("0", "0.00"));
}

TEST(DiskSizeResultTest, LeadingZerosAreIgnored) {
  EXPECT_THAT(computeOn(defaultsWith(1, "0000000000000000000016")), Shows("9887", "9.89"));
  EXPECT_THAT(compute("8", "0000000000000000000001", "1", "1"), Shows("0", "0.00"));
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

TEST(DiskSizeInputCheckTest, ValuesBeyondInt32AreInvalid) {
  for (std::size_t index = 0; index < kDefaults.size(); ++index) {
    const int item = static_cast<int>(index) + 1;
    EXPECT_THAT(computeOn(defaultsWith(index, "2147483647")), VariantWith<DiskSizeResult>(_)) << item;
    EXPECT_THAT(computeOn(defaultsWith(index, "2147483648")), Rejects(item));
    EXPECT_THAT(computeOn(defaultsWith(index, "123456789012345678901234567890")), Rejects(item));
  }
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

TEST(DiskSizeInputLimitTest, OnlyTheKeptBytesAreJudged) {
  // 48 bytes of "0...016", so a letter follows as byte 49 or byte 50.
  const std::string cameras = std::string(46, '0') + "16";
  const auto withCameras = [](const std::string& text) { return compute("2000", limitInput(text), "24", "30"); };
  EXPECT_THAT(withCameras(cameras + "x"), Rejects(2));
  EXPECT_THAT(withCameras(cameras + "0x"), Shows("98876", "98.88"));
}

}  // namespace
}  // namespace calc
