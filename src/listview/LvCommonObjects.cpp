#include "listview/LvCommonObjects.h"

#include <cstring>

#include "gcl/rtl/Exceptions.h"
#include "listview/GvInternal.h"
#include "listview/LvCommonUtilities.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TCommonThemeManager)
GCL_IMPLEMENT_CLASS(TCommonCanvasControl)
GCL_IMPLEMENT_CLASS(TCommonMemoryStreamHelper)
GCL_IMPLEMENT_CLASS(TCommonCheckBound)
GCL_IMPLEMENT_CLASS(TCommonCheckBoundManager)
GCL_IMPLEMENT_CLASS(TCommonPIDLManager)

TCommonMemoryStreamHelper* StreamHelper = nullptr;
gcl::TFont* MarlettFont = nullptr;
TCommonCheckBoundManager* CheckBoundManager = nullptr;
TCommonPIDLManager* PIDLMgr = nullptr;
TILIsEqual ILIsEqualFunc = nullptr;
TILIsParent ILIsParentFunc = nullptr;

namespace {
HMODULE GShellModule = nullptr;
bool GShellLoaded = false;  // loaded by this unit, so freed by it
} // namespace

// ---- TCommonThemeManager -----------------------------------------------------------

TCommonThemeManager::~TCommonThemeManager() { ThemesFree(); }

void TCommonThemeManager::ThemesOpen() {
    if (FOwner && FOwner->HandleAllocated() && gcl::VisualStylesActive()) {
        ThemesFree();
        FLoaded = true;
    }
    if (FOwner && FOwner->HandleAllocated())
        RedrawWindow(FOwner->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
}

void TCommonThemeManager::ThemesFree() noexcept {
    FLoaded = false;
    // Drawings kept from a theme must not outlive its handle, which a
    // theme opened later may get again.
    gvdetail::ForgetKeptDrawings();
    for (int i = 0; i < tcCount; ++i) {
        if (FHandles[i]) CloseThemeData(FHandles[i]);
        FHandles[i] = nullptr;
        FAsked[i] = false;
    }
}

HTHEME TCommonThemeManager::Handle(TThemeClass Class) const noexcept {
    static constexpr const wchar_t* Names[tcCount] = {L"button", L"combobox", L"edit", L"explorerbar", L"header",
                                                      L"listview", L"progress", L"rebar", L"scrollbar", L"taskband",
                                                      L"taskbar", L"treeview", L"window"};
    if (FLoaded && !FAsked[Class] && FOwner && FOwner->HandleAllocated()) {
        FAsked[Class] = true;
        FHandles[Class] = OpenThemeData(FOwner->GetHandle(), Names[Class]);
    }
    return FHandles[Class];
}

int TCommonThemeManager::OpenCount() const noexcept {
    int count = 0;
    for (HTHEME h : FHandles)
        if (h) ++count;
    return count;
}

// ---- TCommonCanvasControl --------------------------------------------------------------

TCommonCanvasControl::TCommonCanvasControl(gcl::TComponent* AOwner)
    : gcl::TCustomControl(AOwner), FThemeManager(std::make_unique<TCommonThemeManager>(this)) {
    // The control does not follow changes of its own font: it paints with
    // the canvas, which takes the font afresh on every use.
    GetFont()->OnChange = nullptr;
}

TCommonCanvasControl::~TCommonCanvasControl() = default;

gcl::TCanvas* TCommonCanvasControl::GetCanvas() {
    gcl::TCanvas* canvas = gcl::TCustomControl::GetCanvas();
    canvas->SetFont(GetFont());
    canvas->SetBrush(GetBrush());
    return canvas;
}

void TCommonCanvasControl::BeginUpdate() { ++FUpdateCount; }

void TCommonCanvasControl::EndUpdate(bool Invalidate) {
    --FUpdateCount;
    if (FUpdateCount > 0) return;
    FUpdateCount = 0;
    Rebuild();
    // What changed was invalidated as it changed; it is painted with
    // whatever else the same message changes, at the next WM_PAINT.
    (void)Invalidate;
    if (OnEndUpdate) OnEndUpdate(this);
}

void TCommonCanvasControl::SafeInvalidateRect(const gcl::TRect* ARect, bool ImmediateUpdate) {
    if (!HandleAllocated()) return;
    HWND wnd = GetHandle();
    if (ARect) {
        RECT r = gcl::ToRECT(*ARect);
        InvalidateRect(wnd, &r, FALSE);
    } else {
        InvalidateRect(wnd, nullptr, FALSE);
    }
    if (ImmediateUpdate) UpdateWindow(wnd);
}

bool TCommonCanvasControl::GetThemed() const {
    if (GetComponentState().Contains(gcl::csLoading)) return false;
    if (!FThemed) return false;
    return gcl::VisualStylesActive();
}

void TCommonCanvasControl::SetThemed(bool Value) {
    if (Value == FThemed) return;
    FThemed = Value;
    if (Value)
        FThemeManager->ThemesOpen();
    else
        FThemeManager->ThemesFree();
    if (HandleAllocated()) {
        // Hiding and showing again renews the window frame.
        SetVisible(false);
        SetVisible(true);
        SafeInvalidateRect(nullptr, true);
    }
}

bool TCommonCanvasControl::DrawWithThemes() const { return GetThemed() && FThemeManager->GetLoaded(); }

void TCommonCanvasControl::CreateWnd() {
    inherited::CreateWnd();
    FThemeManager->ThemesOpen();
}

void TCommonCanvasControl::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_DESTROY:
        FThemeManager->ThemesFree();
        inherited::Dispatch(Message);
        break;
    case WM_THEMECHANGED:
        inherited::Dispatch(Message);
        FThemeManager->ThemesFree();
        FThemeManager->ThemesOpen();
        break;
    default:
        inherited::Dispatch(Message);
    }
}

