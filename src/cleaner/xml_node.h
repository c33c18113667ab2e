// clsXMLNode: one node of the tree of wanted element paths that the SAX file
// parser walks up and down as elements open and close.
//
// A node owns its children (kept in insertion order) and refers to its parent
// without owning it; the root's parent is the root itself. Names and paths keep
// the letter case they were given; lookups ignore it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cleaner/xml_names.h"

namespace vorela {

class clsXMLNode {
 public:
  clsXMLNode() = default;
  ~clsXMLNode();
  clsXMLNode(const clsXMLNode&) = delete;
  clsXMLNode& operator=(const clsXMLNode&) = delete;

  // Stores parent, path and name unchanged. Raises error 1 for a null parent.
  void Initialize(clsXMLNode* ParentNode, std::string_view Path, std::string_view Name);

  // Appends a child named Name, with path MyPath() + "\" + Name, and returns it
  // (owned by this node). Raises error 1 for an empty name; a blank one is
  // fine.
  clsXMLNode* AddChild(std::string_view Name);

  // The first child, in insertion order, named Name without regard to case;
  // null when there is none or Name is empty. A lookup allocates nothing and
  // cannot fail, so it needs no "[clsXMLNode][GetChild] " error label; it is
  // inline because the parser looks up a child for most elements it meets.
  clsXMLNode* GetChild(std::string_view Name) const {
    if (Name.empty()) return nullptr;
    for (const auto& child : children_) {
      if (XmlNamesEqual(child->name_, Name)) return child.get();
    }
    return nullptr;
  }

  const std::string& MyName() const { return name_; }
  // The full path: for a node made by AddChild, its parent's path, "\" and
  // its name. Built on first request and kept, so that a deep tree holds a
  // copy of every prefix of its deepest path only when asked for them.
  const std::string& MyPath() const;
  clsXMLNode* MyParent() const { return parent_; }
  bool EndNode() const { return children_.empty(); }
  bool RootNode() const;
  std::int32_t ChildCount() const { return static_cast<std::int32_t>(children_.size()); }

 private:
  std::string BuildPath() const;
  // Drops the kept paths below this node, which derive from its path.
  void ForgetPaths();

  clsXMLNode* parent_ = nullptr;  // not owned
  std::vector<std::unique_ptr<clsXMLNode>> children_;
  std::string path_;  // as given to Initialize
  // Initialize was called; otherwise the path derives from the parent's.
  bool own_path_ = false;
  mutable std::string path_cache_;
  mutable bool path_cached_ = false;
  std::string name_;
};

}  // namespace vorela
