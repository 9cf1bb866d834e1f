// Control wrappers: one method per control message, no logic of their own.
#pragma once
#include <cassert>

#include "Wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const
    {
        assert(m_hWnd);
        return int(SendMessage(BM_GETCHECK));
    }
    void SetCheck(int check)
    {
        assert(m_hWnd);
        SendMessage(BM_SETCHECK, WPARAM(check));
    }
    UINT GetState() const
    {
        assert(m_hWnd);
        return UINT(SendMessage(BM_GETSTATE));
    }
};

class CListBox : public CWnd {
public:
    int GetCount() const
    {
        assert(m_hWnd);
        return int(SendMessage(LB_GETCOUNT));
    }
    // -1 (LB_ERR) when nothing is selected.
    int GetCurSel() const
    {
        assert(m_hWnd);
        return int(SendMessage(LB_GETCURSEL));
    }
    // -1, or a position past the end, leaves nothing selected (and returns LB_ERR).
    int SetCurSel(int index)
    {
        assert(m_hWnd);
        return int(SendMessage(LB_SETCURSEL, WPARAM(index)));
    }
    // index -1 appends.
    int InsertString(int index, const char* text)
    {
        assert(m_hWnd);
        return int(SendMessage(LB_INSERTSTRING, WPARAM(index), LPARAM(text)));
    }
    int AddString(const char* text)
    {
        assert(m_hWnd);
        return int(SendMessage(LB_ADDSTRING, 0, LPARAM(text)));
    }
    // Returns the count left, or LB_ERR when index names no line.
    int DeleteString(int index)
    {
        assert(m_hWnd);
        return int(SendMessage(LB_DELETESTRING, WPARAM(index)));
    }
    void ResetContent()
    {
        assert(m_hWnd);
        SendMessage(LB_RESETCONTENT);
    }
    // Room for items more lines and bytes of text, ahead of adding them: one
    // allocation instead of one every few lines. LB_ERRSPACE when there is none.
    int InitStorage(int items, UINT bytes)
    {
        assert(m_hWnd);
        return int(SendMessage(LB_INITSTORAGE, WPARAM(items), LPARAM(bytes)));
    }
    int GetTextLen(int index) const
    {
        assert(m_hWnd);
        return int(SendMessage(LB_GETTEXTLEN, WPARAM(index)));
    }
    // Empty when index names no line.
    void GetText(int index, CString& text) const;
};

inline void CListBox::GetText(int index, CString& text) const
{
    int n = GetTextLen(index);
    if (n < 0) {
        text.Empty();
        return;
    }
    std::string buf(size_t(n) + 1, '\0');
    int got = int(SendMessage(LB_GETTEXT, WPARAM(index), LPARAM(buf.data())));
    buf.resize(size_t(got < 0 ? 0 : (got > n ? n : got)));
    text = CString(std::move(buf));
}
