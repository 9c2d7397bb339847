// The projects opened or saved last (most recent first, at most eight), kept in the window's
// preferences, and the window title that names the open project.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <string>

namespace glyphmill {

class RecentProjects {
 public:
  static constexpr int kMaxEntries = 8;

  explicit RecentProjects(QSettings& preferences) : preferences_(preferences) {}

  // The remembered paths, most recent first.
  QStringList paths() const;
  // `path` becomes the most recent entry (moved up when listed already, by its absolute path);
  // the oldest falls off beyond eight.
  void add(const QString& path);
  void remove(const QString& path);
  void clear();

 private:
  void store(const QStringList& paths);
  QSettings& preferences_;
};

// "Glyphmill 4.1 – name.gmp": the window's caption with the project's file name; the caption
// alone for no project.
QString ProjectWindowTitle(const std::string& projectPath);

// A menu entry for a recent project: "&1 name.gmp  (folder)".
QString RecentProjectEntry(int index, const QString& path);

}  // namespace glyphmill
