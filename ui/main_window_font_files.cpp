// Font files in the window: "Open Font File...", files dropped on the window, and the font list
// refilled from the catalogue with the families that came from files.

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMimeData>
#include <QUrl>

#include "app/font_file_commands.h"
#include "app/status_texts.h"
#include "project/project_layout.h"
#include "ui/fallback_font_list.h"
#include "ui/font_file_filter.h"
#include "ui/main_window.h"

namespace glyphmill {

namespace {

constexpr const char* kOpenFontFileTitle = "Open Font File";

bool IsProjectFile(const std::string& path) {
  return QFileInfo(QString::fromStdString(path))
             .suffix()
             .compare(QString::fromUtf8(kProjectExtension + 1), Qt::CaseInsensitive) == 0;
}

// The local files of a drag, in order.
std::vector<std::string> LocalFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  return paths;
}

}  // namespace

void TForm1::FillFontList() {
  const QSignalBlocker block(ui.cmbFont);
  const std::string selected = state_.settings.fontNameString();
  ui.cmbFont->clear();
  for (const FontCatalogueEntry& entry : state_.catalogue.entries) {
    ui.cmbFont->addItem(QString::fromUtf8(entry.name.c_str()));
    if (const FontFile* file = entry.fromFile ? state_.fontFiles.fileOf(entry.name) : nullptr)
      ui.cmbFont->setItemData(ui.cmbFont->count() - 1, QString::fromStdString(file->path), Qt::ToolTipRole);
  }
  const int index = ui.cmbFont->findText(QString::fromStdString(selected), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) ui.cmbFont->setCurrentIndex(index);
  fontWidthsMeasured_ = false;
  // The fallback list offers every listed family but the system's default stand-in.
  std::vector<std::string> families;
  for (const FontCatalogueEntry& entry : state_.catalogue.entries)
    if (entry.name != kDefaultFontName) families.push_back(entry.name);
  ui.fallbackFonts->setFamilies(std::move(families));
}

void TForm1::OpenFontFile1Click() {
  const std::optional<std::string> path = prompts_.openFile(kOpenFontFileTitle, kFontFileFilter);
  if (path) AddFontFiles({*path});
}

bool TForm1::AddFontFiles(const std::vector<std::string>& paths) {
  std::string first;
  for (const std::string& path : paths) {
    std::string family, error;
    if (!OpenFontFile(state_, path, std::nullopt, &family, &error)) {
      SetStatus(status::Error(error));
      continue;
    }
    // Qt's own font list learns the file too, so the list's sample is set in the font itself.
    QFontDatabase::addApplicationFont(QString::fromStdString(state_.fontFiles.fileOf(family)->path));
    if (first.empty()) first = family;
  }
  if (first.empty()) return false;
  FillFontList();
  const int index = ui.cmbFont->findText(QString::fromStdString(first), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0 && index != ui.cmbFont->currentIndex())
    ui.cmbFont->setCurrentIndex(index);  // its change event takes the font
  else
    ReadSetting(SettingSelector::FontName);
  return true;
}

void TForm1::DropFiles(const std::vector<std::string>& paths) {
  std::vector<std::string> fonts;
  std::string project;
  for (const std::string& path : paths) {
    if (!IsProjectFile(path))
      fonts.push_back(path);
    else if (project.empty())
      project = path;
  }
  if (!fonts.empty()) AddFontFiles(fonts);
  if (!project.empty()) LoadProjectFile(project);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const std::vector<std::string> paths = LocalFiles(event->mimeData());
  if (paths.empty()) return;
  event->acceptProposedAction();
  DropFiles(paths);
}

}  // namespace glyphmill
