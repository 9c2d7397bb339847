#include "ui/main_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <QSettings>

#include "app/start_up.h"
#include "export/export_menu.h"
#include "ui/preview_strip.h"
#include "ui/recent_projects.h"
#include "ui/settings_undo.h"
#include "ui/status_bar.h"
#include "ui/texture_view.h"

namespace glyphmill {

namespace {

constexpr const char* kDesignCaption = "Glyphmill";
constexpr const char* kHelpPageMissing = "!The help page help.html was not found.";

// A caption shown in a menu: "&" stands for itself, not for a mnemonic.
QString MenuText(const std::string& caption) { return QString::fromUtf8(caption.c_str()).replace("&", "&&"); }

}  // namespace

TForm1::TForm1(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      ownDialogs_(this),
      ownPrompts_(this),
      preferences_(
          options_.preferencesFile.empty()
              ? std::make_unique<QSettings>("glyphmill", "glyphmill")
              : std::make_unique<QSettings>(QString::fromStdString(options_.preferencesFile), QSettings::IniFormat)),
      folders_(*preferences_),
      folderDialogs_(options_.dialogs ? *options_.dialogs : static_cast<Dialogs&>(ownDialogs_), folders_),
      folderPrompts_(options_.prompts ? *options_.prompts : static_cast<UiPrompts&>(ownPrompts_), folders_),
      dialogs_(folderDialogs_),
      prompts_(folderPrompts_),
      frontEnd_(*this) {
  if (!options_.exitProgram) options_.exitProgram = [](int status) { QCoreApplication::exit(status); };
  if (!options_.openDocument)
    options_.openDocument = [](const std::string& path) {
      QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromUtf8(path.c_str())));
    };
  driver_ = std::make_unique<GenerationDriver>(state_, frontEnd_, dialogs_);
  recent_ = std::make_unique<RecentProjects>(*preferences_);
  undo_ = new SettingsUndo(*this);
  buildControls();
  buildMenus();
  buildConvenienceMenus();
  connectSettings();
  connectCommands();
  connectConveniences();
  qApp->installEventFilter(this);
  setAcceptDrops(true);
  resize(kDesignWidth, kDesignHeight + menuBar()->sizeHint().height());
  setMinimumSize(320, 466 + menuBar()->sizeHint().height());
  FormCreate();
  // What start-up and the autosave set is where undoing stops.
  undo_->reset();
}

TForm1::~TForm1() {
  qApp->removeEventFilter(this);
  // FormDestroy: a running job is asked to stop (and waited for), then the plug-ins are disposed of.
  driver_->Shutdown();
  state_.registry.Release();
}

void TForm1::FormCreate() {
  setWindowTitle(QString::fromUtf8(VersionedName(kDesignCaption).c_str()));
  state_.registry.setCallWaiter(&callWaiter_);
  // Plug-ins described by the cache are loaded only when first called, so the window opens
  // without starting every one of them.
  state_.registry.setInfoCacheFile(PluginInfoCachePath(options_.environment));
  state_.registry.Discover(dialogs_, state_.jobs, PluginSearchFolders(options_.environment, options_.pluginFolder));
  BuildExportMenus();
  state_.settings.previewBackColour = kColourButtonFace;
  ui.Edit12->setText(QString::fromUtf8(VersionedName(kDesignCaption).c_str()));
  for (Image24* image : {&state_.result.colour, &state_.result.mask}) image->resize(512, 512);
  ShowImages();
  ResetPreviewStrip(ui.Image3->width(), ui.Image3->height());

  std::string error;
  const bool measured =
      FillFontCatalogue(state_, ui.udSize->value(), ui.chkBold->isChecked(), ui.chkItalic->isChecked(), &error);
  FillFontList();
  if (!measured) dialogs_.showMessage({"", error, DialogIcon::Error, DialogOwner::MainWindow});

  SelectFirstEntries();
  // A first start fits the texture (up to the largest size, one page), so that the first
  // generation places every character; an autosave loaded below brings its own size back.
  {
    const QSignalBlocker block(ui.chkFitTexture);
    ui.chkFitTexture->setChecked(true);
  }
  ShowTexturePage(0);
  ReadAllSettings();
  // The first start's change notification: "Idle" and, with "Auto Generate" on, the first texture
  // about half a second later.
  ReadSetting(SettingSelector::None);

  LoadAutosaveFile();
}

