#include "registry/RegistryTexts.h"

#include "text/NumberText.h"

namespace pw {

Text RegTypeName(Dword type) {
    switch (type) {
        case regtype::None: return u"REG_NONE";
        case regtype::Sz: return u"REG_SZ";
        case regtype::ExpandSz: return u"REG_EXPAND_SZ";
        case regtype::Binary: return u"REG_BINARY";
        case regtype::Dword_: return u"REG_DWORD";
        case regtype::MultiSz: return u"REG_MULTI_SZ";
        case regtype::Qword: return u"REG_QWORD";
        default: return u"type " + IntToText(static_cast<std::int32_t>(type));
    }
}

Text DescribeRegFailure(const RegOp::CallResult& result) {
    if (!result.reason.empty()) return FromUtf8(result.reason);
    return u"error " + IntToText(result.status);
}

Text FailureReason(RegistryApi& registry, RegStatus status) {
    return DescribeRegFailure({status, registry.DescribeLastFailure()});
}

}  // namespace pw
