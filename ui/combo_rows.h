// Row limits of drop-down lists that hold under every widget style.
#pragma once

class QComboBox;

namespace glyphmill {

// Shows at most `rows` entries when the list drops down, with a scroll bar for the rest. Styles
// that pop a list up over the box (Fusion among them) ignore QComboBox::maxVisibleItems unless the
// box uses a plain drop-down list, which this asks for.
void LimitVisibleRows(QComboBox* box, int rows);

}  // namespace glyphmill
