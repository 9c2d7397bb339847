#include "ui/recent_projects.h"

#include <QDir>
#include <QFileInfo>

#include "app/app_state.h"

namespace glyphmill {

namespace {
constexpr const char* kRecentKey = "recentProjects";
constexpr const char* kCaption = "Glyphmill";

QString Absolute(const QString& path) { return QFileInfo(path).absoluteFilePath(); }
}  // namespace

QStringList RecentProjects::paths() const {
  QStringList listed = preferences_.value(kRecentKey).toStringList();
  listed.removeAll(QString());
  while (listed.size() > kMaxEntries) listed.removeLast();
  return listed;
}

void RecentProjects::add(const QString& path) {
  QStringList listed = paths();
  const QString absolute = Absolute(path);
  listed.removeAll(absolute);
  listed.prepend(absolute);
  store(listed);
}

void RecentProjects::remove(const QString& path) {
  QStringList listed = paths();
  listed.removeAll(Absolute(path));
  listed.removeAll(path);
  store(listed);
}

void RecentProjects::clear() { store({}); }

void RecentProjects::store(const QStringList& listed) {
  QStringList kept = listed;
  while (kept.size() > kMaxEntries) kept.removeLast();
  preferences_.setValue(kRecentKey, kept);
  preferences_.sync();
}

QString ProjectWindowTitle(const std::string& projectPath) {
  QString caption = QString::fromUtf8(VersionedName(kCaption).c_str());
  if (projectPath.empty()) return caption;
  return caption + QStringLiteral(" \u2013 ") + QFileInfo(QString::fromUtf8(projectPath.c_str())).fileName();
}

QString RecentProjectEntry(int index, const QString& path) {
  const QFileInfo info(path);
  QString name = info.fileName();
  name.replace('&', "&&");
  QString folder = QDir::toNativeSeparators(info.absolutePath());
  folder.replace('&', "&&");
  return QStringLiteral("&%1 %2  (%3)").arg(index + 1).arg(name, folder);
}

}  // namespace glyphmill
