// The address check on a real link: the PC and three squatters that ignore
// every ping, each in a network namespace of its own on one bridge
// (run-beside-squatters.sh, which lists the squatters in TOVALEN_SQUATTERS).
// Run as `address_check_lab_tests --print ADDRESS...`, it checks those
// addresses and prints one line for each answer: the test runs itself so
// without any privilege.
#include <gmock/gmock.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "discovery/address_check.h"
#include "support/test_network_setup.h"

namespace {

using discovery::AddressAnswer;
using discovery::AddressUse;
using discovery::Ipv4Bytes;
using Verdicts = std::map<std::string, std::string>;  // address -> what the check said of it

const std::string kOwnAddress = "192.168.1.10";
const std::string kEmptyAddress = "192.168.1.77";
const std::string kOutsideEverySubnet = "10.99.0.5";

std::string verdict(const AddressAnswer& answer) {
  switch (answer.use) {
    case AddressUse::InUse:
      return answer.ownAddress ? "in use by this PC" : "in use by " + answer.linkAddress;
    case AddressUse::Free:
      return "free";
    case AddressUse::CannotVerify:
      return answer.reason.empty() ? "cannot verify, without a reason" : "cannot verify";
  }
  return "?";
}

// The squatters' addresses and the verdicts they must get.
Verdicts squatters() {
  Verdicts taken;
  std::istringstream listed(std::getenv("TOVALEN_SQUATTERS") ? std::getenv("TOVALEN_SQUATTERS") : "");
  std::string entry;
  while (listed >> entry) taken[entry.substr(0, entry.find('='))] = "in use by " + entry.substr(entry.find('=') + 1);
  return taken;
}

std::vector<Ipv4Bytes> parsed(const std::vector<std::string>& addresses) {
  std::vector<Ipv4Bytes> bytes;
  for (const std::string& address : addresses) bytes.push_back(discovery::parseAddress(address).value());
  return bytes;
}

// The verdicts of one check of `addresses`, once every one has come;
// `onEach` sees each answer first, on the check's thread.
Verdicts check(const std::vector<std::string>& addresses,
               const std::function<void(const AddressAnswer&)>& onEach = {}) {
  discovery::SystemNetwork network;
  std::mutex mutex;
  std::condition_variable changed;
  Verdicts verdicts;
  const discovery::AddressCheck running(network, discovery::systemAddressProbe(), parsed(addresses),
                                        [&](const AddressAnswer& answer) {
                                          if (onEach) onEach(answer);
                                          const std::lock_guard lock(mutex);
                                          verdicts[discovery::formatAddress(answer.address)] = verdict(answer);
                                          changed.notify_all();
                                        });
  std::unique_lock lock(mutex);
  changed.wait(lock, [&] { return verdicts.size() == addresses.size(); });
  return verdicts;
}

std::vector<std::string> range(int first, int last) {
  std::vector<std::string> addresses;
  for (int host = first; host <= last; ++host) addresses.push_back("192.168.1." + std::to_string(host));
  return addresses;
}

bool rawSocketAllowed() {
  const int raw = ::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
  if (raw >= 0) ::close(raw);
  return raw >= 0;
}

// Every line a shell command prints.
std::vector<std::string> outputOf(const std::string& command) {
  std::vector<std::string> lines;
  FILE* output = ::popen(command.c_str(), "r");
  if (!output) return lines;
  char line[512];
  while (std::fgets(line, sizeof line, output)) lines.emplace_back(line, std::strcspn(line, "\n"));
  ::pclose(output);
  return lines;
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
  const std::string squatter = squatters().begin()->first;
  EXPECT_EQ(check({squatter, kEmptyAddress, kOwnAddress, kOutsideEverySubnet}),
            (Verdicts{{squatter, squatters().at(squatter)},
                      {kEmptyAddress, "free"},
                      {kOwnAddress, "in use by this PC"},
                      {kOutsideEverySubnet, "cannot verify"}}));
}

TEST(AddressCheckOnLinkTest, AnswersAlikeWithoutAnyPrivilege) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe");
  const std::string squatter = squatters().rbegin()->first;
  const auto lines = outputOf("setpriv --inh-caps=-all --bounding-set=-all -- " + self + " --print " + squatter +
                              " 192.168.1.78 " + kOutsideEverySubnet);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "raw socket refused");
  Verdicts printed;
  for (auto line = lines.begin() + 1; line != lines.end(); ++line)
    printed[line->substr(0, line->find(' '))] = line->substr(line->find(' ') + 1);
  EXPECT_EQ(printed, (Verdicts{{squatter, squatters().at(squatter)},
                               {"192.168.1.78", "free"},
                               {kOutsideEverySubnet, "cannot verify"}}));
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
  bool first = true;
  const Verdicts verdicts = check(addresses, [&](const AddressAnswer&) {
    if (!std::exchange(first, false)) return;
    for (const std::string& line : outputOf("ip -4 neigh show dev eth0"))
      resolvingAtFirstAnswer.insert(line.substr(0, line.find(' ')));
  });
  EXPECT_EQ(verdicts, expected);
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
  std::mutex mutex;
  std::condition_variable changed;
  Verdicts answered;
  bool ended = false;
  {
    const discovery::AddressCheck running(network, discovery::systemAddressProbe(), parsed(addresses),
                                          [&](const AddressAnswer& answer) {
                                            const std::lock_guard lock(mutex);
                                            EXPECT_FALSE(ended) << "an answer came after the check ended";
                                            answered[discovery::formatAddress(answer.address)] = verdict(answer);
                                            changed.notify_all();
                                          });
    // The static entry is read from the table once every address is asked;
    // the second comes as an event, after any the asking caused. Once it is
    // answered and the check's thread sleeps in poll(), no event is left to
    // end its wait for the link.
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return answered.size() == 1; });
    ASSERT_TRUE(makeStatic(fromAnEvent));
    changed.wait(lock, [&] { return answered.size() == 2; });
    lock.unlock();
    while (!anotherThreadSleepsInPoll()) std::this_thread::yield();
  }
  const std::lock_guard lock(mutex);
  ended = true;
  EXPECT_EQ(answered, (Verdicts{{fromTheTable, "in use by 02:54:56:00:02:50"},
                                {fromAnEvent, "in use by 02:54:56:00:02:50"}}));
  testsupport::runCommand("ip neigh flush dev eth0 nud permanent");
}

int printCheck(int argc, char** argv) {
  std::printf("raw socket %s\n", rawSocketAllowed() ? "allowed" : "refused");
  for (const auto& [address, said] : check(std::vector<std::string>(argv + 2, argv + argc)))
    std::printf("%s %s\n", address.c_str(), said.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--print") return printCheck(argc, argv);
  testing::InitGoogleMock(&argc, argv);
  if (squatters().size() != 3) {
    std::fprintf(stderr, "refusing to run: no squatters listed; run through run-beside-squatters.sh\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}
