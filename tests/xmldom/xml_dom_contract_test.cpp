// The XML document seam's contract. The same expectations run against the
// platform DOM in the Windows build (under Wine) and against pugixml in the
// POSIX build; the expected bytes are what the Windows build saves.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fakes/fake_file_system.h"
#include "platform/xml_dom.h"

namespace vorela {
namespace {

std::unique_ptr<XmlDocument> Parse(const std::string& bytes,
                                   bool* ok = nullptr) {
  std::unique_ptr<XmlDocument> doc = SystemXmlDom().CreateDocument();
  EXPECT_NE(doc, nullptr);
  bool loaded = doc->LoadBytes(bytes);
  if (ok) *ok = loaded;
  return doc;
}

std::string Saved(XmlDocument& doc) {
  std::string bytes;
  EXPECT_TRUE(doc.Serialize(&bytes));
  return bytes;
}

struct RoundTrip {
  const char* name;
  std::string input;
  std::string saved;      // what a save of the loaded document writes
  std::string root_text;  // Text() of the document's root element
};

class LoadAndSave : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(LoadAndSave, SavesTheBytesAndTextOfThePlatformDom) {
  const RoundTrip& c = GetParam();
  bool ok = false;
  std::unique_ptr<XmlDocument> doc = Parse(c.input, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(Saved(*doc), c.saved);
  XmlNode root;
  for (XmlNode n = doc->FirstChild(); n; n = n.NextSibling()) {
    if (n.Type() == XmlNodeType::kElement) root = n;
  }
  EXPECT_EQ(root.Text(), c.root_text);
}

const RoundTrip kRoundTrips[] = {
    {"Plain", "<a>x</a>", "<a>x</a>\n", "x"},
    {"DeclarationKept",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>x</a>\n",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>x</a>\n", "x"},
    {"DeclarationNormalised", "<?xml version='1.0' ?><a/>",
     "<?xml version=\"1.0\"?>\n<a/>\n", ""},
    {"TopLevelNodesOnTheirOwnLines", "<!-- c --><a>x</a><!--t-->  <?q?>",
     "<!-- c -->\n<a>x</a>\n<!--t-->\n<?q?>\n", "x"},
    {"IndentationDropped", "<a>\n  <b>1</b>\n  <c> 2 </c>\n</a>\n",
     "<a><b>1</b><c> 2 </c></a>\n", "1  2"},
    {"LeafTextTrimmedButSavedAsIs", "<a>  x  </a>", "<a>  x  </a>\n", "x"},
    {"MixedContent", "<a>x<b>y</b>z</a>", "<a>x<b>y</b>z</a>\n", "xyz"},
    {"MixedContentBlanks", "<a> x <b> y </b> z </a>",
     "<a> x <b> y </b> z </a>\n", "x  y  z"},
    {"DroppedBlankSeparates", "<a>x <b>y</b> <c>z</c></a>",
     "<a>x <b>y</b><c>z</c></a>\n", "x y z"},
    {"DroppedBlankInsideChildSeparates", "<a>x<b> </b>y</a>", "<a>x<b/>y</a>\n",
     "x y"},
    {"LeadingBlankOfChildDoesNot", "<a>z<b> <c>x</c></b></a>",
     "<a>z<b><c>x</c></b></a>\n", "zx"},
    {"CommentBetweenBlanks", "<a><b>x</b> <!--c--> <d>y</d></a>",
     "<a><b>x</b><!--c--><d>y</d></a>\n", "x y"},
    {"Entities", "<a>&lt;&amp;&gt;&quot;&apos;&#x3042;&#65;</a>",
     "<a>&lt;&amp;&gt;\"'\xE3\x81\x82"
     "A</a>\n",
     "<&>\"'\xE3\x81\x82"
     "A"},
    {"GreaterThanEscaped", "<a>]]&gt; > </a>", "<a>]]&gt; &gt; </a>\n",
     "]]> >"},
    {"Cdata", "<a><![CDATA[<x>&]]></a>", "<a><![CDATA[<x>&]]></a>\n", "<x>&"},
    {"CdataBlanksNotTrimmed", "<a> <![CDATA[ q ]]> </a>",
     "<a><![CDATA[ q ]]></a>\n", " q "},
    {"TrimStopsAtCdata", "<a> t <![CDATA[ c ]]> u </a>",
     "<a> t <![CDATA[ c ]]> u </a>\n", "t  c  u"},
    {"EmptyElementsShort", "<a><b/><c></c><d> </d></a>",
     "<a><b/><c/><d/></a>\n", ""},
    {"Japanese",
     "<a k=\"\xE6\x97\xA5\">\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</a>",
     "<a k=\"\xE6\x97\xA5\">\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</a>\n",
     "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
    {"ByteOrderMarkDropped", "\xEF\xBB\xBF<a>x</a>", "<a>x</a>\n", "x"},
    {"LineEndsNormalised", "<a>x\r\ny\rz</a>", "<a>x\ny\nz</a>\n", "x\ny\nz"},
    {"CarriageReturnReference", "<a>x&#13;y</a>", "<a>x&#13;y</a>\n", "x\ry"},
    {"AttributeEscapes",
     "<a k=\"1&amp;2 &lt;&gt; &quot;q&quot; &#9;t&#10;n\" j='x'>t</a>",
     "<a k=\"1&amp;2 &lt;&gt; &quot;q&quot; &#9;t&#10;n\" j=\"x\">t</a>\n",
     "t"},
    {"AttributeBlanksNormalised", "<a k=\"x\ty\nz\r\"/>", "<a k=\"x y z \"/>\n",
     ""},
    {"FourByteCharacter", "<a>\xF0\x9F\x98\x80</a>",
     "<a>\xF0\x9F\x98\x80</a>\n", "\xF0\x9F\x98\x80"},
    {"Utf16LittleEndian", std::string("\xFF\xFE<\0a\0>\0x\0<\0/\0a\0>\0", 18),
     "<a>x</a>\n", "x"},
    {"Utf16BigEndianJapanese",
     std::string("\xFE\xFF\0<\0a\0>\x65\xE5\0<\0/\0a\0>", 18),
     "<a>\xE6\x97\xA5</a>\n", "\xE6\x97\xA5"},
};

INSTANTIATE_TEST_SUITE_P(XmlDom, LoadAndSave, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) {
                           return std::string(info.param.name);
                         });

struct Malformed {
  const char* name;
  std::string input;
};

class RefusedAtLoad : public ::testing::TestWithParam<Malformed> {};

TEST_P(RefusedAtLoad, LeavesAnEmptyDocument) {
  std::unique_ptr<XmlDocument> doc = Parse("<old>kept?</old>");
  EXPECT_FALSE(doc->LoadBytes(GetParam().input));
  EXPECT_FALSE(doc->FirstChild());  // a failed load forgets what was there
  EXPECT_EQ(Saved(*doc), "");
}

const Malformed kMalformed[] = {
    {"Empty", ""},
    {"BlanksOnly", "  \n"},
    {"TextOnly", "x"},
    {"Unclosed", "<a>"},
    {"Mismatch", "<a><b></a>"},
    {"TwoRoots", "<a/><b/>"},
    {"TextAfterRoot", "<a/>x"},
    {"UnknownEntity", "<a>&foo;</a>"},
    {"BareAmpersand", "<a>a & b</a>"},
    {"LessThanInAttribute", "<a k=\"<\"/>"},
    {"DuplicateAttribute", "<a k=\"1\" k=\"2\"/>"},
    {"NoBlankBetweenAttributes", "<a b=\"1\"c=\"2\"/>"},
    {"InvalidUtf8", "<a>\xFF\xFE</a>"},
    {"OverlongUtf8", "<a>\xC0\x80</a>"},
    {"SurrogateUtf8", "<a>\xED\xA0\x80</a>"},
    {"Utf16OddLength", std::string("\xFF\xFE<\0a\0/\0>", 9)},
    {"NonCharacter", "<a>\xEF\xBF\xBE</a>"},
    {"ControlCharacter", "<a>\x01</a>"},
    {"ControlReference", "<a>&#1;</a>"},
    {"SurrogateReference", "<a>&#xD800;</a>"},
    {"CdataEndInText", "<a>]]></a>"},
    {"DoubleHyphenInComment", "<!-- a -- b --><a/>"},
    {"BlankBeforeDeclaration", " <?xml version=\"1.0\"?><a/>"},
    {"DeclarationAfterRoot", "<a/><?xml version=\"1.0\"?>"},
    {"DeclarationWithoutVersion", "<?xml encoding=\"UTF-8\"?><a/>"},
    {"DeclarationVersionNotANumber", "<?xml version=\"1.0<!\"?><a/>"},
    {"DeclarationMisspeltEncoding",
     "<?xml version=\"1.0\" encoding\xA9=\"windows-1252\"?><a>caf\xE9</a>"},
    {"DeclarationEncodingNotAName", "<?xml version=\"1.0\" encoding=\"8bit\"?><a/>"},
    {"DeclarationUnquotedVersion", "<?xml version=1.0?><a/>"},
    {"DeclarationEncodingBeforeVersion",
     "<?xml encoding=\"UTF-8\" version=\"1.0\"?><a/>"},
    {"DeclarationStandaloneMaybe", "<?xml version=\"1.0\" standalone=\"maybe\"?><a/>"},
    {"DeclarationUnknownPseudoAttribute", "<?xml version=\"1.0\" other=\"x\"?><a/>"},
    {"DocumentType", "<!DOCTYPE a><a/>"},
    {"EntityDeclarations", "<!DOCTYPE a [<!ENTITY e \"v\">]><a>&e;</a>"},
};

INSTANTIATE_TEST_SUITE_P(XmlDom, RefusedAtLoad, ::testing::ValuesIn(kMalformed),
                         [](const auto& info) {
                           return std::string(info.param.name);
                         });

std::string Nested(int depth, const char* inner) {
  std::string s;
  for (int i = 0; i < depth; ++i) s += "<a>";
  s += inner;
  for (int i = 0; i < depth; ++i) s += "</a>";
  return s;
}

TEST(XmlDomLimits, NestingDeeperThan257IsRefused) {
  bool ok = false;
  std::unique_ptr<XmlDocument> doc = Parse(Nested(257, "x"), &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(doc->Root().Text(), "x");
  Parse(Nested(258, "x"), &ok);
  EXPECT_FALSE(ok);
  Parse(Nested(257, "<b/>"), &ok);
  EXPECT_FALSE(ok);
  Parse(Nested(100000, ""), &ok);
  EXPECT_FALSE(ok);
}

TEST(XmlDomNodes, DeclarationCommentAndInstructionAreFirstChildren) {
  std::unique_ptr<XmlDocument> doc = Parse("<?xml version=\"1.0\"?><a/>");
  XmlNode first = doc->FirstChild();
  EXPECT_EQ(first.Type(), XmlNodeType::kProcessingInstruction);
  EXPECT_EQ(first.BaseName(), "xml");
  EXPECT_EQ(first.Text(), "version=\"1.0\"");
  EXPECT_FALSE(first.FirstChild());

  doc = Parse("<!-- note --><a/>");
  EXPECT_EQ(doc->FirstChild().Type(), XmlNodeType::kComment);
  EXPECT_EQ(doc->FirstChild().Text(), " note ");
  EXPECT_EQ(doc->FirstChild().BaseName(), "");

  doc = Parse("<?pi  spaced  data ?><a/>");
  EXPECT_EQ(doc->FirstChild().BaseName(), "pi");
  EXPECT_EQ(doc->FirstChild().Text(), "spaced  data ");
  EXPECT_EQ(Saved(*doc), "<?pi spaced  data ?>\n<a/>\n");

  doc = Parse("\n\n<a/>");
  EXPECT_EQ(doc->FirstChild().Type(), XmlNodeType::kElement);
  EXPECT_EQ(doc->ChildNodes().size(), 1u);
}

TEST(XmlDomNodes, ChildNodesSkipDroppedBlanksAndKeepCommentsAndText) {
  std::unique_ptr<XmlDocument> doc =
      Parse("<r>\n  <a>1</a>\n  <!--c-->\n  t <b/>\n</r>");
  std::vector<XmlNode> children = doc->FirstChild().ChildNodes();
  ASSERT_EQ(children.size(), 4u);
  EXPECT_EQ(children[0].BaseName(), "a");
  EXPECT_EQ(children[1].Type(), XmlNodeType::kComment);
  EXPECT_EQ(children[2].Type(), XmlNodeType::kText);
  EXPECT_EQ(children[2].Text(), "t");  // a text node's text is trimmed too
  EXPECT_EQ(children[2].BaseName(), "");
  EXPECT_EQ(children[3].BaseName(), "b");
  EXPECT_EQ(children[0].FirstChild().Type(), XmlNodeType::kText);
}

TEST(XmlDomNodes, FirstAttributeTextWhateverItsName) {
  std::unique_ptr<XmlDocument> doc = Parse(
      "<r><e id=\"801\" x=\"y\"/><f/><p:g xmlns:p=\"urn:p\"/><h "
      "xmlns=\"urn:h\" k=\"v\"/></r>");
  std::vector<XmlNode> children = doc->FirstChild().ChildNodes();
  std::string text = "unchanged";
  EXPECT_TRUE(children[0].FirstAttributeText(&text));
  EXPECT_EQ(text, "801");
  text = "unchanged";
  EXPECT_FALSE(children[1].FirstAttributeText(&text));
  EXPECT_EQ(text, "unchanged");
  EXPECT_TRUE(children[2].FirstAttributeText(&text));
  EXPECT_EQ(text, "urn:p");  // a prefix declaration counts as an attribute
  EXPECT_EQ(children[2].BaseName(), "g");
  EXPECT_TRUE(children[3].FirstAttributeText(&text));
  EXPECT_EQ(text, "v");  // a default namespace declaration does not
  EXPECT_FALSE(children[0].FirstChild().FirstAttributeText(&text));
}

TEST(XmlDomSelect, SimplePathsOfFirstMatchingChildren) {
  std::unique_ptr<XmlDocument> doc =
      Parse("<x><a><b>1</b></a><b>2</b><a><b>3</b><c>4</c></a></x>");
  EXPECT_EQ(doc->SelectSingleNode("x/a/b").Text(), "1");
  EXPECT_EQ(doc->SelectSingleNode("x/b").Text(), "2");
  EXPECT_FALSE(doc->SelectSingleNode("x/c"));  // children only, not descendants
  EXPECT_FALSE(doc->SelectSingleNode("a"));    // relative to the document
  EXPECT_FALSE(doc->SelectSingleNode("X"));    // names are case-sensitive
  XmlNode x = doc->SelectSingleNode("x");
  EXPECT_EQ(x.SelectSingleNode("b").Text(), "2");
  for (const char* bad :
       {"", "x/", "/x", "x//a", "x[1]", "*", "x/a/../b", "1x", "x a"}) {
    EXPECT_FALSE(doc->SelectSingleNode(bad)) << bad;
  }
}

TEST(XmlDomSelect, NamespacedElementsAreNotSelectedByPlainNames) {
  std::unique_ptr<XmlDocument> doc = Parse("<a xmlns=\"urn:x\"><b>1</b></a>");
  EXPECT_FALSE(doc->SelectSingleNode("a"));
  EXPECT_EQ(doc->GetElementsByTagName("b").size(), 1u);
  doc = Parse("<p:a xmlns:p=\"urn:p\"><p:b>1</p:b><b>2</b></p:a>");
  EXPECT_FALSE(doc->SelectSingleNode("p:a"));
  EXPECT_FALSE(doc->SelectSingleNode("a"));
  // Elements are listed by their name without prefix.
  EXPECT_EQ(doc->GetElementsByTagName("b").size(), 2u);
  EXPECT_EQ(doc->GetElementsByTagName("p:b").size(), 0u);
  doc = Parse("<a><b xmlns=\"\">1</b></a>");
  EXPECT_EQ(doc->SelectSingleNode("a/b").Text(), "1");
}

TEST(XmlDomSelect, ElementsByTagNameInDocumentOrderAtAllDepths) {
  std::unique_ptr<XmlDocument> doc = Parse(
      "<xmlroot><PROV><menu><MENUID>1</MENUID></menu><menu><MENUID>2</MENUID></"
      "menu></PROV>"
      "<menu><MENUID>3</MENUID><menu><MENUID>4</MENUID></menu></menu>"
      "<PROV><menu><MENUID>5</MENUID></menu></PROV></xmlroot>");
  std::vector<XmlNode> menus = doc->GetElementsByTagName("menu");
  ASSERT_EQ(menus.size(), 5u);
  std::string ids;
  for (const XmlNode& m : menus) ids += m.SelectSingleNode("MENUID").Text();
  EXPECT_EQ(ids, "12345");
  EXPECT_EQ(doc->GetElementsByTagName("xmlroot").size(), 1u);
  EXPECT_EQ(doc->GetElementsByTagName("MENU").size(), 0u);
}

TEST(XmlDomSelect, FindElementByChildTextIsTheFirstElementWithSuchAChild) {
  std::unique_ptr<XmlDocument> doc = Parse(
      "<xmlroot><menu n=\"1\"><X><MENUID>a</MENUID></X></menu>"
      "<menu n=\"2\"><MENUID>b</MENUID><MENUID> a </MENUID></menu>"
      "<p:menu n=\"3\" xmlns:p=\"urn:p\"><p:MENUID>c</p:MENUID></p:menu>"
      "<menu n=\"4\"><MENUID>a</MENUID></menu><menu "
      "n=\"5\">a</menu></xmlroot>");
  auto found = [&](const char* tag, const char* child, const char* text) {
    std::string n;
    doc->FindElementByChildText(tag, child, text).FirstAttributeText(&n);
    return n;
  };
  EXPECT_EQ(found("menu", "MENUID", "a"),
            "2");  // any child, text as Text() gives it
  EXPECT_EQ(found("menu", "MENUID", "b"), "2");
  EXPECT_EQ(found("menu", "MENUID", "c"), "3");  // base names on both sides
  EXPECT_EQ(found("menu", "MENUID", "A"), "");
  EXPECT_EQ(found("menu", "", "a"), "5");  // a text node's base name is ""
  EXPECT_EQ(found("MENU", "MENUID", "a"), "");
  doc->CreateElement("menu").AppendChild(doc->CreateElement("MENUID"));
  EXPECT_EQ(found("menu", "MENUID", ""), "");  // elements outside the document
}

TEST(XmlDomBuild, SavesANewDocumentAsThePlatformDomDoes) {
  std::unique_ptr<XmlDocument> doc = SystemXmlDom().CreateDocument();
  XmlNode root = doc->CreateElement("xmlroot");
  EXPECT_EQ(doc->AppendChild(root), root);
  auto add = [&](const char* name, const std::string& text) {
    XmlNode e = doc->CreateElement(name);
    root.AppendChild(e);
    EXPECT_TRUE(e.SetText(text));
    return e;
  };
  add("E", "");
  EXPECT_EQ(add("S", "a<b>&c\"'").Text(), "a<b>&c\"'");
  EXPECT_EQ(add("CR", "x\r\ny").Text(), "x\r\ny");
  EXPECT_EQ(add("P", "  p  ").Text(), "p");
  add("J", "\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(add("T", "\t").Text(), "");
  add("GT", "]]>");
  XmlNode w = add("W", "old");
  w.AppendChild(doc->CreateElement("inner"));
  w.SetText("replaced");
  XmlNode z = add("Z", "a");
  z.SetText("");
  EXPECT_EQ(
      Saved(*doc),
      "<xmlroot><E/><S>a&lt;b&gt;&amp;c\"'</S><CR>x&#13;\ny</CR><P>  p  </P>"
      "<J>\xE6\x97\xA5\xE6\x9C\xAC</J><T>\t</T><GT>]]&gt;</GT><W>replaced</"
      "W><Z/>"
      "</xmlroot>\n");
  // What was saved loads back to the same texts.
  std::unique_ptr<XmlDocument> again = Parse(Saved(*doc));
  EXPECT_EQ(again->SelectSingleNode("xmlroot/S").Text(), "a<b>&c\"'");
  EXPECT_EQ(again->SelectSingleNode("xmlroot/CR").Text(), "x\r\ny");
  EXPECT_EQ(again->SelectSingleNode("xmlroot/J").Text(),
            "\xE6\x97\xA5\xE6\x9C\xAC");
}

TEST(XmlDomBuild, RefusesWhatWouldMakeTheFileUnreadable) {
  std::unique_ptr<XmlDocument> doc = SystemXmlDom().CreateDocument();
  for (const char* bad : {"", "1a", "a b", "a/b", "<a>", "a&b"}) {
    EXPECT_FALSE(doc->CreateElement(bad)) << bad;
  }
  EXPECT_TRUE(doc->CreateElement("p:q"));
  EXPECT_TRUE(
      doc->CreateElement("\xE8\xA8\xAD\xE5\xAE\x9A"));  // a Japanese name
  ASSERT_TRUE(doc->AppendChild(doc->CreateElement("first")));
  EXPECT_FALSE(doc->AppendChild(doc->CreateElement("second")));
  EXPECT_EQ(Saved(*doc), "<first/>\n");
  // An element created but never appended is not part of the document.
  doc->CreateElement("orphan").SetText("x");
  EXPECT_EQ(Saved(*doc), "<first/>\n");
  EXPECT_EQ(doc->GetElementsByTagName("orphan").size(), 0u);
}

TEST(XmlDomBuild, AppendToALoadedDocument) {
  std::unique_ptr<XmlDocument> doc =
      Parse("<xmlroot>\n  <A>1</A>\n</xmlroot>\n");
  XmlNode b = doc->CreateElement("B");
  ASSERT_TRUE(doc->SelectSingleNode("xmlroot").AppendChild(b));
  b.SetText("2");
  EXPECT_EQ(Saved(*doc), "<xmlroot><A>1</A><B>2</B></xmlroot>\n");
  EXPECT_FALSE(doc->FirstChild().FirstChild().FirstChild().AppendChild(
      doc->CreateElement("C")));
}

TEST(XmlDomNullHandles, AnswerEmptyAndRefuseChanges) {
  XmlNode none;
  EXPECT_FALSE(none);
  EXPECT_EQ(none.Type(), XmlNodeType::kNone);
  EXPECT_EQ(none.Text(), "");
  EXPECT_EQ(none.BaseName(), "");
  EXPECT_FALSE(none.SetText("x"));
  EXPECT_FALSE(none.FirstChild());
  EXPECT_FALSE(none.SelectSingleNode("a"));
  EXPECT_TRUE(none.ChildNodes().empty());
  std::string text;
  EXPECT_FALSE(none.FirstAttributeText(&text));
  std::unique_ptr<XmlDocument> doc = SystemXmlDom().CreateDocument();
  EXPECT_FALSE(none.AppendChild(doc->CreateElement("a")));
  EXPECT_FALSE(doc->AppendChild(none));
}

TEST(XmlDomFiles, LoadAndSaveGoThroughTheFileSeam) {
  testing::FakeFileSystem files;
  files.AddDirectory("C:\\d");
  files.AddFile("C:\\d\\in.xml", "<xmlroot><A>1</A></xmlroot>");
  files.AddFile("C:\\d\\bad.xml", "<xmlroot>");
  std::unique_ptr<XmlDocument> doc = SystemXmlDom().CreateDocument();
  EXPECT_EQ(doc->Load(files, "C:\\d\\missing.xml"), XmlLoadResult::kUnreadable);
  EXPECT_EQ(doc->Load(files, "C:\\d\\bad.xml"), XmlLoadResult::kMalformed);
  ASSERT_EQ(doc->Load(files, "C:\\d\\in.xml"), XmlLoadResult::kLoaded);
  doc->SelectSingleNode("xmlroot/A").SetText("2");
  EXPECT_EQ(doc->Save(files, "C:\\d\\out.xml"), kErrorSuccess);
  EXPECT_EQ(files.Contents("C:\\d\\out.xml"), "<xmlroot><A>2</A></xmlroot>\n");
  // A failed save reports its error and leaves the previous file.
  files.FailOn("WriteAtomic", "C:\\d\\in.xml", kErrorDiskFull);
  EXPECT_EQ(doc->Save(files, "C:\\d\\in.xml"), kErrorDiskFull);
  EXPECT_EQ(files.Contents("C:\\d\\in.xml"), "<xmlroot><A>1</A></xmlroot>");
}

}  // namespace
}  // namespace vorela
