// Wide captions and hints of actions, and the wide action links that keep
// a control's wide caption and hint in step with its action.
//
// An action class that keeps a wide caption and hint answers IWideAction
// (TUniAction, TUniHintAction). Such an action owns one companion
// (TCustomActionHelper) that holds the wide values beside the action's
// 8-bit Caption and Hint. While a wide caption is being written, the
// action's links are told (by the class library's 8-bit setter) while the
// 8-bit caption still has its old value; during that time a read of the
// wide caption gives the old wide caption too, so that each link compares
// the control with what it used to show, and GetActionWideCaption gives
// the link the new wide caption to show. Hints work the same way.
//
// A Unicode control names its link class through WideActionLinkClassFor
// and runs WideActionChange before the inherited ActionChange.
#pragma once

#include <string>

#include "gcl/ActnList.h"
#include "gcl/Controls.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Interfaces.h"

namespace qelvo {

namespace msg {
inline constexpr const char* NilAction = "UNI Internal Error: The action must not be nil.";
inline constexpr const char* ActionLinkClass =
    "UNI Internal Error: The wide action link does not descend from the inherited link.";
} // namespace msg

// The shortcut's text with the key named in the active keyboard layout:
// "Shift+", "Ctrl+", "Alt+" in that order, then digits and letters (and
// number-pad digits) as the layout's characters, the keys the class
// library names itself by those names, any other key by the keyboard's
// own (wide) name. 0 gives "".
std::wstring WideShortCutToText(gcl::TShortCut shortCut);

// Answered by actions that keep a wide caption and hint.
struct IWideAction : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{59D0AE37-8161-4AD6-9102-14B28E5761EB}");

protected:
    ~IWideAction() = default;
};

// Whether the action answers IWideAction.
bool IsWideAction(gcl::TBasicAction* action);

// The companion of a wide action: one of the action's own components.
class TCustomActionHelper : public gcl::TComponent {
    GCL_CLASS(TCustomActionHelper, gcl::TComponent)
public:
    gcl::TCustomAction* GetAction() const noexcept { return FAction; }

protected:
    // Owner is the action it serves.
    explicit TCustomActionHelper(gcl::TComponent* owner);

private:
    friend std::wstring UniActionGetCaption(gcl::TCustomAction* action);
    friend void UniActionSetCaption(gcl::TCustomAction* action, const std::wstring& value);
    friend std::wstring UniActionGetHint(gcl::TCustomAction* action);
    friend void UniActionSetHint(gcl::TCustomAction* action, const std::wstring& value);
    friend std::wstring GetActionWideCaption(gcl::TBasicAction* action, const std::wstring& value);
    friend std::wstring GetActionWideHint(gcl::TBasicAction* action, const std::wstring& value);
    static void SetAnsiCaption(gcl::TObject* obj, const std::string& value);
    static void SetAnsiHint(gcl::TObject* obj, const std::string& value);

    gcl::TCustomAction* FAction;
    std::wstring FWideCaption;
    bool FSettingNewCaption = false;
    std::wstring FOldWideCaption;
    std::string FNewAnsiCaption;
    std::wstring FWideHint;
    bool FSettingNewHint = false;
    std::wstring FOldWideHint;
    std::string FNewAnsiHint;
};

// The companion of Action, made on first use (EAssertionFailed for nil).
TCustomActionHelper* FindActionHelper(gcl::TCustomAction* action);

// The wide caption of an action: for a wide action the companion's (the
// old one while a new caption is being written and the 8-bit caption has
// not followed yet), else the 8-bit caption converted.
std::wstring UniActionGetCaption(gcl::TCustomAction* action);
// For a wide action: keeps Value in the companion and sets the 8-bit
// caption to its 8-bit form, telling the links; else sets the 8-bit form.
void UniActionSetCaption(gcl::TCustomAction* action, const std::wstring& value);
std::wstring UniActionGetHint(gcl::TCustomAction* action);
void UniActionSetHint(gcl::TCustomAction* action, const std::wstring& value);
// For a link told of a new 8-bit caption Value (converted): the new wide
// caption while a wide action is in the middle of writing it, else Value.
std::wstring GetActionWideCaption(gcl::TBasicAction* action, const std::wstring& value);
std::wstring GetActionWideHint(gcl::TBasicAction* action, const std::wstring& value);

// For a Unicode control's ActionChange, before the inherited one: a wide
// action's caption goes to the control unless CheckDefaults finds a text
// of the control's own (not empty and not its Name); its hint unless
// CheckDefaults finds a hint of the control's own.
void WideActionChange(gcl::TControl* control, gcl::TObject* sender, bool checkDefaults);

