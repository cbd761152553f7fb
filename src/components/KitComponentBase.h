// The base class of the non-visual components (the tray icon).
#pragma once

#include <string>

#include "gcl/rtl/Components.h"
#include "gcl/rtl/Init.h"

namespace qelvo {

class TKitComponent : public gcl::TComponent {
    GCL_CLASS(TKitComponent, gcl::TComponent)
public:
    // Design-time information only; nothing happens at run time.
    const std::string& GetAboutKitLib() const noexcept { return FAboutKitLib; }
    void SetAboutKitLib(const std::string&) noexcept {}

protected:
    explicit TKitComponent(gcl::TComponent* owner) : TComponent(owner) {}

private:
    std::string FAboutKitLib;
};

extern gcl::TUnit KitComponentBaseUnit;

} // namespace qelvo
