// ReadSetting and its change notification, ReadAllSettings, WriteSettingsToControls and
// SelectFirstEntries: the two directions between the controls and the settings record.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

#include "app/status_texts.h"
#include "app/texture_size.h"
#include "settings/distance_field_mode.h"
#include "settings/generation_extras.h"
#include "settings/setting_selector.h"
#include "ui/colour_swatch.h"
#include "ui/fallback_font_list.h"
#include "ui/main_window.h"
#include "ui/settings_undo.h"

namespace glyphmill {

namespace {

// The selected entry of a list; for a list with typing, the entry equal to the typed text, or -1
// when no entry is.
int SelectedIndex(const QComboBox* box) {
  if (!box->isEditable()) return box->currentIndex();
  return box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

// An up-down's position is a 16-bit value; the fields are 32-bit and take it sign-extended.
int32_t Position16(const QSpinBox* box) { return static_cast<int16_t>(box->value()); }

std::string Text(const QComboBox* box) { return box->currentText().toStdString(); }

}  // namespace

void TForm1::connectSettings() {
  connect(ui.cmbFont, &QComboBox::currentIndexChanged, this, [this] { ReadSetting(SettingSelector::FontName); });
  connect(ui.udSize, &QSpinBox::valueChanged, this, [this] { ReadSetting(SettingSelector::FontSize); });
  connect(ui.chkBold, &QCheckBox::toggled, this, [this] { ReadSetting(SettingSelector::Bold); });
  connect(ui.chkItalic, &QCheckBox::toggled, this, [this] { ReadSetting(SettingSelector::Italic); });
  connect(ui.shpTextCol, &ColourSwatch::released, this,
          [this] { swatchReleased(ui.shpTextCol, SettingSelector::TextColour); });
  connect(ui.shpBGCol, &ColourSwatch::released, this,
          [this] { swatchReleased(ui.shpBGCol, SettingSelector::BackColour); });
  connect(ui.udVPad, &QSpinBox::valueChanged, this, [this] { ReadSetting(SettingSelector::VerticalPad); });
  connect(ui.udLeading, &QSpinBox::valueChanged, this, [this] { ReadSetting(SettingSelector::Leading); });
  connect(ui.udTrailing, &QSpinBox::valueChanged, this, [this] { ReadSetting(SettingSelector::Trailing); });
  connect(ui.udKerning, &QSpinBox::valueChanged, this, [this] { ReadSetting(SettingSelector::Kerning); });
  // The texture-size boxes have no change event: the size is taken by "Apply" (TextureSize).
  connect(ui.cmbAA, &QComboBox::currentTextChanged, this, [this] { ReadSetting(SettingSelector::Antialias); });
  connect(ui.chkOutline, &QCheckBox::toggled, this, [this] { ReadSetting(SettingSelector::Outline); });
  connect(ui.trkOutline, &QSlider::valueChanged, this, [this] { ReadSetting(SettingSelector::OutlineWidth); });
  connect(ui.shpOutlineCol, &ColourSwatch::released, this,
          [this] { swatchReleased(ui.shpOutlineCol, SettingSelector::OutlineColour); });
  connect(ui.trkOutSmooth, &QSlider::valueChanged, this, [this] { ReadSetting(SettingSelector::OutlineHardness); });
  connect(ui.chkDS, &QCheckBox::toggled, this, [this] { ReadSetting(SettingSelector::DropShadow); });
  connect(ui.trkDSSmooth, &QSlider::valueChanged, this, [this] { ReadSetting(SettingSelector::ShadowSmoothing); });
  connect(ui.trkDSOffset, &QSlider::valueChanged, this, [this] { ReadSetting(SettingSelector::ShadowOffset); });
  connect(ui.trkDSOpacity, &QSlider::valueChanged, this, [this] { ReadSetting(SettingSelector::ShadowOpacity); });
  connect(ui.udGenPad, &QSpinBox::valueChanged, this, [this] { ReadSetting(SettingSelector::GeneralPadding); });
  connect(ui.cmbPart, &QComboBox::currentTextChanged, this, [this] { ReadSetting(SettingSelector::PackOrigin); });
  connect(ui.trkOutOpacity, &QSlider::valueChanged, this, [this] { ReadSetting(SettingSelector::OutlineOpacity); });
  connect(ui.chkCompactCells, &QCheckBox::toggled, this, [this] { ReadSetting(SettingSelector::CompactCells); });
  connect(ui.chkFitTexture, &QCheckBox::toggled, this, [this] { ReadSetting(SettingSelector::FitTexture); });
  connect(ui.udFitWidth, &QSpinBox::valueChanged, this, [this] { ReadSetting(SettingSelector::FitTexture); });
  connect(ui.udFitHeight, &QSpinBox::valueChanged, this, [this] { ReadSetting(SettingSelector::FitTexture); });
  connect(ui.udSdfSpread, &QSpinBox::valueChanged, this, [this] { ReadSetting(SettingSelector::SdfSpread); });
  connect(ui.udPages, &QSpinBox::valueChanged, this, [this] { ReadSetting(SettingSelector::MaxPages); });
  connect(ui.cmbPagePixels, &QComboBox::currentIndexChanged, this,
          [this] { ReadSetting(SettingSelector::PagePixels); });
  connect(ui.fallbackFonts, &FallbackFontList::edited, this, [this] { ReadSetting(SettingSelector::FallbackFonts); });
  connect(ui.cmbPreviewZoom, &QComboBox::currentIndexChanged, this, [this] {
    LayoutMainWindow();
    DrawPreview();
  });
}

void TForm1::swatchReleased(ColourSwatch* swatch, SettingSelector selector) {
  const std::optional<uint32_t> chosen = prompts_.chooseColour(swatch->colour());
  if (!chosen) return;  // cancelled: nothing changes
  swatch->setColour(*chosen);
  ReadSetting(selector);
}

void TForm1::ReadSetting(SettingSelector selector) {
  if (updatingControls_) return;  // the record is being written into the controls
  const std::optional<std::string> sizeError = readControl(selector);

  // The change notification: "Idle" and, with "Auto Generate" on and no job running, the
  // automatic generation is armed (nothing at all while Advanced Export is showing).
  driver_->SettingChanged(ui.CheckBox8->isChecked(), advancedExportVisible());
  if (state_.autoGenerateArmed && !ui.Timer2->isActive()) ui.Timer2->start();
  // A refused texture size stays on the status line: an "Idle" in its place would hide from the
  // person why the size they typed was not taken.
  if (sizeError && !advancedExportVisible()) SetStatus(*sizeError);
  undo_->changed(selector);
}

std::optional<std::string> TForm1::readControl(SettingSelector selector) {
  GenerationSettings& s = state_.settings;
  std::optional<std::string> sizeError;
  using enum SettingSelector;
  switch (selector) {
    case FontName: {
      const int index = ui.cmbFont->currentIndex();
      if (index >= 0 && static_cast<size_t>(index) < state_.catalogue.entries.size())
        s.setFontName(state_.catalogue.entries[static_cast<size_t>(index)].name);
      state_.fontChanged = true;
      DrawLegendSample();
      break;
    }
    case FontSize: s.fontSize = static_cast<uint8_t>(ui.udSize->value() & 0xFF); break;
    case Bold: s.setFlag(kStyleBold, ui.chkBold->isChecked()); break;
    case Italic: s.setFlag(kStyleItalic, ui.chkItalic->isChecked()); break;
    case TextColour: s.textColour = ui.shpTextCol->colour(); break;
    case BackColour: s.backColour = ui.shpBGCol->colour(); break;
    case VerticalPad: s.verticalPad = Position16(ui.udVPad); break;
    case Leading: s.leading = Position16(ui.udLeading); break;
    case Trailing: s.trailing = Position16(ui.udTrailing); break;
    case Kerning: s.kerning = Position16(ui.udKerning); break;
    case TextureSize: {
      // ApplyTextureSize: a refused size restores the previous one in the record, the images and
      // the boxes.
      const TextureSizeResult r = ApplyTextureSize(state_, Text(ui.txtWidth), Text(ui.txtHeight));
      if (!r.ok) {
        sizeError = status::Error(r.error);
        SetStatus(*sizeError);
        ui.txtWidth->setEditText(QString::fromStdString(r.widthText));
        ui.txtHeight->setEditText(QString::fromStdString(r.heightText));
      }
      ShowImages();
      LayoutMainWindow();
      ui.Label4->setText(QString::fromStdString(r.label));
      break;
    }
    case Antialias:
      s.antialiasMode = static_cast<uint16_t>(SelectedIndex(ui.cmbAA));
      UpdateModeControls();
      break;
    case Outline:
      s.setFlag(kStyleOutline, ui.chkOutline->isChecked());
      readControl(OutlineWidth);  // switching the outline on re-reads its width
      break;
    case OutlineWidth: s.outlineWidth = static_cast<uint16_t>(ui.trkOutline->value()); break;
    case OutlineColour: s.outlineColour = ui.shpOutlineCol->colour(); break;
    case OutlineHardness: s.outlineHardness = ui.trkOutSmooth->value(); break;
    case DropShadow: s.setFlag(kStyleDropShadow, ui.chkDS->isChecked()); break;
    case ShadowSmoothing: s.shadowSmoothing = static_cast<uint16_t>(ui.trkDSSmooth->value()); break;
    case ShadowOffset: s.shadowOffset = static_cast<uint16_t>(ui.trkDSOffset->value()); break;
    case ShadowOpacity: s.shadowOpacity = static_cast<uint16_t>(ui.trkDSOpacity->value()); break;
    case GeneralPadding: s.generalPadding = Position16(ui.udGenPad); break;
    case PackOrigin: s.packOrigin = static_cast<uint8_t>(SelectedIndex(ui.cmbPart)); break;
    case OutlineOpacity: s.outlineOpacity = ui.trkOutOpacity->value(); break;
    case CompactCells: state_.extras.cellMode = ui.chkCompactCells->isChecked() ? kCellsCompact : kCellsLine; break;
    case FitTexture:
      state_.extras.fitTexture = ui.chkFitTexture->isChecked();
      state_.extras.fitMaxWidth = static_cast<uint16_t>(ui.udFitWidth->value());
      state_.extras.fitMaxHeight = static_cast<uint16_t>(ui.udFitHeight->value());
      ShowTextureSize();
      break;
    case SdfSpread: state_.extras.sdfSpread = static_cast<uint16_t>(ui.udSdfSpread->value()); break;
    case PagePixels: {
      const int mode = ui.cmbPagePixels->currentIndex();
      if (mode >= kPagePixelsClassic && mode <= kPagePixelsPremultiplied)
        state_.extras.pagePixels = static_cast<uint8_t>(mode);
      break;
    }
    case MaxPages: state_.extras.maxPages = static_cast<uint16_t>(ui.udPages->value()); break;
    case FallbackFonts: state_.extras.fallbacks = ui.fallbackFonts->fallbacks(); break;
    case None: break;  // only the change notification
  }
  return sizeError;
}

void TForm1::ShowTextureSize() {
  const bool fitted = state_.extras.fitTexture;
  for (QWidget* box :
       {static_cast<QWidget*>(ui.txtWidth), static_cast<QWidget*>(ui.txtHeight), static_cast<QWidget*>(ui.Button3)})
    box->setEnabled(!fitted);
  ui.udFitWidth->setEnabled(fitted);
  ui.udFitHeight->setEnabled(fitted);
  if (!fitted) return;  // the boxes keep what was typed until "Apply"
  const std::string width = std::to_string(state_.settings.textureWidth);
  const std::string height = std::to_string(state_.settings.textureHeight);
  ui.txtWidth->setEditText(QString::fromStdString(width));
  ui.txtHeight->setEditText(QString::fromStdString(height));
  ui.Label4->setText(QString::fromStdString(TextureSizeLabel(width, height)));
}

void TForm1::ReadAllSettings() {
  // Every control into the record, as a load of the controls: no change notification and no
  // step to undo (the record then holds what the controls show, which is no change of anyone's).
  if (updatingControls_) return;
  for (int selector = static_cast<int>(kFirstSettingSelector); selector <= static_cast<int>(kLastSettingSelector);
       ++selector)
    readControl(static_cast<SettingSelector>(selector));
}

void TForm1::SelectFirstEntries() {
  // Every drop-down list at any depth; setting an entry this way raises no change event.
  for (QComboBox* box : findChildren<QComboBox*>()) {
    if (box->count() == 0) continue;
    const QSignalBlocker block(box);
    box->setCurrentIndex(0);
  }
}

void TForm1::WriteSettingsToControls() {
  updatingControls_ = true;
  const GenerationSettings& s = state_.settings;
  // The font, by exact comparison; when no entry matches, the list and the name stay.
  const std::string name = s.fontNameString();
  for (size_t i = 0; i < state_.catalogue.entries.size(); ++i) {
    if (state_.catalogue.entries[i].name == name) {
      ui.cmbFont->setCurrentIndex(static_cast<int>(i));
      state_.fontChanged = true;
      DrawLegendSample();
      break;
    }
  }
  // Size and style.
  ui.udSize->setValue(s.fontSize);
  ui.chkBold->setChecked(s.bold());
  ui.chkItalic->setChecked(s.italic());
  // Colours.
  ui.shpTextCol->setColour(s.textColour);
  ui.shpBGCol->setColour(s.backColour);
  // Spacing (each from the low 16 bits of its field).
  ui.udVPad->setValue(static_cast<int16_t>(s.verticalPad));
  ui.udLeading->setValue(static_cast<int16_t>(s.leading));
  ui.udGenPad->setValue(static_cast<int16_t>(s.generalPadding));
  ui.udTrailing->setValue(static_cast<int16_t>(s.trailing));
  ui.udKerning->setValue(static_cast<int16_t>(s.kerning));
  // Texture size: the boxes, black images of a new size (an unchanged size keeps the texture),
  // the layout and the label.
  const QString width = QString::number(s.textureWidth), height = QString::number(s.textureHeight);
  ui.txtWidth->setEditText(width);
  ui.txtHeight->setEditText(height);
  ResizeTextures(state_, s.textureWidth, s.textureHeight);
  ShowImages();
  LayoutMainWindow();
  ui.Label4->setText(QString::fromStdString(TextureSizeLabel(width.toStdString(), height.toStdString())));
  // Lists.
  ui.cmbPart->setCurrentIndex(s.packOrigin < ui.cmbPart->count() ? s.packOrigin : -1);
  ui.cmbAA->setCurrentIndex(s.antialiasMode < ui.cmbAA->count() ? s.antialiasMode : -1);
  ui.udSdfSpread->setValue(FieldSpread(state_.extras));
  // Effects.
  ui.trkOutline->setValue(s.outlineWidth);
  ui.trkOutSmooth->setValue(s.outlineHardness);
  ui.trkOutOpacity->setValue(s.outlineOpacity);
  ui.shpOutlineCol->setColour(s.outlineColour);
  ui.trkDSSmooth->setValue(s.shadowSmoothing);
  ui.trkDSOffset->setValue(s.shadowOffset);
  ui.trkDSOpacity->setValue(s.shadowOpacity);
  // Effect switches.
  ui.chkOutline->setChecked(s.outline());
  ui.chkDS->setChecked(s.dropShadow());
  // The settings beyond the record.
  ui.chkCompactCells->setChecked(state_.extras.cellMode == kCellsCompact);
  ui.udFitWidth->setValue(state_.extras.fitMaxWidth);
  ui.udFitHeight->setValue(state_.extras.fitMaxHeight);
  ui.chkFitTexture->setChecked(state_.extras.fitTexture);
  ui.cmbPagePixels->setCurrentIndex(state_.extras.pagePixels);
  ui.udPages->setValue(MaxPagesOf(state_.extras));
  if (ui.fallbackFonts->fallbacks() != state_.extras.fallbacks) ui.fallbackFonts->setFallbacks(state_.extras.fallbacks);
  ShowTextureSize();
  UpdateModeControls();
  updatingControls_ = false;
}

void TForm1::UpdateModeControls() {
  const bool field = IsDistanceField(state_.settings);
  ui.udSdfSpread->setEnabled(field);
  ui.cmbPagePixels->setEnabled(!field);  // a field's page is data, written as it is
  ui.cmbPreviewZoom->setEnabled(field);
  for (QWidget* effect :
       std::initializer_list<QWidget*>{ui.chkOutline, ui.trkOutline, ui.shpOutlineCol, ui.trkOutSmooth,
                                       ui.trkOutOpacity, ui.chkDS, ui.trkDSSmooth, ui.trkDSOffset, ui.trkDSOpacity})
    effect->setEnabled(!field);
}

int32_t TForm1::previewZoom() const {
  switch (ui.cmbPreviewZoom->currentIndex()) {
    case 1: return 2;
    case 2: return 4;
    case 3: return 8;
    default: return 1;
  }
}

}  // namespace glyphmill
