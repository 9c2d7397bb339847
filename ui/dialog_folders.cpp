#include "ui/dialog_folders.h"

#include <QDir>
#include <QFileInfo>

namespace glyphmill {

namespace {
QString KeyOf(const std::string& kind) {
  // QSettings keys treat "/" and "\" as group separators.
  QString key = QString::fromUtf8(kind.c_str());
  key.replace('/', '_').replace('\\', '_');
  return QStringLiteral("dialogFolders/") + (key.isEmpty() ? QStringLiteral("any") : key);
}
}  // namespace

std::string DialogFolders::KindOf(const std::string& filter) {
  const std::size_t bar = filter.find('|');
  return bar == std::string::npos ? filter : filter.substr(bar + 1);
}

std::string DialogFolders::folderFor(const std::string& kind) const {
  const QString folder = preferences_.value(KeyOf(kind)).toString();
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return {};
  return folder.toStdString();
}

void DialogFolders::remember(const std::string& kind, const std::string& path) {
  if (path.empty() || path == kCancelMarker) return;
  preferences_.setValue(KeyOf(kind), QFileInfo(QString::fromUtf8(path.c_str())).absolutePath());
}

std::string FolderRememberingDialogs::promptSaveFile(const SaveFileRequest& request) {
  const std::string kind =
      request.filterPattern.empty() ? DialogFolders::KindOf(request.filter) : request.filterPattern;
  SaveFileRequest asked = request;
  const std::string folder = folders_.folderFor(kind);
  if (!folder.empty() && request.initialFolder == SaveFileRequest{}.initialFolder) asked.initialFolder = folder;
  std::string chosen = inner_.promptSaveFile(asked);
  folders_.remember(kind, chosen);
  return chosen;
}

std::optional<std::string> FolderRememberingPrompts::openFile(const std::string& title, const std::string& filter) {
  return openFileIn(title, filter, folders_.folderFor(DialogFolders::KindOf(filter)));
}

std::optional<std::string> FolderRememberingPrompts::openFileIn(const std::string& title, const std::string& filter,
                                                                const std::string& folder) {
  const std::string kind = DialogFolders::KindOf(filter);
  const std::string start = folder.empty() ? folders_.folderFor(kind) : folder;
  std::optional<std::string> chosen = inner_.openFileIn(title, filter, start);
  if (chosen) folders_.remember(kind, *chosen);
  return chosen;
}

}  // namespace glyphmill
