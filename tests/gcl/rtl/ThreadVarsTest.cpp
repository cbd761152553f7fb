// Per-thread plain data and functions bound by name from a system library.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "gcl/rtl/Libraries.h"
#include "gcl/rtl/ThreadVars.h"
#ifdef _WIN32
#include "gcl/rtl/WinApi.h"
#endif

using namespace gcl;

namespace {

struct TTvState {
    int Depth;
    void* Tracking;
    char Name[8];
};

constinit thread_local TThreadVar<TTvState> TvState;

void UseOnThisThread(int depth, bool& sawZero, int& sawAfter) {
    sawZero = TvState->Depth == 0 && TvState->Tracking == nullptr && TvState->Name[0] == 0;
    TvState->Depth = depth;
    TvState.Get().Name[0] = 'x';
    sawAfter = (*TvState).Depth;
}

#ifdef _WIN32
struct TTvThreadResult {
    bool SawZero = false;
    int SawAfter = 0;
};

DWORD WINAPI TvSystemThread(void* param) {
    auto* result = static_cast<TTvThreadResult*>(param);
    UseOnThisThread(3, result->SawZero, result->SawAfter);
    return 0;
}
#endif

} // namespace

TEST(ThreadVars, EachThreadHasItsOwnZeroedRecord) {
    TvState.Clear();
    TvState->Depth = 1;
    TvState->Tracking = &TvState;

    bool sawZero = false;
    int sawAfter = 0;
    std::thread([&] { UseOnThisThread(2, sawZero, sawAfter); }).join();
    EXPECT_TRUE(sawZero);
    EXPECT_EQ(sawAfter, 2);
#ifdef _WIN32
    // A thread the C++ run-time never started.
    TTvThreadResult result;
    HANDLE thread = CreateThread(nullptr, 0, &TvSystemThread, &result, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    EXPECT_TRUE(result.SawZero);
    EXPECT_EQ(result.SawAfter, 3);
#endif
    // This thread's record is untouched by the others.
    EXPECT_EQ(TvState->Depth, 1);
    EXPECT_EQ(TvState->Tracking, static_cast<void*>(&TvState));
    EXPECT_EQ(TvState->Name[0], 0);
    TvState.Clear();
    EXPECT_EQ(TvState->Depth, 0);
    EXPECT_EQ(TvState->Tracking, nullptr);
}

namespace {

#ifdef _WIN32
constinit TSystemLibrary TvUser32{"user32.dll"};
constinit TSystemLibrary TvMissing{"qelvo-no-such-library.dll"};
constinit TLibraryProc<int(WINAPI*)(int)> TvGetSystemMetrics{TvUser32, "GetSystemMetrics"};
constinit TLibraryProc<int(WINAPI*)(int)> TvAbsentProc{TvUser32, "QelvoNoSuchFunction"};
constinit TLibraryProc<int(WINAPI*)(int)> TvProcOfMissing{TvMissing, "GetSystemMetrics"};
#else
constinit TSystemLibrary TvUser32{"libm.so.6"};
constinit TSystemLibrary TvMissing{"libqelvo-no-such-library.so"};
constinit TLibraryProc<double (*)(double)> TvGetSystemMetrics{TvUser32, "cos"};
constinit TLibraryProc<double (*)(double)> TvAbsentProc{TvUser32, "QelvoNoSuchFunction"};
constinit TLibraryProc<double (*)(double)> TvProcOfMissing{TvMissing, "cos"};
#endif

} // namespace

TEST(Libraries, BindOnceAndReportAbsentFunctions) {
    // Constant-initialised: nothing is loaded before the first Get.
    ASSERT_TRUE(TvUser32.Loaded());
    auto f = TvGetSystemMetrics.Get();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(TvGetSystemMetrics.Available());
    EXPECT_EQ(TvGetSystemMetrics.Get(), f);  // resolved once, the same answer
#ifdef _WIN32
    EXPECT_EQ(TvUser32.Handle(), static_cast<void*>(GetModuleHandleA("user32.dll")));
    EXPECT_EQ(f(SM_CXSCREEN), GetSystemMetrics(SM_CXSCREEN));
#else
    EXPECT_DOUBLE_EQ(f(0.0), 1.0);
#endif
    // Absent functions and libraries answer null: the caller's classic path.
    EXPECT_EQ(TvAbsentProc.Get(), nullptr);
    EXPECT_FALSE(TvAbsentProc.Available());
    EXPECT_FALSE(TvMissing.Loaded());
    EXPECT_EQ(TvMissing.Handle(), nullptr);
    EXPECT_EQ(TvProcOfMissing.Get(), nullptr);
    EXPECT_EQ(TvMissing.FindProc("anything"), nullptr);

    // Many threads asking at once get the one answer.
    std::atomic<int> same{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&] {
            if (TvGetSystemMetrics.Get() == f && TvAbsentProc.Get() == nullptr) ++same;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(same.load(), 8);
}
