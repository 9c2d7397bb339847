#include "ui_test_support.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>

namespace glyphmill::testing {

std::optional<uint32_t> ScriptedPrompts::chooseColour(uint32_t initial) {
  presets.push_back(initial);
  held = initial;
  return chooseColourAgain();
}

std::optional<uint32_t> ScriptedPrompts::chooseColourAgain() {
  ++colourDialogs;
  if (colours.empty()) return std::nullopt;
  std::optional<uint32_t> answer = colours.front();
  colours.pop_front();
  if (answer) held = *answer;
  return answer;
}

std::optional<std::string> ScriptedPrompts::openFileIn(const std::string& title, const std::string& filter,
                                                       const std::string& folder) {
  openFolders.push_back(folder);
  return openFile(title, filter);
}

std::optional<std::string> ScriptedPrompts::chooseItem(const std::string&, const std::string&,
                                                       const std::vector<std::string>& items) {
  offered.push_back(items);
  if (choices.empty()) return std::nullopt;
  std::optional<std::string> answer = choices.front();
  choices.pop_front();
  if (answer && std::find(items.begin(), items.end(), *answer) == items.end()) return std::nullopt;
  return answer;
}

std::optional<std::string> ScriptedPrompts::openFile(const std::string&, const std::string&) {
  if (openPaths.empty()) return std::nullopt;
  std::optional<std::string> answer = openPaths.front();
  openPaths.pop_front();
  return answer;
}

WindowFixture::WindowFixture(const std::string& pluginFolder) { open(pluginFolder); }

WindowFixture::~WindowFixture() { window.reset(); }

MainWindowOptions WindowFixture::options(const std::string& pluginFolder) {
  MainWindowOptions o;
  // Every location in the scratch folder: no autosave, plug-in or help page of the machine's own.
  const std::string scratch = folder.path().toStdString();
  o.environment = InstallEnvironment{scratch,           scratch + "/bin",    scratch,
                                     scratch + "/data", scratch + "/config", scratch + "/cache"};
  o.pluginFolder = pluginFolder;
  o.dialogs = &dialogs;
  o.prompts = &prompts;
  o.exitProgram = [this](int status) { exitStatus = status; };
  o.openDocument = [this](const std::string& document) { openedDocuments.push_back(document); };
  o.preferencesFile = path("preferences.ini");
  return o;
}

void WindowFixture::open(const std::string& pluginFolder) {
  window.reset();
  window = std::make_unique<TForm1>(options(pluginFolder));
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) qWarning("the main window was never exposed");
  dialogs.clearLog();  // start-up's own messages ("No Plugins!") are not the tests' business
}

std::string WindowFixture::path(const std::string& name) const { return folder.path().toStdString() + "/" + name; }

bool WaitForGeneration(TForm1& window, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!window.driver().busy() && window.driver().liveJobs() == 0 && window.state().generationIdle) {
      // The finished job's texture reaches the view in an event posted with its completion:
      // delivered here, so that what the view shows is this generation's.
      QCoreApplication::processEvents();
      return true;
    }
  }
  return false;
}

void Pump(int ms) { QTest::qWait(ms); }

bool SelectFont(TForm1& window, const std::string& name) {
  const int index = window.ui.cmbFont->findText(QString::fromStdString(name), Qt::MatchExactly);
  if (index < 0) return false;
  window.ui.cmbFont->setCurrentIndex(index);
  return true;
}

}  // namespace glyphmill::testing
