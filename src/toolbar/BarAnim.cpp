// Popup animation: the per-thread record, the worker that keeps time, the
// fade and slide steps and the clean end (full image, no layering, no
// region), also when an animation is cancelled half-way.
#include "toolbar/BarAnim.h"
#include "toolbar/BarCommon.h"

#include "gcl/rtl/Libraries.h"
#include "gcl/rtl/ThreadVars.h"

namespace qelvo {

namespace {

using TUpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

gcl::TLibraryProc<TUpdateLayeredWindow> UpdateLayeredWindowProc{BarUser32Library, "UpdateLayeredWindow"};

// Shared with the worker: it writes CurStep, LastPos, Finished and
// StepPending; this thread writes Terminate and clears StepPending.
struct TAnimateData {
    LONG AnimNumber;
    HWND Wnd;
    LONG Duration;
    bool Blend;
    volatile LONG CurStep;
    HDC ScreenDC;
    HDC BmpDC;
    HBITMAP Bmp;
    HGDIOBJ OldBmp;
    RECT ClientRect;
    SIZE Size;
    POINT LastPos;
    uint8_t Direction;
    volatile LONG Terminate;
    volatile LONG Finished;
    volatile LONG StepPending;
};

struct TAnimThreadState {
    TAnimateData Data;
    LONG Counter;
    HANDLE Thread;
};

constinit thread_local gcl::TThreadVar<TAnimThreadState> AnimState;

LONG Read(volatile LONG& v) noexcept { return InterlockedCompareExchange(&v, 0, 0); }

DWORD WINAPI AnimateThreadProc(LPVOID Param) noexcept {
    auto* data = static_cast<TAnimateData*>(Param);
    const DWORD start = GetTickCount();
    const LONG base = Read(data->CurStep);
    DWORD lastRound = start;
    while (Read(data->Terminate) == 0) {
        const LONG elapsed = static_cast<LONG>(GetTickCount() - start);
        if (elapsed < 0 || elapsed >= data->Duration) break;
        const LONG step = elapsed * 255 / data->Duration + base;
        if (step < 0 || step >= 255) break;
        POINT p{};
        if (GetCursorPos(&p) && (p.x != data->LastPos.x || p.y != data->LastPos.y)) {
            if (PtInRect(&data->ClientRect, p)) break;
            data->LastPos = p;
        }
        if (step > Read(data->CurStep)) {
            InterlockedExchange(&data->CurStep, step);
            if (InterlockedExchange(&data->StepPending, 1) == 0)
                PostMessageA(data->Wnd, WM_ANIM_STEP, 0, data->AnimNumber);
        }
        while (GetTickCount() - lastRound < 10) Sleep(5);
        lastRound = GetTickCount();
    }
    InterlockedExchange(&data->Finished, -1);
    PostMessageA(data->Wnd, WM_ANIM_STEP, 0, data->AnimNumber);
    return 0;
}

BLENDFUNCTION BlendOf(LONG alpha) noexcept {
    BLENDFUNCTION blend{};
    blend.BlendOp = AC_SRC_OVER;
    blend.SourceConstantAlpha = static_cast<BYTE>(alpha);
    return blend;
}

// Puts the final image on screen and releases the snapshot.
void FinishPopupAnimation() noexcept {
    TAnimateData& d = AnimState->Data;
    if (!d.Wnd) return;
    const HWND wnd = d.Wnd;
    if (d.Blend) {
        SetWindowLongA(wnd, GWL_EXSTYLE, GetWindowLongA(wnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    } else {
        SetWindowRgn(wnd, nullptr, FALSE);
    }
    if (d.ScreenDC && d.BmpDC) BitBlt(d.ScreenDC, 0, 0, d.Size.cx, d.Size.cy, d.BmpDC, 0, 0, SRCCOPY);
    if (d.BmpDC) {
        SelectObject(d.BmpDC, d.OldBmp);
        DeleteDC(d.BmpDC);
    }
    if (d.Bmp) DeleteObject(d.Bmp);
    if (d.ScreenDC) ReleaseDC(wnd, d.ScreenDC);
    d.Wnd = nullptr;
    d.BmpDC = nullptr;
    d.Bmp = nullptr;
    d.ScreenDC = nullptr;
    SendNotifyMessageA(wnd, WM_ANIM_DONE, 0, 0);
}

} // namespace

bool PopupAnimationRunning(HWND Wnd) noexcept {
    return AnimState->Thread && (!Wnd || AnimState->Data.Wnd == Wnd);
}

void CancelPopupAnimation(HWND Wnd) {
    TAnimThreadState& s = *AnimState;
    if (!s.Thread || (Wnd && s.Data.Wnd != Wnd)) return;
    InterlockedExchange(&s.Data.Terminate, -1);
    WaitForSingleObject(s.Thread, INFINITE);
    CloseHandle(s.Thread);
    s.Thread = nullptr;
    FinishPopupAnimation();
}

void StartPopupAnimation(HWND Wnd, bool Fade, uint8_t Direction) {
    CancelPopupAnimation(nullptr);
    TAnimThreadState& s = *AnimState;
    ++s.Counter;
    s.Data = TAnimateData{};
    TAnimateData& d = s.Data;
    d.AnimNumber = s.Counter;
    d.Wnd = Wnd;
    d.Blend = Fade && UpdateLayeredWindowProc.Get() != nullptr;
    d.Direction = Direction;
    GetCursorPos(&d.LastPos);
    GetClientRect(Wnd, &d.ClientRect);
    MapWindowPoints(Wnd, nullptr, reinterpret_cast<POINT*>(&d.ClientRect), 2);
    RECT wr{};
    GetWindowRect(Wnd, &wr);
    d.Size = SIZE{wr.right - wr.left, wr.bottom - wr.top};

    d.ScreenDC = GetDCEx(Wnd, nullptr, DCX_WINDOW | DCX_CACHE);
    d.Bmp = CreateCompatibleBitmap(d.ScreenDC, d.Size.cx, d.Size.cy);
    d.BmpDC = CreateCompatibleDC(d.ScreenDC);
    d.OldBmp = SelectObject(d.BmpDC, d.Bmp);
    SendMessageA(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(d.BmpDC),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);

    if (d.Blend) {
        SetWindowLongA(Wnd, GWL_EXSTYLE, GetWindowLongA(Wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        d.Duration = 175;
        d.CurStep = 40;
        POINT pos{wr.left, wr.top};
        POINT src{0, 0};
        BLENDFUNCTION blend = BlendOf(d.CurStep);
        UpdateLayeredWindowProc.Get()(Wnd, nullptr, &pos, &d.Size, d.BmpDC, &src, 0, &blend, ULW_ALPHA);
    } else {
        d.Duration = 150;
        d.CurStep = 0;
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        if (!SetWindowRgn(Wnd, rgn, FALSE)) DeleteObject(rgn);
    }
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW |
                     SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS);

    HANDLE thread = CreateThread(nullptr, 0, &AnimateThreadProc, &d, CREATE_SUSPENDED, nullptr);
    if (!thread) {
        FinishPopupAnimation();
        return;
    }
    s.Thread = thread;
    ResumeThread(thread);
}

void StepPopupAnimation(const gcl::TMessage& Message) {
    TAnimThreadState& s = *AnimState;
    TAnimateData& d = s.Data;
    if (!s.Thread || static_cast<LONG>(Message.LParam) != d.AnimNumber) return;
    if (Read(d.Finished)) {
        // The worker has ended: finish and stop here, the snapshot is gone.
        CancelPopupAnimation(d.Wnd);
        return;
    }
    const LONG step = Read(d.CurStep);
    if (d.Blend) {
        BLENDFUNCTION blend = BlendOf(step);
        UpdateLayeredWindowProc.Get()(d.Wnd, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &blend, ULW_ALPHA);
    } else {
        const int w = d.Size.cx;
        const int h = d.Size.cy;
        int dx = 0;
        int dy = 0;
        if (d.Direction & 4) dy = MulDiv(h, step, 255) - h;
        else if (d.Direction & 8) dy = h - MulDiv(h, step, 255);
        if (d.Direction & 2) dx = MulDiv(w, step, 255) - w;
        else if (d.Direction & 1) dx = w - MulDiv(w, step, 255);
        SetWindowRgn(d.Wnd, CreateRectRgn(dx, dy, dx + w, dy + h), FALSE);
        BitBlt(d.ScreenDC, dx, dy, w, h, d.BmpDC, 0, 0, SRCCOPY);
    }
    InterlockedExchange(&d.StepPending, 0);
}

namespace {
void FinalizeBarAnim() {
    try {
        CancelPopupAnimation(nullptr);
    } catch (...) {
    }
}
} // namespace

gcl::TUnit BarAnimUnit{"BarAnim", nullptr, &FinalizeBarAnim};

} // namespace qelvo
