#include "text/LineCleaner.h"

#include <algorithm>

namespace pw {

Text CleanLine(Text& text) {
    if (text.empty()) return text;
    text.erase(std::remove_if(text.begin(), text.end(), [](char16_t c) { return c == u'\0' || c == u'\t'; }),
               text.end());
    // Trimming sees the text without NUL and tab, so "x \t" loses its space too.
    const auto first = text.find_first_not_of(u' ');
    if (first == Text::npos) {
        text.clear();
    } else {
        const auto last = text.find_last_not_of(u' ');
        text = text.substr(first, last - first + 1);
    }
    return text;
}

}  // namespace pw
