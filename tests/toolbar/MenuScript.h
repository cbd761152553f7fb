// Input for modal menu loops under test: key and mouse messages queued
// before a loop starts, steps that run inside the loop (posted to a hidden
// window and dispatched by the loop), and a watchdog that ends any loop
// that is still running after its time bound by taking the capture away.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <functional>
#include <vector>

namespace qelvo::test {

// Queues a key press as a keyboard gives it, key down then key up: the
// loop that reads it translates the key into its character, if any.
void QueueKey(UINT Key);
// Whether no key or character message waits in the thread's queue (a
// step that queued keys has been read to its characters).
bool NoKeysQueued();
// Queues a mouse message to Wnd at a client point, with the cursor there.
void QueueMouse(HWND Wnd, UINT Msg, int X, int Y);

// Steps run one after another inside a running loop: each step is posted
// after the messages queued by the one before it have been handled.
// WaitFor steps poll on a thread timer (every 20 ms) until true.
class TLoopScript {
public:
    TLoopScript();
    ~TLoopScript();
    TLoopScript& Then(std::function<void()> Step);
    TLoopScript& WaitFor(std::function<bool()> Done);
    // Posts the first step; the loop must start after this.
    void Start();
    bool Finished() const { return FNext >= FSteps.size(); }

private:
    struct TStep {
        std::function<void()> Run;
        std::function<bool()> Wait;
    };
    static LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    static void CALLBACK PollProc(HWND, UINT, UINT_PTR Id, DWORD);
    void RunNext();

    HWND FWnd;
    std::vector<TStep> FSteps;
    size_t FNext = 0;
    UINT_PTR FPoll = 0;
};

// Ends a modal loop still running after Milliseconds (the capture and the
// focus are taken away); Fired tells that it had to.
class TLoopWatchdog {
public:
    explicit TLoopWatchdog(UINT Milliseconds = 5000);
    ~TLoopWatchdog();
    bool Fired() const;

private:
    UINT_PTR FTimer;
};

} // namespace qelvo::test