void TForm1::attachWindows(TForm2* rangeEditor, TForm3* advancedExport, TForm5* about) {
  rangeEditor_ = rangeEditor;
  advancedExport_ = advancedExport;
  about_ = about;
  wireRangeEditor();
}

void TForm1::buildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  ui.OpenFontFile1 = file->addAction("&Open Font File...");
  ui.OpenFontFile1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  file->addSeparator();
  ui.SaveFontProject1 = file->addAction("&Save Font Project");
  ui.SaveFontProject1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  ui.LoadProject1 = file->addAction("&Load Font Project");
  ui.LoadProject1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  file->addSeparator();
  ui.ExportFont1 = file->addMenu("Export Font...");
  file->addSeparator();
  ui.Exit1 = file->addAction("E&xit");
  ui.Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

  QMenu* command = menuBar()->addMenu("&Command");
  ui.RedrawFont1 = command->addAction("Generate Font");
  ui.SetUpCharacterRange1 = command->addAction("Set Up Character Range");
  command->addSeparator();
  ui.mi2 = command->addAction("Automatic Mask Generation");
  ui.mi3 = command->addAction("Auto Previewing");
  ui.mi4 = command->addAction("Show Guides");
  for (QAction* mark : {ui.mi2, ui.mi3, ui.mi4}) mark->setCheckable(true);

  QMenu* help = menuBar()->addMenu("&Help");
  ui.HowtouseGlyphmill1 = help->addAction("How to use Glyphmill");
  help->addSeparator();
  ui.About1 = help->addAction("About...");

  ui.ExportMenu = new QMenu(this);
  // The marks start equal to their check boxes and stay so.
  ui.mi2->setChecked(ui.CheckBox8->isChecked());
  ui.mi3->setChecked(ui.CheckBox9->isChecked());
  ui.mi4->setChecked(ui.chkShowGuides->isChecked());
}

void TForm1::BuildExportMenus() {
  for (QMenu* menu : {ui.ExportFont1, ui.ExportMenu}) {
    menu->clear();
    for (const ExportMenuEntry& entry : BuildExportMenuModel(state_.registry)) {
      switch (entry.kind) {
        case ExportMenuEntry::Kind::QuickExport: {
          const int32_t index = entry.pluginIndex;
          connect(menu->addAction(MenuText(entry.caption)), &QAction::triggered, this,
                  [this, index] { QuickExport(index); });
          break;
        }
        case ExportMenuEntry::Kind::Separator: menu->addSeparator(); break;
        case ExportMenuEntry::Kind::AdvancedExport:
          connect(menu->addAction(MenuText(entry.caption)), &QAction::triggered, this,
                  [this] { OpenAdvancedExport(); });
          break;
      }
    }
  }
}

