// TForm3, "Advanced Export": builds the batch export queue. The left list shows every registered
// plug-in by category; the add and remove buttons edit the queue; the grid shows the queue, one
// row per job, and a click on a colour or alpha cell of a job whose type lets the person choose
// switches the option.
//
// The window edits AppState::jobs in place, so its changes stay whether it closes with "Execute"
// (exec() returns 1 and the caller starts the generation followed by the batch) or with "Cancel"
// or the title bar's close button (exec() returns 0).
#pragma once

#include <QDialog>

#include <string>

#include "ui/cell_pictures.h"

class QPushButton;

namespace glyphmill {

struct AppState;
class JobQueueGrid;
class PluginCategoryList;

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  TForm3(AppState& state, QWidget* parent = nullptr);

  PluginCategoryList* pluginList() const { return pluginList_; }
  JobQueueGrid* grid() const { return grid_; }
  const CellPictures& pictures() const { return pictures_; }

  // The buttons' actions, also reachable without a click.
  void SpeedButton3Click();  // add the selected plug-in to the queue
  void SpeedButton4Click();  // remove the job of the grid's selected row
  void SpeedButton1Click();  // Execute
  void SpeedButton2Click();  // Cancel

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormCreate();
  void GridMouseUp(int column, int row);
  void applyRowCountRule();

  AppState& state_;
  CellPictures pictures_;
  PluginCategoryList* pluginList_ = nullptr;
  JobQueueGrid* grid_ = nullptr;
};

// The caption of a plug-in's button: its name, and " (*.EXT)" when it has an extension.
std::string PluginButtonCaption(const std::string& name, bool hasExtension, const std::string& extension);

}  // namespace glyphmill
