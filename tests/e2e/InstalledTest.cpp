// The program as the installer leaves it: scripts/check-msi installs the MSI in a
// prefix of its own and runs this (disabled, so no suite runs it) to start the
// installed Orvanta.exe from Program Files.
#include <gtest/gtest.h>

#include <windows.h>

#include "OrvantaFixture.h"
#include "Text.h"

namespace e2e {
namespace {

std::wstring InstalledProgram()
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = ExpandEnvironmentStringsW(L"%ProgramFiles%\\Orvanta\\Orvanta.exe", path, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? std::wstring(path) : std::wstring();
}

TEST(DISABLED_Installed, OrvantaStartsAndShowsItsPanel)
{
    const std::wstring program = InstalledProgram();
    ASSERT_NE(GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES) << "not installed: " << Narrow(program);
    DialogProcess orvanta(program, "Orvanta");
    ASSERT_TRUE(orvanta.start());
    RemoteDialog& panel = orvanta.mainWindow();
    // No Skype on this desktop: the panel looks for it.
    EXPECT_TRUE(WaitFor("the status \"Searching Robot ......\"",
                        [&] { return panel.text(IDC_STATUS) == "Searching Robot ......"; }));
    EXPECT_TRUE(panel.isVisible());
    orvanta.kill();
}

}  // namespace
}  // namespace e2e
