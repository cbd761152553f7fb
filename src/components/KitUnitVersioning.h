// The unit-version registry: every component unit registers a version
// record for the program's module when it starts and the module's records
// go when the first of them finishes.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Init.h"
#include "gcl/rtl/Objects.h"

namespace qelvo {

// A unit's version record, a constant in each unit.
struct TUnitVersionInfo {
    const char* RCSfile = "";
    const char* Revision = "";
    const char* Date = "";
    const char* LogPath = "";
    const char* Extra = "";
    void* Data = nullptr;
};

// One registered record.
class TUnitVersion : public gcl::TObject {
    GCL_CLASS(TUnitVersion, gcl::TObject)
public:
    explicit TUnitVersion(const TUnitVersionInfo* info) noexcept : FInfo(info) {}
    const TUnitVersionInfo* GetInfo() const noexcept { return FInfo; }
    std::string GetRCSfile() const { return FInfo->RCSfile; }
    std::string GetRevision() const { return FInfo->Revision; }
    std::string GetDate() const { return FInfo->Date; }
    std::string GetLogPath() const { return FInfo->LogPath; }

private:
    const TUnitVersionInfo* FInfo;
};

// The records of one module (an instance handle).
class TUnitVersioningModule : public gcl::TObject {
    GCL_CLASS(TUnitVersioningModule, gcl::TObject)
public:
    explicit TUnitVersioningModule(HINSTANCE instance) noexcept : FInstance(instance) {}
    HINSTANCE GetInstance() const noexcept { return FInstance; }
    int GetCount() const noexcept { return static_cast<int>(FItems.size()); }
    TUnitVersion* GetItems(int index) const { return FItems.at(static_cast<size_t>(index)).get(); }
    int IndexOfInfo(const TUnitVersionInfo* info) const noexcept;
    // Appends a record unless it is there already.
    void Add(const TUnitVersionInfo* info);

private:
    HINSTANCE FInstance;
    std::vector<std::unique_ptr<TUnitVersion>> FItems;
};

// Told when a module unregisters.
class TUnitVersioningProvider : public gcl::TObject {
    GCL_CLASS(TUnitVersioningProvider, gcl::TObject)
public:
    virtual void ReleaseModuleResources(HINSTANCE instance) = 0;
};

class TUnitVersioning : public gcl::TObject {
    GCL_CLASS(TUnitVersioning, gcl::TObject)
public:
    TUnitVersioning() = default;
    TUnitVersioning(const TUnitVersioning&) = delete;
    ~TUnitVersioning() override;

    virtual void RegisterModule(HINSTANCE instance, const TUnitVersionInfo* info);
    virtual void UnregisterModule(HINSTANCE instance);

    int GetModuleCount() const noexcept { return static_cast<int>(FModules.size()); }
    TUnitVersioningModule* GetModules(int index) const { return FModules.at(static_cast<size_t>(index)).get(); }
    TUnitVersioningModule* FindModule(HINSTANCE instance) const noexcept;
    // The registry owns the provider.
    void RegisterProvider(TUnitVersioningProvider* provider);

private:
    std::vector<std::unique_ptr<TUnitVersioningModule>> FModules;
    std::vector<std::unique_ptr<TUnitVersioningProvider>> FProviders;
};

// The process-wide registry, made on first use. Modules of one process
// find one another's registry through a page committed near the top of the
// user address space (see the .cpp); without one the registry is private.
TUnitVersioning* GetUnitVersioning();
// That page, or null.
void* UnitVersioningBlock() noexcept;

namespace detail {
// The search behind GetUnitVersioning, from a given highest address (tests
// give a free area): the page it committed or found (its count raised), or
// null. Release answers whether the page went with the last user.
void* FindOrCreateUnitVersioningBlock(uintptr_t highest);
bool ReleaseUnitVersioningBlock(void* block) noexcept;
} // namespace detail
void RegisterUnitVersion(HINSTANCE instance, const TUnitVersionInfo& info);
void UnregisterModuleUnitVersions(HINSTANCE instance);

// The module a component unit registers for: the program's instance.
HINSTANCE UnitVersionInstance() noexcept;

// Frees the registry; listed before the component units so that it
// finishes after them.
extern gcl::TUnit UnitVersioningUnit;

} // namespace qelvo
