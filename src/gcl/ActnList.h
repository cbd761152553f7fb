// Actions, action lists and action links.
//
// An action is a command with its state (caption, checked, enabled, hint,
// image, shortcut, visibility). Clients (controls, menu items, the
// program's own toolbar items) are tied to an action through an action
// link: the link registers with the action, hears every change, and
// copies each property to its client while the client still shows the
// action's value (IsXxxLinked). Clicking a client executes its action
// through the link.
//
// Executing
// ---------
// TCustomAction::Execute first runs Update; a disabled action does
// nothing and answers false. AutoCheck then flips Checked (also for the
// checked member of a group, so executing the checked member again leaves
// the whole group unchecked), and the action is offered in turn to its
// list's OnExecute, its own OnExecute and the application window
// (CM_ACTIONEXECUTE); the first that handles it ends the walk. Update
// offers the action the same way (list OnUpdate, own OnUpdate,
// CM_ACTIONUPDATE).
//
// Checking a member of a group (GroupIndex > 0) unchecks the other
// actions of the same list with that GroupIndex.
//
// Shortcuts
// ---------
// A form offers every key to its components before the focused control
// sees it (CM_ISSHORTCUT); an action list answers by executing the first
// enabled action whose current ShortCut matches.
//
// Controls
// --------
// A control's Action (TControl::SetAction, defined in ActnList.cpp) is
// tied to it through the link class its GetActionLinkClass names. The
// link's changes reach the control's ActionChange; clicking the control
// executes the action (the click rule at TControl::Click); the
// application's idle update reaches InitiateAction of every control with
// csActionClient in its style, which SetAction adds.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/ImgList.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Init.h"

namespace gcl {

class TBasicAction;
class TBasicActionLink;
class TContainedAction;
class TCustomAction;
class TCustomActionList;
class TControlActionLink;

// ---- Shortcuts ---------------------------------------------------------------------

// A keyboard shortcut: the virtual key in the low byte plus the modifier
// bits scShift, scCtrl and scAlt.
using TShortCut = uint16_t;

inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

// key plus the bits of ssShift, ssCtrl and ssAlt in shift.
TShortCut ShortCut(uint16_t key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, uint16_t& key, TShiftState& shift);
// "Shift+", "Ctrl+", "Alt+" (in that order) and the key's name: digits and
// letters as themselves (number-pad digits too), "BkSp", "Tab", "Enter",
// "Esc", "Space", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right",
// "Down", "Ins", "Del", "F1".."F24", other keys by the keyboard's own
// name. 0 gives "".
std::string ShortCutToText(TShortCut shortCut);
// The reverse of ShortCutToText (modifiers in any order, case ignored);
// 0 for a text that names no key.
TShortCut TextToShortCut(const std::string& text);
// The shortcut of a key message: its key, Shift and Ctrl from the keyboard
// state, Alt from the key data. A modifier key pressed on its own (Shift,
// Ctrl, Alt, either Windows key) is no shortcut: 0.
TShortCut ShortCutFromMessage(const TWMKey& message);
// Whether Key (a virtual-key code) is one of those modifier keys.
bool IsModifierKey(uintptr_t key) noexcept;
// Whether a shortcut is one of the keys every text box takes for itself:
// Ctrl with A (select all), C, X, V, Z or Y; Ctrl+Ins, Shift+Ins; Del and
// Backspace alone or with Shift or Ctrl; Home, End, Left and Right alone
// or with Shift, Ctrl or both. Nothing with Alt is.
bool IsTextEditingKey(TShortCut shortCut) noexcept;
// Whether a window is a text box: an edit or rich edit, which asks for all
// its text selected when a dialog's Tab brings it the keyboard
// (DLGC_HASSETSEL) or, as the tree and list views' label editors and a
// rich edit that keeps its selection do without that flag, answers the
// limit of its text (EM_GETLIMITTEXT).
bool IsTextBox(HWND window);


using TActionEvent = TEvent<void(TBasicAction* Action, bool& Handled)>;
using THintEvent = TEvent<void(std::string& HintStr, bool& CanShow)>;

// ---- Links ------------------------------------------------------------------------


// Ties one client to one action. The link is owned by its client; freeing
// it unregisters it from the action.
class TBasicActionLink : public TObject {
    GCL_CLASS_META(TBasicActionLink, TObject, TBasicActionLinkMetaClass)
public:
    explicit TBasicActionLink(TObject* client);
    ~TBasicActionLink() override;

