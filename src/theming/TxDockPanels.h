// Dockable panels and the multi-dock: a resizable tool window with a
// caption bar and close button that docks like a toolbar, keeps its own
// docked width or height and floating size, and is resized by its free
// border; the multi-dock stacks panels along one side, shares the side's
// length by their split sizes within their limits and lets the user drag
// the splitters between them. Part of the TxDkPanels unit.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <vector>

#include "theming/Tx.h"
#include "toolbar/BarDock.h"

namespace qelvo {

class TTxCustomDockablePanel;

GCL_ENUM(TDPCaptionRotation, dpcrAuto, dpcrAlwaysHorz, dpcrAlwaysVert)
GCL_ENUM(TDockKind, dkStandardDock, dkMultiDock)
using TDockKinds = gcl::TSet<TDockKind>;
GCL_ENUM(TTxResizingStage, rsBeginResizing, rsResizing, rsEndResizing)

using TTxDockedResizing = gcl::TEvent<void(gcl::TObject* Sender, bool Vertical, int& NewSize,
                                           TTxResizingStage Stage, bool& AllowResize)>;

// Non-client hit codes of the splitters around a docked panel: before and
// after it across x, before and after it across y.
inline constexpr int HT_DP_SPLITLEFT = 86;
inline constexpr int HT_DP_SPLITRIGHT = 87;
inline constexpr int HT_DP_SPLITTOP = 88;
inline constexpr int HT_DP_SPLITBOTTOM = 89;

inline constexpr const char* SMultiDockInsertError = "Cannot insert %s into TTxMultiDock";

// One panel's share of a multi-dock's length.
struct TTxSplitEntry {
    int Size = 0;
    int Min = 0;
    int Max = 0;
};

// Fits the sizes into Available: all minimums or all maximums when those
// already pass it; else the difference is shared equally (running rounded
// shares, halves to even) among the entries that can still move, again
// and again, until it is used up.
void DistributeSplitSizes(std::vector<TTxSplitEntry>& Entries, int Available);
// A splitter drag: Old holds the sizes at the start; the entries up to
// Splitter (inclusive) absorb Delta from the nearest one on, the entries
// after it the opposite amount; what those cannot take is taken back.
// Sizes of Entries are the new ones.
void DragSplitter(std::vector<TTxSplitEntry>& Entries, const std::vector<int>& Old, int Splitter, int Delta);

class TTxMultiDock : public TBarDock {
    GCL_CLASS(TTxMultiDock, TBarDock)
public:
    void ArrangeToolbars() override;
    bool AcceptsBar(TBarCustomDockableWindow* Bar) override;
    // EInvalidOperation "Cannot insert <class> into TTxMultiDock" for
    // anything but a dockable panel.
    void ValidateInsert(gcl::TControl* Control) override;
    void Dispatch(gcl::TMessage& Message) override;
    // The visible panels in their order along the dock (after the last
    // arrangement).
    const std::vector<TTxCustomDockablePanel*>& GetPanelOrder() const noexcept { return FOrder; }
    // The length the panels share (the dock's length less its frame).
    int AvailableLength();

protected:
    explicit TTxMultiDock(gcl::TComponent* AOwner) : TBarDock(AOwner) {}
    void Paint() override;

private:
    friend class TTxCustomDockablePanel;
    bool FArranging = false;
    int FThickness = 0;
    std::vector<TTxCustomDockablePanel*> FOrder;
};

class TTxCustomDockablePanel : public TBarCustomDockableWindow {
    GCL_CLASS(TTxCustomDockablePanel, TBarCustomDockableWindow)
public:
    // ---- Properties
    int GetBorderSize() const noexcept { return FBorderSize; }
    void SetBorderSize(int Value);
    TDPCaptionRotation GetCaptionRotation() const noexcept { return FCaptionRotation; }
    void SetCaptionRotation(TDPCaptionRotation Value);
    int GetDockedWidth() const noexcept { return FDockedWidth; }
    void SetDockedWidth(int Value);
    int GetDockedHeight() const noexcept { return FDockedHeight; }
    void SetDockedHeight(int Value);
    int GetFloatingWidth() const noexcept { return FFloatingWidth; }
    void SetFloatingWidth(int Value);
    int GetFloatingHeight() const noexcept { return FFloatingHeight; }
    void SetFloatingHeight(int Value);
    gcl::TCursor GetHorzResizeCursor() const noexcept { return FHorzResizeCursor; }
    void SetHorzResizeCursor(gcl::TCursor Value) noexcept { FHorzResizeCursor = Value; }
    gcl::TCursor GetHorzSplitCursor() const noexcept { return FHorzSplitCursor; }
    void SetHorzSplitCursor(gcl::TCursor Value) noexcept { FHorzSplitCursor = Value; }
    gcl::TCursor GetVertResizeCursor() const noexcept { return FVertResizeCursor; }
    void SetVertResizeCursor(gcl::TCursor Value) noexcept { FVertResizeCursor = Value; }
    gcl::TCursor GetVertSplitCursor() const noexcept { return FVertSplitCursor; }
    void SetVertSplitCursor(gcl::TCursor Value) noexcept { FVertSplitCursor = Value; }
    int GetMinClientWidth() const noexcept { return FMinClientWidth; }
    void SetMinClientWidth(int Value) noexcept { FMinClientWidth = std::max(Value, 8); }
    int GetMinClientHeight() const noexcept { return FMinClientHeight; }
    void SetMinClientHeight(int Value) noexcept { FMinClientHeight = std::max(Value, 8); }
    int GetMaxClientWidth() const noexcept { return FMaxClientWidth; }
    void SetMaxClientWidth(int Value) noexcept { FMaxClientWidth = Value; }
    int GetMaxClientHeight() const noexcept { return FMaxClientHeight; }
    void SetMaxClientHeight(int Value) noexcept { FMaxClientHeight = Value; }
    bool GetSmoothDockedResize() const noexcept { return FSmoothDockedResize; }
    void SetSmoothDockedResize(bool Value) noexcept { FSmoothDockedResize = Value; }
    bool GetShowCaptionWhenDocked() const noexcept { return FShowCaptionWhenDocked; }
    void SetShowCaptionWhenDocked(bool Value);
    int GetSplitHeight() const noexcept { return FSplitHeight; }
    void SetSplitHeight(int Value);
    int GetSplitWidth() const noexcept { return FSplitWidth; }
    void SetSplitWidth(int Value);
    TDockKinds GetSupportedDocks() const noexcept { return FSupportedDocks; }
    void SetSupportedDocks(TDockKinds Value) noexcept { FSupportedDocks = Value; }
    TColor GetEffectiveColor() const noexcept { return FEffectiveColor; }
    bool GetDockedResizing() const noexcept { return FDockedResizing; }
    bool GetSplitting() const noexcept { return FSplitting; }

