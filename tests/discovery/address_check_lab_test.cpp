// The address check on a real link: the PC and three squatters that ignore
// every ping, each in a network namespace of its own on one bridge
// (run-beside-squatters.sh, which lists the squatters in TOVALEN_SQUATTERS).
// The ctest entry runs the first test again without any privilege, with
// TOVALEN_UNPRIVILEGED set.
#include <gmock/gmock.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/address_verdicts.h"
#include "support/test_network_setup.h"

namespace {

using testsupport::Verdicts;

// The squatters' addresses and the verdicts they must get.
Verdicts squatters() {
  Verdicts taken;
  std::istringstream listed(std::getenv("TOVALEN_SQUATTERS") ? std::getenv("TOVALEN_SQUATTERS") : "");
  std::string entry;
  while (listed >> entry) taken[entry.substr(0, entry.find('='))] = "in use by " + entry.substr(entry.find('=') + 1);
  return taken;
}

std::vector<discovery::Ipv4Bytes> parsed(const std::vector<std::string>& addresses) {
  std::vector<discovery::Ipv4Bytes> bytes;
  for (const std::string& address : addresses) bytes.push_back(discovery::parseAddress(address).value());
  return bytes;
}

std::vector<std::string> range(int first, int last) {
  std::vector<std::string> addresses;
  for (int host = first; host <= last; ++host) addresses.push_back("192.168.1." + std::to_string(host));
  return addresses;
}

// The verdicts of a check of `addresses` by the system's probe, once all have
// come; `onEach` sees each answer first, on the check's thread.
Verdicts check(const std::vector<std::string>& addresses,
               const std::function<void(const discovery::AddressAnswer&)>& onEach = {}) {
  discovery::SystemNetwork network;
  testsupport::CollectedVerdicts verdicts;
  const discovery::AddressCheck running(network, discovery::systemAddressProbe(), parsed(addresses),
                                        [&onEach, sink = verdicts.sink()](const discovery::AddressAnswer& answer) {
                                          if (onEach) onEach(answer);
                                          sink(answer);
                                        });
  return verdicts.await(addresses.size());
}

// The addresses in the PC's neighbour table, in any state.
std::set<std::string> neighbourTable() {
  std::set<std::string> addresses;
  FILE* listing = ::popen("ip -4 neigh show dev eth0", "r");
  char line[256];
  while (listing && std::fgets(line, sizeof line, listing)) addresses.emplace(line, std::strcspn(line, " \n"));
  if (listing) ::pclose(listing);
  return addresses;
}

// Whether a thread of this process other than the caller sleeps in poll(),
// as the check's thread does while it waits for the link.
bool anotherThreadSleepsInPoll() {
  const std::string caller = std::to_string(::gettid());
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    if (task.path().filename() == caller) continue;
    long call = -1;  // the number of the call it sleeps in; "running" reads as none
    std::ifstream(task.path() / "syscall") >> call;
#ifdef SYS_poll
    if (call == SYS_poll) return true;
#endif
    if (call == SYS_ppoll) return true;
  }
  return false;
}

TEST(AddressCheckOnLinkTest, TellsTakenFreeOwnAndUnreachableAddresses) {
  if (std::getenv("TOVALEN_UNPRIVILEGED")) {
    const int raw = ::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    if (raw >= 0) ::close(raw);
    ASSERT_LT(raw, 0) << "this run was to have no privilege, yet may open a raw socket";
  }
  const std::string squatter = squatters().begin()->first;
  EXPECT_EQ(check({squatter, "192.168.1.77", "192.168.1.10", "10.99.0.5"}),
            (Verdicts{{squatter, squatters().at(squatter)},
                      {"192.168.1.77", "free"},
                      {"192.168.1.10", "in use by this PC"},
                      {"10.99.0.5", "cannot verify"}}));
}

TEST(AddressCheckOnLinkTest, TakesNoOldEntryForAnAnswer) {
  // Entries the kernel holds from before: for a host that has gone, and for
  // a squatter's address at another MAC than the squatter's, as when a new
  // device took over the address of one that was unplugged.
  const std::string gone = "192.168.1.90";
  const std::string takenOver = std::next(squatters().begin())->first;
  ASSERT_TRUE(testsupport::runCommand("ip neigh replace " + gone + " lladdr 02:54:56:00:00:90 nud stale dev eth0 && " +
                                      "ip neigh replace " + takenOver + " lladdr 02:54:56:00:00:99 nud stale dev eth0"));
  EXPECT_EQ(check({gone, takenOver}), (Verdicts{{gone, "free"}, {takenOver, squatters().at(takenOver)}}));
}

TEST(AddressCheckOnLinkTest, ChecksManyAddressesSideBySide) {
  Verdicts expected = squatters();
  std::vector<std::string> addresses;
  for (const auto& [squatter, taken] : expected) addresses.push_back(squatter);
  for (const std::string& empty : range(150, 186)) {
    addresses.push_back(empty);
    expected[empty] = "free";
  }
  // When the first answer comes, every address is being resolved already:
  // none waited for another's answer to be asked.
  std::set<std::string> resolvingAtFirstAnswer;
  EXPECT_EQ(check(addresses,
                  [&](const discovery::AddressAnswer&) {
                    if (resolvingAtFirstAnswer.empty()) resolvingAtFirstAnswer = neighbourTable();
                  }),
            expected);
  EXPECT_THAT(resolvingAtFirstAnswer, testing::IsSupersetOf(addresses));
}

TEST(AddressCheckOnLinkTest, EndsAtOnceWhenDestroyedWhileTheLinkIsAsked) {
  // From here on nothing but the check and the test changes the PC's
  // neighbour table, and the kernel asks for each empty address a thousand
  // times, a second apart.
  const std::string fromTheTable = "192.168.1.250";
  const std::string fromAnEvent = "192.168.1.219";
  const auto makeStatic = [](const std::string& address) {
    return testsupport::runCommand("ip neigh replace " + address + " lladdr 02:54:56:00:02:50 nud permanent dev eth0");
  };
  ASSERT_TRUE(testsupport::runCommand("ip neigh flush dev eth0") && makeStatic(fromTheTable));
  const testsupport::KernelSetting slowResolution("net/ipv4/neigh/eth0/mcast_solicit", "1000");
  ASSERT_TRUE(slowResolution.ok());
  std::vector<std::string> addresses = range(200, 219);
  addresses.push_back(fromTheTable);
  discovery::SystemNetwork network;
  testsupport::CollectedVerdicts verdicts;
  {
    const discovery::AddressCheck running(network, discovery::systemAddressProbe(), parsed(addresses),
                                          verdicts.sink());
    // The static entry is read from the table once every address is asked;
    // the second comes as an event, after any the asking caused. Once it is
    // answered and the check's thread sleeps in poll(), no event is left to
    // end its wait for the link: only the check's end can.
    verdicts.await(1);
    ASSERT_TRUE(makeStatic(fromAnEvent));
    verdicts.await(2);
    while (!anotherThreadSleepsInPoll()) std::this_thread::yield();
  }
  EXPECT_EQ(verdicts.await(0), (Verdicts{{fromTheTable, "in use by 02:54:56:00:02:50"},
                                         {fromAnEvent, "in use by 02:54:56:00:02:50"}}));
  testsupport::runCommand("ip neigh flush dev eth0 nud permanent");
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  if (squatters().size() != 3) {
    std::fprintf(stderr, "refusing to run: no squatters listed; run through run-beside-squatters.sh\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}