// ---- TCommonMemoryStreamHelper ---------------------------------------------------------

void TCommonMemoryStreamHelper::WriteInteger(gcl::TStream& S, int32_t Value) {
    const uint32_t v = static_cast<uint32_t>(Value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                              static_cast<uint8_t>(v >> 24)};
    S.WriteBuffer(bytes, 4);
}

int32_t TCommonMemoryStreamHelper::ReadInteger(gcl::TStream& S) {
    uint8_t bytes[4];
    S.ReadBuffer(bytes, 4);
    return static_cast<int32_t>(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                                uint32_t(bytes[3]) << 24);
}

void TCommonMemoryStreamHelper::WriteString(gcl::TStream& S, const std::string& Value) {
    WriteInteger(S, static_cast<int32_t>(Value.size()));
    if (!Value.empty()) S.WriteBuffer(Value.data(), static_cast<int32_t>(Value.size()));
}

void TCommonMemoryStreamHelper::ReadString(gcl::TStream& S, std::string& Value) {
    const int32_t length = ReadInteger(S);
    // A corrupt length must not allocate wildly nor read past the end.
    S.CheckAvailable(length);
    Value.assign(static_cast<size_t>(length), '\0');
    if (length > 0) S.ReadBuffer(Value.data(), length);
}

// ---- TCommonCheckBoundManager -----------------------------------------------------------

TCommonCheckBoundManager::~TCommonCheckBoundManager() { Clear(); }

void TCommonCheckBoundManager::Bound(int Size, gcl::TRect& R) {
    TCommonCheckBound* entry = Find(Size);
    if (!entry) {
        auto bound = std::make_unique<TCommonCheckBound>();
        bound->Size = Size;
        bound->Bounds = CheckBounds(Size);
        FList.push_back(bound.get());
        entry = bound.release();
    }
    R = entry->Bounds;
}

TCommonCheckBound* TCommonCheckBoundManager::Find(int Size) const noexcept {
    for (TCommonCheckBound* entry : FList)
        if (entry->Size == Size) return entry;
    return nullptr;
}

void TCommonCheckBoundManager::Clear() noexcept {
    for (TCommonCheckBound* entry : FList) delete entry;
    FList.clear();
}

// ---- TCommonPIDLManager ---------------------------------------------------------------

TCommonPIDLManager::TCommonPIDLManager() {
    if (SHGetMalloc(&FMalloc) != S_OK) FMalloc = nullptr;
}

TCommonPIDLManager::~TCommonPIDLManager() {
    if (FMalloc) FMalloc->Release();
}

// ---- Unit --------------------------------------------------------------------------------

namespace {

void InitLvCommonObjects() {
    GShellModule = GetModuleHandleA("shell32.dll");
    GShellLoaded = false;
    if (!GShellModule) {
        GShellModule = LoadLibraryA("shell32.dll");
        GShellLoaded = GShellModule != nullptr;
    }
    if (GShellModule) {
        ILIsEqualFunc = reinterpret_cast<TILIsEqual>(
            reinterpret_cast<void*>(GetProcAddress(GShellModule, MAKEINTRESOURCEA(21))));
        ILIsParentFunc = reinterpret_cast<TILIsParent>(
            reinterpret_cast<void*>(GetProcAddress(GShellModule, MAKEINTRESOURCEA(23))));
    }
    StreamHelper = new TCommonMemoryStreamHelper();
    MarlettFont = new gcl::TFont();
    MarlettFont->SetName("marlett");
    CheckBoundManager = new TCommonCheckBoundManager();
    PIDLMgr = new TCommonPIDLManager();
}

void FinalizeLvCommonObjects() {
    delete PIDLMgr;
    PIDLMgr = nullptr;
    delete CheckBoundManager;
    CheckBoundManager = nullptr;
    delete MarlettFont;
    MarlettFont = nullptr;
    delete StreamHelper;
    StreamHelper = nullptr;
    ILIsEqualFunc = nullptr;
    ILIsParentFunc = nullptr;
    if (GShellLoaded && GShellModule) FreeLibrary(GShellModule);
    GShellModule = nullptr;
    GShellLoaded = false;
}

} // namespace

gcl::TUnit LvCommonObjectsUnit{"LvCommonObjects", &InitLvCommonObjects, &FinalizeLvCommonObjects};

} // namespace qelvo
