// The stored value as the core functions read, write and delete it, without a window.
#include <gtest/gtest.h>

#include "core/ServerDiscovery.h"
#include "core/ValidPortsWrite.h"
#include "tests/app/WindowHarness.h"

namespace pw::test {
namespace {

using Result = ValidPortsChange::Result;
using State = StoredValue::State;

TEST(ValidPortsStore, MissingIsToldFromUnreadable) {
    WindowHarness h;
    h.Seed(kTcpipKeyPath, "HostName", u"EXCH1");
    const ServerDiscovery found = DiscoverServer(h.Registry());
    EXPECT_EQ(found.validPorts.state, State::Missing);
    EXPECT_EQ(found.defaultValue, u"exch1:100-5000");
    EXPECT_EQ(found.startupValue, u"exch1:6001-6002;exch1.:6001-6002;exch1:6004;exch1.:6004");

    h.Registry().failOpensWith = regerr::Timeout;
    h.Registry().failureReason = "The registry store stayed locked.";
    const ServerDiscovery locked = DiscoverServer(h.Registry());
    EXPECT_EQ(locked.validPorts.state, State::Unreadable);
    EXPECT_EQ(locked.validPorts.reason, u"The registry store stayed locked.");

    // Opened, but its counts could not be read: not the same as no value.
    h.Registry().failOpensWith.reset();
    h.Registry().failCountQueries = 100;
    EXPECT_EQ(DiscoverServer(h.Registry()).validPorts.state, State::Unreadable);
}

TEST(ValidPortsStore, AWriteIsNotFailedByACountThatCouldNotBeReadBeforeIt) {
    WindowHarness h;
    h.Registry().failCountQueries = 1;  // the open for the write
    const ValidPortsChange change = WriteValidPorts(h.Registry(), u"exch1:6001");
    EXPECT_EQ(change.result, Result::Made) << ToUtf8(change.failure);
    EXPECT_EQ(h.StoredValidPorts(), u"exch1:6001");
}

TEST(ValidPortsStore, AWriteIsJudgedByWhatTheCodePageMakesOfTheValue) {
    WindowHarness h;
    const ValidPortsChange change = WriteValidPorts(h.Registry(), u"mail.\u0100.com:6001");
    EXPECT_EQ(change.result, Result::Made);
    EXPECT_EQ(change.readBack.text, u"mail.?.com:6001");
    EXPECT_EQ(change.failure, u"");
}

TEST(ValidPortsStore, AValueWithAControlCharacterIsRefusedBeforeTheStoreIsAsked) {
    WindowHarness h;
    h.Seed(kRpcProxyKeyPath, "ValidPorts", u"exch1:100-5000");
    for (const Text& value :
         {Text(u"exch1:100-5000\nx"), Text(u"exch1\r:100"), Text(u"exch\x7F:1"), Text(u"exch\u009D:1")}) {
        const ValidPortsChange change = WriteValidPorts(h.Registry(), value);
        EXPECT_EQ(change.result, Result::Refused);
        EXPECT_EQ(change.failure.rfind(u"The value to write must not contain line breaks", 0), 0u);
        EXPECT_EQ(change.readBack.text, u"exch1:100-5000");
    }
    EXPECT_EQ(h.StoredValidPorts(), u"exch1:100-5000");
}

TEST(ValidPortsStore, DeleteSaysWhetherItRemovedTheValue) {
    WindowHarness h;
    h.Seed(kRpcProxyKeyPath, "ValidPorts", u"exch1:100-5000");
    h.Registry().failOpensWith = regerr::AccessDenied;
    h.Registry().failureReason = "Access is denied.";
    const ValidPortsChange refused = DeleteValidPorts(h.Registry());
    EXPECT_EQ(refused.result, Result::Failed);
    EXPECT_EQ(refused.failure, u"Access is denied.");
    EXPECT_EQ(refused.readBack.state, State::Unreadable);

    h.Registry().failOpensWith.reset();
    const ValidPortsChange removed = DeleteValidPorts(h.Registry());
    EXPECT_EQ(removed.result, Result::Made);
    EXPECT_EQ(removed.readBack.state, State::Missing);
    EXPECT_EQ(h.StoredValidPorts(), u"");
    EXPECT_EQ(DeleteValidPorts(h.Registry()).result, Result::AlreadyHeld);
}

}  // namespace
}  // namespace pw::test
