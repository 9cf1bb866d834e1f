// Control ids of the harness's own fixture program.
#pragma once

#define IDD_FIXTURE 200

#define IDC_FX_BOX 1001
#define IDC_FX_STATUS 1002
#define IDC_FX_EDIT 1003
#define IDC_FX_OPEN 1004
#define IDC_FX_SAVE 1005
#define IDC_FX_LIST 1006
#define IDC_FX_CHECK 1007
#define IDC_FX_HOLD 1008
#define IDC_FX_DISABLED 1009
#define IDC_FX_SEND 1010

// The fixture's exit code after a close, to tell it from a kill.
#define FIXTURE_EXIT_CODE 7
