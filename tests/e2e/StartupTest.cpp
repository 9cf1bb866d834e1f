// Start-up and lifecycle of the panel: how it first shows, the About box, and
// closing through the system menu.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cwctype>

#include "OrvantaFixture.h"
#include "Text.h"

namespace e2e {
namespace {

class Startup : public DetachedOrvantaTest { };

// Texts a fresh panel shows.
struct ControlText {
    int id;
    const char* text;
};
const ControlText kStartTexts[] = {
    {IDC_STATUS, "Searching Robot ......"},
    {IDC_PITCH_SET, "-90"},
    {IDC_SPEED, "200"},
    {IDC_X_READ, "0"},
    {IDC_X_SET, "0"},
    {IDC_Y_READ, "0"},
    {IDC_Y_SET, "0"},
    {IDC_Z_READ, "0"},
    {IDC_Z_SET, "0"},
    {IDC_PITCH_READ, "0"},
    {IDC_ROLL_READ, "0"},
    {IDC_ROLL_SET, "0"},
    {IDC_HAND_READ, "0"},
    {IDC_HAND_SET, "0"},
    {IDC_ROBOT_MESSAGE, ""},
    {IDC_NOTE, ""},
    {IDC_MORE, "More >>>>"},
};

// Controls that the link never switches: usable from the start.
const int kAlwaysEnabled[] = {
    IDC_ADD,   IDC_DEL,   IDC_CHG,   IDC_LOAD,      IDC_SAVE,     IDC_ON_TOP,   IDC_BACKWARD, IDC_MORE, IDC_ABOUT,
    IDC_X_SET, IDC_Y_SET, IDC_Z_SET, IDC_PITCH_SET, IDC_ROLL_SET, IDC_HAND_SET, IDC_SPEED,    IDC_NOTE, IDC_STEP_LIST,
};

// The About box's own texts.
const char kAboutCaption[] = "About Orvanta";
const char kAboutVersion[] = "Orvanta Version 1.0";

bool HasChildText(const RemoteDialog& dialog, const std::string& wanted)
{
    struct Search {
        const std::string* wanted;
        bool found;
    } search{&wanted, false};
    EnumChildWindows(
        dialog.hwnd(),
        [](HWND child, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            std::string text;
            if (ReadWindowText(child, text) && text == *s.wanted)
                s.found = true;
            return !s.found;
        },
        LPARAM(&search));
    return search.found;
}

TEST_F(Startup, PanelIsTheOrvantaDialogOfItsProcess)
{
    EXPECT_EQ(panel.className(), "#32770");
    EXPECT_EQ(panel.caption(), "Orvanta");
    EXPECT_EQ(panel.processId(), orvanta.processId());
    EXPECT_TRUE(panel.isVisible());
}

TEST_F(Startup, OpensTopmostAtCompactSizeWithOnTopChecked)
{
    SIZE size = panel.size();
    EXPECT_EQ(size.cx, 315);
    EXPECT_EQ(size.cy, 350);
    EXPECT_TRUE(panel.topmost());
    EXPECT_EQ(panel.checkState(IDC_ON_TOP), BST_CHECKED);
    EXPECT_EQ(panel.text(IDC_MORE), "More >>>>");
}

TEST_F(Startup, ControlsShowTheStartValues)
{
    for (const ControlText& expected : kStartTexts)
        EXPECT_EQ(panel.text(expected.id), expected.text) << ControlName(expected.id);
    EXPECT_EQ(panel.checkState(IDC_REC), BST_UNCHECKED);
    EXPECT_EQ(panel.checkState(IDC_RUN), BST_UNCHECKED);
    EXPECT_EQ(panel.checkState(IDC_BACKWARD), BST_UNCHECKED);
    EXPECT_TRUE(panel.listLines(IDC_STEP_LIST).empty());
    EXPECT_EQ(panel.listSelection(IDC_STEP_LIST), -1);
}

TEST_F(Startup, LinkControlsStartDisabled)
{
    for (int id : kLinkControls)
        EXPECT_FALSE(panel.enabled(id)) << ControlName(id);
}

TEST_F(Startup, ControlsOutsideTheLinkStartEnabled)
{
    for (int id : kAlwaysEnabled)
        EXPECT_TRUE(panel.enabled(id)) << ControlName(id);
}

TEST_F(Startup, NoBoxOpensWhenTheBroadcastSucceeds)
{
    // Under Wine the broadcast always returns 1, so "Skype API not found." never shows.
    EXPECT_TRUE(orvanta.noDialogOpen());
}

TEST_F(Startup, SystemMenuAboutItemOpensTheAboutBox)
{
    panel.sysCommand(IDM_ABOUTBOX);
    RemoteDialog about = orvanta.waitForDialog(kAboutCaption);
    ASSERT_TRUE(about) << "no " << kAboutCaption << " box; " << orvanta.describeWindows();
    EXPECT_EQ(about.className(), "#32770");
    EXPECT_EQ(about.owner(), panel.hwnd());
    EXPECT_TRUE(HasChildText(about, kAboutVersion)) << about.describe();
    // Modal: the panel takes no input while the box is open.
    EXPECT_FALSE(IsWindowEnabled(panel.hwnd()));

    ASSERT_TRUE(about.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the About box to close", [&] { return !about.exists(); }));
    ASSERT_TRUE(WaitFor("the panel to take input again", [&] { return IsWindowEnabled(panel.hwnd()) != 0; }));
    EXPECT_TRUE(orvanta.noDialogOpen());
    EXPECT_TRUE(orvanta.running());
    EXPECT_EQ(panel.text(IDC_STATUS), "Searching Robot ......");
}

TEST_F(Startup, SystemMenuAboutItemKeepsItsLowBitsFree)
{
    // The low four bits of a system command belong to the system.
    panel.sysCommand(IDM_ABOUTBOX | 0x3);
    RemoteDialog about = orvanta.waitForDialog(kAboutCaption);
    ASSERT_TRUE(about) << "no " << kAboutCaption << " box; " << orvanta.describeWindows();
    ASSERT_TRUE(about.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the About box to close", [&] { return !about.exists(); }));
}

TEST_F(Startup, AboutButtonOpensTheAboutBox)
{
    ASSERT_TRUE(panel.clickOpeningBox(IDC_ABOUT));
    RemoteDialog about = orvanta.waitForDialog(kAboutCaption);
    ASSERT_TRUE(about) << "no " << kAboutCaption << " box; " << orvanta.describeWindows();
    EXPECT_EQ(about.owner(), panel.hwnd());
    ASSERT_TRUE(about.pressButton(IDOK));
    ASSERT_TRUE(WaitFor("the About box to close", [&] { return !about.exists(); }));
    EXPECT_TRUE(orvanta.noDialogOpen());
}

TEST_F(Startup, SystemCloseEndsTheProcessAfterTheCloseDown)
{
    skype.clear();
    auto closing = std::chrono::steady_clock::now();
    panel.close();
    // The close-down waits 5 s on purpose before the window goes.
    ASSERT_TRUE(orvanta.waitForExit(15000ms));
    auto took = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - closing);
    EXPECT_GE(took.count(), 4500) << "the close-down did not wait";
    EXPECT_NE(orvanta.exitCode(), DWORD(0xDEAD)) << "it was killed, not closed";
    // Never attached: no Skype window known, so the close-down commands go nowhere.
    EXPECT_TRUE(skype.commands().empty());
    EXPECT_FALSE(panel.exists());
}

// The manifest a program carries as resource 1 of type RT_MANIFEST; empty when none.
std::string ManifestOf(const std::wstring& program)
{
    HMODULE module =
        LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return {};
    std::string text;
    if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        if (HGLOBAL loaded = LoadResource(module, found))
            text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

// The files of the modules loaded in a process, lower case.
std::vector<std::wstring> ModulesOf(DWORD pid)
{
    std::vector<std::wstring> files;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process)
        return files;
    HMODULE modules[512];
    DWORD bytes = 0;
    if (EnumProcessModules(process, modules, sizeof modules, &bytes)) {
        for (DWORD i = 0; i < std::min<DWORD>(bytes / sizeof(HMODULE), 512); ++i) {
            wchar_t file[MAX_PATH] = {};
            GetModuleFileNameExW(process, modules[i], file, MAX_PATH);
            std::wstring name = file;
            std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return wchar_t(std::towlower(c)); });
            files.push_back(name);
        }
    }
    CloseHandle(process);
    return files;
}

// Orvanta scales its panel to each display; the stand-in, laid out in pixels,
// leaves the scaling to Windows.
TEST_F(Startup, ProgramsRunWithCommonControlsSixAsInvokerAndTheirDpiAwareness)
{
    // The panel's buttons come from common controls 6, which only the manifest asks for.
    auto modules = ModulesOf(orvanta.processId());
    EXPECT_TRUE(std::any_of(modules.begin(), modules.end(),
                            [](const std::wstring& file) {
                                return file.find(L"common-controls") != std::wstring::npos &&
                                    file.ends_with(L"\\comctl32.dll");
                            }))
        << "no common controls 6 among " << modules.size() << " modules";

    for (const wchar_t* program : {L"Orvanta.exe", L"OrvantaStandin.exe"}) {
        SCOPED_TRACE(Narrow(program));
        const std::string manifest = ManifestOf(BesideTestProgram(program));
        ASSERT_FALSE(manifest.empty());
        for (const char* part : {
                 "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "level=\"asInvoker\"",
                 "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
                 "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
                 "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
                 "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
             })
            EXPECT_NE(manifest.find(part), std::string::npos) << part;
        if (std::wstring_view(program) == L"Orvanta.exe") {
            EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
            EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
        } else {
            EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace e2e
