#pragma once

#include <QList>

namespace tolvane {

// One place of a drawn paper: the question's type code and its number in
// that type's table. Both are 0 in a place the bank could not fill.
struct GeneratedEntry {
    int TypeID = 0;
    int BH = 0;

    bool isFilled() const { return TypeID != 0; }
    friend bool operator==(const GeneratedEntry& a, const GeneratedEntry& b) {
        return a.TypeID == b.TypeID && a.BH == b.BH;
    }
};

// The paper drawn by "Generate Test", owned by the main window and handed to
// the pages that draw, preview and save it. A test counts as generated
// exactly when the list is not empty.
using GeneratedTestList = QList<GeneratedEntry>;

} // namespace tolvane
