#pragma once
// The program's one window: its state, start-up, live composition of the
// ValidPorts value, the write and restore commands, and the change log.
// Toolkit-neutral: a front end realises the controls of the control table and
// delivers Load, Click and Change here.
#include <cstdint>

#include "platform/Clock.h"
#include "app/ControlId.h"
#include "platform/Environment.h"
#include "core/ChangeLog.h"
#include "app/Form.h"
#include "core/ServerDiscovery.h"
#include "registry/RegistryApi.h"
#include "platform/FileSystem.h"
#include "text/Text.h"

namespace pw {

// Window state shared by all handlers, in declaration order.
struct frmRPCState {
    Text strDriveRoot;
    Text strLogPath;
    Text strComputerName;
    Text strServerFQDN;
    Text strDomain;
    Text strExternalFQDN;
    std::int32_t lPort1 = 0;
    std::int32_t lPort2 = 0;
    std::int32_t lPort3 = 0;
    Text strPreviousSetting;
    Text strModifiedValue;
    bool bLoaded = false;
    Text strNewSetting;
    Text strDefaultValue;
};

// What the window is given by its surroundings.
struct frmRPCServices {
    Form& form;
    RegistryApi& registry;
    Environment& environment;
    Clock& clock;
    FileSystem& files;
};

class frmRPC {
public:
    explicit frmRPC(const frmRPCServices& services);

    // Event-bound operations.
    void cmdDefault_Click();
    void cmdExit_Click();
    void cmdResetPorts_Click();
    void cmdSetReg_Click();
    void Form_Load();
    void txtComputerName_Change();
    void txtInternalFQDN_Change();
    void txtPort1_Change();
    void txtPort2_Change();
    void txtPort3_Change();
    void txtExternalFQDN_Change();

    // Event delivery for front ends: runs the control's handler, if it has one.
    void Click(ControlId control);
    void Change(ControlId control);

    const frmRPCState& State() const { return state_; }

private:
    void ComposeValidPorts();
    void RecomposeAfterEdit();

    // The steps that cmdSetReg and cmdDefault share, for the value they write.
    void ApplySequence(const Text& value);
    void AnnounceLogPath();

    frmRPCServices services_;
    frmRPCState state_;
    // The names start-up read: a value holding a control character came from one of them.
    ServerNames startupNames_;
    // What the latest log write did: the file it wrote, or why it wrote none.
    LogOutcome lastLog_;
};

}  // namespace pw
