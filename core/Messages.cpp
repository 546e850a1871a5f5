#include "core/Messages.h"

namespace pw {
namespace {

constexpr char16_t kCrLf[] = u"\r\n";
constexpr char16_t kQuote = u'"';

Text Quoted(TextView text) { return kQuote + Text(text) + kQuote; }

// The write call failed, but the value already held what was asked.
Text AlreadyHeldMessage(const ValidPortsChange& change) {
    return u"The registry value " + Quoted(kValidPortsFullName) + u" already held " +
           Quoted(change.readBack.text) + u"; nothing was written." + kCrLf + kCrLf +
           u"The write itself failed: " + change.failure + kCrLf + kCrLf + u"No log was created.";
}

}  // namespace

Text MissingValueMessage() {
    return Quoted(kValidPortsFullName) + u" registry value does not exist or has no value." + kCrLf +
           u"Please verify that " + Quoted(u"RPC over HTTP") + u" is intstalled correctly through" + kCrLf +
           u"Control Panel\\Add/Remove Programs\\Windows Components\\Networking Services\\RPC over HTTP.";
}

Text WriteConfirmedMessage(const Text& logPath) {
    return u"Registry entry and log created." + Text(kCrLf) + kCrLf + u"LOGPATH: " + logPath;
}

Text LogFailedMessage(const LogOutcome& log) {
    return u"Registry entry created, but the log could not be written." + Text(kCrLf) + kCrLf + u"LOGPATH: " +
           log.path + kCrLf + kCrLf + log.failure;
}

Text DescribeStoredValue(const StoredValue& stored) {
    switch (stored.state) {
        case StoredValue::State::Present: return stored.text;
        case StoredValue::State::Missing: return u"(none: ValidPorts does not exist or is empty)";
        case StoredValue::State::Unreadable: return u"(could not be read: " + stored.reason + u")";
    }
    return {};
}

Text DeleteFailedMessage(const ValidPortsChange& change) {
    return u"The registry value " + Quoted(kValidPortsFullName) + u" could not be deleted." +
           (change.failure.empty() ? Text() : u" Reason: " + change.failure) + u" It holds now: " +
           DescribeStoredValue(change.readBack) + u". No log was created.";
}

Text WriteFailedMessage(const ValidPortsChange& change) {
    if (change.result == ValidPortsChange::Result::AlreadyHeld) return AlreadyHeldMessage(change);
    if (change.result == ValidPortsChange::Result::Refused) return change.failure;
    const StoredValue& now = change.readBack;
    Text holds;
    if (now.state == StoredValue::State::Unreadable) {
        holds = u"Its value could not be read: " + now.reason;
    } else if (now.text.empty()) {
        holds = u"It has no value now.";
    } else {
        holds = u"It holds now: " + Quoted(now.text);
    }
    const Text why =
        change.failure.empty()
            ? Text(u"The registry reported no failure, but reading the value back does not show the write.")
            : u"Reason: " + change.failure;
    return u"The registry value " + Quoted(kValidPortsFullName) + u" could not be written." + kCrLf + kCrLf +
           why + kCrLf + kCrLf + holds + kCrLf + kCrLf + u"No log was created.";
}

Text LogAnnouncement(const Text& logPath) {
    return u"A log will be created automatically here: " + Quoted(logPath);
}

Text DefaultValueCaption(const Text& defaultValue) { return u"ValidPorts=" + Quoted(defaultValue); }

}  // namespace pw
