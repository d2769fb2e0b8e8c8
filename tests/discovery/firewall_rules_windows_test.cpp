// Which local ports of a firewall rule take in the discovery port.
#include "discovery/platform/windows/firewall_rules.h"

#include <gtest/gtest.h>

namespace discovery {
namespace {

TEST(FirewallRulePortsTest, ListsAndRangesTakeInThePortNamesAndJunkDoNot) {
  for (const wchar_t* ports : {L"", L"*", L"5414", L"80,5414", L"5000-6000", L"RPC,5414-5414"})
    EXPECT_TRUE(portsTakeIn(ports, 5414)) << ports;
  for (const wchar_t* ports : {L"5415", L"80,443", L"5415-6000", L"RPC", L"IPHTTPS", L"54x14", L"-", L","})
    EXPECT_FALSE(portsTakeIn(ports, 5414)) << ports;
}

}  // namespace
}  // namespace discovery
