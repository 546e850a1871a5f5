#include "ui/win32/Win32Form.h"

#include <algorithm>

#include "app/AccessKeys.h"
#include "app/LabelCaptions.h"
#include "app/TabOrder.h"
#include "app/ToolkitBoundary.h"
#include "app/TwipsToPixels.h"

namespace pw {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

const wchar_t* Wide(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

Text FromWide(const wchar_t* text, int length) {
    return Text(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
}

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
// WS_EX_CONTROLPARENT lets the dialog manager walk into the controls.
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
constexpr int kIconResource = 1;
// Where a push button draws its focus rectangle, inside its edges.
constexpr int kFocusInset = 3;

// Buttons and text boxes first, in tab-index order: a new child goes beneath
// its elder siblings, so the tab order follows and labels end up underneath.
const std::vector<ControlId>& CreationOrder() {
    static const std::vector<ControlId> order = [] {
        std::vector<ControlId> sorted = ControlsByTabIndex();
        std::stable_partition(sorted.begin(), sorted.end(),
                              [](ControlId id) { return TakesFocus(Control(id)); });
        return sorted;
    }();
    return order;
}

DWORD TextBoxStyle(const ControlSpec& design) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS;
    if (design.flags & kMultiLine)
        style |= ES_MULTILINE;  // without ES_AUTOHSCROLL it wraps at its width
    else
        style |= ES_AUTOHSCROLL;
    if (design.flags & kReadOnly) style |= ES_READONLY;
    if (design.alignment == Alignment::Right) style |= ES_RIGHT;
    if (design.alignment == Alignment::Center) style |= ES_CENTER;
    return style;
}

// The DrawText format a STATIC control of the label's alignment uses with
// SS_NOPREFIX, so that the caption breaks and aligns as a label's would.
UINT LabelFormat(const ControlSpec& design) {
    const UINT format = DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX;
    if (design.alignment == Alignment::Right) return format | DT_RIGHT;
    if (design.alignment == Alignment::Center) return format | DT_CENTER;
    return format | DT_LEFT;
}

RECT ControlRect(const ControlSpec& design, int dpi) {
    const PixelRect rect = ControlPixels(design, dpi);
    return RECT{rect.left, rect.top, rect.left + rect.width, rect.top + rect.height};
}

}  // namespace

Win32Form::Win32Form(HINSTANCE instance) : instance_(instance) {}

Win32Form::~Win32Form() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    for (const CachedFont& cached : fonts_) DeleteObject(cached.font);
}

bool Win32Form::Create() {
    const int iconWidth = GetSystemMetrics(SM_CXICON), iconHeight = GetSystemMetrics(SM_CYICON);
    const int smallWidth = GetSystemMetrics(SM_CXSMICON), smallHeight = GetSystemMetrics(SM_CYSMICON);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Win32Form::WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                      iconWidth, iconHeight, LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(
        instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, smallWidth, smallHeight, LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    if (!RegisterClassExW(&windowClass)) return false;

    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) dpi_ = 96;

    RECT frame{0, 0, TwipsToPixels(kFormSpec.clientWidth, dpi_), TwipsToPixels(kFormSpec.clientHeight, dpi_)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    const Text caption(kFormSpec.caption);
    window_ = CreateWindowExW(kWindowExStyle, kMainWindowClass, Wide(caption), kWindowStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                              nullptr, instance_, this);
    if (!window_) return false;
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(kFormSpec.font)), FALSE);

    for (ControlId id : CreationOrder())
        if (!CreateControl(Control(id))) return false;
    eventsOn_ = true;
    return true;
}

bool Win32Form::CreateControl(const ControlSpec& design) {
    const wchar_t* windowClass = L"STATIC";
    DWORD style = 0, exStyle = 0;
    Text text = design.caption ? Text(design.caption) : Text();
    switch (design.kind) {
        case ControlKind::CommandButton:
            windowClass = L"BUTTON";
            // Never BS_DEFPUSHBUTTON: Enter presses no button. Drawn by the window,
            // since a button underlines one marked letter of its caption at most.
            style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_OWNERDRAW;
            break;
        case ControlKind::TextBox:
            windowClass = L"EDIT";
            style = TextBoxStyle(design);
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Label:
            // Painted by the window itself, as the rules are: a child window each
            // cost start-up time and gave nothing, since a label takes no input.
            captions_[static_cast<std::size_t>(design.id)] = LabelCaption(text);
            return true;
        case ControlKind::Line: return true;  // painted by the window itself
    }
    const PixelRect rect = ControlPixels(design, dpi_);
    const auto index = static_cast<std::size_t>(design.id);
    // The window has no use for WM_PARENTNOTIFY; each one is a message less at start-up.
    HWND child = CreateWindowExW(exStyle | WS_EX_NOPARENTNOTIFY, windowClass, Wide(text), style, rect.left,
                                 rect.top, rect.width, rect.height, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                                 instance_, nullptr);
    if (!child) return false;
    children_[index] = child;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(design.font)), FALSE);
    if (design.maxLength > 0) SendMessageW(child, EM_LIMITTEXT, static_cast<WPARAM>(design.maxLength), 0);
    return true;
}

