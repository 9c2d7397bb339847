// The status bar `statBar`: two owner-drawn panels. Panel 0 shows the current status message,
// panel 1 the selected-character count ("100 Characters"). When the generation filled several
// texture pages a third panel at the right end says which one the window shows ("Page 2 of 3"),
// and the first panel gives up its width.
//
// A message's first character carries its kind: "." a success notice drawn on a green gradient,
// "!" an error notice on a red gradient, both shown without the marker; any other text is plain
// progress on the button face. The gradient is 41 bands, the last one taking the rest of the width.
#pragma once

#include <QColor>
#include <QWidget>
#include <string>
#include <vector>

class QPainter;

namespace glyphmill {

enum class StatusKind { Plain, Success, Error };

// The kind a message's first character selects.
StatusKind StatusKindOf(const std::string& text);
// What a panel shows of a message: without its marker for success and error notices.
std::string ShownStatusText(const std::string& text);

// One band of a notice's gradient: pixels left <= x < right.
struct StatusBand {
  int left = 0;
  int right = 0;
  QColor colour;
};
// The 41 bands that fill [left, right) for a success or an error notice.
std::vector<StatusBand> StatusGradientBands(StatusKind kind, int left, int right);

// DrawStatusPanel: one panel's background and text into `rect`.
void DrawStatusPanel(QPainter& painter, const QRect& rect, const std::string& text, const QFont& font,
                     const QPalette& palette);

class StatusBar : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kHeight = 19;

  explicit StatusBar(QWidget* parent = nullptr);

  // The texts of the two panels; the caller repaints (SetStatus repaints at once).
  void setPanelTexts(const std::string& message, const std::string& characters);
  const std::string& message() const { return message_; }
  const std::string& characters() const { return characters_; }
  // The page panel's text; empty: no page panel.
  void setPageText(const std::string& text);
  const std::string& pageText() const { return pageText_; }

  // Width of the first panel (the layout keeps it at the bar's width - 120).
  void setFirstPanelWidth(int width);
  int firstPanelWidth() const { return firstPanelWidth_; }
  QRect panelRect(int panel) const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::string message_;
  std::string characters_;
  std::string pageText_;
  int firstPanelWidth_ = 690;
  int pagePanelWidth() const;
};

}  // namespace glyphmill
