// The extended controls' shared unit: the painting-style layer (XtPaint),
// the skin options and bitmap hint (XtSkins), the extended popup menu
// (XtBars), the extended menu and toolbar items with their viewers (wide
// captions and hints, labels, spacers, radio and theme groups), and the
// unit's start-up.
#pragma once

#include "controls/XtPaint.h"
#include "controls/XtSkins.h"
#include "gcl/DragDrop.h"
#include "gcl/rtl/Collections.h"
#include "gcl/rtl/Init.h"
#include "theming/TxDkPanels.h"
#include "theming/TxItems.h"
#include "unicode/UniClasses.h"

namespace qelvo {

// Starts the theming layer (counted), then makes the hint bitmap, the
// hand cursor, the screen cursors crXtMove and crXtCancel (from the
// program's "CZMOVE" and "CZCANCEL", else the system's move and no-drop
// cursors), the theme nexus, the skin options and the glyph list of
// "XTGLYPHS" (empty without the resource).
extern gcl::TUnit XtItemUnit;

// ---- Extended items -------------------------------------------------------------------

using TXtClosePopupEvent = gcl::TEvent<void(gcl::TObject* Sender, TBarCustomItem* ClickedItem)>;

// A themed item with a wide caption and hint (the inherited 8-bit caption
// and hint mirror them), caption alignment, glow and wrapping, fixed or
// extra sizes, an attached control it shows and hides, and two-stage
// paint events for its face, caption, image and hint.
class TXtCustomItem : public TTxCustomItem {
    GCL_CLASS(TXtCustomItem, TTxCustomItem)
public:
    // The wide caption; when the 8-bit caption was set on its own (an
    // action, a stream) the widened 8-bit caption.
    std::wstring GetCaption() const;
    void SetCaption(const std::wstring& Value);
    std::wstring GetHint() const;
    void SetHint(const std::wstring& Value);
    gcl::TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(gcl::TAlignment Value);
    bool GetAnchored() const noexcept { return FAnchored; }
    void SetAnchored(bool Value) noexcept { FAnchored = Value; }
    TXtGlowDirection GetCaptionGlow() const noexcept { return FCaptionGlow; }
    void SetCaptionGlow(TXtGlowDirection Value);
    TColor GetCaptionGlowColor() const noexcept { return FCaptionGlowColor; }
    void SetCaptionGlowColor(TColor Value);
    gcl::TControl* GetControl() const noexcept { return FControl; }
    void SetControl(gcl::TControl* Value);
    // -1: the measured size; values below -1 store -1.
    int GetCustomWidth() const noexcept { return FCustomWidth; }
    void SetCustomWidth(int Value);
    int GetCustomHeight() const noexcept { return FCustomHeight; }
    void SetCustomHeight(int Value);
    // Extra length; negative values store 0.
    int GetMargins() const noexcept { return FMargins; }
    void SetMargins(int Value);
    bool GetToolbarStylePopup() const noexcept { return FToolbarStylePopup; }
    void SetToolbarStylePopup(bool Value) noexcept { FToolbarStylePopup = Value; }
    TTextWrapping GetWrapping() const noexcept { return FWrapping; }
    void SetWrapping(TTextWrapping Value);

    TXtClosePopupEvent OnClosePopup;
    TXtDrawTextEvent OnDrawCaption;
    TXtDrawHintEvent OnDrawHint;
    TXtDrawItemEvent OnDrawItem;
    TXtDrawImageEvent OnDrawImage;
    TXtClosePopupEvent GetOnClosePopup() const noexcept { return OnClosePopup; }
    void SetOnClosePopup(TXtClosePopupEvent Value) noexcept { OnClosePopup = Value; }
    TXtDrawTextEvent GetOnDrawCaption() const noexcept { return OnDrawCaption; }
    void SetOnDrawCaption(TXtDrawTextEvent Value) noexcept { OnDrawCaption = Value; }
    TXtDrawHintEvent GetOnDrawHint() const noexcept { return OnDrawHint; }
    void SetOnDrawHint(TXtDrawHintEvent Value) noexcept { OnDrawHint = Value; }
    TXtDrawItemEvent GetOnDrawItem() const noexcept { return OnDrawItem; }
    void SetOnDrawItem(TXtDrawItemEvent Value) noexcept { OnDrawItem = Value; }
    TXtDrawImageEvent GetOnDrawImage() const noexcept { return OnDrawImage; }
    void SetOnDrawImage(TXtDrawImageEvent Value) noexcept { OnDrawImage = Value; }

