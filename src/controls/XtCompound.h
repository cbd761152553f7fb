// Compound bars: windowed controls that wrap one toolbar in one dock so a
// plain control carries toolbar items (the compound items control, base of
// the tab set, and the compound bar), the status toolbar with its size
// grip, and the title bar that replaces a form's caption with a themed
// strip, caption buttons and resize borders of its own.
#pragma once

#include <memory>
#include <string>

#include "controls/XtButtonOptions.h"
#include "controls/XtItem.h"
#include "gcl/Forms.h"

namespace qelvo {

class TXtCustomTitleBar;

// ---- The compound items control -------------------------------------------------------------

// A control whose items live on a toolbar in a dock of its own.
class TXtCompoundItemsControl : public gcl::TCustomControl {
    GCL_CLASS(TXtCompoundItemsControl, gcl::TCustomControl)
public:
    TXtDock* GetDock() const noexcept { return FDock; }
    TXtToolbar* GetToolbar() const noexcept { return FToolbar; }
    // The toolbar's items.
    TBarCustomItem* GetItems() const;

    virtual const gcl::TComponent::TMetaClassType* GetDockClass();
    virtual const gcl::TComponent::TMetaClassType* GetToolbarClass();
    // Repaints the control with its children (nothing while it is going).
    virtual void InvalidateBackground(bool Repaint);

    void Dispatch(gcl::TMessage& Message) override;
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;
    // The items and the controls of control items are streamed here.
    void GetChildren(gcl::TGetChildProc Proc, gcl::TComponent* Root) override;

protected:
    explicit TXtCompoundItemsControl(gcl::TComponent* AOwner);
    void CreateParams(gcl::TCreateParams& Params) override;
    void Loaded() override;

private:
    void DockRequestDock(gcl::TObject* Sender, TBarCustomDockableWindow* Bar, bool& Accept);

    TXtDock* FDock = nullptr;
    TXtToolbar* FToolbar = nullptr;
};

// ---- The compound bar -----------------------------------------------------------------------

// A compound control as tall as its dock, whose dock background an owner
// may paint.
class TXtCompoundBar : public TXtCompoundItemsControl {
    GCL_CLASS(TXtCompoundBar, TXtCompoundItemsControl)
public:
    TXtDrawEvent OnDrawDockBackground;
    TXtDrawEvent GetOnDrawDockBackground() const noexcept { return OnDrawDockBackground; }
    void SetOnDrawDockBackground(TXtDrawEvent Value) noexcept { OnDrawDockBackground = Value; }

    virtual void DoDrawDockBackground(gcl::TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage,
                                      bool& PaintDefault);
    void AfterConstruction() override;

protected:
    explicit TXtCompoundBar(gcl::TComponent* AOwner) : TXtCompoundItemsControl(AOwner) {}
    // The control's height follows the dock's.
    void DockResize(gcl::TObject* Sender);

private:
    void DockDrawBackground(gcl::TObject* Sender, gcl::TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage,
                            bool& PaintDefault);
};

// ---- The status toolbar ---------------------------------------------------------------------

// A toolbar for the foot of a form with a size grip at its right end that
// sizes the form.
class TXtStatusToolbar : public TXtToolbar {
    GCL_CLASS(TXtStatusToolbar, TXtToolbar)
public:
    bool GetSizeGrip() const noexcept { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    TXtThemeType GetThemeType() const noexcept { return FThemeType; }
    void SetThemeType(TXtThemeType Value);
    bool GetClassicGrip() const noexcept { return FClassicGrip; }

    // The grip in the bar's client coordinates: the dock's right
    // scroll-bar width, empty when the form cannot be sized by it.
    TRect GetGripRect();
    // The grip's width, else 4.
    int GetRightAlignMargin() override;
    // A separator that reaches into the grip is not painted.
    bool HidesSeparator(TBarItemViewer* Viewer) override;
    void Dispatch(gcl::TMessage& Message) override;

protected:
    explicit TXtStatusToolbar(gcl::TComponent* AOwner) : TXtToolbar(AOwner) {}
    void MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) override;

private:
    gcl::TCustomForm* ParentForm();
    void PaintGrip(HDC DC);
    // A press in the grip sizes the form from its bottom-right corner.
    bool GripPress(TPoint ClientPoint);

    bool FSizeGrip = true;
    TXtThemeType FThemeType = thtTx;
    gcl::TComponentRef<gcl::TCustomForm> FParentForm;
    bool FClassicGrip = false;
};

// ---- The title bar ---------------------------------------------------------------------------

// The title bar's toolbar: presses on empty space move the form.
class TXtTitleToolbar : public TXtToolbar {
    GCL_CLASS(TXtTitleToolbar, TXtToolbar)
public:
    int GetRightAlignMargin() override { return 4; }
    void Dispatch(gcl::TMessage& Message) override;

protected:
    explicit TXtTitleToolbar(gcl::TComponent* AOwner);
    void MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) override;

private:
    TXtCustomTitleBar* TitleBar() const;
};

// The caption buttons of a title bar: a system-menu button first (the
// program's icon while it has no image of its own) and the close,
// maximise and minimise buttons acting on the form.
class TXtTitleBarButtonOptions : public TXtButtonOptions {
    GCL_CLASS(TXtTitleBarButtonOptions, TXtButtonOptions)
public:
    TXtTitleBarButtonOptions(TXtCustomTitleBar* ATitleBar, TXtToolbar* AToolbar);
    ~TXtTitleBarButtonOptions() override;

