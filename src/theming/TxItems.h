// Themed items and viewers: items with a layout, minimum sizes, font
// overrides, owner-drawn images and tool-box popups, and viewers that
// measure and paint an item entirely through the current theme (each paint
// fills a TTxItemInfo record and hands it to the theme's painters). Also
// the themed popup placement shared by the themed items, the chevron and
// the popup menu's root item. Part of the Tx unit's toolbar side.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>

#include "theming/Tx.h"
#include "toolbar/BarItem.h"

namespace qelvo {

GCL_ENUM(TTxItemLayout, txlAuto, txlGlyphLeft, txlGlyphTop)

using TAdjustFontEvent =
    gcl::TEvent<void(TBarCustomItem* Item, TBarItemViewer* Viewer, gcl::TFont* Font, int StateFlags)>;
using TDrawImageEvent = gcl::TEvent<void(TBarCustomItem* Item, TBarItemViewer* Viewer, gcl::TCanvas* Canvas,
                                         TRect ImageRect, TPoint ImageOffset, int StateFlags)>;

class TTxCustomItem : public TBarCustomItem {
    GCL_CLASS(TTxCustomItem, TBarCustomItem)
public:
    bool GetAlwaysSelectFirst() const noexcept { return FAlwaysSelectFirst; }
    void SetAlwaysSelectFirst(bool Value) noexcept { FAlwaysSelectFirst = Value; }
    TFontSettings* GetFontSettings() const noexcept { return FFontSettings.get(); }
    void SetFontSettings(TFontSettings* Value) { FFontSettings->Assign(Value); }
    TTxItemLayout GetLayout() const noexcept { return FLayout; }
    void SetLayout(TTxItemLayout Value);
    int GetMinHeight() const noexcept { return FMinHeight; }
    void SetMinHeight(int Value);
    int GetMinWidth() const noexcept { return FMinWidth; }
    void SetMinWidth(int Value);
    bool GetToolBoxPopup() const noexcept { return FToolBoxPopup; }
    void SetToolBoxPopup(bool Value) noexcept { FToolBoxPopup = Value; }
    // Item-style bit 0x2000.
    bool GetStretch() const noexcept { return HasStyle(tbisStretch); }
    void SetStretch(bool Value);
    // Repaints the item's viewers without a new layout.
    void Invalidate() { Changed(false); }

    TAdjustFontEvent OnAdjustFont;
    TDrawImageEvent OnDrawImage;
    TAdjustFontEvent GetOnAdjustFont() const noexcept { return OnAdjustFont; }
    void SetOnAdjustFont(TAdjustFontEvent Value) noexcept { OnAdjustFont = Value; }
    TDrawImageEvent GetOnDrawImage() const noexcept { return OnDrawImage; }
    void SetOnDrawImage(TDrawImageEvent Value) noexcept { OnDrawImage = Value; }

    TBarPopupWindow* CreatePopup(TBarView* ParentView, TBarItemViewer* ParentViewer, bool PositionAsSubmenu,
                                 bool SelectFirstItem, bool Customizing, gcl::TPoint APopupPoint,
                                 TBarPopupAnchor Alignment) override;
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;
    void GetPopupPosition(TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec) override;
    TBarPopupWindowClass GetPopupWindowClass() override;

protected:
    explicit TTxCustomItem(gcl::TComponent* AOwner);
    ~TTxCustomItem() override;

private:
    void FontSettingsChanged(gcl::TObject* Sender);

    bool FAlwaysSelectFirst = false;
    std::unique_ptr<TFontSettings> FFontSettings;
    TTxItemLayout FLayout = txlAuto;
    int FMinHeight = 0;
    int FMinWidth = 0;
    bool FToolBoxPopup = false;
};

class TTxItem : public TTxCustomItem {
    GCL_CLASS(TTxItem, TTxCustomItem)
protected:
    explicit TTxItem(gcl::TComponent* AOwner) : TTxCustomItem(AOwner) {}
};

// A themed item with a submenu; DropdownCombo makes it a button with a
// separate arrow part.
class TTxSubmenuItem : public TTxCustomItem {
    GCL_CLASS(TTxSubmenuItem, TTxCustomItem)
public:
    bool GetDropdownCombo() const noexcept { return HasStyle(tbisCombo); }
    void SetDropdownCombo(bool Value);

protected:
    explicit TTxSubmenuItem(gcl::TComponent* AOwner);
};

class TTxSeparatorItem : public TBarSeparatorItem {
    GCL_CLASS(TTxSeparatorItem, TBarSeparatorItem)
public:
    // -1 takes the theme's size; values below -1 store -1.
    int GetSize() const noexcept { return FSize; }
    void SetSize(int Value);
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;

protected:
    explicit TTxSeparatorItem(gcl::TComponent* AOwner) : TBarSeparatorItem(AOwner) {}

private:
    int FSize = -1;
};

class TTxItemViewer : public TBarItemViewer {
    GCL_CLASS(TTxItemViewer, TBarItemViewer)
public:
    TTxItemViewer(TBarView* AView, TBarCustomItem* AItem, int AGroupLevel);

