#include "tests/app/ScriptedForm.h"

#include <stdexcept>
#include <string>

namespace pw::test {
namespace {

void RequireKind(ControlId control, ControlKind kind, const char* what) {
    if (Control(control).kind != kind) {
        throw std::logic_error(std::string(what) + ": " + Control(control).name +
                               " is not the right kind of control");
    }
}

}  // namespace

ScriptedForm::ScriptedForm() {
    for (const ControlSpec& control : kControls) {
        if (control.caption != nullptr) content_[Index(control.id)] = control.caption;
    }
}

Text ScriptedForm::GetText(ControlId box) {
    RequireKind(box, ControlKind::TextBox, "GetText");
    return content_[Index(box)];
}

void ScriptedForm::SetText(ControlId box, const Text& text) {
    RequireKind(box, ControlKind::TextBox, "SetText");
    ++assignments_[Index(box)];
    Assign(box, text);
}

void ScriptedForm::Assign(ControlId box, const Text& text) {
    if (content_[Index(box)] == text) return;
    content_[Index(box)] = text;
    RaiseChange(box);
}

void ScriptedForm::SetCaption(ControlId label, const Text& caption) {
    RequireKind(label, ControlKind::Label, "SetCaption");
    ++assignments_[Index(label)];
    content_[Index(label)] = caption;
}

void ScriptedForm::MsgBox(const Text& prompt) {
    RequireNoBoxOpen("MsgBox");  // the window's own boxes never nest
    prompts_.push_back(prompt);
    boxOpen_ = true;
    struct Close {
        bool& open;
        ~Close() { open = false; }
    } close{boxOpen_};
    if (!boxActions_.empty()) {
        auto action = std::move(boxActions_.front());
        boxActions_.pop_front();
        action();
    }
}

void ScriptedForm::MsgBoxStyled(const Text& prompt, const Text& title, int style) {
    styledPrompts_.push_back({prompt, title, style});
}

void ScriptedForm::Type(ControlId box, const Text& text) {
    RequireNoBoxOpen("Type");
    RequireKind(box, ControlKind::TextBox, "Type");
    const ControlSpec& control = Control(box);
    if ((control.flags & kReadOnly) != 0)
        throw std::logic_error(std::string("Type: ") + control.name + " is read-only");
    Assign(box, control.maxLength > 0 ? text.substr(0, static_cast<std::size_t>(control.maxLength)) : text);
}

void ScriptedForm::Press(ControlId button) {
    RequireNoBoxOpen("Press");
    RequireKind(button, ControlKind::CommandButton, "Press");
    RaiseClick(button);
}

void ScriptedForm::RequireNoBoxOpen(const char* what) const {
    if (boxOpen_) throw std::logic_error(std::string(what) + ": a modal message box is open");
}

}  // namespace pw::test
