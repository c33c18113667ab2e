// A user interface that records each message it is asked to show and answers OK.
#pragma once

#include <string>
#include <vector>

#include "platform/ui.h"

namespace vorela::testing {

class RecordingUi : public Ui {
 public:
  std::vector<std::string> shown;  // "title: text"
  int ShowMessage(std::string_view text, std::string_view title,
                  std::uint32_t) override {
    shown.push_back(std::string(title) + ": " + std::string(text));
    return kIdOk;
  }
};

}  // namespace vorela::testing
