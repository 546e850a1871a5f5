// One durable value write into a store of 100,000 values (beside a bare
// SQLite update for comparison), and a full enumeration of keys of growing
// size after a change (which must grow linearly).
//
// The stores live under $TMPDIR (or /var/tmp, which is on disk where /tmp may
// be tmpfs and would make fsync free).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/posix/Prefix.h"
#include "registry/sqlite/KeyTable.h"
#include "registry/sqlite/SqliteRegistryApi.h"
#include "registry/sqlite/StoreConnection.h"
#include "registry/sqlite/StoreSchema.h"
#include "registry/sqlite/ValueTable.h"

namespace pw {
namespace {

constexpr const char* kKeyName = "Filled";

// A store in a temporary prefix holding one key below HKCU with n values.
class FilledStore {
public:
    explicit FilledStore(int values) {
        const char* tmp = std::getenv("TMPDIR");
        prefix_ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/var/tmp") + "/portwright-bench-XXXXXX";
        if (mkdtemp(prefix_.data()) == nullptr) throw std::runtime_error("mkdtemp failed: " + prefix_);
        // Filled in one transaction through the store's own tables: a commit per
        // value would take minutes and measure nothing of interest.
        sqlitestore::StoreConnection connection(Path());
        connection.EnsureOpen();
        sqlitestore::EnsureSchema(connection);
        connection.UseDurableJournal();
        sqlitestore::KeyTable keys(connection);
        sqlitestore::ValueTable table(connection);
        sqlitestore::WriteTransaction transaction(connection);
        std::int64_t key = keys.CreateChild(sqlitestore::kCurrentUserKey, kKeyName, "");
        for (int i = 0; i < values; ++i) {
            table.Set(key, "Value" + std::to_string(i), regtype::Sz,
                      "some text of ordinary length" + std::string(1, '\0'));
        }
        transaction.Commit();
        // Leaves a settled store, as after ordinary use, not one whose first
        // write must first copy the whole fill out of the log.
        connection.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    ~FilledStore() {
        std::error_code ignored;
        std::filesystem::remove_all(prefix_, ignored);
    }
    std::string Path() const { return RegistryStorePath(prefix_); }

private:
    std::string prefix_;
};

FilledStore& StoreOf(int values) {
    static std::map<int, std::unique_ptr<FilledStore>> stores;
    auto& store = stores[values];
    if (!store) store = std::make_unique<FilledStore>(values);
    return *store;
}

RegHandle OpenFilledKey(SqliteRegistryApi& api) {
    RegHandle key = 0;
    api.RegCreateKeyExA(RootHandle(kCurrentUser32), kKeyName, 0, nullptr, kRegOptionNonVolatile,
                        regaccess::AllAccess, nullptr, &key, nullptr);
    return key;
}

void BM_DurableValueWrite(benchmark::State& state) {
    SqliteRegistryApi api(StoreOf(100000).Path());
    RegHandle key = OpenFilledKey(api);
    std::string data = "host.example.com:6001-6002;host:6004";
    data.push_back('\0');
    std::int64_t i = 0;
    api.RegSetValueExA(key, "ValidPorts", 0, regtype::Sz, reinterpret_cast<const std::uint8_t*>(data.data()),
                       static_cast<Dword>(data.size()));
    for (auto _ : state) {
        std::string text = data + std::to_string(i++);
        RegStatus status = api.RegSetValueExA(key, "ValidPorts", 0, regtype::Sz,
                                              reinterpret_cast<const std::uint8_t*>(text.data()),
                                              static_cast<Dword>(text.size()));
        if (status != regerr::Success) state.SkipWithError(api.DescribeLastFailure().c_str());
    }
}
BENCHMARK(BM_DurableValueWrite)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The floor under the figure above: one committed UPDATE with synchronous FULL
// in WAL mode, straight through SQLite, in a table of 100,000 rows.
void BM_BareSqliteUpdate(benchmark::State& state) {
    FilledStore& store = StoreOf(100000);
    sqlite3* db = nullptr;
    sqlite3_open((store.Path() + ".bare").c_str(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
                 "CREATE TABLE IF NOT EXISTS t(k INTEGER PRIMARY KEY, v TEXT);"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)"
                 " INSERT OR IGNORE INTO t SELECT i, 'some text' FROM n;"
                 "PRAGMA wal_checkpoint(TRUNCATE);",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(db, "UPDATE t SET v = ?1 WHERE k = 5000", -1, &update, nullptr);
    std::int64_t i = 0;
    for (auto _ : state) {
        sqlite3_bind_int64(update, 1, i++);
        if (sqlite3_step(update) != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_reset(update);
    }
    sqlite3_finalize(update);
    sqlite3_close(db);
}
BENCHMARK(BM_BareSqliteUpdate)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Every value of a key by index, as the registry object's cache fill reads them.
void BM_EnumerateAllValues(benchmark::State& state) {
    int count = static_cast<int>(state.range(0));
    SqliteRegistryApi api(StoreOf(count).Path());
    RegHandle key = OpenFilledKey(api);
    char name[64];
    std::uint8_t data[256];
    for (auto _ : state) {
        // A write first, so that each round starts without a snapshot, as after a change.
        api.RegSetValueExA(key, "Value0", 0, regtype::Sz, reinterpret_cast<const std::uint8_t*>("x"), 2);
        for (Dword i = 0; i < static_cast<Dword>(count); ++i) {
            Dword nameLen = sizeof name;
            Dword dataLen = sizeof data;
            Dword type = 0;
            if (api.RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen) !=
                regerr::Success) {
                state.SkipWithError("enumeration failed");
                break;
            }
        }
    }
    state.SetComplexityN(count);
}
BENCHMARK(BM_EnumerateAllValues)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace pw

BENCHMARK_MAIN();
