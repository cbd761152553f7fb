// In-place editing: the edit manager with its private message loop, the
// editor interface, the editor base and the single-line and multi-line
// editors over an edit and a memo control.
#pragma once

#include "listview/GvViews.h"

#include "gcl/Menus.h"
#include "gcl/StdCtrls.h"
#include "gcl/Timers.h"

namespace qelvo {

// The private messages of editing: the application lost activation (ends
// the edit), the owner goes on editing after Tab, the editor re-sizes.
inline constexpr UINT GvMsgEditEnd = WM_APP + 204;      // 0x80CC
inline constexpr UINT GvMsgEditContinue = WM_APP + 206; // 0x80CE
inline constexpr UINT GvMsgEditorResize = 0x80CD;

// What the edit manager asks of an in-place editor. Only the edit manager
// calls it, on the GUI thread.
struct IGvCellEditor : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{A1686E7E-7F39-4BD4-BE1F-9C20D7BC6EA0}");
    // Writes the value back; False when the value was refused.
    virtual bool GCL_STDCALL AcceptEdit() = 0;
    virtual HWND GCL_STDCALL GetHandle() = 0;
    virtual bool GCL_STDCALL GetModified() = 0;
    virtual void GCL_STDCALL ControlWndHookProc(gcl::TMessage& Message) = 0;
    virtual void GCL_STDCALL Hide() = 0;
    virtual void GCL_STDCALL Initialize(TGvItem* Item, TGvColumn* Column) = 0;
    virtual void GCL_STDCALL Finalize() = 0;
    // WindowPoint: the list view's client coordinates.
    virtual bool GCL_STDCALL PtInEditControl(gcl::TPoint WindowPoint) = 0;
    virtual void GCL_STDCALL SetEditorFocus() = 0;
    virtual void GCL_STDCALL SelectAll() = 0;
    virtual void GCL_STDCALL Show() = 0;
};

// The edit control of the single-line editor, and the memo of the
// multi-line one.
class TGvEdit : public gcl::TEdit {
    GCL_CLASS(TGvEdit, gcl::TEdit)
protected:
    explicit TGvEdit(gcl::TComponent* AOwner) : gcl::TEdit(AOwner) {}
};

class TGvMemo : public gcl::TMemo {
    GCL_CLASS(TGvMemo, gcl::TMemo)
protected:
    explicit TGvMemo(gcl::TComponent* AOwner) : gcl::TMemo(AOwner) {}
};

// The common part of the editors: a native control over the item's caption
// that grows as the user types, hooked so that Tab types a blank and a
// context menu can come from the list view. The editor lives for one edit.
class TGvBaseEditor : public TGvInterfacedPersistent, public IGvCellEditor {
    GCL_CLASS(TGvBaseEditor, TGvInterfacedPersistent)
public:
    GCL_IUNKNOWN
    bool GetInterface(const gcl::TGUID& iid, void** out) override;

    bool GCL_STDCALL AcceptEdit() override;
    HWND GCL_STDCALL GetHandle() override;
    bool GCL_STDCALL GetModified() override { return FModified; }
    void GCL_STDCALL ControlWndHookProc(gcl::TMessage& Message) override;
    void GCL_STDCALL Hide() override;
    void GCL_STDCALL Initialize(TGvItem* Item, TGvColumn* Column) override;
    void GCL_STDCALL Finalize() override;
    bool GCL_STDCALL PtInEditControl(gcl::TPoint WindowPoint) override;
    // Focuses the control and selects its text.
    void GCL_STDCALL SetEditorFocus() override;
    void GCL_STDCALL SelectAll() override;
    void GCL_STDCALL Show() override;

    TGvItem* GetItem() const noexcept { return FItem; }
    TGvColumn* GetColumn() const noexcept { return FColumn; }
    TCustomGvListview* GetListview() const noexcept { return FListview.Get(); }
    const TGvRectArrayObject& GetRectArray() const noexcept { return FRectArray; }
    virtual gcl::TWinControl* GetEditControl() const { return FEditControl; }
    virtual void SetEditControl(gcl::TWinControl* Value) { FEditControl = Value; }
    // The caption the editor starts with: OnItemGetEditCaption, else the
    // caption of the column's index (of the item without a column).
    virtual void GetEditCaption(TGvItem* Item, TGvColumn* Column, std::wstring& Caption);
    // The item or column is going away: the editor forgets it.
    void Forget(TGvCollectionItem* Obj) noexcept;
    // The rows moved under the control (the list view took another size):
    // it goes back over its item's caption.
    void FollowItem();

protected:
    TGvBaseEditor() = default;
    ~TGvBaseEditor() override;

