// Group margins and the paint infos: the shared look of items, groups and
// columns.
#pragma once

#include "listview/GvBase.h"

namespace qelvo {

// A group margin. Layout uses RuntimeSize, never Size.
class TGvMargin : public TGvOwnedPersistent {
    GCL_CLASS(TGvMargin, TGvOwnedPersistent)
public:
    explicit TGvMargin(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}
    void Assign(gcl::TPersistent* Source) override;
    int GetSize() const noexcept { return FSize; }
    // A negative value stores 0; a change re-lays the groups.
    void SetSize(int Value);
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool Value);
    // Size while Visible and the control shows group margins, else 0.
    int RuntimeSize() const;

protected:
    int FSize = 30;
    bool FVisible = false;
};

class TGvHeaderMargin : public TGvMargin {
    GCL_CLASS(TGvHeaderMargin, TGvMargin)
public:
    explicit TGvHeaderMargin(TCustomGvListview* AOwner) : TGvMargin(AOwner) { FVisible = true; }
};

// The footer margin: a caption and an image below the items, and the text
// settings they are drawn with.
class TCustomGvFooterMargin : public TGvMargin {
    GCL_CLASS(TCustomGvFooterMargin, TGvMargin)
public:
    explicit TCustomGvFooterMargin(TCustomGvListview* AOwner) : TGvMargin(AOwner) {}
    void Assign(gcl::TPersistent* Source) override;

    const std::wstring& GetCaption() const noexcept { return FCaption; }
    void SetCaption(const std::wstring& Value);
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int Value);
    int GetImageOverlayIndex() const noexcept { return FImageOverlayIndex; }
    void SetImageOverlayIndex(int Value);
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int GetCaptionIndent() const noexcept { return FCaptionIndent; }
    void SetCaptionIndent(int Value);
    int GetCaptionLines() const noexcept { return FCaptionLines; }
    void SetCaptionLines(int Value);
    int GetImageIndent() const noexcept { return FImageIndent; }
    void SetImageIndent(int Value);
    TCommonVAlignment GetVAlignment() const noexcept { return FVAlignment; }
    void SetVAlignment(TCommonVAlignment Value);

private:
    void Repaint();
    std::wstring FCaption;
    int FImageIndex = -1;
    int FImageOverlayIndex = -1;
    TAlignment FAlignment = taLeftJustify;
    int FCaptionIndent = 2;
    int FCaptionLines = 1;
    int FImageIndent = 2;
    TCommonVAlignment FVAlignment = cvaCenter;
};

class TGvFooterMargin : public TCustomGvFooterMargin {
    GCL_CLASS(TGvFooterMargin, TCustomGvFooterMargin)
public:
    explicit TGvFooterMargin(TCustomGvListview* AOwner) : TCustomGvFooterMargin(AOwner) {}
};

// ---- Paint info ----------------------------------------------------------------------

// The shared look of items, groups or columns. Setters do nothing for an
// unchanged value and repaint the list view otherwise.
class TGvPaintInfoBasic : public TGvOwnedPersistent {
    GCL_CLASS(TGvPaintInfoBasic, TGvOwnedPersistent)
public:
    explicit TGvPaintInfoBasic(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}
    // Copies every field but ShowBorder.
    void Assign(gcl::TPersistent* Source) override;

    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int GetBorder() const noexcept { return FBorder; }
    void SetBorder(int Value);
    gcl::TColor GetBorderColor() const noexcept { return FBorderColor; }
    void SetBorderColor(gcl::TColor Value);
    int GetCaptionIndent() const noexcept { return FCaptionIndent; }
    void SetCaptionIndent(int Value);
    int GetCaptionLines() const noexcept { return FCaptionLines; }
    void SetCaptionLines(int Value);
    bool GetCheckFlat() const noexcept { return FCheckFlat; }
    void SetCheckFlat(bool Value);
    int GetCheckIndent() const noexcept { return FCheckIndent; }
    void SetCheckIndent(int Value);
    int GetCheckSize() const noexcept { return FCheckSize; }
    void SetCheckSize(int Value);
    TGvCheckType GetCheckType() const noexcept { return FCheckType; }
    void SetCheckType(TGvCheckType Value);
    int GetImageIndent() const noexcept { return FImageIndent; }
    void SetImageIndent(int Value);
    bool GetShowBorder() const noexcept { return FShowBorder; }
    void SetShowBorder(bool Value) noexcept { FShowBorder = Value; }
    TCommonVAlignment GetVAlignment() const noexcept { return FVAlignment; }
    void SetVAlignment(TCommonVAlignment Value);

protected:
    // Repaints the whole list view (not at once).
    void Repaint();

private:
    TAlignment FAlignment = taLeftJustify;
    int FBorder = 4;
    gcl::TColor FBorderColor = gcl::clHighlight;
    int FCaptionIndent = 4;
    int FCaptionLines = 1;
    bool FCheckFlat = false;
    int FCheckIndent = 2;
    int FCheckSize = 12;
    TGvCheckType FCheckType = ectNone;
    int FImageIndent = 2;
    bool FShowBorder = true;
    TCommonVAlignment FVAlignment = cvaCenter;
};

