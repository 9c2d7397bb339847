#include "ui/font_filter.h"

#include <QAbstractItemView>
#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

namespace glyphmill {

FontListFilter::FontListFilter(QComboBox* list) : QObject(list), list_(list) {}

void FontListFilter::attach() {
  QWidget* container = list_->view()->parentWidget();
  if (!box_ && container) {
    box_ = new QLineEdit(container);
    box_->setObjectName("fontFilter");
    box_->setPlaceholderText("Type to filter fonts");
    box_->setClearButtonEnabled(true);
    if (auto* layout = qobject_cast<QBoxLayout*>(container->layout())) layout->insertWidget(0, box_);
    connect(box_, &QLineEdit::textChanged, this, [this](const QString& text) { setFilter(text); });
    box_->installEventFilter(this);
    list_->view()->installEventFilter(this);
  }
  if (box_) {
    const QSignalBlocker block(box_);
    box_->clear();
  }
  setFilter({});
}

QString FontListFilter::filter() const { return box_ ? box_->text() : QString(); }

int FontListFilter::setFilter(const QString& text) {
  auto* view = qobject_cast<QListView*>(list_->view());
  if (!view) return list_->count();
  const QString wanted = text.trimmed();
  int shown = 0, first = -1;
  for (int row = 0; row < list_->count(); ++row) {
    const bool match = wanted.isEmpty() || list_->itemText(row).contains(wanted, Qt::CaseInsensitive);
    view->setRowHidden(row, !match);
    if (match) {
      ++shown;
      if (first < 0) first = row;
    }
  }
  // The highlighted row follows the filter; the chosen font changes only when a row is taken.
  const QModelIndex current = view->currentIndex();
  if (first >= 0 && (!current.isValid() || view->isRowHidden(current.row())))
    view->setCurrentIndex(list_->model()->index(first, list_->modelColumn()));
  if (box_ && box_->text() != text) {
    const QSignalBlocker block(box_);
    box_->setText(text);
  }
  return shown;
}

int FontListFilter::shownRows() const {
  auto* view = qobject_cast<QListView*>(list_->view());
  int shown = 0;
  for (int row = 0; row < list_->count(); ++row) shown += !(view && view->isRowHidden(row));
  return shown;
}

bool FontListFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !box_) return QObject::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      // Keys that work the list go to the list, wherever they were typed.
      if (watched == box_) {
        QCoreApplication::sendEvent(list_->view(), event);
        return true;
      }
      return false;
    case Qt::Key_Backspace:
      if (watched != box_) {
        box_->backspace();
        return true;
      }
      return false;
    default:
      // Text typed while the list has the focus goes into the filter box.
      if (watched != box_ && !key->text().isEmpty() && key->text().at(0).isPrint() &&
          !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        box_->insert(key->text());
        return true;
      }
      return false;
  }
}

}  // namespace glyphmill
