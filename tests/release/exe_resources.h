// Reads back what a Windows executable carries: the strings of its version
// block and the text of its application manifest, through the same system
// calls Explorer and the loader use.
#pragma once

#include <optional>
#include <string>

namespace vorela::release {

// The value of KEY ("ProductName", "FileVersion", ...) in the first language
// of PATH's version block; nothing when the file has no block or no such key.
std::optional<std::string> VersionString(const std::string& path, const std::string& key);

// The text of PATH's process manifest (RT_MANIFEST, id 1); nothing without one.
std::optional<std::string> ManifestText(const std::string& path);

// What is wrong with PATH as a shipped program of version VERSION, one line
// per problem; empty when its version block and manifest are as shipped.
std::string ReleaseProblems(const std::string& path, const std::string& version);

}  // namespace vorela::release
