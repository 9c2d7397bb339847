#include "ui/range_editor_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QToolButton>

#include <algorithm>

#include "app/app_state.h"
#include "settings/unicode_blocks.h"
#include "ui/button_captions.h"
#include "ui/combo_rows.h"
#include "ui/range_editor_grid.h"

namespace glyphmill {

namespace {

constexpr const char* kCaption = "Edit Character Range";
constexpr const char* kUseColour = "Use Colour";
constexpr const char* kShowEntireRange = "Show Entire Range";
constexpr const char* kJumpTo = "Jump To:";
constexpr const char* kInfoCaption = "Character Info: ";
constexpr const char* kUnicodeRow = "Unicode:";
constexpr const char* kCodepageRow = "Codepage:";
constexpr const char* kSupportedRow = "Supported:";
constexpr const char* kSupportedYes = "yes";
constexpr const char* kSupportedNo = "no";

// "yes", "no", or for a character drawn from a fallback font "yes, from " and that font's name.
std::string SupportedText(const CharacterInfo& info) {
  if (!info.supported) return kSupportedNo;
  if (info.fallbackFont.empty()) return kSupportedYes;
  return std::string(kSupportedYes) + ", from " + info.fallbackFont;
}
constexpr const char* kCountLineCaption = "Characters Selected: ";
constexpr const char* kSelectAll = "Select All";
constexpr const char* kSelectNone = "Select None";
constexpr const char* kAccept = "Accept";
constexpr const char* kCancel = kCancelCaption;
const QColor kYesColour(0, 128, 0);
const QColor kNoColour(255, 0, 0);

// Design client size; every control keeps its distance to the edges it is anchored to.
constexpr int kDesignWidth = 537;
constexpr int kDesignHeight = 607;

QLabel* ValueLabel(QWidget* parent, const char* objectName) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(objectName));
  return label;
}

}  // namespace

