// CandyButton: the owner-drawn push button of the menu tool's windows.
//
// The control keeps its properties, decides which look to draw from the input
// it is handed (the visual-state machine), raises its events synchronously to
// one observer, and paints itself on its own drawing surface. The host (the
// window that places it) hands it input as the platform reports it, reads and
// writes its properties through a PropertyStore, and learns from
// PropertyChanged when the form should be saved.
//
// Visual states: 0 normal, 1 pressed, 2 focused, 3 hover, 4 checked. While
// Checked is true every redraw uses state 4; before the properties have been
// initialised or loaded (the ready flag) redraws are ignored.
//
// Mouse-enter and mouse-leave come from the button's window messages, routed
// to the hover tracking (controls/subclass_tracking.h) when the stored
// properties are loaded in run mode; without tracking the button works as a
// button but has no hover look.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/button_colors.h"
#include "controls/property_store.h"
#include "platform/drawing_surface.h"

namespace vorela {

class EventLog;
class Ui;
class WindowSystem;
namespace controls {
class ErrorReport;
class MouseTracking;
}  // namespace controls

// The platform pieces the button's hover tracking needs in run mode: the
// window system for routing and tracking, and where errors are reported.
struct ButtonPlatform {
  WindowSystem* windows = nullptr;
  EventLog* log = nullptr;
  Ui* ui = nullptr;
};

enum ButtonState : std::int32_t {
  kStateNormal = 0,
  kStatePressed = 1,
  kStateFocused = 2,
  kStateHover = 3,
  kStateChecked = 4,
};

// The control's events, delivered synchronously. Button is the mouse-button
// mask, shift the modifier mask; x and y are in pixels (the scale unit).
class CandyButtonEvents {
 public:
  virtual ~CandyButtonEvents() = default;
  virtual void Click() {}
  virtual void DblClick() {}
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual void MouseDown(std::int16_t button, std::int16_t shift, float x, float y) {}
  virtual void MouseMove(std::int16_t button, std::int16_t shift, float x, float y) {}
  virtual void MouseUp(std::int16_t button, std::int16_t shift, float x, float y) {}
};

// What the control asks of the form that holds it.
class CandyButtonHost {
 public:
  virtual ~CandyButtonHost() = default;
  // Run mode (true) or design time.
  virtual bool UserMode() const = 0;
  // The form's font, the default of the caption font in stored forms.
  virtual FontSpec AmbientFont() const = 0;
  // The form's background colour; false when it cannot be read.
  virtual bool BackgroundColor(Color* color) const = 0;
  // The control's properties changed: the form should be saved.
  virtual void PropertyChanged() = 0;
  // The hand (true) or arrow cursor over the control's window.
  virtual void SetCursor(bool hand) {}
};

class CandyButton {
 public:
  static constexpr std::string_view kTypeName = "CandyButton";

  // name is the instance name the host gives the control. The surface is the
  // control's own; its size is the client size.
  CandyButton(std::string name, CandyButtonHost& host,
              std::unique_ptr<DrawingSurface> surface);
  ~CandyButton();
  CandyButton(const CandyButton&) = delete;
  CandyButton& operator=(const CandyButton&) = delete;

  void SetEvents(CandyButtonEvents* events) { events_ = events; }
  const std::string& Name() const { return name_; }
  DrawingSurface& Surface() { return *surface_; }
  const DrawingSurface& Surface() const { return *surface_; }

  // Lifecycle.
  void InitProperties();  // a new instance placed by the host
  void ReadProperties(const PropertyStore& store);
  void WriteProperties(PropertyStore& store) const;
  // Mouse-leave tracking and routing of the button's window messages, set up
  // when the stored properties are loaded in run mode. Without a window
  // system (or without a window attached to the surface) the button has no
  // hover behaviour.
  void SetPlatform(const ButtonPlatform& platform) { platform_ = platform; }

  // Properties.
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  const FontSpec& Font() const { return font_; }
  void SetFont(const FontSpec& font);
  Color ForeColor() const { return fore_color_; }
  void SetForeColor(Color color);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::int32_t Style() const { return style_; }
  void SetStyle(std::int32_t style);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  std::int32_t ColorScheme() const { return color_scheme_; }
  void SetColorScheme(std::int32_t scheme);
  Color ColorButtonUp() const { return color_up_; }
  void SetColorButtonUp(Color color);
  Color ColorButtonHover() const { return color_hover_; }
  void SetColorButtonHover(Color color);
  Color ColorButtonDown() const { return color_down_; }
  void SetColorButtonDown(Color color);
  Color ColorBright() const { return color_bright_; }
  void SetColorBright(Color color);
  std::int32_t BorderBrightness() const { return border_brightness_; }
  void SetBorderBrightness(std::int32_t value);
  const PictureRef& Picture() const { return picture_; }
  void SetPicture(PictureRef picture, std::string source = {});
  std::int32_t PictureAlignment() const { return picture_alignment_; }
  void SetPictureAlignment(std::int32_t alignment);
  bool IconHighLite() const { return icon_highlite_; }
  void SetIconHighLite(bool on);
  Color IconHighLiteColor() const { return icon_highlite_color_; }
  void SetIconHighLiteColor(Color color);
  bool CaptionHighLite() const { return caption_highlite_; }
  void SetCaptionHighLite(bool on);
  Color CaptionHighLiteColor() const { return caption_highlite_color_; }
  void SetCaptionHighLiteColor(Color color);
  bool DisplayHand() const { return display_hand_; }
  void SetDisplayHand(bool on);

