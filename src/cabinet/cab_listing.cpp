#include "cabinet/cab_listing.h"

namespace vorela {

std::string XmlElement(std::string_view tag, std::string_view content,
                       std::string_view attribute, std::string_view value) {
  std::string out = "<";
  out += tag;
  if (!attribute.empty()) {
    out += " ";
    out += attribute;
    out += " = '";
    out += value;
    out += "'";
  }
  out += ">";
  out += content;
  out += "</";
  out += tag;
  out += ">";
  return out;
}

std::string FileElement(std::string_view full_name, const CabDateTime& date,
                        long long size) {
  std::string folder, name;
  SplitStoredName(full_name, &folder, &name);
  return XmlElement("FILE", XmlElement("FULLNAME", full_name) +
                                XmlElement("NAME", name) +
                                XmlElement("DATE", FormatGeneralDate(date)) +
                                XmlElement("SIZE", std::to_string(size)) +
                                XmlElement("PATH", folder));
}

std::string CabListing(std::string_view cab_name, std::string_view files) {
  return std::string("<?xml version=\"1.0\"?>") +
         XmlElement("CABFILE", XmlElement("FILES", files), "CABFILENAME",
                    cab_name);
}

}  // namespace vorela
