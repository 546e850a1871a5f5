#pragma once
// What the window logic needs from a toolkit's window. A front end realises it;
// tests use a scripted substitute that behaves the same way.
#include <functional>

#include "app/ControlId.h"
#include "text/Text.h"

namespace pw {

class Form {
public:
    using EventHandler = std::function<void(ControlId)>;

    virtual ~Form() = default;

    // Where the window's Click and Change go; until then they are dropped.
    void Connect(EventHandler click, EventHandler change);
    // The window logic, or anything else with Click(ControlId) and Change(ControlId).
    template <class Logic>
    void Connect(Logic& logic) {
        Connect([&logic](ControlId id) { logic.Click(id); }, [&logic](ControlId id) { logic.Change(id); });
    }

    virtual Text GetText(ControlId box) = 0;
    // Assigning a text box's text raises that box's Change at once, as typing
    // does, when the text differs from what the box holds.
    virtual void SetText(ControlId box, const Text& text) = 0;
    virtual void SetCaption(ControlId label, const Text& caption) = 0;
    // A modal message box with the OK button alone and no icon, titled
    // "Portwright"; returns when the person has closed it.
    virtual void MsgBox(const Text& prompt) = 0;
    // A modal box with a title and MessageBox style of its own (the registry
    // object's error box: "Registry Error", 48).
    virtual void MsgBoxStyled(const Text& prompt, const Text& title, int style) = 0;
    // Handles the events pending now, once.
    virtual void DoEvents() = 0;
    // Closes the window; the program ends when its event loop returns.
    virtual void Unload() = 0;

protected:
    // What a front end calls for a pressed button or a changed box. A handler
    // that fails stops here and never reaches the toolkit.
    void RaiseClick(ControlId button) noexcept;
    void RaiseChange(ControlId box) noexcept;

private:
    EventHandler click_;
    EventHandler change_;
};

constexpr char16_t kAppTitle[] = u"Portwright";

}  // namespace pw
