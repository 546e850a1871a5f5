#include "registry/RegValue.h"

#include "text/NumberText.h"

namespace pw {

Text ValueToText(const RegValue& value) {
    if (const auto* text = std::get_if<Text>(&value)) return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value)) return IntToText(*number);
    if (std::holds_alternative<TextList>(value)) {
        throw RegConversionError("a list of texts cannot be taken as one text");
    }
    return {};
}

}  // namespace pw
