// The extended standard controls: panels whose face and border follow the
// painting style, text objects and labels with wide captions, images, glow
// and links, push buttons with drop-down menus, bitmap skins and
// auto-repeat, check boxes and speed buttons, with their exclusive groups.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>

#include "controls/XtItem.h"
#include "gcl/ActnList.h"
#include "gcl/Controls.h"
#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/Menus.h"
#include "gcl/StdCtrls.h"
#include "gcl/Timers.h"
#include "gcl/rtl/Init.h"
#include "theming/TxDkPanels.h"

namespace qelvo {

// A button tells the buttons beside it that it became checked (WParam the
// group index, LParam the button).
inline constexpr uint32_t CM_BUTTONGROUPCHECK = 0xB8AE;
// A panel asks a windowed child to repaint its background (WParam width,
// LParam height).
inline constexpr uint32_t CM_XTINVALIDATEBACKGROUND = 0xBD05;

// ---- Panels ---------------------------------------------------------------------------

GCL_ENUM(TXtPanelBorder, pbrRaised, pbrDoubleRaised, pbrSunken, pbrDoubleSunken, pbrBumped, pbrEtched, pbrFramed)

// The face of a panel in the resolved style: classic edges, the visual
// styles' group box, the theme's checked button (txStyleBackground, not
// under "Default") or a two-pixel themed frame ring.
void DrawPanelFace(TCanvas* canvas, const TRect& rect, bool enabled, TXtPanelBorder borderType,
                   TXtThemeType themeType, bool txStyleBackground);

class TXtCustomPanel : public gcl::TCustomControl {
    GCL_CLASS(TXtCustomPanel, gcl::TCustomControl)
public:
    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;

    // Wide caption and hint (through the Unicode layer).
    std::wstring GetCaption();
    void SetCaption(const std::wstring& value);
    std::wstring GetHint();
    void SetHint(const std::wstring& value);
    bool IsCaptionStored();
    bool IsHintStored();

    bool GetBorders() const noexcept { return FBorders; }
    void SetBorders(bool value);
    TXtPanelBorder GetBorderType() const noexcept { return FBorderType; }
    void SetBorderType(TXtPanelBorder value);
    TTxControlMargins* GetMargins() const noexcept { return FMargins.get(); }
    void SetMargins(TTxControlMargins* value) { FMargins->Assign(value); }
    bool GetTxStyleBackground() const noexcept { return FTxStyleBackground; }
    void SetTxStyleBackground(bool value);
    TXtThemeType GetThemeType() const noexcept { return FThemeType; }
    void SetThemeType(TXtThemeType value);
    bool GetBufferValid() const noexcept { return FBufferValid; }

    // Drops the painted background; repaints the panel and, with
    // invalidateChildren, its windowed children.
    virtual void InvalidateBackground(bool invalidateChildren);
    // Paints the whole background (parent or Color, events, face) onto
    // canvas over rect.
    void PaintBackgroundTo(TCanvas* canvas, const TRect& rect);

    TXtDrawEvent OnDrawBackground;

protected:
    explicit TXtCustomPanel(gcl::TComponent* owner);
    ~TXtCustomPanel() override;

    void DefineProperties(gcl::TFiler& filer) override;
    void CreateParams(gcl::TCreateParams& params) override;
    void CreateWindowHandle(const gcl::TCreateParams& params) override;
    void AdjustClientRect(TRect& rect) override;

    virtual void DrawBackground(TCanvas* canvas, const TRect& rect);
    virtual void DoDrawBackground(TCanvas* canvas, const TRect& rect, TXtPaintStage paintStage, bool& paintDefault);

private:
    void MarginsChange(gcl::TObject* sender);

    std::unique_ptr<gcl::TBitmap> FBuffer;
    bool FBufferValid = false;
    bool FBorders = true;
    TXtPanelBorder FBorderType = pbrEtched;
    std::unique_ptr<TTxControlMargins> FMargins;
    bool FTxStyleBackground = false;
    TXtThemeType FThemeType = thtTx;
};

class TXtPanel : public TXtCustomPanel {
    GCL_CLASS(TXtPanel, TXtCustomPanel)
public:
    void Dispatch(gcl::TMessage& message) override;

    bool GetHotTrack() const noexcept { return FHotTrack; }
    void SetHotTrack(bool value);
    bool GetHot() const noexcept { return FHot; }
    bool GetChildFocused() const noexcept { return FChildFocused; }

    using TXtCustomPanel::GetCaption;
    using TXtCustomPanel::SetCaption;

protected:
    explicit TXtPanel(gcl::TComponent* owner) : TXtCustomPanel(owner) {}
    void AdjustClientRect(TRect& rect) override;
    void DrawBackground(TCanvas* canvas, const TRect& rect) override;

private:
    void SetHot(bool value);

