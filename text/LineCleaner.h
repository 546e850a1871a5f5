#pragma once
// Tidies a line that a person typed or pasted.
#include "text/Text.h"

namespace pw {

// Removes every NUL and tab character, then the spaces at both ends; every other
// character (CR, LF, the no-break space) stays. Cleans text in place and returns
// a copy of the result.
Text CleanLine(Text& text);

}  // namespace pw
