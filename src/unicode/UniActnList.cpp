#include "gcl/rtl/WinApi.h"

#include "unicode/UniActnList.h"

#include "gcl/Buttons.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"
#include "unicode/UniClasses.h"
#include "unicode/UniControls.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TCustomActionHelper)
GCL_IMPLEMENT_CLASS(TUniControlActionLink)
GCL_IMPLEMENT_CLASS(TUniWinControlActionLink)
GCL_IMPLEMENT_CLASS(TUniButtonActionLink)
GCL_IMPLEMENT_CLASS(TUniSpeedButtonActionLink)

namespace {

// Keys the class library names by fixed texts.
bool HasFixedName(unsigned key) {
    return key == VK_BACK || key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE ||
           (key >= VK_SPACE && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE ||
           (key >= VK_F1 && key <= VK_F24);
}

// The companion of a wide action, or null for any other action.
TCustomActionHelper* WideActionHelper(gcl::TBasicAction* action) {
    auto* custom = dynamic_cast<gcl::TCustomAction*>(action);
    return custom && IsWideAction(custom) ? FindActionHelper(custom) : nullptr;
}

void InitializeUniActnList() {
    gcl::ActnListUnit.Initialize();
    UniControlsUnit.Initialize();
    gcl::RegisterClasses({TUniAction::StaticClass(), TUniHintAction::StaticClass()});
}

void FinalizeUniActnList() {
    gcl::UnRegisterClass(TUniHintAction::StaticClass());
    gcl::UnRegisterClass(TUniAction::StaticClass());
    UniControlsUnit.Finalize();
    gcl::ActnListUnit.Finalize();
}

} // namespace

gcl::TUnit UniActnListUnit{"UniActnList", &InitializeUniActnList, &FinalizeUniActnList};

// ---- Shortcut texts -----------------------------------------------------------------

std::wstring WideShortCutToText(gcl::TShortCut shortCut) {
    if (shortCut == 0) return std::wstring();
    const unsigned key = shortCut & 0xFF;
    std::wstring name;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)) {
        UINT ch = MapVirtualKeyW(key, 2 /* MAPVK_VK_TO_CHAR */) & 0xFFFF;
        if (ch) name = std::wstring(1, static_cast<wchar_t>(ch));
    } else if (!HasFixedName(key)) {
        wchar_t buffer[64] = {};
        LONG scanCode = static_cast<LONG>(MapVirtualKeyW(key, 0 /* MAPVK_VK_TO_VSC */)) << 16;
        if (GetKeyNameTextW(scanCode, buffer, 64) > 0) name = buffer;
    }
    if (name.empty()) {
        // The class library's own text, modifiers and all.
        return gcl::AnsiToWide(gcl::ShortCutToText(shortCut));
    }
    std::wstring result;
    if (shortCut & gcl::scShift) result += L"Shift+";
    if (shortCut & gcl::scCtrl) result += L"Ctrl+";
    if (shortCut & gcl::scAlt) result += L"Alt+";
    return result + name;
}

// ---- Actions ----------------------------------------------------------------------------

bool IsWideAction(gcl::TBasicAction* action) { return action && gcl::Supports(action, IWideAction::IID); }

// ---- The companion -------------------------------------------------------------------

TCustomActionHelper::TCustomActionHelper(gcl::TComponent* owner)
    : gcl::TComponent(owner), FAction(dynamic_cast<gcl::TCustomAction*>(owner)) {}

TCustomActionHelper* FindActionHelper(gcl::TCustomAction* action) {
    gcl::Assert(action != nullptr, msg::NilAction, "UniActnList");
    for (int i = 0; i < action->GetComponentCount(); ++i)
        if (auto* helper = dynamic_cast<TCustomActionHelper*>(action->GetComponents(i))) return helper;
    return TCustomActionHelper::Create(action);
}

// The class library's setter of the 8-bit caption. The empty value that
// SetSyncedWideString may pass first ends the old wide caption: the
// links see the action without a caption until the new one arrives.
void TCustomActionHelper::SetAnsiCaption(gcl::TObject* obj, const std::string& value) {
    auto* helper = static_cast<TCustomActionHelper*>(obj);
    if (value.empty() && !helper->FNewAnsiCaption.empty()) helper->FOldWideCaption.clear();
    helper->FAction->gcl::TCustomAction::SetCaption(value);
}

