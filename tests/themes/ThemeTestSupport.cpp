// The theme tests' harness: fixed system colours, GDI object
// counter (import-table patches of gdi32) and the DC's save depth.
#include "ThemeTestSupport.h"

#include "CacheDump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "gcl/Forms.h"
#include "gcl/rtl/Init.h"
#include "themes/ThemeCommon.h"

namespace qelvo::test {

// ---- Fixed system colours ---------------------------------------------------------------

TFixedSysColors::TFixedSysColors() : FTable{}, FOverride(gcl::SysColorService(), *this) {
    for (int i = 0; i < SysColorCount; ++i) FTable[i] = static_cast<COLORREF>(ClassicSysColors[static_cast<size_t>(i)]);
}

TFixedSysColors::~TFixedSysColors() = default;

COLORREF TFixedSysColors::GetColor(int index) { return FTable[index & 0xFF]; }

// ---- GDI object counter -------------------------------------------------------------------

namespace {

std::atomic<long> CreatedCount{0};
std::atomic<long> DeletedCount{0};
bool PatchedAny = false;

template <class T>
T Counted(T handle) {
    if (handle) ++CreatedCount;
    return handle;
}

// The original entries, filled when the import table is patched.
#define QELVO_GDI_HOOKS(X)                                                                                    \
    X(CreateSolidBrush, HBRUSH, (COLORREF a), (a))                                                            \
    X(CreateBrushIndirect, HBRUSH, (const LOGBRUSH* a), (a))                                                  \
    X(CreatePatternBrush, HBRUSH, (HBITMAP a), (a))                                                           \
    X(CreateHatchBrush, HBRUSH, (int a, COLORREF b), (a, b))                                                  \
    X(CreatePen, HPEN, (int a, int b, COLORREF c), (a, b, c))                                                 \
    X(CreatePenIndirect, HPEN, (const LOGPEN* a), (a))                                                        \
    X(ExtCreatePen, HPEN, (DWORD a, DWORD b, const LOGBRUSH* c, DWORD d, const DWORD* e), (a, b, c, d, e))    \
    X(CreateFontIndirectA, HFONT, (const LOGFONTA* a), (a))                                                   \
    X(CreateFontIndirectW, HFONT, (const LOGFONTW* a), (a))                                                   \
    X(CreateBitmap, HBITMAP, (int a, int b, UINT c, UINT d, const void* e), (a, b, c, d, e))                  \
    X(CreateBitmapIndirect, HBITMAP, (const BITMAP* a), (a))                                                  \
    X(CreateCompatibleBitmap, HBITMAP, (HDC a, int b, int c), (a, b, c))                                      \
    X(CreateDIBSection, HBITMAP, (HDC a, const BITMAPINFO* b, UINT c, void** d, HANDLE e, DWORD f),           \
      (a, b, c, d, e, f))                                                                                     \
    X(CreateDIBitmap, HBITMAP, (HDC a, const BITMAPINFOHEADER* b, DWORD c, const void* d,                     \
                                const BITMAPINFO* e, UINT f),                                                 \
      (a, b, c, d, e, f))                                                                                     \
    X(CreateCompatibleDC, HDC, (HDC a), (a))                                                                  \
    X(CreateRectRgn, HRGN, (int a, int b, int c, int d), (a, b, c, d))                                        \
    X(CreateRectRgnIndirect, HRGN, (const RECT* a), (a))                                                      \
    X(CreateEllipticRgn, HRGN, (int a, int b, int c, int d), (a, b, c, d))                                    \
    X(CreateRoundRectRgn, HRGN, (int a, int b, int c, int d, int e, int f), (a, b, c, d, e, f))              \
    X(CreatePolygonRgn, HRGN, (const POINT* a, int b, int c), (a, b, c))

#define QELVO_DECLARE_HOOK(name, result, params, args)                                                        \
    using name##Type = result(WINAPI*) params;                                                                \
    name##Type Original##name = nullptr;                                                                      \
    result WINAPI Hook##name params { return Counted(Original##name args); }
QELVO_GDI_HOOKS(QELVO_DECLARE_HOOK)
#undef QELVO_DECLARE_HOOK

// Bitmaps user32 makes for the program (deleted through gdi32).
using LoadImageAType = HANDLE(WINAPI*)(HINSTANCE, LPCSTR, UINT, int, int, UINT);
using LoadBitmapAType = HBITMAP(WINAPI*)(HINSTANCE, LPCSTR);
using CopyImageType = HANDLE(WINAPI*)(HANDLE, UINT, int, int, UINT);
LoadImageAType OriginalLoadImageA = nullptr;
LoadBitmapAType OriginalLoadBitmapA = nullptr;
CopyImageType OriginalCopyImage = nullptr;
HANDLE WINAPI HookLoadImageA(HINSTANCE a, LPCSTR b, UINT type, int d, int e, UINT f) {
    HANDLE h = OriginalLoadImageA(a, b, type, d, e, f);
    return type == IMAGE_BITMAP ? Counted(h) : h;
}
HBITMAP WINAPI HookLoadBitmapA(HINSTANCE a, LPCSTR b) { return Counted(OriginalLoadBitmapA(a, b)); }
HANDLE WINAPI HookCopyImage(HANDLE a, UINT type, int c, int d, UINT e) {
    HANDLE h = OriginalCopyImage(a, type, c, d, e);
    return type == IMAGE_BITMAP ? Counted(h) : h;
}

using DeleteObjectType = BOOL(WINAPI*)(HGDIOBJ);
using DeleteDCType = BOOL(WINAPI*)(HDC);
DeleteObjectType OriginalDeleteObject = nullptr;
DeleteDCType OriginalDeleteDC = nullptr;
BOOL WINAPI HookDeleteObject(HGDIOBJ object) {
    const BOOL ok = OriginalDeleteObject(object);
    if (ok && object) ++DeletedCount;
    return ok;
}
BOOL WINAPI HookDeleteDC(HDC dc) {
    const BOOL ok = OriginalDeleteDC(dc);
    if (ok) ++DeletedCount;
    return ok;
}

struct THook {
    const char* Module;
    const char* Name;
    void** Original;
    void* Replacement;
};

void PatchImports() {
    static const THook Hooks[] = {
#define QELVO_HOOK_ENTRY(name, result, params, args)                                                          \
    {"gdi32.dll", #name, reinterpret_cast<void**>(&Original##name), reinterpret_cast<void*>(&Hook##name)},
        QELVO_GDI_HOOKS(QELVO_HOOK_ENTRY)
#undef QELVO_HOOK_ENTRY
        {"gdi32.dll", "DeleteObject", reinterpret_cast<void**>(&OriginalDeleteObject),
         reinterpret_cast<void*>(&HookDeleteObject)},
        {"gdi32.dll", "DeleteDC", reinterpret_cast<void**>(&OriginalDeleteDC), reinterpret_cast<void*>(&HookDeleteDC)},
        {"user32.dll", "LoadImageA", reinterpret_cast<void**>(&OriginalLoadImageA),
         reinterpret_cast<void*>(&HookLoadImageA)},
        {"user32.dll", "LoadBitmapA", reinterpret_cast<void**>(&OriginalLoadBitmapA),
         reinterpret_cast<void*>(&HookLoadBitmapA)},
        {"user32.dll", "CopyImage", reinterpret_cast<void**>(&OriginalCopyImage), reinterpret_cast<void*>(&HookCopyImage)},
    };
    auto* base = reinterpret_cast<uint8_t*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return;
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
        const char* module = reinterpret_cast<const char*>(base + desc->Name);
        if (!desc->OriginalFirstThunk) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const char* name =
                reinterpret_cast<const char*>(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
            for (const THook& hook : Hooks) {
                if (_stricmp(hook.Module, module) != 0 || std::strcmp(hook.Name, name) != 0) continue;
                DWORD old = 0;
                if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old)) break;
                *hook.Original = reinterpret_cast<void*>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<uintptr_t>(hook.Replacement);
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
                PatchedAny = true;
                break;
            }
        }
    }
}