    // An accelerator typed on the toolbar: true when the item took it.
    virtual bool DialogChar(uint16_t CharCode);
    virtual void DoDrawAdjustFont(gcl::TFont* Font, int State);
    virtual void DoDrawHint(gcl::TBitmap* HintBitmap, std::wstring& Hint, bool& PaintDefault);
    virtual void DoDrawItem(gcl::TCanvas* Canvas, const TRect& Rect, const TTxItemInfo& ItemInfo,
                            TXtPaintStage PaintStage, bool& PaintDefault);
    virtual void DoDrawCaption(gcl::TCanvas* Canvas, const TRect& ClientAreaRect, int State, std::wstring& Caption,
                               TRect& CaptionRect, uint32_t& CaptionFormat, bool IsTextRotated,
                               TXtPaintStage PaintStage, bool& PaintDefault);
    virtual void DoDrawImage(gcl::TCanvas* Canvas, const TTxItemInfo& ItemInfo, TXtPaintStage PaintStage,
                             gcl::TCustomImageList*& ImageList, int& ImageIndex, TRect& Rect, bool& PaintDefault);
    // Shows the control when hidden, hides it when shown.
    virtual void ToggleControl();
    // Checked follows the control's visibility.
    virtual void UpdateProps();

    void Click() override;
    void InitiateAction() override;
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;
    TBarPopupWindowClass GetPopupWindowClass() override;

protected:
    explicit TXtCustomItem(gcl::TComponent* AOwner);
    ~TXtCustomItem() override;
    void Notification(gcl::TComponent* AComponent, gcl::TOperation Operation) override;
    void ActionChange(gcl::TObject* Sender, bool CheckDefaults) override;
    void DefineProperties(gcl::TFiler& Filer) override;

private:
    void ReadWideCaption(gcl::TReader& Reader);
    void ReadWideHint(gcl::TReader& Reader);

    std::wstring FCaption;
    std::wstring FHint;
    gcl::TAlignment FAlignment = gcl::taCenter;
    bool FAnchored = false;
    TXtGlowDirection FCaptionGlow = gldNone;
    TColor FCaptionGlowColor = 0x00FFFF;
    gcl::TControl* FControl = nullptr;
    int FCustomWidth = -1;
    int FCustomHeight = -1;
    int FMargins = 0;
    bool FToolbarStylePopup = false;
    TTextWrapping FWrapping = twWrap;
};

class TXtItem : public TXtCustomItem {
    GCL_CLASS(TXtItem, TXtCustomItem)
protected:
    explicit TXtItem(gcl::TComponent* AOwner) : TXtCustomItem(AOwner) {}
};

class TXtSubmenuItem : public TXtItem {
    GCL_CLASS(TXtSubmenuItem, TXtItem)
public:
    bool GetDropdownCombo() const noexcept { return HasStyle(tbisCombo); }
    void SetDropdownCombo(bool Value);

protected:
    explicit TXtSubmenuItem(gcl::TComponent* AOwner);
};

// A caption that is not a button: clicks go through to the toolbar, and
// its accelerator focuses the attached control.
class TXtCustomLabelItem : public TXtCustomItem {
    GCL_CLASS(TXtCustomLabelItem, TXtCustomItem)
public:
    bool DialogChar(uint16_t CharCode) override;
    void DoDrawItem(gcl::TCanvas* Canvas, const TRect& Rect, const TTxItemInfo& ItemInfo, TXtPaintStage PaintStage,
                    bool& PaintDefault) override;
    void ToggleControl() override {}
    void UpdateProps() override {}
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;

protected:
    explicit TXtCustomLabelItem(gcl::TComponent* AOwner);
};

class TXtLabelItem : public TXtCustomLabelItem {
    GCL_CLASS(TXtLabelItem, TXtCustomLabelItem)
protected:
    explicit TXtLabelItem(gcl::TComponent* AOwner) : TXtCustomLabelItem(AOwner) {}
};

// A label whose width the toolbar sets so that the items after it end at
// the bar's far edge.
class TXtRightAlignSpacerItem : public TXtCustomLabelItem {
    GCL_CLASS(TXtRightAlignSpacerItem, TXtCustomLabelItem)
protected:
    explicit TXtRightAlignSpacerItem(gcl::TComponent* AOwner) : TXtCustomLabelItem(AOwner) {}
};

class TXtSeparatorItem : public TTxSeparatorItem {
    GCL_CLASS(TXtSeparatorItem, TTxSeparatorItem)
public:
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;

protected:
    explicit TXtSeparatorItem(gcl::TComponent* AOwner) : TTxSeparatorItem(AOwner) {}
};

// ---- Viewers ------------------------------------------------------------------------------

class TXtItemViewer : public TTxItemViewer {
    GCL_CLASS(TXtItemViewer, TTxItemViewer)
public:
    TXtItemViewer(TBarView* AView, TBarCustomItem* AItem, int AGroupLevel);

