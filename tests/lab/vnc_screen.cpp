#include "lab/vnc_screen.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace labtest {
namespace {

using Clock = std::chrono::steady_clock;

// Client-to-server message types of RFB.
constexpr std::uint8_t kSetPixelFormat = 0;
constexpr std::uint8_t kSetEncodings = 2;
constexpr std::uint8_t kUpdateRequest = 3;
constexpr std::uint8_t kKeyEvent = 4;
// Server-to-client message types.
constexpr std::uint8_t kFramebufferUpdate = 0;
constexpr std::uint8_t kBell = 2;
constexpr std::int32_t kRawEncoding = 0;
constexpr std::uint32_t kSecurityNone = 1;
constexpr auto kConnectRetry = std::chrono::milliseconds(20);

void put16(std::vector<std::uint8_t>& bytes, std::uint16_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
  bytes.push_back(static_cast<std::uint8_t>(value));
}

void put32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  put16(bytes, static_cast<std::uint16_t>(value >> 16));
  put16(bytes, static_cast<std::uint16_t>(value));
}

std::uint16_t get16(const std::uint8_t* bytes) { return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]); }

std::uint32_t get32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(get16(bytes)) << 16 | get16(bytes + 2);
}

int millisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::max<decltype(left)>(left, 0));
}

}  // namespace

VncScreen::~VncScreen() {
  if (socket_ >= 0) close(socket_);
}

bool VncScreen::fail(const std::string& what) {
  error_ = what;
  return false;
}

bool VncScreen::connect(std::uint16_t port, std::chrono::milliseconds timeout) {
  const Deadline deadline = Clock::now() + timeout;
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(port);
  server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  // The program opens its screen's port while it starts: until then the
  // connection is refused, and the only way to know is to try again.
  for (;;) {
    socket_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&server), sizeof server) == 0) break;
    const std::string reason = std::strerror(errno);
    close(socket_);
    socket_ = -1;
    if (Clock::now() >= deadline) return fail("cannot connect to port " + std::to_string(port) + ": " + reason);
    std::this_thread::sleep_for(kConnectRetry);
  }
  return handshake(deadline);
}

bool VncScreen::handshake(Deadline deadline) {
  char version[12];
  if (!readExactly(version, sizeof version, deadline)) return false;
  if (std::memcmp(version, "RFB 003.", 8) != 0) return fail("not an RFB server");
  const std::string ours = "RFB 003.003\n";
  if (!writeAll({ours.begin(), ours.end()})) return false;
  std::uint8_t security[4];
  if (!readExactly(security, sizeof security, deadline)) return false;
  if (get32(security) != kSecurityNone) return fail("the server asks for authentication");
  const std::uint8_t shared = 1;
  if (!writeAll({shared})) return false;
  std::uint8_t init[24];
  if (!readExactly(init, sizeof init, deadline)) return false;
  width_ = get16(init);
  height_ = get16(init + 2);
  std::vector<char> name(get32(init + 20));
  if (!readExactly(name.data(), name.size(), deadline)) return false;
  pixels_.assign(static_cast<std::size_t>(width_) * height_, 0);

  // 32 bits per pixel, little-endian 0x00RRGGBB, true colour; raw pixels only.
  std::vector<std::uint8_t> format{kSetPixelFormat, 0, 0, 0, 32, 24, 0, 1};
  put16(format, 255);
  put16(format, 255);
  put16(format, 255);
  format.insert(format.end(), {16, 8, 0, 0, 0, 0});
  std::vector<std::uint8_t> encodings{kSetEncodings, 0};
  put16(encodings, 1);
  put32(encodings, static_cast<std::uint32_t>(kRawEncoding));
  return writeAll(format) && writeAll(encodings);
}

bool VncScreen::requestUpdate(bool incremental) {
  std::vector<std::uint8_t> request{kUpdateRequest, static_cast<std::uint8_t>(incremental)};
  put16(request, 0);
  put16(request, 0);
  put16(request, static_cast<std::uint16_t>(width_));
  put16(request, static_cast<std::uint16_t>(height_));
  return writeAll(request);
}

bool VncScreen::readUpdate(Deadline deadline) {
  for (;;) {
    std::uint8_t type = 0;
    if (!readExactly(&type, 1, deadline)) return false;
    if (type == kBell) continue;
    if (type != kFramebufferUpdate) return fail("unexpected server message " + std::to_string(type));
    std::uint8_t header[3];
    if (!readExactly(header, sizeof header, deadline)) return false;
    for (int count = get16(header + 1); count > 0; --count) {
      std::uint8_t rect[12];
      if (!readExactly(rect, sizeof rect, deadline)) return false;
      const int x = get16(rect), y = get16(rect + 2), w = get16(rect + 4), h = get16(rect + 6);
      if (static_cast<std::int32_t>(get32(rect + 8)) != kRawEncoding || x + w > width_ || y + h > height_)
        return fail("unexpected rectangle in an update");
      for (int row = y; row < y + h; ++row)
        if (!readExactly(&pixels_[static_cast<std::size_t>(row) * width_ + x], w * sizeof(std::uint32_t), deadline))
          return false;
    }
    return true;
  }
}

std::optional<PaintedArea> VncScreen::paintedArea() const {
  int left = width_, top = height_, right = -1, bottom = -1;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      if ((pixels_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF) == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  if (right < 0) return std::nullopt;
  return PaintedArea{left, top, right - left + 1, bottom - top + 1};
}

std::optional<PaintedArea> VncScreen::awaitPaintedArea(std::chrono::milliseconds timeout) {
  const Deadline deadline = Clock::now() + timeout;
  // The first update is the whole screen; each later one comes only once the
  // screen has changed.
  for (bool incremental = false;; incremental = true) {
    if (!requestUpdate(incremental) || !readUpdate(deadline)) return std::nullopt;
    if (const auto area = paintedArea()) return area;
  }
}

bool VncScreen::pressKey(std::uint32_t keySymbol) {
  for (const std::uint8_t down : {1, 0}) {
    std::vector<std::uint8_t> event{kKeyEvent, down, 0, 0};
    put32(event, keySymbol);
    if (!writeAll(event)) return false;
  }
  return true;
}

bool VncScreen::readExactly(void* data, std::size_t size, Deadline deadline) {
  auto* bytes = static_cast<std::uint8_t*>(data);
  while (size > 0) {
    pollfd readable{socket_, POLLIN, 0};
    if (poll(&readable, 1, millisecondsUntil(deadline)) != 1) return fail("the screen did not answer in time");
    const ssize_t got = recv(socket_, bytes, size, 0);
    if (got <= 0) return fail("the screen's connection closed");
    bytes += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

bool VncScreen::writeAll(const std::vector<std::uint8_t>& bytes) {
  if (send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size())) return true;
  return fail(std::string("cannot write to the screen: ") + std::strerror(errno));
}

}  // namespace labtest
