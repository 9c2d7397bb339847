// GoogleTest main for the dialog tests: one QApplication for every test (the offscreen platform
// is set by CTest; it is also the default here so the program runs by hand without a display).
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  // The window's preferences (recent projects, dialog folders) never touch the person's own.
  QTemporaryDir preferences;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, preferences.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, preferences.path());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
