// The main window's controls at their design places (client-area pixels at 96 dpi).

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include "app/texture_size.h"
#include "settings/generation_extras.h"
#include "ui/colour_swatch.h"
#include "ui/combo_rows.h"
#include "ui/fallback_font_list.h"
#include "ui/legend_view.h"
#include "ui/main_window.h"
#include "ui/preview_strip.h"
#include "ui/status_bar.h"
#include "ui/texture_view.h"
#include "ui/widget_placement.h"

namespace glyphmill {

namespace {

QFont DesignFont(const char* family, int points) {
  QFont font(QString::fromLatin1(family));
  font.setPointSize(points);
  return font;
}

QLabel* Caption(QWidget* parent, const char* text, int x, int y) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  PlaceAt(label, x, y, 0, 13);
  return label;
}

QSpinBox* UpDown(QWidget* parent, const char* name, int minimum, int maximum, int value) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(name);
  box->setRange(minimum, maximum);
  box->setValue(value);
  return box;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* text, bool on) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setObjectName(name);
  box->setChecked(on);
  return box;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(name);
  return button;
}

// A drop-down list with typing: the typed text is the control's value.
QComboBox* TypingList(QWidget* parent, const char* name, const QStringList& items) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->addItems(items);
  return box;
}

// A track bar whose value is shown in a tip above the thumb while it is dragged.
QSlider* TrackBar(QWidget* parent, const char* name, int minimum, int maximum, int value) {
  auto* bar = new QSlider(Qt::Horizontal, parent);
  bar->setObjectName(name);
  bar->setRange(minimum, maximum);
  bar->setValue(value);
  bar->setPageStep(1);
  QObject::connect(bar, &QSlider::sliderMoved, bar, [bar](int v) {
    const int span = std::max(1, bar->maximum() - bar->minimum());
    const int x = (bar->width() - 12) * (v - bar->minimum()) / span;
    QToolTip::showText(bar->mapToGlobal(QPoint(x, -28)), QString::number(v), bar);
  });
  return bar;
}

QGroupBox* Group(QWidget* parent, const char* title, int x, int y, int w, int h) {
  auto* group = new QGroupBox(QString::fromLatin1(title), parent);
  group->setGeometry(x, y, w, h);
  return group;
}

}  // namespace

void TForm1::buildControls() {
  client_ = new QWidget(this);
  setCentralWidget(client_);
  setFont(DesignFont("MS Sans Serif", 8));

  ui.Tab = new TextureView(client_);
  ui.Image3 = new PreviewStrip(client_);
  ui.Image3->setObjectName("Image3");
  ui.Image3->setToolTip("Preview Window - Click to change background.");
  ui.Edit12 = new QLineEdit(client_);
  ui.Edit12->setObjectName("Edit12");
  ui.Edit12->setFont(DesignFont("Tahoma", 8));
  ui.Button4 = Button(client_, "Button4", "Preview");
  // Under the progress bar like the text box and the button, so the bar covers it too.
  ui.cmbPreviewZoom = new QComboBox(client_);
  ui.cmbPreviewZoom->setObjectName("cmbPreviewZoom");
  ui.cmbPreviewZoom->addItems({"1x", "2x", "4x", "8x"});
  ui.cmbPreviewZoom->setToolTip("Preview zoom of a distance-field font");
  ui.Bar = new QProgressBar(client_);
  ui.Bar->setObjectName("Bar");
  ui.Bar->setTextVisible(false);
  ui.Bar->hide();
  ui.statBar = new StatusBar(client_);
  ui.statBar->setObjectName("statBar");
  ui.Panel1 = new QWidget(client_);
  ui.Panel1->setObjectName("Panel1");
  ui.Timer2 = new QTimer(this);
  ui.Timer2->setInterval(100);
  buildSettingsColumn();
  client_->resize(kDesignWidth, kDesignHeight);
  applyAnchors();
}

void TForm1::buildSettingsColumn() {
  QWidget* column = ui.Panel1;
  buildFontGroup(column);
  ui.btnCharacterRange = Button(column, "btnCharacterRange", "Select Character Range...");
  PlaceAt(ui.btnCharacterRange, 4, 112, 259, 25);
  buildPlacementGroup(column);

  // ---- the two pages
  ui.PageControl1 = new QTabWidget(column);
  ui.PageControl1->setObjectName("PageControl1");
  ui.PageControl1->setGeometry(4, 333, 259, 214);
  auto* general = new QWidget;
  auto* effects = new QWidget;
  ui.PageControl1->addTab(general, "General Settings");
  ui.PageControl1->addTab(effects, "Text Effects");
  ui.fallbackFonts = new FallbackFontList(prompts_, nullptr);
  ui.PageControl1->addTab(ui.fallbackFonts, "Fallbacks");
  // Three captions share the column's width: the tabs are padded less than the style's default so
  // that all three show whole, without scroll arrows.
  ui.PageControl1->tabBar()->setStyleSheet("QTabBar::tab { padding: 3px 6px; }");
  buildGeneralPage(general);
  buildEffectsPage(effects);
  ui.PageControl1->setCurrentWidget(effects);  // "Text Effects" is the page shown at start

  buildOptionsGroup(column);
}

