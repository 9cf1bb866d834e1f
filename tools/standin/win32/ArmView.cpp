#include "ArmView.h"
#include "WindowClass.h"

#include <string>

#include "ArmSketch.h"

namespace standin {
namespace {

constexpr char kClass[] = "OrvantaArmView";
constexpr int kTextHeight = 56;  // the pose line, and the joints on up to two lines
constexpr int kLabelHeight = 18;
constexpr int kGap = 8;

constexpr COLORREF kPaper = RGB(252, 252, 248);
constexpr COLORREF kFrame = RGB(190, 190, 190);
constexpr COLORREF kGuide = RGB(215, 220, 230);
constexpr COLORREF kTable = RGB(150, 110, 60);
constexpr COLORREF kColumn = RGB(120, 120, 120);
constexpr COLORREF kLink = RGB(40, 80, 160);
constexpr COLORREF kJoint = RGB(20, 20, 20);
constexpr COLORREF kJaw = RGB(190, 40, 30);
constexpr COLORREF kInk = RGB(30, 30, 30);

POINT P(Point p) { return POINT{static_cast<LONG>(p.x + 0.5), static_cast<LONG>(p.y + 0.5)}; }

class Pen {
public:
    Pen(HDC dc, int width, COLORREF colour, int style = PS_SOLID)
        : m_dc(dc), m_pen(CreatePen(style, width, colour)), m_old(SelectObject(dc, m_pen))
    {
    }
    ~Pen()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_pen);
    }
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

private:
    HDC m_dc;
    HPEN m_pen;
    HGDIOBJ m_old;
};

void Line(HDC dc, Point a, Point b)
{
    const POINT pa = P(a), pb = P(b);
    MoveToEx(dc, pa.x, pa.y, nullptr);
    LineTo(dc, pb.x, pb.y);
}

void Dot(HDC dc, Point c, int radius)
{
    const POINT p = P(c);
    Ellipse(dc, p.x - radius, p.y - radius, p.x + radius + 1, p.y + radius + 1);
}

void Label(HDC dc, int x, int y, const std::string& text)
{
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void Frame(HDC dc, const Rect& r)
{
    Pen pen(dc, 1, kFrame);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
              static_cast<int>(r.bottom));
    SelectObject(dc, oldBrush);
}

// The links from the shoulder out, then the joints on top.
void Links(HDC dc, const std::array<Point, 5>& points, int width)
{
    {
        Pen pen(dc, width, kLink);
        for (std::size_t i = 1; i + 1 < points.size(); ++i)
            Line(dc, points[i], points[i + 1]);
    }
    Pen pen(dc, 1, kJoint);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    for (std::size_t i = 1; i + 1 < points.size(); ++i)
        Dot(dc, points[i], 4);
    SelectObject(dc, oldBrush);
}

}  // namespace

ArmView* ArmView::Create(HWND parent, int id)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    EnsureWindowClass(kClass, WindowProc, LoadCursor(nullptr, IDC_ARROW));
    auto* view = new ArmView;
    const HWND hwnd = CreateWindowExA(WS_EX_CLIENTEDGE, kClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, view);
    if (!hwnd) {
        delete view;
        return nullptr;
    }
    return view;
}

void ArmView::Show(const robotsim::Joints& j)
{
    const robotsim::Joints& o = m_joints;
    if (j.base == o.base && j.shoulder == o.shoulder && j.elbow == o.elbow && j.wrist == o.wrist &&
        j.wristRot == o.wristRot && j.grip == o.grip)
        return;
    m_joints = j;
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void ArmView::Paint(HDC dc, const RECT& client) const
{
    const int w = client.right, h = client.bottom;
    HBRUSH paper = CreateSolidBrush(kPaper);
    FillRect(dc, &client, paper);
    DeleteObject(paper);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kInk);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));

    // Two panels one above the other, the numbers underneath.
    const double drawHeight = h - kTextHeight - 2 * (kLabelHeight + kGap);
    const double half = drawHeight / 2;
    const Rect top{kGap, kLabelHeight + kGap, double(w - kGap), kLabelHeight + kGap + half};
    const Rect side{kGap, top.bottom + kLabelHeight + kGap, double(w - kGap), top.bottom + kLabelHeight + kGap + half};
    Label(dc, kGap, kGap / 2, "Top view");
    Label(dc, kGap, static_cast<int>(top.bottom) + kGap / 2, "Side view");
    Frame(dc, top);
    Frame(dc, side);
    if (half < 20 || w < 40) {
        SelectObject(dc, oldFont);
        return;
    }

    const ArmSketch s = Sketch(m_joints, top, side);

    // Top view: the reach, the axes, the arm.
    {
        Pen guide(dc, 1, kGuide, PS_DOT);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        const POINT c = P(s.reachCentre);
        const int r = static_cast<int>(s.reachRadius);
        Ellipse(dc, c.x - r, c.y - r, c.x + r, c.y + r);
        SelectObject(dc, oldBrush);
        Line(dc, Point{s.reachCentre.x - s.reachRadius, s.reachCentre.y},
             Point{s.reachCentre.x + s.reachRadius, s.reachCentre.y});
        Line(dc, Point{s.reachCentre.x, s.reachCentre.y - s.reachRadius},
             Point{s.reachCentre.x, s.reachCentre.y + s.reachRadius});
    }
    Label(dc, static_cast<int>(s.reachCentre.x + s.reachRadius) + 2, static_cast<int>(s.reachCentre.y) - 16, "+X");
    Label(dc, static_cast<int>(s.reachCentre.x) + 4, static_cast<int>(s.reachCentre.y - s.reachRadius) - 2, "+Y");
    {
        Pen column(dc, 1, kColumn);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(LTGRAY_BRUSH));
        Dot(dc, s.top[0], 10);
        SelectObject(dc, oldBrush);
    }
    Links(dc, s.top, 5);
    {
        Pen jaw(dc, 2, kJaw);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Dot(dc, s.top[4], 5);
        SelectObject(dc, oldBrush);
    }

    // Side view: the table, the column, the arm and the open or closed jaws.
    {
        Pen table(dc, 3, kTable);
        Line(dc, s.tableLeft, s.tableRight);
    }
    {
        Pen column(dc, 9, kColumn);
        Line(dc, s.side[0], s.side[1]);
    }
    Links(dc, s.side, 6);
    {
        Pen jaw(dc, 3, kJaw);
        Line(dc, s.side[3], Point{(s.jawA[0].x + s.jawB[0].x) / 2, (s.jawA[0].y + s.jawB[0].y) / 2});
        Line(dc, s.jawA[0], s.jawB[0]);
        Line(dc, s.jawA[0], s.jawA[1]);
        Line(dc, s.jawB[0], s.jawB[1]);
    }

    const robotsim::Pose pose = robotsim::Forward(m_joints);
    Label(dc, kGap, h - kTextHeight + 2, PoseText(pose));
    const std::string joints = JointText(m_joints);
    RECT jointsRect{kGap, h - kTextHeight + 20, w - kGap, h};
    DrawTextA(dc, joints.c_str(), static_cast<int>(joints.size()), &jointsRect, DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK ArmView::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* view = static_cast<ArmView*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        view->m_hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<ArmView*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_ERASEBKGND: return 1;  // painted whole, off screen
    case WM_SIZE: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        if (view && client.right > 0 && client.bottom > 0) {
            // Off-screen first, so the moving arm does not flicker.
            HDC memory = CreateCompatibleDC(dc);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
            HGDIOBJ old = SelectObject(memory, bitmap);
            view->Paint(memory, client);
            BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteObject(bitmap);
            DeleteDC(memory);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        delete view;
        return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace standin