    // The dock's size when the toolbar first anchored the item; (0, 0) before.
    TPoint AnchorOrigin{0, 0};
    // The extra length an anchored item gets (written by the toolbar).
    int AnchorExtra = 0;

    void CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    // An extended toolbar's display mode: image-only hides the caption
    // beside an image, text-only shows the caption and no image.
    bool CaptionShown() override;
    bool IsImageShown() override;
    void Entering(TBarItemViewer* OldSelected) override;
    void Paint(gcl::TCanvas* Canvas, TRect ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
    void DoPaintCaption(gcl::TCanvas* Canvas, const TRect& ClientAreaRect, TRect& CaptionRect, UINT& Format,
                        bool IsTextRotated, bool IsShortcut, bool& PaintDefault) override;
    void DoPaintFace(gcl::TCanvas* Canvas, const TRect& FaceRect, TTxItemInfo& ItemInfo, bool PostPaint,
                     bool& PaintDefault) override;
    void DrawItemImage(gcl::TCanvas* Canvas, TRect ARect, TTxItemInfo& ItemInfo) override;
    void DoAdjustFont(gcl::TFont* Font, int StateFlags) override;
    UINT GetTextFlags() override;
    void GetTextSize(gcl::TCanvas* Canvas, const std::string& Text, gcl::TSize& Size, int StateFlags,
                     bool IsTextRotated, UINT TextFlags) override;

    // The wide caption shown (before a tab), "utf8=" captions decoded.
    std::wstring GetWideCaptionText();
    // CM_HINTSHOW from the bar: the hint text drawn into the shared hint
    // bitmap, shown by a bitmap hint window.
    void Dispatch(gcl::TMessage& Message) override;
    void PrepareBitmapHint(gcl::THintInfo& Info);

private:
    TXtCustomItem* XtItem() const;
    // The height of a line of the caption shown, in the font the caption was
    // just measured in; 0 without a caption.
    int CaptionLineHeight(gcl::TCanvas* Canvas);

    TTxItemInfo FPaintInfo{};
    bool FPaintPushed = false;
    bool FSubmenuArrow = false;
};

class TXtLabelItemViewer : public TXtItemViewer {
    GCL_CLASS(TXtLabelItemViewer, TXtItemViewer)
public:
    using TXtItemViewer::TXtItemViewer;
    void CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    bool DoExecute() override { return false; }
};

// Not painted where its extended toolbar hides it (beside a size grip).
class TXtSeparatorItemViewer : public TTxSeparatorItemViewer {
    GCL_CLASS(TXtSeparatorItemViewer, TTxSeparatorItemViewer)
public:
    using TTxSeparatorItemViewer::TTxSeparatorItemViewer;
    void Paint(gcl::TCanvas* Canvas, TRect ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
};

// The text after the first tab of the item's wide caption (when it is not
// the last character), else the text of its shortcut, or empty.
std::wstring GetShortcutText(TBarCustomItem* Item);
// The hint a viewer shows: the wide hint before '|'; without one (and
// without tboNoAutoHint) the caption less a trailing ':' or "..." and its
// accelerator marks (none for a submenu that shows its caption); with the
// application's HintShortCuts and a shortcut, " (<shortcut>)" appended.
std::wstring XtViewerHintText(TBarItemViewer* Viewer);
// The same rules for an item whose wide hint and caption are given.
std::wstring XtViewerHintText(TBarItemViewer* Viewer, const std::wstring& FullHint, const std::wstring& Caption);

// ---- Radio and theme groups ----------------------------------------------------------------

using TXtGetRadioGroupCaptionEvent = gcl::TEvent<void(gcl::TObject* Sender, std::wstring& ACaption)>;

// A group that shows one checked item per string of Strings.
class TXtRadioGroupItem : public TBarGroupItem {
    GCL_CLASS(TXtRadioGroupItem, TBarGroupItem)
public:
    // The generated items carry this group index.
    static constexpr int GeneratedGroupIndex = 8888;

