// The caption-bar buttons of a control whose caption is a toolbar (the
// dockable panels, the compound bars): a caption label that pushes the
// close, maximise and minimise buttons to the right, their images (an
// image list of the owner's, else the shared caption-button glyphs) and
// the thickness of the caption bar.
#pragma once

#include <string>

#include "controls/XtItem.h"
#include "gcl/rtl/Components.h"

namespace qelvo {

// The glyphs of the shared caption-button list (XtGlyphs).
inline constexpr int XtGlyphClose = 0;
inline constexpr int XtGlyphMaximize = 1;
inline constexpr int XtGlyphMinimize = 2;
inline constexpr int XtGlyphRestore = 3;

class TXtButtonOptions : public gcl::TPersistent {
    GCL_CLASS(TXtButtonOptions, gcl::TPersistent)
public:
    // Made through Create(ParentControl, Toolbar): the buttons are made in
    // AfterConstruction, where the variant's virtual steps are reached.
    TXtButtonOptions(gcl::TWinControl* AParentControl, TXtToolbar* AToolbar);
    ~TXtButtonOptions() override;
    void AfterConstruction() override;
    void Assign(gcl::TPersistent* Source) override;

    // ---- The items (null until made, or once the toolbar freed them)
    TXtItem* GetCloseButton() const noexcept { return FCloseButton.Get(); }
    TXtItem* GetMinimizeButton() const noexcept { return FMinimizeButton.Get(); }
    TXtItem* GetMaximizeButton() const noexcept { return FMaximizeButton.Get(); }
    TXtRightAlignSpacerItem* GetCaptionLabel() const noexcept { return FCaptionLabel.Get(); }
    gcl::TWinControl* GetParentControl() const noexcept { return FParentControl; }
    TXtToolbar* GetToolbar() const noexcept { return FToolbar; }

    // ---- Properties
    bool GetButtonBorders() const noexcept { return FButtonBorders; }
    void SetButtonBorders(bool Value);
    bool GetCaption() const noexcept { return FCaption; }
    void SetCaption(bool Value);
    bool GetClose() const noexcept { return FClose; }
    void SetClose(bool Value);
    bool GetMinimize() const noexcept { return FMinimize; }
    void SetMinimize(bool Value);
    bool GetMaximize() const noexcept { return FMaximize; }
    void SetMaximize(bool Value);
    // Image indexes into the toolbar's image list; -1 (any negative value)
    // shows the shared glyph.
    int GetCaptionImageIndex() const noexcept { return FCaptionImageIndex; }
    void SetCaptionImageIndex(int Value);
    int GetCloseImageIndex() const noexcept { return FCloseImageIndex; }
    void SetCloseImageIndex(int Value);
    int GetMinimizeImageIndex() const noexcept { return FMinimizeImageIndex; }
    void SetMinimizeImageIndex(int Value);
    int GetMaximizeImageIndex() const noexcept { return FMaximizeImageIndex; }
    void SetMaximizeImageIndex(int Value);
    int GetRestoreImageIndex() const noexcept { return FRestoreImageIndex; }
    void SetRestoreImageIndex(int Value);
    // The caption bar's thickness: the buttons' height and the most the
    // caption toolbar's items may take across.
    int GetTitleBarSize() const noexcept { return FTitleBarSize; }
    void SetTitleBarSize(int Value);
    const std::wstring& GetCaptionText() const noexcept { return FCaptionText; }
    void SetCaptionText(const std::wstring& Value);

    // ---- Steps a variant may change
    // Paints over a button's image (nothing here).
    virtual void DrawButtonImage(gcl::TObject* Sender, TCanvas* ACanvas, const TTxItemInfo& ItemInfo,
                                 TXtPaintStage PaintStage, TCustomImageList*& AImageList, int& AImageIndex,
                                 TRect& ARect, bool& PaintDefault);
    // Before a button's face: the theme's frame only with ButtonBorders and
    // a theme other than "Default".
    virtual void ButtonsDrawItem(gcl::TObject* Sender, TCanvas* ACanvas, const TRect& ARect,
                                 const TTxItemInfo& ItemInfo, TXtPaintStage PaintStage, bool& PaintDefault);
    virtual void ButtonsClick(gcl::TObject* Sender);
    // The caption label, then the close, maximise and minimise buttons.
    virtual void CreateButtons();
    virtual void UpdateCaptionVisibility();
    virtual void SetupButton(TXtItem* Button);
    // Whether Button shows its restore image.
    virtual bool Restoring(TXtItem* Button);
    // Caption label first, the buttons last (minimise, maximise, close).
    virtual void ReorderButtons();
    virtual void UpdateButtonImage(TXtItem* Button);

protected:
    // Shows or hides an item (nothing for a freed one).
    static void ShowItem(TBarCustomItem* Item, bool Visible);
    // Puts an image of the toolbar's list (Index >= 0) or the shared glyph
    // on Item.
    void ApplyImage(TXtCustomItem* Item, int Index, int Glyph);
    // Makes a button, sets it up and keeps it in Field.
    TXtItem* MakeButton(gcl::TComponentRef<TXtItem>& Field, bool Visible);

    bool FButtonBorders = false;
    bool FCaption = true;
    bool FClose = true;
    bool FMinimize = true;
    bool FMaximize = true;
    int FTitleBarSize = 17;
    int FButtonWidth = 17;

private:
    void ApplyTitleBarSize();
    void StoreImageIndex(int& Field, int Value, TXtItem* Button);

    gcl::TComponentRef<TXtItem> FCloseButton;
    gcl::TComponentRef<TXtItem> FMinimizeButton;
    gcl::TComponentRef<TXtItem> FMaximizeButton;
    gcl::TComponentRef<TXtRightAlignSpacerItem> FCaptionLabel;
    int FCaptionImageIndex = -1;
    int FCloseImageIndex = -1;
    int FMinimizeImageIndex = -1;
    int FMaximizeImageIndex = -1;
    int FRestoreImageIndex = -1;
    std::wstring FCaptionText;
    gcl::TWinControl* FParentControl = nullptr;
    TXtToolbar* FToolbar = nullptr;
};

} // namespace qelvo
