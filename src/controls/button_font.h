// The caption font in form text: "Tahoma, 9" or "Tahoma, 9, bold italic".
#pragma once

#include <string>

#include "platform/drawing_surface.h"

namespace vorela {

// False (font untouched) for text that is not a font.
bool ParseFontText(const std::string& text, FontSpec* font);
std::string FormatFontText(const FontSpec& font);

}  // namespace vorela
