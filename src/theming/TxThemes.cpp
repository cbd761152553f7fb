// The theme base class, the theme registry, the frame geometry helpers and
// the theme manager with its hidden window.
#include "theming/TxThemes.h"

#include <algorithm>

#include "gcl/Forms.h"
#include "gcl/Timers.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "toolbar/BarCommon.h"

namespace qelvo {

// ---- Shared state ------------------------------------------------------------------

bool LowColorDepth = false;
bool WhiteButtonFace = false;
bool LowColorScreen = false;
bool VisualStylesOn = false;
bool FlatMenusOn = false;
TColor MenuColor = gcl::clMenu;
TColor MenuTextColor = gcl::clMenuText;
TColor ThemedToolbarColor = gcl::clBtnFace;
TColor ThemedToolbarTextColor = gcl::clBtnText;
TColor HotLightColor = gcl::clHighlight;

namespace {

TTxThemeManager* Manager = nullptr;
std::vector<TTxThemeRecord>* Registry = nullptr;

std::vector<TTxThemeRecord>& Records() {
    if (!Registry) Registry = new std::vector<TTxThemeRecord>;
    return *Registry;
}

// The themes' message record: Msg, WParam, LParam, Result 0.
intptr_t DeliverTo(gcl::TObject* target, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    gcl::TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    target->Dispatch(m);
    return m.Result;
}

bool ApplicationActive() { return gcl::Application && gcl::Application->GetActive(); }

} // namespace

// ---- TTxTheme ------------------------------------------------------------------------

constinit const TTxTheme::TMetaClassType TTxTheme::ClassInfo_{std::type_identity<TTxTheme>{}, "TTxTheme",
                                                              gcl::TObject::StaticClass(),
                                                              &TTxTheme::PublishedProperties_};
const gcl::TPropList& TTxTheme::PublishedProperties_() {
    return gcl::detail::InheritProperties(gcl::TObject::StaticClass());
}

void TTxTheme::AfterConstruction() {
    inherited::AfterConstruction();
    AddSysChangeListener(this);
    SetupColorCache();
}

void TTxTheme::BeforeDestruction() noexcept {
    RemoveSysChangeListener(this);
    inherited::BeforeDestruction();
}

TTxTheme::~TTxTheme() { RemoveSysChangeListener(this); }

void TTxTheme::Dispatch(gcl::TMessage& message) {
    if (message.Msg == WM_SKIN_SYSCHANGE && message.WParam == 2) {
        SetupColorCache();
        return;
    }
    inherited::Dispatch(message);
}

// ---- Registry --------------------------------------------------------------------------

void RegisterTheme(const std::string& name, TTxThemeClass themeClass) {
    if (name.empty() || !themeClass) throw gcl::Exception(msg::CannotRegisterTheme);
    if (FindRegisteredTheme(name) >= 0) throw gcl::Exception(gcl::Format(msg::ThemeAlreadyRegistered, {name}));
    TTxThemeRecord record;
    record.Name = name.substr(0, 255);
    record.ThemeClass = themeClass;
    Records().push_back(record);
}

void UnregisterTheme(const std::string& name) {
    const int index = FindRegisteredTheme(name);
    if (index < 0) return;
    const TTxThemeRecord& record = Records()[static_cast<size_t>(index)];
    // A theme still in use (the current one above all) stays registered.
    if (record.Instance) throw gcl::Exception(std::string(msg::CannotReleaseTheme) + " " + record.Name);
    Records().erase(Records().begin() + index);
}

int FindRegisteredTheme(const std::string& name) {
    const auto& records = Records();
    for (size_t i = 0; i < records.size(); ++i)
        if (gcl::SameText(records[i].Name, name)) return static_cast<int>(i);
    return -1;
}

bool IsThemeRegistered(const std::string& name) { return FindRegisteredTheme(name) >= 0; }

void ListRegisteredThemes(gcl::TStrings* strings) {
    gcl::Assert(strings != nullptr, "No list for the theme names", "TxThemes");
    for (const auto& record : Records()) strings->Add(record.Name);
}

void OrderThemeMenuNames(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return gcl::CompareText(a, b) < 0; });
    const auto first = std::find_if(names.begin(), names.end(),
                                    [](const std::string& name) { return name == "Default"; });
    if (first != names.end()) std::rotate(names.begin(), first, first + 1);
}

