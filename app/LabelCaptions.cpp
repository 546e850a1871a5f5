#include "app/LabelCaptions.h"

#include "app/AccessKeys.h"

namespace pw {

Text LabelCaption(TextView designed) { return ParseAccessKeys(designed).shown; }

bool SplitSpreadCaption(TextView caption, Text& left, Text& right) {
    constexpr std::size_t kSpreadGap = 8;
    left.clear();
    right.clear();
    const std::size_t start = caption.find(Text(kSpreadGap, u' '));
    if (start == TextView::npos) return false;
    const std::size_t end = caption.find_first_not_of(u' ', start);
    left = Text(caption.substr(0, start));
    if (end != TextView::npos) right = Text(caption.substr(end));
    return true;
}

}  // namespace pw