    TTxDockedResizing OnDockedResizing;

    // ---- Geometry
    uint32_t ViewType();
    bool IsVertCaption();
    // The non-client size docked (on a side, LeftRight) and now.
    gcl::TPoint DockedNCSizeFor(bool LeftRight);
    // Whole-window limits (0 maximum: none): the client limits of
    // GetMinMaxSize plus the frame.
    void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
    // The size the panel takes on Dock (null: floating), client part.
    gcl::TPoint BaseSizeFor(TBarDock* Dock);

    virtual bool DockedResizingBegin(bool Vertical, int& NewSize);
    virtual bool DockedResizing(bool Vertical, int& NewSize);
    virtual bool DockedResizingEnd(bool Vertical, int& NewSize);
    virtual void GetPanelCaptionInfo(TTxPanelCaptionInfo& Info);

    // ---- Overrides
    void CalcNCSize(gcl::TPoint& Size) override;
    bool CanDockTo(TBarDock* Dock) override;
    void DoArrange(bool CanMoveControls, TBarDockType ADockType, gcl::TPoint& NewSize, TBarDock* Dock,
                   bool AFloating) override;
    void DrawNCArea(HDC DC) override;
    void GetBaseSize(gcl::TPoint& Size) override;
    gcl::TRect GetDockedCloseButtonRect(bool LeftRight) override;
    void GetDockedNCArea(gcl::TPoint& TopLeft, gcl::TPoint& BottomRight, bool LeftRight) override;
    void GetMinMaxSize(int& AMinClientWidth, int& AMinClientHeight, int& AMaxClientWidth,
                       int& AMaxClientHeight) override;
    void SizeChanging(int AWidth, int AHeight) override;
    gcl::TPoint GetFloatingBorderSize() override;
    void ReadPositionData(const TBarReadPositionData& Data) override;
    void WritePositionData(const TBarWritePositionData& Data) override;
    void SetParent(gcl::TWinControl* AParent) override;
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;
    void Dispatch(gcl::TMessage& Message) override;