std::vector<std::string> ThemeMenuNames() {
    std::vector<std::string> names;
    for (const auto& record : Records()) names.push_back(record.Name);
    OrderThemeMenuNames(names);
    return names;
}

TTxTheme* AcquireTheme(const std::string& name) {
    const int index = FindRegisteredTheme(name);
    if (index < 0) throw gcl::Exception(msg::UnknownTheme + name);
    TTxThemeRecord* record = &Records()[static_cast<size_t>(index)];
    if (!record->Instance) {
        // The registered name, as stored.
        TTxTheme* theme = record->ThemeClass->Create(record->Name);
        record = &Records()[static_cast<size_t>(index)];
        record->Instance = theme;
        DeliverTo(theme, WM_SKIN_SYSCHANGE, ApplicationActive() ? 1 : 0, 0);
    }
    ++record->RefCount;
    return record->Instance;
}

void ReleaseTheme(TTxTheme*& theme) {
    auto& records = Records();
    auto it = std::find_if(records.begin(), records.end(),
                           [theme](const TTxThemeRecord& r) { return theme && r.Instance == theme; });
    if (it == records.end()) throw gcl::Exception(msg::CannotReleaseTheme);
    if (it->RefCount < 1) throw gcl::Exception(std::string(msg::CannotReleaseTheme) + " " + it->Name);
    if (--it->RefCount == 0) {
        TTxTheme* instance = it->Instance;
        it->Instance = nullptr;
        theme = nullptr;
        gcl::Free(instance);
    }
}

const std::vector<TTxThemeRecord>& RegisteredThemes() { return Records(); }

// ---- Frame geometry ---------------------------------------------------------------------

int GetDragHandleSize(const TTxToolbarFrameInfo& info) {
    static constexpr int Sizes[2][3] = {{9, 0, 6}, {14, 14, 14}};
    if (!info.AllowDrag) return 0;
    const int style = std::clamp(info.DragHandleStyle, 0, 2);
    return Sizes[(info.CloseButtonState & CDBS_VISIBLE) ? 1 : 0][style];
}

void CalcToolbarCloseButtonRect(const TTxToolbarFrameInfo& info, TRect& rect) {
    const int s = GetDragHandleSize(info) - 1;
    const int left = info.IsVertical ? info.BorderSize.X + info.ClientWidth - s : info.BorderSize.X;
    rect = TRect{left, info.BorderSize.Y, left + s, info.BorderSize.Y + s};
}

void CalcFloatingCaptionRect(const TTxFloatingFrameInfo& info, uint32_t options, TRect& rect) {
    const int h = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    rect = TRect{0, 0, info.ClientWidth, h};
    if (options & CR_EXCLUDECLOSEBUTTON) rect.Right -= h;
    if (options & CR_OFFSET) gcl::OffsetRect(rect, info.BorderSize.X, info.BorderSize.Y);
}

void CalcFloatingCloseButtonRect(const TTxFloatingFrameInfo& info, bool offset, TRect& rect) {
    CalcFloatingCaptionRect(info, offset ? CR_OFFSET : 0, rect);
    rect.Left = rect.Right - rect.Height();
}

// ---- Theme manager -------------------------------------------------------------------------

namespace {
constexpr const wchar_t* VisualStylesClassNames[vscCount] = {L"BUTTON", L"SCROLLBAR", L"REBAR",
                                                             L"TOOLBAR", L"WINDOW", L"COMBOBOX",
                                                             L"EXPLORERBAR", L"STATUS", L"SPIN"};
} // namespace

