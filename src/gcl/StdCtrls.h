// The standard controls: edit and memo, push button, check box and radio
// button, label, list box and combo box.
//
// Every windowed control here superclasses a system control ("EDIT",
// "BUTTON", "LISTBOX", "COMBOBOX") with CreateSubClass and keeps its state
// in the component: texts, items with their data, check states, the
// selection and the scroll position are saved when the window goes
// (DestroyWnd) and put back when the next one is made (CreateWnd), so
// RecreateWnd loses nothing. Without a window the controls work on that
// saved state; they make no window just because an item was added.
//
// Code that wraps these windows (a wide-text layer) relies on:
//   - every message passing the control's WindowProc: the window text
//     goes through Perform (WM_GETTEXT, WM_SETTEXT); item and line
//     strings (LB_GETTEXT, LB_ADDSTRING, CB_ADDSTRING, EM_REPLACESEL, ...)
//     are sent with SendMessageA to the control's own window, which
//     reaches WindowProc too and lets the system convert the text when the
//     window has been made a Unicode one;
//   - TCustomEdit's raw PasswordChar setter and its virtual selection
//     accessors;
//   - TCustomListBox's virtual item-data accessors, its "moving" flag,
//     the virtual styles with OnData, and its item hooks;
//   - CN_DRAWITEM never calling DrawItem for item -1.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/Graphics.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Sets.h"

namespace gcl {

// ---- Vocabulary -------------------------------------------------------------

// TAlignment (Graphics.h) also places a check box's text beside its box:
// taRightJustify puts the text on the right.
GCL_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
GCL_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)
GCL_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)
GCL_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
// lbVirtual and lbVirtualOwnerDraw keep no items: Count is set, and the
// texts come from OnData.
GCL_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw)
GCL_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)
// Input method modes; published for form files, the controls do not use
// them.
GCL_ENUM(TImeMode, imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata,
         imChinese, imSHanguel, imHanguel)

using TLBGetDataEvent = TEvent<void(TWinControl* Control, int Index, std::string& Data)>;

// The owner-draw state of a DRAWITEMSTRUCT's itemState.
inline TOwnerDrawState OwnerDrawStateFromItemState(UINT itemState) noexcept {
    return TOwnerDrawState::FromMask(itemState & 0x1FFF);
}

// ---- TCustomEdit --------------------------------------------------------------

// The seam of the standard controls for wrapping layers (see TControlSeam
// in Controls.h): exactly these protected members of any edit or list box.
class TCustomEdit;
class TCustomListBox;
class TStdCtrlsSeam {
public:
    // TCustomEdit::SetPasswordCharRaw: stores the password character
    // without touching the window.
    static void SetPasswordCharRaw(TCustomEdit* edit, char value) noexcept;
    // TCustomListBox::GetMoving / SetMoving: set while Items.Move takes an
    // item out and puts it back.
    static bool GetMoving(const TCustomListBox* listBox) noexcept;
    static void SetMoving(TCustomListBox* listBox, bool value) noexcept;
};

class TCustomEdit : public TWinControl {
    GCL_CLASS(TCustomEdit, TWinControl)
public:
    // The text, through WM_GETTEXT/WM_SETTEXT.
    std::string GetText() override { return TControl::GetText(); }
    void SetText(const std::string& value) override { TControl::SetText(value); }

    int GetMaxLength() const noexcept { return FMaxLength; }
    void SetMaxLength(int value);
    bool GetReadOnly() const noexcept { return FReadOnly; }
    void SetReadOnly(bool value);
    TEditCharCase GetCharCase() const noexcept { return FCharCase; }
    void SetCharCase(TEditCharCase value);
    char GetPasswordChar() const noexcept { return FPasswordChar; }
    // Stores the character and tells the window (EM_SETPASSWORDCHAR).
    void SetPasswordChar(char value);
    bool GetAutoSelect() const noexcept { return FAutoSelect; }
    void SetAutoSelect(bool value) noexcept { FAutoSelect = value; }
    bool GetHideSelection() const noexcept { return FHideSelection; }
    void SetHideSelection(bool value);
    bool GetOEMConvert() const noexcept { return FOEMConvert; }
    void SetOEMConvert(bool value);
    TImeMode GetImeMode() const noexcept { return FImeMode; }
    void SetImeMode(TImeMode value) noexcept { FImeMode = value; }
    const std::string& GetImeName() const noexcept { return FImeName; }
    void SetImeName(const std::string& value) { FImeName = value; }
    // The edit's modified flag (EM_GETMODIFY); kept across re-creation.
    bool GetModified();
    void SetModified(bool value);
    using TWinControl::GetBorderStyle;
    using TWinControl::SetBorderStyle;