    bool GetSystemMenu() const noexcept { return FSystemMenu; }
    void SetSystemMenu(bool Value);
    // -1 (any negative value): the program's icon.
    int GetSystemImageIndex() const noexcept { return FSystemImageIndex; }
    void SetSystemImageIndex(int Value);
    TXtItem* GetSystemMenuButton() const noexcept { return FSystemMenuButton.Get(); }
    gcl::TIcon* GetIcon() const noexcept { return FIcon.get(); }
    TXtCustomTitleBar* GetTitleBar() const noexcept { return FTitleBar; }

    void ButtonsDrawItem(gcl::TObject* Sender, TCanvas* ACanvas, const TRect& ARect, const TTxItemInfo& ItemInfo,
                         TXtPaintStage PaintStage, bool& PaintDefault) override;
    void ButtonsClick(gcl::TObject* Sender) override;
    void CreateButtons() override;
    bool Restoring(TXtItem* Button) override;
    void ReorderButtons() override;
    void UpdateButtonImage(TXtItem* Button) override;
    // The caption's colour after a theme switch.
    void ThemeChanged();

private:
    bool FSystemMenu = true;
    gcl::TComponentRef<TXtItem> FSystemMenuButton;
    int FSystemImageIndex = -1;
    std::unique_ptr<gcl::TIcon> FIcon;
    TXtCustomTitleBar* FTitleBar;
};

using TXtSystemMenuPopupEvent = gcl::TEvent<void(gcl::TObject* Sender, TBarView* PopupView)>;

// Replaces its form's caption and frame: while Active the form has no
// border of its own, the bar's dock is a caption strip with the caption
// buttons, and its edges size the form.
class TXtCustomTitleBar : public TXtCompoundBar {
    GCL_CLASS(TXtCustomTitleBar, TXtCompoundBar)
public:
    // How far from an edge a press sizes the form.
    static constexpr int ResizeBorder = 10;

    std::wstring GetCaption();
    void SetCaption(const std::wstring& Value);
    bool GetActive() const noexcept { return FActive; }
    void SetActive(bool Value);
    bool GetFixedSize() const noexcept { return FFixedSize; }
    void SetFixedSize(bool Value) noexcept { FFixedSize = Value; }
    bool GetFullScreenMaximize() const noexcept { return FFullScreenMaximize; }
    void SetFullScreenMaximize(bool Value) noexcept { FFullScreenMaximize = Value; }
    bool GetTxStyleBackground() const noexcept { return FTxStyleBackground; }
    void SetTxStyleBackground(bool Value);
    gcl::TCustomImageList* GetImages() const;
    void SetImages(gcl::TCustomImageList* Value);
    TXtTitleBarButtonOptions* GetOptions() const noexcept { return FOptions.get(); }
    void SetOptions(TXtTitleBarButtonOptions* Value) { FOptions->Assign(Value); }
    int GetFrameSize() const noexcept { return FFrameSize; }
    gcl::TCustomForm* GetParentForm() const;

    TXtDrawEvent OnDrawBackground;
    TXtSystemMenuPopupEvent OnSystemMenuPopup;
    TXtDrawEvent GetOnDrawBackground() const noexcept { return OnDrawBackground; }
    void SetOnDrawBackground(TXtDrawEvent Value) noexcept { OnDrawBackground = Value; }
    TXtSystemMenuPopupEvent GetOnSystemMenuPopup() const noexcept { return OnSystemMenuPopup; }
    void SetOnSystemMenuPopup(TXtSystemMenuPopupEvent Value) noexcept { OnSystemMenuPopup = Value; }

    // The size command (0xF001..0xF008) for a point in the bar's client
    // coordinates, 0 outside the borders or while the form cannot be sized.
    int SizeCommandAt(TPoint Point);
    // The form's system menu at a screen point, with the entries the
    // options allow.
    void ShowSystemMenu(TPoint ScreenPoint);
    bool IsFormMaximized() const;

    const gcl::TComponent::TMetaClassType* GetToolbarClass() override;
    void DoDrawDockBackground(gcl::TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage,
                              bool& PaintDefault) override;
    void InvalidateBackground(bool Repaint) override;
    void Dispatch(gcl::TMessage& Message) override;
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;
    void AdjustClientRect(TRect& Rect) override;

protected:
    explicit TXtCustomTitleBar(gcl::TComponent* AOwner);
    ~TXtCustomTitleBar() override;
    void Loaded() override;
    void MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) override;
    void CreateWindowHandle(const gcl::TCreateParams& Params) override;
    void DefineProperties(gcl::TFiler& Filer) override;

private:
    // Loading: called from Loaded, while the form may still be loading too.
    void ApplyActive(bool Loading);
    void HookForm();
    void UnhookForm() noexcept;
    void FormWindowProc(gcl::TMessage& Message);
    void EraseBackground(gcl::TMessage& Message);
    bool SetSizeCursor(TPoint ClientPoint);
    void SystemMenuInitPopup(gcl::TObject* Sender, TBarView* PopupView);

    std::unique_ptr<TXtTitleBarButtonOptions> FOptions;
    std::unique_ptr<gcl::TBitmap> FBackgroundBitmap;
    bool FTxStyleBackground = false;
    bool FFixedSize = false;
    bool FFullScreenMaximize = false;
    bool FActive = true;
    gcl::TComponentRef<gcl::TCustomForm> FHookedForm;
    gcl::TWndMethod FPrevFormProc;
    int FFrameSize = 0;
};

class TXtTitleBar : public TXtCustomTitleBar {
    GCL_CLASS(TXtTitleBar, TXtCustomTitleBar)
protected:
    explicit TXtTitleBar(gcl::TComponent* AOwner) : TXtCustomTitleBar(AOwner) {}
};

} // namespace qelvo