void TCustomActionHelper::SetAnsiHint(gcl::TObject* obj, const std::string& value) {
    auto* helper = static_cast<TCustomActionHelper*>(obj);
    if (value.empty() && !helper->FNewAnsiHint.empty()) helper->FOldWideHint.clear();
    helper->FAction->gcl::TCustomAction::SetHint(value);
}

// ---- Caption and hint of actions ---------------------------------------------------

std::wstring UniActionGetCaption(gcl::TCustomAction* action) {
    if (!IsWideAction(action)) return gcl::AnsiToWide(action->GetCaption());
    TCustomActionHelper* helper = FindActionHelper(action);
    const std::string& ansi = action->GetCaption();
    if (helper->FSettingNewCaption && ansi != helper->FNewAnsiCaption) return helper->FOldWideCaption;
    return GetSyncedWideString(helper->FWideCaption, ansi);
}

void UniActionSetCaption(gcl::TCustomAction* action, const std::wstring& value) {
    if (!IsWideAction(action)) {
        action->SetCaption(gcl::WideToAnsi(value));
        return;
    }
    TCustomActionHelper* helper = FindActionHelper(action);
    helper->FOldWideCaption = UniActionGetCaption(action);
    helper->FNewAnsiCaption = gcl::WideToAnsi(value);
    helper->FSettingNewCaption = true;
    try {
        SetSyncedWideString(value, helper->FWideCaption, action->GetCaption(), &TCustomActionHelper::SetAnsiCaption,
                            helper);
    } catch (...) {
        helper->FSettingNewCaption = false;
        throw;
    }
    helper->FSettingNewCaption = false;
}

std::wstring UniActionGetHint(gcl::TCustomAction* action) {
    if (!IsWideAction(action)) return gcl::AnsiToWide(action->GetHint());
    TCustomActionHelper* helper = FindActionHelper(action);
    const std::string& ansi = action->GetHint();
    if (helper->FSettingNewHint && ansi != helper->FNewAnsiHint) return helper->FOldWideHint;
    return GetSyncedWideString(helper->FWideHint, ansi);
}

void UniActionSetHint(gcl::TCustomAction* action, const std::wstring& value) {
    if (!IsWideAction(action)) {
        action->SetHint(gcl::WideToAnsi(value));
        return;
    }
    TCustomActionHelper* helper = FindActionHelper(action);
    helper->FOldWideHint = UniActionGetHint(action);
    helper->FNewAnsiHint = gcl::WideToAnsi(value);
    helper->FSettingNewHint = true;
    try {
        SetSyncedWideString(value, helper->FWideHint, action->GetHint(), &TCustomActionHelper::SetAnsiHint, helper);
    } catch (...) {
        helper->FSettingNewHint = false;
        throw;
    }
    helper->FSettingNewHint = false;
}

std::wstring GetActionWideCaption(gcl::TBasicAction* action, const std::wstring& value) {
    if (TCustomActionHelper* helper = WideActionHelper(action))
        if (helper->FSettingNewCaption && helper->FAction->GetCaption() != helper->FNewAnsiCaption)
            return helper->FWideCaption;
    return value;
}

std::wstring GetActionWideHint(gcl::TBasicAction* action, const std::wstring& value) {
    if (TCustomActionHelper* helper = WideActionHelper(action))
        if (helper->FSettingNewHint && helper->FAction->GetHint() != helper->FNewAnsiHint) return helper->FWideHint;
    return value;
}

void WideActionChange(gcl::TControl* control, gcl::TObject* sender, bool checkDefaults) {
    auto* action = dynamic_cast<gcl::TCustomAction*>(sender);
    if (!action || !IsWideAction(action)) return;
    gcl::TComponentRef<gcl::TControl> alive(control);
    gcl::TComponentRef<gcl::TCustomAction> actionAlive(action);
    if (!checkDefaults) {
        WideControlSetText(control, UniActionGetCaption(action));
    } else {
        const std::wstring text = WideControlGetText(control);
        if (text.empty() || text == gcl::AnsiToWide(control->GetName()))
            WideControlSetText(control, UniActionGetCaption(action));
    }
    if (!alive || !actionAlive) return;
    if (!checkDefaults || WideControlGetHint(control).empty()) WideControlSetHint(control, UniActionGetHint(action));
}

// ---- Wide action links --------------------------------------------------------------

