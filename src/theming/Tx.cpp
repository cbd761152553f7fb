// The theme holder and its broadcast, theme switching, the window queries,
// the parent-background painter, font settings and the unit's start-up.
#include "theming/Tx.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>

#include "gcl/rtl/SysInfo.h"
#include "gcl/rtl/TypInfo.h"
#include "theming/TxDefaultTheme.h"
#include "toolbar/BarDock.h"
#include "toolbar/BarItem.h"

namespace qelvo {

TTxTheme* CurrentTheme = nullptr;
TTxNexus* TxNexus = nullptr;

namespace {

intptr_t Deliver(gcl::TObject* target, gcl::TMessage& m) {
    m.Result = 0;
    target->Dispatch(m);
    return m.Result;
}

} // namespace

// ---- TTxNexus --------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TTxNexus)

TTxNexus::TTxNexus(const std::string& themeName) {
    CurrentTheme = AcquireTheme(themeName);
    AddSysChangeListener(this);
}

TTxNexus::~TTxNexus() {
    RemoveSysChangeListener(this);
    if (CurrentTheme) {
        try {
            ReleaseTheme(CurrentTheme);
        } catch (...) {
        }
        CurrentTheme = nullptr;
    }
}

void TTxNexus::AddListener(gcl::TObject* listener) {
    if (listener && std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end())
        FListeners.push_back(listener);
}

void TTxNexus::RemoveListener(gcl::TObject* listener) noexcept {
    FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), listener), FListeners.end());
}

void TTxNexus::SwitchTheme(const std::string& name) {
    if (!IsThemeRegistered(name)) return;
    TTxTheme* next = AcquireTheme(name);  // when this raises, the old theme stays current
    TTxTheme* old = CurrentTheme;
    CurrentTheme = next;
    if (old) {
        try {
            ReleaseTheme(old);
        } catch (...) {
            gcl::HandleGuardedException(this);
        }
    }
    Broadcast(WM_SKIN_THEMECHANGE, 1, 1);
    Broadcast(WM_SKIN_THEMECHANGE, 2, 1);
    Broadcast(WM_SKIN_THEMECHANGE, 3, 1);
}

void TTxNexus::Broadcast(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    // A snapshot, so a listener may come or go during the broadcast; one
    // that left is skipped.
    const std::vector<gcl::TObject*> snapshot = FListeners;
    for (gcl::TObject* listener : snapshot) {
        if (std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) continue;
        gcl::TMessage m;
        m.Msg = msg;
        m.WParam = wParam;
        m.LParam = lParam;
        try {
            Deliver(listener, m);
        } catch (...) {
            gcl::HandleGuardedException(listener);
        }
    }
}

void TTxNexus::Dispatch(gcl::TMessage& message) {
    if (message.Msg == WM_SKIN_SYSCHANGE) {
        Broadcast(WM_SKIN_THEMECHANGE, message.WParam, 0);
        return;
    }
    inherited::Dispatch(message);
}

void AddThemeListener(gcl::TObject* listener) {
    if (TxNexus) TxNexus->AddListener(listener);
}

void RemoveThemeListener(gcl::TObject* listener) noexcept {
    if (TxNexus) TxNexus->RemoveListener(listener);
}

void SelectTheme(const std::string& name) {
    if (!TxNexus) return;
    try {
        TxNexus->SwitchTheme(name);
    } catch (...) {
        // A theme that cannot be made leaves the current one in place.
    }
}

std::string CurrentThemeName() { return CurrentTheme ? CurrentTheme->GetName() : std::string(); }

// ---- Queries ---------------------------------------------------------------------------

uint32_t QueryViewType(TBarView* view) {
    if (!view || !view->GetWindow()) return 0;
    return QueryControlViewType(view->GetWindow());
}

uint32_t QueryControlViewType(gcl::TControl* control) {
    if (!control) return 0;
    gcl::TMessage m;
    m.Msg = WM_SKIN_VIEWTYPE;
    return static_cast<uint32_t>(Deliver(control, m));
}

TColor QueryEffectiveColor(gcl::TControl* control) {
    if (!control) return gcl::clBtnFace;
    gcl::TMessage m;
    m.Msg = WM_SKIN_EFFECTIVECOLOR;
    if (Deliver(control, m) != 0) return static_cast<TColor>(m.WParam);
    if (auto* form = dynamic_cast<gcl::TCustomForm*>(control))
        if (form->GetFormStyle() == gcl::fsMDIForm) return gcl::clBtnFace;
    return control->GetColor();
}