TTxThemeManager::TTxThemeManager() {
    // The application window hears the same broadcasts (it is a top-level
    // window of the thread), so a program with one makes no window here.
    if (gcl::Application && gcl::Application->GetHandle()) {
        FHookedApplication = gcl::Application;
        gcl::Application->HookMainWindow(gcl::TWindowHook(this, &TTxThemeManager::ApplicationHook));
    } else {
        FWindowHandle = gcl::AllocateHWnd(gcl::TWndMethod(this, &TTxThemeManager::WndProc));
    }
    RefreshSystemState();
}

TTxThemeManager::~TTxThemeManager() {
    CloseHandles();
    UnloadVisualStylesLibrary();
    VisualStylesOn = false;
    if (auto* application = static_cast<gcl::TApplication*>(FHookedApplication.Get()))
        application->UnhookMainWindow(gcl::TWindowHook(this, &TTxThemeManager::ApplicationHook));
    gcl::DeallocateHWnd(FWindowHandle);
}

HWND TTxThemeManager::GetWindowHandle() const noexcept {
    if (FWindowHandle) return FWindowHandle;
    auto* application = static_cast<gcl::TApplication*>(FHookedApplication.Get());
    return application ? application->GetHandle() : nullptr;
}

void TTxThemeManager::SetUseVisualStyles(bool value) {
    if (value == FUseVisualStyles) return;
    FUseVisualStyles = value;
    SystemChanged();
}

void TTxThemeManager::SetMenuStyle(int value) {
    if (value == FMenuStyle) return;
    FMenuStyle = value;
    SystemChanged();
}

void TTxThemeManager::AddListener(gcl::TObject* listener) {
    if (listener && std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end())
        FListeners.push_back(listener);
}

void TTxThemeManager::RemoveListener(gcl::TObject* listener) noexcept {
    FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), listener), FListeners.end());
}

intptr_t TTxThemeManager::Notify(uintptr_t wParam) {
    intptr_t result = 0;
    // A snapshot: listeners that go away meanwhile are skipped.
    const std::vector<gcl::TObject*> snapshot = FListeners;
    for (gcl::TObject* listener : snapshot) {
        if (std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) continue;
        try {
            result = DeliverTo(listener, WM_SKIN_SYSCHANGE, wParam, 0);
        } catch (...) {
            // One failing listener must not keep the others from hearing the change.
            gcl::HandleGuardedException(listener);
        }
    }
    return result;
}

void TTxThemeManager::CloseHandles() noexcept {
    FStylesOpen = false;
    auto close = uxtheme::CloseThemeData();
    for (HTHEME& handle : FHandles) {
        if (handle && close) close(handle);
        handle = nullptr;
    }
    for (bool& asked : FAsked) asked = false;
}

HTHEME TTxThemeManager::VisualStylesHandle(TTxVisualStylesClass cls) const noexcept {
    if (cls < 0 || cls >= vscCount) return nullptr;
    if (FStylesOpen && !FAsked[cls]) {
        FAsked[cls] = true;
        try {
            if (auto open = uxtheme::OpenThemeData()) FHandles[cls] = open(FWindowHandle, VisualStylesClassNames[cls]);
        } catch (...) {
            FHandles[cls] = nullptr;
        }
    }
    return FHandles[cls];
}