class TGvPaintInfoBaseItem : public TGvPaintInfoBasic {
    GCL_CLASS(TGvPaintInfoBaseItem, TGvPaintInfoBasic)
public:
    explicit TGvPaintInfoBaseItem(TCustomGvListview* AOwner) : TGvPaintInfoBasic(AOwner) {}
    void Assign(gcl::TPersistent* Source) override;
    gcl::TColor GetGridLineColor() const noexcept { return FGridLineColor; }
    void SetGridLineColor(gcl::TColor Value);
    bool GetGridLines() const noexcept { return FGridLines; }
    void SetGridLines(bool Value);
    bool GetHideCaption() const noexcept { return FHideCaption; }
    void SetHideCaption(bool Value);
    // The number of detail lines of tile items, shared by all stored items.
    int GetTileDetailCount() const noexcept { return FTileDetailCount; }
    void SetTileDetailCount(int Value);

private:
    gcl::TColor FGridLineColor = gcl::clBtnFace;
    bool FGridLines = false;
    bool FHideCaption = false;
    int FTileDetailCount = 1;
};

class TGvPaintInfoItem : public TGvPaintInfoBaseItem {
    GCL_CLASS(TGvPaintInfoItem, TGvPaintInfoBaseItem)
public:
    explicit TGvPaintInfoItem(TCustomGvListview* AOwner) : TGvPaintInfoBaseItem(AOwner) {}
};

class TGvPaintInfoBaseColumn : public TGvPaintInfoBasic {
    GCL_CLASS(TGvPaintInfoBaseColumn, TGvPaintInfoBasic)
public:
    explicit TGvPaintInfoBaseColumn(TCustomGvListview* AOwner) : TGvPaintInfoBasic(AOwner) {}
    void Assign(gcl::TPersistent* Source) override;
    gcl::TColor GetColor() const noexcept { return FColor; }
    void SetColor(gcl::TColor Value);
    bool GetHilightFocused() const noexcept { return FHilightFocused; }
    void SetHilightFocused(bool Value);
    gcl::TColor GetHilightFocusedColor() const noexcept { return FHilightFocusedColor; }
    void SetHilightFocusedColor(gcl::TColor Value);
    bool GetHotTrack() const noexcept { return FHotTrack; }
    void SetHotTrack(bool Value) noexcept { FHotTrack = Value; }
    TGvHeaderImagePosition GetImagePosition() const noexcept { return FImagePosition; }
    void SetImagePosition(TGvHeaderImagePosition Value);
    TGvSortGlyphAlign GetSortGlyphAlign() const noexcept { return FSortGlyphAlign; }
    void SetSortGlyphAlign(TGvSortGlyphAlign Value);
    int GetSortGlyphIndent() const noexcept { return FSortGlyphIndent; }
    void SetSortGlyphIndent(int Value);
    TGvHeaderButtonStyle GetStyle() const noexcept { return FStyle; }
    void SetStyle(TGvHeaderButtonStyle Value);

private:
    void RepaintHeader();
    gcl::TColor FColor = gcl::clBtnFace;
    bool FHilightFocused = false;
    gcl::TColor FHilightFocusedColor = 0xF7F7F7;
    bool FHotTrack = true;
    TGvHeaderImagePosition FImagePosition = ehpLeft;
    TGvSortGlyphAlign FSortGlyphAlign = esgaRight;
    int FSortGlyphIndent = 2;
    TGvHeaderButtonStyle FStyle = ehbsThick;
};

