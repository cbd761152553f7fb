// Columns: header buttons with their cells, and the column kinds.
#pragma once

#include "listview/GvGroups.h"

#include "gcl/Menus.h"

namespace qelvo {

// ---- Columns ---------------------------------------------------------------------------------

class TGvColumnDropDownButton : public gcl::TPersistent {
    GCL_CLASS(TGvColumnDropDownButton, gcl::TPersistent)
public:
    explicit TGvColumnDropDownButton(TGvColumn* AOwner) : FOwner(AOwner) {}
    bool GetAlwaysShow() const noexcept { return FAlwaysShow; }
    void SetAlwaysShow(bool Value);
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    bool GetVisible() const noexcept { return FVisible; }
    void SetVisible(bool Value);
    // The menu a click on the button pops up (not owned).
    gcl::TPopupMenu* GetMenu() const noexcept { return FMenu.Get(); }
    void SetMenu(gcl::TPopupMenu* Value);
    TGvColumn* GetOwnerColumn() const noexcept { return FOwner; }
    // 0x01 hot, 0x02 pressed, 0x04 captured.
    uint8_t State = 0;

private:
    void Repaint();
    bool FAlwaysShow = false;
    bool FEnabled = true;
    bool FVisible = false;
    gcl::TComponentRef<gcl::TPopupMenu> FMenu;
    TGvColumn* FOwner;
};

// One header button and, for every item, the cell of that caption index.
class TGvColumn : public TGvCollectionItem {
    GCL_CLASS(TGvColumn, TGvCollectionItem)
public:
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool GetAutoSizeOnDblClk() const noexcept { return FAutoSizeOnDblClk; }
    void SetAutoSizeOnDblClk(bool Value) noexcept { FAutoSizeOnDblClk = Value; }
    bool GetAutoSortOnClick() const noexcept { return FAutoSortOnClick; }
    void SetAutoSortOnClick(bool Value) noexcept { FAutoSortOnClick = Value; }
    bool GetAutoSpring() const noexcept { return FAutoSpring; }
    void SetAutoSpring(bool Value) noexcept { FAutoSpring = Value; }
    bool GetAutoToggleSortGlyph() const noexcept { return FAutoToggleSortGlyph; }
    void SetAutoToggleSortGlyph(bool Value) noexcept { FAutoToggleSortGlyph = Value; }
    bool GetClickable() const noexcept { return FClickable; }
    void SetClickable(bool Value) noexcept { FClickable = Value; }
    gcl::TColor GetColor() const;
    void SetColor(gcl::TColor Value);
    TGvColumnDropDownButton* GetDropDownButton() const noexcept { return FDropDownButton.get(); }
    int GetPosition() const noexcept { return FPosition; }
    // Clamped to 0..Count-1; the columns in between move over; the header
    // re-lays and repaints (also for the current value).
    virtual void SetPosition(int Value);
    TGvSortDirection GetSortDirection() const noexcept { return FSortDirection; }
    void SetSortDirection(TGvSortDirection Value);
    uint8_t GetStreamByte() const noexcept { return FStreamByte; }
    int GetWidth() const noexcept { return FWidth; }
    // A negative value stores 0.
    virtual void SetWidth(int Value);

    void Invalidate(bool ImmediateUpdate) override;
    // Scrolls the column horizontally into view (emvTop and emvAuto align
    // its left edge with the view's left edge, in either direction).
    void MakeVisible(TGvMakeVisiblePos Position) override;
    // Sizes the column to the widest caption of its index over all items of
    // all groups (hidden ones too), with image and check box.
    void AutoSizeToFit();
    gcl::TCustomImageList* DefaultImageList(int ImageSize) const override;
    void LoadFromStream(gcl::TStream& S, int& Version) override;
    void SaveToStream(gcl::TStream& S, int Version) override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TGvColumn(TGvCollection* ACollection);
    ~TGvColumn() override;

