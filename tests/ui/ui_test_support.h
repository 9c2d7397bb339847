// Helpers of the window tests: scripted colour and open dialogs, a scratch folder, a main window
// that never touches the real program folder, and waiting for a generation to end.
#pragma once

#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "tests/support/scripted_dialogs.h"
#include "ui/main_window.h"
#include "ui/ui_prompts.h"

namespace glyphmill::testing {

inline constexpr const char* kDejaVuSans = "DejaVu Sans";

// Answers colour, open and choice dialogs from queues; an empty queue cancels.
class ScriptedPrompts : public UiPrompts {
 public:
  std::deque<std::optional<uint32_t>> colours;
  std::deque<std::optional<std::string>> openPaths;
  std::vector<uint32_t> presets;  // what each colour dialog was preset to
  int colourDialogs = 0;
  uint32_t held = 0;

  std::optional<uint32_t> chooseColour(uint32_t initial) override;
  std::optional<uint32_t> chooseColourAgain() override;
  // Choices from a list: each answer is taken when the list offers it, else the choice is cancelled.
  std::deque<std::optional<std::string>> choices;
  std::vector<std::vector<std::string>> offered;  // what each choice offered
  std::optional<std::string> chooseItem(const std::string& title, const std::string& label,
                                        const std::vector<std::string>& items) override;
  std::vector<std::string> openFolders;  // where each open dialog started (empty: anywhere)
  std::optional<std::string> openFile(const std::string& title, const std::string& filter) override;
  std::optional<std::string> openFileIn(const std::string& title, const std::string& filter,
                                        const std::string& folder) override;
};

// A shown main window with scripted dialogs, every location in a scratch folder (working folder,
// program folder <scratch>/bin, home, XDG data <scratch>/data and configuration <scratch>/config)
// and a plug-in folder that may be given.
struct WindowFixture {
  QTemporaryDir folder;
  ScriptedDialogs dialogs;
  ScriptedPrompts prompts;
  int exitStatus = -1;
  std::vector<std::string> openedDocuments;
  std::unique_ptr<TForm1> window;

  explicit WindowFixture(const std::string& pluginFolder = "no-plugins-here");
  ~WindowFixture();
  MainWindowOptions options(const std::string& pluginFolder);
  // Creates (again) the window with the same folders.
  void open(const std::string& pluginFolder = "no-plugins-here");
  std::string path(const std::string& name) const;
};

// Runs the event loop until no job is running and the window is idle (and the view shows the
// finished job's texture), or `ms` passed.
bool WaitForGeneration(TForm1& window, int ms = 30000);
// Runs the event loop for `ms` milliseconds.
void Pump(int ms);

// Selects a font by name in the font list (raising its change event); false when not listed.
bool SelectFont(TForm1& window, const std::string& name);

}  // namespace glyphmill::testing
