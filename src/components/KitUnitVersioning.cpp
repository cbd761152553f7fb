// The process-wide unit-version registry.
#include "components/KitUnitVersioning.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

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

// The page that lets every module of the process find one registry.
// Byte offsets are fixed: 0 process id xor 0x23456789, 4 0xABCDEF01, 8 the
// length-prefixed name in 256 bytes, 264 the reference count, 268 pad, 272
// process id xor 0x10FEDCBA, 276 0x98765432, 280 the registry.
#pragma pack(push, 1)
struct TSharedBlock {
    DWORD IdWord1;
    DWORD Magic1;
    unsigned char Name[256];
    LONG RefCount;
    DWORD Pad;
    DWORD IdWord2;
    DWORD Magic2;
    TUnitVersioning* Registry;
};
#pragma pack(pop)
static_assert(offsetof(TSharedBlock, RefCount) == 264);
static_assert(offsetof(TSharedBlock, Registry) == 280);

constexpr DWORD Magic1 = 0xABCDEF01;
constexpr DWORD Magic2 = 0x98765432;
constexpr char BlockName[] = "UnitVersioning";

TSharedBlock* GBlock = nullptr;
TUnitVersioning* GUnitVersioning = nullptr;
bool GOwnsRegistry = false;

bool HeaderMatches(const TSharedBlock& block) {
    DWORD id = GetCurrentProcessId();
    return block.IdWord1 == (id ^ 0x23456789) && block.Magic1 == Magic1 && block.IdWord2 == (id ^ 0x10FEDCBA) &&
           block.Magic2 == Magic2 && block.Name[0] == sizeof(BlockName) - 1 &&
           std::memcmp(block.Name + 1, BlockName, sizeof(BlockName) - 1) == 0;
}

} // namespace

namespace detail {

void* FindOrCreateUnitVersioningBlock(uintptr_t highest) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    uintptr_t page = system.dwPageSize ? system.dwPageSize : 4096;
    for (uintptr_t k = 0; k <= 20; ++k) {
        uintptr_t candidate = ((highest / 65536) - k) * 65536;
        candidate -= candidate % page;
        void* wanted = reinterpret_cast<void*>(candidate);
        void* got = VirtualAlloc(wanted, page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (got == wanted) {
            auto* block = static_cast<TSharedBlock*>(got);
            DWORD id = GetCurrentProcessId();
            block->IdWord1 = id ^ 0x23456789;
            block->Magic1 = Magic1;
            block->Name[0] = sizeof(BlockName) - 1;
            std::memcpy(block->Name + 1, BlockName, sizeof(BlockName) - 1);
            block->RefCount = 1;
            block->IdWord2 = id ^ 0x10FEDCBA;
            block->Magic2 = Magic2;
            block->Registry = nullptr;
            return block;
        }
        if (got) {
            VirtualFree(got, 0, MEM_RELEASE);
            continue;
        }
        MEMORY_BASIC_INFORMATION info{};
        if (VirtualQuery(wanted, &info, sizeof(info)) != sizeof(info)) continue;
        if (info.State != MEM_COMMIT || info.RegionSize < sizeof(TSharedBlock) || info.Protect != PAGE_READWRITE)
            continue;
        auto* block = static_cast<TSharedBlock*>(wanted);
        if (!HeaderMatches(*block)) continue;
        InterlockedIncrement(&block->RefCount);
        return block;
    }
    return nullptr;
}

bool ReleaseUnitVersioningBlock(void* block) noexcept {
    auto* shared = static_cast<TSharedBlock*>(block);
    if (InterlockedDecrement(&shared->RefCount) > 0) return false;
    VirtualFree(shared, 0, MEM_RELEASE);
    return true;
}

} // namespace detail

namespace {

// Commits the block near the top of the user address space, or finds the
// one another module committed; null when neither works within 21 tries.
TSharedBlock* FindOrCreateBlock() {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return static_cast<TSharedBlock*>(
        detail::FindOrCreateUnitVersioningBlock(reinterpret_cast<uintptr_t>(system.lpMaximumApplicationAddress)));
}

} // namespace

TUnitVersioning* GetUnitVersioning() {
    if (GUnitVersioning) {
        if (GBlock && GBlock->Registry && GBlock->Registry != GUnitVersioning && !GOwnsRegistry)
            GUnitVersioning = GBlock->Registry;
        return GUnitVersioning;
    }
    GBlock = FindOrCreateBlock();
    if (GBlock && GBlock->Registry && GBlock->RefCount != 1) {
        GUnitVersioning = GBlock->Registry;
        GOwnsRegistry = false;
    } else {
        GUnitVersioning = new TUnitVersioning;
        GOwnsRegistry = true;
        if (GBlock) GBlock->Registry = GUnitVersioning;
    }
    return GUnitVersioning;
}

void* UnitVersioningBlock() noexcept { return GBlock; }

void RegisterUnitVersion(HINSTANCE instance, const TUnitVersionInfo& info) {
    GetUnitVersioning()->RegisterModule(instance, &info);
}

void UnregisterModuleUnitVersions(HINSTANCE instance) {
    if (GUnitVersioning) GUnitVersioning->UnregisterModule(instance);
}

HINSTANCE UnitVersionInstance() noexcept { return GetModuleHandleA(nullptr); }

namespace {

void InitUnitVersioning() { GetUnitVersioning(); }

void DoneUnitVersioning() {
    if (GBlock) {
        TSharedBlock* block = GBlock;
        GBlock = nullptr;
        // Others still using the block must not find a freed registry.
        if (GOwnsRegistry && block->RefCount > 1) block->Registry = nullptr;
        detail::ReleaseUnitVersioningBlock(block);
    }
    if (GOwnsRegistry) delete GUnitVersioning;
    GUnitVersioning = nullptr;
    GOwnsRegistry = false;
}

} // namespace

gcl::TUnit UnitVersioningUnit{"KitUnitVersioning", &InitUnitVersioning, &DoneUnitVersioning};

} // namespace qelvo
