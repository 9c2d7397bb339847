#include "ui/advanced_export_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>
#include <climits>
#include <string>

#include "app/app_state.h"
#include "export/export_messages.h"
#include "export/job_queue.h"
#include "glyphmill/plugin.h"
#include "ui/advanced_export_job_grid.h"
#include "ui/advanced_export_plugin_list.h"
#include "ui/button_captions.h"

namespace glyphmill {

namespace {

constexpr const char* kCaption = "Advanced Export";
constexpr const char* kGroupCaption = "Batch Exporting: ";
constexpr const char* kAvailablePlugins = "Available Plugins:";
constexpr const char* kJobQueue = "Job Queue:";
constexpr const char* kAddHint = "Add Plugin To Queue";
constexpr const char* kRemoveHint = "Remove Plugin From Queue";
constexpr const char* kExecute = "Execute";
constexpr const char* kCancel = kCancelCaption;

struct CategoryLook {
  const char* caption;
  QColor colour;
  QColor gradient;
};
// In list order: 0 simple, 1 graphic, 2 data exporters.
const CategoryLook kCategories[] = {
    {export_text::kSimpleExporters, QColor(239, 228, 87), QColor(253, 176, 51)},
    {export_text::kGraphicExporters, QColor(206, 231, 250), QColor(68, 151, 253)},
    {export_text::kDataExporters, QColor(253, 167, 142), QColor(247, 120, 45)},
};
constexpr int kSimpleCategory = 0;
constexpr int kGraphicCategory = 1;
constexpr int kDataCategory = 2;

int CategoryOfType(uint8_t pluginType) {
  if (pluginType == ptSimple) return kSimpleCategory;
  if (pluginType == ptData) return kDataCategory;
  return kGraphicCategory;
}

QPushButton* GlyphButton(QWidget* parent, const char* objectName, const QString& text, QStyle::StandardPixmap icon,
                         const QRect& geometry) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(objectName));
  b->setIcon(parent->style()->standardIcon(icon));
  b->setGeometry(geometry);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

std::string PluginButtonCaption(const std::string& name, bool hasExtension, const std::string& extension) {
  return hasExtension ? name + " (*." + extension + ")" : name;
}

TForm3::TForm3(AppState& state, QWidget* parent) : QDialog(parent), state_(state), pictures_(MakeCellPictures()) {
  setWindowTitle(QString::fromLatin1(kCaption));
  QFont tahoma(QStringLiteral("Tahoma"));
  tahoma.setPixelSize(11);
  setFont(tahoma);
  setFixedSize(626, 522);

  auto* group = new QGroupBox(QString::fromLatin1(kGroupCaption), this);
  group->setObjectName(QStringLiteral("grpSave"));
  group->setGeometry(5, 3, 606, 472);

  auto* label1 = new QLabel(QString::fromLatin1(kAvailablePlugins), group);
  label1->move(9, 17);
  label1->adjustSize();

  auto* scroll = new QScrollArea(group);
  scroll->setGeometry(4, 35, 189, 425);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  pluginList_ = new PluginCategoryList();
  pluginList_->setObjectName(QStringLiteral("PluginList"));
  scroll->setWidget(pluginList_);

  QPushButton* add = GlyphButton(group, "SpeedButton3", QString(), QStyle::SP_ArrowRight, QRect(206, 120, 33, 25));
  add->setToolTip(QString::fromLatin1(kAddHint));
  connect(add, &QPushButton::clicked, this, &TForm3::SpeedButton3Click);
  QPushButton* remove = GlyphButton(group, "SpeedButton4", QString(), QStyle::SP_ArrowLeft, QRect(206, 151, 33, 25));
  remove->setToolTip(QString::fromLatin1(kRemoveHint));
  connect(remove, &QPushButton::clicked, this, &TForm3::SpeedButton4Click);

  auto* label2 = new QLabel(QString::fromLatin1(kJobQueue), group);
  label2->move(250, 17);
  label2->adjustSize();

  grid_ = new JobQueueGrid(state_, pictures_, group);
  grid_->setObjectName(QStringLiteral("Grid"));
  grid_->setGeometry(245, 36, 349, 424);
  connect(grid_, &JobQueueGrid::cellReleased, this, &TForm3::GridMouseUp);

  QPushButton* execute = GlyphButton(this, "SpeedButton1", QString::fromLatin1(kExecute), QStyle::SP_DialogApplyButton,
                                     QRect(402, 482, 97, 32));
  connect(execute, &QPushButton::clicked, this, &TForm3::SpeedButton1Click);
  QPushButton* cancel = GlyphButton(this, "SpeedButton2", QString::fromLatin1(kCancel), QStyle::SP_DialogCancelButton,
                                    QRect(514, 482, 97, 32));
  connect(cancel, &QPushButton::clicked, this, &TForm3::SpeedButton2Click);

  FormCreate();
}

void TForm3::FormCreate() {
  applyRowCountRule();
  for (const CategoryLook& look : kCategories)
    pluginList_->addCategory(QString::fromLatin1(look.caption), look.colour, look.gradient);
  // The registry does not change after discovery, so the list is built once.
  for (size_t i = 0; i < state_.registry.size(); ++i) {
    const TExportPlugin& plugin = state_.registry.at(i);
    const std::string caption = PluginButtonCaption(plugin.Name, plugin.hasExtension(), plugin.extension());
    pluginList_->addButton(CategoryOfType(plugin.pluginType()), QString::fromStdString(caption), static_cast<int>(i));
  }
}

void TForm3::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The queue may have been replaced by a project load since the last showing.
  applyRowCountRule();
}

void TForm3::applyRowCountRule() {
  grid_->setRowCount(static_cast<int>(std::min<size_t>(QueueGridRows(state_.jobs), INT_MAX)));
  grid_->update();
}

void TForm3::GridMouseUp(int column, int row) {
  if (row < 1 || static_cast<size_t>(row) > state_.jobs.size()) return;
  TExportJob& job = state_.jobs[static_cast<size_t>(row - 1)];
  if (const TExportPlugin* plugin = JobPlugin(state_.registry, job)) {
    if (column == 4) ToggleJobAlpha(job, plugin->pluginType());
    if (column == 3) ToggleJobColour(job, plugin->pluginType());
  }
  grid_->update();
}

void TForm3::SpeedButton3Click() {
  const int index = pluginList_->selectedPluginIndex();
  if (index < 0) return;
  if (!AppendJob(state_.jobs, state_.registry, index)) return;
  applyRowCountRule();
}

void TForm3::SpeedButton4Click() {
  const int row = grid_->selectedRow();
  if (row < 1 || !RemoveJob(state_.jobs, static_cast<size_t>(row - 1))) return;
  applyRowCountRule();
}

void TForm3::SpeedButton1Click() { done(QDialog::Accepted); }

void TForm3::SpeedButton2Click() { done(QDialog::Rejected); }

}  // namespace glyphmill
