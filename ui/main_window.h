// TForm1, the main window: every control that edits the generation settings, the texture view,
// the preview strip with its text box, the status bar and progress bar, and the menus.
//
// The window holds no generation logic. Each control's change event calls ReadSetting with its
// selector, which copies the value into the settings record and runs the change notification;
// buttons and menu items call one operation of the core each (the generation driver, the export
// run, the project files). The window is split over several files:
//   main_window.cpp            FormCreate, menus, close and exit, the other windows
//   main_window_build.cpp      the controls of the settings column at their design places
//   main_window_layout.cpp     anchors, LayoutMainWindow, ShowTexturePage, ResetPreviewStrip
//   main_window_settings.cpp   ReadSetting, ReadAllSettings, WriteSettingsToControls, SelectFirstEntries
//   main_window_generation.cpp Generate, the automatic generation timer, preview, export requests
//   main_window_projects.cpp   saving and loading projects, the autosave
//   main_window_font_files.cpp "Open Font File...", dropped font and project files, the font list
//   main_window_windows.cpp    the character range editor, Advanced Export and About windows
//   main_window_conveniences.cpp  undo and redo, zoom and inspection of the texture, recent
//                              projects and the title, the font filter, remembered dialog folders
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/generation_driver.h"
#include "app/install_paths.h"
#include "settings/result.h"
#include "settings/setting_selector.h"
#include "ui/dialog_folders.h"
#include "ui/font_list_delegate.h"
#include "ui/qt_call_waiter.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_front_end.h"
#include "ui/qt_ui_prompts.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QSettings;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTimer;
class QToolButton;

namespace glyphmill {

class ColourSwatch;
class FallbackFontList;
class FontListFilter;
class RecentProjects;
class SettingsUndo;
struct ProjectLoad;
class LegendView;
class PreviewStrip;
class StatusBar;
class TextureView;
class TForm2;
class TForm3;
class TForm5;

// The controls, named as the window layout names them. An edit box with its up-down is one spin
// box here, named after the up-down (udSize is Edit3 with udSize).
struct MainWindowControls {
  TextureView* Tab = nullptr;
  PreviewStrip* Image3 = nullptr;
  QLineEdit* Edit12 = nullptr;
  QComboBox* cmbPreviewZoom = nullptr;  // 1x, 2x, 4x: the zoomed line of a distance-field preview
  QPushButton* Button4 = nullptr;
  QProgressBar* Bar = nullptr;
  StatusBar* statBar = nullptr;
  QWidget* Panel1 = nullptr;

  QComboBox* cmbFont = nullptr;
  QSpinBox* udSize = nullptr;
  QCheckBox* chkBold = nullptr;
  QCheckBox* chkItalic = nullptr;
  ColourSwatch* shpTextCol = nullptr;
  ColourSwatch* shpBGCol = nullptr;
  QPushButton* btnCharacterRange = nullptr;

  LegendView* imgLeg = nullptr;
  QSpinBox* udGenPad = nullptr;
  QSpinBox* udVPad = nullptr;
  QSpinBox* udLeading = nullptr;
  QSpinBox* udTrailing = nullptr;
  QSpinBox* udKerning = nullptr;

  QTabWidget* PageControl1 = nullptr;
  QComboBox* cmbAA = nullptr;
  QSpinBox* udSdfSpread = nullptr;  // "Spread:", enabled in the Distance Field mode
  QSpinBox* udPages = nullptr;      // "Pages:", the most texture pages (1 to 64)
  QComboBox* cmbPart = nullptr;
  QLabel* Label4 = nullptr;
  QComboBox* txtWidth = nullptr;
  QComboBox* txtHeight = nullptr;
  QPushButton* Button3 = nullptr;
  // Beyond the fixed record (GenerationExtras): the cell mode and the fitted texture size with its
  // maximum. With fitting on, the size boxes and "Apply" are read-only and show the chosen size.
  QCheckBox* chkCompactCells = nullptr;
  QCheckBox* chkFitTexture = nullptr;
  QSpinBox* udFitWidth = nullptr;
  QSpinBox* udFitHeight = nullptr;
  // "Page Pixels:": what the exported page's colour holds (kPagePixels*, in list order); not used
  // by distance fields.
  QComboBox* cmbPagePixels = nullptr;
  FallbackFontList* fallbackFonts = nullptr;  // the "Fallbacks" page: asked in order for missing characters

  QCheckBox* chkOutline = nullptr;
  QSlider* trkOutline = nullptr;
  ColourSwatch* shpOutlineCol = nullptr;
  QSlider* trkOutSmooth = nullptr;
  QSlider* trkOutOpacity = nullptr;
  QCheckBox* chkDS = nullptr;
  QSlider* trkDSSmooth = nullptr;
  QSlider* trkDSOffset = nullptr;
  QSlider* trkDSOpacity = nullptr;

