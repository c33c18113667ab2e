// The elements of the cabinet object's XML listing, built by one literal rule:
// "<" tag [" " attribute " = '" value "'"] ">" content "</" tag ">", with no
// escaping at all (the listing is read back by code that expects it so).
#pragma once

#include <string>
#include <string_view>

#include "cabinet/cab_routines.h"

namespace vorela {

std::string XmlElement(std::string_view tag, std::string_view content,
                       std::string_view attribute = {},
                       std::string_view value = {});

// One FILE element (without the line break that follows it in the listing).
std::string FileElement(std::string_view full_name, const CabDateTime& date,
                        long long size);

// The whole listing around the collected FILE lines.
std::string CabListing(std::string_view cab_name, std::string_view files);

}  // namespace vorela
