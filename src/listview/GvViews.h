// Painting of the list view: the rectangle sets that views compute, the
// canvas store, the check-box painter, the group view (margins, bands,
// expand buttons, captions) and the column view (header buttons).
#pragma once

#include "listview/GvBackground.h"

namespace qelvo {

// The rectangles of one painted item, column or group margin.
struct TGvRectArrayObject {
    gcl::TRect LabelRect;
    gcl::TRect IconRect;
    gcl::TRect TextRect;
    gcl::TRect CheckRect;
    gcl::TRect BoundsRect;
    gcl::TRect ClickSelectRect;
    gcl::TRect DragSelectRect;
    gcl::TRect FullTextRect;
    gcl::TRect SelectionRect;
    gcl::TRect FocusRect;
    gcl::TRect FocusInvalidRect;
    gcl::TRect EditRect;
    gcl::TRect SortRect;
    gcl::TRect StateRect;
    std::vector<gcl::TRect> TextLines;
    // Group parts: the content rectangle, the whole margin, the expand
    // button and the band.
    gcl::TRect GroupRect;
    gcl::TRect BackgroundRect;
    gcl::TRect ExpandButtonRect;
    gcl::TRect FooterRect;
    gcl::TRect DropDownRect;
    gcl::TRect BandRect;
    // The caption an item's geometry was measured from, its width and the
    // font it was measured in (-1: not measured): the paint that follows
    // draws it without asking for it or measuring it again.
    std::wstring Caption;
    int CaptionWidth = -1;
    LOGFONTA CaptionFont{};
};

// Saves a canvas's pen, brush and font and puts them back.
class TGvCanvasStore : public gcl::TObject {
    GCL_CLASS(TGvCanvasStore, gcl::TObject)
public:
    TGvCanvasStore() = default;
    void StoreCanvas(gcl::TCanvas* Canvas);
    void RestoreCanvas(gcl::TCanvas* Canvas);

private:
    std::unique_ptr<gcl::TBrush> FBrush;
    std::unique_ptr<gcl::TFont> FFont;
    std::unique_ptr<gcl::TPen> FPen;
};

// The check box of items, groups and columns: themed button parts, or the
// Marlett glyphs in the classic colours. Hot picks the hot theme states,
// Pressed the pressed ones.
void PaintCheckBox(TGvCheckType CheckType, TCustomGvListview* Listview, const gcl::TRect& R, gcl::TCanvas* Canvas,
                   bool Enabled, bool Checked, bool Hot, bool Pressed, bool Flat, int Size);

// Margin edges a group view works on.
inline constexpr int gmeBackground = 0;
inline constexpr int gmeTop = 1;
inline constexpr int gmeBottom = 2;
inline constexpr int gmeLeft = 3;
inline constexpr int gmeRight = 4;
inline constexpr int gmeForeground = 5;

// Paints the margins of groups.
class TGvViewGroup : public TGvOwnedPersistentView {
    GCL_CLASS_META(TGvViewGroup, TGvOwnedPersistentView, TGvViewGroupMetaClass)
public:
    using TGvOwnedPersistentView::TGvOwnedPersistentView;
    // The rectangles of MarginEdge whose margin rectangle is ObjRect.
    virtual void GroupRectArray(TGvGroup* Group, int MarginEdge, const gcl::TRect& ObjRect, TGvRectArrayObject& R);
    virtual void Paint(TGvGroup* Group, int MarginEdge, const gcl::TRect& ObjRect, gcl::TCanvas* Canvas);
    // The caption font of a group on Canvas.
    void SetupFont(TGvGroup* Group, gcl::TCanvas* Canvas);

private:
    void PaintBand(TGvGroup* Group, int MarginEdge, const gcl::TRect& ObjRect, const TGvRectArrayObject& R,
                   gcl::TCanvas* Canvas);
    void PaintExpandButton(TGvGroup* Group, const TGvRectArrayObject& R, gcl::TCanvas* Canvas);
    gcl::TSize ExpandButtonSize() const;
};

// Paints header buttons.
class TGvViewColumn : public TGvOwnedPersistentView {
    GCL_CLASS_META(TGvViewColumn, TGvOwnedPersistentView, TGvViewColumnMetaClass)
public:
    using TGvOwnedPersistentView::TGvOwnedPersistentView;
    virtual void CalcRects(TGvColumn* Column, gcl::TCanvas* Canvas, TGvRectArrayObject& R);
    // Background (themed normal, hot or pressed; mirrored right-to-left),
    // image, caption, sort glyph, check box, insert mark, drop-down button.
    virtual void Paint(TGvColumn* Column, gcl::TCanvas* Canvas);

protected:
    virtual void PaintBackground(TGvColumn* Column, gcl::TCanvas* Canvas);
    virtual void PaintDropDownButton(TGvColumn* Column, const TGvRectArrayObject& R, gcl::TCanvas* Canvas);
};

} // namespace qelvo
