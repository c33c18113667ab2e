#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "e2e_menu/scenario.h"
#include "support/machine_root.h"

namespace vorela::testing {
namespace {

class MenuScenario : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    // The scenarios rewrite the tool's registry keys and folders: they run
    // only as ctest starts them (in the build's own POSIX machine, or in the
    // test Wine prefix), never against a user's machine by accident.
    const char* hook = std::getenv("VORELA_TEST_PRESS_OK");
    if (!hook || std::string(hook) != "1") {
      GTEST_SKIP() << "run through ctest (VORELA_TEST_PRESS_OK=1 is not set)";
    }
    machine_.emplace(VORELA_E2E_MACHINE);
  }

  std::optional<ScopedMachineRoot> machine_;
};

TEST_P(MenuScenario, Runs) { RunMenuScenario(GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    Menu, MenuScenario,
    ::testing::Values("reset_twice", "foreign_entry_survives", "xml_numbering",
                      "quoted_package_path", "repair_only_arguments",
                      "package_every_order", "package_without_icon",
                      "package_two_manifests", "package_empty_id",
                      "package_imported_twice", "menu_moved_between_providers",
                      "hint_line_breaks", "package_hostile_id",
                      "package_menu_not_saved", "package_not_a_file",
                      "package_not_a_cabinet", "help_and_version",
                      "package_hostile_names"),
    [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace vorela::testing