    bool CanChangeCheck() override;
    bool CanChangeEnable() override;
    bool CanChangeFocus() override;
    bool CanChangeSelection() override;
    bool CanChangeVisibility() override;
    TGvPaintInfoBasic* DefaultPaintInfo() const override;
    void Freeing() override;
    void BoldGain() override { Invalidate(false); }
    void BoldLose() override { Invalidate(false); }
    void GhostedGain() override { Invalidate(false); }
    void GhostedLose() override { Invalidate(false); }
    void CheckGain() override;
    void CheckLose() override;
    void EnableGain() override;
    void EnableLose() override;
    void FocusGain() override;
    void FocusLose() override;
    void Initialize() override;
    void SelectionGain() override;
    void SelectionLose() override;
    void VisibilityGain() override;
    void VisibilityLose() override;

    // Direct field access for the header's renumbering.
    friend class TGvHeader;
    friend class TGvColumns;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSizeOnDblClk = true;
    bool FAutoSortOnClick = false;
    bool FAutoSpring = false;
    bool FAutoToggleSortGlyph = true;
    bool FClickable = true;
    std::unique_ptr<TGvColumnDropDownButton> FDropDownButton;
    int FPosition = 0;
    TGvSortDirection FSortDirection = esdNone;
    uint8_t FStreamByte = 0;
    int FWidth = 50;
    // What auto-spring has not handed out yet (less than a pixel).
    float FSpringRest = 0.0f;

private:
    void VisibilityChanged();
};

class TGvColumnInterfaced : public TGvColumn {
    GCL_CLASS(TGvColumnInterfaced, TGvColumn)
public:
    std::wstring GetCaptions(int Column) const override;
    void SetCaptions(int Column, const std::wstring& Value) override;
    int GetImageIndexes(int Column) const override;
    void SetImageIndexes(int Column, int Value) override;
    int GetImageOverlayIndexes(int Column) const override;
    void SetImageOverlayIndexes(int Column, int Value) override;
    gcl::TCustomImageList* GetImageList(int Column) const override;
    int GetDetailCount() const override;
    void SetDetailCount(int Value) override;
    int GetDetails(int Line) const override;
    void SetDetails(int Line, int Value) override;

    bool ImageDrawIsCustom(TGvColumn* Column) override;
    void ImageGetSize(TGvColumn* Column, int& ImageWidth, int& ImageHeight) override;
    void ImageDraw(TGvColumn* Column, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                   TGvAlphaBlender* AlphaBlender) override;

protected:
    explicit TGvColumnInterfaced(TGvCollection* ACollection) : TGvColumn(ACollection) {}
};

class TGvColumnStored : public TGvColumn {
    GCL_CLASS(TGvColumnStored, TGvColumn)
public:
    TGvDynamicDataHelper* GetDataHelper() const noexcept { return FDataHelper.get(); }
    std::wstring GetCaptions(int Column) const override;
    void SetCaptions(int Column, const std::wstring& Value) override;
    int GetImageIndexes(int Column) const override;
    void SetImageIndexes(int Column, int Value) override;
    int GetImageOverlayIndexes(int Column) const override;
    void SetImageOverlayIndexes(int Column, int Value) override;
    int GetDetailCount() const override;
    void SetDetailCount(int Value) override;
    int GetDetails(int Line) const override;
    void SetDetails(int Line, int Value) override;
    void LoadFromStream(gcl::TStream& S, int& Version) override;
    void SaveToStream(gcl::TStream& S, int Version) override;

protected:
    explicit TGvColumnStored(TGvCollection* ACollection);

private:
    std::unique_ptr<TGvDynamicDataHelper> FDataHelper;
};

class TGvColumnVirtual : public TGvColumn {
    GCL_CLASS(TGvColumnVirtual, TGvColumn)
public:
    std::wstring GetCaptions(int Column) const override;
    void SetCaptions(int Column, const std::wstring& Value) override;
    int GetImageIndexes(int Column) const override;
    void SetImageIndexes(int Column, int Value) override;
    int GetImageOverlayIndexes(int Column) const override;
    void SetImageOverlayIndexes(int Column, int Value) override;
    gcl::TCustomImageList* GetImageList(int Column) const override;
    int GetDetailCount() const override;
    void SetDetailCount(int Value) override;
    int GetDetails(int Line) const override;
    void SetDetails(int Line, int Value) override;

protected:
    explicit TGvColumnVirtual(TGvCollection* ACollection) : TGvColumn(ACollection) {}
};

} // namespace qelvo
