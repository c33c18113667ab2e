// Shared pieces of the button's unit tests: a host that records what the
// control asks of it, an observer that records the events in order, and a
// button on a fake surface.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controls/candy_button.h"
#include "fakes/fake_drawing_surface.h"

namespace vorela::testing {

class RecordingHost : public CandyButtonHost {
 public:
  bool UserMode() const override { return user_mode; }
  FontSpec AmbientFont() const override { return ambient; }
  bool BackgroundColor(Color* color) const override {
    *color = Rgb(236, 233, 216);
    return true;
  }
  void PropertyChanged() override { ++changes; }
  void SetCursor(bool hand) override { cursors.push_back(hand); }

  bool user_mode = true;
  FontSpec ambient{"MS UI Gothic", 9};
  int changes = 0;
  std::vector<bool> cursors;
};

class EventRecorder : public CandyButtonEvents {
 public:
  void Click() override { log.push_back("Click"); }
  void DblClick() override { log.push_back("DblClick"); }
  void MouseEnter() override { log.push_back("MouseEnter"); }
  void MouseLeave() override { log.push_back("MouseLeave"); }
  void MouseDown(std::int16_t b, std::int16_t s, float x, float y) override {
    log.push_back("MouseDown " + Args(b, s, x, y));
  }
  void MouseMove(std::int16_t b, std::int16_t s, float x, float y) override {
    log.push_back("MouseMove " + Args(b, s, x, y));
  }
  void MouseUp(std::int16_t b, std::int16_t s, float x, float y) override {
    log.push_back("MouseUp " + Args(b, s, x, y));
  }
  std::vector<std::string> log;

 private:
  static std::string Args(int b, int s, float x, float y) {
    return std::to_string(b) + " " + std::to_string(s) + " " +
           std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y));
  }
};

struct ButtonRig {
  explicit ButtonRig(int width = 75, int height = 23, bool user_mode = true) {
    host.user_mode = user_mode;
    auto fake = std::make_unique<FakeDrawingSurface>();
    fake->Resize(width, height);
    surface = fake.get();
    button = std::make_unique<CandyButton>("cmdOK", host, std::move(fake));
    button->SetEvents(&events);
  }
  RecordingHost host;
  EventRecorder events;
  FakeDrawingSurface* surface = nullptr;
  std::unique_ptr<CandyButton> button;
};

}  // namespace vorela::testing
