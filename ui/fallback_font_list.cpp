#include "ui/fallback_font_list.h"

#include <QBrush>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

#include "settings/fallback_fonts.h"
#include "ui/font_file_filter.h"

namespace glyphmill {

namespace {

constexpr const char* kAddFileTitle = "Add Fallback Font File";
constexpr const char* kAddFamilyTitle = "Add Installed Family";
constexpr const char* kAddFamilyLabel = "Family drawn where the font lacks a character:";
constexpr const char* kMissingSuffix = " (missing)";

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromLatin1(caption), parent);
  b->setObjectName(QString::fromLatin1(name));
  return b;
}

}  // namespace

FallbackFontList::FallbackFontList(UiPrompts& prompts, QWidget* parent) : QWidget(parent), prompts_(prompts) {
  setObjectName(QStringLiteral("pageFallbackFonts"));
  view_ = new QListWidget(this);
  view_->setObjectName(QStringLiteral("lstFallbackFonts"));
  view_->setToolTip(QStringLiteral("Asked in this order for each character the font lacks"));
  addFile_ = Button(this, "btnAddFallbackFile", "Add Font File...");
  addFamily_ = Button(this, "btnAddFallbackFamily", "Add Installed Family...");
  remove_ = Button(this, "btnRemoveFallback", "Remove");
  up_ = Button(this, "btnFallbackUp", "Up");
  down_ = Button(this, "btnFallbackDown", "Down");
  view_->setGeometry(6, 6, 241, 122);
  addFile_->setGeometry(6, 132, 110, 22);
  addFamily_->setGeometry(119, 132, 128, 22);
  remove_->setGeometry(6, 157, 78, 22);
  up_->setGeometry(87, 157, 78, 22);
  down_->setGeometry(169, 157, 78, 22);
  connect(addFile_, &QPushButton::clicked, this, &FallbackFontList::addFontFile);
  connect(addFamily_, &QPushButton::clicked, this, &FallbackFontList::addInstalledFamily);
  connect(remove_, &QPushButton::clicked, this, &FallbackFontList::removeSelected);
  connect(up_, &QPushButton::clicked, this, [this] { moveSelected(-1); });
  connect(down_, &QPushButton::clicked, this, [this] { moveSelected(1); });
  connect(view_, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
  updateButtons();
}

void FallbackFontList::setFallbacks(const std::vector<FallbackFont>& list) {
  list_ = list;
  refill(list_.empty() ? -1 : 0);
}

void FallbackFontList::refill(int selectRow) {
  const QSignalBlocker quiet(view_);
  view_->clear();
  for (const FallbackFont& font : list_) {
    // Whether it can be opened now, asked as a job would ask (style and size do not matter).
    const bool there = ResolveFallback(font, FontRequest{}).has_value();
    auto* item = new QListWidgetItem(QString::fromStdString(FallbackLabel(font) + (there ? "" : kMissingSuffix)));
    item->setToolTip(QString::fromStdString(font.name));
    if (!there) item->setForeground(QBrush(Qt::red));
    view_->addItem(item);
  }
  view_->setCurrentRow(std::min(selectRow, static_cast<int>(list_.size()) - 1));
  updateButtons();
}

void FallbackFontList::updateButtons() {
  const int row = view_->currentRow();
  const bool selected = row >= 0 && row < static_cast<int>(list_.size());
  const bool room = list_.size() < kMaxFallbackFonts;
  addFile_->setEnabled(room);
  addFamily_->setEnabled(room);
  remove_->setEnabled(selected);
  up_->setEnabled(selected && row > 0);
  down_->setEnabled(selected && row + 1 < static_cast<int>(list_.size()));
}

void FallbackFontList::take(FallbackFont font) {
  if (list_.size() >= kMaxFallbackFonts) return;
  // A font already in the list is selected rather than asked twice.
  const auto same = std::find(list_.begin(), list_.end(), font);
  if (same != list_.end()) {
    refill(static_cast<int>(same - list_.begin()));
    return;
  }
  list_.push_back(std::move(font));
  refill(static_cast<int>(list_.size()) - 1);
  emit edited();
}

void FallbackFontList::addFontFile() {
  const std::optional<std::string> path = prompts_.openFile(kAddFileTitle, kFontFileFilter);
  if (path && !path->empty()) take(FallbackFont{kFallbackFile, 0, *path});
}

void FallbackFontList::addInstalledFamily() {
  const std::optional<std::string> family = prompts_.chooseItem(kAddFamilyTitle, kAddFamilyLabel, families_);
  if (family && !family->empty()) take(FallbackFont{kFallbackFamily, 0, *family});
}

void FallbackFontList::removeSelected() {
  const int row = view_->currentRow();
  if (row < 0 || row >= static_cast<int>(list_.size())) return;
  list_.erase(list_.begin() + row);
  refill(row);
  emit edited();
}

void FallbackFontList::moveSelected(int by) {
  const int row = view_->currentRow();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= static_cast<int>(list_.size()) || row >= static_cast<int>(list_.size())) return;
  std::swap(list_[static_cast<std::size_t>(row)], list_[static_cast<std::size_t>(to)]);
  refill(to);
  emit edited();
}

}  // namespace glyphmill
