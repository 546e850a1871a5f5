#include "ui/qt/PortwrightProgram.h"

#include "platform/posix/Prefix.h"
#include "platform/posix/ProcessEnvironment.h"

namespace pw::qt {

PortwrightProgram::PortwrightProgram(const std::string& prefix)
    : registry_(RegistryStorePath(prefix)),
      environment_(ProcessEnvironmentEntries()),
      files_(prefix),
      logic_(frmRPCServices{form_, registry_, environment_, clock_, files_}) {
    form_.Connect(logic_);
}

void PortwrightProgram::Start() {
    logic_.Form_Load();
    form_.ShowCentred();
}

}  // namespace pw::qt