    bool FHot = false;
    bool FHotTrack = false;
    bool FChildFocused = false;
};

// ---- Text objects and labels -----------------------------------------------------------------

using TXtGetImageIndexEvent =
    gcl::TEvent<void(gcl::TObject* Sender, TCustomImageList*& Images, int& ImageIndex)>;

class TXtTextObject : public TTxTextObject {
    GCL_CLASS(TXtTextObject, TTxTextObject)
public:
    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;
    bool CanFocus() override;
    void Click() override;

    std::wstring GetCaption();
    void SetCaption(const std::wstring& value);
    std::wstring GetHint();
    void SetHint(const std::wstring& value);
    bool IsCaptionStored();
    bool IsHintStored();

    TXtGlowDirection GetCaptionGlow() const noexcept { return FCaptionGlow; }
    void SetCaptionGlow(TXtGlowDirection value);
    TColor GetCaptionGlowColor() const noexcept { return FCaptionGlowColor; }
    void SetCaptionGlowColor(TColor value);
    bool GetDrawPushedCaption() const noexcept { return FDrawPushedCaption; }
    void SetDrawPushedCaption(bool value);
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int value);
    TCustomImageList* GetImages() const noexcept { return FImages; }
    void SetImages(TCustomImageList* value);
    TXtThemeType GetThemeType() const noexcept { return FThemeType; }
    void SetThemeType(TXtThemeType value);
    const std::wstring& GetLinkText() const noexcept { return FLinkText; }
    void SetLinkText(const std::wstring& value);
    const std::wstring& GetLinkTextParams() const noexcept { return FLinkTextParams; }
    void SetLinkTextParams(const std::wstring& value) { FLinkTextParams = value; }
    gcl::TFont* GetLinkFont() const noexcept { return FLinkFont.get(); }
    void SetLinkFont(gcl::TFont* value) { FLinkFont->Assign(value); }

    virtual bool GetChecked() { return FChecked; }
    virtual void SetChecked(bool value);
    // Pressed with the mouse inside.
    virtual bool GetPushed();
    // The link is shown: a link text and the mouse over the control.
    bool GetLinkShown() { return !FLinkText.empty() && GetMouseInControl(); }
    // The content (caption and glyph united, with the margins when
    // AutoSize), caption and glyph rectangles at the current size.
    virtual void CalcContentRect(TRect& content, TRect& caption, TRect& glyph);
    // The rectangles of the last painting.
    const TRect& GetLastCaptionRect() const noexcept { return FCaptionRect; }
    const TRect& GetLastGlyphRect() const noexcept { return FGlyphRect; }

    TXtDrawEvent OnDraw;
    TXtDrawTextEvent OnDrawCaption;
    TXtDrawHintEvent OnDrawHint;
    TXtGetImageIndexEvent OnGetImageIndex;

protected:
    explicit TXtTextObject(gcl::TComponent* owner);
    ~TXtTextObject() override;

    void DefineProperties(gcl::TFiler& filer) override;
    void CreateWindowHandle(const gcl::TCreateParams& params) override;
    void Notification(gcl::TComponent* component, gcl::TOperation operation) override;
    void ActionChange(gcl::TObject* sender, bool checkDefaults) override;
    gcl::TBasicActionLinkClass GetActionLinkClass() const override;
    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void GetTextHeight(gcl::TCanvas* canvas, int& height) override;
    void DoAdjustFont(gcl::TFont* font) override;
    void Paint() override;
    void DoMouseEnter() override;
    void DoMouseLeave() override;

    virtual bool DoDrawHint(gcl::TBitmap* bitmap, std::wstring& hint);
    // Fires OnDraw; answers whether the default painting runs.
    virtual bool DoDraw(TCanvas* canvas, const TRect& rect, TXtPaintStage paintStage);
    virtual void DoGetImageIndex(TCustomImageList*& images, int& index);
    void GetFocusRect(TRect& rect) override;
    virtual bool IsFocused();
    virtual void DoLink();
    // The glyph is greyed when the control is disabled.
    void SetGreyDisabledGlyph(bool value) noexcept { FGreyDisabledGlyph = value; }
    // The text format: alignment, wrapping, tabs and accelerators.
    uint32_t GetTextFormat();
    // Caption, glyph or font changed: the size follows with AutoSize.
    void ContentChanged();

private:
    void ImageListChange(gcl::TObject* sender);
    // The caption and glyph inside rect (the caption-and-glyph step).
    void DrawCaptionStep(TCanvas* canvas, const TRect& clientRect, const TRect& rect, uint32_t format);
    void ShowDrawnHint(gcl::TMessage& message);

