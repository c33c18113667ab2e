// Points the POSIX machine (VORELA_ROOT) at a scratch folder for the life of
// the object and puts back what was there before, so no test reaches the
// user's own machine folder and none leaves its root behind for the next.
// Under Windows the variable means nothing to the platform; it is set and
// restored all the same so that code sees the same environment on both.
#pragma once

#include <optional>
#include <string>

#include "support/scratch.h"

namespace vorela::testing {

class ScopedMachineRoot {
 public:
  // A fresh machine in a scratch folder of its own.
  ScopedMachineRoot();
  // The machine at native_root (a folder the test owns).
  explicit ScopedMachineRoot(const std::string& native_root);
  ~ScopedMachineRoot();
  ScopedMachineRoot(const ScopedMachineRoot&) = delete;
  ScopedMachineRoot& operator=(const ScopedMachineRoot&) = delete;

  // The machine's root folder, as a native path.
  const std::string& native() const { return root_; }

 private:
  std::optional<ScratchDir> scratch_;
  std::string root_;
  std::optional<std::string> previous_;
};

}  // namespace vorela::testing