void TForm1::buildFontGroup(QWidget* column) {
  QGroupBox* font = Group(column, "Font", 4, 4, 259, 104);
  ui.cmbFont = new FontListBox(font);
  ui.cmbFont->setObjectName("cmbFont");
  LimitVisibleRows(ui.cmbFont, 16);
  fontDelegate_ = new FontListDelegate(state_.catalogue, ui.cmbFont);
  ui.cmbFont->setItemDelegate(fontDelegate_);
  PlaceAt(ui.cmbFont, 8, 18, 243, 22);
  QLabel* size = Caption(font, "Size:", 8, 50);
  ui.udSize = UpDown(font, "udSize", 0, 120, 32);
  ui.udSize->setFont(DesignFont("Arial", 9));
  ui.udSize->setToolTip("Font Size");
  PlaceAt(ui.udSize, size->geometry().right() + 6, 46, 50, 22);
  ui.chkBold = Check(font, "chkBold", "Bold", true);
  QFont bold = ui.chkBold->font();
  bold.setBold(true);
  ui.chkBold->setFont(bold);
  PlaceAt(ui.chkBold, ui.udSize->geometry().right() + 10, 48, 0, 17);
  ui.chkItalic = Check(font, "chkItalic", "Italic", false);
  QFont italic = ui.chkItalic->font();
  italic.setItalic(true);
  ui.chkItalic->setFont(italic);
  PlaceAt(ui.chkItalic, ui.chkBold->geometry().right() + 8, 48, 0, 17);
  QLabel* textColour = Caption(font, "Text Colour:", 8, 80);
  ui.shpTextCol = new ColourSwatch(font);
  ui.shpTextCol->setObjectName("shpTextCol");
  ui.shpTextCol->setToolTip("Foreground Colour");
  ui.shpTextCol->setColour(kColourWhite);
  ui.shpTextCol->setGeometry(textColour->geometry().right() + 6, 77, 19, 19);
  QLabel* bg = Caption(font, "BG:", ui.shpTextCol->geometry().right() + 18, 80);
  ui.shpBGCol = new ColourSwatch(font);
  ui.shpBGCol->setObjectName("shpBGCol");
  ui.shpBGCol->setToolTip("Background Colour");
  ui.shpBGCol->setColour(kColourSilver);
  ui.shpBGCol->setGeometry(bg->geometry().right() + 6, 77, 19, 19);
}

// "Character Placement": the legend with the five spacing boxes on it.
void TForm1::buildPlacementGroup(QWidget* column) {
  QGroupBox* placement = Group(column, "Character Placement", 4, 141, 259, 188);
  ui.imgLeg = new LegendView(placement);
  ui.imgLeg->setObjectName("imgLeg");
  const QPoint leg(9, 18);
  ui.imgLeg->move(leg);
  struct SpacingBox {
    QSpinBox** box;
    const char* name;
    int x, y, minimum, maximum;
    const char* hint;
  };
  const SpacingBox boxes[] = {
      {&ui.udGenPad, "udGenPad", 199, 54, -100, 100, nullptr},
      {&ui.udVPad, "udVPad", 130, 80, -100, 100, nullptr},
      {&ui.udLeading, "udLeading", 15, 134, -100, 100, "Leading Margin"},
      {&ui.udTrailing, "udTrailing", 92, 134, -100, 100, "Trailing Margin"},
      {&ui.udKerning, "udKerning", 199, 134, -1000, 1000, nullptr},
  };
  for (const SpacingBox& b : boxes) {
    *b.box = UpDown(placement, b.name, b.minimum, b.maximum, 0);
    (*b.box)->setFont(DesignFont("Arial", 8));
    if (b.hint) (*b.box)->setToolTip(b.hint);
    // The box keeps its place on the legend; a value that needs more room widens it leftwards
    // when it would leave the group.
    PlaceAt(*b.box, leg.x() + b.x, leg.y() + b.y, 22 + 16, 22);
    const int overflow = (*b.box)->geometry().right() - (placement->width() - 4);
    if (overflow > 0) (*b.box)->move((*b.box)->x() - overflow, (*b.box)->y());
  }
}