    TXtGlowDirection FCaptionGlow = gldNone;
    TColor FCaptionGlowColor = gcl::clYellow;
    bool FChecked = false;
    bool FGreyDisabledGlyph = true;
    bool FDrawPushedCaption = false;
    std::unique_ptr<gcl::TChangeLink> FImageChangeLink;
    int FImageIndex = -1;
    TCustomImageList* FImages = nullptr;
    TXtThemeType FThemeType = thtTx;
    std::wstring FLinkText;
    std::wstring FLinkTextParams;
    std::unique_ptr<gcl::TFont> FLinkFont;
    TRect FCaptionRect;
    TRect FGlyphRect;
};

class TXtTextObjectActionLink : public gcl::TControlActionLink {
    GCL_CLASS(TXtTextObjectActionLink, gcl::TControlActionLink)
public:
    explicit TXtTextObjectActionLink(gcl::TObject* client) : gcl::TControlActionLink(client) {}
    bool IsCheckedLinked() override;
    void SetCaption(const std::string& value) override;
    void SetHint(const std::string& value) override;
    void SetChecked(bool value) override;
    void SetImageIndex(int value) override;

private:
    TXtTextObject* Client() const noexcept { return static_cast<TXtTextObject*>(FClient); }
};

class TXtCustomLabel : public TXtTextObject {
    GCL_CLASS(TXtCustomLabel, TXtTextObject)
public:
    void Dispatch(gcl::TMessage& message) override;

    gcl::TWinControl* GetFocusControl() const noexcept { return FFocusControl; }
    void SetFocusControl(gcl::TWinControl* value);
    bool GetUnderline() const noexcept { return FUnderline; }
    void SetUnderline(bool value);
    TColor GetUnderlineColor() const noexcept { return FUnderlineColor; }
    void SetUnderlineColor(TColor value);
    void CalcContentRect(TRect& content, TRect& caption, TRect& glyph) override;

protected:
    explicit TXtCustomLabel(gcl::TComponent* owner) : TXtTextObject(owner) {}
    void Notification(gcl::TComponent* component, gcl::TOperation operation) override;
    bool DoDraw(TCanvas* canvas, const TRect& rect, TXtPaintStage paintStage) override;

private:
    gcl::TWinControl* FFocusControl = nullptr;
    bool FUnderline = false;
    TColor FUnderlineColor = gcl::clBtnShadow;
};

class TXtLabel : public TXtCustomLabel {
    GCL_CLASS(TXtLabel, TXtCustomLabel)
public:
    using TXtTextObject::GetCaption;
    using TXtTextObject::SetCaption;

protected:
    explicit TXtLabel(gcl::TComponent* owner) : TXtCustomLabel(owner) {}
};

// ---- Buttons and check boxes ------------------------------------------------------------------

class TXtButtonControl : public TXtTextObject {
    GCL_CLASS(TXtButtonControl, TXtTextObject)
public:
    void Dispatch(gcl::TMessage& message) override;
    bool CanFocus() override;
    void SetChecked(bool value) override;

    // -1: no group.
    int GetGroupIndex() const noexcept { return FGroupIndex; }
    void SetGroupIndex(int value);

protected:
    // Space presses and clicks it, as it does a standard button.
    explicit TXtButtonControl(gcl::TComponent* owner) : TXtTextObject(owner) { SetSpacePushes(true); }
    virtual void Toggle() {}
    // Tells the siblings of the group that this control is checked.
    void AnnounceCheck();
    void SetGroupIndexRaw(int value) noexcept { FGroupIndex = value; }

private:
    int FGroupIndex = 0;
};

class TXtCustomCheckBox : public TXtButtonControl {
    GCL_CLASS(TXtCustomCheckBox, TXtButtonControl)
public:
    void Click() override;
    bool GetChecked() override { return FState == gcl::cbChecked; }
    void SetChecked(bool value) override;

    bool GetAllowGrayed() const noexcept { return FAllowGrayed; }
    void SetAllowGrayed(bool value) noexcept { FAllowGrayed = value; }
    gcl::TCheckBoxState GetState() const noexcept { return FState; }
    void SetState(gcl::TCheckBoxState value);
    void CalcContentRect(TRect& content, TRect& caption, TRect& glyph) override;

protected:
    explicit TXtCustomCheckBox(gcl::TComponent* owner);
    void Toggle() override;
    void DoGetImageIndex(TCustomImageList*& images, int& index) override;

private:
    bool FAllowGrayed = false;
    gcl::TCheckBoxState FState = gcl::cbUnchecked;
    bool FChangingState = false;
};

class TXtCheckBox : public TXtCustomCheckBox {
    GCL_CLASS(TXtCheckBox, TXtCustomCheckBox)
public:
    using TXtTextObject::GetCaption;
    using TXtTextObject::SetCaption;

protected:
    explicit TXtCheckBox(gcl::TComponent* owner) : TXtCustomCheckBox(owner) {}
};

