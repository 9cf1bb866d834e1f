/* The floor: a bare Win32 program that does the work the benchmark times in
 * the least a plain dialog needs, with nothing between it and user32. The
 * benchmark runs it beside Orvanta and reports Orvanta's figures as multiples
 * of the floor's.
 *
 * It speaks the same Skype texts as the panel: it broadcasts the discovery,
 * takes the attach answer, polls the robot every second, shows position
 * reports in the Read boxes (and the Set boxes while REC is down), answers
 * WMIT_D with WMCA_ITD from inside the notice, and loads and saves step lines
 * with the common file dialogs, filling the list with its redraw off.
 *
 * It shows the panel's own dialog template at the panel's expanded size, so
 * that both programs paint the same controls and differ only in their code. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "SkypeApi.h"
#include "resource.h"

#define ROBOT "orvanta.robot"
#define APP "remotecontrol"

static UINT g_attachMsg;
static UINT g_discoverMsg;
static HWND g_skype;
static int g_stream;
static BOOL g_linked;

static const char kFilter[] = "Trajectory (*.txt)\0*.txt\0";

static void SendCommand(HWND self, const char *text)
{
    COPYDATASTRUCT data;
    data.dwData = 0;
    data.cbData = (DWORD)strlen(text) + 1;
    data.lpData = (void *)text;
    SendMessageA(g_skype, WM_COPYDATA, (WPARAM)self, (LPARAM)&data);
}

static void SendDatagram(HWND self, const char *command)
{
    char text[256];
    snprintf(text, sizeof text, "ALTER APPLICATION " APP " DATAGRAM " ROBOT ":%d Msg$%s", g_stream, command);
    SendCommand(self, text);
}

static void ShowNumber(HWND self, int id, double value)
{
    char text[32];
    snprintf(text, sizeof text, "%.15g", value);
    SetDlgItemTextA(self, id, text);
}

static void OnReport(HWND self, const char *payload)
{
    if (strstr(payload, "WMRP_D")) {
        const char *bar = strchr(payload, '|');
        int x, y, z, p, r, g;
        if (bar && sscanf(bar, "|X%dY%dZ%dP%dR%dG%d", &x, &y, &z, &p, &r, &g) == 6) {
            static const int kRead[6] = {IDC_X_READ, IDC_Y_READ, IDC_Z_READ, IDC_PITCH_READ, IDC_ROLL_READ, IDC_HAND_READ};
            static const int kSet[6] = {IDC_X_SET, IDC_Y_SET, IDC_Z_SET, IDC_PITCH_SET, IDC_ROLL_SET, IDC_HAND_SET};
            double values[6];
            int i;
            values[0] = x * 0.1;
            values[1] = y * 0.1;
            values[2] = z * 0.1;
            values[3] = p * 0.1;
            values[4] = r * 0.1;
            values[5] = (double)(g / 10);
            for (i = 0; i < 6; ++i)
                ShowNumber(self, kRead[i], values[i]);
            if (IsDlgButtonChecked(self, IDC_REC) == BST_CHECKED)
                for (i = 0; i < 6; ++i)
                    ShowNumber(self, kSet[i], values[i]);
        }
    } else if (strstr(payload, "WMIT_D")) {
        SendDatagram(self, "WMCA_ITD");
    }
    if (!g_linked) {
        SetDlgItemTextA(self, IDC_STATUS, "Link to Robot OK!");
        g_linked = TRUE;
    }
}

static void OnNotice(HWND self, const char *text)
{
    int stream;
    if (sscanf(text, "APPLICATION " APP " STREAMS " ROBOT ":%d", &stream) == 1) {
        g_stream = stream;
    } else if (sscanf(text, "APPLICATION " APP " DATAGRAM " ROBOT ":%d", &stream) == 1 && stream == g_stream) {
        const char *payload = strchr(text, '$');
        if (payload)
            OnReport(self, payload);
    }
}

static void OnCopyData(HWND self, HWND from, const COPYDATASTRUCT *data)
{
    char text[1025];
    DWORD n;
    if (!g_skype || from != g_skype || !data || !data->lpData)
        return;
    n = data->cbData < 1024 ? data->cbData : 1024;
    memcpy(text, data->lpData, n);
    text[n] = '\0';
    OnNotice(self, text);
}

static BOOL ChooseFile(HWND self, BOOL open, char *path, DWORD cap)
{
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = self;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = cap;
    ofn.Flags = OFN_EXPLORER;
    path[0] = '\0';
    return open ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
}

static void Load(HWND self)
{
    char path[MAX_PATH], piece[120], line[160], note[52];
    HWND list = GetDlgItem(self, IDC_STEP_LIST);
    FILE *file;
    long size;
    int v[7];

    if (!ChooseFile(self, TRUE, path, sizeof path) || !(file = fopen(path, "r")))
        return;
    fseek(file, 0, SEEK_END);
    size = ftell(file);
    fseek(file, 0, SEEK_SET);

    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    /* The shortest line, "0,0,0,0,0,0,0\n", is 14 bytes. */
    SendMessageA(list, LB_INITSTORAGE, (WPARAM)(size / 14), (LPARAM)size);
    while (fgets(piece, sizeof piece, file)) {
        int n = sscanf(piece, "%d,%d,%d,%d,%d,%d,%d:%51s", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], note);
        if (strchr(piece, ':')) {
            if (n != 8)
                continue;
            snprintf(line, sizeof line, "%d,%d,%d,%d,%d,%d,%d:%s", v[0], v[1], v[2], v[3], v[4], v[5], v[6], note);
        } else {
            if (n < 7)
                continue;
            snprintf(line, sizeof line, "%d,%d,%d,%d,%d,%d,%d", v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
        }
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)line);
    }
    fclose(file);
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, NULL, NULL, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

