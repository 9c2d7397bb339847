// What a user of a current desktop tool expects of the window around the classic controls: undo
// and redo of setting changes (Edit menu), zoom and backdrop of the texture view (View menu) and
// inspection of its cells, recent projects and the project's name in the title, the font list's
// filter, and the character range editor's text-file prompt.

#include <QFileInfo>
#include <QMenuBar>
#include <QSettings>

#include "project/project_messages.h"
#include "ui/font_filter.h"
#include "ui/main_window.h"
#include "ui/preview_strip.h"
#include "ui/range_editor_window.h"
#include "ui/recent_projects.h"
#include "ui/settings_undo.h"
#include "ui/system_colours.h"
#include "ui/texture_hover.h"
#include "ui/texture_view.h"

namespace glyphmill {

namespace {
constexpr const char* kTextFileTitle = "Add Characters From File";
constexpr const char* kTextFileFilter = "Text Files|*";
constexpr const char* kProjectMissing = "The project file no longer exists:\r";

// The top-level menu whose title is `title`, as the menu bar's action (to insert before it).
QAction* MenuNamed(QMenuBar* bar, const QString& title) {
  for (QAction* action : bar->actions())
    if (action->text() == title) return action;
  return nullptr;
}
}  // namespace

void TForm1::buildConvenienceMenus() {
  // "&File": "Open Recent" after "&Load Font Project".
  if (auto* file = qobject_cast<QMenu*>(ui.LoadProject1->parent())) {
    const QList<QAction*> items = file->actions();
    const qsizetype load = items.indexOf(ui.LoadProject1);
    ui.RecentProjects1 = new QMenu("Open &Recent", file);
    file->insertMenu(load >= 0 && load + 1 < items.size() ? items[load + 1] : nullptr, ui.RecentProjects1);
  }
  RebuildRecentMenu();

  // "&Edit" after "&File".
  ui.Edit1 = new QMenu("&Edit", this);
  ui.Edit1->addAction(undo_->undoAction());
  ui.Edit1->addAction(undo_->redoAction());
  menuBar()->insertMenu(MenuNamed(menuBar(), "&Command"), ui.Edit1);

  // "&View" before "&Help".
  ui.View1 = new QMenu("&View", this);
  ui.View1->addAction(ui.Tab->zoomInAction());
  ui.View1->addAction(ui.Tab->zoomOutAction());
  ui.View1->addAction(ui.Tab->actualSizeAction());
  ui.View1->addAction(ui.Tab->fitAction());
  ui.View1->addSeparator();
  ui.View1->addMenu(ui.Tab->backdropMenu());
  menuBar()->insertMenu(MenuNamed(menuBar(), "&Help"), ui.View1);
  addAction(undo_->undoAction());
  addAction(undo_->redoAction());
}

void TForm1::connectConveniences() {
  ConnectTextureInspection(*ui.Tab, state_, [this] { return texturePage_; });
  connect(ui.Tab, &TextureView::texturePageChosen, this, [this](int page) {
    texturePage_ = page;
    ShowImages();
  });
  connect(ui.Tab, &TextureView::backdropColourRequested, this, [this] {
    const QColor held = ui.Tab->backdrop().value_or(Qt::white);
    if (const std::optional<uint32_t> chosen = prompts_.chooseColour(ColourRefFromQColor(held)))
      ui.Tab->setBackdrop(ResolveColourRef(*chosen, palette()));
  });
  // The preview background is chosen without ReadSetting: its own step, after it is stored.
  connect(ui.Image3, &PreviewStrip::clicked, this, [this] { undo_->changedAsStep(); });

  fontFilter_ = new FontListFilter(ui.cmbFont);
  connect(static_cast<FontListBox*>(ui.cmbFont), &FontListBox::droppingDown, fontFilter_, &FontListFilter::attach);
}

void TForm1::wireRangeEditor() {
  if (!rangeEditor_) return;
  rangeEditor_->setTextFilePrompt([this] { return prompts_.openFile(kTextFileTitle, kTextFileFilter); });
  // An accepted range is one step; ReadSetting(SettingSelector::None) records it (see
  // btnCharacterRangeClick).
}

void TForm1::setProjectPath(const std::string& path) {
  projectPath_ = path;
  setWindowTitle(ProjectWindowTitle(path));
  if (path.empty()) return;
  recent_->add(QString::fromUtf8(path.c_str()));
  RebuildRecentMenu();
}

void TForm1::RebuildRecentMenu() {
  if (!ui.RecentProjects1) return;
  ui.RecentProjects1->clear();
  const QStringList paths = recent_->paths();
  for (int i = 0; i < paths.size(); ++i) {
    const QString& path = paths[i];
    QAction* entry = ui.RecentProjects1->addAction(RecentProjectEntry(i, path));
    entry->setToolTip(path);
    connect(entry, &QAction::triggered, this, [this, path] { OpenRecentProject(path); });
  }
  if (!paths.isEmpty()) ui.RecentProjects1->addSeparator();
  QAction* clear = ui.RecentProjects1->addAction("&Clear List");
  clear->setEnabled(!paths.isEmpty());
  connect(clear, &QAction::triggered, this, [this] {
    recent_->clear();
    RebuildRecentMenu();
  });
}

void TForm1::OpenRecentProject(const QString& path) {
  if (!QFileInfo::exists(path)) {
    recent_->remove(path);
    RebuildRecentMenu();
    dialogs_.showMessage({"", kProjectMissing + path.toStdString(), DialogIcon::Warning, DialogOwner::MainWindow});
    return;
  }
  LoadProjectFile(path.toStdString());
}

}  // namespace glyphmill
