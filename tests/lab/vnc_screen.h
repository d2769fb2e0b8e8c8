// The screen of a program started on Qt's VNC platform
// (QT_QPA_PLATFORM=vnc:port=N), seen and typed on the way a remote user does:
// a minimal RFB 3.3 client with raw pixels. It lets a test look at a real
// process's windows and press keys in them, with nothing added to the
// program.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace labtest {

// X11 key symbols, as RFB carries keys.
inline constexpr std::uint32_t kKeyReturn = 0xFF0D;
inline constexpr std::uint32_t kKeyEscape = 0xFF1B;

// The smallest rectangle holding every pixel that is not black.
struct PaintedArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int size() const { return width * height; }
  friend bool operator==(const PaintedArea&, const PaintedArea&) = default;
  friend std::ostream& operator<<(std::ostream& out, const PaintedArea& area) {
    return out << area.width << "x" << area.height << " at " << area.left << "," << area.top;
  }
};

class VncScreen {
 public:
  VncScreen() = default;
  ~VncScreen();
  VncScreen(const VncScreen&) = delete;
  VncScreen& operator=(const VncScreen&) = delete;

  // Connects to 127.0.0.1:port, trying again until the program listens or
  // the timeout passes.
  bool connect(std::uint16_t port, std::chrono::milliseconds timeout);
  // Waits until a window is on the screen and returns what it covers.
  std::optional<PaintedArea> awaitPaintedArea(std::chrono::milliseconds timeout);
  // Presses and releases a key in the window that has the focus.
  bool pressKey(std::uint32_t keySymbol);

  const std::string& error() const { return error_; }

 private:
  using Deadline = std::chrono::steady_clock::time_point;
  bool handshake(Deadline deadline);
  bool requestUpdate(bool incremental);
  bool readUpdate(Deadline deadline);
  bool readExactly(void* data, std::size_t size, Deadline deadline);
  bool writeAll(const std::vector<std::uint8_t>& bytes);
  bool fail(const std::string& what);
  std::optional<PaintedArea> paintedArea() const;

  int socket_ = -1;
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, row by row
  std::string error_;
};

}  // namespace labtest
