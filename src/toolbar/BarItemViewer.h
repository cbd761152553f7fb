// Item viewers: the presence of one item in one view. A viewer measures
// and paints its item in the unthemed look, answers the mouse and supplies
// captions and hints. Part of the BarItem unit (include toolbar/BarItem.h).
#pragma once

#include "toolbar/BarItem.h"

namespace qelvo {

class TBarItemViewerAccObject;

// Viewer state bits kept by the view.
inline constexpr uint8_t tbvsLineSep = 0x02;         // a separator dividing wrapped lines
inline constexpr uint8_t tbvsRepaintPending = 0x04;  // the next paint of this viewer goes off-screen

class TBarItemViewer : public gcl::TObject {
    GCL_CLASS_META(TBarItemViewer, gcl::TObject, TBarItemViewerMetaClass)
public:
    TBarItemViewer(TBarView* AView, TBarCustomItem* AItem, int AGroupLevel);
    ~TBarItemViewer() override;
    void BeforeDestruction() noexcept override;

    // Layout results (written by the view's layout pass).
    gcl::TRect BoundsRect;
    bool Clipped = false;
    bool OffEdge = false;
    bool Show = false;
    uint8_t State = 0;

    TBarView* GetView() const noexcept { return FView; }
    TBarCustomItem* GetItem() const noexcept { return FItem; }
    int GetGroupLevel() const noexcept { return FGroupLevel; }
    bool IsLineSep() const noexcept { return (State & tbvsLineSep) != 0; }

    // ---- Overridable behaviour
    // The unthemed size of the item in Canvas's font.
    virtual void CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight);
    // Ends the menu with a click of the item; true.
    virtual bool DoExecute();
    virtual void DrawItemCaption(gcl::TCanvas* Canvas, gcl::TRect ARect, const std::string& ACaption,
                                 bool ADisabledShadow, UINT AFormat);
    virtual void Entering(TBarItemViewer* OldSelected);
    virtual int GetAccRole();
    virtual bool GetAccValue(std::wstring& Value);
    // Caption up to its first tab.
    virtual std::string GetCaptionText();
    virtual void GetCursor(gcl::TPoint Pt, HCURSOR& ACursor);
    virtual bool IsToolbarSize();
    // X, Y in the viewer's own coordinates.
    virtual bool IsPtInButtonPart(int X, int Y);
    virtual void KeyDown(uint16_t& Key, gcl::TShiftState Shift);
    virtual void Leaving();
    virtual void LosingCapture();
    virtual void MouseDown(gcl::TShiftState Shift, int X, int Y, bool& MouseDownOnMenu);
    virtual void MouseMove(int X, int Y);
    virtual void MouseUp(int X, int Y, bool MouseWasDownOnMenu);
    virtual void MouseWheel(int WheelDelta, int X, int Y);
    // Paints into ClientAreaRect (the viewer's rectangle moved to 0, 0).
    virtual void Paint(gcl::TCanvas* Canvas, gcl::TRect ClientAreaRect, bool IsSelected, bool IsPushed,
                       bool UseDisabledShadow);
    virtual bool UsesSameWidth();
    virtual bool IsToolbarStyle();
    virtual bool CaptionShown();
    // What an accessibility client's select (AExecute false) or default
    // action (true) queued: the viewer is selected and, when AExecute, run.
    virtual void RunAccSelect(bool AExecute);

    // ---- Queries
    // Runs DoExecute; with AGivePriority the view keeps the viewer visible
    // longest afterwards.
    bool Execute(bool AGivePriority);
    std::string GetHintText();
    gcl::TCustomImageList* GetImageList();
    bool ImageShown();
    bool IsRotated();
    int GetIndex();
    gcl::TPoint ScreenToClient(gcl::TPoint Pt);
    bool AccPresent() const noexcept { return Show || OffEdge || Clipped; }
    void QueueAccSelect(bool AExecute);
    // The viewer's accessible object, made on first use (null without the
    // system's accessibility library).
    TBarItemViewerAccObject* GetAccObject();
    void ForgetAccObject(TBarItemViewerAccObject* Object) noexcept;

protected:
    // The width of the image column of a menu row of height h.
    int MenuImageColumnWidth(int h);

    void ReleaseAccObject() noexcept;

    TBarView* FView;
    TBarCustomItem* FItem;
    int FGroupLevel;
    TBarItemViewerAccObject* FAccObject = nullptr;   // holds one reference
};

class TBarSeparatorItemViewer : public TBarItemViewer {
    GCL_CLASS(TBarSeparatorItemViewer, TBarItemViewer)
public:
    using TBarItemViewer::TBarItemViewer;
    void CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    void Paint(gcl::TCanvas* Canvas, gcl::TRect ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
    bool UsesSameWidth() override { return false; }
};

// ---- Glyph drawing shared by the unthemed viewers ------------------------

// Copies an 8-bit-wide monochrome pattern (one byte per row, bit 7 the
// left pixel) onto DC at (X, Y): its set bits take Brush, the rest of the
// destination stays.
void DrawMonoPattern(HDC DC, int X, int Y, const uint8_t* Rows, int RowCount, HBRUSH Brush);
// The check mark and the radio dot of a checked menu item without image,
// centred at (CX, CY).
void DrawMenuCheckMark(HDC DC, int CX, int CY);
void DrawMenuRadioDot(HDC DC, int CX, int CY);
// The submenu arrow of a menu row (DrawFrameControl's glyph) inside R,
// in the colour of Brush: its black pixels take the brush.
void DrawMenuArrowGlyph(HDC DC, const gcl::TRect& R, HBRUSH Brush);
// Fills R with the 8x8 dither of clBtnFace and clBtnHighlight that checked
// buttons and menu image columns show.
void FillDither(HDC DC, const gcl::TRect& R);
// The chevron button's glyph in R: a double arrow pointing right (or down
// for a vertical bar), moved by (1, 1) when pushed, embossed when disabled.
void DrawChevronGlyph(HDC DC, const gcl::TRect& R, bool Vertical, bool Pushed, bool Enabled);

} // namespace qelvo
