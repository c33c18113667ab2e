// CandyButton: properties, the visual-state machine, events and persistence.
// Painting lives in candy_button_paint.cpp and the painters' own files.
#include "controls/candy_button.h"

#include <algorithm>
#include <utility>

#include "controls/subclass_report.h"
#include "controls/subclass_tracking.h"

namespace vorela {
namespace {

constexpr std::int32_t kKeyEnter = 13;
constexpr std::int16_t kLeftButton = 1;
constexpr Color kDefaultUp = Rgb(80, 153, 233);
constexpr Color kDefaultHover = Rgb(144, 192, 255);
constexpr Color kDefaultDown = Rgb(80, 153, 233);
constexpr Color kDefaultBright = Rgb(176, 237, 255);
// Stored forms default the highlight colours to green, unlike a new instance.
constexpr Color kStoredHighLiteDefault = Rgb(0, 255, 0);

std::int32_t AsInt(Color color) { return static_cast<std::int32_t>(color); }
Color AsColor(std::int32_t value) { return static_cast<Color>(value); }

}  // namespace

bool CandyButton::MouseOver() const { return tracking_ && tracking_->mouse_over(); }

// --- Lifecycle -------------------------------------------------------------

void CandyButton::InitProperties() {
  if (!host_.UserMode()) {
    color_up_ = kDefaultUp;
    color_down_ = kDefaultDown;
    color_hover_ = kDefaultHover;
    color_bright_ = kDefaultBright;
    enabled_ = true;
    surface_->Clear();
  }
  caption_ = name_;
  ready_ = true;
}

void CandyButton::ReadProperties(const PropertyStore& store) {
  // Values are stored as read: no setter runs, so the colours read here do
  // not reset the scheme read after them.
  enabled_ = store.ReadBool("Enabled", true);
  font_ = store.ReadFont("Font", host_.AmbientFont());
  surface_->SetFont(font_);
  caption_ = store.ReadString("Caption", name_);
  caption_highlite_ = store.ReadBool("CaptionHighLite", false);
  caption_highlite_color_ =
      AsColor(store.ReadInt("CaptionHighLiteColor", AsInt(kStoredHighLiteDefault)));
  icon_highlite_ = store.ReadBool("IconHighLite", false);
  icon_highlite_color_ =
      AsColor(store.ReadInt("IconHighLiteColor", AsInt(kStoredHighLiteDefault)));
  fore_color_ = AsColor(store.ReadInt("ForeColor", 0));
  picture_ = store.ReadPicture("Picture");
  picture_source_.clear();
  if (const PropertyValue* value = store.Find("Picture")) {
    if (const auto* stored = std::get_if<StoredPicture>(value)) {
      picture_source_ = stored->source;
    }
  }
  picture_alignment_ = store.ReadInt("PictureAlignment", 0);
  style_ = store.ReadInt("Style", 0);
  checked_ = store.ReadBool("Checked", checked_);
  color_hover_ = AsColor(store.ReadInt("ColorButtonHover", AsInt(kDefaultHover)));
  color_up_ = AsColor(store.ReadInt("ColorButtonUp", AsInt(kDefaultUp)));
  color_down_ = AsColor(store.ReadInt("ColorButtonDown", AsInt(kDefaultDown)));
  color_bright_ = AsColor(store.ReadInt("ColorBright", AsInt(kDefaultBright)));
  border_brightness_ = store.ReadInt("BorderBrightness", 0);
  display_hand_ = store.ReadBool("DisplayHand", false);
  color_scheme_ = store.ReadInt("ColorScheme", 0);

  host_.SetCursor(display_hand_);
  surface_->SetForeColor(fore_color_);
  if (host_.UserMode()) StartTracking();
  ready_ = true;
}

void CandyButton::WriteProperties(PropertyStore& store) const {
  const FontSpec ambient = host_.AmbientFont();
  store.Write("Enabled", enabled_, true);
  store.Write("Font", font_, ambient);
  store.Write("Caption", caption_, name_);
  store.Write("IconHighLite", icon_highlite_, false);
  store.Write("IconHighLiteColor", AsInt(icon_highlite_color_), AsInt(kStoredHighLiteDefault));
  store.Write("CaptionHighLite", caption_highlite_, false);
  store.Write("CaptionHighLiteColor", AsInt(caption_highlite_color_),
              AsInt(kStoredHighLiteDefault));
  store.Write("ForeColor", AsInt(fore_color_), 0);
  store.Write("Picture", StoredPicture{picture_, picture_source_}, StoredPicture{});
  store.Write("PictureAlignment", picture_alignment_, 0);
  store.Write("Style", style_, 0);
  store.Write("Checked", checked_);
  store.Write("ColorButtonHover", AsInt(color_hover_));
  store.Write("ColorButtonUp", AsInt(color_up_));
  store.Write("ColorButtonDown", AsInt(color_down_));
  store.Write("BorderBrightness", border_brightness_);
  store.Write("ColorBright", AsInt(color_bright_));
  store.Write("DisplayHand", display_hand_);
  store.Write("ColorScheme", color_scheme_);
}

// --- Setters ---------------------------------------------------------------

void CandyButton::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetFont(const FontSpec& font) {
  font_ = font;
  surface_->SetFont(font_);
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetForeColor(Color color) {
  fore_color_ = color;
  surface_->SetForeColor(color);
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetStyle(std::int32_t style) {
  if (style == style_) return;
  style_ = style;
  SetButtonShape();
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetChecked(bool checked) {
  checked_ = checked;
  Redraw(checked_ ? kStateChecked : MouseOver() ? kStateHover : kStateNormal);
  Changed();
}

void CandyButton::SetColorScheme(std::int32_t scheme) {
  if (const SchemeColors* colors = BuiltInScheme(scheme)) {
    SetColorButtonUp(colors->up);
    SetColorButtonHover(colors->hover);
    SetColorButtonDown(colors->down);
    SetColorBright(colors->bright);
  }
  color_scheme_ = scheme;
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetColorButtonUp(Color color) {
  color_up_ = color;
  color_scheme_ = 0;
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetColorButtonHover(Color color) {
  color_hover_ = color;
  color_scheme_ = 0;
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetColorButtonDown(Color color) {
  color_down_ = color;
  color_scheme_ = 0;
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetColorBright(Color color) {
  color_bright_ = color;
  color_scheme_ = 0;
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetBorderBrightness(std::int32_t value) {
  border_brightness_ = std::clamp(value, -100, 100);
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetPicture(PictureRef picture, std::string source) {
  picture_ = std::move(picture);
  picture_source_ = picture_ ? std::move(source) : std::string();
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetPictureAlignment(std::int32_t alignment) {
  if (alignment == picture_alignment_) return;
  picture_alignment_ = alignment;
  Redraw(kStateNormal);
  Changed();
}

void CandyButton::SetIconHighLite(bool on) {
  icon_highlite_ = on;
  Changed();
}

void CandyButton::SetIconHighLiteColor(Color color) {
  icon_highlite_color_ = color;
  Changed();
}

void CandyButton::SetCaptionHighLite(bool on) {
  caption_highlite_ = on;
  Changed();
}

void CandyButton::SetCaptionHighLiteColor(Color color) {
  caption_highlite_color_ = color;
  Changed();
}

void CandyButton::SetDisplayHand(bool on) { display_hand_ = on; }

// --- Input -----------------------------------------------------------------

void CandyButton::OnMouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
  if (!enabled_) return;
  focus_ = true;
  Redraw(kStatePressed);
  if (events_) events_->MouseDown(button, shift, x, y);
}

void CandyButton::OnMouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
  if (!enabled_) return;
  if (events_) events_->MouseMove(button, shift, x, y);
  const float width = static_cast<float>(surface_->Width());
  const float height = static_cast<float>(surface_->Height());
  if (button == kLeftButton && (x < 0 || x > width || y < 0 || y > height)) {
    // Dragging off a pressed button releases its look.
    if (tracking_) tracking_->set_mouse_over(false);
    Redraw(kStateNormal);
  }
}

void CandyButton::OnMouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
  if (!enabled_) return;
  if (!checked_) {
    if (MouseOver()) {
      Redraw(kStateHover);
    } else if (focus_) {
      Redraw(kStateFocused);
    }
  }
  if (events_) events_->MouseUp(button, shift, x, y);
}

void CandyButton::OnClick() {
  if (!enabled_) return;
  if (events_) events_->Click();
}

void CandyButton::OnDblClick() {
  if (!enabled_) return;
  Redraw(kStatePressed);
  if (events_) events_->DblClick();
}

void CandyButton::OnKeyDown(std::int32_t key_code, std::int16_t shift) {
  if (key_code == kKeyEnter) OnMouseDown(kLeftButton, 0, 0, 0);
}

void CandyButton::OnKeyUp(std::int32_t key_code, std::int16_t shift) {
  if (key_code != kKeyEnter) return;
  OnMouseUp(kLeftButton, 0, 0, 0);
  OnClick();
}

void CandyButton::OnGotFocus() {
  focus_ = true;
  if (enabled_ && !checked_ && !MouseOver()) Redraw(kStateFocused);
}

void CandyButton::OnLostFocus() {
  focus_ = false;
  if (enabled_ && !checked_) Redraw(kStateNormal);
}

void CandyButton::OnResize() {
  SetButtonShape();
  Redraw(kStateNormal);
}

}  // namespace vorela
