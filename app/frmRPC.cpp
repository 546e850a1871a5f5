#include "app/frmRPC.h"

#include <optional>

#include "core/ApplyValidPorts.h"
#include "core/ChangeLog.h"
#include "app/Guard.h"
#include "core/Messages.h"
#include "core/PortsComposition.h"
#include "core/ServerDiscovery.h"
#include "core/ValidPortsText.h"
#include "core/ValidPortsWrite.h"
#include "registry/RegOp.h"
#include "text/NumberText.h"

namespace pw {
namespace {

// The registry object speaks only when asked to (its options), which the window never does.
RegErrorBox ErrorBoxOn(Form& form) {
    return [&form](const Text& message, const Text& title, int style) {
        form.MsgBoxStyled(message, title, style);
    };
}

}  // namespace

frmRPC::frmRPC(const frmRPCServices& services) : services_(services) {}

// ---- Start-up ----

void frmRPC::Form_Load() {
    Form& form = services_.form;
    std::optional<RegOp> registry;
    ServerNames names;
    StoredValue stored;

    Guard([&] { state_.bLoaded = false; });
    Guard([&] { state_.strDriveRoot = DriveRoot(services_.environment); });
    Guard([&] { state_.strLogPath = BuildLogPath(services_.clock, state_.strDriveRoot); });
    Guard([&] { AnnounceLogPath(); });
    Guard([&] {
        registry.emplace(services_.registry, ErrorBoxOn(form));
        registry->Root(kLocalMachine32);
    });
    Guard([&] { names = ReadServerNames(registry.value()); });
    Guard([&] { startupNames_ = names; });
    Guard([&] { state_.strComputerName = names.hostName; });
    Guard([&] { state_.strDomain = names.domain; });
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
    Guard([&] { form.SetCaption(ControlId::lblValueDefault, DefaultValueCaption(state_.strDefaultValue)); });
    Guard([&] { stored = ReadValidPorts(registry.value()); });
    Guard([&] { state_.strPreviousSetting = stored.text; });

    // Start-up shows the names as the registry holds them: no cleaning, no
    // port checks, spaces kept.
    auto startupComposition = [&] {
        state_.strModifiedValue = StartupValidPortsText(state_.strComputerName, state_.strServerFQDN);
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

// ---- Live composition ----

void frmRPC::ComposeValidPorts() {
    Form& form = services_.form;
    PortsInput input;
    Guard([&] {
        input = {form.GetText(ControlId::txtComputerName), form.GetText(ControlId::txtInternalFQDN),
                 form.GetText(ControlId::txtExternalFQDN), form.GetText(ControlId::txtPort1),
                 form.GetText(ControlId::txtPort2),        form.GetText(ControlId::txtPort3)};
    });
    PortsComposition result;
    Guard([&] { result = ComposePorts(input); });
    // A refusal ends the procedure with state and boxes as they were.
    if (!result.composed) {
        if (!result.refusal.empty()) Guard([&] { form.MsgBox(result.refusal); });
        return;
    }
    const ComposedPorts& c = *result.composed;
    Guard([&] { state_.strExternalFQDN = c.externalFqdn; });
    Guard([&] { state_.strComputerName = c.hostName; });
    Guard([&] { state_.strDomain = c.domain; });
    Guard([&] { state_.lPort1 = c.port1; });
    Guard([&] { state_.lPort2 = c.port2; });
    Guard([&] { state_.lPort3 = c.port3; });
    Guard([&] { state_.strServerFQDN = c.serverFqdn; });
    Guard([&] { form.SetCaption(ControlId::lblComputernameFQDN, state_.strServerFQDN); });
    Guard([&] { state_.strModifiedValue = c.value; });
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

// The six text boxes share one rule: an edit recomposes the value, once the
// window has loaded (Form_Load's own assignments must not).
void frmRPC::RecomposeAfterEdit() {
    Guard([&] {
        if (state_.bLoaded) ComposeValidPorts();
    });
}
void frmRPC::txtComputerName_Change() { RecomposeAfterEdit(); }
void frmRPC::txtInternalFQDN_Change() { RecomposeAfterEdit(); }
void frmRPC::txtPort1_Change() { RecomposeAfterEdit(); }
void frmRPC::txtPort2_Change() { RecomposeAfterEdit(); }
void frmRPC::txtPort3_Change() { RecomposeAfterEdit(); }
void frmRPC::txtExternalFQDN_Change() { RecomposeAfterEdit(); }

// ---- Writing ----

void frmRPC::cmdSetReg_Click() {
    Guard([&] { ApplySequence(state_.strModifiedValue); });
}

void frmRPC::cmdDefault_Click() {
    Guard([&] { ApplySequence(state_.strDefaultValue); });
}

void frmRPC::cmdExit_Click() {
    Guard([&] { services_.form.Unload(); });
}

void frmRPC::ApplySequence(const Text& value) {
    Form& form = services_.form;
    ApplyRequest request;
    request.value = value;
    request.logPath = state_.strLogPath;
    request.previousSetting = state_.strPreviousSetting;
    request.keepPrevious = true;  // the window logs the value it read at start-up
    request.origin = NameOrigin(startupNames_);
    request.doneMessage = &WriteConfirmedMessage;
    ApplyOutcome outcome;
    Guard([&] { outcome = ApplyValidPorts(services_.registry, services_.files, request); });
    Guard([&] { form.SetText(ControlId::txtCurrentReg, outcome.change.readBack.text); });

    // What was not changed (refused, failed, or there already) has its message and no log.
    if (outcome.change.result != ValidPortsChange::Result::Made) {
        Guard([&] {
            form.MsgBox(outcome.message.empty() ? WriteFailedMessage(outcome.change) : outcome.message);
        });
        return;
    }
    Guard([&] { state_.strNewSetting = value; });
    Guard([&] { lastLog_ = outcome.log; });
    Guard([&] { form.MsgBox(outcome.message); });
    Guard([&] { state_.strLogPath = BuildLogPath(services_.clock, state_.strDriveRoot); });
    Guard([&] { AnnounceLogPath(); });
}

// An earlier log of the same second takes the name; announce the one the next
// write will really use.
void frmRPC::AnnounceLogPath() {
    services_.form.SetCaption(ControlId::lblSave,
                              LogAnnouncement(NextFreeLogPath(services_.files, state_.strLogPath)));
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
