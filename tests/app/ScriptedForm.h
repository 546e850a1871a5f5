#pragma once
// A window without a toolkit: holds the texts and captions of the 35 controls
// and behaves as the real toolkits do where the window logic can tell.
#include <array>
#include <deque>
#include <functional>
#include <vector>

#include "app/ControlTable.h"
#include "app/Form.h"

namespace pw::test {

struct StyledPrompt {
    Text prompt;
    Text title;
    int style;
};

class ScriptedForm final : public Form {
public:
    ScriptedForm();

    // Form, as the window logic calls it.
    Text GetText(ControlId box) override;
    // Raises Change when the text differs, as the toolkits do.
    void SetText(ControlId box, const Text& text) override;
    void SetCaption(ControlId label, const Text& caption) override;
    // Records the prompt, then runs the action queued for this box (while the
    // box is open) and returns as if OK was pressed.
    void MsgBox(const Text& prompt) override;
    void MsgBoxStyled(const Text& prompt, const Text& title, int style) override;
    void DoEvents() override { ++doEventsCount_; }
    void Unload() override { unloaded_ = true; }

    // What a person does. Both throw std::logic_error while a message box is open
    // (it is modal) and for controls that take no such input.
    void Type(ControlId box, const Text& text);  // replaces the text, cut to the box's maximum
    void Press(ControlId button);

    // Runs when the next message box is shown, before it is closed.
    void WhenNextBoxShows(std::function<void()> action) { boxActions_.push_back(std::move(action)); }

    const Text& Content(ControlId control) const { return content_[Index(control)]; }
    const std::vector<Text>& Prompts() const { return prompts_; }
    const std::vector<StyledPrompt>& StyledPrompts() const { return styledPrompts_; }
    void ForgetPrompts() { prompts_.clear(); }
    // How often the window logic assigned the control's text or caption, changed or not.
    int Assignments(ControlId control) const { return assignments_[Index(control)]; }
    bool BoxOpen() const { return boxOpen_; }
    int DoEventsCount() const { return doEventsCount_; }
    bool Unloaded() const { return unloaded_; }

private:
    static std::size_t Index(ControlId control) { return static_cast<std::size_t>(control); }
    void RequireNoBoxOpen(const char* what) const;
    // Sets the text and raises Change when it differs.
    void Assign(ControlId box, const Text& text);

    std::array<Text, kControlCount> content_;
    std::array<int, kControlCount> assignments_{};
    std::vector<Text> prompts_;
    std::vector<StyledPrompt> styledPrompts_;
    std::deque<std::function<void()>> boxActions_;
    bool boxOpen_ = false;
    int doEventsCount_ = 0;
    bool unloaded_ = false;
};

}  // namespace pw::test
