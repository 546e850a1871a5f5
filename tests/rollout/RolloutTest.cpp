// The rollout over servers that answer late, hang or fail (the test double of
// tests/support/SlowRemoteRegistry.h): it ends on time, reports each server
// once, in its place in the list, and a server left behind writes nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/Rollout.h"
#include "platform/Threads.h"
#include "tests/support/SlowRemoteRegistry.h"

namespace pw::test {
namespace {

using Status = ServerOutcome::Status;

class Rollout : public ::testing::Test {
protected:
    // The threads left behind end before the double they use goes.
    void TearDown() override {
        remote.ReleaseHangs();
        for (int wait = 0; ThreadsStillRunning() > 0 && wait < 1000; ++wait) SleepMilliseconds(10);
        EXPECT_EQ(ThreadsStillRunning(), 0u);
    }

    // Writes the value once and names its log after the server.
    RolloutParts Parts(const std::vector<Text>& servers) {
        RolloutParts parts;
        parts.openRegistry = [this] { return remote.Open(); };
        parts.taskFor = [&servers](std::size_t index) {
            return [server = servers[index]](RegistryApi& registry) {
                const RegStatus status = registry.RegSetValueExA(RootHandle(kLocalMachine32), "ValidPorts", 0,
                                                                 regtype::Sz, nullptr, 0);
                return status == regerr::Success
                           ? ServerOutcome{Status::Written, u"C:\\RPC_" + server + u".LOG", 0}
                           : ServerOutcome{Status::Failed, u"not written", 1};
            };
        };
        parts.finished = [this](std::size_t index, const ServerOutcome&, std::size_t finished) {
            reported.push_back(index);
            EXPECT_EQ(finished, reported.size());
        };
        return parts;
    }

    RemoteServers remote;
    std::vector<std::size_t> reported;  // indices, as they finished
};

TEST_F(Rollout, TwoHundredServersWithAShareHangingEndOnTimeEachReportedOnceInTheirPlace) {
    constexpr std::uint32_t kServerMs = 20;
    const RolloutSettings settings{16, 2, 445, 1000};
    std::vector<Text> servers;
    for (int i = 1; i <= 200; ++i) {
        const std::string name = "exch" + std::to_string(i);
        servers.push_back(FromUtf8(name));
        const auto kind = i % 20 == 7   ? ServerBehaviour::Kind::Hang
                          : i % 25 == 3 ? ServerBehaviour::Kind::Fail
                                        : ServerBehaviour::Kind::Answer;
        remote.Plan(name, {kind, kServerMs});
    }
    const std::uint64_t start = MonotonicMilliseconds();
    const std::vector<ServerOutcome> outcomes = RunRollout(servers, settings, Parts(servers));
    const std::uint64_t took = MonotonicMilliseconds() - start;

    // (200 / N) x one server + the timeout, twice over for a loaded machine
    // (under Wine each thread's start goes through the wine server); one server
    // after another would take more than 20 s.
    const std::uint64_t bound = 200 / settings.parallel * kServerMs + settings.timeoutSeconds * 1000;
    EXPECT_GE(took, settings.timeoutSeconds * 1000u) << "a hanging server was given up early";
    EXPECT_LE(took, bound * 2);
    std::vector<std::size_t> sorted = reported;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i) ASSERT_EQ(sorted[i], i) << "lost or reported twice";
    ASSERT_EQ(outcomes.size(), 200u);

    remote.ReleaseHangs();
    for (int wait = 0; ThreadsStillRunning() > 0 && wait < 1000; ++wait) SleepMilliseconds(10);
    for (int i = 1; i <= 200; ++i) {
        const ServerOutcome& outcome = outcomes[i - 1];
        const std::string name = "exch" + std::to_string(i);
        if (i % 20 == 7) {
            EXPECT_EQ(outcome.status, Status::TimedOut) << name;
            EXPECT_EQ(DescribeOutcome(outcome, settings), u"timed out after 2 s");
            EXPECT_EQ(remote.WritesTo(name), 0) << name << " was written after it was left behind";
        } else if (i % 25 == 3) {
            EXPECT_EQ(outcome.status, Status::Failed) << name;
            EXPECT_NE(outcome.detail.find(u"could not be reached"), Text::npos) << ToUtf8(outcome.detail);
        } else {
            EXPECT_EQ(DescribeOutcome(outcome, settings),
                      u"written, log C:\\RPC_" + FromUtf8(name) + u".LOG");
            EXPECT_EQ(remote.WritesTo(name), 1) << name;
        }
    }
}

// Says which names are dead and which is this machine; remembers what it probed.
class FakeReachability final : public Reachability {
public:
    ProbeResult Probe(const Text& host, std::uint16_t port, std::uint32_t milliseconds) override {
        probed.push_back(ToUtf8(host) + ":" + std::to_string(port) + "/" + std::to_string(milliseconds));
        if (host.rfind(u"dead", 0) == 0) return {false, u"TCP port 445 did not answer within 1000 ms"};
        return {true, {}};
    }
    bool IsThisMachine(const Text& host) const override { return host == u"self"; }

    std::vector<std::string> probed;
};

TEST_F(Rollout, OneAtATimeGoesInTheListsOrderAndTheProbeTurnsADeadHostAway) {
    FakeReachability reachability;
    const std::vector<Text> servers{u"exch1", u"dead1", u"self", u"gone", u"exch2"};
    remote.Plan("gone", {ServerBehaviour::Kind::Fail, 0});
    RolloutParts parts = Parts(servers);
    parts.reachability = &reachability;
    const RolloutSettings settings{1, 3, 445, 5000};
    const std::vector<ServerOutcome> outcomes = RunRollout(servers, settings, parts);

    EXPECT_EQ(reported, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    // Bounded by the server's whole time when that is shorter; never probing this machine.
    EXPECT_EQ(reachability.probed, (std::vector<std::string>{"exch1:445/3000", "dead1:445/3000",
                                                             "gone:445/3000", "exch2:445/3000"}));
    const Status expected[] = {Status::Written, Status::NotReachable, Status::Written, Status::Failed,
                               Status::Written};
    for (std::size_t i = 0; i < servers.size(); ++i) EXPECT_EQ(outcomes[i].status, expected[i]) << i;
    EXPECT_EQ(DescribeOutcome(outcomes[1], settings),
              u"not reachable: TCP port 445 did not answer within 1000 ms");
}

// The program's end with a server left behind inside a call: at once, with its
// exit code and its output flushed, not waiting for the thread.
TEST(RolloutDeathTest, TheProgramEndsAtOnceWithAThreadLeftBehind) {
    EXPECT_EXIT(
        {
            std::setvbuf(stderr, nullptr, _IOFBF, 4096);
            StartDetachedThread([] {
                for (;;) SleepMilliseconds(1000);
            });
            std::fputs("summary printed", stderr);
            ExitNow(3);
        },
        ::testing::ExitedWithCode(3), "summary printed");
}

}  // namespace
}  // namespace pw::test