void TTxThemeManager::RefreshSystemState() {
    RecreateStockBitmaps();

    HDC screen = GetDC(nullptr);
    LowColorDepth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) < 12;
    ReleaseDC(nullptr, screen);
    WhiteButtonFace = (ResolveColor(gcl::clBtnFace) & 0xFFFFFF) == 0xFFFFFF;
    LowColorScreen = LowColorDepth || WhiteButtonFace;

    // Whenever the library goes, the flag and every handle go with it; the
    // flag comes back only after a successful reload.
    CloseHandles();
    UnloadVisualStylesLibrary();
    VisualStylesOn = false;
    if (IsWindowsXP() && FUseVisualStyles && LoadVisualStylesLibrary()) {
        try {
            if (VisualStylesActive()) {
                // The classes' handles open when first asked for.
                FStylesOpen = uxtheme::OpenThemeData() != nullptr;
                VisualStylesOn = FStylesOpen;
            }
        } catch (...) {
            CloseHandles();
            VisualStylesOn = false;
        }
        if (!VisualStylesOn) {
            CloseHandles();
            UnloadVisualStylesLibrary();
        }
    }

    ThemedToolbarColor = gcl::clBtnFace;
    ThemedToolbarTextColor = gcl::clBtnText;
    if (HTHEME toolbar = VisualStylesOn ? VisualStylesHandle(vscToolbar) : nullptr) {
        if (auto getColor = uxtheme::GetThemeColor()) {
            COLORREF c;
            if (SUCCEEDED(getColor(toolbar, 0, 0, ThemePropFillColor, &c)))
                ThemedToolbarColor = static_cast<TColor>(c);
            if (SUCCEEDED(getColor(toolbar, 0, 0, ThemePropTextColor, &c)))
                ThemedToolbarTextColor = static_cast<TColor>(c);
        }
    }

    if (!FlatMenusEnabled()) {
        FlatMenusOn = FMenuStyle == 2;
        MenuColor = FlatMenusOn ? gcl::clWindow : gcl::clMenu;
        MenuTextColor = FlatMenusOn ? gcl::clWindowText : gcl::clMenuText;
    } else if (FMenuStyle == 0 || FMenuStyle == 2) {
        FlatMenusOn = true;
        MenuColor = gcl::clMenu;
        MenuTextColor = gcl::clMenuText;
    } else {
        FlatMenusOn = false;
        MenuColor = ThemedToolbarColor;
        MenuTextColor = ThemedToolbarTextColor;
    }
}

void TTxThemeManager::SystemChanged() {
    RefreshSystemState();
    ResetBrushedFill();
    if (FListeners.empty()) return;
    Notify(1);
    Notify(2);
    Notify(3);
}

void TTxThemeManager::Hear(const gcl::TMessage& message) {
    switch (message.Msg) {
    case WM_SYSCOLORCHANGE:
    case WM_DISPLAYCHANGE:
    case WM_THEMECHANGED:
        SystemChanged();
        break;
    case WM_ACTIVATEAPP:
        if (!FListeners.empty()) Notify(message.WParam ? 4 : 5);
        break;
    default:
        break;
    }
}

void TTxThemeManager::WndProc(gcl::TMessage& message) {
    Hear(message);
    message.Result = DefWindowProcA(FWindowHandle, message.Msg, message.WParam, message.LParam);
}

bool TTxThemeManager::ApplicationHook(gcl::TMessage& message) {
    Hear(message);
    return false;
}

TTxThemeManager* ThemeManager() { return Manager; }

void AddSysChangeListener(gcl::TObject* listener) {
    if (Manager) Manager->AddListener(listener);
}

void RemoveSysChangeListener(gcl::TObject* listener) noexcept {
    if (Manager) Manager->RemoveListener(listener);
}

HTHEME VisualStylesHandle(TTxVisualStylesClass cls) noexcept {
    return Manager && VisualStylesOn && cls >= 0 && cls < vscCount ? Manager->VisualStylesHandle(cls) : nullptr;
}

namespace {

void InitializeTxThemes() {
    TxUtilsUnit.Initialize();
    // The hot-light colour when the system has a brush for it.
    HotLightColor = GetSysColorBrush(COLOR_HOTLIGHT) ? gcl::clHotLight : gcl::clHighlight;
    Records().clear();
    Manager = new TTxThemeManager;
}

void FinalizeTxThemes() {
    delete Manager;
    Manager = nullptr;
    if (Registry) {
        for (auto& record : *Registry) gcl::Free(record.Instance);
        delete Registry;
        Registry = nullptr;
    }
    TxUtilsUnit.Finalize();
}

} // namespace

gcl::TUnit TxThemesUnit{"TxThemes", &InitializeTxThemes, &FinalizeTxThemes};

} // namespace qelvo
