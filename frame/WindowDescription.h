// What sets one tool window apart from the others, in one place: the factory makes the window
// from it and the frame's Show, Hide, teardown and listener calls follow it.
#pragma once

// How the window's calls out to the host's listener are made (see CToolWindow::CallGuarded and
// CallUnguarded).
enum class ListenerCalls {
    Guarded,    // the window holds a reference of its own across each call
    Unguarded,  // no reference is held: a host that drops its last one inside the call frees the window there
};

struct WindowDescription {
    const char* name = nullptr;    // as the factory matches it: exactly, case included
    unsigned templateId = 0;       // the dialog template of the module it is made from
    bool shownAtCreation = false;  // shown by the factory (its template carries WS_VISIBLE as well)
    bool pumps = true;             // Show, Hide and the teardown dispatch the window's pending messages
    // Whether the teardown of a window whose dialog the host destroyed by other means still pumps:
    // with no handle left, that pump takes every message of the thread.
    bool pumpsWhenWindowGone = true;
    ListenerCalls listenerCalls = ListenerCalls::Guarded;
};

// Each window's description is an inline constexpr variable declared before its class, which
// takes it by reference: one object for the whole program, so one CToolWindow specialisation.
// This one is for a window that no factory makes (a test's own): nameless, without a template.
inline constexpr WindowDescription kUnlistedWindow{};