TForm2::TForm2(AppState& state, QWidget* parent)
    : QDialog(parent), state_(state), model_(state.selection, state.tables) {
  setWindowTitle(QString::fromLatin1(kCaption));
  QFont tahoma(QStringLiteral("Tahoma"));
  tahoma.setPointSize(8);
  setFont(tahoma);
  setSizeGripEnabled(true);
  setMinimumSize(420, 360);

  grid_ = new RangeEditorGrid(model_, state_.tables, state_.measurer, glyphs_, this);
  grid_->setObjectName(QStringLiteral("grid"));
  connect(grid_, &RangeEditorGrid::cellPressed, this, &TForm2::gridMouseDown);
  connect(grid_, &RangeEditorGrid::pointerMoved, this, &TForm2::gridMouseMove);
  connect(grid_, &RangeEditorGrid::cellReleased, this, &TForm2::gridMouseUp);

  useColour_ = new QCheckBox(QString::fromLatin1(kUseColour), this);
  useColour_->setObjectName(QStringLiteral("CheckBox2"));
  useColour_->setChecked(true);
  entireRange_ = new QCheckBox(QString::fromLatin1(kShowEntireRange), this);
  entireRange_->setObjectName(QStringLiteral("CheckBox1"));
  entireRange_->setChecked(false);
  connect(useColour_, &QCheckBox::clicked, this, &TForm2::CheckBox1Click);
  connect(entireRange_, &QCheckBox::clicked, this, &TForm2::CheckBox1Click);

  jumpLabel_ = new QLabel(QString::fromLatin1(kJumpTo), this);
  jumpList_ = new QComboBox(this);
  jumpList_->setObjectName(QStringLiteral("ComboBox1"));
  LimitVisibleRows(jumpList_, 10);
  for (const UnicodeBlock& block : UnicodeBlockTable())
    jumpList_->addItem(QString::fromUtf8(block.name.data(), static_cast<qsizetype>(block.name.size())));
  jumpList_->setEnabled(false);
  connect(jumpList_, &QComboBox::activated, this, &TForm2::ComboBox1Change);

  auto* group = new QGroupBox(QString::fromLatin1(kInfoCaption), this);
  group->setObjectName(QStringLiteral("GroupBox1"));
  infoGroup_ = group;
  const char* rows[] = {kUnicodeRow, kCodepageRow, kSupportedRow};
  for (int i = 0; i < 3; ++i) {
    auto* caption = new QLabel(QString::fromLatin1(rows[i]), group);
    caption->setGeometry(10, 17 + i * 17, 70, 16);
  }
  unicodeValue_ = ValueLabel(group, "Label4");
  codepageValue_ = ValueLabel(group, "Label5");
  supportedValue_ = ValueLabel(group, "Label7");

  countLine_ = new QLabel(QString::fromLatin1(kCountLineCaption), this);
  countLine_->setObjectName(QStringLiteral("Label6"));
  QFont bold = font();
  bold.setBold(true);
  countLine_->setFont(bold);
  countLine_->setAlignment(Qt::AlignHCenter);

  selectAll_ = new QPushButton(QString::fromLatin1(kSelectAll), this);
  selectAll_->setObjectName(QStringLiteral("SpeedButton3"));
  selectAll_->setFlat(true);
  selectNone_ = new QPushButton(QString::fromLatin1(kSelectNone), this);
  selectNone_->setObjectName(QStringLiteral("SpeedButton4"));
  selectNone_->setFlat(true);
  accept_ = new QPushButton(QString::fromLatin1(kAccept), this);
  accept_->setObjectName(QStringLiteral("SpeedButton1"));
  cancel_ = new QPushButton(QString::fromLatin1(kCancel), this);
  cancel_->setObjectName(QStringLiteral("SpeedButton2"));
  for (QPushButton* b : {selectAll_, selectNone_, accept_, cancel_}) b->setAutoDefault(false);
  connect(selectAll_, &QPushButton::clicked, this, &TForm2::SpeedButton3Click);
  connect(selectNone_, &QPushButton::clicked, this, &TForm2::SpeedButton4Click);
  connect(accept_, &QPushButton::clicked, this, &TForm2::SpeedButton1Click);
  connect(cancel_, &QPushButton::clicked, this, &TForm2::SpeedButton2Click);

  add_ = new QToolButton(this);
  add_->setObjectName(QStringLiteral("addCharacters"));
  add_->setText(QStringLiteral("Add"));
  add_->setToolTip(QStringLiteral("Select the characters of a text"));
  add_->setPopupMode(QToolButton::InstantPopup);
  auto* addMenu = new QMenu(add_);
  connect(addMenu->addAction(QStringLiteral("Add Characters...")), &QAction::triggered, this,
          &TForm2::AddCharactersClick);
  connect(addMenu->addAction(QStringLiteral("Add From File...")), &QAction::triggered, this, &TForm2::AddFromFileClick);
  add_->setMenu(addMenu);

  // FormCreate: lay out at the design size, first jump entry, top row.
  resize(kDesignWidth, kDesignHeight);
  placeControls();
  FormResize();
  jumpList_->setCurrentIndex(0);
  grid_->setTopRow(0);
}

TForm2::~TForm2() = default;

