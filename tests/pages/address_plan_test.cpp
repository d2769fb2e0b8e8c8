// New addresses for a batch: counting up, past what is taken and the .0 and
// .255 ends, never beyond .254.
#include "pages/address_plan.h"

#include <gmock/gmock.h>

#include <set>

namespace pages {
namespace {

using testing::ElementsAre;

constexpr std::uint32_t address(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return a << 24 | b << 16 | c << 8 | d;
}

AddressUsable allBut(std::set<std::uint32_t> taken) {
  return [taken](std::uint32_t candidate, std::size_t) { return !taken.contains(candidate); };
}

TEST(AddressPlanTest, CountsUpFromTheStartPassingOverTakenAddresses) {
  const AddressPlan plan =
      planAddresses(address(192, 168, 1, 100), 4, allBut({address(192, 168, 1, 101), address(192, 168, 1, 103)}));
  EXPECT_FALSE(plan.ranOut);
  EXPECT_THAT(plan.addresses, ElementsAre(address(192, 168, 1, 100), address(192, 168, 1, 102),
                                          address(192, 168, 1, 104), address(192, 168, 1, 105)));
}

TEST(AddressPlanTest, NeverEndsInZeroOr255AndStaysWithinTheStartsLastField) {
  EXPECT_THAT(planAddresses(address(10, 0, 0, 0), 2, allBut({})).addresses,
              ElementsAre(address(10, 0, 0, 1), address(10, 0, 0, 2)));
  EXPECT_THAT(planAddresses(address(10, 0, 0, 253), 2, allBut({})).addresses,
              ElementsAre(address(10, 0, 0, 253), address(10, 0, 0, 254)));
  EXPECT_TRUE(planAddresses(address(10, 0, 0, 255), 1, allBut({})).ranOut);
}

TEST(AddressPlanTest, ARangeThatWouldRunPast254GivesNoAddressAtAll) {
  const AddressPlan plan = planAddresses(address(10, 0, 0, 252), 3, allBut({address(10, 0, 0, 253)}));
  EXPECT_TRUE(plan.ranOut);
  EXPECT_TRUE(plan.addresses.empty());
}

TEST(AddressPlanTest, NoCameraNeedsNoAddress) {
  const AddressPlan plan = planAddresses(address(10, 0, 0, 254), 0, allBut({}));
  EXPECT_FALSE(plan.ranOut);
  EXPECT_TRUE(plan.addresses.empty());
}

}  // namespace
}  // namespace pages
