// The lab network (tools/lab/tovalen-lab) as the tests see it from the PC's
// namespace.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace labtest {

// True when this process runs as the PC of a lab: in the PC namespace of the
// lab named by $TOVALEN_LAB (tools/lab/tovalen-lab), or in the namespace
// tools/lab/tovalen-try names in $TOVALEN_TRY_NETNS, whose network is the
// same; otherwise false, with the reason.
bool insideLabPc(std::string& why);

// Every lab camera echoes datagrams on this port.
inline constexpr std::uint16_t kEchoPort = 7;

enum class Reach { Answered, Unreachable, NoAnswer };
std::ostream& operator<<(std::ostream& out, Reach reach);

// Sends one datagram by unicast to the echo at `address` and waits for its
// echo or for the system's report that the address cannot be reached (after
// its neighbour discovery gives up); NoAnswer if neither comes in time.
Reach probeEcho(const std::string& address);

// Sends `count` search requests to the discovery group as another PC on the
// same network would; the cameras answer to the group, so every program
// listening there hears the answers.
void searchFromThePc(int count);

// The PC's second adapter, on the cameras' network, in a lab built with
// --office; the lab's `unplug` and `plug` take it out and put it back.
inline constexpr const char* kCameraWire = "eth1";

// Runs `tovalen-lab ACTION` (the script in $TOVALEN_LAB_SCRIPT) on this lab;
// true if it succeeded.
bool runLabAction(const std::string& action);

// UDP datagrams read so far by the programs of this namespace: the system
// counts a datagram when a program reads it.
std::uint64_t udpDatagramsRead();

// Datagrams this namespace's kernel dropped so far because no route leads
// back to their source (the reverse-path filter).
std::uint64_t reversePathDrops();

// Sets this namespace's reverse-path filter (0 off, 1 strict, 2 loose) on
// every interface; true if it could.
bool setReversePathFilter(int mode);

}  // namespace labtest