    // The selection, in characters of the window's text. Descendants that
    // count differently override these.
    virtual int GetSelStart();
    virtual void SetSelStart(int value);
    virtual int GetSelLength();
    virtual void SetSelLength(int value);
    virtual std::string GetSelText();
    virtual void SetSelText(const std::string& value);
    void SelectAll();
    void ClearSelection();
    void Clear();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    bool CanUndo();
    void Undo();
    void ClearUndo();

    TNotifyEvent OnChange;

    void AfterConstruction() override;

protected:
    explicit TCustomEdit(TComponent* owner);

    // ES_ styles; override to add ES_RIGHT or ES_CENTER.
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& message) override;
    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void DoEnter() override;
    // Fires OnChange; EN_CHANGE of the window calls it.
    virtual void Change();
    // Stores the password character without touching the window: for
    // code that sends EM_SETPASSWORDCHAR itself.
    void SetPasswordCharRaw(char value) noexcept { FPasswordChar = value; }
    // The height AutoSize gives the edit for its font.
    int AutoHeight();

    // Whether AfterConstruction turns AutoSize on (memos leave it off).
    bool FInitialAutoSize = true;

private:
    friend class TStdCtrlsSeam;
    int FMaxLength = 0;
    bool FReadOnly = false;
    TEditCharCase FCharCase = ecNormal;
    char FPasswordChar = '\0';
    bool FAutoSelect = true;
    bool FHideSelection = true;
    bool FOEMConvert = false;
    bool FModified = false;
    TImeMode FImeMode = imDontCare;
    std::string FImeName;
    int FSavedSelStart = -1;
    int FSavedSelLength = 0;
};

class TEdit : public TCustomEdit {
    GCL_CLASS(TEdit, TCustomEdit)
protected:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

// ---- TCustomMemo ----------------------------------------------------------------

class TCustomMemo : public TCustomEdit {
    GCL_CLASS(TCustomMemo, TCustomEdit)
public:
    // The lines: EM_ messages while there is a window, the stored text
    // otherwise. Each line ends in CR LF in Text.
    TStrings* GetLines() const noexcept { return FLines.get(); }
    void SetLines(TStrings* value);
    TScrollStyle GetScrollBars() const noexcept { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    bool GetWordWrap() const noexcept { return FWordWrap; }
    void SetWordWrap(bool value);
    bool GetWantReturns() const noexcept { return FWantReturns; }
    void SetWantReturns(bool value) noexcept { FWantReturns = value; }
    bool GetWantTabs() const noexcept { return FWantTabs; }
    void SetWantTabs(bool value) noexcept { FWantTabs = value; }
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment value);
    // The caret position: X = column, Y = line.
    TPoint GetCaretPos();

protected:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;

    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void KeyPress(char& key) override;

private:
    std::unique_ptr<TStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    TAlignment FAlignment = taLeftJustify;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
    GCL_CLASS(TMemo, TCustomMemo)
protected:
    explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

// ---- Buttons -----------------------------------------------------------------------

// The base of push buttons, check boxes and radio buttons. Checked is the
// state an action link sets and reads.
class TButtonControl : public TWinControl {
    GCL_CLASS(TButtonControl, TWinControl)
public:
    using TControl::GetCaption;
    using TControl::SetCaption;

    virtual bool GetChecked() { return false; }
    virtual void SetChecked(bool) {}
    bool GetWordWrap() const noexcept { return FWordWrap; }
    void SetWordWrap(bool value);

protected:
    explicit TButtonControl(TComponent* owner);

