// The extended editors: an edit whose text lives in a Unicode window, the
// edit that draws its border in the painting styles and hot-tracks, the
// small buttons placed inside such an edit, the check list box whose check
// boxes and rows follow the painting style, and the free painter of edit
// frames with an optional drop-down button. The extended edit item and its
// viewer are the unit's second file pair (controls/XtEditItem.h).
#pragma once

#include "gcl/rtl/WinApi.h"

#include <string>

#include "controls/XtControls.h"
#include "gcl/StdCtrls.h"
#include "unicode/UniCheckLst.h"

namespace qelvo {

// ---- The edit-frame painter ----------------------------------------------------------------

// An edit frame in the resolved style with a drop-down button in its right
// buttonWidth pixels (0: the frame only; the rectangle's width: the
// button only). The classic style draws nothing.
void DrawEditFrame(TCanvas* canvas, const TRect& rect, bool enabled, bool hotTrack, bool pushed,
                   TXtThemeType themeType, int buttonWidth);
// Only the drop-down button, filling the rectangle.
void DrawEditButtonFrame(TCanvas* canvas, const TRect& rect, bool enabled, bool hotTrack, bool pushed,
                         TXtThemeType themeType);

// ---- The Unicode edit ----------------------------------------------------------------------

// An edit whose text, hint, selection and password character are wide.
// Text set in code fires OnChange like typed text, also before the edit
// has a window. Visible TXtEditButton children keep the typed text clear
// of themselves through the edit's margins.
class TXtUnicodeEdit : public gcl::TEdit {
    GCL_CLASS(TXtUnicodeEdit, gcl::TEdit)
public:
    void Dispatch(gcl::TMessage& Message) override;

    // The wide text (the 8-bit GetText/SetText of the class library stay
    // reachable through gcl::TCustomEdit).
    std::wstring GetText() const;
    void SetText(const std::wstring& Value);
    std::wstring GetHint() const;
    void SetHint(const std::wstring& Value);
    using gcl::TControl::SetHint;
    bool IsHintStored() const;
    gcl::TAlignment GetAlignment() const noexcept { return FAlignment; }
    // Stores and re-creates the window.
    void SetAlignment(gcl::TAlignment Value);
    wchar_t GetPasswordChar() const;
    void SetPasswordChar(wchar_t Value);

    // The selection in wide characters.
    int GetSelStart() override;
    void SetSelStart(int Value) override;
    int GetSelLength() override;
    void SetSelLength(int Value) override;
    std::wstring GetSelText() const;
    // Replaces the selection (the caret ends after the new text).
    void SetSelText(const std::wstring& Value);

    // Gives the edit margins as wide as its visible left and right edit
    // buttons (+2 each side that has any).
    virtual void UpdateEditRect();

protected:
    explicit TXtUnicodeEdit(gcl::TComponent* AOwner) : gcl::TEdit(AOwner) {}

    void DefineProperties(gcl::TFiler& Filer) override;
    void CreateParams(gcl::TCreateParams& Params) override;
    void CreateWindowHandle(const gcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void AlignControls(gcl::TControl* Control, TRect& Rect) override;
    void ActionChange(gcl::TObject* Sender, bool CheckDefaults) override;
    gcl::TBasicActionLinkClass GetActionLinkClass() const override;

private:
    TXtUnicodeEdit* Self() const noexcept { return const_cast<TXtUnicodeEdit*>(this); }
    // The 8-bit selection text of the class library, for 8-bit callers.
    using gcl::TCustomEdit::SetSelText;

    wchar_t FPasswordChar = 0;
    gcl::TAlignment FAlignment = gcl::taLeftJustify;
    bool FSettingText = false;
};

// ---- The extended edit ----------------------------------------------------------------------

// A Unicode edit whose border follows the painting style and lights up
// while the mouse is over it or it has the focus.
class TXtEdit : public TXtUnicodeEdit {
    GCL_CLASS(TXtEdit, TXtUnicodeEdit)
public:
    void Dispatch(gcl::TMessage& Message) override;
    void BeforeDestruction() noexcept override;

    bool GetHotTrack() const noexcept { return FHotTrack; }
    void SetHotTrack(bool Value);
    TXtThemeType GetThemeType() const noexcept { return FThemeType; }
    // Also hands the style to every edit button inside.
    void SetThemeType(TXtThemeType Value);
    // The mouse is over the edit or it has the focus.
    bool GetHot() const noexcept { return FHot; }