// Takes the pending mouse-button messages of this thread from the queue
// and posts again all but the presses and double-clicks over control;
// WM_QUIT, when one is pending, is posted again last.
void DrainButtonClicks(gcl::TControl* control);

class TXtCustomButton : public TXtButtonControl {
    GCL_CLASS(TXtCustomButton, TXtButtonControl)
public:
    void Dispatch(gcl::TMessage& message) override;
    void BeforeDestruction() noexcept override;
    void Click() override;
    bool GetPushed() override;

    gcl::TBitmap* GetBitmap() const noexcept { return FBitmap.get(); }
    void SetBitmap(gcl::TBitmap* value);
    bool GetBitmapTransparent() const noexcept { return FBitmapTransparent; }
    void SetBitmapTransparent(bool value);
    bool GetCancel() const noexcept { return FCancel; }
    void SetCancel(bool value) noexcept { FCancel = value; }
    bool GetDefault() const noexcept { return FDefault; }
    void SetDefault(bool value);
    bool GetDropDownArrow() const noexcept { return FDropDownArrow; }
    void SetDropDownArrow(bool value);
    gcl::TPopupMenu* GetDropDownMenu() const noexcept { return FDropDownMenu; }
    void SetDropDownMenu(gcl::TPopupMenu* value);
    gcl::TModalResult GetModalResult() const noexcept { return FModalResult; }
    void SetModalResult(gcl::TModalResult value) noexcept { FModalResult = value; }
    bool GetRepeating() const noexcept { return FRepeating; }
    void SetRepeating(bool value) noexcept { FRepeating = value; }
    bool GetActive() const noexcept { return FActive; }
    bool GetDroppedDown() const noexcept { return FDroppedDown; }
    // The auto-repeat timer while a repeating button is held, else null.
    gcl::TTimer* GetRepeatTimer() const noexcept { return FRepeatTimer; }

protected:
    explicit TXtCustomButton(gcl::TComponent* owner);
    ~TXtCustomButton() override;

    void Notification(gcl::TComponent* component, gcl::TOperation operation) override;
    void MouseDown(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void MouseUp(gcl::TMouseButton button, gcl::TShiftState shift, int x, int y) override;
    void GetTextMargins(TRect& rect) override;
    void DoAdjustFont(gcl::TFont* font) override;
    bool DoDraw(TCanvas* canvas, const TRect& rect, TXtPaintStage paintStage) override;
    void GetFocusRect(TRect& rect) override;

    virtual void DrawDropDownArrow(TCanvas* canvas, const TRect& rect);
    virtual void StopRepeat();

private:
    void BitmapChange(gcl::TObject* sender);
    void RepeatTimerTick(gcl::TObject* sender);
    // The slice of a four-state bitmap skin for the current state.
    bool DrawBitmapSkin(TCanvas* canvas, const TRect& rect);
    void ShowDropDownMenu();

    std::unique_ptr<gcl::TBitmap> FBitmap;
    bool FBitmapTransparent = true;
    bool FActive = false;
    bool FCancel = false;
    bool FDefault = false;
    bool FDropDownArrow = true;
    gcl::TPopupMenu* FDropDownMenu = nullptr;
    bool FDroppedDown = false;
    gcl::TModalResult FModalResult = 0;
    bool FRepeating = false;
    gcl::TTimer* FRepeatTimer = nullptr;
};

class TXtButton : public TXtCustomButton {
    GCL_CLASS(TXtButton, TXtCustomButton)
public:
    using TXtTextObject::GetCaption;
    using TXtTextObject::SetCaption;

protected:
    explicit TXtButton(gcl::TComponent* owner) : TXtCustomButton(owner) {}
};

class TXtCustomSpeedButton : public TXtCustomButton {
    GCL_CLASS(TXtCustomSpeedButton, TXtCustomButton)
public:
    bool CanFocus() override { return false; }
    void Click() override;

protected:
    explicit TXtCustomSpeedButton(gcl::TComponent* owner);
};

class TXtSpeedButton : public TXtCustomSpeedButton {
    GCL_CLASS(TXtSpeedButton, TXtCustomSpeedButton)
public:
    using TXtTextObject::GetCaption;
    using TXtTextObject::SetCaption;

protected:
    explicit TXtSpeedButton(gcl::TComponent* owner) : TXtCustomSpeedButton(owner) {}
};

// The check boxes' shared glyph list (between the unit's start and end).
extern gcl::TImageList* XtCheckGlyphs;

// Starts XtItem, makes the check boxes' glyph list and registers the
// published classes for streaming.
extern gcl::TUnit XtControlsUnit;

} // namespace qelvo
