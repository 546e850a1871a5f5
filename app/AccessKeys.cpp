#include "app/AccessKeys.h"

#include "app/ControlTable.h"

namespace pw {

MarkedCaption ParseAccessKeys(TextView designed) {
    MarkedCaption caption;
    caption.shown.reserve(designed.size());
    for (std::size_t i = 0; i < designed.size(); ++i) {
        if (designed[i] != u'&') {
            caption.shown += designed[i];
        } else if (i + 1 < designed.size()) {
            if (designed[i + 1] != u'&') caption.marked.push_back(caption.shown.size());
            caption.shown += designed[++i];
        }
    }
    return caption;
}

const std::vector<ButtonAccessKey>& ButtonAccessKeys() {
    static const std::vector<ButtonAccessKey> keys = [] {
        std::vector<ButtonAccessKey> found;
        for (const ControlSpec& design : kControls) {
            if (design.kind != ControlKind::CommandButton || !design.caption) continue;
            const MarkedCaption caption = ParseAccessKeys(design.caption);
            for (std::size_t place : caption.marked) {
                found.push_back(
                    {design.id, UpperChar(caption.shown[place]), place == caption.marked.front()});
            }
        }
        return found;
    }();
    return keys;
}

}  // namespace pw
