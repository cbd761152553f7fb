// The calling thread's get-message hook (WH_GETMESSAGE), shared by the
// filters of every layer: one system hook however many filters there
// are, so that a message taken from the queue passes one link of the
// hook chain (under Wine each link is a round trip to the server).
// Filters run newest first, as hooks set one after the other would, and
// each sees what the ones before it made of the message.
#pragma once

#include "gcl/rtl/WinApi.h"

namespace gcl {

// Called as a WH_GETMESSAGE hook procedure is, for codes of 0 and more;
// lParam points to the MSG. The shared hook calls the next hook itself.
// An exception that leaves a filter goes to the application's handler.
using TGetMessageFilter = void (*)(int code, WPARAM wParam, LPARAM lParam);

// Adds a filter for the calling thread (adding one already there does
// nothing). False when the system refused the hook or the thread holds
// the most filters it may; GetLastError says why.
bool AddGetMessageFilter(TGetMessageFilter filter);
// Removes a filter of the calling thread; the system hook goes with the
// last. A filter removed while messages are filtered is not called again.
void RemoveGetMessageFilter(TGetMessageFilter filter) noexcept;
// The system hook while the calling thread has filters, else null.
HHOOK GetMessageHookHandle() noexcept;

} // namespace gcl