void TForm2::placeControls() {
  const int w = width();
  const int h = height();
  grid_->setGeometry(8, 8, w - 16, h - 160);
  useColour_->move(8, h - 146);
  useColour_->adjustSize();
  entireRange_->move(8, h - 126);
  entireRange_->adjustSize();
  jumpLabel_->move(8, h - 106);
  jumpLabel_->adjustSize();
  jumpList_->setGeometry(8, h - 89, 181, jumpList_->sizeHint().height());
  infoGroup_->setGeometry(197, h - 143, w - 205, 73);
  const int valueWidth = std::max(40, infoGroup_->width() - 90);
  unicodeValue_->setGeometry(84, 17, valueWidth, 16);
  codepageValue_->setGeometry(84, 34, valueWidth, 16);
  supportedValue_->setGeometry(84, 51, valueWidth, 16);
  countLine_->setGeometry(0, h - 61, w, countLine_->sizeHint().height());
  const int smallHeight = 25;
  const int allWidth = std::max(75, selectAll_->sizeHint().width());
  selectAll_->setGeometry(9, h - 34, allWidth, smallHeight);
  selectNone_->setGeometry(std::max(88, 9 + allWidth + 4), h - 34, std::max(75, selectNone_->sizeHint().width()),
                           smallHeight);
  // Both dialog buttons follow the right edge, so a wider window never stacks them.
  accept_->setGeometry(w - 198, h - 40, 90, 33);
  // "Add" sits between "Select None" and "Accept".
  const int addLeft = selectNone_->geometry().right() + 6;
  add_->setGeometry(addLeft, h - 34, std::max(0, std::min(add_->sizeHint().width() + 8, w - 198 - 6 - addLeft)),
                    smallHeight);
  cancel_->setGeometry(w - 98, h - 40, 90, 33);
}

void TForm2::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  placeControls();
  FormResize();
}

void TForm2::FormResize() {
  model_.setShowEntireRange(entireRange_->isChecked());
  model_.setUseColour(useColour_->isChecked());
  grid_->relayout();
}

bool TForm2::beginEditing(const FontRequest& font, std::string* error) {
  // MeasureFont first, so that the metrics and, after a font change, the support and the
  // selection are current before the copy is taken.
  if (!state_.measurer.Measure(font, state_.extras.fallbacks, state_.settings.kerning, state_.selection,
                               state_.fontChanged, state_.tables, error))
    return false;
  editedFont_ = font;
  savedSelection_ = std::make_unique<CharacterSelection>(state_.selection);
  savedCount_ = state_.tables.selectedCount;
  setResult(QDialog::Rejected);  // a close by any other way than "Accept" counts as Cancel
  FormShow(font.name);
  return true;
}

bool TForm2::finishEditing() {
  const bool accepted = result() == QDialog::Accepted;
  if (accepted) {
    // Accepted: measure again with the support of the main window's own font, which recounts.
    state_.fontChanged = true;
    std::string error;
    state_.measurer.Measure(editedFont_, state_.extras.fallbacks, state_.settings.kerning, state_.selection,
                            state_.fontChanged, state_.tables, &error);
  } else if (savedSelection_) {
    state_.selection = *savedSelection_;
    state_.tables.selectedCount = savedCount_;
  }
  savedSelection_.reset();
  return accepted;
}

bool TForm2::runEditor(const FontRequest& font) {
  std::string error;
  if (!beginEditing(font, &error)) {
    QMessageBox::warning(parentWidget(), QString::fromLatin1(kCaption), QString::fromStdString(error));
    return false;
  }
  exec();
  return finishEditing();
}

void TForm2::FormShow(const std::string& fontName) {
  FontRequest gridFont;
  gridFont.name = fontName;
  gridFont.pointSize = kRangeGridPointSize;
  std::string error;
  glyphs_.setFont(fontName, &error);
  if (!gridMeasurer_.RefreshFontSupport(gridFont, state_.extras.fallbacks, state_.tables, &error)) {
    // A font whose ranges cannot be read counts as supporting every code unit.
    std::fill(state_.tables.fontSupport.begin(), state_.tables.fontSupport.end(), 1);
  }
  glyphs_.setFallbacks(state_.tables.fallbacks.fonts);
  SyncSupportedList(state_.tables);
  model_.endDrag();
  FormResize();
  jumpList_->setCurrentIndex(0);
  grid_->setTopRow(0);
  grid_->setCurrentCell(0);
  unicodeValue_->clear();
  codepageValue_->clear();
  supportedValue_->clear();
  UpdateSelectionLabel();
}

void TForm2::CheckBox1Click() {
  FormResize();
  jumpList_->setEnabled(entireRange_->isChecked());
}

void TForm2::ComboBox1Change(int index) {
  const std::optional<int32_t> cell = model_.jumpCell(index);
  if (!cell) return;
  grid_->setCurrentCell(*cell);
  grid_->setTopRow(*cell / model_.columns());
}

