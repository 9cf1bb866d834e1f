// Dialog data exchange: moving values between controls and members.
//
// A run goes through a window's DoDataExchange in its order. Loading (push)
// writes every member into its control; saving (pull) reads every control into
// its member and stops at the first control whose text is not a valid value:
// members earlier in the order have their new values, the rest keep theirs.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "String.h"
#include "winapi.h"

class CWnd;

class CDataExchange {
public:
    struct Failure { };

    CDataExchange(CWnd* dlgWnd, BOOL bSaveAndValidate) : m_pDlgWnd(dlgWnd), m_bSaveAndValidate(bSaveAndValidate) { }

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;

    HWND PrepareCtrl(int id);
    // Reports the control prepared last through the window's failure hook and
    // abandons the run.
    [[noreturn]] void Fail();

private:
    int m_idLastControl = 0;
};

void DDX_Text(CDataExchange* pDX, int id, double& value);
void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
void DDX_Check(CDataExchange* pDX, int id, int& value);
void DDX_Check(CDataExchange* pDX, int id, bool& value);
// Binds a control object to the control on the first exchange.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

// The text a double is shown as: the shortest general form with up to 15
// significant digits ("-90", "12.3").
CString FormatDouble(double value);
// A decimal number with optional blanks around it, as strtod reads it in the C
// locale, and nothing else: no empty text, no hex, no inf or nan, no overflow.
std::optional<double> ParseDouble(std::string_view text);
