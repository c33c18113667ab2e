// End-to-end scenarios of the menu tool: a script of steps that seeds the
// registry and the folders, builds packages, runs the real vorelamenu and
// compares the registry export and the files with the expected ones.
//
// Script lines (tests/data/menu/<scenario>/scenario.txt; "#" starts a comment):
//   seed FILE.reg                 import a .reg file
//   mkdir PATH                    create a folder (and its parents)
//   put PATH DATA                 copy a data file to PATH
//   delete PATH                   delete a file
//   package PATH ENTRY...         write a cabinet; ENTRY is DATA (stored under
//                                 its own name) or NAME=DATA; an entry stored
//                                 with a ".enc" ending is DATA encrypted with
//                                 the manifest key
//   run [ARGUMENTS]               run the tool; the rest of the line is its
//                                 argument text, unchanged; it must exit 0
//   run-failing [ARGUMENTS]       the same, and it must exit with a failure
//   expect-reg FILE.reg           the tool's registry keys, exported
//   expect-file PATH DATA         the file holds exactly DATA's bytes
//   expect-missing PATH           the file does not exist
//   expect-output TEXT            the last run printed a line containing TEXT
//                                 (the POSIX build prints the installer
//                                 window; the Windows build shows it instead,
//                                 so there this check is skipped)
//   expect-no-output              the last run printed nothing (no window)
//   expect-printed TEXT           its standard output holds TEXT (both builds)
//   expect-error TEXT             its standard error holds TEXT (both builds)
//   expect-box TEXT               its error box said TEXT (the POSIX build
//                                 prints boxes on standard error; the Windows
//                                 build shows them, so there it is skipped)
// PATH may begin with %RES% (the shared resource folder), %USER% (the
// per-user data folder), %WORK% (the tool's work folder: beside the program
// on Windows, C:\Program Files\vorela\work on POSIX) or %PKG% (a folder
// with a blank in its name for packages); %VERSION% is the programs' version.
// DATA names a file of the scenario's
// folder, else of tests/data/menu/common.
#pragma once

#include <string>

namespace vorela::testing {

// Runs the scenario in folder `name`; every failed expectation is reported
// through GoogleTest.
void RunMenuScenario(const std::string& name);

}  // namespace vorela::testing