    TBasicAction* GetAction() const noexcept { return FAction; }
    virtual void SetAction(TBasicAction* value);
    // Runs the action with component as its ActionComponent; false when
    // there is no action or nothing handled it.
    virtual bool Execute(TComponent* component = nullptr);
    // The action's update step.
    virtual bool Update();

    // True while the client's OnClick still is the action's OnExecute.
    virtual bool IsOnExecuteLinked() { return true; }
    virtual void SetOnExecute(TNotifyEvent) {}

    // Fired with the action after every change of the action.
    TNotifyEvent OnChange;

protected:
    friend class TBasicAction;

    virtual void AssignClient(TObject*) {}
    // Fires OnChange.
    virtual void Change();

    TBasicAction* FAction = nullptr;
};

// The link of clients that show a TCustomAction's properties. Each
// IsXxxLinked answers whether the client follows that property (here:
// whether the action has it at all); each SetXxx, called by the action
// before it stores a new value, passes the value on to a linked client.
class TActionLink : public TBasicActionLink {
    GCL_CLASS(TActionLink, TBasicActionLink)
public:
    explicit TActionLink(TObject* client) : TBasicActionLink(client) {}

    virtual bool IsAutoCheckLinked();
    virtual bool IsCaptionLinked();
    virtual bool IsCheckedLinked();
    virtual bool IsEnabledLinked();
    virtual bool IsGroupIndexLinked();
    virtual bool IsHelpContextLinked();
    virtual bool IsHintLinked();
    virtual bool IsImageIndexLinked();
    virtual bool IsShortCutLinked();
    virtual bool IsVisibleLinked();

    virtual void SetAutoCheck(bool) {}
    virtual void SetCaption(const std::string&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetGroupIndex(int) {}
    virtual void SetHelpContext(int) {}
    virtual void SetHint(const std::string&) {}
    virtual void SetImageIndex(int) {}
    virtual void SetShortCut(TShortCut) {}
    virtual void SetVisible(bool) {}

    // The hint a client is about to show: the action's OnHint may change
    // or veto it (false: no hint); then, while the application shows
    // shortcuts in hints and the action has one, a non-empty hint becomes
    // "<hint> (<ShortCutToText>)".
    virtual bool DoShowHint(std::string& hintStr);

protected:
    // The action as a TCustomAction, or null.
    TCustomAction* GetCustomAction() const noexcept;
};

// ---- Actions ---------------------------------------------------------------------------

class TBasicAction : public TComponent {
    GCL_CLASS(TBasicAction, TComponent)
public:
    // Offers the action to its handlers; true when one handled it.
    virtual bool Execute();
    // Offers the update step to its handlers; true when one handled it.
    virtual bool Update();

    // The client whose link runs Execute now (null otherwise).
    TComponent* GetActionComponent() const noexcept { return FActionComponent.Get(); }
    void SetActionComponent(TComponent* value) { FActionComponent = value; }

    // Links announce themselves here; SetAction does this.
    void RegisterChanges(TBasicActionLink* value);
    void UnRegisterChanges(TBasicActionLink* value) noexcept;
    int GetClientCount() const noexcept { return static_cast<int>(FClients.size()); }
    TBasicActionLink* GetClients(int index) const;

    // Assign through SetOnExecute so that linked clients follow.
    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    TNotifyEvent GetOnExecute() const noexcept { return OnExecute; }
    virtual void SetOnExecute(TNotifyEvent value);
    TNotifyEvent GetOnUpdate() const noexcept { return OnUpdate; }
    void SetOnUpdate(TNotifyEvent value) noexcept { OnUpdate = value; }

    void BeforeDestruction() noexcept override;

protected:
    explicit TBasicAction(TComponent* owner);
    ~TBasicAction() override;

    // Tells every link (each fires its OnChange).
    virtual void Change();

    // The links, in registration order.
    std::vector<TBasicActionLink*> FClients;

private:
    TComponentRef<TComponent> FActionComponent;
};

// An action that can live in an action list.
class TContainedAction : public TBasicAction {
    GCL_CLASS(TContainedAction, TBasicAction)
public:
    TCustomActionList* GetActionList() const noexcept { return FActionList; }
    void SetActionList(TCustomActionList* value);
    const std::string& GetCategory() const noexcept { return FCategory; }
    void SetCategory(const std::string& value);
    // The position in the action list, or -1.
    int GetIndex() const noexcept;
    void SetIndex(int value);

