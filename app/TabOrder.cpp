#include "app/TabOrder.h"

#include <algorithm>

namespace pw {

bool TakesFocus(const ControlSpec& design) {
    return design.kind == ControlKind::CommandButton || design.kind == ControlKind::TextBox;
}

std::vector<ControlId> ControlsByTabIndex() {
    std::vector<const ControlSpec*> ordered;
    for (const ControlSpec& design : kControls) {
        if (design.tabIndex >= 0) ordered.push_back(&design);
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
    std::vector<ControlId> ids;
    for (const ControlSpec* design : ordered) ids.push_back(design->id);
    return ids;
}

std::vector<ControlId> TabStops() {
    std::vector<ControlId> stops = ControlsByTabIndex();
    stops.erase(
        std::remove_if(stops.begin(), stops.end(), [](ControlId id) { return !TakesFocus(Control(id)); }),
        stops.end());
    return stops;
}

ControlId FirstFocus() { return TabStops().front(); }

}  // namespace pw
