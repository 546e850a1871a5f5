// Portwright.exe: the window over the real registry, clock, environment and
// drive. Start-up order matters: Form_Load runs while the window is still
// hidden, so a missing-value box appears before the window does.
#include "ui/win32/Win32Form.h"

#include <string>

#include "app/frmRPC.h"
#include "platform/win32/SystemMessage.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32FileSystem.h"
#include "registry/win32/Win32RegistryApi.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    pw::Win32Form form(instance);
    if (!form.Create()) {
        const std::string reason = pw::SystemMessage(GetLastError());
        const std::string text = "Portwright could not create its window: " + reason +
                                 ".\r\nClose some programs to free resources, then start it again.";
        MessageBoxA(nullptr, text.c_str(), "Portwright", MB_OK | MB_ICONERROR);
        return 1;
    }

    pw::Win32RegistryApi registry;
    pw::Win32Environment environment;
    pw::Win32Clock clock;
    pw::Win32FileSystem files;
    pw::frmRPC logic(pw::frmRPCServices{form, registry, environment, clock, files});
    form.Connect(logic);

    logic.Form_Load();
    form.Show(showCommand);
    return form.RunMessageLoop();
}
