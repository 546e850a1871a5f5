#include "registry/ExistingKeys.h"

#include "registry/RegistryTexts.h"

namespace pw {

Keys::~Keys() {
    for (auto& entry : open_) {
        if (entry.second != 0) registry_.RegCloseKey(entry.second);
    }
}

RegHandle Keys::Find(std::int32_t root, const Text& sub, Text& failure, bool lastListed) {
    RegHandle parent = RootHandle(root);
    Text path;
    for (std::size_t start = 0; start <= sub.size();) {
        std::size_t end = sub.find(u'\\', start);
        if (end == Text::npos) end = sub.size();
        const Text name = sub.substr(start, end - start);
        path += (path.empty() ? Text() : Text(u"\\")) + FoldCase(name);
        const auto key = std::make_pair(root, path);
        auto known = open_.find(key);
        if (known == open_.end()) {
            RegHandle handle = 0;
            if ((lastListed && end == sub.size()) || Listed(parent, name)) {
                const RegStatus status = registry_.RegCreateKeyExA(parent, ToAnsi(name).c_str(), 0, nullptr,
                                                                   kRegOptionNonVolatile, regaccess::Read,
                                                                   nullptr, &handle, nullptr);
                if (status != regerr::Success) {
                    failure = FailureReason(registry_, status);
                    return 0;
                }
            }
            known = open_.emplace(key, handle).first;
        }
        if (known->second == 0) return 0;
        parent = known->second;
        start = end + 1;
    }
    return parent;
}

void Keys::Forget(std::int32_t root, const Text& sub) {
    const Text folded = FoldCase(sub);
    for (auto it = open_.begin(); it != open_.end();) {
        const bool below = it->first.first == root && it->first.second.rfind(folded, 0) == 0 &&
                           (it->first.second.size() == folded.size() ||
                            it->first.second[folded.size()] == u'\\');
        const bool above = it->first.first == root && it->second == 0;
        if (below || above) {
            if (it->second != 0) registry_.RegCloseKey(it->second);
            it = open_.erase(it);
        } else {
            ++it;
        }
    }
}

bool Keys::Listed(RegHandle parent, const Text& name) {
    for (Dword index = 0;; ++index) {
        char found[256];
        Dword length = sizeof found;
        if (registry_.RegEnumKeyExA(parent, index, found, &length, nullptr, nullptr, nullptr, nullptr) !=
            regerr::Success) {
            return false;
        }
        if (EqualsNoCase(FromAnsi(std::string_view(found, length)), name)) return true;
    }
}

}  // namespace pw
