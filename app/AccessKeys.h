#pragma once
// Access keys of captions: a single "&" marks the letter after it, "&&" shows
// one "&" and a "&" at the very end shows nothing. Every marked letter of a
// button's caption is drawn underlined and presses the button with Alt.
#include <vector>

#include "app/ControlId.h"
#include "text/Text.h"

namespace pw {

struct MarkedCaption {
    Text shown;                       // the caption without its markers
    std::vector<std::size_t> marked;  // places in shown of the marked letters
};

MarkedCaption ParseAccessKeys(TextView designed);

struct ButtonAccessKey {
    ControlId button;
    char16_t key;  // upper case
    // Windows' dialog manager and Qt's mnemonics know only the first marked
    // letter of a caption; the window handles the others itself.
    bool first;
};

// The access keys of the control table's buttons, in control-list order.
const std::vector<ButtonAccessKey>& ButtonAccessKeys();

// What a button's access key does, as Windows' dialog manager does it (a
// mouse click on the button): the focus moves to the button, then the button
// is pressed.
template <class MoveFocus, class Press>
void UseAccessKey(ControlId button, MoveFocus&& moveFocus, Press&& press) {
    moveFocus(button);
    press(button);
}

}  // namespace pw
