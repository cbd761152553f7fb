// Thread hooks: the per-thread hook tables, registration and the three hook
// procedures that pass events on to the registered callbacks.
#include "toolbar/BarHook.h"

#include <algorithm>
#include <vector>

#include "gcl/MessageHooks.h"
#include "gcl/rtl/SysInfo.h"
#include "gcl/rtl/ThreadVars.h"

namespace qelvo {

namespace {

struct TUserNode {
    void* User;
    unsigned Kinds;   // bit n: TThreadHookKind n held by this user
};

struct THookRecord {
    TThreadHookProc Proc;
    TThreadHookCodes Codes;
    std::vector<TUserNode> Users;
    bool Removed = false;
};

struct TThreadHooks {
    HHOOK Handles[3] = {};
    int Counts[3] = {};
    std::vector<THookRecord*> List;
    // Records removed while callbacks run are freed when the outermost
    // dispatch ends, so a walk never meets a freed record.
    int DispatchDepth = 0;
    std::vector<THookRecord*> Removed;
};

// The calling thread's tables; created on first registration and freed when
// nothing is registered, installed or being dispatched.
struct TThreadHooksRef {
    TThreadHooks* Hooks;
};
constinit thread_local gcl::TThreadVar<TThreadHooksRef> GThreadHooks;

constexpr int HookIds[3] = {WH_CALLWNDPROC, WH_CBT, WH_GETMESSAGE};

unsigned KindsOf(TThreadHookCodes codes) {
    unsigned kinds = 0;
    if (codes.Contains(thcActivate) || codes.Contains(thcActivateApp) || codes.Contains(thcWindowPosChanged))
        kinds |= 1u << thkCallWndProc;
    if (codes.Contains(thcPreDestroy)) kinds |= 1u << thkCBT;
    if (codes.Contains(thcGetMessage)) kinds |= 1u << thkGetMessage;
    return kinds;
}

void ReleaseIfIdle() {
    TThreadHooks* hooks = GThreadHooks->Hooks;
    if (!hooks || hooks->DispatchDepth > 0 || !hooks->List.empty()) return;
    for (HHOOK h : hooks->Handles)
        if (h) return;
    GThreadHooks->Hooks = nullptr;
    delete hooks;
}

void Dispatch(TThreadHookCode code, HWND wnd, WPARAM wParam, LPARAM lParam) {
    TThreadHooks* hooks = GThreadHooks->Hooks;
    if (!hooks || hooks->List.empty()) return;
    ++hooks->DispatchDepth;
    std::vector<THookRecord*> snapshot = hooks->List;
    try {
        for (THookRecord* rec : snapshot)
            if (!rec->Removed && rec->Codes.Contains(code)) rec->Proc(code, wnd, wParam, lParam);
    } catch (...) {
        // A failing callback ends this event's walk; the hook chain goes on.
    }
    if (--hooks->DispatchDepth == 0) {
        for (THookRecord* rec : hooks->Removed) delete rec;
        hooks->Removed.clear();
        ReleaseIfIdle();
    }
}

HHOOK CurrentHandle(TThreadHookKind kind) {
    TThreadHooks* hooks = GThreadHooks->Hooks;
    return hooks ? hooks->Handles[kind] : nullptr;
}

LRESULT CALLBACK CallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK self = CurrentHandle(thkCallWndProc);
    if (code == HC_ACTION && GThreadHooks->Hooks) {
        const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        switch (cwp->message) {
        case WM_ACTIVATE: Dispatch(thcActivate, cwp->hwnd, cwp->wParam, cwp->lParam); break;
        case WM_ACTIVATEAPP: Dispatch(thcActivateApp, cwp->hwnd, cwp->wParam, cwp->lParam); break;
        case WM_WINDOWPOSCHANGED: Dispatch(thcWindowPosChanged, cwp->hwnd, cwp->wParam, cwp->lParam); break;
        default: break;
        }
    }
    return CallNextHookEx(self, code, wParam, lParam);
}

LRESULT CALLBACK CBTHook(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK self = CurrentHandle(thkCBT);
    if (code == HCBT_DESTROYWND && GThreadHooks->Hooks) Dispatch(thcPreDestroy, reinterpret_cast<HWND>(wParam), 0, 0);
    return CallNextHookEx(self, code, wParam, lParam);
}

// Retrieved messages come through the thread's shared get-message hook.
void GetMessageFilter(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && GThreadHooks->Hooks) Dispatch(thcGetMessage, nullptr, wParam, lParam);
}

