// CandyButton: the redraw sequence, the window outline and the placement of
// picture and caption. The body painters are in painter_*.cpp.
#include <cstdlib>

#include "controls/button_geometry.h"
#include "controls/candy_button.h"
#include "controls/round_region.h"

namespace vorela {

Color CandyButton::BlendColors(Color color1, Color color2, int percentage) const {
  return vorela::BlendColors(color1, color2, percentage, translate_);
}

RgbChannels CandyButton::GetRGB(Color color) const { return vorela::GetRGB(color, translate_); }

void CandyButton::Redraw(std::int32_t state) {
  if (checked_) state = kStateChecked;
  if (!ready_) return;
  surface_->Clear();
  switch (style_) {
    case 0:
      PaintStandard(state);
      break;
    case 1:
      PaintFlat(state);
      break;
    case 2:
    case 3:
    case 4:
    case 5:
    case 7:
      PaintGloss(state);
      break;
    case 6:
      PaintGel(state);
      break;
    default:
      break;  // unknown styles get no body
  }
  DrawIconWCaption(state);
  if (state != last_painted_state_ && painted_states_.size() < 64) {
    painted_states_.push_back(state);
  }
  last_painted_state_ = state;
  ++paint_count_;
}

void CandyButton::SetButtonShape() {
  inner_region_.reset();
  const int width = surface_->Width();
  const int height = surface_->Height();
  radius_ = CornerRadiusFor(style_, width, height, radius_);
  if (HasRoundedOutline(style_)) {
    // The window keeps its outline between paints; handing it an equal one
    // again would only make it repaint for nothing.
    if (!surface_->WindowRegion() || outline_width_ != width || outline_height_ != height ||
        outline_radius_ != radius_) {
      surface_->SetWindowRegion(MakeRoundRegion(0, 0, width, height, radius_), true);
      outline_width_ = width;
      outline_height_ = height;
      outline_radius_ = radius_;
    }
    inner_region_ = MakeRoundRegion(1, 1, width - 2, height - 2, radius_);
  } else if (surface_->WindowRegion()) {
    surface_->SetWindowRegion(nullptr, true);
  }
}

void CandyButton::DrawIconWCaption(std::int32_t state) {
  const int width = surface_->Width();
  const int height = surface_->Height();
  int pw = 0;
  int ph = 0;
  if (picture_) {
    pw = Picture::HimetricToPixels(picture_->WidthHimetric());
    ph = Picture::HimetricToPixels(picture_->HeightHimetric());
  }
  int tw = 0;
  int th = 0;
  if (!caption_.empty()) {
    const TextExtent extent = surface_->MeasureText(caption_);
    tw = extent.width;
    th = extent.height;
  }
  int px = 0, py = 0, tx = 0, ty = 0;
  const int edge = radius_ == 0 ? 8 : radius_;
  switch (picture_alignment_) {
    case 0:  // picture above caption
      px = (width - pw) / 2 + 1;
      py = (height - (ph + th)) / 2 + 1;
      tx = std::abs(width / 2 - tw / 2);
      ty = std::abs(height / 2 + ph / 2 - th / 2);
      break;
    case 1:  // caption above picture
      px = (width - pw) / 2;
      py = (height - (ph - th)) / 2 + 1;
      tx = std::abs(width / 2 - tw / 2);
      ty = std::abs(height / 2 - (ph + th) / 2);
      break;
    case 2:  // picture at the left
      px = edge;
      py = (height - ph) / 2 + 1;
      tx = std::abs(width / 2 - tw / 2);
      ty = std::abs(height / 2 - th / 2);
      break;
    case 3:  // picture at the right
      px = width - edge - pw;
      py = (height - ph) / 2 + 1;
      tx = std::abs(width / 2 - tw / 2);
      ty = std::abs(height / 2 - th / 2);
      break;
    default:
      break;
  }
  if (state == kStatePressed) {
    ++px, ++py, ++tx, ++ty;
  }
  if (!caption_.empty()) {
    if (state == kStateHover && caption_highlite_) {
      const Color saved = surface_->ForeColor();
      surface_->SetForeColor(caption_highlite_color_);
      surface_->DrawText(tx, ty, caption_, !enabled_);
      surface_->SetForeColor(saved);
    } else {
      surface_->DrawText(tx, ty, caption_, !enabled_);
    }
  }
  if (picture_) {
    PictureLook look = PictureLook::kNormal;
    if (!enabled_) {
      look = PictureLook::kGreyed;
    } else if (state == kStateHover && icon_highlite_) {
      look = PictureLook::kSilhouette;
    }
    surface_->DrawPicture(*picture_, px, py, look, icon_highlite_color_);
  }
  surface_->Refresh();
}

}  // namespace vorela