static void Save(HWND self)
{
    char path[MAX_PATH + 8], line[256];
    HWND list = GetDlgItem(self, IDC_STEP_LIST);
    FILE *file;
    int count, i;

    if (!ChooseFile(self, FALSE, path, MAX_PATH))
        return;
    if (!strstr(path, ".txt"))
        strcat(path, ".txt");
    if (!(file = fopen(path, "w")))
        return;
    count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (i = 0; i < count; ++i) {
        if (SendMessageA(list, LB_GETTEXTLEN, i, 0) >= (LRESULT)sizeof line)
            continue;
        SendMessageA(list, LB_GETTEXT, i, (LPARAM)line);
        fprintf(file, "%s\n", line);
    }
    fclose(file);
}

static INT_PTR CALLBACK FloorProc(HWND self, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == g_attachMsg) {
        if (lParam == 0) {
            g_skype = (HWND)wParam;
            SetTimer(self, 1, 1000, NULL);
        }
        return TRUE;
    }
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowTextA(self, "Floor");
        SetWindowPos(self, NULL, 0, 0, 325, 640, SWP_NOMOVE | SWP_NOZORDER);
        SendMessageA(HWND_BROADCAST, g_discoverMsg, (WPARAM)self, 0);
        return TRUE;
    case WM_COPYDATA:
        OnCopyData(self, (HWND)wParam, (const COPYDATASTRUCT *)lParam);
        SetWindowLongPtrA(self, DWLP_MSGRESULT, 1);
        return TRUE;
    case WM_TIMER:
        SendDatagram(self, "WMCA_QD");
        SendDatagram(self, "WMCA_QU");
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LOAD: Load(self); return TRUE;
        case IDC_SAVE: Save(self); return TRUE;
        case IDCANCEL: EndDialog(self, 0); return TRUE;
        }
        break;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)previous;
    (void)commandLine;
    (void)show;
    g_attachMsg = RegisterWindowMessageA(kSkypeAttachMessageName);
    g_discoverMsg = RegisterWindowMessageA(kSkypeDiscoverMessageName);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CONTROL_PANEL), NULL, FloorProc, 0);
    return 0;
}