void TForm1::buildGeneralPage(QWidget* general) {
  Caption(general, "Antialiasing Filter:", 8, 6);
  ui.cmbAA = TypingList(general, "cmbAA", {"Smooth", "Cleartype", "None", "Distance Field", "MSDF", "MTSDF"});
  PlaceAt(ui.cmbAA, 8, 22, 130, 22);
  Caption(general, "Spread:", 146, 6);
  ui.udSdfSpread = UpDown(general, "udSdfSpread", kMinSdfSpread, kMaxSdfSpread, kDefaultSdfSpread);
  ui.udSdfSpread->setToolTip("Distance-field spread in pixels");
  PlaceAt(ui.udSdfSpread, 146, 22, 56, 22);
  Caption(general, "Pack Characters from:", 8, 52);
  ui.cmbPart = TypingList(general, "cmbPart", {"Top Left", "Top Right", "Bottom Right", "Bottom Left", "Middle"});
  PlaceAt(ui.cmbPart, 8, 68, 130, 22);
  ui.Label4 = Caption(general, "Texture Size:", 8, 100);
  ui.Label4->setObjectName("Label4");
  ui.Label4->setMinimumWidth(220);  // "Texture Size: 16384x16384"
  ui.Label4->resize(220, ui.Label4->height());
  const QStringList sizes{"128", "256", "512", "1024", "2048"};
  ui.txtWidth = TypingList(general, "txtWidth", sizes);
  PlaceAt(ui.txtWidth, 8, 116, 72, 22);
  QLabel* by = Caption(general, "x", ui.txtWidth->geometry().right() + 4, 119);
  ui.txtHeight = TypingList(general, "txtHeight", sizes);
  PlaceAt(ui.txtHeight, by->geometry().right() + 4, 116, 72, 22);
  ui.Button3 = Button(general, "Button3", "Apply");
  PlaceAt(ui.Button3, ui.txtHeight->geometry().right() + 6, 115, 56, 24);
  ui.chkCompactCells = Check(general, "chkCompactCells", "Compact Cells", false);
  ui.chkCompactCells->setToolTip("Each cell only as tall as its character's ink");
  PlaceAt(ui.chkCompactCells, 8, 168, 0, 17);
  QLabel* pagesCaption = Caption(general, "Pages:", ui.chkCompactCells->geometry().right() + 16, 170);
  ui.udPages = UpDown(general, "udPages", kMinMaxPages, kMaxMaxPages, kDefaultMaxPages);
  ui.udPages->setToolTip("The most texture pages to fill: characters that do not fit one page go on to the next");
  PlaceAt(ui.udPages, pagesCaption->geometry().right() + 4, 168, 56, 19);
  ui.chkFitTexture = Check(general, "chkFitTexture", "Fit Texture, up to", false);
  ui.chkFitTexture->setToolTip("The smallest power-of-two texture that holds every character");
  PlaceAt(ui.chkFitTexture, 8, 149, 0, 17);
  // The two maximum boxes take typed sizes (no arrows: a step of one pixel helps nobody here, and
  // the row has no room for them).
  ui.udFitWidth = UpDown(general, "udFitWidth", 1, kMaxTextureSide, kDefaultFitMaxSide);
  ui.udFitWidth->setToolTip("Largest fitted texture width");
  ui.udFitWidth->setButtonSymbols(QAbstractSpinBox::NoButtons);
  PlaceAt(ui.udFitWidth, ui.chkFitTexture->geometry().right() + 4, 146, 48, 22);
  QLabel* fitBy = Caption(general, "x", ui.udFitWidth->geometry().right() + 4, 149);
  ui.udFitHeight = UpDown(general, "udFitHeight", 1, kMaxTextureSide, kDefaultFitMaxSide);
  ui.udFitHeight->setToolTip("Largest fitted texture height");
  ui.udFitHeight->setButtonSymbols(QAbstractSpinBox::NoButtons);
  PlaceAt(ui.udFitHeight, fitBy->geometry().right() + 4, 146, 48, 22);
  Caption(general, "Page Pixels:", ui.cmbPart->geometry().right() + 8, 52);
  ui.cmbPagePixels = new QComboBox(general);
  ui.cmbPagePixels->setObjectName("cmbPagePixels");
  ui.cmbPagePixels->addItems({"Classic", "Straight", "Premultiplied"});
  ui.cmbPagePixels->setToolTip(
      "The exported page's colour: as drawn over the background (Classic), each pixel's own colour, also "
      "in transparent pixels, for engines that filter or mipmap (Straight), or colour times alpha (Premultiplied)");
  PlaceAt(ui.cmbPagePixels, ui.cmbPart->geometry().right() + 8, 68, 105, 22);
}

