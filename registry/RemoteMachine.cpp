#include "registry/RemoteMachine.h"

namespace pw {

RemoteMachine::~RemoteMachine() {
    if (localMachine_ != 0) Inner().RegCloseKey(localMachine_);
}

RegStatus RemoteMachine::Connect(const std::string& machineName) {
    if (localMachine_ != 0) Inner().RegCloseKey(localMachine_);
    localMachine_ = 0;
    RegHandle connected = 0;
    const RegStatus status = Inner().RegConnectRegistryA(machineName.c_str(), RootHandle(kLocalMachine32),
                                                         &connected);
    if (status == regerr::Success) localMachine_ = connected;
    return status;
}

}  // namespace pw
