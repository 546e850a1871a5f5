#pragma once
// The window's 35 controls, in the order of its control list (creation order).
#include <cstddef>

namespace pw {

enum class ControlId {
    cmdSetReg,
    cmdResetPorts,
    txtPort3,
    txtPort2,
    txtPort1,
    cmdDefault,
    txtModified,
    txtCurrentReg,
    cmdExit,
    txtExternalFQDN,
    txtInternalFQDN,
    txtComputerName,
    Label9,
    lblSave,
    lblValueDefault,
    Line5,
    Line4,
    Label8,
    lblDSProxy,
    Label7,
    Label6,
    Line3,
    Label5,
    lblDoNotModify,
    Line2,
    Line1,
    lblComputernameFQDN,
    lblDefault,
    Label4,
    Label3,
    Label2,
    lblExternalFQDN,
    lblComputerFQDN,
    Label1,
    lblComputerName,
};

constexpr std::size_t kControlCount = 35;

}  // namespace pw
