// The package check: what a package's author wants to know before shipping.
// It unpacks, decrypts and reads the package as the installer does, with the
// installer's own rules (menu/package_rules.h) and readers.
#pragma once

#include <string>
#include <vector>

#include "menu/menu_records.h"
#include "platform/platform.h"

namespace vorela {

struct PackFinding {
  bool error = true;  // false: a warning that does not stop a clean install
  std::string text;
};

// Reads the package at path and returns its findings (an unreadable package
// gives one error). The package installs cleanly when no finding is an error.
std::vector<PackFinding> CheckPackage(const Platform& platform,
                                      const std::string& path);

// Problems of one stored name, as the installer and the cabinet format see it.
std::vector<PackFinding> CheckStoredName(const Platform& platform,
                                         const std::string& name);

// Problems of a decrypted manifest, read as the installer reads it.
std::vector<PackFinding> CheckManifestText(const Platform& platform,
                                           const std::string& plain);

// The menu of a decrypted manifest as the installer reads it (empty fields when
// it does not load).
MenuRecord ReadManifestRecord(const Platform& platform, const std::string& plain);

// Problems of a shared file stored as name and unpacked to path: the install
// puts it in the resource folder in place of the shipped one of that name.
std::vector<PackFinding> CheckSharedFile(const Platform& platform,
                                         const std::string& name,
                                         const std::string& path);

}  // namespace vorela
