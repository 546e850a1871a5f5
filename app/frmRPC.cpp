#include "app/frmRPC.h"

#include <array>
#include <optional>
#include <stdexcept>

#include "app/Guard.h"
#include "app/ValidPortsText.h"
#include "registry/RegOp.h"
#include "text/FileIOMOD.h"
#include "text/LineCleaner.h"
#include "text/NumberText.h"

namespace pw {
namespace {

constexpr char16_t kCrLf[] = u"\r\n";
constexpr char16_t kQuote = u'"';

constexpr char16_t kTcpipKey[] = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr char16_t kRpcProxyKey[] = u"SOFTWARE\\Microsoft\\Rpc\\RpcProxy";
constexpr char16_t kValidPorts[] = u"ValidPorts";
constexpr char16_t kValidPortsFullName[] =
    u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy\\ValidPorts";

constexpr std::int32_t kDefaultPort1 = 6001;
constexpr std::int32_t kDefaultPort2 = 6002;
constexpr std::int32_t kDefaultPort3 = 6004;
constexpr std::int32_t kHighestPort = 65535;

constexpr char16_t kNotANumber[] = u"Port values must be a number.";
constexpr char16_t kNotPositive[] = u"Port values must be positive.";
constexpr char16_t kAboveHighestPort[] = u"Port values must be 65535 or less.";
// ";" and ":" would split the value's entries or their ports.
constexpr char16_t kNameWithSeparator[] = u"Host names must not contain \";\" or \":\".";

constexpr char16_t kLogCaption[] = u"A log will be created automatically here: ";
constexpr char16_t kDefaultCaption[] = u"ValidPorts=";
constexpr char16_t kWriteConfirmed[] = u"Registry entry and log created.";
constexpr char16_t kLogFailed[] = u"Registry entry created, but the log could not be written.";
constexpr char16_t kSeparatorLine[] = u"----------------------";
constexpr char16_t kCreditLine[] = u"Written by Portwright 1.0, which composes the RPC proxy's ValidPorts value.";

// A log never replaces an earlier one; beyond this many taken names we give up.
constexpr int kMaxLogNameTries = 1000;

constexpr std::array<ControlId, 3> kPortBoxes{ControlId::txtPort1, ControlId::txtPort2,
                                              ControlId::txtPort3};
constexpr std::array<ControlId, 3> kNameBoxes{ControlId::txtComputerName,
                                              ControlId::txtInternalFQDN,
                                              ControlId::txtExternalFQDN};

// The registry object speaks only when asked to (its options), which the window never does.
RegErrorBox ErrorBoxOn(Form& form) {
    return [&form](const Text& message, const Text& title, int style) { form.MsgBoxStyled(message, title, style); };
}

Text Quoted(TextView text) { return kQuote + Text(text) + kQuote; }

Text MissingValueMessage() {
    return Quoted(kValidPortsFullName) + u" registry value does not exist or has no value." +
           kCrLf + u"Please verify that " + Quoted(u"RPC over HTTP") +
           u" is intstalled correctly through" + kCrLf +
           u"Control Panel\\Add/Remove Programs\\Windows Components\\Networking Services\\RPC over HTTP.";
}

Text WriteFailedMessage(const std::optional<Text>& readBack) {
    Text now;
    if (!readBack) {
        now = u"Its value could not be read back.";
    } else if (readBack->empty()) {
        now = u"It has no value now.";
    } else {
        now = u"It holds now: " + Quoted(*readBack);
    }
    return u"The registry value " + Quoted(kValidPortsFullName) + u" could not be written." +
           kCrLf + kCrLf + now + kCrLf + kCrLf +
           u"No log was created. Run Portwright as an administrator, and if an existing "
           u"ValidPorts value is not text, remove it; then try again.";
}

// Names go into the value lower-cased and without NUL, tab or space anywhere.
Text CleanName(const Text& boxText) {
    Text text = LowerCase(boxText);
    return RemoveAll(CleanLine(text), u' ');
}

std::int32_t PortOf(const Text& boxText) { return RoundToInt32(ParseNumber(boxText).value()).value(); }

// "C:\RPC_x.LOG" -> "C:\RPC_x_2.LOG"
Text NumberedLogPath(const Text& path, int number) {
    const Text suffix = u"_" + IntToText(number);
    constexpr TextView kExtension = u".LOG";
    if (path.size() >= kExtension.size() &&
        TextView(path).substr(path.size() - kExtension.size()) == kExtension) {
        return path.substr(0, path.size() - kExtension.size()) + suffix + Text(kExtension);
    }
    return path + suffix;
}

}  // namespace

frmRPC::frmRPC(const frmRPCServices& services) : services_(services) {}

// ---- Start-up ----

void frmRPC::Form_Load() {
    Form& form = services_.form;
    std::optional<RegOp> registry;

    Guard([&] { state_.bLoaded = false; });
    Guard([&] {
        state_.strDriveRoot =
            UpperCase(services_.environment.Variable(u"SYSTEMDRIVE").value_or(Text())) + u"\\";
    });
    Guard([&] { state_.strLogPath = BuildLogPath(); });
    Guard([&] { form.SetCaption(ControlId::lblSave, kLogCaption + Quoted(state_.strLogPath)); });
    Guard([&] {
        registry.emplace(services_.registry, ErrorBoxOn(form));
        registry->Root(kLocalMachine32);
    });
    Guard([&] { registry.value().Key(kTcpipKey); });
    Guard([&] { state_.strComputerName = LowerCase(ValueToText(registry.value().Value(u"HostName"))); });
    Guard([&] { state_.strDomain = LowerCase(ValueToText(registry.value().Value(u"Domain"))); });
    Guard([&] { state_.strServerFQDN = state_.strComputerName + u"." + state_.strDomain; });
    Guard([&] {
        state_.lPort1 = kDefaultPort1;
        state_.lPort2 = kDefaultPort2;
        state_.lPort3 = kDefaultPort3;
    });
    // These assignments raise Change; bLoaded keeps them from composing.
    Guard([&] { form.SetText(ControlId::txtComputerName, state_.strComputerName); });
    Guard([&] { form.SetText(ControlId::txtInternalFQDN, state_.strDomain); });
    Guard([&] { form.SetCaption(ControlId::lblComputernameFQDN, state_.strServerFQDN); });
    Guard([&] { form.SetText(ControlId::txtPort1, IntToText(state_.lPort1)); });
    Guard([&] { form.SetText(ControlId::txtPort2, IntToText(state_.lPort2)); });
    Guard([&] { form.SetText(ControlId::txtPort3, IntToText(state_.lPort3)); });
    Guard([&] { form.DoEvents(); });
    Guard([&] { state_.bLoaded = true; });
    Guard([&] { state_.strDefaultValue = DefaultValidPortsText(state_.strComputerName); });
    Guard([&] {
        form.SetCaption(ControlId::lblValueDefault, kDefaultCaption + Quoted(state_.strDefaultValue));
    });
    Guard([&] { registry.value().Key(kRpcProxyKey); });
    Guard([&] { state_.strPreviousSetting = ValueToText(registry.value().Value(kValidPorts)); });

    // Start-up shows the names as the registry holds them: no cleaning, no
    // port checks, spaces kept.
    auto startupComposition = [&] {
        state_.strModifiedValue = ComposeValidPortsText(
            {state_.strComputerName, state_.strServerFQDN, state_.strExternalFQDN, state_.lPort1,
             state_.lPort2, state_.lPort3});
    };
    if (!state_.strPreviousSetting.empty()) {
        Guard([&] { form.SetText(ControlId::txtCurrentReg, state_.strPreviousSetting); });
    } else {
        Guard([&] { form.MsgBox(MissingValueMessage()); });
    }
    Guard(startupComposition);
    Guard([&] { form.SetText(ControlId::txtModified, state_.strModifiedValue); });
    Guard([&] { registry.reset(); });
}

Text frmRPC::BuildLogPath() {
    Text stamp = services_.clock.ShortDateNow();
    stamp += u"_";
    stamp += services_.clock.LongTimeNow();
    stamp = ReplaceAll(stamp, u':', u'.');
    stamp = ReplaceAll(stamp, u'/', u'-');
    stamp = ReplaceAll(stamp, u'\\', u'-');
    stamp += u".LOG";
    stamp = RemoveAll(stamp, u' ');
    return state_.strDriveRoot + u"RPC_" + stamp;
}

// ---- Live composition ----

void frmRPC::ComposeValidPorts() {
    Form& form = services_.form;
    bool refused = false;
    // A refusal ends the procedure with state and boxes as they were.
    auto refuse = [&](const char16_t* message) {
        refused = true;
        form.MsgBox(message);
    };

    Guard([&] {
        for (ControlId box : kPortBoxes) {
            if (!ParseNumber(form.GetText(box))) return refuse(kNotANumber);
        }
    });
    if (refused) return;
    Guard([&] {
        for (ControlId box : kPortBoxes) {
            const double number = ParseNumber(form.GetText(box)).value();
            const auto port = RoundToInt32(number);
            if (port ? *port <= 0 : number < 0) return refuse(kNotPositive);
        }
    });
    if (refused) return;
    Guard([&] {
        for (ControlId box : kPortBoxes) {
            const auto port = RoundToInt32(ParseNumber(form.GetText(box)).value());
            if (!port || *port > kHighestPort) return refuse(kAboveHighestPort);
        }
    });
    if (refused) return;
    Guard([&] {
        for (ControlId box : kNameBoxes) {
            if (CleanName(form.GetText(box)).find_first_of(u";:") != Text::npos) {
                return refuse(kNameWithSeparator);
            }
        }
    });
    if (refused) return;

    Guard([&] { state_.strExternalFQDN = CleanName(form.GetText(ControlId::txtExternalFQDN)); });
    Guard([&] { state_.strComputerName = CleanName(form.GetText(ControlId::txtComputerName)); });
    Guard([&] { state_.strDomain = CleanName(form.GetText(ControlId::txtInternalFQDN)); });
    Guard([&] { state_.lPort1 = PortOf(form.GetText(ControlId::txtPort1)); });
    Guard([&] { state_.lPort2 = PortOf(form.GetText(ControlId::txtPort2)); });
    Guard([&] { state_.lPort3 = PortOf(form.GetText(ControlId::txtPort3)); });
    Guard([&] { state_.strServerFQDN = state_.strComputerName + u"." + state_.strDomain; });
    Guard([&] { form.SetCaption(ControlId::lblComputernameFQDN, state_.strServerFQDN); });
    Text composed;
    Guard([&] {
        composed = ComposeValidPortsText({state_.strComputerName, state_.strServerFQDN,
                                          state_.strExternalFQDN, state_.lPort1, state_.lPort2,
                                          state_.lPort3});
    });
    Guard([&] { state_.strModifiedValue = RemoveAll(composed, u' '); });
    Guard([&] { form.SetText(ControlId::txtModified, state_.strModifiedValue); });
}

void frmRPC::cmdResetPorts_Click() {
    Form& form = services_.form;
    // Each assignment that changes a box recomposes at once through its Change.
    Guard([&] { form.SetText(ControlId::txtPort1, IntToText(kDefaultPort1)); });
    Guard([&] { form.SetText(ControlId::txtPort2, IntToText(kDefaultPort2)); });
    Guard([&] { form.SetText(ControlId::txtPort3, IntToText(kDefaultPort3)); });
    Guard([&] { ComposeValidPorts(); });
}

void frmRPC::txtComputerName_Change() {
    Guard([&] { if (state_.bLoaded) ComposeValidPorts(); });
}
void frmRPC::txtInternalFQDN_Change() {
    Guard([&] { if (state_.bLoaded) ComposeValidPorts(); });
}
void frmRPC::txtPort1_Change() {
    Guard([&] { if (state_.bLoaded) ComposeValidPorts(); });
}
void frmRPC::txtPort2_Change() {
    Guard([&] { if (state_.bLoaded) ComposeValidPorts(); });
}
void frmRPC::txtPort3_Change() {
    Guard([&] { if (state_.bLoaded) ComposeValidPorts(); });
}
void frmRPC::txtExternalFQDN_Change() {
    Guard([&] { if (state_.bLoaded) ComposeValidPorts(); });
}

// ---- Writing ----

void frmRPC::cmdSetReg_Click() { Guard([&] { ApplySequence(state_.strModifiedValue); }); }

void frmRPC::cmdDefault_Click() { Guard([&] { ApplySequence(state_.strDefaultValue); }); }

void frmRPC::cmdExit_Click() { Guard([&] { services_.form.Unload(); }); }

void frmRPC::ApplySequence(const Text& value) {
    Form& form = services_.form;
    // A fresh object per write: the read-back goes to the registry, not a cache.
    std::optional<RegOp> registry;
    Guard([&] {
        registry.emplace(services_.registry, ErrorBoxOn(form));
    });
    Guard([&] { registry.value().Root(kLocalMachine32); });
    Guard([&] { registry.value().Key(kRpcProxyKey); });
    Guard([&] { registry.value().Value(kValidPorts, RegWriteValue(value)); });
    std::optional<Text> readBack;
    Guard([&] { readBack = ValueToText(registry.value().Value(kValidPorts)); });
    Guard([&] { form.SetText(ControlId::txtCurrentReg, readBack.value()); });
    Guard([&] { registry.reset(); });

    // The store refuses some writes without a word (an existing value of a type it
    // does not write over, a key it may not change); the change log records
    // writes only, so a refused write gets its own message and no log.
    if (readBack != value) {
        Guard([&] { form.MsgBox(WriteFailedMessage(readBack)); });
        return;
    }

    Guard([&] { state_.strNewSetting = value; });
    Guard([&] { WriteChangeLog(); });
    Guard([&] {
        if (lastLog_.written) {
            form.MsgBox(kWriteConfirmed + Text(kCrLf) + kCrLf + u"LOGPATH: " + lastLog_.path);
        } else {
            form.MsgBox(kLogFailed + Text(kCrLf) + kCrLf + u"LOGPATH: " + lastLog_.path + kCrLf +
                        kCrLf + lastLog_.failure);
        }
    });
    Guard([&] { state_.strLogPath = BuildLogPath(); });
    Guard([&] { AnnounceLogPath(); });
}

void frmRPC::AnnounceLogPath() {
    services_.form.SetCaption(ControlId::lblSave, kLogCaption + Quoted(state_.strLogPath));
}

void frmRPC::WriteChangeLog() {
    lastLog_ = LogOutcome{false, state_.strLogPath, {}};
    const Text text = Text(u"RPC Single Server Registry Modifications") + kCrLf + kCreditLine +
                      kCrLf + kSeparatorLine + kCrLf +
                      u"KEY=HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy" + kCrLf +
                      u"VALUENAME=ValidPorts" + kCrLf + kSeparatorLine + kCrLf +
                      u"PREVIOUS SETTING=" + state_.strPreviousSetting + kCrLf + kSeparatorLine +
                      kCrLf + u"NEW SETTING=" + state_.strNewSetting + kCrLf + kSeparatorLine;
    try {
        // An earlier log of the same second keeps its content: this one goes
        // beside it under the next free number.
        for (int number = 1; number <= kMaxLogNameTries; ++number) {
            lastLog_.path = number == 1 ? state_.strLogPath : NumberedLogPath(state_.strLogPath, number);
            if (CreateTextFile(services_.files, lastLog_.path, text)) {
                lastLog_.written = true;
                return;
            }
        }
        lastLog_.path = state_.strLogPath;
        lastLog_.failure = u"The name and " + IntToText(kMaxLogNameTries - 1) +
                           u" numbered names beside it are all taken; move old logs away.";
    } catch (const std::exception& error) {
        lastLog_.failure = FromUtf8(error.what());
    }
}

// ---- Event delivery ----

void frmRPC::Click(ControlId control) {
    switch (control) {
        case ControlId::cmdSetReg: cmdSetReg_Click(); break;
        case ControlId::cmdDefault: cmdDefault_Click(); break;
        case ControlId::cmdExit: cmdExit_Click(); break;
        case ControlId::cmdResetPorts: cmdResetPorts_Click(); break;
        default: break;
    }
}

void frmRPC::Change(ControlId control) {
    switch (control) {
        case ControlId::txtComputerName: txtComputerName_Change(); break;
        case ControlId::txtInternalFQDN: txtInternalFQDN_Change(); break;
        case ControlId::txtPort1: txtPort1_Change(); break;
        case ControlId::txtPort2: txtPort2_Change(); break;
        case ControlId::txtPort3: txtPort3_Change(); break;
        case ControlId::txtExternalFQDN: txtExternalFQDN_Change(); break;
        default: break;
    }
}

}  // namespace pw
