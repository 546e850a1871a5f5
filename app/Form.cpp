#include "app/Form.h"

#include "app/ControlTable.h"
#include "app/ToolkitBoundary.h"

namespace pw {

void Form::Connect(EventHandler click, EventHandler change) {
    click_ = std::move(click);
    change_ = std::move(change);
}

void Form::RaiseClick(ControlId button) noexcept {
    if (click_) AtToolkitBoundary("Click", Control(button).name, [&] { click_(button); });
}

void Form::RaiseChange(ControlId box) noexcept {
    if (change_) AtToolkitBoundary("Change", Control(box).name, [&] { change_(box); });
}

}  // namespace pw
