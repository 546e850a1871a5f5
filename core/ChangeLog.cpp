#include "core/ChangeLog.h"

#include <exception>

#include "core/FileIOMOD.h"
#include "text/NumberText.h"

namespace pw {
namespace {

constexpr char16_t kCrLf[] = u"\r\n";
constexpr char16_t kSeparatorLine[] = u"----------------------";
constexpr char16_t kCreditLine[] =
    u"Written by Portwright 1.0, which composes the RPC proxy's ValidPorts value.";

// A log never replaces an earlier one; beyond this many taken names we give up.
constexpr int kMaxLogNameTries = 1000;

// A control character would break the log's ten lines; it is shown as "?", as
// the code page shows a character it cannot hold.
Text Logged(TextView setting) {
    Text text(setting);
    for (char16_t& c : text) {
        if (IsControlChar(c)) c = u'?';
    }
    return text;
}

}  // namespace

Text BuildLogPath(Clock& clock, const Text& driveRoot) {
    Text stamp = clock.ShortDateNow();
    stamp += u"_";
    stamp += clock.LongTimeNow();
    stamp = ReplaceAll(stamp, u':', u'.');
    stamp = ReplaceAll(stamp, u'/', u'-');
    stamp = ReplaceAll(stamp, u'\\', u'-');
    stamp += u".LOG";
    stamp = RemoveAll(stamp, u' ');
    return driveRoot + u"RPC_" + stamp;
}

namespace {

// The name beside path for a log of the same second: "C:\RPC_x.LOG" -> "C:\RPC_x_2.LOG";
// number 1 is path itself.
Text NumberedLogPath(const Text& path, int number) {
    if (number == 1) return path;
    const Text suffix = u"_" + IntToText(number);
    constexpr TextView kExtension = u".LOG";
    if (path.size() >= kExtension.size() &&
        TextView(path).substr(path.size() - kExtension.size()) == kExtension) {
        return path.substr(0, path.size() - kExtension.size()) + suffix + Text(kExtension);
    }
    return path + suffix;
}

}  // namespace

Text NextFreeLogPath(const FileSystem& files, const Text& path) {
    for (int number = 1; number <= kMaxLogNameTries; ++number) {
        const Text candidate = NumberedLogPath(path, number);
        try {
            if (!files.Exists(candidate)) return candidate;
        } catch (const std::exception&) {
            return candidate;
        }
    }
    return path;
}

Text ChangeLogText(const Text& previousSetting, const Text& newSetting, TextView secondLine) {
    return Text(u"RPC Single Server Registry Modifications") + kCrLf +
           (secondLine.empty() ? Text(kCreditLine) : Logged(secondLine)) + kCrLf + kSeparatorLine + kCrLf +
           u"KEY=HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy" + kCrLf + u"VALUENAME=ValidPorts" +
           kCrLf + kSeparatorLine + kCrLf + u"PREVIOUS SETTING=" + Logged(previousSetting) + kCrLf +
           kSeparatorLine + kCrLf + u"NEW SETTING=" + Logged(newSetting) + kCrLf + kSeparatorLine;
}

LogOutcome WriteChangeLog(FileSystem& files, const Text& path, const Text& previousSetting,
                          const Text& newSetting, TextView secondLine) {
    LogOutcome outcome{false, path, {}};
    try {
        const Text text = ChangeLogText(previousSetting, newSetting, secondLine);
        // An earlier log of the same second keeps its content: this one goes
        // beside it under the next free number.
        for (int number = 1; number <= kMaxLogNameTries; ++number) {
            outcome.path = NumberedLogPath(path, number);
            if (CreateTextFile(files, outcome.path, text)) {
                outcome.written = true;
                return outcome;
            }
        }
        outcome.path = path;
        outcome.failure = u"The name and " + IntToText(kMaxLogNameTries - 1) +
                          u" numbered names beside it are all taken; move old logs away.";
    } catch (const std::exception& error) {
        outcome.failure = FromUtf8(error.what());
    }
    return outcome;
}

}  // namespace pw
