#include "core/Rollout.h"

#include <algorithm>
#include <atomic>
#include <exception>

#include "core/ServerDiscovery.h"
#include "platform/Threads.h"
#include "registry/RemoteMachine.h"
#include "text/NumberText.h"

namespace pw {
namespace {

// What the rollout and the servers' threads share. A thread holds its share to
// its end, so one left behind never touches freed state.
struct Mailbox {
    Mutex mutex;
    Signal signal;
    std::vector<std::size_t> finished;  // indices, in the order they finished
};

struct ServerRun {
    std::size_t index = 0;
    Text server;
    ServerTask task;
    std::function<std::unique_ptr<RegistryApi>()> openRegistry;
    Reachability* reachability = nullptr;
    RolloutSettings settings;
    std::shared_ptr<Mailbox> mailbox;
    std::uint64_t started = 0;
    std::atomic<bool> abandoned{false};  // set under the mailbox's lock
    bool done = false;                   // under the mailbox's lock
    ServerOutcome outcome;               // the thread's, until done
};

ServerOutcome Work(ServerRun& run) {
    if (run.reachability != nullptr && !run.reachability->IsThisMachine(run.server)) {
        const std::uint32_t bound = std::min<std::uint64_t>(run.settings.probeMilliseconds,
                                                            run.settings.timeoutSeconds * 1000ull);
        ProbeResult probe = run.reachability->Probe(run.server, run.settings.probePort, bound);
        if (!probe.reachable) return {ServerOutcome::Status::NotReachable, std::move(probe.reason), 1};
    }
    const std::unique_ptr<RegistryApi> connection = run.openRegistry();
    RemoteMachine remote(*connection, &run.abandoned);
    if (const RegStatus status = remote.Connect(ToAnsi(run.server)); status != regerr::Success) {
        return {ServerOutcome::Status::Failed,
                u"its registry could not be reached (" +
                    DescribeRegFailure({status, remote.DescribeLastFailure()}) + u")",
                1};
    }
    if (run.abandoned.load()) return {};
    return run.task(remote);
}

void RunOnThread(const std::shared_ptr<ServerRun>& run) {
    ServerOutcome outcome;
    try {
        outcome = Work(*run);
    } catch (const std::exception& error) {
        outcome = {ServerOutcome::Status::Failed, FromUtf8(error.what()), 1};
    }
    Mailbox& mailbox = *run->mailbox;
    const Locked lock(mailbox.mutex);
    if (run->abandoned.load()) return;
    run->outcome = std::move(outcome);
    run->done = true;
    mailbox.finished.push_back(run->index);
    mailbox.signal.Set();
}

// The runs that ended since last asked, in the order they ended: finished
// ones first, then those past their time, which are abandoned.
std::vector<std::shared_ptr<ServerRun>> TakeEnded(std::vector<std::shared_ptr<ServerRun>>& running,
                                                  Mailbox& mailbox, std::uint64_t timeout) {
    std::vector<std::shared_ptr<ServerRun>> ended;
    const Locked lock(mailbox.mutex);
    const auto take = [&](const auto& which) {
        const auto at = std::find_if(running.begin(), running.end(), which);
        if (at == running.end()) return false;
        ended.push_back(*at);
        running.erase(at);
        return true;
    };
    for (std::size_t index : mailbox.finished) take([&](const auto& run) { return run->index == index; });
    mailbox.finished.clear();
    const std::uint64_t now = MonotonicMilliseconds();
    while (take([&](const auto& run) { return now - run->started >= timeout; })) {
        ended.back()->abandoned.store(true);
        ended.back()->outcome = {ServerOutcome::Status::TimedOut, {}, 1};
    }
    return ended;
}

}  // namespace

std::vector<ServerOutcome> RunRollout(const std::vector<Text>& servers, const RolloutSettings& settings,
                                      const RolloutParts& parts) {
    const auto mailbox = std::make_shared<Mailbox>();
    const std::uint64_t timeout = settings.timeoutSeconds * 1000ull;
    std::vector<ServerOutcome> outcomes(servers.size());
    std::vector<std::shared_ptr<ServerRun>> running;
    std::size_t next = 0, finished = 0;
    const auto report = [&](std::size_t index, ServerOutcome outcome) {
        outcomes[index] = std::move(outcome);
        ++finished;
        if (parts.finished) parts.finished(index, outcomes[index], finished);
    };
    while (finished < servers.size()) {
        while (running.size() < std::max<std::size_t>(settings.parallel, 1) && next < servers.size()) {
            auto run = std::make_shared<ServerRun>();
            run->index = next;
            run->server = servers[next++];
            run->task = parts.taskFor(run->index);
            run->openRegistry = parts.openRegistry;
            run->reachability = parts.reachability;
            run->settings = settings;
            run->mailbox = mailbox;
            run->started = MonotonicMilliseconds();
            if (StartDetachedThread([run] { RunOnThread(run); })) {
                running.push_back(std::move(run));
            } else {
                report(run->index, {ServerOutcome::Status::Failed, u"no thread could be started for it", 1});
            }
        }
        const auto ended = TakeEnded(running, *mailbox, timeout);
        for (const auto& run : ended) report(run->index, run->outcome);
        if (!ended.empty() || running.empty()) continue;
        // Until the next one ends, or the first one's time runs out.
        std::uint64_t firstEnd = running.front()->started + timeout;
        for (const auto& run : running) firstEnd = std::min(firstEnd, run->started + timeout);
        const std::uint64_t now = MonotonicMilliseconds();
        mailbox->signal.Wait(static_cast<std::uint32_t>(firstEnd > now ? firstEnd - now : 0));
    }
    return outcomes;
}

const char* StatusName(ServerOutcome::Status status) {
    switch (status) {
        case ServerOutcome::Status::Done: return "done";
        case ServerOutcome::Status::Written: return "written";
        case ServerOutcome::Status::Findings: return "findings";
        case ServerOutcome::Status::Failed: return "failed";
        case ServerOutcome::Status::NotReachable: return "not reachable";
        case ServerOutcome::Status::TimedOut: return "timed out";
    }
    return "unknown";
}

Text DescribeOutcome(const ServerOutcome& outcome, const RolloutSettings& settings) {
    const Text name = FromUtf8(StatusName(outcome.status));
    switch (outcome.status) {
        case ServerOutcome::Status::Written: return u"written, log " + outcome.detail;
        case ServerOutcome::Status::TimedOut:
            return name + u" after " + IntToText(settings.timeoutSeconds) + u" s";
        default: return outcome.detail.empty() ? name : name + u": " + outcome.detail;
    }
}

}  // namespace pw
