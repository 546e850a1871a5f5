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

RegStatus RemoteMachine::ReadKey(RegHandle root, const Text& sub, KeyContents& out, Text& failure) {
    if (Tree() == nullptr) return regerr::NotSupported;
    return Tree()->ReadKey(Handle(root), sub, out, failure);
}

ApplyOutcome RemoteMachine::Apply(const std::vector<TreeChange>& changes) {
    if (Tree() == nullptr)
        return {false, 0, u"this registry cannot be written as a key tree", u"Nothing was written"};
    std::vector<TreeChange> onServer = changes;
    for (TreeChange& change : onServer) change.root = Handle(change.root);
    return Tree()->Apply(onServer);
}

}  // namespace pw
