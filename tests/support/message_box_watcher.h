// Reads and closes the message boxes that a program started by a test shows.
//
// Under Wine without a display a message box fails at once and shows nothing,
// so nothing could be checked. A watcher makes a desktop of its own that uses
// Wine's null display driver: there windows are real (only nothing is drawn
// on a screen), a message box waits for its button, and the watcher reads the
// text of every box with the given title and presses OK. Programs must be
// started on Desktop() (RunProgram's desktop argument); the prefix's own
// desktop and its driver are left as they were. Off Windows message boxes
// print on the standard streams instead and the watcher sees nothing.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vorela::testing {

class MessageBoxWatcher {
 public:
  explicit MessageBoxWatcher(const std::string& title);
  ~MessageBoxWatcher();
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

  // The name of the watched desktop ("" off Windows).
  std::string Desktop() const;

  // The texts of the boxes closed so far, in order (UTF-8).
  std::vector<std::string> Texts() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vorela::testing