void TForm2::gridMouseDown(int64_t cellIndex, bool leftButton) {
  model_.press(cellIndex, leftButton);
  grid_->setCurrentCell(std::min<int64_t>(cellIndex, 65535));
}

void TForm2::gridMouseMove(int64_t cellIndex) {
  ShowCharacterInfo(cellIndex);
  if (model_.dragMode() == DragMode::None) return;
  grid_->setCurrentCell(cellIndex);
  model_.move(cellIndex);
  grid_->viewport()->update();
  UpdateSelectionLabel();
}

void TForm2::gridMouseUp(int64_t cellIndex) {
  if (cellIndex >= 0) gridMouseMove(cellIndex);
  model_.endDrag();
  if (cellIndex >= 0) grid_->setCurrentCell(cellIndex);
  grid_->viewport()->update();
}

void TForm2::ShowCharacterInfo(int64_t cellIndex) {
  const std::optional<CharacterInfo> info = model_.characterInfo(cellIndex);
  if (!info) return;
  unicodeValue_->setText(QString::fromStdString(info->unicode));
  codepageValue_->setText(QString::fromStdString(info->codepage));
  supportedValue_->setText(QString::fromUtf8(SupportedText(*info).c_str()));
  QPalette pal = supportedValue_->palette();
  pal.setColor(QPalette::WindowText, info->supported ? kYesColour : kNoColour);
  supportedValue_->setPalette(pal);
}

void TForm2::UpdateSelectionLabel() { countLine_->setText(QString::fromStdString(model_.updateSelectionLabel())); }

void TForm2::SpeedButton1Click() { done(QDialog::Accepted); }

void TForm2::SpeedButton2Click() { done(QDialog::Rejected); }

void TForm2::SpeedButton3Click() {
  model_.selectAll();
  grid_->viewport()->update();
  UpdateSelectionLabel();
}

void TForm2::addCharacters(const TextCharacters& text, CharacterAddition* addition) {
  *addition = AddTextCharacters(text, state_.selection, state_.tables.fontSupport);
  grid_->viewport()->update();
  UpdateSelectionLabel();
}

bool TForm2::addTextCharacters(std::string_view bytes, CharacterAddition* addition, std::string* error) {
  TextCharacters text;
  if (!DecodeTextCharacters(bytes, &text, error)) return false;
  addCharacters(text, addition);
  return true;
}

bool TForm2::addFileCharacters(const std::string& path, CharacterAddition* addition, std::string* error) {
  TextCharacters text;
  if (!ReadFileCharacters(path, &text, error)) return false;
  addCharacters(text, addition);
  return true;
}

void TForm2::AddCharactersClick() {
  AddCharactersDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  const QByteArray utf8 = dialog.text().toUtf8();
  CharacterAddition addition;
  std::string error;
  const bool added =
      addTextCharacters(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), &addition, &error);
  const QString report = added ? AdditionReport(addition) : QString::fromStdString(error);
  if (reporter_)
    reporter_(report);
  else if (added)
    QMessageBox::information(this, QString::fromLatin1(kCaption), report);
  else
    QMessageBox::warning(this, QString::fromLatin1(kCaption), report);
}

void TForm2::AddFromFileClick() {
  if (!textFilePrompt_) return;
  const std::optional<std::string> path = textFilePrompt_();
  if (!path) return;
  CharacterAddition addition;
  std::string error;
  const bool read = addFileCharacters(*path, &addition, &error);
  const QString report = read ? AdditionReport(addition) : QString::fromStdString(error);
  if (reporter_)
    reporter_(report);
  else if (read)
    QMessageBox::information(this, QString::fromLatin1(kCaption), report);
  else
    QMessageBox::warning(this, QString::fromLatin1(kCaption), report);
}

void TForm2::SpeedButton4Click() {
  model_.selectNone();
  grid_->viewport()->update();
  UpdateSelectionLabel();
}

}  // namespace glyphmill
