#include "support/machine_root.h"

#include <cstdlib>

namespace vorela::testing {
namespace {

constexpr const char* kVariable = "VORELA_ROOT";

void SetVariable(const std::string& value) {
#ifdef _WIN32
  _putenv_s(kVariable, value.c_str());
#else
  setenv(kVariable, value.c_str(), 1);
#endif
}

void ClearVariable() {
#ifdef _WIN32
  _putenv_s(kVariable, "");
#else
  unsetenv(kVariable);
#endif
}

}  // namespace

ScopedMachineRoot::ScopedMachineRoot() : scratch_(std::in_place) {
  root_ = scratch_->NativeJoin("machine");
  if (const char* value = std::getenv(kVariable)) previous_ = value;
  SetVariable(root_);
}

ScopedMachineRoot::ScopedMachineRoot(const std::string& native_root) : root_(native_root) {
  if (const char* value = std::getenv(kVariable)) previous_ = value;
  SetVariable(root_);
}

ScopedMachineRoot::~ScopedMachineRoot() {
  if (previous_) {
    SetVariable(*previous_);
  } else {
    ClearVariable();
  }
}

}  // namespace vorela::testing
