// The window logic through the scripted form: typed box texts, then Set or
// Default. A write reported as failed left the stored value as it was, and
// every log written has ten lines.
#include <string>

#include "platform/posix/Prefix.h"
#include "registry/RegOp.h"
#include "registry/sqlite/SqliteRegistryApi.h"
#include "tests/app/WindowHarness.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/TempFolder.h"
#include "text/NumberText.h"

using namespace pw;
using namespace pw::test;

namespace {

constexpr ControlId kBoxes[] = {ControlId::txtComputerName, ControlId::txtInternalFQDN,
                                ControlId::txtExternalFQDN, ControlId::txtPort1,
                                ControlId::txtPort2,        ControlId::txtPort3};
constexpr ControlId kWrites[] = {ControlId::cmdSetReg, ControlId::cmdDefault, ControlId::cmdResetPorts};

// Line breaks as an editor counts them: CR LF, a lone CR or a lone LF.
int LineCount(const std::string& bytes) {
    int lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++lines;
    }
    return lines;
}

// One store for the whole run (a new store per input would cost most of the
// time); each input's window sees a fresh key below it as HKEY_LOCAL_MACHINE.
struct Store {
    test::TempFolder folder{"portwright-fuzz"};
    SqliteRegistryApi api{RegistryStorePath(folder.Path().string())};
};

void Seed(RegistryApi& registry, const char* keyPath, const char* name, const Text& text) {
    RegHandle key = 0;
    const std::string data = ToAnsi(text) + '\0';
    PW_FUZZ_CHECK(registry.RegCreateKeyExA(RootHandle(kLocalMachine32), keyPath, 0, nullptr,
                                           kRegOptionNonVolatile, regaccess::AllAccess, nullptr, &key,
                                           nullptr) == regerr::Success);
    PW_FUZZ_CHECK(registry.RegSetValueExA(key, name, 0, regtype::Sz,
                                          reinterpret_cast<const std::uint8_t*>(data.data()),
                                          static_cast<Dword>(data.size())) == regerr::Success);
    registry.RegCloseKey(key);
}

Text Stored(RegistryApi& registry) {
    RegOp value(registry);
    value.Root(kLocalMachine32);
    value.Key(T(kRpcProxyKeyPath));
    return ValueToText(value.Value(u"ValidPorts"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Store store;
    static int inputs = 0;
    FuzzedDataProvider input(data, size);
    LocalMachineRedirect registry(store.api, kCurrentUser32, u"Fuzz\\" + IntToText(++inputs));
    ScriptedForm form;
    FakeClock clock{u"12/6/2026", u"1:10:50 AM"};
    FakeEnvironment environment;
    environment.Set(u"SystemDrive", u"c:");
    MemoryFileSystem files;
    frmRPC window(frmRPCServices{form, registry, environment, clock, files});

    Seed(registry, kTcpipKeyPath, "HostName", fuzz::ConsumeText(input, 16));
    Seed(registry, kTcpipKeyPath, "Domain", fuzz::ConsumeText(input, 16));
    if (input.ConsumeBool()) Seed(registry, kRpcProxyKeyPath, "ValidPorts", fuzz::ConsumeText(input, 32));
    form.Connect(window);
    window.Form_Load();

    for (int step = 0; step < 8 && input.remaining_bytes() > 0; ++step) {
        if (input.ConsumeBool()) {
            form.Type(input.PickValueInArray(kBoxes), fuzz::ConsumeText(input, 40));
            continue;
        }
        const Text before = Stored(registry);
        const std::size_t prompts = form.Prompts().size();
        form.Press(input.PickValueInArray(kWrites));
        for (std::size_t i = prompts; i < form.Prompts().size(); ++i) {
            if (form.Prompts()[i].rfind(u"The registry value ", 0) == 0)
                PW_FUZZ_CHECK(Stored(registry) == before);
        }
    }
    for (const Text& path : files.Paths()) PW_FUZZ_CHECK(LineCount(*files.Bytes(path)) == 10);
    return 0;
}
