// A small dialog program the harness is checked against, independent of
// Orvanta: a message box, file dialogs, a list box, an auto check box, a button
// that reports its presses, and a minimal Skype API client (discover, attach,
// commands out, notices in, a nested reply to "PING").
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "FixtureIds.h"
#include "SkypeApi.h"

namespace {

const UINT g_discover = RegisterWindowMessageA(kSkypeDiscoverMessageName);
const UINT g_attach = RegisterWindowMessageA(kSkypeAttachMessageName);
HWND g_skype = nullptr;
WNDPROC g_holdDefault = nullptr;
int g_selChanges = 0;

void SetStatus(HWND dlg, const std::string& text) { SetDlgItemTextA(dlg, IDC_FX_STATUS, text.c_str()); }

LRESULT SendCommand(HWND dlg, const char* text)
{
    if (!g_skype)
        return 0;
    COPYDATASTRUCT record{0, DWORD(std::strlen(text) + 1), const_cast<char*>(text)};
    return SendMessageA(g_skype, WM_COPYDATA, WPARAM(dlg), LPARAM(&record));
}

LRESULT CALLBACK HoldProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN)
        SetStatus(GetParent(button), "DOWN");
    else if (message == WM_LBUTTONUP)
        SetStatus(GetParent(button), "UP");
    return CallWindowProcA(g_holdDefault, button, message, wParam, lParam);
}

std::string FileDialog(HWND dlg, bool save)
{
    char path[MAX_PATH] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dlg;
    ofn.lpstrFilter = "Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = "txt";
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    return chosen ? std::string(path) : std::string();
}

void OnCommand(HWND dlg, int id, int code)
{
    switch (id) {
    case IDC_FX_BOX: {
        int answer = MessageBoxA(dlg, "Fixture question?", "Fixture Box", MB_YESNO | MB_ICONQUESTION);
        SetStatus(dlg, answer == IDYES ? "YES" : answer == IDNO ? "NO" : "OTHER");
        break;
    }
    case IDC_FX_OPEN: {
        std::string path = FileDialog(dlg, false);
        if (path.empty()) {
            SetStatus(dlg, "OPEN cancelled");
            break;
        }
        char line[256] = "";
        if (FILE* file = std::fopen(path.c_str(), "r")) {
            if (!std::fgets(line, sizeof line, file))
                line[0] = '\0';
            std::fclose(file);
        }
        line[std::strcspn(line, "\r\n")] = '\0';
        SetDlgItemTextA(dlg, IDC_FX_EDIT, line);
        SetStatus(dlg, "OPEN " + path);
        break;
    }
    case IDC_FX_SAVE: {
        std::string path = FileDialog(dlg, true);
        if (path.empty()) {
            SetStatus(dlg, "SAVE cancelled");
            break;
        }
        char text[256] = "";
        GetDlgItemTextA(dlg, IDC_FX_EDIT, text, sizeof text);
        FILE* file = std::fopen(path.c_str(), "w");
        bool ok = file && std::fprintf(file, "%s\n", text) >= 0;
        ok = file && std::fclose(file) == 0 && ok;
        SetStatus(dlg, (ok ? "SAVE " : "SAVE failed ") + path);
        break;
    }
    case IDC_FX_LIST:
        if (code == LBN_SELCHANGE) {
            int selection = int(SendDlgItemMessageA(dlg, IDC_FX_LIST, LB_GETCURSEL, 0, 0));
            SetStatus(dlg, "SEL " + std::to_string(selection) + " #" + std::to_string(++g_selChanges));
        }
        break;
    case IDC_FX_CHECK: SetStatus(dlg, IsDlgButtonChecked(dlg, IDC_FX_CHECK) ? "CHECKED" : "UNCHECKED"); break;
    case IDC_FX_SEND:
        SendCommand(dlg, "CLICKED");
        SendCommand(dlg, "AFTER");
        break;
    case IDOK:
    case IDCANCEL: break;  // Enter and Escape keep the fixture open
    }
}

INT_PTR CALLBACK FixtureProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_attach) {
        SetStatus(dlg, "ATTACH " + std::to_string(lParam));
        if (lParam == 0) {
            g_skype = reinterpret_cast<HWND>(wParam);
            SendCommand(dlg, "HELLO");
        }
        SetWindowLongPtrA(dlg, DWLP_MSGRESULT, 1);
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG: {
        for (const char* line : {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"})
            SendDlgItemMessageA(dlg, IDC_FX_LIST, LB_ADDSTRING, 0, LPARAM(line));
        HWND hold = GetDlgItem(dlg, IDC_FX_HOLD);
        g_holdDefault = WNDPROC(SetWindowLongPtrA(hold, GWLP_WNDPROC, LONG_PTR(HoldProc)));
        SendMessageA(HWND_BROADCAST, g_discover, WPARAM(dlg), 0);
        return TRUE;
    }
    case WM_COPYDATA: {
        auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (g_skype && reinterpret_cast<HWND>(wParam) == g_skype && data) {
            std::string text(static_cast<const char*>(data->lpData), data->cbData);
            text = text.substr(0, text.find('\0'));
            SetStatus(dlg, "NOTICE " + text);
            if (text == "PING")
                SendCommand(dlg, "PONG");
            else if (text == "BOX")
                MessageBoxA(dlg, "Notice box", "Fixture Notice", MB_OK);
            else if (text == "SLEEP")
                Sleep(1500);  // a program too busy to answer in time
        }
        SetWindowLongPtrA(dlg, DWLP_MSGRESULT, 1);
        return TRUE;
    }
    case WM_COMMAND: OnCommand(dlg, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE) {
            EndDialog(dlg, FIXTURE_EXIT_CODE);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return int(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_FIXTURE), nullptr, FixtureProc, 0));
}