class TCustomGvPaintInfoBaseColumn : public TGvPaintInfoBaseColumn {
    GCL_CLASS(TCustomGvPaintInfoBaseColumn, TGvPaintInfoBaseColumn)
public:
    explicit TCustomGvPaintInfoBaseColumn(TCustomGvListview* AOwner) : TGvPaintInfoBaseColumn(AOwner) {}
};

class TGvPaintInfoColumn : public TCustomGvPaintInfoBaseColumn {
    GCL_CLASS(TGvPaintInfoColumn, TCustomGvPaintInfoBaseColumn)
public:
    explicit TGvPaintInfoColumn(TCustomGvListview* AOwner) : TCustomGvPaintInfoBaseColumn(AOwner) {}
};

class TGvPaintInfoBaseGroup : public TGvPaintInfoBasic {
    GCL_CLASS(TGvPaintInfoBaseGroup, TGvPaintInfoBasic)
public:
    explicit TGvPaintInfoBaseGroup(TCustomGvListview* AOwner);
    ~TGvPaintInfoBaseGroup() override;
    void Assign(gcl::TPersistent* Source) override;

    bool GetBandBlended() const noexcept { return FBandBlended; }
    void SetBandBlended(bool Value);
    gcl::TColor GetBandColor() const noexcept { return FBandColor; }
    void SetBandColor(gcl::TColor Value);
    gcl::TColor GetBandColorFade() const noexcept { return FBandColorFade; }
    void SetBandColorFade(gcl::TColor Value);
    bool GetBandEnabled() const noexcept { return FBandEnabled; }
    void SetBandEnabled(bool Value);
    bool GetBandFullWidth() const noexcept { return FBandFullWidth; }
    void SetBandFullWidth(bool Value);
    int GetBandIndent() const noexcept { return FBandIndent; }
    void SetBandIndent(int Value);
    int GetBandLength() const noexcept { return FBandLength; }
    void SetBandLength(int Value);
    int GetBandMargin() const noexcept { return FBandMargin; }
    void SetBandMargin(int Value);
    uint8_t GetBandRadius() const noexcept { return FBandRadius; }
    void SetBandRadius(uint8_t Value);
    int GetBandThickness() const noexcept { return FBandThickness; }
    void SetBandThickness(int Value);
    bool GetExpandable() const noexcept { return FExpandable; }
    // Switching it off expands every group first.
    void SetExpandable(bool Value);
    int GetExpandImageIndent() const noexcept { return FExpandImageIndent; }
    void SetExpandImageIndent(int Value);
    TGvFooterMargin* GetMarginBottom() const noexcept { return FMarginBottom; }
    TGvMargin* GetMarginLeft() const noexcept { return FMarginLeft; }
    TGvMargin* GetMarginRight() const noexcept { return FMarginRight; }
    TGvHeaderMargin* GetMarginTop() const noexcept { return FMarginTop; }
    // Each setter frees the old margin object and keeps the new one.
    void SetMarginBottom(TGvFooterMargin* Value);
    void SetMarginLeft(TGvMargin* Value);
    void SetMarginRight(TGvMargin* Value);
    void SetMarginTop(TGvHeaderMargin* Value);

private:
    bool FBandBlended = true;
    gcl::TColor FBandColor = gcl::clBlue;
    gcl::TColor FBandColorFade = gcl::clWindow;
    bool FBandEnabled = true;
    bool FBandFullWidth = false;
    int FBandIndent = 0;
    int FBandLength = 300;
    int FBandMargin = 2;
    uint8_t FBandRadius = 4;
    int FBandThickness = 3;
    bool FExpandable = true;
    int FExpandImageIndent = 4;
    TGvFooterMargin* FMarginBottom = nullptr;
    TGvMargin* FMarginLeft = nullptr;
    TGvMargin* FMarginRight = nullptr;
    TGvHeaderMargin* FMarginTop = nullptr;
};

class TGvPaintInfoGroup : public TGvPaintInfoBaseGroup {
    GCL_CLASS(TGvPaintInfoGroup, TGvPaintInfoBaseGroup)
public:
    explicit TGvPaintInfoGroup(TCustomGvListview* AOwner) : TGvPaintInfoBaseGroup(AOwner) {}
};

} // namespace qelvo