    // The list's OnExecute, then the action's own, then the application
    // window (CM_ACTIONEXECUTE).
    bool Execute() override;
    // The list's OnUpdate, then the action's own, then the application
    // window (CM_ACTIONUPDATE).
    bool Update() override;

    bool HasParent() const override { return FActionList != nullptr; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* value) override;

    void BeforeDestruction() noexcept override;

protected:
    explicit TContainedAction(TComponent* owner) : TBasicAction(owner) {}

    void Change() override;

private:
    friend class TCustomActionList;

    TCustomActionList* FActionList = nullptr;
    std::string FCategory;
};

class TCustomAction : public TContainedAction {
    GCL_CLASS(TCustomAction, TContainedAction)
public:
    // Update; a disabled action answers false. AutoCheck flips Checked
    // before the handlers run.
    bool Execute() override;
    // The hint veto: OnHint may change the hint or refuse it. True when
    // the hint may show.
    virtual bool DoHint(std::string& hintStr);
    // Copies the properties of another TCustomAction.
    void Assign(TPersistent* source) override;

    // Each setter tells the links first (while the action still has the
    // old value, so IsXxxLinked compares against it), then stores the
    // value and announces the change.
    const std::string& GetCaption() const noexcept { return FCaption; }
    virtual void SetCaption(const std::string& value);
    const std::string& GetHint() const noexcept { return FHint; }
    virtual void SetHint(const std::string& value);
    bool GetChecked() const noexcept { return FChecked; }
    // Checking a member of a group unchecks the rest of the group.
    void SetChecked(bool value);
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool value);
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool value);
    int GetHelpContext() const noexcept { return FHelpContext; }
    void SetHelpContext(int value);
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int value);
    TShortCut GetShortCut() const noexcept { return FShortCut; }
    void SetShortCut(TShortCut value);
    bool GetAutoCheck() const noexcept { return FAutoCheck; }
    void SetAutoCheck(bool value);
    int GetGroupIndex() const noexcept { return FGroupIndex; }
    void SetGroupIndex(int value);

    THintEvent OnHint;
    THintEvent GetOnHint() const noexcept { return OnHint; }
    void SetOnHint(THintEvent value) noexcept { OnHint = value; }

protected:
    explicit TCustomAction(TComponent* owner) : TContainedAction(owner) {}

    // Stores the texts without telling anyone (for subclasses that keep
    // their own form of the text and announce the change themselves).
    void SetCaptionRaw(const std::string& value) { FCaption = value; }
    void SetHintRaw(const std::string& value) { FHint = value; }

private:
    // Unchecks the other members of the group in the list.
    void UncheckGroup();

    std::string FCaption;
    std::string FHint;
    bool FChecked = false;
    bool FChecking = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FAutoCheck = false;
    int FHelpContext = 0;
    int FImageIndex = -1;
    int FGroupIndex = 0;
    TShortCut FShortCut = 0;
};

class TAction : public TCustomAction {
    GCL_CLASS(TAction, TCustomAction)
protected:
    explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};

// The action the application runs when its hint changes and nobody
// handles OnHint: its Hint is the new application hint.
class THintAction : public TCustomAction {
    GCL_CLASS(THintAction, TCustomAction)
protected:
    explicit THintAction(TComponent* owner) : TCustomAction(owner) {}
};

// ---- Action lists --------------------------------------------------------------------

class TCustomActionList : public TComponent {
    GCL_CLASS(TCustomActionList, TComponent)
public:
    int GetActionCount() const noexcept { return static_cast<int>(FActions.size()); }
    // EListError when index is out of range.
    TContainedAction* GetActions(int index) const;
    int IndexOfAction(const TContainedAction* action) const noexcept;

    TCustomImageList* GetImages() const noexcept { return FImages.Get(); }
    void SetImages(TCustomImageList* value);

    // OnExecute / OnUpdate; true when the handler handled the action.
    virtual bool ExecuteAction(TBasicAction* action);
    virtual bool UpdateAction(TBasicAction* action);
    // Executes the first enabled action whose ShortCut matches the key and
    // the shift state; true when one ran.
    virtual bool IsShortCut(TWMKey& message);

