#pragma once
// Shared ground of the RegOp suites: a fresh sandbox key, a counting view of
// the registry for RegOp, and direct access to the key for setting up and
// checking what RegOp did.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CountingRegistry.h"
#include "registry/RegOp.h"
#include "tests/support/RegistrySandbox.h"

namespace pw::test {

struct ShownError {
    Text message;
    Text title;
    int style = 0;
};

struct RawValue {
    bool exists = false;
    Dword type = 0;
    std::vector<std::uint8_t> data;
};

inline std::vector<std::uint8_t> Bytes(const std::string& bytes) { return {bytes.begin(), bytes.end()}; }
inline std::vector<std::uint8_t> DwordBytes(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

class RegOpTest : public ::testing::Test {
protected:
    RegOpTest() : sandbox_(RegistrySandbox::Create()), counting_(sandbox_->Api()) {}

    ~RegOpTest() override {
        for (RegHandle h : handles_) sandbox_->Api().RegCloseKey(h);
    }

    RegistryApi& Direct() { return sandbox_->Api(); }
    CountingRegistry& Counting() { return counting_; }
    std::int32_t Root() const { return sandbox_->Root(); }
    // The sandbox key, or a path below it.
    Text Path(const Text& below = {}) const {
        return below.empty() ? sandbox_->KeyPath() : sandbox_->KeyPath() + u"\\" + below;
    }

    // A RegOp over the counting view, addressing the sandbox key (or below it);
    // its errors are collected in shown.
    std::unique_ptr<RegOp> MakeOp(const Text& below = {}, std::int32_t options = 0) {
        auto op = std::make_unique<RegOp>(counting_,
                                          [this](const Text& message, const Text& title, int style) {
                                              shown.push_back({message, title, style});
                                          });
        op->Root(Root());
        op->Options(options);
        op->Key(Path(below));
        return op;
    }

    // A handle of our own on the key (created when missing), closed at the end.
    RegHandle Open(const Text& below = {}) {
        RegHandle h = 0;
        Dword disposition = 0;
        const RegStatus status = Direct().RegCreateKeyExA(RootHandle(Root()), ToAnsi(Path(below)).c_str(), 0,
                                                          nullptr, kRegOptionNonVolatile,
                                                          regaccess::AllAccess, nullptr, &h, &disposition);
        EXPECT_EQ(status, regerr::Success) << "cannot open " << ToUtf8(Path(below));
        handles_.push_back(h);
        return h;
    }

    void Set(const std::string& name, Dword type, const std::vector<std::uint8_t>& data,
             const Text& below = {}) {
        ASSERT_EQ(Direct().RegSetValueExA(Open(below), name.c_str(), 0, type, data.data(),
                                          static_cast<Dword>(data.size())),
                  regerr::Success)
            << "cannot set " << name;
    }
    void SetText(const std::string& name, const std::string& text, const Text& below = {}) {
        Set(name, regtype::Sz, Bytes(text + std::string(1, '\0')), below);
    }

    RawValue Get(const std::string& name, const Text& below = {}) {
        RawValue value;
        RegHandle h = Open(below);
        Dword size = 0;
        if (Direct().RegQueryValueExA(h, name.c_str(), nullptr, &value.type, nullptr, &size) !=
            regerr::Success) {
            return value;
        }
        value.data.resize(size);
        value.exists = Direct().RegQueryValueExA(h, name.c_str(), nullptr, &value.type, value.data.data(),
                                                 &size) == regerr::Success;
        value.data.resize(size);
        return value;
    }

    std::vector<ShownError> shown;

private:
    std::unique_ptr<RegistrySandbox> sandbox_;
    CountingRegistry counting_;
    std::vector<RegHandle> handles_;
};

// Checks one stored value; failures name the caller's line.
#define EXPECT_STORED(stored, expectedType, expectedData) \
    do {                                                  \
        SCOPED_TRACE("stored value");                     \
        const ::pw::test::RawValue& s_ = (stored);        \
        EXPECT_TRUE(s_.exists);                           \
        EXPECT_EQ(s_.type, ::pw::Dword(expectedType));    \
        EXPECT_EQ(s_.data, (expectedData));               \
    } while (0)

}  // namespace pw::test
