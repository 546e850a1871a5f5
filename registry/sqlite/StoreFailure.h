#pragma once
// Why a registry call could not be answered: the Windows result code the call
// returns and, where the store itself is at fault, a sentence for people.
#include <stdexcept>
#include <string>

#include "registry/RegistryApi.h"

namespace pw::sqlitestore {

class StoreFailure : public std::runtime_error {
public:
    StoreFailure(RegStatus code, const std::string& description)
        : std::runtime_error(description), code_(code) {}
    explicit StoreFailure(RegStatus code) : StoreFailure(code, std::string()) {}

    RegStatus Code() const { return code_; }

private:
    RegStatus code_;
};

}  // namespace pw::sqlitestore
