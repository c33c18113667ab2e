// The button's setters, visual-state machine, events and lifecycle, on a fake
// surface (pixels are checked by the painting tests).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "controls/button_test_support.h"

namespace vorela {
namespace {

using testing::ButtonRig;
using ::testing::ElementsAre;

TEST(CandyButtonSetters, SchemeAssignsColoursAndAFreeColourResetsIt) {
  ButtonRig rig;
  rig.button->InitProperties();
  rig.button->SetColorScheme(3);
  EXPECT_EQ(rig.button->ColorScheme(), 3);
  EXPECT_EQ(rig.button->ColorButtonUp(), Rgb(0, 0, 128));
  EXPECT_EQ(rig.button->ColorButtonHover(), Rgb(0, 0, 160));
  EXPECT_EQ(rig.button->ColorButtonDown(), Rgb(0, 0, 240));
  EXPECT_EQ(rig.button->ColorBright(), Rgb(0, 0, 255));
  rig.button->SetColorButtonHover(Rgb(1, 2, 3));
  EXPECT_EQ(rig.button->ColorScheme(), 0);
  EXPECT_EQ(rig.button->ColorButtonUp(), Rgb(0, 0, 128));
  EXPECT_EQ(rig.button->ColorBright(), Rgb(0, 0, 255));
  // An unknown scheme is stored and changes no colour.
  rig.button->SetColorScheme(9);
  EXPECT_EQ(rig.button->ColorScheme(), 9);
  EXPECT_EQ(rig.button->ColorButtonHover(), Rgb(1, 2, 3));
}

TEST(CandyButtonSetters, BorderBrightnessIsClamped) {
  ButtonRig rig;
  rig.button->SetBorderBrightness(250);
  EXPECT_EQ(rig.button->BorderBrightness(), 100);
  rig.button->SetBorderBrightness(-250);
  EXPECT_EQ(rig.button->BorderBrightness(), -100);
  rig.button->SetBorderBrightness(-40);
  EXPECT_EQ(rig.button->BorderBrightness(), -40);
}

TEST(CandyButtonSetters, EqualStyleOrAlignmentDoesNothing) {
  ButtonRig rig;
  rig.button->InitProperties();
  rig.button->SetStyle(2);
  const auto paints = rig.button->PaintCount();
  const int regions = rig.surface->region_changes;
  const int changes = rig.host.changes;
  rig.button->SetStyle(2);
  rig.button->SetPictureAlignment(0);
  EXPECT_EQ(rig.button->PaintCount(), paints);
  EXPECT_EQ(rig.surface->region_changes, regions);
  EXPECT_EQ(rig.host.changes, changes);
}

TEST(CandyButtonSetters, EverySetterButDisplayHandAsksForASave) {
  ButtonRig rig;
  CandyButton& b = *rig.button;
  b.SetCaption("x");
  b.SetFont(FontSpec{"Tahoma", 10});
  b.SetForeColor(1);
  b.SetEnabled(true);
  b.SetStyle(1);
  b.SetChecked(false);
  b.SetColorButtonUp(1);
  b.SetBorderBrightness(3);
  b.SetPicture(nullptr);
  b.SetPictureAlignment(2);
  b.SetIconHighLite(true);
  b.SetIconHighLiteColor(2);
  b.SetCaptionHighLite(true);
  b.SetCaptionHighLiteColor(2);
  EXPECT_EQ(rig.host.changes, 14);
  b.SetDisplayHand(true);
  EXPECT_EQ(rig.host.changes, 14);
  EXPECT_TRUE(b.DisplayHand());
  // The scheme assigns four colours through their setters, then itself.
  b.SetColorScheme(1);
  EXPECT_EQ(rig.host.changes, 19);
}

TEST(CandyButtonSetters, FontAndForeColourReachTheSurface) {
  ButtonRig rig;
  rig.button->SetFont(FontSpec{"Verdana", 12, true});
  rig.button->SetForeColor(Rgb(9, 8, 7));
  EXPECT_EQ(rig.surface->Font().face, "Verdana");
  EXPECT_EQ(rig.surface->ForeColor(), Rgb(9, 8, 7));
}

TEST(CandyButtonStates, NothingPaintsBeforeTheReadyFlag) {
  ButtonRig rig;
  rig.button->Redraw(3);
  rig.button->SetCaption("early");
  EXPECT_EQ(rig.button->PaintCount(), 0u);
  rig.button->InitProperties();
  rig.button->Redraw(3);
  EXPECT_EQ(rig.button->LastPaintedState(), 3);
}

TEST(CandyButtonStates, PressReleaseAndFocus) {
  ButtonRig rig;
  rig.button->InitProperties();
  rig.button->OnMouseDown(1, 0, 5, 6);
  EXPECT_EQ(rig.button->LastPaintedState(), 1);
  EXPECT_TRUE(rig.button->HasFocus());
  rig.button->OnMouseUp(1, 0, 5, 6);
  EXPECT_EQ(rig.button->LastPaintedState(), 2);  // focused, mouse not over
  rig.button->OnLostFocus();
  EXPECT_EQ(rig.button->LastPaintedState(), 0);
  EXPECT_FALSE(rig.button->HasFocus());
  // A release without focus and without the mouse over redraws nothing.
  const auto paints = rig.button->PaintCount();
  rig.button->OnMouseUp(1, 0, 5, 6);
  EXPECT_EQ(rig.button->PaintCount(), paints);
  rig.button->OnGotFocus();
  EXPECT_EQ(rig.button->LastPaintedState(), 2);
  rig.button->OnDblClick();
  EXPECT_EQ(rig.button->LastPaintedState(), 1);
  EXPECT_THAT(rig.events.log,
              ElementsAre("MouseDown 1 0 5 6", "MouseUp 1 0 5 6", "MouseUp 1 0 5 6", "DblClick"));
}

TEST(CandyButtonStates, DragOffThePressedButtonReleasesItsLook) {
  ButtonRig rig(75, 23);
  rig.button->InitProperties();
  rig.button->OnMouseDown(1, 0, 10, 10);
  rig.button->OnMouseMove(1, 0, 75, 23);  // on the far edge: still inside
  EXPECT_EQ(rig.button->LastPaintedState(), 1);
  rig.button->OnMouseMove(2, 0, 80, 10);  // right button: no release
  EXPECT_EQ(rig.button->LastPaintedState(), 1);
  rig.button->OnMouseMove(1, 0, 76, 10);
  EXPECT_EQ(rig.button->LastPaintedState(), 0);
  rig.button->OnMouseDown(1, 0, 10, 10);
  rig.button->OnMouseMove(1, 0, 10, -1);
  EXPECT_EQ(rig.button->LastPaintedState(), 0);
  EXPECT_EQ(rig.events.log.size(), 6u);  // every move raised MouseMove
}

TEST(CandyButtonStates, CheckedKeepsItsLook) {
  ButtonRig rig;
  rig.button->InitProperties();
  rig.button->SetChecked(true);
  EXPECT_EQ(rig.button->LastPaintedState(), 4);
  rig.button->OnMouseDown(1, 0, 3, 3);
  EXPECT_EQ(rig.button->LastPaintedState(), 4);
  const auto paints = rig.button->PaintCount();
  rig.button->OnMouseUp(1, 0, 3, 3);
  rig.button->OnGotFocus();
  rig.button->OnLostFocus();
  EXPECT_EQ(rig.button->PaintCount(), paints);  // checked: no state redraws
  EXPECT_THAT(rig.events.log, ElementsAre("MouseDown 1 0 3 3", "MouseUp 1 0 3 3"));
  rig.button->SetChecked(false);
  EXPECT_EQ(rig.button->LastPaintedState(), 0);
}

TEST(CandyButtonStates, EnterPressesAndReleasesInOrder) {
  ButtonRig rig;
  rig.button->InitProperties();
  rig.button->OnKeyDown(13, 0);
  EXPECT_EQ(rig.button->LastPaintedState(), 1);
  rig.button->OnKeyUp(13, 0);
  rig.button->OnKeyDown(32, 0);
  rig.button->OnKeyUp(32, 0);
  EXPECT_THAT(rig.events.log, ElementsAre("MouseDown 1 0 0 0", "MouseUp 1 0 0 0", "Click"));
}

TEST(CandyButtonStates, DisabledButtonIgnoresInputButTracksFocus) {
  ButtonRig rig;
  rig.button->InitProperties();
  rig.button->SetEnabled(false);
  const auto paints = rig.button->PaintCount();
  rig.button->OnKeyDown(13, 0);
  rig.button->OnKeyUp(13, 0);
  rig.button->OnMouseDown(1, 0, 1, 1);
  rig.button->OnMouseMove(1, 0, 100, 1);
  rig.button->OnMouseUp(1, 0, 1, 1);
  rig.button->OnClick();
  rig.button->OnDblClick();
  rig.button->OnGotFocus();
  EXPECT_TRUE(rig.button->HasFocus());
  rig.button->OnLostFocus();
  EXPECT_FALSE(rig.button->HasFocus());
  EXPECT_TRUE(rig.events.log.empty());
  EXPECT_EQ(rig.button->PaintCount(), paints);
}

TEST(CandyButtonLifecycle, NewInstanceAtDesignTimeAndInRunMode) {
  ButtonRig design(75, 23, /*user_mode=*/false);
  design.button->SetColorButtonUp(5);
  design.button->InitProperties();
  EXPECT_EQ(design.button->ColorButtonUp(), Rgb(80, 153, 233));
  EXPECT_EQ(design.button->Caption(), "cmdOK");
  EXPECT_TRUE(design.button->Ready());
  EXPECT_GT(design.surface->clears, 0);

  ButtonRig run;
  run.button->SetColorButtonUp(5);
  run.button->InitProperties();
  EXPECT_EQ(run.button->ColorButtonUp(), 5u);  // run mode keeps the colours
  EXPECT_EQ(run.button->Caption(), "cmdOK");
}

TEST(CandyButtonShape, RoundedStylesGetAnOutlineAndRectangularOnesLoseIt) {
  ButtonRig rig(100, 30);
  rig.button->InitProperties();
  rig.button->OnResize();
  EXPECT_EQ(rig.surface->WindowRegion(), nullptr);
  EXPECT_EQ(rig.button->InnerRegion(), nullptr);
  rig.button->SetStyle(2);
  EXPECT_EQ(rig.button->CornerRadius(), 16);
  ASSERT_NE(rig.surface->WindowRegion(), nullptr);
  EXPECT_FALSE(rig.surface->WindowRegion()->Contains(1, 1));
  EXPECT_TRUE(rig.surface->WindowRegion()->Contains(50, 15));
  ASSERT_NE(rig.button->InnerRegion(), nullptr);
  // Rebuilding for an unchanged size keeps the window's outline.
  const int handed = rig.surface->region_changes;
  rig.button->SetButtonShape();
  EXPECT_EQ(rig.surface->region_changes, handed);
  rig.button->SetStyle(1);
  EXPECT_EQ(rig.surface->WindowRegion(), nullptr);
  EXPECT_EQ(rig.button->InnerRegion(), nullptr);
}

TEST(CandyButtonCaption, PlacementByAlignmentAndPressedOffset) {
  ButtonRig rig(100, 30);
  rig.button->InitProperties();
  rig.button->SetCaption("OK");  // 12 x 13 on the fake
  auto picture = std::make_shared<testing::FakePicture>(16, 16);
  rig.button->SetPictureAlignment(2);
  rig.button->SetPicture(picture);
  ASSERT_FALSE(rig.surface->pictures.empty());
  EXPECT_EQ(rig.surface->pictures.back().x, 8);  // never rounded: 8 from the edge
  EXPECT_EQ(rig.surface->pictures.back().y, 8);  // (30 - 16) \ 2 + 1
  EXPECT_EQ(rig.surface->texts.back().x, 44);    // |50 - 6|
  EXPECT_EQ(rig.surface->texts.back().y, 9);     // |15 - 6|
  rig.button->SetStyle(3);
  EXPECT_EQ(rig.surface->pictures.back().x, 12);
  rig.button->SetPictureAlignment(3);
  EXPECT_EQ(rig.surface->pictures.back().x, 100 - 12 - 16);
  rig.button->Redraw(1);
  EXPECT_EQ(rig.surface->pictures.back().x, 100 - 12 - 16 + 1);
  EXPECT_EQ(rig.surface->pictures.back().y, 9);
  EXPECT_EQ(rig.surface->texts.back().x, 45);
  EXPECT_EQ(rig.surface->texts.back().y, 10);
  rig.button->SetPictureAlignment(0);
  EXPECT_EQ(rig.surface->pictures.back().x, 43);  // (100 - 16) \ 2 + 1
  EXPECT_EQ(rig.surface->pictures.back().y, 1);   // (30 - 29) \ 2 + 1
  EXPECT_EQ(rig.surface->texts.back().y, 17);     // |15 + 8 - 6|
  rig.button->SetPictureAlignment(7);             // unknown: everything at 0
  EXPECT_EQ(rig.surface->pictures.back().x, 0);
  EXPECT_EQ(rig.surface->texts.back().y, 0);
}

TEST(CandyButtonCaption, HighlightsGreyingAndSilhouette) {
  ButtonRig rig;
  rig.button->InitProperties();
  rig.button->SetForeColor(Rgb(1, 1, 1));
  rig.button->SetPicture(std::make_shared<testing::FakePicture>(16, 16));
  rig.button->SetCaptionHighLite(true);
  rig.button->SetCaptionHighLiteColor(Rgb(0, 0, 255));
  rig.button->SetIconHighLite(true);
  rig.button->SetIconHighLiteColor(Rgb(0, 255, 0));
  rig.button->Redraw(3);
  EXPECT_EQ(rig.surface->texts.back().color, Rgb(0, 0, 255));
  EXPECT_EQ(rig.surface->ForeColor(), Rgb(1, 1, 1));  // restored
  EXPECT_EQ(rig.surface->pictures.back().look, PictureLook::kSilhouette);
  EXPECT_EQ(rig.surface->pictures.back().brush, Rgb(0, 255, 0));
  rig.button->Redraw(0);
  EXPECT_EQ(rig.surface->texts.back().color, Rgb(1, 1, 1));
  EXPECT_EQ(rig.surface->pictures.back().look, PictureLook::kNormal);
  rig.button->SetEnabled(false);
  rig.button->Redraw(3);
  EXPECT_TRUE(rig.surface->texts.back().greyed);
  EXPECT_EQ(rig.surface->pictures.back().look, PictureLook::kGreyed);
}

}  // namespace
}  // namespace vorela