void DrawParentBackground(gcl::TControl* control, HDC dc, const TRect& rect) {
    gcl::TWinControl* parent = control ? control->GetParent() : nullptr;
    if (!parent) {
        FillRectColor(dc, rect, gcl::clBtnFace);
        return;
    }
    const TPoint offset = parent->ScreenToClient(control->ClientToScreen(TPoint{0, 0}));
    gcl::TMessage m;
    m.Msg = WM_ERASEBKGND;
    m.WParam = reinterpret_cast<uintptr_t>(dc);
    m.LParam = reinterpret_cast<intptr_t>(dc);
    {
        const int saved = SaveDC(dc);
        POINT old;
        SetWindowOrgEx(dc, offset.X, offset.Y, &old);
        try {
            Deliver(parent, m);
        } catch (...) {
            RestoreDC(dc, saved);
            throw;
        }
        RestoreDC(dc, saved);
    }
    if (m.Result != 0) return;
    auto* dock = dynamic_cast<TBarDock*>(parent);
    if (dock && dock->UsingBackground()) {
        // The dock paints in its own coordinates: ask for the part behind
        // the control and shift the DC so it lands there.
        TRect dockRect = rect;
        gcl::OffsetRect(dockRect, control->GetLeft(), control->GetTop());
        const int saved = SaveDC(dc);
        SetWindowOrgEx(dc, control->GetLeft(), control->GetTop(), nullptr);
        try {
            dock->DrawBackground(dc, dockRect);
        } catch (...) {
            RestoreDC(dc, saved);
            throw;
        }
        RestoreDC(dc, saved);
        return;
    }
    FillRectColor(dc, rect, QueryEffectiveColor(parent));
}