  QCheckBox* CheckBox8 = nullptr;       // "Auto Generate"
  QCheckBox* CheckBox9 = nullptr;       // "Auto Preview"
  QCheckBox* chkShowGuides = nullptr;   // "Show Guides"
  QToolButton* Button6 = nullptr;       // "About"
  QPushButton* Button1 = nullptr;       // "Generate"
  QPushButton* SpeedButton1 = nullptr;  // "Save Project..."
  QPushButton* Button2 = nullptr;       // "Export..."
  QPushButton* SpeedButton2 = nullptr;  // "Load Project..."

  QMenu* ExportMenu = nullptr;       // popup of "Export..."
  QMenu* ExportFont1 = nullptr;      // "Export Font..." submenu
  QAction* OpenFontFile1 = nullptr;  // "Open Font File..."
  QAction* SaveFontProject1 = nullptr;
  QAction* LoadProject1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* RedrawFont1 = nullptr;
  QAction* SetUpCharacterRange1 = nullptr;
  QAction* mi2 = nullptr;  // "Automatic Mask Generation"
  QAction* mi3 = nullptr;  // "Auto Previewing"
  QAction* mi4 = nullptr;  // "Show Guides"
  QAction* HowtouseGlyphmill1 = nullptr;
  QAction* About1 = nullptr;
  QMenu* RecentProjects1 = nullptr;  // "Open Recent" in "&File"
  QMenu* Edit1 = nullptr;            // "&Edit": undo and redo
  QMenu* View1 = nullptr;            // "&View": zoom and backdrop of the texture view

  QTimer* Timer2 = nullptr;  // the automatic generation, 100 ms
};

// What the window is given from outside; the defaults are the program's own.
struct MainWindowOptions {
  // Where plug-ins, the autosave and the help page are found (app/install_paths.h); tests point it
  // at scratch folders.
  InstallEnvironment environment = ProcessEnvironment();
  std::string pluginFolder = kPluginFolder;  // searched first, relative to the working folder
  Dialogs* dialogs = nullptr;                // nullptr: Qt message boxes and file dialogs
  UiPrompts* prompts = nullptr;              // nullptr: QColorDialog and QFileDialog
  // "E&xit": ends the program with the given status (default: leave the event loop with it).
  std::function<void(int)> exitProgram;
  // Opens a document, given by its absolute path, with its associated program (default:
  // QDesktopServices with a file:// address).
  std::function<void(const std::string&)> openDocument;
  // The window's own preferences (recent projects, dialog folders); empty: the user's
  // configuration folder (glyphmill/glyphmill.conf).
  std::string preferencesFile;
};

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 828;  // client area at design size
  static constexpr int kDesignHeight = 679;

