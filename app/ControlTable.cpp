#include "app/ControlTable.h"

namespace pw {
namespace {

constexpr FontSpec kWindowFont{"Arial", 9.75, 400, false};
constexpr FontSpec kArial12Bold{"Arial", 12, 700, false};
constexpr FontSpec kArial975Italic{"Arial", 9.75, 400, true};
constexpr FontSpec kArial975Bold{"Arial", 9.75, 700, false};
constexpr FontSpec kArial975BoldItalic{"Arial", 9.75, 700, true};
constexpr Rgb kNoColor{0, 0, 0};

}  // namespace

const FormSpec kFormSpec{u"Portwright Single Server Registry Entries", 8250, 10680, kWindowFont};

// One control a line, as the form's designer lists them.
// clang-format off
const std::array<ControlSpec, kControlCount> kControls{{
    {ControlId::cmdSetReg, "cmdSetReg", ControlKind::CommandButton, u"&Set Registry Entries Now", 4005, 8460, 3660, 420, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 27, 0, 0, 0, 0},
    {ControlId::cmdResetPorts, "cmdResetPorts", ControlKind::CommandButton, u"&Reset &Ports To Defaults", 585, 3240, 3120, 420, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 24, 0, 0, 0, 0},
    {ControlId::txtPort3, "txtPort3", ControlKind::TextBox, u"6004", 6930, 3330, 735, 360, kWindowFont, Alignment::Right, kNoColor, 5, kHasChange, 5, 0, 0, 0, 0},
    {ControlId::txtPort2, "txtPort2", ControlKind::TextBox, u"6002", 6930, 2880, 735, 360, kWindowFont, Alignment::Right, kNoColor, 5, kHasChange, 4, 0, 0, 0, 0},
    {ControlId::txtPort1, "txtPort1", ControlKind::TextBox, u"6001", 6930, 2430, 735, 360, kWindowFont, Alignment::Right, kNoColor, 5, kHasChange, 3, 0, 0, 0, 0},
    {ControlId::cmdDefault, "cmdDefault", ControlKind::CommandButton, u"Set Back To &Default", 585, 9495, 2940, 420, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 16, 0, 0, 0, 0},
    {ControlId::txtModified, "txtModified", ControlKind::TextBox, u"", 585, 7110, 7080, 1035, kWindowFont, Alignment::Left, kNoColor, 0, kMultiLine | kReadOnly, 14, 0, 0, 0, 0},
    {ControlId::txtCurrentReg, "txtCurrentReg", ControlKind::TextBox, u"", 585, 5670, 7080, 1035, kWindowFont, Alignment::Left, kNoColor, 0, kMultiLine | kReadOnly, 12, 0, 0, 0, 0},
    {ControlId::cmdExit, "cmdExit", ControlKind::CommandButton, u"E&xit", 6525, 10125, 1635, 420, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 6, 0, 0, 0, 0},
    {ControlId::txtExternalFQDN, "txtExternalFQDN", ControlKind::TextBox, u"", 585, 4770, 7080, 360, kWindowFont, Alignment::Left, kNoColor, 0, kHasChange, 0, 0, 0, 0, 0},
    {ControlId::txtInternalFQDN, "txtInternalFQDN", ControlKind::TextBox, u"", 630, 1395, 7080, 360, kWindowFont, Alignment::Left, kNoColor, 0, kHasChange, 2, 0, 0, 0, 0},
    {ControlId::txtComputerName, "txtComputerName", ControlKind::TextBox, u"", 630, 675, 7080, 360, kWindowFont, Alignment::Left, kNoColor, 0, kHasChange, 1, 0, 0, 0, 0},
    {ControlId::Label9, "Label9", ControlKind::Label, u"Portwright 1.0 - composed with care by the Portwright developers", 45, 10215, 6225, 330, kWindowFont, Alignment::Left, kNoColor, 0, kNone, 29, 0, 0, 0, 0},
    {ControlId::lblSave, "lblSave", ControlKind::Label, u"", 90, 8145, 8025, 330, kArial975Italic, Alignment::Center, kNoColor, 0, kNone, 28, 0, 0, 0, 0},
    {ControlId::lblValueDefault, "lblValueDefault", ControlKind::Label, u"", 3645, 9540, 4020, 330, kArial975BoldItalic, Alignment::Left, kNoColor, 0, kNone, 26, 0, 0, 0, 0},
    {ControlId::Line5, "Line5", ControlKind::Line, nullptr, 0, 0, 0, 0, kWindowFont, Alignment::Left, kNoColor, 0, kNone, -1, 585, 9990, 7650, 9990},
    {ControlId::Line4, "Line4", ControlKind::Line, nullptr, 0, 0, 0, 0, kWindowFont, Alignment::Left, kNoColor, 0, kNone, -1, 585, 9000, 7650, 9000},
    {ControlId::Label8, "Label8", ControlKind::Label, u"Current Registry Value:", 585, 5355, 7080, 330, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 25, 0, 0, 0, 0},
    {ControlId::lblDSProxy, "lblDSProxy", ControlKind::Label, u"DSProxy (Default=6004)", 495, 3375, 6315, 330, kArial12Bold, Alignment::Right, kNoColor, 0, kNone, 23, 0, 0, 0, 0},
    {ControlId::Label7, "Label7", ControlKind::Label, u"DSReferral (Default=6002)", 495, 2925, 6315, 330, kArial12Bold, Alignment::Right, kNoColor, 0, kNone, 22, 0, 0, 0, 0},
    {ControlId::Label6, "Label6", ControlKind::Label, u"Ports:                                                     Store (Default=6001)", 495, 2475, 6315, 330, kArial12Bold, Alignment::Right, kNoColor, 0, kNone, 21, 0, 0, 0, 0},
    {ControlId::Line3, "Line3", ControlKind::Line, nullptr, 0, 0, 0, 0, kWindowFont, Alignment::Left, kNoColor, 0, kNone, -1, 585, 5265, 7650, 5265},
    {ControlId::Label5, "Label5", ControlKind::Label, u"You May Want To Enter Your Valid External Domain Name (FQDN)", 585, 3825, 7080, 375, kWindowFont, Alignment::Center, Rgb{0, 0, 192}, 0, kHasColor, 20, 0, 0, 0, 0},
    {ControlId::lblDoNotModify, "lblDoNotModify", ControlKind::Label, u"You Should NOT Need To Modify This Secttion:", 630, 135, 7035, 375, kWindowFont, Alignment::Center, Rgb{128, 0, 0}, 0, kHasColor, 19, 0, 0, 0, 0},
    {ControlId::Line2, "Line2", ControlKind::Line, nullptr, 0, 0, 0, 0, kWindowFont, Alignment::Left, kNoColor, 0, kNone, -1, 630, 90, 7695, 90},
    {ControlId::Line1, "Line1", ControlKind::Line, nullptr, 0, 0, 0, 0, kWindowFont, Alignment::Left, kNoColor, 0, kNone, -1, 585, 3780, 7650, 3780},
    {ControlId::lblComputernameFQDN, "lblComputernameFQDN", ControlKind::Label, u"", 630, 2115, 6990, 330, kArial975BoldItalic, Alignment::Left, kNoColor, 0, kNone, 18, 0, 0, 0, 0},
    {ControlId::lblDefault, "lblDefault", ControlKind::Label, u"Click to set registry back to default Exchange front-end back-end topology.", 585, 9090, 7395, 330, kArial975Bold, Alignment::Left, kNoColor, 0, kNone, 17, 0, 0, 0, 0},
    {ControlId::Label4, "Label4", ControlKind::Label, u"Modified Registry Value Will Be:", 585, 6795, 7080, 330, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 15, 0, 0, 0, 0},
    {ControlId::Label3, "Label3", ControlKind::Label, u"Current Registry Value:", 585, 4725, 3165, 330, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 13, 0, 0, 0, 0},
    {ControlId::Label2, "Label2", ControlKind::Label, u"Optional && Recommended:", 585, 4140, 3930, 330, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 11, 0, 0, 0, 0},
    {ControlId::lblExternalFQDN, "lblExternalFQDN", ControlKind::Label, u"External or Internet FQDN (Fully Qualified Domain Name):", 585, 4455, 7530, 330, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 10, 0, 0, 0, 0},
    {ControlId::lblComputerFQDN, "lblComputerFQDN", ControlKind::Label, u"Exchange Server FQDN (Fully Qualified Domain Name):", 630, 1800, 7530, 330, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 9, 0, 0, 0, 0},
    {ControlId::Label1, "Label1", ControlKind::Label, u"Internal Domain FQDN (Fully Qualified Domain Name)  Name:", 630, 1080, 7530, 330, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 8, 0, 0, 0, 0},
    {ControlId::lblComputerName, "lblComputerName", ControlKind::Label, u"Exchange Server NetBIOS Name:", 630, 360, 6945, 330, kArial12Bold, Alignment::Left, kNoColor, 0, kNone, 7, 0, 0, 0, 0},
}};
// clang-format on

const ControlSpec& Control(ControlId id) { return kControls[static_cast<std::size_t>(id)]; }

}  // namespace pw
