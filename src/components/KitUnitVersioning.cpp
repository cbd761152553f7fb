// The process-wide unit-version registry.
#include "components/KitUnitVersioning.h"

#include <algorithm>

namespace qelvo {

GCL_IMPLEMENT_CLASS(TUnitVersion)
GCL_IMPLEMENT_CLASS(TUnitVersioningModule)
GCL_IMPLEMENT_CLASS(TUnitVersioningProvider)
GCL_IMPLEMENT_CLASS(TUnitVersioning)

int TUnitVersioningModule::IndexOfInfo(const TUnitVersionInfo* info) const noexcept {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->GetInfo() == info) return static_cast<int>(i);
    return -1;
}

void TUnitVersioningModule::Add(const TUnitVersionInfo* info) {
    if (IndexOfInfo(info) < 0) FItems.push_back(std::make_unique<TUnitVersion>(info));
}

TUnitVersioning::~TUnitVersioning() = default;

TUnitVersioningModule* TUnitVersioning::FindModule(HINSTANCE instance) const noexcept {
    for (const auto& module : FModules)
        if (module->GetInstance() == instance) return module.get();
    return nullptr;
}

void TUnitVersioning::RegisterModule(HINSTANCE instance, const TUnitVersionInfo* info) {
    TUnitVersioningModule* module = FindModule(instance);
    if (!module) {
        FModules.push_back(std::make_unique<TUnitVersioningModule>(instance));
        module = FModules.back().get();
    }
    module->Add(info);
}

void TUnitVersioning::UnregisterModule(HINSTANCE instance) {
    auto it = std::find_if(FModules.begin(), FModules.end(),
                           [instance](const auto& module) { return module->GetInstance() == instance; });
    if (it != FModules.end()) FModules.erase(it);
    for (const auto& provider : FProviders) provider->ReleaseModuleResources(instance);
}

void TUnitVersioning::RegisterProvider(TUnitVersioningProvider* provider) {
    if (provider) FProviders.emplace_back(provider);
}

namespace {
std::unique_ptr<TUnitVersioning> GUnitVersioning;
} // namespace

TUnitVersioning* GetUnitVersioning() {
    if (!GUnitVersioning) GUnitVersioning = std::make_unique<TUnitVersioning>();
    return GUnitVersioning.get();
}

void RegisterUnitVersion(HINSTANCE instance, const TUnitVersionInfo& info) {
    GetUnitVersioning()->RegisterModule(instance, &info);
}

void UnregisterModuleUnitVersions(HINSTANCE instance) {
    if (GUnitVersioning) GUnitVersioning->UnregisterModule(instance);
}

HINSTANCE UnitVersionInstance() noexcept { return GetModuleHandleA(nullptr); }

namespace {
void InitUnitVersioning() { GetUnitVersioning(); }
void DoneUnitVersioning() { GUnitVersioning.reset(); }
} // namespace

gcl::TUnit UnitVersioningUnit{"KitUnitVersioning", &InitUnitVersioning, &DoneUnitVersioning};

} // namespace qelvo
