#pragma once
// The whole program over one prefix folder: the platform's services, the
// window and the logic that drives it.
#include <string>

#include "app/frmRPC.h"
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixEnvironment.h"
#include "platform/posix/PrefixFileSystem.h"
#include "registry/sqlite/SqliteRegistryApi.h"
#include "ui/qt/QtForm.h"

namespace pw::qt {

class PortwrightProgram {
public:
    // The registry store and the drives of the prefix folder.
    explicit PortwrightProgram(const std::string& prefix);

    // Runs the window's Load with the window still hidden, so that its
    // missing-value message comes first, then shows the window.
    void Start();

    QtForm& Window() { return form_; }
    frmRPC& Logic() { return logic_; }

private:
    SqliteRegistryApi registry_;
    PosixEnvironment environment_;
    PosixClock clock_;
    PrefixFileSystem files_;
    QtForm form_;
    frmRPC logic_;
};

}  // namespace pw::qt
