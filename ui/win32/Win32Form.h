#pragma once
// The window of the control table realised with plain Win32 controls. It owns
// no behaviour: Click and Change go to the window logic (frmRPC).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <vector>

#include "app/ControlTable.h"
#include "app/Form.h"

namespace pw {

// Child window identifiers: this base plus the control's place in the control
// list, so that tools outside the program can address a control (1 and 2 are
// the dialog manager's IDOK and IDCANCEL and must stay free).
constexpr int kFirstControlId = 100;
constexpr wchar_t kMainWindowClass[] = L"PortwrightMainWindow";
// Labels are painted by the main window, not child windows, so WM_GETTEXT
// cannot reach them. A tool outside the program sends this message to the
// main window with a label's control identifier in wParam and its own window
// in lParam; the main window answers with WM_COPYDATA (dwData the identifier,
// the caption as UTF-16 without a terminator) and returns TRUE, or returns
// FALSE when the identifier names no label. The number is private to the class.
constexpr UINT kLabelCaptionMessage = WM_APP + 0x50;

class Win32Form : public Form {
public:
    explicit Win32Form(HINSTANCE instance);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // Creates the window and all its controls, hidden. On failure returns false
    // and GetLastError tells why.
    bool Create();
    // Shows the window centred on the screen with the focus on the first tab stop.
    void Show(int showCommand);
    // Runs until the window is closed; returns the exit code.
    int RunMessageLoop();

    Text GetText(ControlId box) override;
    void SetText(ControlId box, const Text& text) override;
    void SetCaption(ControlId label, const Text& caption) override;
    void MsgBox(const Text& prompt) override;
    void MsgBoxStyled(const Text& prompt, const Text& title, int style) override;
    void DoEvents() override;
    void Unload() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool CreateControl(const ControlSpec& design);
    HFONT FontFor(const FontSpec& font);
    // Keyboard handling of the dialog manager; true when the message was used.
    bool PreTranslate(MSG& message);
    void OnCommand(int id, int code, HWND control);
    LRESULT OnStaticColor(HDC dc, HWND control);
    // Rules and label captions: both belong to the window, not to child windows.
    void Paint();
    void PaintLabel(HDC dc, const ControlSpec& design);
    LRESULT SendLabelCaption(WPARAM id, HWND receiver);
    LRESULT OnDrawItem(const DRAWITEMSTRUCT& draw);
    void DrawButtonCaption(const DRAWITEMSTRUCT& draw, const ControlSpec& design);
    void MoveFocus(HWND control);
    // Alt and a marked letter of a button caption that the dialog manager
    // does not know; false for any other key.
    bool UseFurtherAccessKey(char16_t key);
    // The control list index of a child window, or -1.
    int IndexOf(HWND control) const;
    HWND Child(ControlId id) const { return children_[static_cast<std::size_t>(id)]; }

    HINSTANCE instance_;
    HWND window_ = nullptr;
    std::array<HWND, kControlCount> children_{};  // none for labels and lines
    std::array<Text, kControlCount> captions_{};  // labels' captions as shown
    struct CachedFont {
        FontSpec design;
        HFONT font;
    };
    std::vector<CachedFont> fonts_;
    int dpi_ = 96;
    bool eventsOn_ = false;
    HWND savedFocus_ = nullptr;
};

}  // namespace pw
