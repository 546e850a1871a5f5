#include "ui/qt/PortwrightProgram.h"

#include "platform/posix/Prefix.h"

namespace pw::qt {

PortwrightProgram::PortwrightProgram(const std::string& prefix)
    : registry_(RegistryStorePath(prefix)),
      files_(prefix),
      logic_(frmRPCServices{form_, registry_, environment_, clock_, files_}) {
    form_.DeliverEvents([this](ControlId id) { logic_.Click(id); },
                        [this](ControlId id) { logic_.Change(id); });
}

void PortwrightProgram::Start() {
    logic_.Form_Load();
    form_.ShowCentred();
}

}  // namespace pw::qt
