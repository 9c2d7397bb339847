#include "ui/combo_rows.h"

#include <QComboBox>

namespace glyphmill {

void LimitVisibleRows(QComboBox* box, int rows) {
  box->setMaxVisibleItems(rows);
  box->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
}

}  // namespace glyphmill
