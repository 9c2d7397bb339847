// PluginList of the Advanced Export window: a category button list. Each category is a header bar
// (vertical gradient from its colour to its gradient colour, bold caption, a plus or minus sign
// that folds it) followed by its buttons in a vertical flow, full width. Every button carries the
// registry index of its plug-in; at most one button is selected.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <vector>

namespace glyphmill {

class PluginCategoryList : public QWidget {
  Q_OBJECT

 public:
  explicit PluginCategoryList(QWidget* parent = nullptr);

  // Appends a category; returns its index.
  int addCategory(const QString& caption, const QColor& colour, const QColor& gradientColour);
  // Appends a button carrying `pluginIndex` to a category.
  void addButton(int category, const QString& caption, int pluginIndex);

  int categoryCount() const { return static_cast<int>(categories_.size()); }
  QString categoryCaption(int category) const;
  QStringList buttonCaptions(int category) const;
  bool folded(int category) const;
  void setFolded(int category, bool folded);

  // The registry index of the selected button, or -1 when none is selected.
  int selectedPluginIndex() const;
  // Selects a category's button (or clears the selection with an out-of-range button).
  void selectButton(int category, int button);
  // Where a button is drawn now (empty when its category is folded), for clicks and tests.
  QRect buttonRect(int category, int button) const;
  QRect headerRect(int category) const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Button {
    QString caption;
    int pluginIndex;
    QRect rect;
  };
  struct Category {
    QString caption;
    QColor colour;
    QColor gradient;
    bool folded = false;
    QRect header;
    std::vector<Button> buttons;
  };
  struct Hit {
    int category = -1;
    int button = -1;  // -1: the header
  };

  void relayout();
  Hit hitAt(const QPoint& pos) const;

  std::vector<Category> categories_;
  Hit selected_;
  Hit hover_;
  int contentHeight_ = 0;
};

}  // namespace glyphmill