constexpr HOOKPROC HookProcs[2] = {CallWndProcHook, CBTHook};

HHOOK SetHook(int kind) {
    if (kind == thkGetMessage)
        return gcl::AddGetMessageFilter(&GetMessageFilter) ? gcl::GetMessageHookHandle() : nullptr;
    return gcl::Win32Platform == gcl::PlatformWin32NT
               ? SetWindowsHookExW(HookIds[kind], HookProcs[kind], nullptr, GetCurrentThreadId())
               : SetWindowsHookExA(HookIds[kind], HookProcs[kind], nullptr, GetCurrentThreadId());
}

void Unhook(int kind, HHOOK handle) noexcept {
    if (kind == thkGetMessage) gcl::RemoveGetMessageFilter(&GetMessageFilter);
    else UnhookWindowsHookEx(handle);
}

void Acquire(TThreadHooks& hooks, TUserNode& node, unsigned kinds) {
    for (int k = 0; k < 3; ++k) {
        unsigned bit = 1u << k;
        if ((kinds & bit) && !(node.Kinds & bit)) {
            ++hooks.Counts[k];
            node.Kinds |= bit;
        }
    }
    for (int k = 0; k < 3; ++k) {
        if (!(node.Kinds & (1u << k)) || hooks.Handles[k]) continue;
        hooks.Handles[k] = SetHook(k);
    }
}

THookRecord* FindRecord(TThreadHooks& hooks, TThreadHookProc proc) {
    for (THookRecord* rec : hooks.List)
        if (rec->Proc == proc) return rec;
    return nullptr;
}

void UnhookAll() noexcept {
    TThreadHooks* hooks = GThreadHooks->Hooks;
    if (!hooks) return;
    for (int k = 0; k < 3; ++k) {
        if (hooks->Handles[k]) Unhook(k, hooks->Handles[k]);
        hooks->Handles[k] = nullptr;
    }
}

} // namespace

void InstallThreadHook(void* User, TThreadHookProc Proc, TThreadHookCodes Codes) {
    if (!Proc) return;
    if (!GThreadHooks->Hooks) GThreadHooks->Hooks = new TThreadHooks;
    TThreadHooks& hooks = *GThreadHooks->Hooks;
    THookRecord* rec = FindRecord(hooks, Proc);
    TUserNode* node = nullptr;
    if (rec) {
        auto it = std::find_if(rec->Users.begin(), rec->Users.end(), [&](const TUserNode& n) { return n.User == User; });
        if (it == rec->Users.end()) it = rec->Users.insert(rec->Users.begin(), TUserNode{User, 0});
        node = &*it;
    } else {
        rec = new THookRecord{Proc, Codes, {TUserNode{User, 0}}};
        hooks.List.push_back(rec);
        node = &rec->Users.front();
    }
    Acquire(hooks, *node, KindsOf(Codes));
}

void RemoveThreadHook(void* User, TThreadHookProc Proc) {
    TThreadHooks* hooks = GThreadHooks->Hooks;
    if (!hooks) return;
    THookRecord* rec = FindRecord(*hooks, Proc);
    if (!rec) return;
    auto it = std::find_if(rec->Users.begin(), rec->Users.end(), [&](const TUserNode& n) { return n.User == User; });
    if (it == rec->Users.end()) return;
    unsigned kinds = it->Kinds;
    rec->Users.erase(it);
    if (rec->Users.empty()) {
        hooks->List.erase(std::find(hooks->List.begin(), hooks->List.end(), rec));
        if (hooks->DispatchDepth > 0) {
            rec->Removed = true;
            hooks->Removed.push_back(rec);
        } else {
            delete rec;
        }
    }
    for (int k = 0; k < 3; ++k) {
        if (!(kinds & (1u << k))) continue;
        if (--hooks->Counts[k] == 0 && hooks->Handles[k]) {
            Unhook(k, hooks->Handles[k]);
            hooks->Handles[k] = nullptr;
        }
    }
    ReleaseIfIdle();
}

HHOOK ThreadHookHandle(TThreadHookKind Kind) { return CurrentHandle(Kind); }

gcl::TUnit BarHookUnit{"BarHook", nullptr, &UnhookAll};

} // namespace qelvo
