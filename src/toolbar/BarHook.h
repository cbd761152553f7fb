// Thread hooks: one set of Windows hooks per thread (call-window-procedure,
// CBT, get-message), shared by every object of the framework that must hear
// about activation, position changes, window destruction or retrieved
// messages of its thread. A hook kind is installed while some registrant
// needs it.
#pragma once

#include "gcl/rtl/WinApi.h"

#include "gcl/rtl/Init.h"
#include "gcl/rtl/Sets.h"

namespace qelvo {

GCL_ENUM(TThreadHookCode, thcActivate, thcActivateApp, thcWindowPosChanged, thcPreDestroy, thcGetMessage)
using TThreadHookCodes = gcl::TSet<TThreadHookCode>;

// The three hook kinds, in the order the per-thread tables keep them.
GCL_ENUM(TThreadHookKind, thkCallWndProc, thkCBT, thkGetMessage)

// A callback: WParam and LParam are the watched message's (thcActivate,
// thcActivateApp, thcWindowPosChanged), 0 and 0 for thcPreDestroy (Wnd is
// the window about to be destroyed), and for thcGetMessage the remove flag
// and the MSG being retrieved (Wnd 0). Exceptions are caught and dropped;
// the remaining callbacks of that event are then skipped.
using TThreadHookProc = void (*)(TThreadHookCode Code, HWND Wnd, WPARAM WParam, LPARAM LParam);

// Registers Proc for the calling thread on behalf of User (any pointer that
// identifies the registrant). Registering the same pair again only adds
// codes' hook kinds; the codes a procedure is called for are those of its
// first registration.
void InstallThreadHook(void* User, TThreadHookProc Proc, TThreadHookCodes Codes);
// Ends the registration of (User, Proc); an unknown pair is ignored. May be
// called from inside a callback.
void RemoveThreadHook(void* User, TThreadHookProc Proc);
// The calling thread's hook of that kind, or null when it is not installed.
HHOOK ThreadHookHandle(TThreadHookKind Kind);

// Its finalisation unhooks every kind of the finalising thread.
extern gcl::TUnit BarHookUnit;

} // namespace qelvo