    // The control's bounds for Text (window coordinates).
    virtual void CalcEditorRect(const std::wstring& Text, gcl::TRect& Rect) = 0;
    // Makes the hidden control, parented to Parent, showing the edit caption.
    virtual void CreateEditor(gcl::TWinControl*& Control, TGvColumn* Column, gcl::TWinControl* Parent) = 0;
    // The control's font and text (an edit or memo control here).
    virtual gcl::TFont* GetEditorFont();
    virtual void GetValue(gcl::TVariant& Value);
    virtual void DoEditKeyDown(uint16_t& Key, gcl::TShiftState Shift, bool& DoDefault) = 0;

    // Places the control over the caption for its current text.
    void ResizeEditor();
    // The control's key-down event: Enter accepts, F2 selects all, any
    // other key lets the control grow.
    void EditKeyDown(gcl::TObject* Sender, uint16_t& Key, gcl::TShiftState Shift);
    // Hides and parents a new edit control, gives it the edit caption and
    // the key handler, and the flat look of an unthemed list view.
    void SetUpEditControl(gcl::TCustomEdit* Control, TGvColumn* Column, gcl::TWinControl* Parent);
    void ApplyFlatLook(gcl::TCustomEdit* Control);
    // The text of the control as wide text.
    std::wstring ControlText() const;

    bool FModified = false;

private:
    void FreeEditControl() noexcept;
    // The control's window procedure while the editor is hooked in.
    void HookMessage(gcl::TMessage& Message) { ControlWndHookProc(Message); }

    TGvItem* FItem = nullptr;
    TGvColumn* FColumn = nullptr;
    gcl::TComponentRef<TCustomGvListview> FListview;
    gcl::TWinControl* FEditControl = nullptr;
    gcl::TWndMethod FOldWndProc;
    TGvRectArrayObject FRectArray;
    // Messages of the control being handled right now; the control is freed
    // only once none is.
    int FControlMessageDepth = 0;
    bool FFreePending = false;
};

// The single-line editor (small-icon, list, report and grid views).
class TGvStringEditor : public TGvBaseEditor {
    GCL_CLASS(TGvStringEditor, TGvBaseEditor)
protected:
    TGvStringEditor() = default;
    void CalcEditorRect(const std::wstring& Text, gcl::TRect& Rect) override;
    void CreateEditor(gcl::TWinControl*& Control, TGvColumn* Column, gcl::TWinControl* Parent) override;
    void DoEditKeyDown(uint16_t&, gcl::TShiftState, bool&) override {}
};

// The multi-line editor (icon, thumbnail, tile and film-strip views): the
// text is centred and wraps.
class TGvMemoEditor : public TGvBaseEditor {
    GCL_CLASS(TGvMemoEditor, TGvBaseEditor)
protected:
    TGvMemoEditor() = default;
    void CalcEditorRect(const std::wstring& Text, gcl::TRect& Rect) override;
    void CreateEditor(gcl::TWinControl*& Control, TGvColumn* Column, gcl::TWinControl* Parent) override;
    void DoEditKeyDown(uint16_t&, gcl::TShiftState, bool&) override {}
};

// The editor a list view makes for its view style when no handler supplies
// one: the memo editor in the icon, thumbnail, tile and film-strip views,
// the string editor in the others.
gcl::ComPtr<IGvCellEditor> CreateDefaultEditor(TGvListStyle View);

// Runs in-place editing: decides whether an edit may start, has the owner
// make the editor, runs a private message loop while it is shown, ends the
// edit on Escape, clicks outside, the wheel and deactivation, continues on
// Tab, and starts an edit by itself after a click (click-to-edit).
class TGvEditManager : public TGvOwnedPersistent {
    GCL_CLASS(TGvEditManager, TGvOwnedPersistent)
public:
    explicit TGvEditManager(TCustomGvListview* AOwner);
    ~TGvEditManager() override;

    int GetAutoEditDelayTime() const noexcept { return FAutoEditDelayTime; }
    void SetAutoEditDelayTime(int Value) noexcept { FAutoEditDelayTime = Value; }
    gcl::TColor GetColor() const noexcept { return FColor; }
    void SetColor(gcl::TColor Value) noexcept { FColor = Value; }
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    gcl::TFont* GetFont() const noexcept { return FFont.get(); }
    void SetFont(gcl::TFont* Value) { FFont->Assign(Value); }
    bool GetTabMoveFocus() const noexcept { return FTabMoveFocus; }
    void SetTabMoveFocus(bool Value) noexcept { FTabMoveFocus = Value; }
    bool GetTabEditColumns() const noexcept { return FTabEditColumns; }
    void SetTabEditColumns(bool Value) noexcept { FTabEditColumns = Value; }

