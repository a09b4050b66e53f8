// CWnd: a window handle and the message map that routes the window's messages to members.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

// One row of a message map. The handler unpacks the message into typed arguments, calls the
// member and says whether the message is handled; unhandled messages get the default processing.
struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;  // WM_COMMAND and WM_NOTIFY only: the notification code
    UINT nID;    // WM_COMMAND and WM_NOTIFY only: the control or command id
    bool (*pfn)(CWnd* wnd, WPARAM wParam, LPARAM lParam, LRESULT* result);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;  // ends with a row whose pfn is null
};

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }

    BOOL ShowWindow(int command);
    BOOL DestroyWindow();
    void SetWindowText(const char* text);
    std::string GetWindowText() const;  // the whole text, however long
    BOOL RedrawWindow(const RECT* update = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LONG GetStyle() const { return ::GetWindowLongA(m_hWnd, GWL_STYLE); }
    // Clears then sets style bits; the window is told of the change as it happens.
    void ModifyStyle(LONG remove, LONG add) { ::SetWindowLongA(m_hWnd, GWL_STYLE, (GetStyle() & ~remove) | add); }
    // Suspends and resumes drawing (WM_SETREDRAW); Invalidate asks for one repaint later.
    void SetRedraw(BOOL redraw = TRUE) { SendMessage(WM_SETREDRAW, static_cast<WPARAM>(redraw)); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }

    HWND m_hWnd = nullptr;

protected:
    // Routes one message through the maps, most derived first. True when a row handled it.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Called after the window's last message, its handle already let go: an object that lives no
    // longer than its window frees itself here.
    virtual void PostNcDestroy() {}

    // Notifications whose rows always leave the message to the default processing.
    void OnDestroy() {}
    void OnMove(int, int) {}
};

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                   \
    {                                                                                 \
        using ThisClass [[maybe_unused]] = theClass;                                  \
        using TheBaseClass = baseClass;                                               \
        static constexpr AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                          \
    {                                                                              \
        0, 0, 0, nullptr                                                           \
    }                                                                              \
    }                                                                              \
    ;                                                                              \
    static constexpr AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &map;                                                                   \
    }

// Rows. Each casts the window back to the class whose map holds the row.
#define ON_WM_DESTROY()                                        \
    {WM_DESTROY, 0, 0, [](CWnd* w, WPARAM, LPARAM, LRESULT*) { \
         static_cast<ThisClass*>(w)->OnDestroy();              \
         return false;                                         \
     }},
#define ON_WM_CLOSE()                                        \
    {WM_CLOSE, 0, 0, [](CWnd* w, WPARAM, LPARAM, LRESULT*) { \
         static_cast<ThisClass*>(w)->OnClose();              \
         return true;                                        \
     }},
#define ON_COMMAND(id, memberFxn)                                 \
    {WM_COMMAND, 0, (id), [](CWnd* w, WPARAM, LPARAM, LRESULT*) { \
         static_cast<ThisClass*>(w)->memberFxn();                 \
         return true;                                             \
     }},
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)
// WM_NOTIFY `code` from the child `id`: the handler gets the notification and sets the result.
#define ON_NOTIFY(code, id, memberFxn)                                                               \
    {WM_NOTIFY, static_cast<UINT>(code), (id), [](CWnd* w, WPARAM, LPARAM lParam, LRESULT* result) { \
         static_cast<ThisClass*>(w)->memberFxn(reinterpret_cast<NMHDR*>(lParam), result);            \
         return true;                                                                                \
     }},
#define ON_WM_MOVE()                                                                                                 \
    {WM_MOVE, 0, 0, [](CWnd* w, WPARAM, LPARAM lParam, LRESULT*) {                                                   \
         static_cast<ThisClass*>(w)->OnMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); \
         return false;                                                                                               \
     }},

// The handler gets the key flags and the cursor in client pixels; the message then goes on to
// the default processing.
#define ON_WM_MOUSEMOVE()                                                                    \
    {WM_MOUSEMOVE, 0, 0, [](CWnd* w, WPARAM wParam, LPARAM lParam, LRESULT*) {               \
         static_cast<ThisClass*>(w)->OnMouseMove(                                            \
             static_cast<UINT>(wParam),                                                      \
             POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}); \
         return false;                                                                       \
     }},
