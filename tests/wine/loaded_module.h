// The module as a host sees it: loaded at run time, reached through its one export.
#pragma once

#include <windows.h>

#include <brin/ITinyFactory.h>

HMODULE LoadToolWindows();             // loads toolwindows.dll from beside the test program, once
void UnloadToolWindows();              // FreeLibrary, for the unload tests; the next call loads again
GetTinyFactoryFn TinyFactoryExport();  // null when not exported
brin::ITinyFactory* Factory();

// Creates a window by name as interface type I (null when the factory returns null), and
// reports the top-level window it made.
template <class I>
I* CreateWindowAs(const char* name, HWND* made = nullptr);

#include <gtest/gtest.h>

#include "window_finder.h"

// Calls an operation the way a host compiled elsewhere does: by its slot in the object's table
// alone. Fn is the operation's type without the object, e.g. void(int) or void(const char*, ...).
// On i686 a member function is thiscall (the object in ECX, the callee pops the arguments), a
// variadic one cdecl with the object first on the stack; on x86_64 both take the object as the
// first argument of the one calling convention.
#if defined(__i386__)
#define TOOLWINDOWS_MEMBER_CALL __attribute__((thiscall))
#else
#define TOOLWINDOWS_MEMBER_CALL
#endif

template <class Fn>
struct SlotCall;

template <class R, class... Args>
struct SlotCall<R(Args...)> {
    template <class Self>
    static R On(Self* self, size_t slot, Args... args)
    {
        void* const* slots = *reinterpret_cast<void* const* const*>(self);
        return reinterpret_cast<R(TOOLWINDOWS_MEMBER_CALL*)(Self*, Args...)>(slots[slot])(self, args...);
    }
};

template <class R, class... Args>
struct SlotCall<R(Args..., ...)> {
    template <class Self, class... Rest>
    static R On(Self* self, size_t slot, Args... args, Rest... rest)
    {
        void* const* slots = *reinterpret_cast<void* const* const*>(self);
        return reinterpret_cast<R (*)(Self*, Args..., ...)>(slots[slot])(self, args..., rest...);
    }
};

template <class Fn, class Self, class... Given>
decltype(auto) CallSlot(Self* self, size_t slot, Given... given)
{
    return SlotCall<Fn>::On(self, slot, given...);
}

// The module's hidden parent: a hidden, unowned top-level dialog captioned "Dummy" with one
// static line.
inline testing::AssertionResult IsHiddenParent(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return testing::AssertionFailure() << "no window";
    const std::vector<HWND> children = Children(hwnd);
    if (IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER) || (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) ||
        ClassName(hwnd) != "#32770" || WindowText(hwnd) != "Dummy" || children.size() != 1 ||
        ClassName(children[0]) != "Static" || WindowText(children[0]) != "Dummy Window !!!")
        return testing::AssertionFailure()
               << "not the hidden parent: class " << ClassName(hwnd) << ", caption '" << WindowText(hwnd)
               << "', visible " << IsWindowVisible(hwnd) << ", " << children.size() << " children";
    return testing::AssertionSuccess();
}

template <class I>
I* CreateWindowAs(const char* name, HWND* made)
{
    const std::set<HWND> before = ThreadWindows();
    I* window = static_cast<I*>(Factory()->Create(name));
    if (made)
        *made = NewOwnedWindow(before);
    return window;
}
