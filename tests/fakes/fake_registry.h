// An in-memory registry with the A functions' behaviour as the contract suite
// pins it: case-insensitive names that keep their first spelling, enumeration
// sorted by lower-case name, the path syntax and length limits, access masks
// on handles, handles of deleted keys. It starts empty: the machine keys a
// real system carries are not there unless a test writes them.
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
  // Maps are keyed by the lower-case name: that is the enumeration order.
  struct Key {
    std::map<std::string, std::unique_ptr<Key>> children;
    std::map<std::string, std::string> spelling;  // lower -> as created
    std::map<std::string, Value> values;
    std::map<std::string, std::string> value_spelling;  // lower -> as written
  };

  // Test set-up and inspection, paths below HKEY_CURRENT_USER.
  void SetString(const std::string& path, const std::string& name,
                 const std::string& text) {
    Key* key = nullptr;
    Find(kHkeyCurrentUser, path, true, &key);
    Value& value = Put(key, name);
    value.type = kRegSz;
    value.data = text + '\0';
  }
  bool HasKey(const std::string& path) { return Existing(path) != nullptr; }
  // The value, or nullptr when it (or its key) is missing.
  const Value* Get(const std::string& path, const std::string& name) {
    Key* key = Existing(path);
    if (!key) return nullptr;
    auto it = key->values.find(AsciiLower(name));
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
    if (Key* key = Existing(path)) {
      for (const auto& [lower, child] : key->children) {
        names.push_back(key->spelling[lower]);
      }
    }
    return names;
  }

  Win32Error OpenKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                     RegKey* key) override {
    Key* found = nullptr;
    if (Win32Error rc = Find(root, sub_key, false, &found)) return rc;
    *key = Handle(found, access);
    return kErrorSuccess;
  }
  Win32Error CreateKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                       RegKey* key) override {
    Key* found = nullptr;
    if (Win32Error rc = Find(root, sub_key, true, &found)) return rc;
    *key = Handle(found, access);
    return kErrorSuccess;
  }
  Win32Error QueryValue(RegKey key, std::string_view name, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* size) override {
    Key* node = nullptr;
    if (Win32Error rc = Use(key, kKeyQueryValue, &node)) return rc;
    auto it = node->values.find(AsciiLower(name));
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
    Key* node = nullptr;
    if (Win32Error rc = Use(key, kKeySetValue, &node)) return rc;
    Value& value = Put(node, name);
    value.type = type;
    value.data.assign(reinterpret_cast<const char*>(data), data ? size : 0);
    // The A function counts a terminator the caller left off.
    if (IsStringType(type) && !value.data.empty() && value.data.back() != '\0') {
      value.data.push_back('\0');
    }
    return kErrorSuccess;
  }
  Win32Error EnumKey(RegKey key, std::uint32_t index, char* name,
                     std::uint32_t* name_size) override {
    Key* node = nullptr;
    if (Win32Error rc = Use(key, kKeyEnumerateSubKeys, &node)) return rc;
    if (index >= node->children.size()) return kErrorNoMoreItems;
    auto it = node->children.begin();
    std::advance(it, index);
    const std::string& spelled = node->spelling[it->first];
    if (spelled.size() + 1 > *name_size) return kErrorMoreData;
    std::memcpy(name, spelled.c_str(), spelled.size() + 1);
    *name_size = static_cast<std::uint32_t>(spelled.size());
    return kErrorSuccess;
  }
  Win32Error EnumValue(RegKey key, std::uint32_t index, char* name,
                       std::uint32_t* name_size, std::uint32_t* type, std::uint8_t* data,
                       std::uint32_t* data_size) override {
    Key* node = nullptr;
    if (Win32Error rc = Use(key, kKeyQueryValue, &node)) return rc;
    if (index >= node->values.size()) return kErrorNoMoreItems;
    auto it = node->values.begin();
    std::advance(it, index);
    const std::string& spelled = node->value_spelling[it->first];
    const Value& value = it->second;
    if (spelled.size() + 1 > *name_size) return kErrorMoreData;
    if (data && data_size && *data_size < value.data.size()) {
      *data_size = static_cast<std::uint32_t>(value.data.size());
      return kErrorMoreData;
    }
    std::memcpy(name, spelled.c_str(), spelled.size() + 1);
    *name_size = static_cast<std::uint32_t>(spelled.size());
    if (type) *type = value.type;
    if (data) std::memcpy(data, value.data.data(), value.data.size());
    if (data_size) *data_size = static_cast<std::uint32_t>(value.data.size());
    return kErrorSuccess;
  }
  Win32Error DeleteValue(RegKey key, std::string_view name) override {
    Key* node = nullptr;
    if (Win32Error rc = Use(key, kKeySetValue, &node)) return rc;
    const std::string lower = AsciiLower(name);
    node->value_spelling.erase(lower);
    return node->values.erase(lower) ? kErrorSuccess : kErrorFileNotFound;
  }
  Win32Error DeleteKey(RegKey root, std::string_view sub_key) override {
    return Remove(root, sub_key, false);
  }
  Win32Error DeleteTree(RegKey root, std::string_view sub_key) override {
    return Remove(root, sub_key, true);
  }
  Win32Error CloseKey(RegKey key) override {
    if (key == kHkeyCurrentUser || key == kHkeyLocalMachine) return kErrorSuccess;
    return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
  }

 private:
  static constexpr std::size_t kMaxKeyNameLength = 256;
  static constexpr std::size_t kMaxKeyPathLength = 260;
  static constexpr std::uint32_t kMaximumAllowed = 0x02000000;

  struct Open {
    Key* key = nullptr;  // nullptr once the key is deleted
    std::uint32_t access = 0;
  };

  static Win32Error Split(std::string_view path, std::vector<std::string>* parts) {
    if (path.size() > kMaxKeyPathLength) return kErrorMoreData;
    if (!path.empty() && path.front() == '\\') return kErrorBadPathname;
    std::string part;
    for (char c : path) {
      if (c == '\\') {
        if (!part.empty()) parts->push_back(part);
        part.clear();
      } else {
        part += c;
      }
    }
    if (!part.empty()) parts->push_back(part);
    for (const std::string& each : *parts) {
      if (each.size() > kMaxKeyNameLength) return kErrorInvalidParameter;
    }
    return kErrorSuccess;
  }
  static Value& Put(Key* key, std::string_view name) {
    const std::string lower = AsciiLower(name);
    key->value_spelling.emplace(lower, std::string(name));
    return key->values[lower];
  }
  Key* Existing(std::string_view path) {
    Key* key = nullptr;
    return Find(kHkeyCurrentUser, path, false, &key) ? nullptr : key;
  }
  Win32Error RootKey(RegKey root, Key** key) {
    if (root == kHkeyCurrentUser) {
      *key = &current_user_;
    } else if (root == kHkeyLocalMachine) {
      *key = &local_machine_;
    } else {
      auto it = handles_.find(root);
      if (it == handles_.end()) return kErrorInvalidHandle;
      if (!it->second.key) return kErrorKeyDeleted;
      *key = it->second.key;
    }
    return kErrorSuccess;
  }
  // The open key behind a handle that grants `needed`.
  Win32Error Use(RegKey handle, std::uint32_t needed, Key** key) {
    if (Win32Error rc = RootKey(handle, key)) return rc;
    auto it = handles_.find(handle);
    if (it != handles_.end() && (it->second.access & needed) != needed) {
      return kErrorAccessDenied;
    }
    return kErrorSuccess;
  }
  Win32Error Find(RegKey root, std::string_view path, bool create, Key** found) {
    std::vector<std::string> parts;
    if (Win32Error rc = Split(path, &parts)) return rc;
    Key* key = nullptr;
    if (Win32Error rc = RootKey(root, &key)) return rc;
    for (const std::string& part : parts) {
      const std::string lower = AsciiLower(part);
      auto it = key->children.find(lower);
      if (it == key->children.end()) {
        if (!create) return kErrorFileNotFound;
        key->spelling[lower] = part;
        it = key->children.emplace(lower, std::make_unique<Key>()).first;
      }
      key = it->second.get();
    }
    *found = key;
    return kErrorSuccess;
  }
  Win32Error Remove(RegKey root, std::string_view sub_key, bool tree) {
    std::vector<std::string> parts;
    if (Win32Error rc = Split(sub_key, &parts)) return rc;
    if (parts.empty()) return kErrorAccessDenied;
    const std::string last = AsciiLower(parts.back());
    parts.pop_back();
    std::string parent_path;
    for (const std::string& part : parts) parent_path += part + "\\";
    Key* parent = nullptr;
    if (Win32Error rc = Find(root, parent_path, false, &parent)) return rc;
    if (!parent->children.count(last)) return kErrorFileNotFound;
    if (!tree && !parent->children[last]->children.empty()) {
      return kErrorAccessDenied;
    }
    ForgetHandles(parent->children[last].get());
    parent->children.erase(last);
    parent->spelling.erase(last);
    return kErrorSuccess;
  }
  void ForgetHandles(Key* key) {
    for (auto& [lower, child] : key->children) ForgetHandles(child.get());
    for (auto& [handle, open] : handles_) {
      if (open.key == key) open.key = nullptr;
    }
  }
  RegKey Handle(Key* key, std::uint32_t access) {
    const RegKey handle = next_handle_++;
    // MAXIMUM_ALLOWED asks for whatever the key grants: here, everything.
    if (access & kMaximumAllowed) access = kKeyAllAccess;
    handles_[handle] = Open{key, access};
    return handle;
  }

  Key current_user_;
  Key local_machine_;
  std::map<RegKey, Open> handles_;
  RegKey next_handle_ = 0x1000;
};

}  // namespace vorela::testing