HFONT Win32Form::FontFor(const FontSpec& font) {
    for (const CachedFont& cached : fonts_)
        if (cached.design.points == font.points && cached.design.weight == font.weight &&
            cached.design.italic == font.italic)
            return cached.font;
    // A negative height names the character height, not the cell height.
    HFONT created = CreateFontA(-FontPixelHeight(font.points, dpi_), 0, 0, 0, font.weight,
                                font.italic ? TRUE : FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, font.face);
    if (created) fonts_.push_back(CachedFont{font, created});
    return created ? created : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void Win32Form::Show(int showCommand) {
    RECT frame;
    GetWindowRect(window_, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(Child(FirstFocus()));
}

int Win32Form::RunMessageLoop() {
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

bool Win32Form::PreTranslate(MSG& message) {
    if (!window_ || !IsWindow(window_)) return false;
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
    // A multi-line edit inside a dialog answers Esc by closing its parent;
    // here Esc does nothing at all.
    if ((message.message == WM_KEYDOWN || message.message == WM_KEYUP) && message.wParam == VK_ESCAPE)
        return true;
    // The dialog manager knows the first marked letter of a button's caption;
    // the others ("&Ports" of "&Reset &Ports") do here what it does.
    if (message.message == WM_SYSCHAR && UseFurtherAccessKey(static_cast<char16_t>(message.wParam)))
        return true;
    return IsDialogMessageW(window_, &message) != FALSE;
}

bool Win32Form::UseFurtherAccessKey(char16_t key) {
    const char16_t wanted = UpperChar(key);
    for (const ButtonAccessKey& access : ButtonAccessKeys()) {
        if (access.key != wanted || access.first || !IsWindowEnabled(Child(access.button))) continue;
        UseAccessKey(
            access.button, [this](ControlId id) { MoveFocus(Child(id)); },
            [this](ControlId id) { SendMessageW(Child(id), BM_CLICK, 0, 0); });
        return true;
    }
    return false;
}

void Win32Form::DoEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the main loop
            return;
        }
        if (PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

Text Win32Form::GetText(ControlId box) {
    HWND child = Child(box);
    if (!child) return {};
    const int length = GetWindowTextLengthW(child);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextW(child, buffer.data(), length + 1);
    return FromWide(buffer.data(), copied);
}

void Win32Form::SetText(ControlId box, const Text& text) {
    HWND child = Child(box);
    // WM_SETTEXT raises EN_CHANGE, hence Change, even for the same text; the
    // window logic expects Change only for a real change.
    if (!child || GetText(box) == text) return;
    SetWindowTextW(child, Wide(text));
}

void Win32Form::SetCaption(ControlId label, const Text& caption) {
    const ControlSpec& design = Control(label);
    if (design.kind != ControlKind::Label) return;
    Text shown = LabelCaption(caption);
    Text& current = captions_[static_cast<std::size_t>(label)];
    // Each keystroke sets the server's name again, mostly unchanged.
    if (shown == current) return;
    current = std::move(shown);
    // A hidden window is painted whole when it is first shown.
    if (!window_ || !IsWindowVisible(window_)) return;
    // The label's rectangle is repainted from the background up, controls that
    // overlap it included, so the old caption does not show through.
    const RECT area = ControlRect(design, dpi_);
    RedrawWindow(window_, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Form::MsgBox(const Text& prompt) { MsgBoxStyled(prompt, Text(kAppTitle), MB_OK); }

void Win32Form::MsgBoxStyled(const Text& prompt, const Text& title, int style) {
    MessageBoxW(window_, Wide(prompt), Wide(title), static_cast<UINT>(style));
}

void Win32Form::Unload() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

void Win32Form::MoveFocus(HWND control) {
    if (!control || !IsChild(window_, control)) return;
    SetFocus(control);
    // As the dialog manager does on Tab: a text box entered selects its text.
    if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
}

int Win32Form::IndexOf(HWND control) const {
    if (!control) return -1;
    for (std::size_t i = 0; i < children_.size(); ++i)
        if (children_[i] == control) return static_cast<int>(i);
    return -1;
}

LRESULT CALLBACK Win32Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        form->window_ = window;
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    AtToolkitBoundary("window procedure", "the main window",
                      [&] { result = form->HandleMessage(message, wParam, lParam); });
    return result;
}

LRESULT Win32Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
        case WM_CTLCOLORSTATIC:
            return OnStaticColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_PAINT: Paint(); return 0;
        case kLabelCaptionMessage: return SendLabelCaption(wParam, reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM: return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_GETICON: {
            // The class icons, to whoever asks: the window needs no icons of its
            // own, whose setting cost a Wine start some milliseconds.
            if (const LRESULT own = DefWindowProcW(window_, message, wParam, lParam)) return own;
            return static_cast<LRESULT>(
                GetClassLongPtrW(window_, wParam == ICON_BIG ? GCLP_HICON : GCLP_HICONSM));
        }
        case WM_ACTIVATE:
            // A plain window forgets its focused control when it loses activation.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window_, focus)) savedFocus_ = focus;
            } else if (!HIWORD(wParam)) {
                HWND focus = savedFocus_ && IsWindow(savedFocus_) ? savedFocus_ : Child(FirstFocus());
                SetFocus(focus);
            }
            return 0;
        case WM_NEXTDLGCTL:
            // Multi-line edits move the focus on Tab by asking their parent, as a
            // dialog would be asked.
            MoveFocus(LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                     : GetNextDlgTabItem(window_, GetFocus(), wParam != 0));
            return 0;
        case WM_CLOSE: Unload(); return 0;
        case WM_DESTROY:
            eventsOn_ = false;
            PostQuitMessage(0);
            return 0;
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Win32Form::OnCommand(int id, int code, HWND control) {
    if (id == IDOK || id == IDCANCEL) {
        // The dialog manager's Enter (and Esc) end up here. Enter presses a
        // button that has the focus, as in a dialog, and nothing else.
        HWND focus = GetFocus();
        const int index = IndexOf(focus);
        if (id == IDOK && index >= 0 &&
            kControls[static_cast<std::size_t>(index)].kind == ControlKind::CommandButton)
            OnCommand(kFirstControlId + index, BN_CLICKED, focus);
        return;
    }
    const int index = id - kFirstControlId;
    if (!eventsOn_ || index < 0 || index >= static_cast<int>(kControlCount) ||
        children_[static_cast<std::size_t>(index)] != control)
        return;
    const ControlSpec& design = kControls[static_cast<std::size_t>(index)];
    // An owner-drawn button reports the second click of a double click as
    // BN_DOUBLECLICKED; a push button would have reported two clicks.
    if (design.kind == ControlKind::CommandButton && (code == BN_CLICKED || code == BN_DOUBLECLICKED))
        RaiseClick(design.id);
    else if (design.kind == ControlKind::TextBox && code == EN_CHANGE)
        RaiseChange(design.id);
}

namespace {

// A label's own colour where the table gives one, else the dialog text colour.
COLORREF LabelTextColor(const ControlSpec& design) {
    return (design.flags & kHasColor) ? RGB(design.color.red, design.color.green, design.color.blue)
                                      : GetSysColor(COLOR_BTNTEXT);
}

}  // namespace

LRESULT Win32Form::OnStaticColor(HDC dc, HWND control) {
    const int index = IndexOf(control);
    if (index < 0 || kControls[static_cast<std::size_t>(index)].kind != ControlKind::TextBox)
        return DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(control));
    // Read-only edits ask here; they keep the window colours of a text box.
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void Win32Form::PaintLabel(HDC dc, const ControlSpec& design) {
    const Text& caption = captions_[static_cast<std::size_t>(design.id)];
    RECT area = ControlRect(design, dpi_);
    // Without DT_NOCLIP DrawText keeps to the rectangle, as the label's own
    // window kept its caption.
    SelectObject(dc, FontFor(design.font));
    SetTextColor(dc, LabelTextColor(design));
    Text left, right;
    if (SplitSpreadCaption(caption, left, right)) {
        // A plain label would wrap this once the spaces grow wider than
        // designed (at densities above 96 dpi, for one).
        const UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_TOP;
        DrawTextW(dc, Wide(left), -1, &area, format | DT_LEFT);
        DrawTextW(dc, Wide(right), -1, &area, format | DT_RIGHT);
    } else {
        DrawTextW(dc, Wide(caption), -1, &area, LabelFormat(design));
    }
}

LRESULT Win32Form::SendLabelCaption(WPARAM id, HWND receiver) {
    const WPARAM index = id - kFirstControlId;
    if (id < kFirstControlId || index >= kControlCount || kControls[index].kind != ControlKind::Label ||
        !IsWindow(receiver))
        return FALSE;
    const Text& caption = captions_[index];
    COPYDATASTRUCT data{};
    data.dwData = id;
    data.cbData = static_cast<DWORD>(caption.size() * sizeof(char16_t));
    data.lpData = const_cast<char16_t*>(caption.data());
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(receiver, WM_COPYDATA, reinterpret_cast<WPARAM>(window_),
                               reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &ignored)
               ? TRUE
               : FALSE;
}

LRESULT Win32Form::OnDrawItem(const DRAWITEMSTRUCT& draw) {
    const int index = IndexOf(draw.hwndItem);
    if (draw.CtlType != ODT_BUTTON || index < 0) return FALSE;
    const ControlSpec& design = kControls[static_cast<std::size_t>(index)];
    if (design.kind != ControlKind::CommandButton) return FALSE;
    // The whole button on every call: face, caption and focus rectangle.
    RECT face = draw.rcItem;
    DrawFrameControl(draw.hDC, &face, DFC_BUTTON,
                     DFCS_BUTTONPUSH | ((draw.itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
    DrawButtonCaption(draw, design);
    return TRUE;
}

void Win32Form::DrawButtonCaption(const DRAWITEMSTRUCT& draw, const ControlSpec& design) {
    HWND button = draw.hwndItem;
    HDC dc = draw.hDC;
    // Underlines and the focus rectangle may be hidden until the keyboard is used.
    const LRESULT hidden = SendMessageW(button, WM_QUERYUISTATE, 0, 0);
    const MarkedCaption caption = ParseAccessKeys(design.caption);
    const wchar_t* text = Wide(caption.shown);
    auto extent = [dc, text](std::size_t from, std::size_t length) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text + from, static_cast<int>(length), &size);
        return size;
    };
    HGDIOBJ previousFont = SelectObject(dc, FontFor(design.font));
    const SIZE whole = extent(0, caption.shown.size());
    const RECT& area = draw.rcItem;
    int x = area.left + (area.right - area.left - whole.cx) / 2;
    int y = area.top + (area.bottom - area.top - whole.cy) / 2;
    if (draw.itemState & ODS_SELECTED) {
        ++x;  // a pushed button's caption moves with its face
        ++y;
    }
    const COLORREF ink = GetSysColor(IsWindowEnabled(button) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
    TextOutW(dc, x, y, text, static_cast<int>(caption.shown.size()));
    if (!(hidden & UISF_HIDEACCEL)) {
        // Each marked letter underlined as DrawText underlines one: a line of
        // one pixel just below the baseline, a pixel short of the next letter.
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const int underline = y + metrics.tmAscent + 1;
        HPEN pen = CreatePen(PS_SOLID, 1, ink);
        HGDIOBJ previousPen = SelectObject(dc, pen);
        for (std::size_t place : caption.marked) {
            const int from = x + extent(0, place).cx;
            MoveToEx(dc, from, underline, nullptr);
            LineTo(dc, from + extent(place, 1).cx - 1, underline);
        }
        SelectObject(dc, previousPen);
        DeleteObject(pen);
    }
    if ((draw.itemState & ODS_FOCUS) && !(hidden & UISF_HIDEFOCUS)) {
        RECT focus = area;
        InflateRect(&focus, -kFocusInset, -kFocusInset);
        DrawFocusRect(dc, &focus);
    }
    SelectObject(dc, previousFont);
}

void Win32Form::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ previousPen = SelectObject(dc, pen);
    for (const ControlSpec& design : kControls) {
        if (design.kind != ControlKind::Line) continue;
        MoveToEx(dc, TwipsToPixels(design.x1, dpi_), TwipsToPixels(design.y1, dpi_), nullptr);
        // LineTo stops short of its end point; the rule includes it.
        LineTo(dc, TwipsToPixels(design.x2, dpi_) + 1, TwipsToPixels(design.y2, dpi_));
    }
    SelectObject(dc, previousPen);
    DeleteObject(pen);

    HGDIOBJ previousFont = GetCurrentObject(dc, OBJ_FONT);
    SetBkMode(dc, TRANSPARENT);
    // Each label keeps out of the controls above it in the Z order, as its
    // window did with WS_CLIPSIBLINGS: the controls in creation order.
    const std::vector<ControlId>& order = CreationOrder();
    for (auto place = order.begin(); place != order.end(); ++place) {
        const ControlSpec& design = Control(*place);
        const RECT area = ControlRect(design, dpi_);
        RECT overlap;
        if (design.kind != ControlKind::Label || !IntersectRect(&overlap, &area, &paint.rcPaint)) continue;
        const int saved = SaveDC(dc);
        for (auto above = order.begin(); above != place; ++above) {
            const RECT cover = ControlRect(Control(*above), dpi_);
            if (IntersectRect(&overlap, &area, &cover))
                ExcludeClipRect(dc, cover.left, cover.top, cover.right, cover.bottom);
        }
        PaintLabel(dc, design);
        RestoreDC(dc, saved);
    }
    SelectObject(dc, previousFont);
    EndPaint(window_, &paint);
}

}  // namespace pw
