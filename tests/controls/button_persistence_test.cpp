// The button's stored properties: keys in any case, the reading and writing
// orders, defaults that are not written, and the form text they come from.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "controls/button_test_support.h"
#include "controls/property_store.h"

namespace vorela {
namespace {

using testing::ButtonRig;
using ::testing::ElementsAre;

TEST(PropertyStore, KeysMatchWithoutRegardToCase) {
  PropertyStore store = PropertyStore::FromFormText(
      "colorbuttonhover = 255\n"
      "  STYLE=3  \n"
      "; a comment\n"
      "# another\n"
      "no equals sign here\n"
      "Caption = \"  spaced \"\"OK\"\" \"\n"
      "ForeColor = &H00FF00&\n"
      "ColorBright = rgb(1, 2, 3)\n"
      "Enabled = False\n"
      "Style = 4\n");
  EXPECT_EQ(store.ReadInt("ColorButtonHover", 0), 255);
  EXPECT_EQ(store.ReadInt("Style", 0), 4);  // the last of repeated keys
  EXPECT_EQ(store.ReadString("caption", ""), "  spaced \"OK\" ");
  EXPECT_EQ(store.ReadInt("ForeColor", 0), 0x00FF00);
  EXPECT_EQ(store.ReadInt("ColorBright", 0), 0x030201);
  EXPECT_FALSE(store.ReadBool("Enabled", true));
  EXPECT_FALSE(store.Contains("no equals sign here"));
}

TEST(PropertyStore, UnreadableTextFallsBackToTheDefault) {
  PropertyStore store = PropertyStore::FromFormText(
      "Style = three\nColorBright = 99999999999\nEnabled = maybe\nFont = Tahoma\n"
      "ForeColor = &H80000012\nBorderBrightness = -2147483648\n");
  EXPECT_EQ(store.ReadInt("Style", 7), 7);
  EXPECT_EQ(store.ReadInt("ColorBright", 5), 5);
  EXPECT_TRUE(store.ReadBool("Enabled", true));
  EXPECT_EQ(store.ReadFont("Font", FontSpec{"Arial", 8}).face, "Arial");
  EXPECT_EQ(static_cast<std::uint32_t>(store.ReadInt("ForeColor", 0)), 0x80000012u);
  EXPECT_EQ(store.ReadInt("BorderBrightness", 0), INT32_MIN);
}

TEST(ButtonPersistence, ReadsInTableOrderAndStoresValuesDirectly) {
  ButtonRig rig;
  PropertyStore store = PropertyStore::FromFormText(
      "colorscheme = 3\ncolorbuttonup = 42\nstyle = 2\ndisplayhand = true\n"
      "font = Verdana, 11, bold\n");
  rig.button->ReadProperties(store);
  EXPECT_THAT(store.ReadLog(),
              ElementsAre("Enabled", "Font", "Caption", "CaptionHighLite", "CaptionHighLiteColor",
                          "IconHighLite", "IconHighLiteColor", "ForeColor", "Picture",
                          "PictureAlignment", "Style", "Checked", "ColorButtonHover",
                          "ColorButtonUp", "ColorButtonDown", "ColorBright", "BorderBrightness",
                          "DisplayHand", "ColorScheme"));
  // No setter ran: the scheme stays beside a free colour, nothing was saved.
  EXPECT_EQ(rig.button->ColorScheme(), 3);
  EXPECT_EQ(rig.button->ColorButtonUp(), 42u);
  EXPECT_EQ(rig.button->ColorButtonHover(), Rgb(144, 192, 255));
  EXPECT_EQ(rig.host.changes, 0);
  EXPECT_EQ(rig.button->Style(), 2);
  EXPECT_EQ(rig.button->Font().face, "Verdana");
  EXPECT_TRUE(rig.button->Font().bold);
  EXPECT_EQ(rig.surface->Font().face, "Verdana");
  EXPECT_THAT(rig.host.cursors, ElementsAre(true));
  EXPECT_TRUE(rig.button->Ready());
}

TEST(ButtonPersistence, AFormWithoutCaptionShowsTheName) {
  ButtonRig rig;
  rig.button->ReadProperties(PropertyStore::FromFormText("Style = 1\n"));
  EXPECT_EQ(rig.button->Caption(), "cmdOK");
  EXPECT_EQ(rig.button->Font(), rig.host.ambient);
  EXPECT_EQ(rig.button->CaptionHighLiteColor(), Rgb(0, 255, 0));
  EXPECT_EQ(rig.button->IconHighLiteColor(), Rgb(0, 255, 0));
  EXPECT_THAT(rig.host.cursors, ElementsAre(false));
}

TEST(ButtonPersistence, CheckedDefaultsToTheCurrentValue) {
  ButtonRig rig;
  rig.button->ReadProperties(PropertyStore::FromFormText("Checked = -1\n"));
  EXPECT_TRUE(rig.button->Checked());
  rig.button->ReadProperties(PropertyStore());
  EXPECT_TRUE(rig.button->Checked());
}

TEST(ButtonPersistence, WritesInOrderAndSkipsDefaults) {
  ButtonRig rig;
  rig.button->ReadProperties(PropertyStore());
  PropertyStore saved;
  rig.button->WriteProperties(saved);
  // Only the properties without a write default are stored.
  EXPECT_THAT(saved.KeysInOrder(),
              ElementsAre("checked", "colorbuttonhover", "colorbuttonup", "colorbuttondown",
                          "borderbrightness", "colorbright", "displayhand", "colorscheme"));

  rig.button->SetEnabled(false);
  rig.button->SetFont(FontSpec{"Tahoma", 9});
  rig.button->SetCaption("OK");
  rig.button->SetIconHighLite(true);
  rig.button->SetIconHighLiteColor(1);
  rig.button->SetCaptionHighLite(true);
  rig.button->SetCaptionHighLiteColor(1);
  rig.button->SetForeColor(1);
  rig.button->SetPictureAlignment(1);
  rig.button->SetStyle(5);
  PropertyStore full;
  rig.button->WriteProperties(full);
  EXPECT_THAT(full.KeysInOrder(),
              ElementsAre("enabled", "font", "caption", "iconhighlite", "iconhighlitecolor",
                          "captionhighlite", "captionhighlitecolor", "forecolor",
                          "picturealignment", "style", "checked", "colorbuttonhover",
                          "colorbuttonup", "colorbuttondown", "borderbrightness", "colorbright",
                          "displayhand", "colorscheme"));
}

TEST(ButtonPersistence, FormTextRoundTrips) {
  ButtonRig first;
  first.button->ReadProperties(PropertyStore());
  first.button->SetCaption("&Install \"now\"");
  first.button->SetColorScheme(5);
  first.button->SetStyle(7);
  first.button->SetBorderBrightness(-30);
  first.button->SetFont(FontSpec{"Tahoma", 8.5, false, true});
  PropertyStore saved;
  first.button->WriteProperties(saved);

  ButtonRig second;
  second.button->ReadProperties(PropertyStore::FromFormText(saved.ToFormText()));
  EXPECT_EQ(second.button->Caption(), "&Install \"now\"");
  EXPECT_EQ(second.button->ColorScheme(), 5);
  EXPECT_EQ(second.button->ColorButtonDown(), Rgb(0, 192, 0));
  EXPECT_EQ(second.button->Style(), 7);
  EXPECT_EQ(second.button->BorderBrightness(), -30);
  EXPECT_EQ(second.button->Font(), (FontSpec{"Tahoma", 8.5, false, true}));
}

}  // namespace
}  // namespace vorela
