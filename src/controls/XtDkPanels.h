// Extended dockable panels: a multi-dock that also fills the client area
// and hands its resizing and docking questions to its owner, and a
// dockable panel whose caption bar is a real toolbar (caption label, close,
// minimise and maximise buttons, any further items) in a dock of the
// panel's own, and that minimises to
// its caption, maximises over its siblings and restores to the sizes it
// remembers.
#pragma once

#include <memory>
#include <string>

#include "controls/XtButtonOptions.h"
#include "controls/XtItem.h"
#include "gcl/ExtCtrls.h"
#include "theming/TxBars.h"
#include "theming/TxDockPanels.h"

namespace qelvo {

class TXtDockablePanel;

GCL_ENUM(TXtDockPosition, dpxLeft, dpxTop, dpxRight, dpxBottom, dpxClient)

inline constexpr const char* SXtMultiDockPositionError =
    "Cannot change Position of a TBarDock if it already contains controls";

// ---- The multi-dock --------------------------------------------------------------------

class TXtMultiDock : public TTxMultiDock {
    GCL_CLASS(TXtMultiDock, TTxMultiDock)
public:
    TXtDockPosition GetPosition() const noexcept { return FPosition; }
    // EInvalidOperation when the dock already holds controls; dpxClient
    // docks on the right and fills the parent's client area.
    void SetPosition(TXtDockPosition Value);

    // Asked while a docked panel is resized (Stage rsResizing).
    TTxDockedResizing OnDockedResizing;
    // Asked when a bar would dock here (the base dock's own request event
    // is bound to RequestDock, which fires this one).
    TBarRequestDockEvent OnRequestDock;

    void ArrangeToolbars() override;
    void AfterConstruction() override;
    // The dock's request-dock hook (Sender is the dock asked).
    virtual void RequestDock(gcl::TObject* Sender, TBarCustomDockableWindow* Bar, bool& Accept);
    // Fires OnDockedResizing for a panel on the dock; its AllowResize.
    virtual bool DockedResizing(bool Vertical, int& NewSize);

protected:
    explicit TXtMultiDock(gcl::TComponent* AOwner) : TTxMultiDock(AOwner) {}

private:
    TXtDockPosition FPosition = dpxTop;
};

// ---- The docking state ----------------------------------------------------------------

// The sizes and flags a panel's minimise, maximise and restore keep.
class TXtDockingState : public gcl::TObject {
    GCL_CLASS(TXtDockingState, gcl::TObject)
public:
    TXtDockingState() = default;
    // Copies every field (nothing for a null source).
    void Assign(const TXtDockingState* Source);

    gcl::TComponentRef<TXtMultiDock> DockedTo;
    gcl::TComponentRef<TXtDockablePanel> RestoreSibling;
    int DockedRestoreWidth = 0;
    int DockedRestoreHeight = 0;
    int FloatingRestoreWidth = 0;
    int FloatingRestoreHeight = 0;
    bool Maximized = false;
    bool DockedMinimized = false;
    bool FloatingMinimized = false;
};

// ---- The panel's buttons and caption toolbar ---------------------------------------------

class TXtDockablePanelButtonOptions : public TXtButtonOptions {
    GCL_CLASS(TXtDockablePanelButtonOptions, TXtButtonOptions)
public:
    TXtDockablePanelButtonOptions(TXtDockablePanel* APanel, TXtToolbar* AToolbar);
    TXtDockablePanel* GetPanel() const noexcept { return FPanel; }

    void ButtonsClick(gcl::TObject* Sender) override;
    bool Restoring(TXtItem* Button) override;
    void ReorderButtons() override;

private:
    TXtDockablePanel* FPanel;
};

class TXtDockablePanelToolbar : public TXtToolbar {
    GCL_CLASS(TXtDockablePanelToolbar, TXtToolbar)
public:
    // The panel the toolbar is the caption of: the first dockable panel
    // among its parents.
    TTxDockablePanel* FindPanel() const;
    int GetRightAlignMargin() override { return 4; }
    void AfterConstruction() override;

protected:
    explicit TXtDockablePanelToolbar(gcl::TComponent* AOwner) : TXtToolbar(AOwner) {}
    // A left press on no item (or on a clicks-transparent one) drags the
    // panel; a double click is the panel's double click.
    void MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) override;
    // The frame, with the part of the panel's ring that lies on it.
    void DrawNCArea(HDC DC) override;
};

