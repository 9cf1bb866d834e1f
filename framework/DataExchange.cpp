#include "DataExchange.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Wnd.h"

HWND CDataExchange::PrepareCtrl(int id)
{
    m_idLastControl = id;
    return ws::GetDlgItem(m_pDlgWnd->m_hWnd, id);
}

void CDataExchange::Fail()
{
    m_pDlgWnd->OnDataExchangeFailure(m_idLastControl);
    throw Failure{};
}

CString FormatDouble(double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return CString(buf);
}

std::optional<double> ParseDouble(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);

    // [sign] digits [. digits] [e [sign] digits], with at least one mantissa digit.
    size_t i = 0;
    auto digits = [&] {
        size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (digits() == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;

    std::string copy(text);
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || (errno == ERANGE && std::isinf(value)))
        return std::nullopt;
    return value;
}

void DDX_Text(CDataExchange* pDX, int id, double& value)
{
    HWND ctrl = pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate) {
        std::optional<double> read = ParseDouble(WindowTextOf(ctrl).str());
        if (!read)
            pDX->Fail();
        value = *read;
    } else {
        ws::SetControlText(ctrl, FormatDouble(value));
    }
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    HWND ctrl = pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate) {
        value = WindowTextOf(ctrl);
    } else {
        ws::SetControlText(ctrl, value);
    }
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value)
{
    CString text(value.c_str());
    DDX_Text(pDX, id, text);
    value = text.str();
}

void DDX_Check(CDataExchange* pDX, int id, bool& value)
{
    int checked = value ? 1 : 0;
    DDX_Check(pDX, id, checked);
    value = checked != 0;
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    HWND ctrl = pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate)
        value = ws::SendMessage(ctrl, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    else
        ws::SetControlCheck(ctrl, value ? BST_CHECKED : BST_UNCHECKED);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    HWND ctrl = pDX->PrepareCtrl(id);
    if (!control.m_hWnd && ctrl)
        control.SubclassWindow(ctrl);
}
