// CandyButton: hover tracking. In run mode the button's window is routed to a
// MouseTracking, which calls back through this bridge for the shape, the
// redraws and the two events.
#include "controls/candy_button.h"
#include "controls/subclass_report.h"
#include "controls/subclass_tracking.h"

namespace vorela {

class CandyButton::TrackingBridge final : public controls::TrackingHost {
 public:
  explicit TrackingBridge(CandyButton& button) : button_(button) {}
  virtual ~TrackingBridge() = default;

  void RebuildShape() override { button_.SetButtonShape(); }
  void Redraw(int state) override { button_.Redraw(state); }
  bool IsChecked() const override { return button_.checked_; }
  bool HasFocus() const override { return button_.focus_; }
  int ClientWidth() const override { return button_.surface_->Width(); }
  int ClientHeight() const override { return button_.surface_->Height(); }
  // A disabled button raises none of its events.
  void RaiseMouseEnter() override {
    if (button_.enabled_ && button_.events_) button_.events_->MouseEnter();
  }
  void RaiseMouseLeave() override {
    if (button_.enabled_ && button_.events_) button_.events_->MouseLeave();
  }

 private:
  CandyButton& button_;
};

CandyButton::CandyButton(std::string name, CandyButtonHost& host,
                         std::unique_ptr<DrawingSurface> surface)
    : name_(std::move(name)), host_(host), surface_(std::move(surface)) {
  if (!surface_) surface_ = CreateDrawingSurface();
  surface_->SetFont(font_);
  surface_->SetForeColor(fore_color_);
}

CandyButton::~CandyButton() {
  // Routing ends before anything it could call back into goes away.
  tracking_.reset();
  report_.reset();
  bridge_.reset();
  inner_region_.reset();
}

void CandyButton::StartTracking() {
  const auto window = static_cast<WindowHandle>(surface_->Window());
  if (tracking_ || !platform_.windows || !platform_.log || !platform_.ui || !window) return;
  bridge_ = std::make_unique<TrackingBridge>(*this);
  report_ = std::make_unique<controls::ErrorReport>(*platform_.log, *platform_.ui);
  tracking_ = std::make_unique<controls::MouseTracking>(*platform_.windows, *report_, *bridge_);
  tracking_available_ = tracking_->Start(window);
  tracking_from_user32_ = tracking_->from_user32();
  if (!tracking_available_) tracking_.reset();
}

}  // namespace vorela
