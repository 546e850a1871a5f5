// portwright-cli as a script runs it: the real program over a temporary prefix
// folder, its store seeded and read back here, its output and exit codes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "core/ChangeLog.h"
#include "platform/posix/Prefix.h"
#include "registry/sqlite/SqliteRegistryApi.h"
#include "tests/support/TempFolder.h"

namespace pw::test {
namespace {

namespace fs = std::filesystem;

const std::string kFour = "exch1:6001-6002;exch1.corp.example:6001-6002;exch1:6004;exch1.corp.example:6004";
const std::string kRpcProxy = "SOFTWARE\\Microsoft\\Rpc\\RpcProxy";

struct Outcome {
    int exit;
    std::string out, err;
};

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class CliProgram : public ::testing::Test {
protected:
    void SetUp() override {
        SetValue("SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters", "HostName", regtype::Sz,
                 Sz("EXCH1"));
        SetValue("SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters", "Domain", regtype::Sz,
                 Sz("corp.example"));
    }

    static std::string Sz(const std::string& text) { return text + '\0'; }

    // A fresh store object for each call: the program changes the store in between.
    void SetValue(const std::string& key, const std::string& name, Dword type, const std::string& data) {
        SqliteRegistryApi api(RegistryStorePath(prefix.Path().string()));
        RegHandle handle = 0;
        ASSERT_EQ(api.RegCreateKeyExA(RootHandle(kLocalMachine32), key.c_str(), 0, nullptr, 0,
                                      regaccess::AllAccess, nullptr, &handle, nullptr),
                  regerr::Success);
        ASSERT_EQ(api.RegSetValueExA(handle, name.c_str(), 0, type,
                                     reinterpret_cast<const std::uint8_t*>(data.data()),
                                     static_cast<Dword>(data.size())),
                  regerr::Success);
        api.RegCloseKey(handle);
    }
    void SetValidPorts(const std::string& value) {
        SetValue(kRpcProxy, "ValidPorts", regtype::Sz, Sz(value));
    }

    // ValidPorts as stored, or "(missing)".
    std::string Stored() {
        SqliteRegistryApi api(RegistryStorePath(prefix.Path().string()));
        RegHandle handle = 0;
        if (api.RegCreateKeyExA(RootHandle(kLocalMachine32), kRpcProxy.c_str(), 0, nullptr, 0,
                                regaccess::Read, nullptr, &handle, nullptr) != regerr::Success) {
            return "(no key)";
        }
        char data[1024] = {};
        Dword size = sizeof data - 1;
        const RegStatus status = api.RegQueryValueExA(handle, "ValidPorts", nullptr, nullptr,
                                                      reinterpret_cast<std::uint8_t*>(data), &size);
        api.RegCloseKey(handle);
        return status == regerr::Success ? std::string(data) : "(missing)";
    }

    std::vector<fs::path> Logs() {
        std::vector<fs::path> logs;
        if (fs::is_directory(prefix.Path() / "drive_c")) {
            for (const auto& entry : fs::directory_iterator(prefix.Path() / "drive_c"))
                logs.push_back(entry.path());
        }
        std::sort(logs.begin(), logs.end());
        return logs;
    }

    Outcome Cli(const std::string& args) {
        const fs::path errFile = prefix.Path() / "stderr.txt";
        const std::string command = "PORTWRIGHT_PREFIX=" + Quote(prefix.Path().string()) + " LC_ALL=C " +
                                    PW_CLI_PROGRAM + " " + args + " 2>" + Quote(errFile.string());
        Outcome run{-1, {}, {}};
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return run;
        char buffer[4096];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
        const int status = pclose(pipe);
        run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = ReadFile(errFile);
        return run;
    }

    // The log path a write printed, as a file here.
    static fs::path LogFile(const Outcome& run) {
        const size_t at = run.out.find("FILE: ");
        return at == std::string::npos ? fs::path()
                                       : fs::path(run.out.substr(at + 6, run.out.find('\n', at) - at - 6));
    }

    TempFolder prefix;
};

TEST_F(CliProgram, ShowReportsTheWindowsStartUpAndTheCheck) {
    Outcome run = Cli("show");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_NE(
        run.out.find(
            "NetBIOS name:    exch1\nInternal domain: corp.example\nFQDN:            exch1.corp.example\n"
            "Stored value:    (none: ValidPorts does not exist or is empty)\n"
            "Start-up value:  " +
            kFour + "\nDefault value:   exch1:100-5000\n"),
        std::string::npos)
        << run.out;

    SetValidPorts("EXCH1:100-5000");
    run = Cli("show --json");
    EXPECT_EQ(run.exit, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["stored"]["state"], "present");
    EXPECT_EQ(json["stored"]["value"], "EXCH1:100-5000");
    EXPECT_EQ(json["findings"][0]["kind"], "wide-range");
    EXPECT_EQ(json["servicePorts"][2]["port"], 6004);
}

TEST_F(CliProgram, ComposeAndItsRefusals) {
    struct Case {
        std::string args;
        int exit;
        std::string out, err;
    };
    const Case cases[] = {
        {"compose", 0, kFour + "\n", ""},
        {"compose --external ' Mail.Example.COM' --ports 06001,6002,6E3", 0,
         "exch1:6001-6002;exch1.corp.example:6001-6002;mail.example.com:6001-6002;exch1:6000;exch1.corp."
         "example:6000;mail.example.com:6000\n",
         ""},
        {"compose --ports 6001,abc,6004", 2, "", "Port values must be a number.\n"},
        {"compose --ports 0,6002,6004", 2, "", "Port values must be positive.\n"},
        {"compose --ports 70000,6002,6004", 2, "", "Port values must be 65535 or less.\n"},
        {"compose --host 'ex;ch1'", 2, "", "Host names must not contain \";\" or \":\".\n"},
        {"compose --external 'mail\n.example.com'", 2, "",
         "Host names must not contain line breaks or other control characters.\n"},
        {"compose --host 'ex\u0142ch1'", 2, "",
         "Host names must contain only characters of the system's ANSI code page.\n"},
    };
    for (const Case& c : cases) {
        const Outcome run = Cli(c.args);
        EXPECT_EQ(run.exit, c.exit) << c.args;
        EXPECT_EQ(run.out, c.out) << c.args;
        EXPECT_EQ(run.err, c.err) << c.args;
    }
    // Usage: exit 2 with CLI11's reason; help and version: 0.
    for (const char* usage :
         {"", "frobnicate", "compose --ports 1,2", "compose --port 1", "restore", "export - --json"}) {
        const Outcome run = Cli(usage);
        EXPECT_EQ(run.exit, 2) << usage;
        EXPECT_FALSE(run.err.empty()) << usage;
    }
    EXPECT_NE(Cli("set --help").out.find("2  bad input or usage"), std::string::npos);
    EXPECT_EQ(Cli("--version").out, "portwright-cli 1.0.0.0\n");
    EXPECT_EQ(Stored(), "(missing)");
}

TEST_F(CliProgram, SetDryRunWritesNothingAndSetWritesWithALog) {
    SetValidPorts("EXCH1:100-5000");
    Outcome run = Cli("set --dry-run --json");
    EXPECT_EQ(run.exit, 0) << run.err;
    const auto plan = nlohmann::json::parse(run.out);
    EXPECT_EQ(plan["newValue"], kFour);
    EXPECT_EQ(plan["removed"], nlohmann::json::array({"EXCH1:100-5000"}));
    EXPECT_EQ(plan["added"].size(), 4u);
    EXPECT_EQ(Stored(), "EXCH1:100-5000");
    EXPECT_TRUE(Logs().empty());

    run = Cli("set");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Registry entry and log created.\n\nLOGPATH: C:\\RPC_", 0), 0u) << run.out;
    EXPECT_EQ(Stored(), kFour);
    const std::string log = ReadFile(LogFile(run));
    EXPECT_NE(log.find("\r\nPREVIOUS SETTING=EXCH1:100-5000\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("\r\nNEW SETTING=" + kFour + "\r\n"), std::string::npos) << log;

    // The same value again, within the second or not: a log of its own.
    EXPECT_EQ(Cli("set").exit, 0);
    EXPECT_EQ(Logs().size(), 2u);

    EXPECT_EQ(Cli("default").exit, 0);
    EXPECT_EQ(Stored(), "exch1:100-5000");
}

TEST_F(CliProgram, RestoreUndoesAndRefusesWhatItShouldNot) {
    const Outcome first = Cli("set");  // from no value at all
    const Outcome second = Cli("set --external mail.example.com");
    ASSERT_EQ(first.exit + second.exit, 0) << first.err << second.err;

    Outcome run = Cli("restore " + Quote(LogFile(second).string()));
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(Stored(), kFour);
    run = Cli("restore " + Quote(LogFile(second).string()));
    EXPECT_EQ(run.exit, 1);
    EXPECT_NE(run.err.find("it holds now \"" + kFour + "\""), std::string::npos) << run.err;
    EXPECT_EQ(Stored(), kFour);

    // Undoing the first write deletes the value; --dry-run first changes nothing.
    const std::string windowsPath = first.out.substr(first.out.find("C:\\"),
                                                     first.out.find(".LOG") + 4 - first.out.find("C:\\"));
    EXPECT_EQ(Cli("restore --dry-run " + Quote(windowsPath)).exit, 0);
    EXPECT_EQ(Stored(), kFour);
    run = Cli("restore " + Quote(windowsPath));
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(Stored(), "(missing)");
    const std::string deletion = ReadFile(LogFile(run));
    EXPECT_NE(deletion.find(
                  "\r\nValidPorts deleted by portwright-cli: it did not exist before the write that C:\\"),
              std::string::npos)
        << deletion;
    EXPECT_NE(
        deletion.find("\r\nPREVIOUS SETTING=" + kFour + "\r\n----------------------\r\nNEW SETTING=\r\n"),
        std::string::npos)
        << deletion;
    // That log undoes in turn: the value comes back.
    EXPECT_EQ(Cli("restore " + Quote(LogFile(run).string())).exit, 0);
    EXPECT_EQ(Stored(), kFour);

    std::ofstream(prefix.Path() / "notes.txt") << "RPC Single Server Registry Modifications\r\n";
    for (const std::string& bad :
         {(prefix.Path() / "notes.txt").string(), (prefix.Path() / "absent.LOG").string()}) {
        run = Cli("restore " + Quote(bad));
        EXPECT_EQ(run.exit, 2) << bad;
        EXPECT_NE(run.err.find(bad), std::string::npos) << run.err;
    }
    EXPECT_NE(run.err.find("No such file"), std::string::npos) << run.err;
}

TEST_F(CliProgram, LogsListsTheChangeLogsNewestFirst) {
    EXPECT_EQ(Cli("logs").out, "No change logs in C:\\\n");
    const Outcome first = Cli("set"), second = Cli("default");
    ASSERT_EQ(first.exit + second.exit, 0) << first.err << second.err;
    const Outcome run = Cli("logs");
    EXPECT_EQ(run.exit, 0) << run.err;
    const size_t newest = run.out.find("  NEW SETTING=exch1:100-5000\n"),
                 older = run.out.find("  NEW SETTING=" + kFour);
    EXPECT_TRUE(newest != std::string::npos && older != std::string::npos && newest < older) << run.out;
    const auto json = nlohmann::json::parse(Cli("logs --json").out);
    EXPECT_EQ(json["logs"][1]["newSetting"], kFour);
    EXPECT_EQ(json["logs"][0]["previousSetting"], kFour);
}

TEST_F(CliProgram, ControlCharactersAreNeitherWrittenNorRestored) {
    // A stored value another tool wrote with a line break: the log keeps ten lines, and
    // restoring it would write "?" in place of the break.
    SetValidPorts("EXCH1:100-5000\r\nx");
    Outcome run = Cli("default");
    ASSERT_EQ(run.exit, 0) << run.err;
    const fs::path log = LogFile(run);
    EXPECT_NE(ReadFile(log).find("\r\nPREVIOUS SETTING=EXCH1:100-5000??x\r\n"), std::string::npos);
    run = Cli("restore " + Quote(log.string()));
    EXPECT_EQ(run.exit, 2);
    EXPECT_NE(run.err.find("is not restored: its PREVIOUS SETTING holds \"?\""), std::string::npos)
        << run.err;
    // --force takes the log as it is, but "EXCH1:100-5000??x" is no entry the proxy can read.
    run = Cli("restore --force " + Quote(log.string()));
    EXPECT_EQ(run.exit, 2);
    EXPECT_NE(run.err.find("('5000??x' is not a port number). Nothing was written."), std::string::npos)
        << run.err;

    SetValue("SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters", "Domain", regtype::Sz,
             Sz("corp\nexample"));
    for (const char* command : {"set", "set --dry-run"}) {
        run = Cli(command);
        EXPECT_EQ(run.exit, 2) << command;
        EXPECT_NE(run.err.find(
                      "It holds U+000A, from the registry value HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet"
                      "\\Services\\Tcpip\\Parameters\\Domain. Nothing was written."),
                  std::string::npos)
            << run.err;
    }
    EXPECT_EQ(Stored(), "exch1:100-5000");
    EXPECT_EQ(Logs().size(), 1u);
}

// What a mistyped or unusual command line gets: one meaning for each exit code,
// the nearest name suggested, control characters from outside shown escaped.
TEST_F(CliProgram, CommandLineConventions) {
    SetValidPorts("evil\x1B]0;title\x07:1");
    struct Case {
        std::string args;
        int exit;
        std::string out, err;  // each found in its stream; empty: not looked at
    } const cases[] = {
        {"shwo", 2, "",
         "'shwo' is not a command. See 'portwright-cli --help'.\n\nThe most similar command is\n\tshow\n"},
        {"frobnicate", 2, "", "'frobnicate' is not a command"},
        {"help", 0, "Usage: portwright-cli [OPTIONS] SUBCOMMAND", ""},
        {"help restore", 0, "Usage: portwright-cli restore [OPTIONS] LOGFILE", ""},
        {"help shwo", 2, "", "The most similar command is\n\tshow"},
        {"version", 0, "portwright-cli 1.0.0.0\n", ""},
        {"-V", 0, "portwright-cli 1.0.0.0\n", ""},
        {"set --port 1,2,3", 2, "", "set: unknown option '--port'. Did you mean '--ports'?"},
        {"check --jsno", 2, "", "Did you mean '--json'?"},
        {"check", 1, "name 'evil\\x1B]0' has", ""},
    };
    for (const Case& c : cases) {
        const Outcome run = Cli(c.args);
        EXPECT_EQ(run.exit, c.exit) << c.args << "\n" << run.err;
        EXPECT_NE(run.out.find(c.out), std::string::npos) << c.args << "\n" << run.out;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.args << "\n" << run.err;
        EXPECT_EQ(run.out.find('\x1B'), std::string::npos) << c.args;
    }
    // Output nobody received is a failure, said on stderr.
    const Outcome lost = Cli("show --json >/dev/full");
    EXPECT_EQ(lost.exit, 1);
    EXPECT_NE(lost.err.find("the output could not be written"), std::string::npos) << lost.err;
}

// --json's objects (each with the version; refusals as an error object), files
// through standard input and output, and a backup that undoes a first write.
TEST_F(CliProgram, JsonStandardStreamsAndBackups) {
    const auto in = [&](const char* name) { return Quote((prefix.Path() / name).string()); };
    struct Case {
        std::string args;
        int exit;
        std::string out, err, stored;  // out and err found in their streams; the value afterwards
    } const cases[] = {
        {"set --json --backup " + in("b.reg"), 0, "\"written\": true", "", kFour},
        {"export - >" + in("e.reg"), 0, "", "", kFour},
        {"import - --json <" + in("b.reg"), 0, "\"changes\": 1", "", "(missing)"},
        {"import --dry-run --json - <" + in("e.reg"), 0, "\"change\": \"add value \\\"ValidPorts", "",
         "(missing)"},
        {"import " + in("e.reg"), 0, "Imported 1 change from", "", kFour},
        {"default --json", 0, "\"newValue\": \"exch1:100-5000\"", "", "exch1:100-5000"},
        {"export --json " + in("f.reg"), 0, "\"values\": 1", "", "exch1:100-5000"},
        {"set --ports 1,2,70000 --json", 2,
         "\"error\": {\n    \"message\": \"Port values must be 65535 or less.\",\n    \"exitCode\": 2",
         "Port values must be 65535 or less.", "exch1:100-5000"},
        {"shwo --json", 2, "\"exitCode\": 2", "is not a command", "exch1:100-5000"},
        {"export - --json", 2, "\"exitCode\": 2", "takes neither --json", "exch1:100-5000"},
        {"restore --json nothere", 2, "\"message\": \"Cannot restore", "Cannot restore", "exch1:100-5000"},
    };
    for (const Case& c : cases) {
        const Outcome run = Cli(c.args);
        EXPECT_EQ(run.exit, c.exit) << c.args << "\n" << run.err;
        EXPECT_NE(run.out.find(c.out), std::string::npos) << c.args << "\n" << run.out;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << c.args << "\n" << run.err;
        EXPECT_EQ(Stored(), c.stored) << c.args;
        if (c.args.find("--json") == std::string::npos) continue;
        const auto json = nlohmann::json::parse(run.out, nullptr, false);
        ASSERT_TRUE(json.is_object()) << c.args << "\n" << run.out;
        EXPECT_EQ(json["version"], "1.0.0.0") << c.args;
    }
    // show and check give the server's part under the same keys.
    const auto show = nlohmann::json::parse(Cli("show --json").out);
    const auto check = nlohmann::json::parse(Cli("check --json").out);
    for (const char* key : {"version", "netbiosName", "domain", "fqdn", "stored", "startupValue",
                            "defaultValue", "servicePorts", "findings"}) {
        EXPECT_TRUE(show.contains(key)) << key;
        EXPECT_EQ(show[key], check[key]) << key;
    }
}

TEST_F(CliProgram, CheckFindingsAndExitCodes) {
    struct Case {
        std::string value;
        int exit;
        std::string finding;
    };
    const Case cases[] = {
        {kFour, 0, ""},
        {"exch1:100-5000", 1, "among them 593, the RPC endpoint mapper over HTTP"},
        {kFour + ";exch1:6004", 1, "entry 'exch1:6004' repeats 'exch1:6004'"},
        {kFour + ";;", 1, "the value ends with ';'"},
        {kFour + ";exch_1:99999", 1, "port 99999 is above 65535"},
    };
    for (const Case& c : cases) {
        SetValidPorts(c.value);
        const Outcome run = Cli("check");
        EXPECT_EQ(run.exit, c.exit) << c.value;
        EXPECT_NE(run.out.find(c.finding), std::string::npos) << run.out;
    }
    // The store's own services' ports count.
    SetValidPorts(kFour);
    SetValue("SYSTEM\\CurrentControlSet\\Services\\MSExchangeSA\\Parameters", "Rpc/HTTP NSPI Port",
             regtype::Dword_, std::string("\x5c\x1b\0\0", 4));  // 7004
    Outcome run = Cli("check --json");
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(nlohmann::json::parse(run.out)["findings"][0]["kind"], "wide-range") << run.out;
    EXPECT_NE(run.out.find("port 7004 is not admitted for 'exch1'"), std::string::npos) << run.out;

    // A store that is not a database: 1 (a failed read), and why.
    for (const char* suffix : {"-wal", "-shm"})
        fs::remove(RegistryStorePath(prefix.Path().string()) + suffix);
    std::ofstream(RegistryStorePath(prefix.Path().string()), std::ios::trunc)
        << "not a database, but long enough to tell";
    run = Cli("check");
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.err.rfind("ValidPorts could not be read: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("registry.db"), std::string::npos) << run.err;
}

// One row per rule of the check: a store seeded for it alone, check --json's
// kinds in order, its exit code (warnings alone: 0), and the fields of the first finding.
TEST_F(CliProgram, EachRuleOfTheCheckOverASeededStore) {
    const std::string sa = "SYSTEM\\CurrentControlSet\\Services\\MSExchangeSA\\Parameters";
    const std::string ntds = "SYSTEM\\CurrentControlSet\\Services\\NTDS\\Parameters";
    const auto dword = [](std::uint32_t n) { return std::string(reinterpret_cast<const char*>(&n), 4); };
    struct Seed {
        std::string key, name;
        Dword type;
        std::string data;
    };
    struct Row {
        const char* rule;
        std::string value;
        std::vector<Seed> seeds;
        std::vector<std::string> kinds;
        int exit;
        std::string first = {};      // "name port source" of the first finding
        std::string loggedNew = {};  // when given: the NEW SETTING of a change log on the drive
    };
    const Row rows[] = {
        {"clean", kFour, {}, {}, 0, ""},
        {"wildcard, counting for the names it fits",
         "exch*:6001-6002;exch*:6004",
         {},
         {"wildcard"},
         0,
         "exch* null HKLM\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy\\ValidPorts"},
        {"C1 control character",
         kFour + ";ex\x81"
                 "ch:6004",
         {},
         {"bad-characters"},
         1,
         ""},
        {"a '?' from a log", kFour + ";mail?.example.com:6004", {}, {"bad-characters"}, 1, ""},
        {"no internal domain",
         "exch1:6001-6002;exch1.:6001-6002;exch1:6004;exch1.:6004",
         {{"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters", "Domain", regtype::Sz, Sz("")}},
         {"no-domain"},
         0,
         "exch1. null HKLM\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy\\ValidPorts"},
        {"empty name", kFour + ";:6004", {}, {"bad-entry"}, 1, ""},
        {"services told one port",
         kFour,
         {{"SYSTEM\\CurrentControlSet\\Services\\MSExchangeIS\\ParametersSystem", "Rpc/HTTP Port",
           regtype::Dword_, dword(6002)}},
         {"service-conflict", "wide-range", "wide-range"},
         1,
         " 6002 HKLM\\System\\CurrentControlSet\\Services\\MSExchangeSA\\Parameters\\HTTP Port"},
        {"a non-default port not admitted",
         kFour,
         {{sa, "Rpc/HTTP NSPI Port", regtype::Dword_, dword(7004)}},
         {"wide-range", "wide-range", "port-not-admitted", "port-not-admitted"},
         1,
         ""},
        {"anonymous access",
         kFour,
         {{"SOFTWARE\\Microsoft\\Rpc\\RpcProxy", "AllowAnonymous", regtype::Dword_, dword(1)}},
         {"anonymous-access"},
         0,
         " null HKLM\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy\\AllowAnonymous"},
        {"global catalog without NSPI over HTTP",
         kFour,
         {{ntds, "TCP/IP Port", regtype::Dword_, dword(1234)}},
         {"nspi-over-http"},
         1,
         ""},
        {"NSPI over HTTP as REG_SZ",
         kFour,
         {{ntds, "NSPI interface protocol sequences", regtype::Sz, Sz("ncacn_http:6004")}},
         {},
         0,
         ""},
        {"Rpc\\Internet\\Ports with spaces",
         kFour,
         {{"SOFTWARE\\Microsoft\\Rpc\\Internet", "Ports", regtype::MultiSz,
           std::string("5000-5100\0"
                       "4000 - 4010\0\0",
                       23)}},
         {"rpc-internet-ports"},
         1,
         ""},
        {"the System Attendant's polling",
         kFour,
         {{sa, "HTTPFEPollingInterval", regtype::Dword_, dword(15)}},
         {"auto-config"},
         0,
         ""},
        {"drift from the newest log", kFour, {}, {"drift"}, 0, "", "exch1:100-5000"},
        {"no drift", kFour, {}, {}, 0, "", kFour},
    };
    for (const Row& row : rows) {
        fs::remove_all(prefix.Path());
        fs::create_directory(prefix.Path());
        SetUp();
        SetValidPorts(row.value);
        for (const Seed& seed : row.seeds) SetValue(seed.key, seed.name, seed.type, seed.data);
        if (!row.loggedNew.empty()) {
            fs::create_directory(prefix.Path() / "drive_c");
            std::ofstream(prefix.Path() / "drive_c" / "RPC_12-6-2026_1.10.50AM.LOG")
                << ToAnsi(ChangeLogText(u"", FromUtf8(row.loggedNew)) + u"\r\n");
        }
        const Outcome run = Cli("check --json");
        const auto findings = nlohmann::json::parse(run.out)["findings"];
        std::vector<std::string> kinds;
        for (const auto& finding : findings) kinds.push_back(finding["kind"]);
        EXPECT_EQ(kinds, row.kinds) << row.rule << "\n" << run.out;
        EXPECT_EQ(run.exit, row.exit) << row.rule;
        if (!row.first.empty() && !findings.empty()) {
            const auto& f = findings[0];
            EXPECT_EQ(
                f["name"].get<std::string>() + " " + f["port"].dump() + " " + f["source"].get<std::string>(),
                row.first)
                << row.rule;
        }
    }
}

// The write path: a value the check calls malformed is refused with 2 before
// anything changes; --dry-run shows the new value's findings; check --value
// writes nothing; a '?' from a log is restored only with --force, and said so.
TEST_F(CliProgram, WritesRefuseWhatTheCheckCallsMalformed) {
    SetValidPorts(kFour);
    Outcome run = Cli("set --host '' --domain ''");
    EXPECT_EQ(run.exit, 2);
    EXPECT_EQ(run.err,
              "Host names must not be empty: the value would hold the entry \":6001-6002\", which "
              "the RPC proxy cannot read. Nothing was written.\n");
    EXPECT_EQ(Cli("set --ports 7001,6002,6004 --dry-run").exit, 2);
    EXPECT_EQ(Stored(), kFour);
    EXPECT_TRUE(Logs().empty());

    run = Cli("set --external 'mail?.example.com' --dry-run");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_NE(run.out.find("Check:        name 'mail?.example.com' has characters other than"),
              std::string::npos)
        << run.out;
    run = Cli("check --value 'exch1:6001-6002;exch1.corp.example:6001-6002;exch1:6004'");
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.out,
              "port 6004 is not admitted for 'exch1.corp.example': the directory proxy (DSProxy) "
              "listens on it (the default: Rpc/HTTP NSPI Port under HKLM\\System\\CurrentControlSet\\"
              "Services\\MSExchangeSA\\Parameters is not set)\n");
    EXPECT_EQ(Stored(), kFour);

    run = Cli("set --external 'mail?.example.com'");
    EXPECT_NE(run.out.find("\nThe RPC proxy reads ValidPorts again within about five minutes.\n"),
              std::string::npos)
        << run.out;
    const std::string withMask = Stored();
    const fs::path log = LogFile(Cli("default"));
    EXPECT_EQ(Cli("restore " + Quote(log.string())).exit, 2);
    run = Cli("restore --force " + Quote(log.string()));
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_NE(run.err.find("each \"?\" in it may have been another character"), std::string::npos) << run.err;
    EXPECT_EQ(Stored(), withMask);
}

TEST_F(CliProgram, WriteFailuresAreReportedNotConfirmed) {
    // A value of a type the window does not write over stays, and no log is left.
    SetValue(kRpcProxy, "ValidPorts", regtype::Binary, "\x01\x02");
    Outcome run = Cli("set");
    EXPECT_EQ(run.exit, 1);
    EXPECT_NE(run.err.find("could not be written"), std::string::npos) << run.err;
    EXPECT_TRUE(Logs().empty());

    // A drive folder that is a file: the value is written, the log is reported as not.
    SetValidPorts("exch1:100-5000");
    std::ofstream(prefix.Path() / "drive_c") << "not a folder";
    run = Cli("set");
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(Stored(), kFour);
    EXPECT_EQ(run.err.rfind("Registry entry created, but the log could not be written.", 0), 0u) << run.err;
}

// export and import through the program: a key tree of every type out and back
// in, deletions, --dry-run, --backup before a write, and a broken file refused whole.
TEST_F(CliProgram, ExportAndImportCarryTheKeyTreeAndRefuseABrokenFileWhole) {
    SetValidPorts("old:1-2");
    SetValue(kRpcProxy + "\\Sub", "", regtype::Sz, Sz("d\"\\\xe9"));
    SetValue(kRpcProxy + "\\Sub", "x", regtype::ExpandSz, Sz("%a%"));
    SetValue(kRpcProxy + "\\Sub", "m", regtype::MultiSz, std::string("a\0b\0\0", 5));
    SetValue(kRpcProxy + "\\Sub", "n", regtype::Dword_, std::string("\x2a\0\0\0", 4));
    const std::string file = (prefix.Path() / "k.reg").string();
    Outcome run = Cli("default --backup " + Quote(file));
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::string backup = ReadFile(file);
    std::string wide;  // the line as UTF-16LE
    for (char c : std::string("\"ValidPorts\"=\"old:1-2\"\r\n")) wide += std::string{c, '\0'};
    EXPECT_NE(backup.find(wide), std::string::npos);

    const std::string gone = (prefix.Path() / "gone.reg").string();
    std::ofstream(gone) << "REGEDIT4\n\n[-HKEY_LOCAL_MACHINE\\" << kRpcProxy << "\\Sub]\n[HKLM\\" << kRpcProxy
                        << "]\n\"ValidPorts\"=-\n";
    run = Cli("import --dry-run " + Quote(gone));
    EXPECT_NE(run.out.find("line 3: delete key"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("line 5: delete value \"ValidPorts\""), std::string::npos) << run.out;
    EXPECT_EQ(Stored(), "exch1:100-5000");
    ASSERT_EQ(Cli("import " + Quote(gone)).exit, 0);
    EXPECT_EQ(Stored(), "(missing)");

    const std::string broken = (prefix.Path() / "broken.reg").string();
    std::ofstream(broken) << "REGEDIT4\n[HKLM\\" << kRpcProxy << "]\n\"ValidPorts\"=\"x\"\n\"y\"=dword:1g\n";
    run = Cli("import " + Quote(broken));
    EXPECT_EQ(run.exit, 2);
    EXPECT_NE(run.err.find("broken.reg, line 4: dword: needs one to eight hex digits"), std::string::npos)
        << run.err;
    EXPECT_EQ(Stored(), "(missing)");
    // A dry run refuses what the import would refuse.
    const std::string top = (prefix.Path() / "top.reg").string();
    std::ofstream(top) << "REGEDIT4\n\n[-HKEY_LOCAL_MACHINE\\SOFTWARE]\n";
    for (const std::string command : {"import --dry-run ", "import "}) {
        run = Cli(command + Quote(top));
        EXPECT_EQ(run.exit, 1) << command;
        EXPECT_NE(run.err.find("top.reg, line 3: HKEY_LOCAL_MACHINE\\SOFTWARE is a hive of the system"),
                  std::string::npos)
            << command << run.err;
    }

    ASSERT_EQ(Cli("import " + Quote(file)).exit, 0);
    EXPECT_EQ(Stored(), "old:1-2");
    const std::string again = (prefix.Path() / "again.reg").string();
    ASSERT_EQ(Cli("export " + Quote(again)).exit, 0);
    EXPECT_EQ(ReadFile(again), backup);
    EXPECT_EQ(Cli("import --dry-run " + Quote(file)).out, "No changes.\nNothing was written (--dry-run).\n");

    // Other servers are Windows' remote registry's; here they are refused as a usage error.
    run = Cli("default --computer exch2");
    EXPECT_EQ(run.exit, 2);
    EXPECT_NE(run.err.find("need Windows' remote registry"), std::string::npos) << run.err;
    EXPECT_EQ(Stored(), "old:1-2");
}

// A policy's file: check --value-from judges the ValidPorts it would leave,
// not the stored one; import --dry-run names its records by byte offset.
TEST_F(CliProgram, ARegistryPolIsCheckedAndPreviewedBeforeItIsApplied) {
    SetValidPorts(kFour);
    const std::string pol = (prefix.Path() / "Registry.pol").string();
    ASSERT_EQ(Cli("export --format pol " + Quote(pol)).exit, 0);
    SetValidPorts("exch1:100-5000");
    EXPECT_EQ(Cli("check").exit, 1);
    EXPECT_EQ(Cli("check --value-from " + Quote(pol)).exit, 0);
    Outcome run = Cli("import --dry-run " + Quote(pol));
    EXPECT_EQ(run.out.rfind("byte offset 8: change value \"ValidPorts\" of HKEY_LOCAL_MACHINE\\" + kRpcProxy +
                                " to REG_SZ \"" + kFour + "\"\n",
                            0),
              0u)
        << run.out;
    // A key above it deleted; a broken file.
    const std::string gone = (prefix.Path() / "gone.reg").string();
    std::ofstream(gone) << "REGEDIT4\n[-HKLM\\SOFTWARE\\Microsoft\\Rpc]\n";
    run = Cli("check --value-from " + Quote(gone));
    EXPECT_EQ(run.exit * (run.out.rfind("ValidPorts is missing or empty", 0) == 0), 1) << run.out;
    std::ofstream(pol, std::ios::app) << "[";
    run = Cli("check --value-from " + Quote(pol));
    EXPECT_EQ(run.exit, 2);
    EXPECT_NE(run.err.find("Registry.pol, byte offset " + std::to_string(ReadFile(pol).size() - 1) +
                           ": the file ends where '[' belongs. Nothing was checked."),
              std::string::npos)
        << run.err;
    run = Cli("export --format pol --key 'HKEY_CURRENT_USER\\Software' " + Quote(pol));
    EXPECT_NE(run.err.find("holds keys below HKEY_LOCAL_MACHINE only"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace pw::test