void TForm1::buildEffectsPage(QWidget* effects) {
  ui.chkOutline = Check(effects, "chkOutline", "Outline", false);
  PlaceAt(ui.chkOutline, 8, 2, 0, 17);
  constexpr int kTrackX = 104, kTrackW = 140;
  Caption(effects, "Outline Width:", 8, 24);
  ui.trkOutline = TrackBar(effects, "trkOutline", 1, 20, 1);
  ui.trkOutline->setGeometry(kTrackX, 21, kTrackW, 20);
  Caption(effects, "Outline Colour:", 8, 43);
  ui.shpOutlineCol = new ColourSwatch(effects);
  ui.shpOutlineCol->setObjectName("shpOutlineCol");
  ui.shpOutlineCol->setColour(kColourBlack);
  ui.shpOutlineCol->setGeometry(kTrackX + 4, 41, 19, 17);
  Caption(effects, "Hardness:", 8, 62);
  ui.trkOutSmooth = TrackBar(effects, "trkOutSmooth", -10, 10, 0);
  ui.trkOutSmooth->setGeometry(kTrackX, 59, kTrackW, 20);
  Caption(effects, "Opacity:", 8, 81);
  ui.trkOutOpacity = TrackBar(effects, "trkOutOpacity", 0, 100, 100);
  ui.trkOutOpacity->setGeometry(kTrackX, 78, kTrackW, 20);
  ui.chkDS = Check(effects, "chkDS", "Drop Shadow", false);
  PlaceAt(ui.chkDS, 8, 100, 0, 17);
  Caption(effects, "Smoothing:", 8, 122);
  ui.trkDSSmooth = TrackBar(effects, "trkDSSmooth", 0, 10, 1);
  ui.trkDSSmooth->setGeometry(kTrackX, 119, kTrackW, 20);
  Caption(effects, "Offset:", 8, 141);
  ui.trkDSOffset = TrackBar(effects, "trkDSOffset", 0, 50, 2);
  ui.trkDSOffset->setGeometry(kTrackX, 138, kTrackW, 20);
  Caption(effects, "Opacity:", 8, 160);
  ui.trkDSOpacity = TrackBar(effects, "trkDSOpacity", 0, 100, 100);
  ui.trkDSOpacity->setGeometry(kTrackX, 157, kTrackW, 20);
}

void TForm1::buildOptionsGroup(QWidget* column) {
  QGroupBox* options = Group(column, "Options", 4, 551, 259, 112);
  ui.CheckBox8 = Check(options, "CheckBox8", "Auto Generate", true);
  PlaceAt(ui.CheckBox8, 8, 18, 0, 17);
  ui.CheckBox9 = Check(options, "CheckBox9", "Auto Preview", true);
  PlaceAt(ui.CheckBox9, 8, 40, 0, 17);
  ui.chkShowGuides = Check(options, "chkShowGuides", "Show Guides", false);
  PlaceAt(ui.chkShowGuides, 8, 62, 0, 17);
  ui.Button6 = new QToolButton(options);
  ui.Button6->setObjectName("Button6");
  ui.Button6->setText("About");
  ui.Button6->setAutoRaise(true);  // flat
  ui.Button6->setToolTip("Click Me!");
  PlaceAt(ui.Button6, 8, 84, 50, 22);
  const int right = 124, width = 127;
  ui.Button1 = Button(options, "Button1", "Generate");
  ui.Button1->setToolTip("Redraws and Recalculates the Font");
  PlaceAt(ui.Button1, right, 14, width, 24);
  ui.Button2 = Button(options, "Button2", "Export...");
  ui.Button2->setToolTip("Export the Font Data and Graphics");
  PlaceAt(ui.Button2, right, 40, width, 22);
  ui.SpeedButton1 = Button(options, "SpeedButton1", "Save Project...");
  ui.SpeedButton1->setToolTip("Save this Glyphmill Project");
  PlaceAt(ui.SpeedButton1, right, 63, width, 22);
  ui.SpeedButton2 = Button(options, "SpeedButton2", "Load Project...");
  ui.SpeedButton2->setToolTip("Load a Glyphmill Project");
  PlaceAt(ui.SpeedButton2, right, 86, width, 22);
}

}  // namespace glyphmill