// ---- Wide action links ------------------------------------------------------------
//
// Each link is a caption and hint link only when the class library's test
// holds and the control's wide caption (hint) equals the action's wide
// one; a linked control gets the wide value.

class TUniControlActionLink : public gcl::TControlActionLink {
    GCL_CLASS(TUniControlActionLink, gcl::TControlActionLink)
public:
    explicit TUniControlActionLink(gcl::TObject* client) : gcl::TControlActionLink(client) {}
    bool IsCaptionLinked() override;
    bool IsHintLinked() override;
    void SetCaption(const std::string& value) override;
    void SetHint(const std::string& value) override;
};

class TUniWinControlActionLink : public gcl::TWinControlActionLink {
    GCL_CLASS(TUniWinControlActionLink, gcl::TWinControlActionLink)
public:
    explicit TUniWinControlActionLink(gcl::TObject* client) : gcl::TWinControlActionLink(client) {}
    bool IsCaptionLinked() override;
    bool IsHintLinked() override;
    void SetCaption(const std::string& value) override;
    void SetHint(const std::string& value) override;
};

class TUniButtonActionLink : public gcl::TButtonActionLink {
    GCL_CLASS(TUniButtonActionLink, gcl::TButtonActionLink)
public:
    explicit TUniButtonActionLink(gcl::TObject* client) : gcl::TButtonActionLink(client) {}
    bool IsCaptionLinked() override;
    bool IsHintLinked() override;
    void SetCaption(const std::string& value) override;
    void SetHint(const std::string& value) override;
};

class TUniSpeedButtonActionLink : public gcl::TSpeedButtonActionLink {
    GCL_CLASS(TUniSpeedButtonActionLink, gcl::TSpeedButtonActionLink)
public:
    explicit TUniSpeedButtonActionLink(gcl::TObject* client) : gcl::TSpeedButtonActionLink(client) {}
    bool IsCaptionLinked() override;
    bool IsHintLinked() override;
    void SetCaption(const std::string& value) override;
    void SetHint(const std::string& value) override;
};

// The wide link class for Control, whose inherited GetActionLinkClass
// answered InheritedClass: speed buttons, button controls, other windowed
// controls, any other control, first match. The chosen class must descend
// directly from InheritedClass (EAssertionFailed otherwise).
gcl::TBasicActionLinkClass WideActionLinkClassFor(const gcl::TControl* control,
                                                  gcl::TBasicActionLinkClass inheritedClass);

// ---- Actions --------------------------------------------------------------------------

// An action whose Caption and Hint are wide (published as wide strings).
class TUniAction : public gcl::TAction, public IWideAction {
    GCL_CLASS(TUniAction, gcl::TAction)
public:
    GCL_IUNKNOWN
    bool GetInterface(const gcl::TGUID& iid, void** out) override;

    std::wstring GetCaption() { return UniActionGetCaption(this); }
    void SetCaption(const std::wstring& value) { UniActionSetCaption(this, value); }
    using gcl::TCustomAction::SetCaption;
    std::wstring GetHint() { return UniActionGetHint(this); }
    void SetHint(const std::wstring& value) { UniActionSetHint(this, value); }
    using gcl::TCustomAction::SetHint;

    // The inherited assignment, then the source's wide caption and hint
    // (a TCustomAction's, or a control's).
    void Assign(gcl::TPersistent* source) override;

protected:
    explicit TUniAction(gcl::TComponent* owner) : gcl::TAction(owner) {}
    void DefineProperties(gcl::TFiler& filer) override;
};

// The hint action with a wide Hint.
class TUniHintAction : public gcl::THintAction, public IWideAction {
    GCL_CLASS(TUniHintAction, gcl::THintAction)
public:
    GCL_IUNKNOWN
    bool GetInterface(const gcl::TGUID& iid, void** out) override;

    std::wstring GetHint() { return UniActionGetHint(this); }
    void SetHint(const std::wstring& value) { UniActionSetHint(this, value); }
    using gcl::TCustomAction::SetHint;

protected:
    explicit TUniHintAction(gcl::TComponent* owner) : gcl::THintAction(owner) {}
    void DefineProperties(gcl::TFiler& filer) override;
};

// Registers TUniAction and TUniHintAction for form streams while it is
// initialised.
extern gcl::TUnit UniActnListUnit;

} // namespace qelvo