    TXtDrawEvent OnDrawBackground;
    TXtDrawEvent GetOnDrawBackground() const noexcept { return OnDrawBackground; }
    void SetOnDrawBackground(TXtDrawEvent Value) noexcept { OnDrawBackground = Value; }

    // Fires OnDrawBackground.
    virtual void DoDrawBackground(TCanvas* ACanvas, const TRect& ARect, TXtPaintStage PaintStage,
                                  bool& PaintDefault);
    // Repaints the border (and the client area) when there is a window.
    virtual void InvalidateFrame();

protected:
    explicit TXtEdit(gcl::TComponent* AOwner);

private:
    void SetHot(bool Value);
    void PaintNonClient();

    bool FHotTrack = true;
    TXtThemeType FThemeType = thtTx;
    bool FHot = false;
};

// ---- The edit button ----------------------------------------------------------------------

// A speed button that sits inside an edit (align it left or right): it
// names itself "SubEditButtonN", gives the focus to its edit before it
// clicks, and without caption and image shows as the combo box's
// drop-down button under visual styles.
class TXtEditButton : public TXtSpeedButton {
    GCL_CLASS(TXtEditButton, TXtSpeedButton)
public:
    void AfterConstruction() override;
    void Click() override;

    // The owner, when it is a control.
    gcl::TWinControl* GetEdit() const noexcept { return FEdit; }

protected:
    explicit TXtEditButton(gcl::TComponent* AOwner);

    bool DoDraw(TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage) override;
    void DrawDropDownArrow(TCanvas* Canvas, const TRect& Rect) override;

private:
    // No caption and no image from its list.
    bool IsBare();
    gcl::TWinControl* FEdit = nullptr;
};

// ---- The check list box ----------------------------------------------------------------------

using TXtDrawItemBackgroundEvent =
    gcl::TEvent<void(gcl::TObject* Sender, int Index, gcl::TOwnerDrawState State, const TRect& ARect)>;

// A check list box of wide items whose check boxes, rows and border follow
// the painting style. The mouse, Space and OnClickCheck behave as in the
// class library's check list box.
class TXtCheckListBox : public TUniCheckListBox {
    GCL_CLASS(TXtCheckListBox, TUniCheckListBox)
public:
    void Dispatch(gcl::TMessage& Message) override;
    void BeforeDestruction() noexcept override;

    bool GetHotTrack() const noexcept { return FHotTrack; }
    void SetHotTrack(bool Value);
    TXtThemeType GetThemeType() const noexcept { return FThemeType; }
    void SetThemeType(TXtThemeType Value);
    bool GetHot() const noexcept { return FHot; }
    // The list has the focus (as last told by the form).
    bool GetFocused() const noexcept { return FFocused; }

    TXtDrawItemBackgroundEvent OnDrawItemBackground;
    TXtDrawItemBackgroundEvent GetOnDrawItemBackground() const noexcept { return OnDrawItemBackground; }
    void SetOnDrawItemBackground(TXtDrawItemBackgroundEvent Value) noexcept { OnDrawItemBackground = Value; }

    // The check box left of rect (right of it when reading right to left)
    // and the row's face; OnDrawItemBackground replaces both.
    virtual void DrawItemBackground(int Index, const TRect& Rect, gcl::TOwnerDrawState State);

protected:
    explicit TXtCheckListBox(gcl::TComponent* AOwner);

    // The item's wide text (OnDrawItem replaces it).
    void DrawItem(int Index, TRect Rect, gcl::TOwnerDrawState State) override;
    // Rows of the item height, or taller where a line of the font or a
    // check box needs more (on a screen of more dots per inch).
    int MeasuredItemHeight() override;

private:
    void DrawListItem(gcl::TMessage& Message);
    void RedrawFrame();

    bool FHot = false;
    bool FHotTrack = true;
    TXtThemeType FThemeType = thtTx;
    bool FFocused = false;
};

// Registers the editors for streaming (called by XtControlsUnit).
void RegisterXtEditorClasses();
void UnregisterXtEditorClasses() noexcept;

} // namespace qelvo

#include "controls/XtEditItem.h"
