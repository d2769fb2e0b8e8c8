// Stands in for message boxes: records what would have been shown and answers
// with a scripted button.
#pragma once

#include <vector>

#include "qt/message_box.h"

namespace testsupport {

class FakePresenter : public ui::MessagePresenter {
 public:
  ui::MessageResult show(const ui::MessageRequest& request) override {
    shown.push_back(request);
    return answer;
  }

  ui::MessageResult answer = ui::MessageResult::Ok;
  std::vector<ui::MessageRequest> shown;
};

}  // namespace testsupport
