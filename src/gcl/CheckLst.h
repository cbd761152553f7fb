// The check list box: a list box whose items carry a check box, an
// enabled flag and a header flag.
//
// The per-item states live in the component, beside the items, and follow
// them through insertion, deletion, moving, sorting and window
// re-creation. The window is owner-drawn; drawing an item is two steps:
// DrawCheckPart draws the check box and narrows the item rectangle, then
// the virtual DrawItemText draws the text (or calls OnDrawItem). Code that
// draws the text its own way overrides DrawItemText only. DrawCheck draws
// a check box anywhere, without any text.
#pragma once

#include <vector>

#include "gcl/StdCtrls.h"

namespace gcl {

class TCheckListBox : public TCustomListBox {
    GCL_CLASS(TCheckListBox, TCustomListBox)
public:
    bool GetChecked(int index);
    void SetChecked(int index, bool value);
    TCheckBoxState GetState(int index);
    void SetState(int index, TCheckBoxState value);
    bool GetItemEnabled(int index);
    void SetItemEnabled(int index, bool value);
    // A header item shows no check box, is drawn in the header colours and
    // cannot be checked by the user.
    bool GetHeader(int index);
    void SetHeader(int index, bool value);
    TColor GetHeaderColor() const noexcept { return FHeaderColor; }
    void SetHeaderColor(TColor value);
    TColor GetHeaderBackgroundColor() const noexcept { return FHeaderBackgroundColor; }
    void SetHeaderBackgroundColor(TColor value);
    bool GetAllowGrayed() const noexcept { return FAllowGrayed; }
    void SetAllowGrayed(bool value) noexcept { FAllowGrayed = value; }
    bool GetFlat() const noexcept { return FFlat; }
    void SetFlat(bool value);

    // The width an item's check part takes: the check box glyph + 2.
    int GetCheckWidth();
    // Checks every item (or unchecks, or grays); with its arguments false
    // the disabled items and the headers are left alone.
    void CheckAll(TCheckBoxState state, bool allowGrayed = true, bool allowDisabled = true);

    // Draws a check box in the middle of rect: themed when visual styles
    // are active, else in the classic look. The control's window, when
    // given, picks its theme.
    static void DrawCheck(TCanvas* canvas, const TRect& rect, TCheckBoxState state, bool enabled, bool flat,
                          HWND window = nullptr);
    // The size of the check box glyph.
    static TSize CheckSize(HWND window = nullptr);

    void Dispatch(TMessage& message) override;

    // Fired after the user changed an item's check state.
    TNotifyEvent OnClickCheck;

protected:
    explicit TCheckListBox(TComponent* owner);

    void CreateParams(TCreateParams& params) override;
    // DrawCheckPart, then DrawItemText on what is left of rect.
    void DrawItem(int index, TRect rect, TOwnerDrawState state) override;
    // Draws the check part of item index at the leading edge of rect
    // (nothing for a header) and narrows rect to the rest.
    void DrawCheckPart(int index, TRect& rect, TOwnerDrawState state);
    // The text part: OnDrawItem, or the background and the text (a header
    // in the header colours).
    virtual void DrawItemText(int index, TRect rect, TOwnerDrawState state);
    // Gives the canvas the colours of item index's text: the header
    // colours for a header, the gray text colour for a disabled item
    // (nothing for an index outside the items).
    void SetItemTextColors(int index);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyPress(char& key) override;
    // Moves item index to its next state as a click does, then ClickCheck.
    virtual void ToggleClickCheck(int index);
    virtual void ClickCheck();
    // A standard list's rows hold a line of its font and a check box.
    int MeasuredItemHeight() override;
    // The height of a row that holds a line of the font and a check box.
    int LineAndCheckHeight();

    void ItemInserted(int index) override;
    void ItemDeleted(int index) override;
    void ItemsCleared() override;
    void ItemCountSet(int count) override;
    void ItemsReordered(const std::vector<int>& order) override;

private:
    struct TItemState {
        TCheckBoxState State = cbUnchecked;
        bool Enabled = true;
        bool Header = false;
    };

    TItemState& ItemState(int index);
    void InvalidateItem(int index);

    std::vector<TItemState> FStates;
    TItemState FMovedState;
    bool FHaveMovedState = false;
    TColor FHeaderColor = clInfoText;
    TColor FHeaderBackgroundColor = clInfoBk;
    bool FAllowGrayed = false;
    bool FFlat = true;
};

extern TUnit CheckLstUnit;

} // namespace gcl
