// TForm2, "Edit Character Range": the modal editor of the character set. The grid shows every
// code unit, or only those the chosen font supports, drawn in that font and tinted by Unicode
// block; dragging with the left button paints the selection, with any other button erases it.
//
// The main window's side is runEditor: it measures the font, keeps a copy of the selection and
// its count, runs the editor and, on "Accept", marks the font changed and measures again (the
// caller then sends its change notification); on "Cancel" or any other close it puts the copy
// back. runEditor is beginEditing + exec() + finishEditing, so the editor can also be driven
// without a modal loop.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "settings/character_selection.h"
#include "settings/font_face.h"
#include "settings/font_metrics.h"
#include "ui/range_editor_glyph_cache.h"
#include "ui/range_editor_model.h"
#include "ui/range_editor_text.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace glyphmill {

struct AppState;
class RangeEditorGrid;

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  TForm2(AppState& state, QWidget* parent = nullptr);
  ~TForm2() override;

  // btnCharacterRangeClick: true when the editor was accepted (the caller then runs its change
  // notification), false for Cancel, a close, or a font that could not be measured (the failure
  // is shown in a message box and the editor is not opened).
  bool runEditor(const FontRequest& font);

  // The steps around the modal loop. beginEditing measures, keeps the copy and prepares the
  // editor for `font` (FormShow); false, with `error` set, when the font cannot be measured.
  // finishEditing keeps or restores the selection by the dialog's result and returns whether it
  // was accepted.
  bool beginEditing(const FontRequest& font, std::string* error);
  bool finishEditing();

  RangeEditorModel& model() { return model_; }
  RangeEditorGrid* grid() const { return grid_; }
  GlyphCellCache& glyphCache() { return glyphs_; }

  // Handlers, also reachable without a click.
  void CheckBox1Click();  // "Show Entire Range" and "Use Colour"
  void ComboBox1Change(int index);
  void SpeedButton1Click();  // Accept
  void SpeedButton2Click();  // Cancel
  void SpeedButton3Click();  // Select All
  void SpeedButton4Click();  // Select None

  // Typed character sets ("Add" button): the text's characters the font supports are selected.
  void AddCharactersClick();  // "Add Characters...": a text box to paste or type into
  void AddFromFileClick();    // "Add From File...": a UTF-8 or UTF-16 text file
  // Adds the characters of a UTF-8 or UTF-16 text; false with `error` set, and nothing added, when
  // the text is malformed.
  bool addTextCharacters(std::string_view bytes, CharacterAddition* addition, std::string* error);
  // Reads `path` (bounded) and adds its characters; false with `error` set, and nothing added, when
  // it cannot be read or is malformed.
  bool addFileCharacters(const std::string& path, CharacterAddition* addition, std::string* error);
  // Who chooses the text file (the main window's open dialog); nothing chosen means cancelled.
  void setTextFilePrompt(std::function<std::optional<std::string>()> prompt) { textFilePrompt_ = std::move(prompt); }
  // Who shows a report (default: a message box over the editor).
  void setReporter(std::function<void(const QString&)> reporter) { reporter_ = std::move(reporter); }
  QToolButton* addButton() const { return add_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;  // FormResize: anchors, then the grid layout

 private:
  void FormShow(const std::string& fontName);
  void FormResize();
  void gridMouseDown(int64_t cellIndex, bool leftButton);
  void gridMouseMove(int64_t cellIndex);
  void gridMouseUp(int64_t cellIndex);
  void ShowCharacterInfo(int64_t cellIndex);
  void UpdateSelectionLabel();
  void addCharacters(const TextCharacters& text, CharacterAddition* addition);  // selects, then redraws
  void placeControls();

  AppState& state_;
  RangeEditorModel model_;
  GlyphCellCache glyphs_;
  FontMeasurer gridMeasurer_;  // the support of the grid's font; the generation's measurer keeps its own face

  // The copy kept by beginEditing.
  FontRequest editedFont_;
  std::unique_ptr<CharacterSelection> savedSelection_;
  uint32_t savedCount_ = 0;

  RangeEditorGrid* grid_ = nullptr;
  QCheckBox* useColour_ = nullptr;     // CheckBox2
  QCheckBox* entireRange_ = nullptr;   // CheckBox1
  QLabel* jumpLabel_ = nullptr;        // Label1
  QComboBox* jumpList_ = nullptr;      // ComboBox1
  QWidget* infoGroup_ = nullptr;       // GroupBox1
  QLabel* unicodeValue_ = nullptr;     // Label4
  QLabel* codepageValue_ = nullptr;    // Label5
  QLabel* supportedValue_ = nullptr;   // Label7
  QLabel* countLine_ = nullptr;        // Label6
  QPushButton* selectAll_ = nullptr;   // SpeedButton3
  QPushButton* selectNone_ = nullptr;  // SpeedButton4
  QPushButton* accept_ = nullptr;      // SpeedButton1
  QPushButton* cancel_ = nullptr;      // SpeedButton2
  QToolButton* add_ = nullptr;         // "Add" with "Add Characters..." and "Add From File..."
  std::function<std::optional<std::string>()> textFilePrompt_;
  std::function<void(const QString&)> reporter_;
};

}  // namespace glyphmill
