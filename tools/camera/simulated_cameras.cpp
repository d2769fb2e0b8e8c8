#include "tools/camera/simulated_cameras.h"

namespace camerasim {

std::vector<SimulatedCamera> generateCameras(const CameraRange& range) {
  std::vector<SimulatedCamera> cameras(range.count);
  for (std::size_t i = 0; i < range.count; ++i) {
    cameras[i].mac.assign(formatMac(offsetMac(range.firstMac, i)));
    cameras[i].address = offsetAddress(range.firstAddress, static_cast<std::uint32_t>(i));
    cameras[i].gateway = range.gateway;
  }
  return cameras;
}

}  // namespace camerasim