  explicit TForm1(MainWindowOptions options = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  // The other three windows, created after this one; until attached, their commands do nothing.
  void attachWindows(TForm2* rangeEditor, TForm3* advancedExport, TForm5* about);

  AppState& state() { return state_; }
  GenerationDriver& driver() { return *driver_; }
  Dialogs& dialogs() { return dialogs_; }
  const QtFrontEnd& frontEnd() const { return frontEnd_; }
  MainWindowControls ui;

  // ---- settings (main_window_settings.cpp)
  // One control into the record, then the change notification and the step to undo.
  void ReadSetting(SettingSelector selector);
  // Every control into the record, without a change notification or a step to undo.
  void ReadAllSettings();
  void WriteSettingsToControls();
  // True while WriteSettingsToControls runs: the controls' change events then read nothing.
  bool updatingControls() const { return updatingControls_; }
  void SelectFirstEntries();
  // Enables what the antialiasing mode uses: in the Distance Field mode the spread and the preview
  // zoom, and not the outline and drop-shadow controls (the job does not bake them).
  void UpdateModeControls();
  // The zoom picked for the preview: 1, 2 or 4.
  int32_t previewZoom() const;

  // ---- layout (main_window_layout.cpp)
  void LayoutMainWindow();
  void ShowTexturePage(int index);
  void ResetPreviewStrip(int width, int height);
  void DrawLegendSample();
  // The texture size in force into the size boxes and the label; the boxes and "Apply" are
  // read-only while the size is fitted.
  void ShowTextureSize();
  // The handed-back texture and mask into the texture view.
  void ShowImages();
  // The same at the next turn of the event loop (several requests show once).
  void ShowImagesSoon();

  // ---- generation (main_window_generation.cpp)
  void SetStatus(const std::string& text);
  void Button1Click();  // "Generate"
  void Timer2Timer();
  void DrawPreview();
  void QuickExport(int32_t pluginIndex);
  void OpenAdvancedExport();
  // Generations started from this window (successful Generate calls).
  int generationsStarted() const { return generationsStarted_; }

  // ---- projects (main_window_projects.cpp)
  void SaveFontProject1Click();
  void LoadProject1Click();
  void LoadProjectFile(const std::string& path);
  // The autosave loaded as a project when there is one (start-up).
  void LoadAutosaveFile();
  // WriteProject around the record: "Auto Generate" off while all settings are read.
  Result<void> WriteProjectFile(const std::string& path);
  // The autosave, written the same way into its folder (created when missing); a failure is
  // reported in a message box, since the session would otherwise be lost without a word.
  bool WriteAutosaveFile();
  std::string autosavePath() const;
  // "How to use Glyphmill": the help page of the working folder, else the installed one.
  void HowtouseGlyphmill1Click();

  // ---- font files (main_window_font_files.cpp)
  // "Open Font File...": the open dialog filtered to font files, then AddFontFiles.
  void OpenFontFile1Click();
  // Adds font files: their families join the font list, marked, and the first family of the first
  // file read is selected. A file that cannot be read gives a "!" notice naming it and changes
  // nothing. False when no file was added.
  bool AddFontFiles(const std::vector<std::string>& paths);
  // Files dropped on the window: a ".gmp" file loads as "Load Project..." does; others are font
  // files for AddFontFiles.
  void DropFiles(const std::vector<std::string>& paths);
  // The font list from the catalogue again; the selected font stays selected, without a change event.
  void FillFontList();

  // ---- the other windows (main_window_windows.cpp)
  void btnCharacterRangeClick();
  void Button6Click();
  bool advancedExportVisible() const;

  // Entries and commands of the two export menus (rebuilt from the registry).
  void BuildExportMenus();

  // ---- conveniences (main_window_conveniences.cpp)
  SettingsUndo& undo() { return *undo_; }
  RecentProjects& recentProjects() { return *recent_; }
  FontListFilter& fontFilter() { return *fontFilter_; }
  // The open project: its path names the window ("Glyphmill 4.1 – name.gmp") and becomes the
  // most recent project; an empty path names none.
  void setProjectPath(const std::string& path);
  const std::string& projectPath() const { return projectPath_; }
  void OpenRecentProject(const QString& path);
  void RebuildRecentMenu();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void FormCreate();
  void buildControls();
  // The settings column: the "Font" group, the range button, "Character Placement", the two
  // pages and "Options", in that order.
  void buildSettingsColumn();
  void buildFontGroup(QWidget* column);
  void buildPlacementGroup(QWidget* column);
  void buildGeneralPage(QWidget* general);
  void buildEffectsPage(QWidget* effects);
  void buildOptionsGroup(QWidget* column);
  void buildMenus();
  void connectSettings();
  void connectCommands();
  void applyAnchors();
  void setToggle(QCheckBox* box, QAction* mark);
  void Image3Click();
  void swatchReleased(ColourSwatch* swatch, SettingSelector selector);
  // Copies the value of the control(s) `selector` names into the record; the status text of a
  // refused texture size.
  std::optional<std::string> readControl(SettingSelector selector);
  void cmbFontDropDown();
  bool fontRequestFromControls(FontRequest* font, std::string* error);
  // A project load's outcome taken into the window: the project (when read) into the state, the
  // record into the controls, the texture size applied, the project path remembered.
  void TakeProjectLoad(ProjectLoad& load, const std::string& path);
  void Exit1Click();
  void buildConvenienceMenus();
  void connectConveniences();
  void wireRangeEditor();

  MainWindowOptions options_;
  AppState state_;
  QtDialogs ownDialogs_;
  QtUiPrompts ownPrompts_;
  std::unique_ptr<QSettings> preferences_;
  DialogFolders folders_;
  FolderRememberingDialogs folderDialogs_;
  FolderRememberingPrompts folderPrompts_;
  Dialogs& dialogs_;
  UiPrompts& prompts_;
  QtFrontEnd frontEnd_;
  QtCallWaiter callWaiter_;  // plug-in calls wait through it with the event loop running
  std::unique_ptr<GenerationDriver> driver_;
  FontListDelegate* fontDelegate_ = nullptr;
  FontListWidths fontWidths_;
  bool fontWidthsMeasured_ = false;
  bool imagesPending_ = false;
  int32_t texturePage_ = 0;        // the texture page the view shows (0: the first)
  bool updatingControls_ = false;  // settings are being written into the controls
  int generationsStarted_ = 0;
  QWidget* client_ = nullptr;

  TForm2* rangeEditor_ = nullptr;
  TForm3* advancedExport_ = nullptr;
  TForm5* about_ = nullptr;

  SettingsUndo* undo_ = nullptr;
  std::unique_ptr<RecentProjects> recent_;
  FontListFilter* fontFilter_ = nullptr;
  std::string projectPath_;
};

}  // namespace glyphmill