    int GetItemIndex() const noexcept { return FItemIndex; }
    void SetItemIndex(int Value) noexcept { FItemIndex = Value; }
    int GetLastClickedIndex() const noexcept { return FLastClickedIndex; }
    TUniStringList* GetStrings() const noexcept { return FStrings.get(); }

    gcl::TNotifyEvent OnClick;
    TXtGetRadioGroupCaptionEvent OnGetCaption;
    gcl::TNotifyEvent OnUpdate;
    gcl::TNotifyEvent GetOnClick() const noexcept { return OnClick; }
    void SetOnClick(gcl::TNotifyEvent Value) noexcept { OnClick = Value; }
    TXtGetRadioGroupCaptionEvent GetOnGetCaption() const noexcept { return OnGetCaption; }
    void SetOnGetCaption(TXtGetRadioGroupCaptionEvent Value) noexcept { OnGetCaption = Value; }
    gcl::TNotifyEvent GetOnUpdate() const noexcept { return OnUpdate; }
    void SetOnUpdate(gcl::TNotifyEvent Value) noexcept { OnUpdate = Value; }

    // The click handler of every generated item.
    virtual void ItemClick(gcl::TObject* Sender);
    virtual void DoClick(TBarCustomItem* Item);
    virtual void DoGetCaption(const std::wstring& Text, std::wstring& Caption);
    virtual void DoFillStrings() {}
    // Frees the generated items, fills Strings again and makes one item
    // per string; the ItemIndex item is checked (not clicked).
    virtual void Recreate();

protected:
    explicit TXtRadioGroupItem(gcl::TComponent* AOwner);
    ~TXtRadioGroupItem() override;
    void Loaded() override;

private:
    int FItemIndex = 0;
    int FLastClickedIndex = -1;
    std::unique_ptr<TUniStringList> FStrings;
};

// The theme menu: the registered themes ("Default" first, the others
// sorted ignoring case); a click selects the theme, and a theme switch
// made elsewhere moves the check.
class TXtThemeGroupItem : public TXtRadioGroupItem {
    GCL_CLASS(TXtThemeGroupItem, TXtRadioGroupItem)
public:
    const std::wstring& GetSkinsDirectory() const noexcept { return FSkinsDirectory; }
    void SetSkinsDirectory(const std::wstring& Value) noexcept { FSkinsDirectory = Value; }

    gcl::TNotifyEvent OnThemeChange;
    gcl::TNotifyEvent GetOnThemeChange() const noexcept { return OnThemeChange; }
    void SetOnThemeChange(gcl::TNotifyEvent Value) noexcept { OnThemeChange = Value; }

    void DoClick(TBarCustomItem* Item) override;
    void DoGetCaption(const std::wstring& Text, std::wstring& Caption) override;
    void DoFillStrings() override;
    virtual void DoThemeChange();
    void Dispatch(gcl::TMessage& Message) override;

protected:
    explicit TXtThemeGroupItem(gcl::TComponent* AOwner);
    ~TXtThemeGroupItem() override;

private:
    std::wstring FSkinsDirectory;
};

// ---- Drag objects and the item cache ---------------------------------------------------------

// The drag of an item between bars: the accepted and rejected cursors,
// and the source control hears how the drag ended.
class TXtCustomDragObject : public gcl::TDragObjectEx {
    GCL_CLASS(TXtCustomDragObject, gcl::TDragObjectEx)
public:
    TXtCustomDragObject(gcl::TControl* ASourceControl, TBarCustomItem* ASourceItem);

