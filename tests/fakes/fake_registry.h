// An in-memory registry for the menu tool's unit tests: keys with
// case-insensitive names enumerated in sorted order, values by name, the A
// functions' codes for the cases the tool meets (missing key or value, a
// buffer that is too small, deleting a key that has subkeys).
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/text_util.h"
#include "platform/registry.h"

namespace vorela::testing {

class FakeRegistry : public Registry {
 public:
  struct Value {
    std::uint32_t type = kRegSz;
    std::string data;
  };
  struct Key {
    std::map<std::string, std::unique_ptr<Key>> children;  // by upper-case name
    std::map<std::string, std::string> spelling;  // upper -> as created
    std::map<std::string, Value> values;          // by upper-case name
  };

  // Test set-up and inspection, paths below HKEY_CURRENT_USER.
  void SetString(const std::string& path, const std::string& name,
                 const std::string& text) {
    Value& value = Find(path, true)->values[AsciiUpper(name)];
    value.type = kRegSz;
    value.data = text + '\0';
  }
  bool HasKey(const std::string& path) { return Find(path, false) != nullptr; }
  // The value, or nullptr when it (or its key) is missing.
  const Value* Get(const std::string& path, const std::string& name) {
    Key* key = Find(path, false);
    if (!key) return nullptr;
    auto it = key->values.find(AsciiUpper(name));
    return it == key->values.end() ? nullptr : &it->second;
  }
  // The string value without its NUL ("" when missing).
  std::string Text(const std::string& path, const std::string& name) {
    const Value* value = Get(path, name);
    if (!value) return "";
    return value->data.substr(0, value->data.find('\0'));
  }
  // Names of the subkeys of path, in enumeration order.
  std::vector<std::string> SubKeys(const std::string& path) {
    std::vector<std::string> names;
    if (Key* key = Find(path, false)) {
      for (const auto& [upper, child] : key->children) {
        names.push_back(key->spelling[upper]);
      }
    }
    return names;
  }

  Win32Error OpenKey(RegKey root, std::string_view sub_key, std::uint32_t,
                     RegKey* key) override {
    Key* found = Find(root, sub_key, false);
    if (!found) return kErrorFileNotFound;
    *key = Handle(found);
    return kErrorSuccess;
  }
  Win32Error CreateKey(RegKey root, std::string_view sub_key, std::uint32_t,
                       RegKey* key) override {
    Key* found = Find(root, sub_key, true);
    if (!found) return kErrorFileNotFound;
    *key = Handle(found);
    return kErrorSuccess;
  }
  Win32Error QueryValue(RegKey key, std::string_view name, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* size) override {
    Key* node = FromHandle(key);
    if (!node) return kErrorInvalidHandle;
    auto it = node->values.find(AsciiUpper(name));
    if (it == node->values.end()) return kErrorFileNotFound;
    const Value& value = it->second;
    if (type) *type = value.type;
    if (data && *size < value.data.size()) {
      *size = static_cast<std::uint32_t>(value.data.size());
      return kErrorMoreData;
    }
    if (data) std::memcpy(data, value.data.data(), value.data.size());
    *size = static_cast<std::uint32_t>(value.data.size());
    return kErrorSuccess;
  }
  Win32Error SetValue(RegKey key, std::string_view name, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override {
    Key* node = FromHandle(key);
    if (!node) return kErrorInvalidHandle;
    Value& value = node->values[AsciiUpper(name)];
    value.type = type;
    value.data.assign(reinterpret_cast<const char*>(data), size);
    return kErrorSuccess;
  }
  Win32Error EnumKey(RegKey key, std::uint32_t index, char* name,
                     std::uint32_t* name_size) override {
    Key* node = FromHandle(key);
    if (!node) return kErrorInvalidHandle;
    if (index >= node->children.size()) return kErrorNoMoreItems;
    auto it = node->children.begin();
    std::advance(it, index);
    const std::string& spelled = node->spelling[it->first];
    if (spelled.size() + 1 > *name_size) return kErrorMoreData;
    std::memcpy(name, spelled.c_str(), spelled.size() + 1);
    *name_size = static_cast<std::uint32_t>(spelled.size());
    return kErrorSuccess;
  }
  Win32Error EnumValue(RegKey, std::uint32_t, char*, std::uint32_t*,
                       std::uint32_t*, std::uint8_t*, std::uint32_t*) override {
    return kErrorNoMoreItems;
  }
  Win32Error DeleteValue(RegKey key, std::string_view name) override {
    Key* node = FromHandle(key);
    if (!node) return kErrorInvalidHandle;
    return node->values.erase(AsciiUpper(name)) ? kErrorSuccess
                                                : kErrorFileNotFound;
  }
  Win32Error DeleteKey(RegKey root, std::string_view sub_key) override {
    return Remove(root, sub_key, false);
  }
  Win32Error DeleteTree(RegKey root, std::string_view sub_key) override {
    return Remove(root, sub_key, true);
  }
  Win32Error CloseKey(RegKey) override { return kErrorSuccess; }

 private:
  static std::vector<std::string> Split(std::string_view path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
      if (c == '\\') {
        if (!part.empty()) parts.push_back(part);
        part.clear();
      } else {
        part += c;
      }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
  }
  Key* RootKey(RegKey root) {
    if (root == kHkeyCurrentUser) return &current_user_;
    if (root == kHkeyLocalMachine) return &local_machine_;
    return FromHandle(root);
  }
  Key* Find(std::string_view path, bool create) {
    return Find(kHkeyCurrentUser, path, create);
  }
  Key* Find(RegKey root, std::string_view path, bool create) {
    Key* key = RootKey(root);
    for (const std::string& part : Split(path)) {
      if (!key) return nullptr;
      const std::string upper = AsciiUpper(part);
      auto it = key->children.find(upper);
      if (it == key->children.end()) {
        if (!create) return nullptr;
        key->spelling[upper] = part;
        it = key->children.emplace(upper, std::make_unique<Key>()).first;
      }
      key = it->second.get();
    }
    return key;
  }
  Win32Error Remove(RegKey root, std::string_view sub_key, bool tree) {
    std::vector<std::string> parts = Split(sub_key);
    if (parts.empty()) return kErrorAccessDenied;
    const std::string last = AsciiUpper(parts.back());
    parts.pop_back();
    std::string parent_path;
    for (const std::string& part : parts) parent_path += part + "\\";
    Key* parent = Find(root, parent_path, false);
    if (!parent || !parent->children.count(last)) return kErrorFileNotFound;
    if (!tree && !parent->children[last]->children.empty()) {
      return kErrorAccessDenied;
    }
    ForgetHandles(parent->children[last].get());
    parent->children.erase(last);
    parent->spelling.erase(last);
    return kErrorSuccess;
  }
  void ForgetHandles(Key* key) {
    for (auto& [upper, child] : key->children) ForgetHandles(child.get());
    for (auto& [handle, node] : handles_) {
      if (node == key) node = nullptr;
    }
  }
  RegKey Handle(Key* key) {
    const RegKey handle = next_handle_++;
    handles_[handle] = key;
    return handle;
  }
  Key* FromHandle(RegKey handle) {
    auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : it->second;
  }

  Key current_user_;
  Key local_machine_;
  std::map<RegKey, Key*> handles_;
  RegKey next_handle_ = 0x1000;
};

}  // namespace vorela::testing