    void CreateParams(TCreateParams& params) override;
    // Check boxes and radio buttons follow the action's Checked.
    TBasicActionLinkClass GetActionLinkClass() const override;
    // While true, state changes made by code do not fire Click.
    bool GetClicksDisabled() const noexcept { return FClicksDisabled; }
    void SetClicksDisabled(bool value) noexcept { FClicksDisabled = value; }

private:
    bool FClicksDisabled = false;
    bool FWordWrap = false;
};

class TButton : public TButtonControl {
    GCL_CLASS(TButton, TButtonControl)
public:
    // Runs OnClick (or the action) and, with a ModalResult, closes the
    // modal form.
    void Click() override;
    bool GetDefault() const noexcept { return FDefault; }
    void SetDefault(bool value);
    bool GetCancel() const noexcept { return FCancel; }
    void SetCancel(bool value) noexcept { FCancel = value; }
    TModalResult GetModalResult() const noexcept { return FModalResult; }
    void SetModalResult(TModalResult value) noexcept { FModalResult = value; }
    // Whether the button is the one Enter presses now (it shows the
    // default frame).
    bool GetActive() const noexcept { return FActive; }

protected:
    explicit TButton(TComponent* owner);

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    void SetButtonStyle(bool isDefault);

private:
    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = mrNone;
};

class TCustomCheckBox : public TButtonControl {
    GCL_CLASS(TCustomCheckBox, TButtonControl)
public:
    bool GetChecked() override { return FState == cbChecked; }
    void SetChecked(bool value) override { SetState(value ? cbChecked : cbUnchecked); }
    TCheckBoxState GetState() const noexcept { return FState; }
    // A change fires Click (unless clicks are disabled).
    void SetState(TCheckBoxState value);
    bool GetAllowGrayed() const noexcept { return FAllowGrayed; }
    void SetAllowGrayed(bool value) noexcept { FAllowGrayed = value; }
    // taRightJustify: the text to the right of the box.
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment value);

protected:
    explicit TCustomCheckBox(TComponent* owner);

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    // The state a user click moves to: unchecked, (grayed,) checked.
    virtual void Toggle();

private:
    TCheckBoxState FState = cbUnchecked;
    TAlignment FAlignment = taRightJustify;
    bool FAllowGrayed = false;
};

class TCheckBox : public TCustomCheckBox {
    GCL_CLASS(TCheckBox, TCustomCheckBox)
protected:
    explicit TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}
};

class TRadioButton : public TButtonControl {
    GCL_CLASS(TRadioButton, TButtonControl)
public:
    bool GetChecked() override { return FChecked; }
    // Checking unchecks the radio buttons of the same parent and fires
    // Click.
    void SetChecked(bool value) override;
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment value);

protected:
    explicit TRadioButton(TComponent* owner);

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;

private:
    bool FChecked = false;
    TAlignment FAlignment = taRightJustify;
};

// ---- TLabel ---------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
    GCL_CLASS(TCustomLabel, TGraphicControl)
public:
    using TControl::GetCaption;
    using TControl::SetCaption;

    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment value);
    TTextLayout GetLayout() const noexcept { return FLayout; }
    void SetLayout(TTextLayout value);
    bool GetShowAccelChar() const noexcept { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    bool GetTransparent() const noexcept { return FTransparent; }
    void SetTransparent(bool value);
    bool GetWordWrap() const noexcept { return FWordWrap; }
    void SetWordWrap(bool value);
    // The control an accelerator ("&Name") focuses.
    TWinControl* GetFocusControl() const noexcept { return FFocusControl.Get(); }
    void SetFocusControl(TWinControl* value) { FFocusControl = value; }
    void SetAutoSize(bool value) override;

    void Dispatch(TMessage& message) override;
    void AfterConstruction() override;

protected:
    explicit TCustomLabel(TComponent* owner);

    void Paint() override;
    void Loaded() override;
    // The text drawn (the caption).
    virtual std::string GetLabelText();
    // Draws the text with DrawText; flags may hold DT_CALCRECT.
    virtual void DoDrawText(TRect& rect, uint32_t flags);
    // Resizes to the text when AutoSize is on, keeping the aligned edge.
    virtual void AdjustBounds();

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FShowAccelChar = true;
    bool FTransparent = false;
    bool FWordWrap = false;
    TComponentRef<TWinControl> FFocusControl;
};

