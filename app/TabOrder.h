#pragma once
// The order of the window's controls by tab index, and where the focus starts.
#include <vector>

#include "app/ControlTable.h"

namespace pw {

// Buttons and text boxes take the focus; labels and lines never do.
bool TakesFocus(const ControlSpec& design);

// Every control with a tab index (all but the lines), lowest first.
std::vector<ControlId> ControlsByTabIndex();

// The controls Tab walks, in order.
std::vector<ControlId> TabStops();

// The focus when the window opens: the first tab stop.
ControlId FirstFocus();

}  // namespace pw
