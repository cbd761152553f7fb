// The shared get-message hook: a per-thread list of filters behind one
// WH_GETMESSAGE hook.
#include "gcl/MessageHooks.h"

#include "gcl/Controls.h"
#include "gcl/rtl/ThreadVars.h"

namespace gcl {

namespace {

constexpr int MaxFilters = 8;

struct TGetMessageFilters {
    HHOOK Hook;
    int Count;
    TGetMessageFilter Items[MaxFilters];   // oldest first
};
constinit thread_local TThreadVar<TGetMessageFilters> GFilters;

int IndexOf(const TGetMessageFilters& filters, TGetMessageFilter filter) {
    for (int i = 0; i < filters.Count; ++i)
        if (filters.Items[i] == filter) return i;
    return -1;
}

LRESULT CALLBACK SharedGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0) {
        // A copy: filters may come and go while the others run.
        const TGetMessageFilters snapshot = GFilters.Get();
        for (int i = snapshot.Count - 1; i >= 0; --i) {
            const TGetMessageFilter filter = snapshot.Items[i];
            if (IndexOf(GFilters.Get(), filter) < 0) continue;
            try {
                filter(code, wParam, lParam);
            } catch (...) {
                HandleGuardedException(nullptr);
            }
        }
    }
    return CallNextHookEx(GFilters->Hook, code, wParam, lParam);
}

} // namespace

bool AddGetMessageFilter(TGetMessageFilter filter) {
    if (!filter) return true;
    TGetMessageFilters& filters = GFilters.Get();
    if (IndexOf(filters, filter) >= 0) return true;
    if (filters.Count == MaxFilters) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (!filters.Hook) {
        filters.Hook = SetWindowsHookExW(WH_GETMESSAGE, &SharedGetMessageHook, nullptr, GetCurrentThreadId());
        if (!filters.Hook) return false;
    }
    filters.Items[filters.Count++] = filter;
    return true;
}

void RemoveGetMessageFilter(TGetMessageFilter filter) noexcept {
    TGetMessageFilters& filters = GFilters.Get();
    const int i = IndexOf(filters, filter);
    if (i < 0) return;
    for (int k = i + 1; k < filters.Count; ++k) filters.Items[k - 1] = filters.Items[k];
    filters.Items[--filters.Count] = nullptr;
    if (filters.Count == 0 && filters.Hook) {
        UnhookWindowsHookEx(filters.Hook);
        filters.Hook = nullptr;
    }
}

HHOOK GetMessageHookHandle() noexcept { return GFilters->Hook; }

} // namespace gcl
