#include "cleaner/xml_node.h"

#include <deque>

#include "cleaner/xml_reader_error.h"
#include "common/error.h"

namespace vorela {
namespace {

constexpr char kInitializeLabel[] = "[clsXMLNode][Initialize]";
constexpr char kAddChildLabel[] = "[clsXMLNode][AddChild]";

std::string Prefix(const char* label) { return std::string(label) + " "; }

}  // namespace

clsXMLNode::~clsXMLNode() {
  // Released without recursion: a caller's path may be deep enough to exhaust
  // the stack if every level destroyed the next.
  std::deque<std::unique_ptr<clsXMLNode>> pending;
  for (auto& child : children_) pending.push_back(std::move(child));
  children_.clear();
  while (!pending.empty()) {
    std::unique_ptr<clsXMLNode> node = std::move(pending.front());
    pending.pop_front();
    for (auto& child : node->children_) pending.push_back(std::move(child));
    node->children_.clear();
  }
  parent_ = nullptr;
}

void clsXMLNode::Initialize(clsXMLNode* ParentNode, std::string_view Path,
                            std::string_view Name) {
  try {
    if (ParentNode == nullptr) {
      throw Error(1, kInitializeLabel, "Invalid Parent Node Recieved!");
    }
    path_ = std::string(Path);
    own_path_ = true;
    ForgetPaths();
    name_ = std::string(Name);
    parent_ = ParentNode;
  } catch (...) {
    RethrowWithPrefix(kInitializeLabel, Prefix(kInitializeLabel));
  }
}

clsXMLNode* clsXMLNode::AddChild(std::string_view Name) {
  try {
    if (Name.empty())
      throw Error(1, kAddChildLabel, "Invalid Name Encountered!");
    auto child = std::make_unique<clsXMLNode>();
    child->parent_ = this;
    child->name_ = std::string(Name);
    children_.push_back(std::move(child));
    return children_.back().get();
  } catch (...) {
    RethrowWithPrefix(kAddChildLabel, Prefix(kAddChildLabel));
  }
}

void clsXMLNode::ForgetPaths() {
  std::vector<clsXMLNode*> pending{this};
  while (!pending.empty()) {
    clsXMLNode* node = pending.back();
    pending.pop_back();
    node->path_cached_ = false;
    node->path_cache_.clear();
    for (auto& child : node->children_) pending.push_back(child.get());
  }
}

const std::string& clsXMLNode::MyPath() const {
  if (own_path_) return path_;
  if (path_cached_) return path_cache_;
  path_cache_ = BuildPath();
  path_cached_ = true;
  return path_cache_;
}

std::string clsXMLNode::BuildPath() const {
  std::size_t length = 0;
  const clsXMLNode* top = this;
  for (; !top->own_path_ && top->parent_ != nullptr && top->parent_ != top;
       top = top->parent_) {
    length += 1 + top->name_.size();
  }
  std::string path;
  path.reserve(length +
               (top->own_path_ ? top->path_.size() : top->name_.size()));
  path = top->own_path_ ? top->path_ : top->name_;
  // Append the names below `top` in order, deepest last.
  const std::size_t base = path.size();
  path.resize(base + length);
  std::size_t end = path.size();
  for (const clsXMLNode* node = this; node != top; node = node->parent_) {
    end -= node->name_.size();
    path.replace(end, node->name_.size(), node->name_);
    path[--end] = '\\';
  }
  return path;
}

// A child's path always holds a "\" before its name, so only a node whose
// path was given directly can equal its name.
bool clsXMLNode::RootNode() const {
  return own_path_ && XmlNamesEqual(name_, path_);
}

}  // namespace vorela
