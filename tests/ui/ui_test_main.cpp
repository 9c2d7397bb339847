// The window tests run under one QApplication on the offscreen platform.
#include <gtest/gtest.h>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  QApplication::setApplicationName("Glyphmill 4");
  // The window's preferences (recent projects, dialog folders) never touch the person's own.
  QTemporaryDir preferences;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, preferences.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, preferences.path());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
