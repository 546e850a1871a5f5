#pragma once
// One command over many servers: each on a thread of its own with a
// connection of its own, at most `parallel` at a time, each bounded in time.
// A remote registry call cannot be cancelled, so a server past its time is
// reported as timed out and left behind: the rollout ends on time, and the
// program then ends without waiting for such threads (ExitNow).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Reachability.h"
#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw {

struct RolloutSettings {
    std::size_t parallel = 16;
    std::uint32_t timeoutSeconds = 30;       // each server's whole run
    std::uint16_t probePort = 445;           // SMB, which carries the remote registry
    std::uint32_t probeMilliseconds = 5000;  // the probe's own bound
};

struct ServerOutcome {
    enum class Status { Done, Written, Findings, Failed, NotReachable, TimedOut };
    Status status = Status::Failed;
    Text detail;       // Written: the log; Failed, NotReachable: why
    int exitCode = 1;  // the command's, where it ran to its end
    bool Succeeded() const { return status == Status::Done || status == Status::Written; }
};

// As progress and summary lines give it: "written, log C:\...", "findings",
// "not reachable: ...", "timed out after 30 s".
Text DescribeOutcome(const ServerOutcome& outcome, const RolloutSettings& settings);
// "done", "written", "findings", "failed", "not reachable", "timed out".
const char* StatusName(ServerOutcome::Status status);

// The command on one server, over its HKEY_LOCAL_MACHINE, on its own thread.
using ServerTask = std::function<ServerOutcome(RegistryApi& server)>;

// What the rollout runs over. Whatever a thread may use (the registry that
// openRegistry opens over, the probe, what a task holds) must outlive a thread
// left behind: the program's own objects until ExitNow, or shared ones.
struct RolloutParts {
    std::function<std::unique_ptr<RegistryApi>()> openRegistry;  // one for each server, never shared
    Reachability* reachability = nullptr;                        // null: no probe
    std::function<ServerTask(std::size_t index)> taskFor;        // made on the caller's thread
    // On the caller's thread, as each server finishes or times out: its index
    // in the list, its outcome and how many have finished so far.
    std::function<void(std::size_t index, const ServerOutcome& outcome, std::size_t finished)> finished;
};

// The outcomes in the order of servers.
std::vector<ServerOutcome> RunRollout(const std::vector<Text>& servers, const RolloutSettings& settings,
                                      const RolloutParts& parts);

}  // namespace pw