    // Edits Item in Column and returns only when the edit has ended (the
    // thread's messages are pumped meanwhile). Nothing while an edit runs
    // or a Tab move is pending.
    virtual void BeginEdit(TGvItem* Item, TGvColumn* Column);
    // Ends the running edit without accepting it.
    void EndEdit();
    // Stops the click-to-edit timer and makes a running loop end after the
    // message in hand.
    void StopEdit();
    // True while editing or while a Tab move is pending.
    bool Editing() const noexcept { return FEditing || FTabMoveFocusItem != nullptr; }
    TGvItem* GetEditItem() const noexcept { return FEditItem; }
    TGvColumn* GetEditColumn() const noexcept { return FEditColumn; }
    IGvCellEditor* GetEditor() const noexcept { return FEditor.Get(); }
    TGvItem* GetTabMoveFocusItem() const noexcept { return FTabMoveFocusItem; }
    TGvColumn* GetTabMoveFocusColumn() const noexcept { return FTabMoveFocusColumn; }
    void SetTabMoveFocusItem(TGvItem* Value) noexcept { FTabMoveFocusItem = Value; }
    void SetTabMoveFocusColumn(TGvColumn* Value) noexcept { FTabMoveFocusColumn = Value; }

    // Click-to-edit: the click point (client coordinates) and the timer.
    void SetClickPoint(gcl::TPoint Value) noexcept { FClickPoint = Value; }
    gcl::TPoint GetClickPoint() const noexcept { return FClickPoint; }
    void StartAutoEditTimer();
    void StopAutoEditTimer();
    bool AutoEditTimerRunning() const noexcept { return FTimerRunning; }
    // The owner's answer to the Tab message: the edit goes on at the item
    // (and column) Tab chose.
    void ContinueAfterTab();
    // The owner is being destroyed: a running edit is taken down now, and
    // the loop leaves without touching the manager again.
    void OwnerDestroying() noexcept;
    // Drops every reference to the object (it is going away); a running
    // edit of it ends without accepting.
    void Forget(TGvCollectionItem* Obj) noexcept;
    // The owner took another size while an edit runs (the window maximised
    // or restored by its caption, which keeps the edit): the rows and the
    // scroll position moved, so the item is brought into sight and the
    // editor follows it.
    void OwnerResized();

private:
    void AutoEditTimer(gcl::TObject* Sender);
    bool MainWindowHook(gcl::TMessage& Message);
    void InstallHook();
    void RemoveHook() noexcept;
    // Asks the editor to take the value; a refusal keeps the editor open.
    bool Accept();
    // Where Tab goes on from Item / Column (Backwards for Ctrl+Tab).
    void PlanTabMove(TGvItem* Item, TGvColumn* Column, bool Backwards);
    // One message of the edit loop; False when it must not be dispatched.
    bool FilterMessage(MSG& Msg);
    // After the loop: the hook goes, the edit ends, the editor is released
    // and the focus goes back. Gone: the loop's flag.
    void FinishEdit(bool& Gone) noexcept;
    // Whether the focus is in the list view, its editor, its form or
    // nowhere: not taken by another control while the edit ended.
    bool FocusStillInList() const;

    int FAutoEditDelayTime = 300;
    gcl::TColor FColor = gcl::clWindow;
    bool FEnabled = false;
    std::unique_ptr<gcl::TFont> FFont;
    bool FTabMoveFocus = false;
    bool FAppHookInstalled = false;
    gcl::TPoint FClickPoint;
    TGvColumn* FEditColumn = nullptr;
    bool FStopFlag = false;
    bool FEditing = false;
    TGvItem* FEditItem = nullptr;
    gcl::ComPtr<IGvCellEditor> FEditor;
    bool FTabEditColumns = false;
    TGvColumn* FTabMoveFocusColumn = nullptr;
    TGvItem* FTabMoveFocusItem = nullptr;
    gcl::TTimer* FTimer = nullptr;
    bool FTimerRunning = false;
    // The window that had the focus before the edit (checked with IsWindow
    // before the focus goes back).
    HWND FRestoreFocus = nullptr;
    // Set by the destructor for a loop that is still running.
    bool* FLoopGone = nullptr;
};

} // namespace qelvo