// ---- The panel --------------------------------------------------------------------------

struct TXtSiblingsInfo {
    int Count = 0;
    int MinimizedCount = 0;
    TXtDockablePanel* FirstMaximized = nullptr;
    TXtDockablePanel* FirstMinimized = nullptr;
};

class TXtDockablePanel : public TTxDockablePanel {
    GCL_CLASS(TXtDockablePanel, TTxDockablePanel)
public:
    // ---- Caption and hint (wide, through the Unicode layer)
    std::wstring GetCaption();
    // The caption label follows (through CM_TEXTCHANGED).
    void SetCaption(const std::wstring& Value);
    std::wstring GetHint();
    void SetHint(const std::wstring& Value);
    bool IsCaptionStored();
    bool IsHintStored();

    // ---- Properties
    TXtDockablePanelButtonOptions* GetOptions() const noexcept { return FOptions.get(); }
    void SetOptions(TXtDockablePanelButtonOptions* Value) { FOptions->Assign(Value); }
    int GetDefaultDockedHeight() const noexcept { return FDefaultDockedHeight; }
    void SetDefaultDockedHeight(int Value) noexcept { FDefaultDockedHeight = std::max(Value, 8); }
    int GetDefaultDockedWidth() const noexcept { return FDefaultDockedWidth; }
    void SetDefaultDockedWidth(int Value) noexcept { FDefaultDockedWidth = std::max(Value, 8); }
    bool GetFixedDockedSize() const noexcept { return FFixedDockedSize; }
    void SetFixedDockedSize(bool Value) noexcept { FFixedDockedSize = Value; }
    bool GetBusy() const noexcept { return FBusy; }
    bool GetShowCaption() const noexcept { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool GetShowCaptionWhenDocked() const noexcept { return FShowCaptionWhenDocked; }
    void SetShowCaptionWhenDocked(bool Value);
    // Accepted and ignored: the caption is the caption toolbar.
    TDPCaptionRotation GetCaptionRotation() const noexcept { return FCaptionRotation; }
    void SetCaptionRotation(TDPCaptionRotation Value) noexcept { FCaptionRotation = Value; }
    gcl::TCustomImageList* GetImages() const;
    void SetImages(gcl::TCustomImageList* Value);
    TBarCustomItem* GetItems() const;
    bool GetDockingNow() const noexcept { return FDockingNow; }

    // The caption bar's dock, the panel's own top-aligned child.
    TXtDock* GetCaptionDock() const noexcept { return FCaptionDock; }
    TXtDockablePanelToolbar* GetCaptionToolbar() const noexcept { return FCaptionToolbar; }
    gcl::TBitmap* GetCaptionBitmap() const noexcept { return FCaptionBitmap.get(); }
    TXtDockingState* GetState() const noexcept { return FState.get(); }
    TXtDockingState* GetSavedState() const noexcept { return FSavedState.get(); }

    TXtDrawEvent OnDrawCaptionPanel;

    // ---- Minimise, maximise, restore
    bool IsMinimized();
    bool IsMaximized();
    // True when the size was changed.
    bool Minimize(bool Proportional);
    bool Maximize();
    bool Restore(bool Proportional);
    // Restore on every extended panel of the dock (this one too); false when
    // floating or not docked.
    bool RestoreAll(bool Proportional);
    // The caption buttons' action: the maximise button (true) or the
    // minimise button (false).
    void ToggleState(bool AMaximize);
    gcl::TPoint GetMinimizedSize();
    bool SetPanelSize(int NewHeight, bool Proportional);
    TXtSiblingsInfo GetSiblingsInfo();
    int GetSiblingCount() { return GetSiblingsInfo().Count; }
    // Minimises (Restore false) or restores every sibling of a vertical
    // multi-dock and gives this panel what is left.
    bool MinimizeOrRestoreSiblings(bool ARestore);
    // A sibling of a vertical dock that can give or take the height
    // another panel changes by; null when none.
    TTxCustomDockablePanel* FindResizableSibling();
    // Re-applies the minimise and maximise rules after the panel docked
    // (or came back to the dock its caption drag began on).
    void UpdateDockedState();
    // The caption bar is painted anew at its next use; repaints.
    void InvalidateBackground(bool IncludeChildren);

    // ---- Overrides
    void GetMinMaxSize(int& AMinClientWidth, int& AMinClientHeight, int& AMaxClientWidth,
                       int& AMaxClientHeight) override;
    void SetParent(gcl::TWinControl* AParent) override;
    bool HoldsOwnDock(const TBarDock* Dock) const noexcept override { return Dock == FCaptionDock; }
    void DrawNCArea(HDC DC) override;
    void GetBaseSize(gcl::TPoint& Size) override;
    bool DockedResizing(bool Vertical, int& NewSize) override;
    void GetPanelCaptionInfo(TTxPanelCaptionInfo& Info) override;
    void GetChildren(gcl::TGetChildProc Proc, gcl::TComponent* Root) override;
    // A minimised panel shows its caption bar only: no control in it is a
    // stop of the keyboard's Tab order.
    void GetTabOrderList(std::vector<gcl::TWinControl*>& List) override;
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;
    void Dispatch(gcl::TMessage& Message) override;

protected:
    explicit TXtDockablePanel(gcl::TComponent* AOwner);
    ~TXtDockablePanel() override;
    void DefineProperties(gcl::TFiler& Filer) override;
    void Loaded() override;
    void CreateWindowHandle(const gcl::TCreateParams& Params) override;
    void Resize() override;
    gcl::TMetaClass const* GetFloatingWindowParentClass() override;
    // The caption dock's background: the caption bitmap.
    virtual void CaptionAreaPaint(gcl::TObject* Sender, TCanvas* ACanvas, const TRect& ARect,
                                  TXtPaintStage PaintStage, bool& PaintDefault);
    virtual void DoDrawCaptionPanel(TCanvas* ACanvas, const TRect& ARect, TXtPaintStage PaintStage,
                                    bool& PaintDefault);

private:
    friend class TXtDockablePanelButtonOptions;
    TXtMultiDock* XtMultiDock();
    bool VerticalMultiDock();
    void RefreshButtons();
    // Runs one minimise, maximise or restore step while Busy.
    template <class F>
    bool RunBusy(F Step);
    void SetFloatingHeightLimits(int Height);
    void SetSplitHeightsToHeights(TBarDock* Dock);
    void DrawCaptionBitmap(HDC DC, int X, int Y);
    // The part of the ring around the caption bar (DrawNCArea) that lies
    // on the caption toolbar's frame, drawn on the toolbar's window DC.
    friend class TXtDockablePanelToolbar;
    void DrawRingOnCaptionBar(HDC DC, HWND Bar);
    void UpdateCaptionVisibility();
    void CaptionDockRequestDock(gcl::TObject* Sender, TBarCustomDockableWindow* Bar, bool& Accept);

    std::unique_ptr<TXtDockablePanelButtonOptions> FOptions;
    int FDefaultDockedHeight = 150;
    int FDefaultDockedWidth = 150;
    bool FFixedDockedSize = false;
    bool FBusy = false;
    bool FShowCaptionWhenDocked = true;
    bool FShowCaption = true;
    TDPCaptionRotation FCaptionRotation = dpcrAlwaysHorz;
    TXtDock* FCaptionDock = nullptr;
    TXtDockablePanelToolbar* FCaptionToolbar = nullptr;
    std::unique_ptr<gcl::TBitmap> FCaptionBitmap;
    bool FDockingNow = false;
    std::unique_ptr<TXtDockingState> FState;
    std::unique_ptr<TXtDockingState> FSavedState;
};

// Registers the multi-dock, the panel and the panel's toolbar for streaming.
extern gcl::TUnit XtDkPanelsUnit;

} // namespace qelvo
