// The installer window's OK button as a CandyButton, made from the form text
// built into the program (InstallerOkButtonForm). The program installs the
// maker with SetInstallerOkButtonMaker(MakeCandyOkButton).
#pragma once

#include <memory>
#include <string_view>

#include "platform/installer_window.h"

namespace vorela {

class EventLog;
class Ui;
class WindowSystem;

// The button on this build's window system, event log and message boxes.
std::unique_ptr<InstallerOkButton> MakeCandyOkButton();
// The same on the given ones, with the form text given.
std::unique_ptr<InstallerOkButton> MakeCandyOkButton(WindowSystem& windows, EventLog& log,
                                                     Ui& ui, std::string_view form_text);

}  // namespace vorela