  // Input as the platform reports it.
  void OnMouseDown(std::int16_t button, std::int16_t shift, float x, float y);
  void OnMouseMove(std::int16_t button, std::int16_t shift, float x, float y);
  void OnMouseUp(std::int16_t button, std::int16_t shift, float x, float y);
  void OnClick();
  void OnDblClick();
  void OnKeyDown(std::int32_t key_code, std::int16_t shift);
  void OnKeyUp(std::int32_t key_code, std::int16_t shift);
  void OnGotFocus();
  void OnLostFocus();
  // Resize and first show: new shape for the surface's size, state 0.
  void OnResize();

  // Painting (candy_button_paint.cpp).
  void Redraw(std::int32_t state);
  void SetButtonShape();
  void DrawIconWCaption(std::int32_t state);
  Color BlendColors(Color color1, Color color2, int percentage) const;
  RgbChannels GetRGB(Color color) const;

  // What the control is doing, for hosts that describe it and for checks.
  bool MouseOver() const;
  bool HasFocus() const { return focus_; }
  bool Ready() const { return ready_; }
  bool TrackingAvailable() const { return tracking_available_; }
  bool TrackingFromUser32() const { return tracking_from_user32_; }
  std::int32_t CornerRadius() const { return radius_; }
  const Region* InnerRegion() const { return inner_region_.get(); }
  // The state of the last redraw that painted (-1 before the first) and the
  // number of such redraws.
  std::int32_t LastPaintedState() const { return last_painted_state_; }
  std::uint64_t PaintCount() const { return paint_count_; }
  // The looks painted so far, each change once (the first 64 changes).
  const std::vector<std::int32_t>& PaintedStates() const { return painted_states_; }

  // Colour translation used by GetRGB (the platform's by default).
  void SetColorTranslator(ColorTranslator translate) { translate_ = std::move(translate); }

 private:
  class TrackingBridge;
  void Changed() { host_.PropertyChanged(); }
  void StartTracking();
  void PaintStandard(std::int32_t state);
  void PaintFlat(std::int32_t state);
  void PaintGloss(std::int32_t state);
  void PaintGel(std::int32_t state);
  Color StateBodyColor(std::int32_t state) const;

  std::string name_;
  CandyButtonHost& host_;
  std::unique_ptr<DrawingSurface> surface_;
  CandyButtonEvents* events_ = nullptr;
  ButtonPlatform platform_;
  ColorTranslator translate_;

  std::string caption_;
  std::string picture_source_;
  FontSpec font_;
  Color fore_color_ = kBlack;
  bool enabled_ = true;
  std::int32_t style_ = 0;
  bool checked_ = false;
  std::int32_t color_scheme_ = 0;
  Color color_up_ = Rgb(80, 153, 233);
  Color color_hover_ = Rgb(144, 192, 255);
  Color color_down_ = Rgb(80, 153, 233);
  Color color_bright_ = Rgb(176, 237, 255);
  std::int32_t border_brightness_ = 0;
  PictureRef picture_;
  std::int32_t picture_alignment_ = 0;
  bool icon_highlite_ = false;
  Color icon_highlite_color_ = kBlack;
  bool caption_highlite_ = false;
  Color caption_highlite_color_ = kBlack;
  bool display_hand_ = false;

  bool focus_ = false;
  bool ready_ = false;
  bool tracking_available_ = false;
  bool tracking_from_user32_ = false;
  std::int32_t radius_ = 0;
  std::unique_ptr<Region> inner_region_;
  // Size and radius of the outline last handed to the window.
  int outline_width_ = -1;
  int outline_height_ = -1;
  int outline_radius_ = -1;
  std::unique_ptr<TrackingBridge> bridge_;
  std::unique_ptr<controls::ErrorReport> report_;
  std::unique_ptr<controls::MouseTracking> tracking_;

  std::int32_t last_painted_state_ = -1;
  std::uint64_t paint_count_ = 0;
  std::vector<std::int32_t> painted_states_;
};

}  // namespace vorela