    void CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    int GetAccRole() override;
    bool IsToolbarSize() override;
    bool IsToolbarStyle() override;
    bool IsPtInButtonPart(int X, int Y) override;
    void MouseUp(int X, int Y, bool MouseWasDownOnMenu) override;
    void Paint(gcl::TCanvas* Canvas, TRect ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;

    // Descendants paint their own caption (or, with IsShortcut, a menu
    // row's shortcut text) and clear PaintDefault; Format holds the text
    // flags the theme would use.
    virtual void DoPaintCaption(gcl::TCanvas* Canvas, const TRect& ClientAreaRect, TRect& CaptionRect,
                                UINT& Format, bool IsTextRotated, bool IsShortcut, bool& PaintDefault);
    // Around each face the theme paints (a button, a combo's parts, a menu
    // row): called before (PostPaint false; clearing PaintDefault keeps the
    // theme from painting) and after.
    virtual void DoPaintFace(gcl::TCanvas* Canvas, const TRect& FaceRect, TTxItemInfo& ItemInfo, bool PostPaint,
                             bool& PaintDefault);
    // The margin set of the theme for the image column: 1 toolbar, 2 menu.
    virtual int GetImageMarginID();
    virtual void DrawItemImage(gcl::TCanvas* Canvas, TRect ARect, TTxItemInfo& ItemInfo);
    virtual void DoAdjustFont(gcl::TFont* Font, int StateFlags);
    virtual bool IsImageShown();
    virtual void GetImageSize(gcl::TSize& Size);
    virtual UINT GetTextFlags();
    virtual void GetTextSize(gcl::TCanvas* Canvas, const std::string& Text, gcl::TSize& Size, int StateFlags,
                             bool IsTextRotated, UINT TextFlags);

    // The record a paint hands to the theme (steps 1 to 9 of the fill);
    // IsPushed may be cleared for the button part of a pushed combo arrow.
    TTxItemInfo FillItemInfo(bool IsSelected, bool& IsPushed, bool& ComboPushed);

protected:
    bool FWideGlyphLeft;   // one pixel more for a glyph-left toolbar button

private:
    TTxItemLayout EffectiveLayout();
};

class TTxSeparatorItemViewer : public TBarSeparatorItemViewer {
    GCL_CLASS(TTxSeparatorItemViewer, TBarSeparatorItemViewer)
public:
    using TBarSeparatorItemViewer::TBarSeparatorItemViewer;
    void CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) override;
    bool IsToolbarSize() override;
    bool IsToolbarStyle() override;
    void Paint(gcl::TCanvas* Canvas, TRect ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
};

// ---- Shared routines -----------------------------------------------------------------

// The width of a popup menu's image column for Viewer.
int GetPopupMargin(TBarItemViewer* Viewer);
// The record fields every themed viewer fills alike: the hover kind from
// the selection (2 hot, 1 selected by keyboard while disabled).
uint8_t ViewerHoverKind(TBarItemViewer* Viewer, bool IsSelected, bool Enabled);
// True for a view whose window reports a tool-box popup.
bool IsToolBoxView(TBarView* View);
// The themed placement around Base (the inherited placement): popups join
// their parent item when the theme's Boolean metric 1 says so; with
// SoundRule a list popup opens without the popup sound.
using TBasePlacement = void (*)(void* Context, TBarView* ParentView, TBarPopupWindow* PopupWindow,
                                TBarPopupPositionRec& Rec);
void ThemedPopupPosition(TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec,
                         bool SoundRule, TBasePlacement Base, void* Context);
// The item's own base placement (TBarCustomItem's rules).
void BaseItemPlacement(void* Item, TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec);

} // namespace qelvo
