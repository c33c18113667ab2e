// The package check: what a package's author wants to know before shipping.
#pragma once

#include <string>
#include <vector>

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

}  // namespace vorela
