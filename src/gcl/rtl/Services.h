// Replaceable services: the one seam through which tests swap the clock,
// dialogs, the shell, the registry and other outside-world calls.
//
// A service is an abstract interface with a production implementation.
// Code reaches it through a ServiceSlot; a test installs a replacement
// for the lifetime of a ServiceOverride, which restores the previous one
// (overrides nest).
#pragma once

namespace gcl {

template <class I>
class ServiceSlot {
public:
    explicit ServiceSlot(I* production) noexcept : FCurrent(production) {}
    ServiceSlot(const ServiceSlot&) = delete;
    ServiceSlot& operator=(const ServiceSlot&) = delete;

    I& Get() const noexcept { return *FCurrent; }
    I* operator->() const noexcept { return FCurrent; }
    I* Exchange(I* replacement) noexcept {
        I* old = FCurrent;
        FCurrent = replacement;
        return old;
    }

private:
    I* FCurrent;
};

template <class I>
class ServiceOverride {
public:
    ServiceOverride(ServiceSlot<I>& slot, I& replacement) noexcept
        : FSlot(slot), FPrevious(slot.Exchange(&replacement)) {}
    ~ServiceOverride() { FSlot.Exchange(FPrevious); }
    ServiceOverride(const ServiceOverride&) = delete;
    ServiceOverride& operator=(const ServiceOverride&) = delete;

private:
    ServiceSlot<I>& FSlot;
    I* FPrevious;
};

} // namespace gcl
