#include "cli/RegistryTexts.h"

#include "core/ServerDiscovery.h"
#include "text/NumberText.h"

namespace pw::cli {

Text RegTypeName(Dword type) {
    switch (type) {
        case regtype::None: return u"REG_NONE";
        case regtype::Sz: return u"REG_SZ";
        case regtype::ExpandSz: return u"REG_EXPAND_SZ";
        case regtype::Binary: return u"REG_BINARY";
        case regtype::Dword_: return u"REG_DWORD";
        case regtype::MultiSz: return u"REG_MULTI_SZ";
        case 11: return u"REG_QWORD";
        default: return u"type " + IntToText(static_cast<std::int32_t>(type));
    }
}

Text FailureReason(RegistryApi& registry, RegStatus status) {
    return DescribeRegFailure({status, registry.DescribeLastFailure()});
}

}  // namespace pw::cli
