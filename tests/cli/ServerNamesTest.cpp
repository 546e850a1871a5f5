// The names --computer gives files: logs and .reg files named after their server.
#include <gtest/gtest.h>

#include "core/ServerNames.h"

namespace pw::cli {
namespace {

TEST(ServerNames, LogsAndFilesCarryTheServersName) {
    const struct {
        const char16_t* path;
        const char16_t* server;
        const char16_t* log;
        const char16_t* file;
    } cases[] = {
        {u"C:\\RPC_12-07-26_14.10.53.LOG", u"exch3", u"C:\\RPC_exch3_12-07-26_14.10.53.LOG",
         u"C:\\RPC_12-07-26_14.10.53_exch3.LOG"},
        {u"C:\\backup\\rpc.reg", u"a:b/c", u"C:\\backup\\rpc.reg", u"C:\\backup\\rpc_a_b_c.reg"},
        {u"/tmp/v1.d/rpc", u"exch3", u"/tmp/v1.d/rpc", u"/tmp/v1.d/rpc_exch3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ServerLogPath(c.path, c.server), c.log) << ToUtf8(c.path);
        EXPECT_EQ(ServerFileName(c.path, c.server), c.file) << ToUtf8(c.path);
    }
}

}  // namespace
}  // namespace pw::cli