void TForm1::connectCommands() {
  connect(ui.Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(ui.RedrawFont1, &QAction::triggered, ui.Button1, &QPushButton::click);
  connect(ui.Button3, &QPushButton::clicked, this, [this] { ReadSetting(SettingSelector::TextureSize); });
  connect(ui.Button4, &QPushButton::clicked, this, &TForm1::DrawPreview);
  connect(ui.btnCharacterRange, &QPushButton::clicked, this, &TForm1::btnCharacterRangeClick);
  connect(ui.SetUpCharacterRange1, &QAction::triggered, this, &TForm1::btnCharacterRangeClick);
  connect(ui.Button6, &QToolButton::clicked, this, &TForm1::Button6Click);
  connect(ui.About1, &QAction::triggered, this, &TForm1::Button6Click);
  connect(ui.SpeedButton1, &QPushButton::clicked, this, &TForm1::SaveFontProject1Click);
  connect(ui.SaveFontProject1, &QAction::triggered, this, &TForm1::SaveFontProject1Click);
  connect(ui.SpeedButton2, &QPushButton::clicked, this, &TForm1::LoadProject1Click);
  connect(ui.LoadProject1, &QAction::triggered, this, &TForm1::LoadProject1Click);
  connect(ui.OpenFontFile1, &QAction::triggered, this, &TForm1::OpenFontFile1Click);
  connect(ui.Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
  connect(ui.HowtouseGlyphmill1, &QAction::triggered, this, &TForm1::HowtouseGlyphmill1Click);
  connect(ui.Button2, &QPushButton::clicked, this, [this] {
    if (ExportButtonActionFor(state_.registry) == ExportButtonAction::PopupMenu)
      ui.ExportMenu->popup(ui.Button2->mapToGlobal(QPoint(0, ui.Button2->height())));
    else
      OpenAdvancedExport();
  });
  // The button's context menu is the export popup, whatever a left click does.
  ui.Button2->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ui.Button2, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { ui.ExportMenu->popup(ui.Button2->mapToGlobal(at)); });
  connect(ui.Image3, &PreviewStrip::clicked, this, &TForm1::Image3Click);
  connect(ui.Edit12, &QLineEdit::textChanged, this, [this] {
    if (ui.CheckBox9->isChecked()) DrawPreview();
  });
  connect(ui.Tab, &TextureView::tabChanged, this, &TForm1::ShowTexturePage);
  connect(static_cast<FontListBox*>(ui.cmbFont), &FontListBox::droppingDown, this, &TForm1::cmbFontDropDown);

  // The three toggles and their menu marks: a menu item inverts its check box; a check box sets
  // its mark (and "Auto Preview" redraws the preview, on or off).
  connect(ui.mi2, &QAction::triggered, this, [this] { setToggle(ui.CheckBox8, ui.mi2); });
  connect(ui.mi3, &QAction::triggered, this, [this] { setToggle(ui.CheckBox9, ui.mi3); });
  connect(ui.mi4, &QAction::triggered, this, [this] { setToggle(ui.chkShowGuides, ui.mi4); });
  connect(ui.CheckBox8, &QCheckBox::toggled, this, [this](bool on) { ui.mi2->setChecked(on); });
  connect(ui.CheckBox9, &QCheckBox::toggled, this, [this](bool on) {
    ui.mi3->setChecked(on);
    DrawPreview();
  });
  connect(ui.chkShowGuides, &QCheckBox::toggled, this, [this](bool on) { ui.mi4->setChecked(on); });
  connect(ui.Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
}

void TForm1::cmbFontDropDown() {
  // The two widths are measured once per catalogue: every font's sample is set in the font itself.
  if (!fontWidthsMeasured_) {
    fontWidths_ = MeasureFontList(state_.catalogue, ui.cmbFont->width());
    fontDelegate_->setNameColumnWidth(fontWidths_.nameColumn);
    fontWidthsMeasured_ = true;
  }
  ui.cmbFont->view()->setMinimumWidth(fontWidths_.dropDownWidth());
}

void TForm1::setToggle(QCheckBox* box, QAction* mark) {
  box->setChecked(!box->isChecked());
  mark->setChecked(box->isChecked());
}

void TForm1::Exit1Click() {
  // Ends the program at once: no close handling, so no autosave.
  options_.exitProgram(1);
}

void TForm1::HowtouseGlyphmill1Click() {
  // An opener needs an absolute address: a relative "file:help.html" is refused by every one.
  const std::string page = HelpPagePath(options_.environment);
  if (page.empty())
    SetStatus(kHelpPageMissing);
  else
    options_.openDocument(page);
}

void TForm1::closeEvent(QCloseEvent* event) {
  // FormClose: the autosave (a failure is reported, then the window closes all the same).
  WriteAutosaveFile();
  event->accept();
}

namespace {

// A control that edits text: a line edit, a spin box's or an editable list's text.
bool IsTextBox(const QWidget* widget) {
  if (qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget)) return true;
  const auto* combo = qobject_cast<const QComboBox*>(widget);
  return combo && combo->isEditable();
}

}  // namespace

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // Every resize of the client area re-anchors the regions and runs LayoutMainWindow.
  if (watched == client_ && event->type() == QEvent::Resize) {
    applyAnchors();
    LayoutMainWindow();
    return false;
  }
  // The menu shortcuts act wherever the focus is in this window: a text box does not get to take
  // Ctrl+S or Ctrl+L before the menu does. Ctrl+X is the desktop's Cut in a text box, so there it
  // cuts (ending the program at once would lose the session); elsewhere it is "Exit".
  if (event->type() == QEvent::ShortcutOverride) {
    QWidget* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this) {
      auto* key = static_cast<QKeyEvent*>(event);
      const QKeySequence pressed(key->keyCombination());
      for (QAction* action : {ui.OpenFontFile1, ui.SaveFontProject1, ui.LoadProject1, ui.Exit1}) {
        if (action == ui.Exit1 && IsTextBox(widget)) continue;
        if (action->shortcut() == pressed) {
          event->ignore();
          return true;
        }
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace glyphmill
