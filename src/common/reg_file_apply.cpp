// Carrying out the statements of a parsed .reg file through the registry seam.
#include "common/reg_file.h"
#include "common/reg_text.h"
#include "platform/registry_key.h"

namespace vorela {
namespace {

std::string Describe(const RegStatement& statement, std::string_view what,
                     Win32Error rc) {
  return "line " + std::to_string(statement.line) + ": " + std::string(what) +
         " (error " + std::to_string(rc) + ")";
}

}  // namespace

bool ApplyRegStatements(Registry& registry, const TextCodec& codec,
                        const std::vector<RegStatement>& statements,
                        std::string* error) {
  // The key the statements since the last key line write to; 0 (no key) before
  // the first and after a deletion, as the statements' own order leaves it.
  RegistryKey current(registry);
  for (const RegStatement& statement : statements) {
    Win32Error rc = kErrorSuccess;
    switch (statement.kind) {
      case RegStatement::Kind::kKey:
        current.Close();
        rc = current.Create(statement.root, codec.ToAnsi(statement.path), kKeyAllAccess);
        if (rc != kErrorSuccess) {
          *error = Describe(statement, "cannot create the key", rc);
          return false;
        }
        break;
      case RegStatement::Kind::kDeleteKey:
        current.Close();
        rc = registry.DeleteTree(statement.root, codec.ToAnsi(statement.path));
        if (rc != kErrorSuccess && rc != kErrorFileNotFound) {
          *error = Describe(statement, "cannot delete the key", rc);
          return false;
        }
        break;
      case RegStatement::Kind::kSetValue: {
        std::string data = IsStringType(statement.type)
                               ? codec.ToAnsi(Utf16LeToUtf8(statement.data))
                               : statement.data;
        rc = registry.SetValue(
            current.get(), codec.ToAnsi(statement.name), statement.type,
            reinterpret_cast<const std::uint8_t*>(data.data()),
            static_cast<std::uint32_t>(data.size()));
        if (rc != kErrorSuccess) {
          *error = Describe(statement, "cannot write the value", rc);
          return false;
        }
        break;
      }
      case RegStatement::Kind::kDeleteValue:
        rc = registry.DeleteValue(current.get(), codec.ToAnsi(statement.name));
        if (rc != kErrorSuccess && rc != kErrorFileNotFound) {
          *error = Describe(statement, "cannot delete the value", rc);
          return false;
        }
        break;
    }
  }
  return true;
}

}  // namespace vorela
