#include "controls/installer_ok_button.h"

#include <string>
#include <utility>
#include <vector>

#include "controls/candy_button_window.h"
#include "controls/property_store.h"
#include "platform/event_log.h"
#include "platform/ui.h"
#include "platform/window_system.h"

namespace vorela {
namespace {

constexpr const char* kStateNames[] = {"normal", "pressed", "focused", "hover", "checked"};

// The installer window is the form: run mode, its font, its face colour.
class InstallerFormHost final : public CandyButtonHost {
 public:
  bool UserMode() const override { return true; }
  FontSpec AmbientFont() const override { return FontSpec{}; }
  bool BackgroundColor(Color* color) const override {
    return TranslateOleColor(SystemColor(kColorBtnFace), color);
  }
  void PropertyChanged() override {}
};

class CandyOkButton final : public InstallerOkButton, private CandyButtonEvents {
 public:
  CandyOkButton(WindowSystem& windows, EventLog& log, Ui& ui, std::string form_text)
      : windows_(windows), log_(log), ui_(ui), form_text_(std::move(form_text)) {}

  bool Create(std::uintptr_t parent, int x, int y, int width, int height,
              std::string_view caption, std::function<void()> clicked) override {
    clicked_ = std::move(clicked);
    window_ = std::make_unique<CandyButtonWindow>(windows_, static_cast<WindowHandle>(parent),
                                                  WindowRect{x, y, width, height}, "cmdOK", host_);
    if (!window_->Handle()) {
      window_.reset();
      return false;
    }
    CandyButton& button = window_->Button();
    button.SetEvents(this);
    button.SetPlatform(ButtonPlatform{&windows_, &log_, &ui_});
    button.Surface().SetBackColor(SystemColor(kColorBtnFace));
    PropertyStore store = PropertyStore::FromFormText(form_text_);
    // The window's caption table may name the button; the form's caption is
    // the fallback when it does not.
    if (!caption.empty() && !store.Contains("Caption")) store.Write("Caption", std::string(caption));
    button.ReadProperties(store);
    button.OnResize();  // first show
    return true;
  }

  std::uintptr_t Handle() const override {
    return window_ ? static_cast<std::uintptr_t>(window_->Handle()) : 0;
  }

  std::string Describe() const override {
    if (!window_) return "(no button)";
    const CandyButton& b = window_->Button();
    std::string text = b.Caption() + " (CandyButton, style " + std::to_string(b.Style());
    text += ", scheme " + std::to_string(b.ColorScheme()) + "; looks:";
    for (std::int32_t state : b.PaintedStates()) {
      text += " ";
      text += state >= 0 && state <= 4 ? kStateNames[state] : std::to_string(state).c_str();
    }
    text += clicks_ > 0 ? "; pressed)" : ")";
    return text;
  }

 private:
  void Click() override {
    ++clicks_;
    if (clicked_) clicked_();
  }

  WindowSystem& windows_;
  EventLog& log_;
  Ui& ui_;
  std::string form_text_;
  InstallerFormHost host_;
  std::unique_ptr<CandyButtonWindow> window_;
  std::function<void()> clicked_;
  int clicks_ = 0;
};

}  // namespace

std::unique_ptr<InstallerOkButton> MakeCandyOkButton(WindowSystem& windows, EventLog& log, Ui& ui,
                                                     std::string_view form_text) {
  return std::make_unique<CandyOkButton>(windows, log, ui, std::string(form_text));
}

std::unique_ptr<InstallerOkButton> MakeCandyOkButton() {
  return MakeCandyOkButton(SystemWindowSystem(), SystemEventLog(), SystemUi(),
                           InstallerOkButtonForm());
}

}  // namespace vorela
