// Popup windows and the popup menu: the borderless top-level window that
// shows one popup view (a popup menu or submenu), its showing with or
// without animation, its frame and scroll arrows, and the popup-menu
// component whose entries are an item tree. Part of the BarItem unit
// (include toolbar/BarItem.h).
#pragma once

#include "gcl/Menus.h"
#include "toolbar/BarItem.h"

namespace qelvo {

// Sent to a popup window about its showing: WParam 1 asks whether it may
// animate (a non-zero answer refuses), 2 the animation has ended, 3 it was
// shown without animation.
inline constexpr UINT WM_POPUP_SHOWING = WM_USER + 554;

class TBarPopupView;
using TBarPopupViewMetaClass = gcl::TClassOf<TBarPopupView, gcl::TComponent::TMetaClassType, gcl::TComponent*,
                                             TBarView*, TBarCustomItem*, gcl::TWinControl*, bool, bool, bool>;
using TBarPopupViewClass = const TBarPopupViewMetaClass*;

// The view of a popup window: sizes its window to the laid-out items.
class TBarPopupView : public TBarView {
    GCL_CLASS_META(TBarPopupView, TBarView, TBarPopupViewMetaClass)
public:
    bool IsPopupWindow() const override { return true; }
    gcl::TFont* GetFont() override;

protected:
    TBarPopupView(gcl::TComponent* Owner, TBarView* ParentView, TBarCustomItem* ParentItem, gcl::TWinControl* Window,
                  bool IsToolbar, bool Customizing, bool UsePriorityList)
        : TBarView(Owner, ParentView, ParentItem, Window, IsToolbar, Customizing, UsePriorityList) {}
    void AutoSize(int AWidth, int AHeight) override;
};

// A popup window: made by an item's CreatePopup with
// (Owner, ParentView, Item, Customizing).
struct TBarPopupWindowMetaClass : gcl::TClassOf<TBarPopupWindow, gcl::TComponent::TMetaClassType, gcl::TComponent*,
                                                TBarView*, TBarCustomItem*, bool> {
    using TClassOf::TClassOf;
};

class TBarPopupWindow : public gcl::TCustomControl {
    GCL_CLASS_META(TBarPopupWindow, gcl::TCustomControl, TBarPopupWindowMetaClass)
public:
    TBarPopupView* GetView() const noexcept { return FView; }
    uint8_t GetSlideDirection() const noexcept { return FSlideDirection; }
    void SetSlideDirection(uint8_t Value) noexcept { FSlideDirection = Value; }
    // The frame around the items (3 x 3 here).
    virtual void GetNCSize(gcl::TPoint& Size);
    // The class of the window's view.
    virtual TBarPopupViewClass ViewClass() { return TBarPopupView::StaticClass(); }

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;
    void Dispatch(gcl::TMessage& Message) override;

protected:
    TBarPopupWindow(gcl::TComponent* Owner, TBarView* ParentView, TBarCustomItem* Item, bool Customizing);
    ~TBarPopupWindow() override;

    void CreateParams(gcl::TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWindowHandle() override;
    void Paint() override;
    virtual void PaintScrollArrows();
    // Paints the frame into DC (window coordinates).
    virtual void PaintNC(HDC DC);
    // A popup becoming visible may open with an animation: its parent view
    // allows it, nothing is selected yet and the window is not shown.
    bool MayAnimateShow();
    // Shows or hides the window at once (a shown one hears
    // WM_POPUP_SHOWING with 3).
    void ShowWithoutAnimation(bool Showing);

private:
    static void NCPaintProc(HWND Wnd, HDC DC, void* AppData);
    void CMShowingChanged(gcl::TMessage& Message);

    bool FAccelsInitialized = false;
    uint8_t FSlideDirection = 0;
    TBarPopupView* FView = nullptr;
    TBarView* FParentView;
    TBarCustomItem* FItem;
    bool FCustomizing;
};

// A context menu whose entries are an item tree (Items), shown through the
// same popup windows and menu loop as the toolbars' menus.
class TBarPopupMenu : public gcl::TPopupMenu {
    GCL_CLASS(TBarPopupMenu, gcl::TPopupMenu)
public:
    TBarRootItem* GetItems() const noexcept { return FItem; }
    gcl::TCustomImageList* GetImages() const noexcept { return FItem->GetSubMenuImages(); }
    void SetImages(gcl::TCustomImageList* Value) { FItem->SetSubMenuImages(Value); }
    TBarCustomItem* GetLinkSubitems() const noexcept { return FItem->GetLinkSubitems(); }
    void SetLinkSubitems(TBarCustomItem* Value) { FItem->SetLinkSubitems(Value); }
    TBarItemOptions GetOptions() const noexcept { return FItem->GetOptions(); }
    void SetOptions(TBarItemOptions Value) { FItem->SetOptions(Value); }

    void Popup(int X, int Y) override;
    // Shows the menu at the screen point and returns the item chosen (null
    // when none); its click runs on the next pump unless
    // ReturnClickedItemOnly.
    TBarCustomItem* PopupReturning(int X, int Y, bool ReturnClickedItemOnly);
    bool IsShortCut(gcl::TWMKey& Message) override;
    void GetChildren(gcl::TGetChildProc Proc, gcl::TComponent* Root) override;
    void SetChildOrder(gcl::TComponent* Child, int Order) override;
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TBarPopupMenu(gcl::TComponent* AOwner);
    // The class of the root item.
    virtual const gcl::TComponent::TMetaClassType* RootItemClass();

private:
    void RootClicked(gcl::TObject* Sender);

    TBarRootItem* FItem = nullptr;
};

} // namespace qelvo