void RefreshFrame(gcl::TCustomForm* form) {
    if (!form) return;
    form->SetClientWidth(form->GetClientWidth());
    form->SetClientHeight(form->GetClientHeight());
    if (form->HandleAllocated())
        SetWindowPos(form->GetHandle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    form->Invalidate();
}

void RedrawWindowFrame(gcl::TControl* control) {
    auto* win = dynamic_cast<gcl::TWinControl*>(control);
    if (win && win->HandleAllocated())
        RedrawWindow(win->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

// ---- Font settings ----------------------------------------------------------------------

GCL_PUBLISHED(TFontSettings,
    GCL_PROP(Bold).Default(tsDefault),
    GCL_PROP(Italic).Default(tsDefault),
    GCL_PROP(Underline).Default(tsDefault),
    GCL_PROP(StrikeOut).Default(tsDefault),
    GCL_PROP(Size).Default(100),
    GCL_PROP(Color).Default(clNone).Idents(gcl::ColorIdents),
    GCL_PROP(Name))

void TFontSettings::Changed() {
    if (OnChange) OnChange(this);
}

#define QELVO_FONT_SETTER(Prop, Type)          \
    void TFontSettings::Set##Prop(Type value) { \
        if (value == F##Prop) return;          \
        F##Prop = value;                       \
        Changed();                             \
    }
QELVO_FONT_SETTER(Bold, TTriState)
QELVO_FONT_SETTER(Italic, TTriState)
QELVO_FONT_SETTER(Underline, TTriState)
QELVO_FONT_SETTER(StrikeOut, TTriState)
QELVO_FONT_SETTER(Size, TFontSize)
QELVO_FONT_SETTER(Color, TColor)
QELVO_FONT_SETTER(Name, const std::string&)
#undef QELVO_FONT_SETTER

void TFontSettings::Assign(gcl::TPersistent* source) {
    auto* other = dynamic_cast<TFontSettings*>(source);
    if (!other) {
        inherited::Assign(source);
        return;
    }
    if (FBold == other->FBold && FItalic == other->FItalic && FUnderline == other->FUnderline &&
        FStrikeOut == other->FStrikeOut && FSize == other->FSize && FColor == other->FColor &&
        FName == other->FName)
        return;
    FBold = other->FBold;
    FItalic = other->FItalic;
    FUnderline = other->FUnderline;
    FStrikeOut = other->FStrikeOut;
    FSize = other->FSize;
    FColor = other->FColor;
    FName = other->FName;
    Changed();
}

void TFontSettings::Apply(gcl::TFont* font) const {
    if (!font) return;
    if (FSize != 100) font->SetSize((font->GetSize() * static_cast<int>(FSize) + 50) / 100);
    if (FColor != clNone) font->SetColor(FColor);
    if (!FName.empty()) font->SetName(FName);
    gcl::TFontStyles style = font->GetStyle();
    auto apply = [&style](TTriState state, gcl::TFontStyle item) {
        if (state == tsTrue) style.Include(item);
        else if (state == tsFalse) style.Exclude(item);
    };
    apply(FBold, gcl::fsBold);
    apply(FItalic, gcl::fsItalic);
    apply(FUnderline, gcl::fsUnderline);
    apply(FStrikeOut, gcl::fsStrikeOut);
    font->SetStyle(style);
}

void TFontSettings::Apply(LOGFONTA& logFont, TColor& color) const {
    if (FSize != 100) logFont.lfHeight = (logFont.lfHeight * static_cast<int>(FSize) + 50) / 100;
    if (FColor != clNone) color = FColor;
    if (!FName.empty()) {
        std::memset(logFont.lfFaceName, 0, sizeof logFont.lfFaceName);
        std::memcpy(logFont.lfFaceName, FName.data(), std::min<size_t>(FName.size(), 31));
    }
    if (FBold != tsDefault) logFont.lfWeight = FBold == tsTrue ? FW_BOLD : FW_NORMAL;
    auto flag = [](TTriState state, BYTE& field) {
        if (state != tsDefault) field = state == tsTrue ? 1 : 0;
    };
    flag(FItalic, logFont.lfItalic);
    flag(FUnderline, logFont.lfUnderline);
    flag(FStrikeOut, logFont.lfStrikeOut);
}

HFONT TFontSettings::CreateTransformedFont(HFONT sourceFont, TColor& color) const {
    LOGFONTA lf{};
    if (GetObjectA(sourceFont, sizeof lf, &lf) == 0) return nullptr;
    Apply(lf, color);
    return CreateFontIndirectA(&lf);
}

// ---- Start-up ------------------------------------------------------------------------------

namespace {

DWORD WINAPI SoundWarmUp(LPVOID) noexcept {
    // Plays nothing; only loads the sound system.
    PlaySoundA(nullptr, nullptr, 0);
    return 0;
}

} // namespace

bool StartSoundWarmUp() {
    if (gcl::Win32Platform != gcl::PlatformWin32NT || gcl::Win32MajorVersion < 5) return false;
    DWORD id;
    HANDLE thread = CreateThread(nullptr, 16, &SoundWarmUp, nullptr, CREATE_SUSPENDED, &id);
    if (!thread) return false;
    SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
    ResumeThread(thread);
    CloseHandle(thread);
    return true;
}

// ---- Item state flags -----------------------------------------------------------

int ItemInfoToStateFlags(const TTxItemInfo& itemInfo) noexcept {
    int flags = 0;
    if (!itemInfo.Enabled) flags |= ISF_DISABLED;
    if (itemInfo.Pushed) flags |= ISF_PUSHED;
    if (itemInfo.HoverKind == 2) flags |= ISF_HOT;
    if (itemInfo.Selected) flags |= ISF_SELECTED;
    return flags;
}

TTxItemInfo StateFlagsToItemInfo(int stateFlags) noexcept {
    TTxItemInfo info{};
    switch (stateFlags & ISF_VIEWMASK) {
    case ISF_TOOLBAR:
        info.ViewType = VT_TOOLBARGROUP;
        info.ItemOptions = IO_TOOLBARSTYLE;
        break;
    case ISF_DOCKPANEL: info.ViewType = VT_DOCKPANELGROUP; break;
    case ISF_STATUSBAR: info.ViewType = VT_STATUSBAR; break;
    default: break;
    }
    info.Enabled = (stateFlags & ISF_DISABLED) == 0;
    info.Pushed = (stateFlags & ISF_PUSHED) != 0;
    info.HoverKind = (stateFlags & ISF_HOT) != 0 ? 2 : 0;
    info.Selected = (stateFlags & ISF_SELECTED) != 0;
    return info;
}

TColor GetThemedItemTextColor(int stateFlags) { return CurrentTheme->ItemTextColor(StateFlagsToItemInfo(stateFlags)); }

void PaintThemedCaption(TCanvas* canvas, const TRect& rect, const std::string& caption, unsigned format,
                        int stateFlags) {
    CurrentTheme->PaintCaption(canvas, rect, StateFlagsToItemInfo(stateFlags), caption, format, false);
}

void PaintThemedImage(TCanvas* canvas, const TRect& rect, TCustomImageList* imageList, int imageIndex,
                      int stateFlags) {
    CurrentTheme->PaintImage(canvas, rect, StateFlagsToItemInfo(stateFlags), imageList, imageIndex);
}

namespace {

void InitializeTx() {
    TxThemesUnit.Initialize();
    try {
        StartSoundWarmUp();
        RegisterTheme("Default", TTxDefaultTheme::StaticClass());
        TxNexus = TTxNexus::Create("Default");
    } catch (...) {
        try {
            UnregisterTheme("Default");
        } catch (...) {
        }
        TxThemesUnit.Finalize();
        throw;
    }
}

void FinalizeTx() {
    gcl::FreeAndNil(TxNexus);
    UnregisterTheme("Default");
    TxThemesUnit.Finalize();
}

} // namespace

gcl::TUnit TxUnit{"Tx", &InitializeTx, &FinalizeTx};

} // namespace qelvo
