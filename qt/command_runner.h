// The network check's fixes run in Qt: a process, waited for.
#pragma once

#include "pages/network_check.h"
#include "qt/res_names.h"

namespace qtui {

class CommandRunner : public pages::CommandRunner {
 public:
  // True when the program started and exited with status 0.
  bool run(const std::vector<std::string>& argv) override;
};

}  // namespace qtui
