// Per-thread plain data.
//
// State that each thread keeps for itself (a hook handle, the popup being
// tracked, an animation record) is a plain record wrapped in TThreadVar and
// declared thread_local at namespace scope:
//
//     struct TPopupState { HHOOK Hook; TPopupMenu* Tracking; int Depth; };
//     constinit thread_local gcl::TThreadVar<TPopupState> PopupState;
//     ...
//     PopupState->Depth++;
//     PopupState.Clear();          // back to all zero
//
// Every thread, also one the system or CreateThread started, sees its own
// record, zero until it writes. The record must be trivially constructible,
// copyable and destructible: nothing runs when a thread starts or ends, so
// the storage is safe inside hooks, window procedures and thread procedures
// of threads the C++ run-time never saw. Anything that owns resources
// releases them explicitly before its thread ends.
#pragma once

#include <cstring>
#include <type_traits>

namespace gcl {

template <class T>
class TThreadVar {
    static_assert(std::is_trivially_default_constructible_v<T> && std::is_trivially_copyable_v<T> &&
                      std::is_trivially_destructible_v<T>,
                  "TThreadVar holds plain data only");

public:
    constexpr TThreadVar() noexcept = default;
    TThreadVar(const TThreadVar&) = delete;
    TThreadVar& operator=(const TThreadVar&) = delete;

    T& Get() noexcept { return FValue; }
    T* operator->() noexcept { return &FValue; }
    T& operator*() noexcept { return FValue; }
    // Back to all zero.
    void Clear() noexcept { std::memset(static_cast<void*>(&FValue), 0, sizeof FValue); }

private:
    T FValue{};
};

} // namespace gcl
