#include "cleaner/xml_node.h"

#include <gtest/gtest.h>

#include <string>

#include "common/error.h"

namespace vorela {
namespace {

TEST(XmlNodeTest, RootAndChildrenKeepTheirSpellingAndPaths) {
  clsXMLNode root;
  root.Initialize(&root, "xmlroot", "xmlroot");
  EXPECT_TRUE(root.RootNode());
  EXPECT_TRUE(root.EndNode());
  EXPECT_EQ(root.MyParent(), &root);

  clsXMLNode* menu = root.AddChild("menu");
  clsXMLNode* url = menu->AddChild("URL");
  EXPECT_FALSE(root.EndNode());
  EXPECT_FALSE(menu->RootNode());
  EXPECT_EQ(menu->MyPath(), "xmlroot\\menu");
  EXPECT_EQ(menu->MyParent(), &root);
  EXPECT_EQ(url->MyPath(), "xmlroot\\menu\\URL");
  EXPECT_TRUE(url->EndNode());

  clsXMLNode* found = menu->GetChild("url");
  ASSERT_EQ(found, url);
  EXPECT_EQ(found->MyName(), "URL");
}

TEST(XmlNodeTest, GetChildFindsTheFirstMatchInInsertionOrder) {
  clsXMLNode root;
  root.Initialize(&root, "r", "r");
  clsXMLNode* first = root.AddChild("Item");
  clsXMLNode* second =
      root.AddChild("ITEM");  // the node itself allows duplicates
  EXPECT_NE(first, second);
  EXPECT_EQ(root.ChildCount(), 2);
  EXPECT_EQ(root.GetChild("item"), first);
  EXPECT_EQ(root.GetChild(""), nullptr);
  EXPECT_EQ(root.GetChild("other"), nullptr);
  // Case folding is ASCII only: a lookup must not match a longer or shorter
  // name.
  EXPECT_EQ(root.GetChild("Ite"), nullptr);
  EXPECT_EQ(root.GetChild("Items"), nullptr);
}

TEST(XmlNodeTest, BlankNamesAreAcceptedOnlyEmptyOnesFail) {
  clsXMLNode root;
  root.Initialize(&root, "r", "r");
  clsXMLNode* blank = root.AddChild(" ");
  EXPECT_EQ(blank->MyName(), " ");
  EXPECT_EQ(blank->MyPath(), "r\\ ");
  try {
    root.AddChild("");
    FAIL() << "an empty name was accepted";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 1);
    EXPECT_EQ(e.Source(), "[clsXMLNode][AddChild]");
    EXPECT_EQ(e.Description(),
              "[clsXMLNode][AddChild] Invalid Name Encountered!");
  }
  EXPECT_EQ(root.ChildCount(), 1);  // the failed call added nothing
}

TEST(XmlNodeTest, InitializeRefusesANullParent) {
  clsXMLNode node;
  try {
    node.Initialize(nullptr, "a", "a");
    FAIL() << "a null parent was accepted";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 1);
    EXPECT_EQ(e.Source(), "[clsXMLNode][Initialize]");
    EXPECT_EQ(e.Description(),
              "[clsXMLNode][Initialize] Invalid Parent Node Recieved!");
  }
  EXPECT_EQ(node.MyParent(), nullptr);
}

TEST(XmlNodeTest, ADeepTreeIsReleasedWithoutExhaustingTheStack) {
  auto root = std::make_unique<clsXMLNode>();
  root->Initialize(root.get(), "r", "r");
  clsXMLNode* node = root.get();
  for (int i = 0; i < 200000; ++i) node = node->AddChild("n");
  EXPECT_TRUE(node->EndNode());
  root.reset();
}

}  // namespace
}  // namespace vorela
