// The cameras of the lab and of tovalen-try (tools/lab), each in a subnet of
// its own, as the program lists them.
#pragma once

#include <array>

namespace testsupport {

struct LabCamera {
  const char* mac;
  const char* ip;
  const char* gateway;
};

inline constexpr std::array<LabCamera, 3> kLabCameraTexts{{{"02:00:0A:00:00:05", "10.0.0.5", "10.0.0.1"},
                                                           {"02:00:AC:10:05:14", "172.16.5.20", "172.16.5.1"},
                                                           {"02:00:C0:A8:32:1E", "192.168.50.30", "192.168.50.1"}}};

// The PC's gateway there, and the address the program proposes from it.
inline constexpr const char* kLabPcGateway = "192.168.1.1";
inline constexpr const char* kLabProposedAddress = "192.168.1.241";

}  // namespace testsupport
