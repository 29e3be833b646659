#pragma once

class QComboBox;

namespace tolvane::widgets {

// Makes a combo box take typed text as well as a pick from its list, keeping
// what is typed exactly as typed: the list never grows from it, and the list
// is only offered while typing, never completed into the box (neither the
// rest of an item nor another letter case).
void makeTypedComboBox(QComboBox* box);

} // namespace tolvane::widgets