class TLabel : public TCustomLabel {
    GCL_CLASS(TLabel, TCustomLabel)
protected:
    explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

// ---- List controls ---------------------------------------------------------------------

// What list boxes and combo boxes share: items with objects, one current
// item, and selection operations.
class TCustomListControl : public TWinControl {
    GCL_CLASS(TCustomListControl, TWinControl)
public:
    virtual int GetCount() = 0;
    virtual int GetItemIndex() = 0;
    virtual void SetItemIndex(int value) = 0;
    virtual void AddItem(const std::string& item, TObject* object) = 0;
    virtual void Clear() = 0;
    virtual void ClearSelection() = 0;
    // Adds the selected items (with their objects) to destination.
    virtual void CopySelection(TCustomListControl* destination) = 0;
    virtual void DeleteSelected() = 0;
    virtual void SelectAll() = 0;
    // Copies the selection to destination, then deletes it here.
    void MoveSelection(TCustomListControl* destination);

protected:
    explicit TCustomListControl(TComponent* owner) : TWinControl(owner) {}
};

class TListBoxStrings;

// The current item after the item at curIndex moved to newIndex: the moved
// item stays current, the items between shift by one.
int MovedItemIndex(int itemIndex, int curIndex, int newIndex) noexcept;

class TCustomListBox : public TCustomListControl {
    GCL_CLASS(TCustomListBox, TCustomListControl)
public:
    // The items: LB_ messages through Perform while there is a window, the
    // saved items otherwise.
    TStrings* GetItems() const noexcept;
    void SetItems(TStrings* value);
    TListBoxStyle GetStyle() const noexcept { return FStyle; }
    void SetStyle(TListBoxStyle value);
    int GetItemHeight();
    void SetItemHeight(int value);
    bool GetMultiSelect() const noexcept { return FMultiSelect; }
    void SetMultiSelect(bool value);
    bool GetExtendedSelect() const noexcept { return FExtendedSelect; }
    void SetExtendedSelect(bool value);
    bool GetSorted() const noexcept { return FSorted; }
    void SetSorted(bool value);
    bool GetIntegralHeight() const noexcept { return FIntegralHeight; }
    void SetIntegralHeight(bool value);
    int GetColumns() const noexcept { return FColumns; }
    void SetColumns(int value);
    int GetTabWidth() const noexcept { return FTabWidth; }
    void SetTabWidth(int value);
    using TWinControl::GetBorderStyle;
    using TWinControl::SetBorderStyle;

    int GetCount() override;
    // Virtual styles only: the number of items.
    void SetCount(int value);
    int GetItemIndex() override;
    void SetItemIndex(int value) override;
    int GetTopIndex();
    void SetTopIndex(int value);
    bool GetSelected(int index);
    void SetSelected(int index, bool value);
    // Selected items of a multi-select list (-1 for a single-select one).
    int GetSelCount();
    TCanvas* GetCanvas() const noexcept;

    void AddItem(const std::string& item, TObject* object) override;
    void Clear() override;
    void ClearSelection() override;
    void CopySelection(TCustomListControl* destination) override;
    void DeleteSelected() override;
    void SelectAll() override;
    // The item at a client point; -1 when existing and the point is past
    // the items.
    int ItemAtPos(TPoint pos, bool existing);
    TRect ItemRect(int index);

    // Item data (the objects of Items): LB_GETITEMDATA / LB_SETITEMDATA.
    virtual TObject* GetItemData(int index);
    virtual void SetItemData(int index, TObject* data);

    // Under dmAutomatic a press selects before the drag starts (Dispatch),
    // instead of the window core starting the drag at once.
    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    TLBGetDataEvent OnData;

protected:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // Draws item index (never -1): OnDrawItem, or the background and the
    // text.
    virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    // The text of item index of a virtual list (OnData).
    virtual std::string DoGetData(int index);
    bool IsVirtual() const noexcept { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }
    bool IsOwnerDraw() const noexcept { return FStyle != lbStandard; }
    // ItemHeight is streamed for the owner-drawn styles only.
    bool IsItemHeightStored() const noexcept { return IsOwnerDraw(); }

    // Set while Items.Move takes an item out and puts it back.
    bool GetMoving() const noexcept { return FMoving; }
    void SetMoving(bool value) noexcept { FMoving = value; }

    // Told after the list gained an item at index, lost the item at index,
    // lost all items, or (virtual styles) got a new count; with a window
    // and without. Not called while re-created windows get their saved
    // items back.
    virtual void ItemInserted(int index);
    virtual void ItemDeleted(int index);
    virtual void ItemsCleared();
    virtual void ItemCountSet(int count);
    // Told before Sorted reorders the items: order[i] is the old index of
    // the item that will be at i.
    virtual void ItemsReordered(const std::vector<int>& order);
    // The height owner-drawn fixed items get (ItemHeight).
    virtual int MeasuredItemHeight();

private:
    friend class TStdCtrlsSeam;
    friend class TListBoxStrings;

    struct TSavedItem {
        std::string Text;
        TObject* Data = nullptr;
        bool Selected = false;
    };

    void CNDrawItem(TMessage& message);
    void CNMeasureItem(TMessage& message);
    void CNCommand(TMessage& message);
    void LBGetText(TMessage& message, bool lengthOnly);
    void NotifyStringChange(TMessage& message);
    int SavedInsertPosition(const std::string& text) const;