std::once_flag PatchOnce;

} // namespace

TGdiObjectCounter::TGdiObjectCounter() {
    std::call_once(PatchOnce, PatchImports);
    FCreated0 = CreatedCount;
    FDeleted0 = DeletedCount;
}

TGdiObjectCounter::~TGdiObjectCounter() = default;

long TGdiObjectCounter::Created() const { return CreatedCount - FCreated0; }
long TGdiObjectCounter::Deleted() const { return DeletedCount - FDeleted0; }
bool TGdiObjectCounter::Installed() {
    std::call_once(PatchOnce, PatchImports);
    return PatchedAny;
}

int SaveDepth(HDC dc) {
    const int level = SaveDC(dc);
    RestoreDC(dc, -1);
    return level - 1;
}

TTxItemInfo Item(uint32_t viewType, bool enabled, uint8_t hover) {
    TTxItemInfo info{};
    info.ViewType = viewType;
    info.Enabled = enabled;
    info.HoverKind = hover;
    return info;
}

void StartThemes() {
    static std::once_flag started;
    std::call_once(started, [] { gcl::InitializeUnits({&gcl::FormsUnit, &ThemesUnit}); });
}

TThemingFlagsScope::TThemingFlagsScope(bool lowColorScreen, bool whiteButtonFace)
    : FLowColorScreen(LowColorScreen), FWhiteButtonFace(WhiteButtonFace) {
    LowColorScreen = lowColorScreen;
    WhiteButtonFace = whiteButtonFace;
}

TThemingFlagsScope::~TThemingFlagsScope() {
    LowColorScreen = FLowColorScreen;
    WhiteButtonFace = FWhiteButtonFace;
}

} // namespace qelvo::test
