// RegOp: writing one value, with the registry type chosen from the value and
// from the type of the value it replaces.
#include "registry/RegOp.h"
#include "registry/WriteValueConversion.h"
#include "text/EnvironmentEntry.h"

namespace pw {
namespace {

std::string Quoted(const Text& text) { return "\"" + ToUtf8(text) + "\""; }

std::string DescribeTarget(const Text& valueName, const Text& key) {
    return (valueName.empty() ? std::string("the default value") : "the value " + Quoted(valueName)) +
           " of " + Quoted(key);
}

Text TextOrThrow(const RegWriteValue& value, const Text& valueName, const Text& key, const char* why) {
    auto text = WriteValueAsText(value);
    if (!text) {
        throw RegConversionError("Cannot write a list of texts to " + DescribeTarget(valueName, key) + ": " +
                                 why + ". Write a single text instead.");
    }
    return *text;
}

std::vector<std::uint8_t> AnsiBytes(const std::string& ansi) {
    return std::vector<std::uint8_t>(ansi.begin(), ansi.end());
}

}  // namespace

// The value as the type it replaces takes it: text over text, a number over a
// number; false, having said why, over a type that is never written over.
bool RegOp::ConformToStoredType(const Text& ValueName, RegWriteValue& v) {
    const std::string name = ToAnsi(ValueName);
    Dword existingType = 0;
    Dword existingSize = 0;
    if (api_.RegQueryValueExA(hKey, name.c_str(), nullptr, &existingType, nullptr, &existingSize) !=
        regerr::Success)
        return true;
    switch (existingType) {
        case regtype::Sz:
        case regtype::ExpandSz:
            v = TextOrThrow(v, ValueName, strKey, "the stored value is a text");
            return true;
        case regtype::Dword_: {
            auto number = WriteValueAsInt32(v);
            if (!number) {
                const auto text = WriteValueAsText(v);
                throw RegConversionError(
                    "Cannot write " + (text ? Quoted(*text) : std::string("a list of texts")) + " to " +
                    DescribeTarget(ValueName, strKey) +
                    ": the stored value is a 32-bit number (REG_DWORD) and this is not a number in "
                    "its range. Write a whole number from -2147483648 to 2147483647.");
            }
            v = *number;
            return true;
        }
        case regtype::MultiSz: return true;
        default:
            NoteFailure(regerr::UnsupportedType, "The existing value " + Quoted(ValueName) +
                                                     " holds data of type " + std::to_string(existingType) +
                                                     ", which is never written over; remove it first.");
            ShowRegError(u"Existing value has unsupported data type and will not be overwritten");
            return false;
    }
}

// The registry type and bytes of a value to write, its texts in the ANSI code page.
RegOp::Encoded RegOp::Encode(const RegWriteValue& v) {
    if (const auto* list = std::get_if<TextList>(&v)) {
        std::string joined;
        for (std::size_t i = 0; i < list->size(); ++i) {
            if (i != 0) joined.push_back('\0');
            joined += ToAnsi((*list)[i]);
        }
        joined.append(2, '\0');
        return {regtype::MultiSz, AnsiBytes(joined)};
    }
    if (std::holds_alternative<std::int16_t>(v) || std::holds_alternative<std::int32_t>(v)) {
        const auto number = static_cast<std::uint32_t>(*WriteValueAsInt32(v));
        return {regtype::Dword_, LittleEndianBytes(number)};
    }
    const auto* text = std::get_if<Text>(&v);
    Encoded encoded{text && ContainsEnvVarRef(*text) ? regtype::ExpandSz : regtype::Sz,
                    AnsiBytes(ToAnsi(text ? *text : *WriteValueAsText(v)))};
    encoded.data.push_back(0);
    return encoded;
}

void RegOp::Value(const Text& ValueName, const RegWriteValue& vValue) {
    if (std::holds_alternative<std::monostate>(vValue)) return;
    last_ = {};
    RegWriteValue v = vValue;
    if (bIsNT) lAccessWanted = regaccess::ReadWrite;
    if (!EnsureKeyOpen()) return;
    if (!ConformToStoredType(ValueName, v)) return;
    if ((lOptions & kNumbersAsText) != 0 && IsNumericWriteValue(v)) {
        v = *WriteValueAsText(v);
    }
    if (ValueName.empty()) {
        v = TextOrThrow(v, ValueName, strKey, "the default value holds a text");
    }

    const Encoded encoded = Encode(v);
    const RegStatus status = api_.RegSetValueExA(hKey, ToAnsi(ValueName).c_str(), 0, encoded.type,
                                                 encoded.data.data(),
                                                 static_cast<Dword>(encoded.data.size()));
    if (status != regerr::Success) {
        // Silent without the error option, like every other registry failure.
        Text message = u"Could not write Registry Value!";
        const std::string reason = api_.DescribeLastFailure();
        NoteFailure(status, reason);
        if (!reason.empty()) message += u"\n\n" + FromUtf8(reason);
        ShowRegError(message);
    }

    lValueCount = Recounted(&KeyCounts::values, lValueCount);
    oValueCache.RemoveAll();
}

bool RegOp::ContainsEnvVarRef(const Text& text) {
    const std::size_t first = text.find(u'%');
    if (first == Text::npos || first == text.rfind(u'%')) return false;
    const Text folded = FoldCase(text);
    // Every entry counts: a variable late in a long environment is still a variable.
    for (const std::string& entry : api_.EnvironmentEntries()) {
        // A per-drive folder has no name to refer to, and "%%" is no reference.
        const auto split = SplitEnvironmentEntry(entry);
        if (!split || split->PerDriveFolder()) continue;
        if (folded.find(u"%" + FoldCase(FromAnsi(split->name)) + u"%") != Text::npos) return true;
    }
    return false;
}

}  // namespace pw
