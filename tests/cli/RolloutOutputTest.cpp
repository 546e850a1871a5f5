// What --computer prints over servers that write, hang, cannot be reached or
// fail: a progress line as each finishes, reasons on stderr, the summary in
// the list's order; and the same as JSON Lines.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "core/ServerDiscovery.h"
#include "platform/Threads.h"
#include "tests/app/FakeServices.h"
#include "tests/support/SlowRemoteRegistry.h"

namespace pw::cli {
namespace {

using test::ServerBehaviour;

class NoFiles final : public FileSystem {
public:
    bool WriteWholeFile(const Text&, const std::string&, Mode) override { return false; }
    bool Exists(const Text&) const override { return false; }
    std::string NativePath(const Text& path) const override { return ToUtf8(path); }
    std::vector<FileEntry> ListFiles(const Text&, TextView, TextView) const override { return {}; }
    bool WriteNativeFile(const std::string&, const std::string&, Mode) override { return false; }
    std::string ReadNativeFile(const std::string&, std::size_t) const override { return {}; }
};

class RolloutOutput : public ::testing::Test {
protected:
    RolloutOutput() {
        remote.Plan("exch2", {ServerBehaviour::Kind::Hang, 0});
        remote.Plan("exch3", {ServerBehaviour::Kind::Fail, 0});
    }
    void TearDown() override {
        remote.ReleaseHangs();
        for (int wait = 0; ThreadsStillRunning() > 0 && wait < 1000; ++wait) SleepMilliseconds(10);
    }

    // exch1 is written, exch4's command fails and says why.
    int Run(bool json) {
        CommandContext context{services, console, json};
        const ServerAccess access{[this] { return remote.Open(); }, nullptr};
        const std::vector<Text> servers{u"exch1", u"exch2", u"exch3", u"exch4"};
        return ForEachServer(context, servers, u"set", access, RolloutSettings{4, 1, 445, 1000},
                             [](CommandContext& each) {
                                 if (each.server == u"exch4") {
                                     each.console.Err(u"The value could not be written.");
                                     return kFailed;
                                 }
                                 each.lastLog = u"C:\\RPC_" + each.server + u".LOG";
                                 each.console.Out(u"Registry entry and log created.");
                                 return kDone;
                             });
    }
    std::vector<Text> Lines(bool errors) const {
        std::vector<Text> lines;
        for (const auto& entry : console.entries) {
            if (entry.error == errors) lines.push_back(entry.text);
        }
        return lines;
    }

    test::RemoteServers remote;
    test::FakeClock clock{u"12/7/2026", u"2:10:53 PM"};
    test::FakeEnvironment environment;
    NoFiles files;
    test::SlowConnection local{remote};  // this machine's registry: the rollout does not use it
    Services services{local, environment, clock, files};
    Transcript console;
};

TEST_F(RolloutOutput, ProgressAsEachFinishesReasonsOnStderrAndTheSummaryInTheListsOrder) {
    const Text kUnreached = u"its registry could not be reached (" +
                            DescribeRegFailure({regerr::BadNetPath, {}}) + u")";
    EXPECT_EQ(Run(false), kFailed);
    const std::vector<Text> out = Lines(false);
    ASSERT_GE(out.size(), 5u);
    // The one left behind is the last to end; the others in any order.
    const std::vector<Text> summary(out.end() - 5, out.end());
    EXPECT_EQ(summary, (std::vector<Text>{
                           u"Summary of set on 4 servers (1 written, 2 failed, 1 timed out):",
                           u"  exch1: written, log C:\\RPC_exch1.LOG",
                           u"  exch2: timed out after 1 s",
                           u"  exch3: failed: " + kUnreached,
                           u"  exch4: failed: The value could not be written.",
                       }));
    EXPECT_EQ(out[out.size() - 6], u"4/4 exch2: timed out after 1 s");
    EXPECT_NE(std::find(out.begin(), out.end(), u"Registry entry and log created."), out.end());
    std::vector<Text> errors = Lines(true);
    std::sort(errors.begin(), errors.end());
    EXPECT_EQ(errors, (std::vector<Text>{
                          u"exch2: timed out after 1 s",
                          u"exch3: failed: " + kUnreached,
                          u"exch4: The value could not be written.",
                      }));
}

TEST_F(RolloutOutput, JsonLinesOneObjectPerServerAsItFinishesThenTheSummary) {
    EXPECT_EQ(Run(true), kFailed);
    std::vector<nlohmann::json> objects;
    for (const auto& entry : console.entries) {
        if (entry.error) continue;  // the failures' reasons, as in text
        ASSERT_TRUE(entry.bytes);
        ASSERT_EQ(entry.text.find(u'\n'), entry.text.size() - 1) << "one object a line";
        objects.push_back(nlohmann::json::parse(ToUtf8(entry.text)));
    }
    ASSERT_EQ(objects.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(objects[i]["finished"], i + 1);
    EXPECT_EQ(objects[3]["server"], "exch2");
    EXPECT_EQ(objects[3]["reason"], "timed out after 1 s");
    EXPECT_EQ(Lines(true).size(), 3u);
    const auto& summary = objects[4];
    EXPECT_EQ(summary["type"], "summary");
    EXPECT_EQ(summary["counts"]["timed out"], 1);
    const auto statuses = {"written", "timed out", "failed", "failed"};
    std::size_t i = 0;
    for (const char* status : statuses) EXPECT_EQ(summary["results"][i++]["status"], status);
    for (const auto& object : objects) {
        if (object["server"] == "exch1") {
            EXPECT_EQ(object["log"], "C:\\RPC_exch1.LOG");
        } else if (object["server"] == "exch4") {
            EXPECT_EQ(object["errors"][0], "The value could not be written.");
        }
    }
}

}  // namespace
}  // namespace pw::cli