    std::unique_ptr<TListBoxStrings> FItems;
    std::unique_ptr<TControlCanvas> FCanvas;
    std::vector<TSavedItem> FSaved;    // the items while there is no window
    int FSavedCount = 0;               // virtual styles
    int FSavedItemIndex = -1;
    int FSavedTopIndex = 0;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    int FColumns = 0;
    int FTabWidth = 0;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    bool FSorted = false;
    bool FIntegralHeight = false;
    bool FMoving = false;
    bool FRestoring = false;
};

class TListBox : public TCustomListBox {
    GCL_CLASS(TListBox, TCustomListBox)
protected:
    explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

class TComboBoxStrings;

class TCustomComboBox : public TCustomListControl {
    GCL_CLASS(TCustomComboBox, TCustomListControl)
public:
    std::string GetText() override { return TControl::GetText(); }
    void SetText(const std::string& value) override { TControl::SetText(value); }

    TStrings* GetItems() const noexcept;
    void SetItems(TStrings* value);
    TComboBoxStyle GetStyle() const noexcept { return FStyle; }
    void SetStyle(TComboBoxStyle value);
    int GetItemHeight();
    void SetItemHeight(int value);
    int GetDropDownCount() const noexcept { return FDropDownCount; }
    void SetDropDownCount(int value) noexcept { FDropDownCount = value; }
    bool GetDroppedDown();
    void SetDroppedDown(bool value);
    int GetMaxLength() const noexcept { return FMaxLength; }
    void SetMaxLength(int value);
    bool GetSorted() const noexcept { return FSorted; }
    void SetSorted(bool value);
    int GetSelStart();
    void SetSelStart(int value);
    int GetSelLength();
    void SetSelLength(int value);
    // The edit window of csSimple and csDropDown combo boxes, else null
    // (the combo box's window is made when needed).
    HWND GetEditHandle();
    TCanvas* GetCanvas() const noexcept;

    int GetCount() override;
    int GetItemIndex() override;
    void SetItemIndex(int value) override;
    void AddItem(const std::string& item, TObject* object) override;
    void Clear() override;
    void ClearSelection() override;
    void CopySelection(TCustomListControl* destination) override;
    void DeleteSelected() override;
    void SelectAll() override;

    void Dispatch(TMessage& message) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // CBN_DROPDOWN and CBN_CLOSEUP.
    virtual void DropDown();
    virtual void CloseUp();
    virtual void Change();
    // A selection from the list: OnSelect, or OnChange without one.
    virtual void Select();
    // Draws item index (never -1): OnDrawItem, or background and text.
    virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    // Keys typed into the edit window reach the combo box's key events.
    bool EditKeyMessage(UINT msg, WPARAM& wParam, LPARAM lParam);
    // ItemHeight is streamed for the owner-drawn styles only.
    bool IsItemHeightStored() const noexcept { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }

private:
    friend class TComboBoxStrings;
    friend LRESULT CALLBACK ComboEditWndProc(HWND, UINT, WPARAM, LPARAM);

    struct TSavedItem {
        std::string Text;
        TObject* Data = nullptr;
    };

    void CNCommand(TMessage& message);
    void CNDrawItem(TMessage& message);
    void CNMeasureItem(TMessage& message);
    void AdjustDropDown();
    // Closes the dropped list, also one the window no longer counts as
    // dropped (see CM_SHOWINGCHANGED).
    void CloseDroppedList();
    // Sizes the dropped list to DropDownCount items and keeps it on the
    // screen, below the field or above it where there is more room.
    void FitDroppedList();
    void HookEdit();
    void UnhookEdit() noexcept;

    std::unique_ptr<TComboBoxStrings> FItems;
    std::unique_ptr<TControlCanvas> FCanvas;
    std::vector<TSavedItem> FSaved;
    int FSavedItemIndex = -1;
    std::string FSavedText;
    bool FHasSavedText = false;
    TComboBoxStyle FStyle = csDropDown;
    int FItemHeight = 16;
    int FDropDownCount = 8;
    int FMaxLength = 0;
    bool FSorted = false;
    HWND FEditHandle = nullptr;
    WNDPROC FEditDefProc = nullptr;
};

class TComboBox : public TCustomComboBox {
    GCL_CLASS(TComboBox, TCustomComboBox)
protected:
    explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

// ---- TStdCtrlsSeam -------------------------------------------------------------------

inline void TStdCtrlsSeam::SetPasswordCharRaw(TCustomEdit* edit, char value) noexcept {
    edit->SetPasswordCharRaw(value);
}
inline bool TStdCtrlsSeam::GetMoving(const TCustomListBox* listBox) noexcept { return listBox->GetMoving(); }
inline void TStdCtrlsSeam::SetMoving(TCustomListBox* listBox, bool value) noexcept { listBox->SetMoving(value); }

// Registers the classes of this unit for streaming.
extern TUnit StdCtrlsUnit;

} // namespace gcl
