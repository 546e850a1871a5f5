#include "app/Messages.h"

namespace pw {
namespace {

constexpr char16_t kCrLf[] = u"\r\n";
constexpr char16_t kQuote = u'"';

Text Quoted(TextView text) { return kQuote + Text(text) + kQuote; }

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

Text WriteFailedMessage(const ValidPortsChange& change) {
    Text now;
    if (change.readBack.state != StoredValue::State::Present || change.readBack.text.empty()) {
        now = u"It has no value now.";
    } else {
        now = u"It holds now: " + Quoted(change.readBack.text);
    }
    return u"The registry value " + Quoted(kValidPortsFullName) + u" could not be written." + kCrLf + kCrLf +
           now + kCrLf + kCrLf +
           u"No log was created. Run Portwright as an administrator, and if an existing "
           u"ValidPorts value is not text, remove it; then try again.";
}

Text LogAnnouncement(const Text& logPath) {
    return u"A log will be created automatically here: " + Quoted(logPath);
}

Text DefaultValueCaption(const Text& defaultValue) { return u"ValidPorts=" + Quoted(defaultValue); }

}  // namespace pw
