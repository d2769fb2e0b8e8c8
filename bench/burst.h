// Cameras for the benchmark: every search on the loopback wire is answered
// by N distinct cameras at once, N replies sent to the discovery group as
// fast as one sender can go.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "discovery/protocol.h"

namespace testsupport {
class SearchResponder;
}

namespace bench {

class Cameras {
 public:
  explicit Cameras(std::size_t count);
  ~Cameras();
  bool ok() const;
  std::size_t searchesAnswered() const;

 private:
  std::vector<discovery::Bytes> replies_;
  std::unique_ptr<testsupport::SearchResponder> responder_;
};

}  // namespace bench
