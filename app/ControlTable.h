#pragma once
// The window and its controls as data: both front ends build the window from it.
// Positions and sizes are twips from the top-left of the client area.
#include <array>
#include <cstdint>

#include "app/ControlId.h"

namespace pw {

enum class ControlKind { CommandButton, TextBox, Label, Line };
enum class Alignment { Left, Center, Right };

struct FontSpec {
    const char* face;  // always "Arial", character set 0 (ANSI)
    double points;
    int weight;  // 400 regular, 700 bold
    bool italic;
};

struct Rgb {
    std::uint8_t red, green, blue;
};

// Flags of a control.
enum ControlFlags : unsigned {
    kNone = 0,
    kMultiLine = 1u << 0,  // wraps at its width, no scroll bars
    kReadOnly = 1u << 1,   // takes the focus, allows select and copy, refuses edits
    kHasColor = 1u << 2,   // colour names the label's text colour
    kHasChange = 1u << 3,  // raises Change to a handler
};

struct ControlSpec {
    ControlId id;
    const char* name;
    ControlKind kind;
    const char16_t* caption;  // caption or initial text, "&" markers as designed
    int left, top, width, height;
    FontSpec font;
    Alignment alignment;
    Rgb color;
    int maxLength;  // 0: no limit
    unsigned flags;
    int tabIndex;        // -1 for lines
    int x1, y1, x2, y2;  // lines only
};

struct FormSpec {
    const char16_t* caption;
    int clientWidth, clientHeight;  // twips
    FontSpec font;
};

extern const FormSpec kFormSpec;
extern const std::array<ControlSpec, kControlCount> kControls;

const ControlSpec& Control(ControlId id);

}  // namespace pw