    // Answers CM_ISSHORTCUT, which forms send to their components.
    void Dispatch(TMessage& message) override;
    void GetChildren(TGetChildProc proc, TComponent* root) override;
    void SetChildOrder(TComponent* child, int order) override;

    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    TNotifyEvent OnChange;
    TActionEvent GetOnExecute() const noexcept { return OnExecute; }
    void SetOnExecute(TActionEvent value) noexcept { OnExecute = value; }
    TActionEvent GetOnUpdate() const noexcept { return OnUpdate; }
    void SetOnUpdate(TActionEvent value) noexcept { OnUpdate = value; }
    TNotifyEvent GetOnChange() const noexcept { return OnChange; }
    void SetOnChange(TNotifyEvent value) noexcept { OnChange = value; }

    void BeforeDestruction() noexcept override;

protected:
    explicit TCustomActionList(TComponent* owner);
    ~TCustomActionList() override;

    // Fires OnChange.
    virtual void Change();
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TContainedAction;
    friend class TCustomAction;

    void AddAction(TContainedAction* action);
    void RemoveAction(TContainedAction* action) noexcept;
    void ImageListChange(TObject* sender);

    std::vector<TContainedAction*> FActions;
    TComponentRef<TCustomImageList> FImages;
    std::unique_ptr<TChangeLink> FImageChangeLink;
};

class TActionList : public TCustomActionList {
    GCL_CLASS(TActionList, TCustomActionList)
protected:
    explicit TActionList(TComponent* owner) : TCustomActionList(owner) {}
};

// ---- Links of controls -------------------------------------------------------------

// Caption, Enabled, Hint, Visible and OnClick of a control. The caption
// goes through WM_GETTEXT/WM_SETTEXT, so hooks on the control's WindowProc
// see it.
class TControlActionLink : public TActionLink {
    GCL_CLASS(TControlActionLink, TActionLink)
public:
    explicit TControlActionLink(TObject* client) : TActionLink(client) { AssignClient(client); }

    TControl* GetClient() const noexcept { return FClient; }
    // True while the link itself writes to the client; the client's click
    // rule runs nothing then (a check box whose Checked the link sets must
    // not execute the action again).
    bool GetUpdatingClient() const noexcept;

    bool IsCaptionLinked() override;
    bool IsEnabledLinked() override;
    bool IsHintLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;
    void SetCaption(const std::string& value) override;
    void SetEnabled(bool value) override;
    void SetHint(const std::string& value) override;
    void SetVisible(bool value) override;
    void SetOnExecute(TNotifyEvent value) override;

    // Marks writes to a client made on behalf of its action, for its
    // lifetime (the scopes nest; the client may die meanwhile).
    class TClientUpdate {
    public:
        explicit TClientUpdate(TControl* client);
        ~TClientUpdate();
        TClientUpdate(const TClientUpdate&) = delete;
        TClientUpdate& operator=(const TClientUpdate&) = delete;

    private:
        TControl* FClient;
    };

protected:
    void AssignClient(TObject* client) override;

    TControl* FClient = nullptr;
};

class TWinControlActionLink : public TControlActionLink {
    GCL_CLASS(TWinControlActionLink, TControlActionLink)
public:
    explicit TWinControlActionLink(TObject* client) : TControlActionLink(client) {}
};

// Button controls (check boxes, radio buttons): Checked follows the
// action's Checked. The client's "Checked" is reached through its
// published property, so any button class that publishes one takes part.
class TButtonActionLink : public TWinControlActionLink {
    GCL_CLASS(TButtonActionLink, TWinControlActionLink)
public:
    explicit TButtonActionLink(TObject* client) : TWinControlActionLink(client) {}

    bool IsCheckedLinked() override;
    void SetChecked(bool value) override;
};

// Speed buttons: Down follows Checked and GroupIndex follows GroupIndex,
// through the client's published "Down" and "GroupIndex".
class TSpeedButtonActionLink : public TControlActionLink {
    GCL_CLASS(TSpeedButtonActionLink, TControlActionLink)
public:
    explicit TSpeedButtonActionLink(TObject* client) : TControlActionLink(client) {}

    bool IsCheckedLinked() override;
    bool IsGroupIndexLinked() override;
    void SetChecked(bool value) override;
    void SetGroupIndex(int value) override;
};

// Registers the action classes; initialises
// ControlsUnit.
extern TUnit ActnListUnit;

} // namespace gcl