// The same four overrides in every wide link: the class library's test
// and the wide comparison; the wide value for a linked control.
#define UNI_WIDE_ACTION_LINK(Link)                                                                      \
    bool Link::IsCaptionLinked() {                                                                      \
        gcl::TCustomAction* action = GetCustomAction();                                                 \
        return inherited::IsCaptionLinked() && UniActionGetCaption(action) == WideControlGetText(FClient); \
    }                                                                                                   \
    bool Link::IsHintLinked() {                                                                         \
        gcl::TCustomAction* action = GetCustomAction();                                                 \
        return inherited::IsHintLinked() && UniActionGetHint(action) == WideControlGetHint(FClient);    \
    }                                                                                                   \
    void Link::SetCaption(const std::string& value) {                                                   \
        if (!IsCaptionLinked()) return;                                                                 \
        TClientUpdate update(FClient);                                                                  \
        WideControlSetText(FClient, GetActionWideCaption(FAction, gcl::AnsiToWide(value)));             \
    }                                                                                                   \
    void Link::SetHint(const std::string& value) {                                                      \
        if (!IsHintLinked()) return;                                                                    \
        TClientUpdate update(FClient);                                                                  \
        WideControlSetHint(FClient, GetActionWideHint(FAction, gcl::AnsiToWide(value)));                \
    }

UNI_WIDE_ACTION_LINK(TUniControlActionLink)
UNI_WIDE_ACTION_LINK(TUniWinControlActionLink)
UNI_WIDE_ACTION_LINK(TUniButtonActionLink)
UNI_WIDE_ACTION_LINK(TUniSpeedButtonActionLink)

#undef UNI_WIDE_ACTION_LINK

gcl::TBasicActionLinkClass WideActionLinkClassFor(const gcl::TControl* control,
                                                  gcl::TBasicActionLinkClass inheritedClass) {
    gcl::TBasicActionLinkClass result;
    if (dynamic_cast<const gcl::TSpeedButton*>(control))
        result = TUniSpeedButtonActionLink::StaticClass();
    else if (dynamic_cast<const gcl::TButtonControl*>(control))
        result = TUniButtonActionLink::StaticClass();
    else if (dynamic_cast<const gcl::TWinControl*>(control))
        result = TUniWinControlActionLink::StaticClass();
    else
        result = TUniControlActionLink::StaticClass();
    gcl::Assert(result->ClassParent() == inheritedClass, msg::ActionLinkClass, "UniActnList");
    return result;
}

// ---- TUniAction ---------------------------------------------------------------------

bool TUniAction::GetInterface(const gcl::TGUID& iid, void** out) {
    return gcl::QueryInterfaces<IWideAction>(this, iid, out) || inherited::GetInterface(iid, out);
}

void TUniAction::Assign(gcl::TPersistent* source) {
    inherited::Assign(source);
    // The inherited assignment copied the 8-bit texts; the wide ones
    // follow, so that texts without an 8-bit form survive.
    if (auto* action = dynamic_cast<gcl::TCustomAction*>(source)) {
        SetCaption(UniActionGetCaption(action));
        SetHint(UniActionGetHint(action));
    } else if (auto* control = dynamic_cast<gcl::TControl*>(source)) {
        SetCaption(WideControlGetText(control));
        SetHint(WideControlGetHint(control));
    }
}

void TUniAction::DefineProperties(gcl::TFiler& filer) {
    inherited::DefineProperties(filer);
    DefineWideProperties(filer, this);
}

GCL_PUBLISHED(TUniAction,
    gcl::Prop<&TUniAction::GetCaption, static_cast<void (TUniAction::*)(const std::wstring&)>(&TUniAction::SetCaption)>(
        "Caption"),
    gcl::Prop<&TUniAction::GetHint, static_cast<void (TUniAction::*)(const std::wstring&)>(&TUniAction::SetHint)>(
        "Hint"))

// ---- TUniHintAction --------------------------------------------------------------

bool TUniHintAction::GetInterface(const gcl::TGUID& iid, void** out) {
    return gcl::QueryInterfaces<IWideAction>(this, iid, out) || inherited::GetInterface(iid, out);
}

void TUniHintAction::DefineProperties(gcl::TFiler& filer) {
    inherited::DefineProperties(filer);
    DefineWideProperties(filer, this);
}

GCL_PUBLISHED(TUniHintAction,
    gcl::Prop<&TUniHintAction::GetHint,
              static_cast<void (TUniHintAction::*)(const std::wstring&)>(&TUniHintAction::SetHint)>("Hint"))

} // namespace qelvo