    // The border and splitter loops, from the press at Start (screen); the
    // mouse messages of the loop carry the pointer (tests queue them first).
    void ResizeByBorder(int HitCode, gcl::TPoint Start);
    void DragSplitterAt(int HitCode, gcl::TPoint Start);

protected:
    explicit TTxCustomDockablePanel(gcl::TComponent* AOwner);
    void Loaded() override;
    void Paint() override;
    void AdjustClientRect(gcl::TRect& Rect) override;
    gcl::TMetaClass const* GetFloatingWindowParentClass() override;
    virtual bool IsVertCaptionOn(TBarDock* Dock);
    // The docked frame on DC (a window DC of the panel, origin at the
    // window's corner; the client area is left alone) through the theme.
    void PaintFrame(HDC DC);

private:
    friend class TTxMultiDock;
    bool FireResizing(bool Vertical, int& NewSize, TTxResizingStage Stage);
    void UpdateEffectiveColor();
    void ThemeChanged(uintptr_t Step);
    int HitTest(gcl::TPoint ScreenPoint);
    bool SetCursorFor(int HitCode);
    void CloseButtonPressChanged(bool Pressed);
    // Bounds set by the panel itself (SizeChanging ignores them).
    void SetOwnBounds(int ALeft, int ATop, int AWidth, int AHeight);
    bool DockedLeftRight();
    bool DockedTopBottom();
    TTxMultiDock* CurrentMultiDock();

    int FBorderSize = 0;
    TDPCaptionRotation FCaptionRotation = dpcrAuto;
    int FDockedWidth = 128;
    int FDockedHeight = 128;
    TColor FEffectiveColor = gcl::clBtnFace;
    int FFloatingWidth = 0;
    int FFloatingHeight = 0;
    gcl::TCursor FHorzResizeCursor = gcl::crSizeWE;
    gcl::TCursor FHorzSplitCursor = gcl::crHSplit;
    gcl::TCursor FVertResizeCursor = gcl::crSizeNS;
    gcl::TCursor FVertSplitCursor = gcl::crVSplit;
    bool FDockedResizing = false;
    bool FSplitting = false;
    int FMinClientWidth = 32;
    int FMinClientHeight = 32;
    int FMaxClientWidth = 0;
    int FMaxClientHeight = 0;
    bool FSmoothDockedResize = true;
    bool FShowCaptionWhenDocked = true;
    int FSplitHeight = 0;
    int FSplitWidth = 0;
    TDockKinds FSupportedDocks{dkStandardDock, dkMultiDock};
    bool FSettingBounds = false;
    bool FCloseDown = false;
    gcl::TComponentRef<TBarDock> FThemeDock;   // held from step 1 to step 3 of a theme switch
};

class TTxDockablePanel : public TTxCustomDockablePanel {
    GCL_CLASS(TTxDockablePanel, TTxCustomDockablePanel)
protected:
    explicit TTxDockablePanel(gcl::TComponent* AOwner) : TTxCustomDockablePanel(AOwner) {}
};

} // namespace qelvo