    gcl::TControl* GetSourceControl() const noexcept { return FSourceControl.Get(); }
    TBarCustomItem* GetSourceItem() const noexcept { return FSourceItem.Get(); }
    gcl::TCursor GetAcceptedCursor() const noexcept { return FAcceptedCursor; }
    void SetAcceptedCursor(gcl::TCursor Value) noexcept { FAcceptedCursor = Value; }
    gcl::TCursor GetRejectedCursor() const noexcept { return FRejectedCursor; }
    void SetRejectedCursor(gcl::TCursor Value) noexcept { FRejectedCursor = Value; }

    gcl::TCursor GetDragCursor(bool Accepted, int X, int Y) override;
    // A rejected drop cancels the source control's drag; the source
    // control then hears the end of the drag with the target and point.
    void Finished(gcl::TObject* Target, int X, int Y, bool Accepted) override;

private:
    gcl::TComponentRef<gcl::TControl> FSourceControl;
    gcl::TComponentRef<TBarCustomItem> FSourceItem;
    gcl::TCursor FAcceptedCursor = crXtMove;
    gcl::TCursor FRejectedCursor = gcl::crNo;
};

class TXtItemDragObject : public TXtCustomDragObject {
    GCL_CLASS(TXtItemDragObject, TXtCustomDragObject)
public:
    using TXtCustomDragObject::TXtCustomDragObject;
};

// Remembered bounds of an item (and the size of the window it lay in).
class TXtItemCache : public gcl::TCollectionItem {
    GCL_CLASS(TXtItemCache, gcl::TCollectionItem)
public:
    TBarCustomItem* GetItem() const noexcept { return FItem.Get(); }
    void SetItem(TBarCustomItem* Value);
    // The item's name while it is there, else the name stored.
    std::string GetName() const;
    void SetName(const std::string& Value) { FName = Value; }
    int GetLeft() const noexcept { return FLeft; }
    void SetLeft(int Value) noexcept { FLeft = Value; }
    int GetTop() const noexcept { return FTop; }
    void SetTop(int Value) noexcept { FTop = Value; }
    int GetWidth() const noexcept { return FWidth; }
    void SetWidth(int Value) noexcept { FWidth = Value; }
    int GetHeight() const noexcept { return FHeight; }
    void SetHeight(int Value) noexcept { FHeight = Value; }
    int GetParentWidth() const noexcept { return FParentWidth; }
    void SetParentWidth(int Value) noexcept { FParentWidth = Value; }
    int GetParentHeight() const noexcept { return FParentHeight; }
    void SetParentHeight(int Value) noexcept { FParentHeight = Value; }

    // Copies the item and the six numbers of another cache entry.
    void Assign(gcl::TPersistent* Source) override;

protected:
    explicit TXtItemCache(gcl::TCollection* ACollection) : gcl::TCollectionItem(ACollection) {}

private:
    gcl::TComponentRef<TBarCustomItem> FItem;
    std::string FName;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    int FParentWidth = 0;
    int FParentHeight = 0;
};

class TXtItemCacheCollection : public gcl::TCollection {
    GCL_CLASS(TXtItemCacheCollection, gcl::TCollection)
public:
    TXtItemCacheCollection() : gcl::TCollection(TXtItemCache::StaticClass()) {}
    TXtItemCache* Add() { return static_cast<TXtItemCache*>(gcl::TCollection::Add()); }
    // A new entry for Item with Rect's corner and size; its index.
    int AddItem(TBarCustomItem* Item, const TRect& Rect);
    TXtItemCache* GetItems(int Index) const { return static_cast<TXtItemCache*>(gcl::TCollection::GetItems(Index)); }
    // The entry of Item, -1 for null or none.
    int IndexOfItem(TBarCustomItem* Item) const;
};

} // namespace qelvo

// The bars, docks and popups of the unit build on the items above.
#include "controls/XtBars.h"
