// Shortcut texts, menu items and their Windows menus, popup menus and the
// popup list, context menus.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <functional>
#include <string>
#include <vector>

#include "gcl/ActnList.h"
#include "gcl/Forms.h"
#include "gcl/Menus.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/TypInfo.h"
#include "support/ApplicationTest.h"

using namespace gcl;
using qelvo::test::PumpApplication;

namespace {


std::string MenuText(HMENU menu, int position) {
    char text[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

UINT MenuType(HMENU menu, int position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    return info.fType;
}

UINT MenuState(HMENU menu, int position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    return info.fState;
}

class TMenuLog : public TObject {
public:
    std::vector<std::string> Lines;
    void Click(TObject* sender) { Lines.push_back("click " + static_cast<TComponent*>(sender)->GetName()); }
    void Execute(TObject* sender) { Lines.push_back("execute " + static_cast<TComponent*>(sender)->GetName()); }
    void Update(TObject* sender) { Lines.push_back("update " + static_cast<TComponent*>(sender)->GetName()); }
    void Popup(TObject*) { Lines.push_back("popup"); }
    void Changed(TObject*, TMenuItem* source, bool rebuild) {
        Lines.push_back(std::string("changed ") + (source ? source->GetName() : "-") + (rebuild ? " rebuild" : ""));
    }
    void Measure(TObject*, TCanvas* canvas, int& width, int& height) {
        Lines.push_back("measure " + std::to_string(width > 0) + std::to_string(height > 0) +
                        std::to_string(canvas != nullptr));
        width = 123;
    }
    void Draw(TObject* sender, TCanvas*, TRect rect, TOwnerDrawState state) {
        Lines.push_back("draw " + static_cast<TComponent*>(sender)->GetName() + " " + std::to_string(rect.Width()) +
                        (state.Contains(odSelected) ? " selected" : ""));
    }
    void ContextPopup(TObject*, TPoint, bool& handled) { handled = HandleContext; }
    bool HandleContext = false;
};

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const std::string& name, const std::string& caption,
                   TShortCut shortCut = 0) {
    TMenuItem* item = TMenuItem::Create(owner);
    item->SetName(name);
    item->SetCaption(caption);
    item->SetShortCut(shortCut);
    if (parent) parent->Add(item);
    return item;
}

// A popup menu that records where it was asked to pop up instead of
// showing itself (as descendants that draw their own menus do).
class TRecordingPopup : public TPopupMenu {
    GCL_CLASS(TRecordingPopup, TPopupMenu)
public:
    std::vector<TPoint> Points;
    std::vector<TComponent*> Components;
    void Popup(int x, int y) override {
        Points.push_back(Point(x, y));
        Components.push_back(GetPopupComponent());
    }

protected:
    explicit TRecordingPopup(TComponent* owner) : TPopupMenu(owner) {}
};
GCL_IMPLEMENT_CLASS(TRecordingPopup)

// A plain control: the window core's WM_CONTEXTMENU pops its menu up.
class TMenuControl : public TCustomControl {
    GCL_CLASS(TMenuControl, TCustomControl)
protected:
    explicit TMenuControl(TComponent* owner) : TCustomControl(owner) { SetBounds(20, 30, 100, 60); }
};
GCL_IMPLEMENT_CLASS(TMenuControl)

// A control with a menu of its own, shown when PopupMenu is not set.
class TOwnMenuControl : public TCustomControl {
    GCL_CLASS(TOwnMenuControl, TCustomControl)
public:
    TPopupMenu* OwnMenu = nullptr;
    TPopupMenu* GetPopupMenu() const override {
        TPopupMenu* menu = inherited::GetPopupMenu();
        return menu ? menu : OwnMenu;
    }

protected:
    explicit TOwnMenuControl(TComponent* owner) : TCustomControl(owner) { SetBounds(20, 30, 100, 60); }
};
GCL_IMPLEMENT_CLASS(TOwnMenuControl)

class TMenuForm : public TForm {
    GCL_CLASS(TMenuForm, TForm)
protected:
    explicit TMenuForm(TComponent* owner) : TForm(owner, 0) { SetBounds(150, 150, 300, 200); }
};
GCL_IMPLEMENT_CLASS(TMenuForm)

// A popup list that counts what its window receives.
class TCountingPopupList : public TPopupList {
    GCL_CLASS(TCountingPopupList, TPopupList)
public:
    int Selects = 0;

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == WM_MENUSELECT) ++Selects;
        inherited::WndProc(message);
    }
};
GCL_IMPLEMENT_CLASS(TCountingPopupList)

// A root for streaming: writes the components it owns that have no parent.
class TMenuHolder : public TComponent {
    GCL_CLASS(TMenuHolder, TComponent)
public:
    void GetChildren(TGetChildProc proc, TComponent*) override {
        for (int i = 0; i < GetComponentCount(); ++i)
            if (!GetComponents(i)->HasParent()) proc(GetComponents(i));
    }

protected:
    explicit TMenuHolder(TComponent* owner) : TComponent(owner) {}
};
GCL_IMPLEMENT_CLASS(TMenuHolder)

// Closes a popup menu's modal loop from inside it.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
}

class MenusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitializeUnits({&FormsUnit, &MenusUnit}); }
    static void TearDownTestSuite() { FinalizeUnits({&FormsUnit, &MenusUnit}); }
    void SetUp() override { Owner = TComponent::Create(nullptr); }
    void TearDown() override {
        Owner->Free();
        Application->SetHint("");
        PumpApplication(10);
    }
    // Outlives the components, whose handlers point into it.
    TMenuLog Log;
    TComponent* Owner = nullptr;
};

} // namespace

TEST_F(MenusTest, ShortCutsAndTheirTexts) {
    EXPECT_EQ(ShortCut('A', TShiftState{ssCtrl}), 0x4041);
    EXPECT_EQ(ShortCut('A', TShiftState{ssShift, ssCtrl}), 0x6041);
    EXPECT_EQ(ShortCutToText(0x6041), "Shift+Ctrl+A");
    EXPECT_EQ(ShortCutToText(scAlt | scCtrl | scShift | VK_F4), "Shift+Ctrl+Alt+F4");
    EXPECT_EQ(ShortCutToText(scCtrl | VK_DELETE), "Ctrl+Del");
    EXPECT_EQ(ShortCutToText(VK_RETURN), "Enter");
    EXPECT_EQ(ShortCutToText(VK_ESCAPE), "Esc");
    EXPECT_EQ(ShortCutToText(VK_PRIOR), "PgUp");
    EXPECT_EQ(ShortCutToText(VK_DOWN), "Down");
    EXPECT_EQ(ShortCutToText(scCtrl | VK_NUMPAD3), "Ctrl+3");
    EXPECT_EQ(ShortCutToText(scCtrl | '0'), "Ctrl+0");
    EXPECT_EQ(ShortCutToText(VK_F12), "F12");
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCutToText(scCtrl), "");

    EXPECT_EQ(TextToShortCut("Ctrl+Shift+N"), scCtrl | scShift | 'N');
    EXPECT_EQ(TextToShortCut("alt+f4"), scAlt | VK_F4);
    EXPECT_EQ(TextToShortCut("Ctrl+0"), scCtrl | '0');
    EXPECT_EQ(TextToShortCut("Del"), VK_DELETE);
    EXPECT_EQ(TextToShortCut("Bogus"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut(""), 0);
    for (TShortCut sc : {TShortCut(scCtrl | 'F'), TShortCut(scShift | VK_INSERT), TShortCut(scAlt | 'Z'),
                         TShortCut(VK_SPACE), TShortCut(scCtrl | scShift | VK_F1)})
        EXPECT_EQ(TextToShortCut(ShortCutToText(sc)), sc) << ShortCutToText(sc);

    uint16_t key = 0;
    TShiftState shift;
    ShortCutToKey(scAlt | scShift | 'T', key, shift);
    EXPECT_EQ(key, 'T');
    EXPECT_EQ(shift, (TShiftState{ssAlt, ssShift}));

    EXPECT_EQ(StripHotkey("&File"), "File");
    EXPECT_EQ(StripHotkey("Save && &Close"), "Save & Close");
    EXPECT_EQ(StripHotkey("End&"), "End");
    EXPECT_EQ(StripHotkey(""), "");

    // The shortcut of a key message: Alt from the key data, Ctrl and Shift
    // from the keyboard state.
    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE state[256] = {};
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    TMessage m = MakeMessage(WM_KEYDOWN, 'S', 1 << 29);
    EXPECT_EQ(ShortCutFromMessage(TWMKey(m)), scCtrl | scAlt | 'S');
    SetKeyboardState(saved);
}

TEST_F(MenusTest, ItemsBuildTheWindowsMenuLazilyAndKeepItCurrent) {
    TMenuLog& log = Log;
    TPopupMenu* popup = TPopupMenu::Create(Owner);
    TMenuItem* root = popup->GetItems();
    TMenuItem* open = NewItem(Owner, root, "OpenItem", "&Open", ShortCut('O', TShiftState{ssCtrl}));
    NewItem(Owner, root, "Line", "-");
    TMenuItem* sub = NewItem(Owner, root, "SubItem", "Sub", ShortCut(VK_F3, {}));
    TMenuItem* child = NewItem(Owner, sub, "ChildItem", "Child", ShortCut(VK_F2, {}));
    TMenuItem* hidden = NewItem(Owner, root, "HiddenItem", "Hidden");
    hidden->SetVisible(false);
    popup->OnChange = TMenuChangeEvent(&log, &TMenuLog::Changed);

    // Nothing is built before someone asks for the handle.
    EXPECT_FALSE(popup->HandleAllocated());
    EXPECT_FALSE(sub->HandleAllocated());
    HMENU menu = popup->GetHandle();
    ASSERT_TRUE(IsMenu(menu));
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(MenuText(menu, 0), "&Open\tCtrl+O");
    EXPECT_EQ(MenuType(menu, 1) & MFT_SEPARATOR, static_cast<UINT>(MFT_SEPARATOR));
    EXPECT_EQ(MenuText(menu, 2), "Sub");  // an item with children shows no shortcut
    EXPECT_EQ(GetSubMenu(menu, 2), sub->GetHandle());
    EXPECT_EQ(MenuText(sub->GetHandle(), 0), "Child\tF2");
    EXPECT_EQ(GetMenuItemID(menu, 0), open->GetCommand());
    EXPECT_NE(open->GetCommand(), child->GetCommand());

    // Changes reach the Windows menu in place.
    log.Lines.clear();
    open->SetCaption("&Open...");
    open->SetChecked(true);
    open->SetEnabled(false);
    EXPECT_EQ(MenuText(menu, 0), "&Open...\tCtrl+O");
    EXPECT_TRUE(MenuState(menu, 0) & MFS_CHECKED);
    EXPECT_TRUE(MenuState(menu, 0) & MFS_GRAYED);
    open->SetShortCut(0);
    EXPECT_EQ(MenuText(menu, 0), "&Open...");
    EXPECT_EQ(log.Lines.front(), "changed OpenItem");
    hidden->SetVisible(true);
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(MenuText(menu, 3), "Hidden");
    EXPECT_EQ(log.Lines.back(), "changed HiddenItem rebuild");
    hidden->SetMenuIndex(0);
    EXPECT_EQ(MenuText(menu, 0), "Hidden");
    EXPECT_EQ(hidden->GetMenuIndex(), 0);

    // Radio items of a group and the default item are exclusive.
    TMenuItem* byDate = NewItem(Owner, root, "ByDate", "By date");
    TMenuItem* byName = NewItem(Owner, root, "ByName", "By name");
    for (TMenuItem* item : {byDate, byName}) {
        item->SetRadioItem(true);
        item->SetGroupIndex(4);
    }
    byDate->SetChecked(true);
    byName->SetChecked(true);
    EXPECT_FALSE(byDate->GetChecked());
    EXPECT_TRUE(MenuType(menu, 5) & MFT_RADIOCHECK);
    byDate->SetDefault(true);
    byName->SetDefault(true);
    EXPECT_FALSE(byDate->GetDefault());
    EXPECT_TRUE(MenuState(menu, 5) & MFS_DEFAULT);

    // Lookups, the tree and its rules.
    EXPECT_EQ(popup->FindItem(child->GetCommand(), fkCommand), child);
    EXPECT_EQ(popup->FindItem(reinterpret_cast<uintptr_t>(sub->GetHandle()), fkHandle), sub);
    EXPECT_EQ(popup->FindItem(ShortCut(VK_F2, {}), fkShortCut), child);
    EXPECT_EQ(root->Find("open..."), open);
    EXPECT_EQ(child->GetParentMenu(), popup);
    EXPECT_EQ(child->GetParentComponent(), sub);
    EXPECT_EQ(sub->GetParentComponent(), popup);
    EXPECT_THROW(root->Add(child), EInvalidOperation);
    EXPECT_THROW(root->GetItems(99), EListError);
    EXPECT_THROW(child->Add(root), EInvalidOperation);

    // Removing a child keeps it; freeing an item takes its children along.
    sub->Remove(child);
    EXPECT_EQ(GetMenuItemCount(sub->GetHandle()), 0);
    EXPECT_EQ(MenuText(menu, 3), "Sub\tF3");  // no children now: the shortcut shows
    EXPECT_EQ(child->GetParent(), nullptr);
    sub->Add(child);
    sub->Free();
    EXPECT_EQ(Owner->FindComponent("ChildItem"), nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 5);

    // A main menu's bar shows no shortcut texts; its submenus do.
    TMainMenu* main = TMainMenu::Create(Owner);
    TMenuItem* file = NewItem(Owner, main->GetItems(), "FileItem", "&File", ShortCut('F', TShiftState{ssCtrl}));
    NewItem(Owner, file, "NewItem", "&New", ShortCut('N', TShiftState{ssCtrl}));
    HMENU bar = main->GetHandle();
    EXPECT_EQ(MenuText(bar, 0), "&File");
    EXPECT_EQ(MenuText(GetSubMenu(bar, 0), 0), "&New\tCtrl+N");
}

TEST_F(MenusTest, MenuItemsWithActionsAndShortCuts) {
    TMenuLog& log = Log;
    TActionList* list = TActionList::Create(Owner);
    TAction* action = TAction::Create(Owner);
    action->SetName("HideDoneA");
    action->SetActionList(list);
    action->SetCaption("Hide Done");
    action->SetShortCut(ShortCut('D', TShiftState{ssCtrl}));
    action->SetAutoCheck(true);
    action->SetOnExecute(TNotifyEvent(&log, &TMenuLog::Execute));
    TPopupMenu* popup = TPopupMenu::Create(Owner);
    TMenuItem* item = NewItem(Owner, popup->GetItems(), "HideDoneItem", "");
    item->SetAction(action);
    EXPECT_EQ(item->GetActionLink()->ClassType(), TMenuActionLink::StaticClass());
    EXPECT_EQ(item->GetCaption(), "Hide Done");
    EXPECT_EQ(item->GetShortCut(), action->GetShortCut());
    EXPECT_TRUE(item->GetAutoCheck());
    EXPECT_TRUE(item->OnClick == action->OnExecute);
    HMENU menu = popup->GetHandle();
    EXPECT_EQ(MenuText(menu, 0), "Hide Done\tCtrl+D");

    // The action's changes reach the Windows menu.
    action->SetShortCut(ShortCut('H', TShiftState{ssCtrl}));
    EXPECT_EQ(MenuText(menu, 0), "Hide Done\tCtrl+H");

    // A click runs the action, which does the AutoCheck; the item follows.
    item->Click();
    EXPECT_TRUE(action->GetChecked());
    EXPECT_TRUE(item->GetChecked());
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"execute HideDoneA"}));
    action->SetEnabled(false);
    item->Click();
    EXPECT_EQ(log.Lines.size(), 1u);
    action->SetEnabled(true);
    item->OnClick = TNotifyEvent(&log, &TMenuLog::Click);
    item->Click();
    EXPECT_EQ(log.Lines.back(), "click HideDoneItem");

    // The idle update, and shortcuts through CM_ISSHORTCUT.
    action->SetOnUpdate(TNotifyEvent(&log, &TMenuLog::Update));
    popup->GetItems()->InitiateActions();
    EXPECT_EQ(log.Lines.back(), "update HideDoneA");
    TMenuItem* plain = NewItem(Owner, popup->GetItems(), "PlainItem", "Plain", ShortCut(VK_F5, {}));
    plain->OnClick = TNotifyEvent(&log, &TMenuLog::Click);
    TMessage m = MakeMessage(CM_ISSHORTCUT, VK_F5, 0);
    popup->Dispatch(m);
    EXPECT_EQ(m.Result, 1);
    EXPECT_EQ(log.Lines.back(), "click PlainItem");
    plain->SetEnabled(false);
    m = MakeMessage(CM_ISSHORTCUT, VK_F5, 0);
    popup->Dispatch(m);
    EXPECT_EQ(m.Result, 0);

    // An item of its own AutoCheck toggles itself.
    plain->SetEnabled(true);
    plain->SetAutoCheck(true);
    plain->Click();
    EXPECT_TRUE(plain->GetChecked());

    // The item lets go of a freed action.
    action->Free();
    EXPECT_EQ(item->GetAction(), nullptr);
    EXPECT_EQ(item->GetActionLink(), nullptr);
}

TEST_F(MenusTest, PopupListDispatchesToThePopupMenus) {
    TMenuLog& log = Log;
    TPopupMenu* popup = TPopupMenu::Create(Owner);
    popup->OnPopup = TNotifyEvent(&log, &TMenuLog::Popup);
    TMenuItem* sort = NewItem(Owner, popup->GetItems(), "SortItem", "Sort");
    sort->SetHint("Sort|Sorts the list");
    sort->OnClick = TNotifyEvent(&log, &TMenuLog::Click);
    TMenuItem* group = NewItem(Owner, popup->GetItems(), "GroupItem", "Group");
    group->SetHint("Groups");
    NewItem(Owner, group, "GroupByDate", "By date");
    HWND window = PopupList->GetWindow();
    ASSERT_TRUE(IsWindow(window));
    HMENU menu = popup->GetHandle();

    // A chosen item comes back as WM_COMMAND.
    SendMessageA(window, WM_COMMAND, sort->GetCommand(), 0);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"click SortItem"}));

    // The selection sets the application's hint; closing the menu clears it.
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(sort->GetCommand(), MF_STRING), reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(Application->GetHint(), "Sorts the list");
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP), reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(Application->GetHint(), "Groups");
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(Application->GetHint(), "");
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(group->GetHandle()), 1);
    EXPECT_EQ(PopupList->GetPopupHandle(), group->GetHandle());

    // Owner-drawn items are measured and drawn through the list's window.
    popup->SetOwnerDraw(true);
    EXPECT_EQ(MenuType(menu, 0) & MFT_OWNERDRAW, static_cast<UINT>(MFT_OWNERDRAW));
    sort->OnMeasureItem = TMenuMeasureItemEvent(&log, &TMenuLog::Measure);
    sort->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent(&log, &TMenuLog::Draw);
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = sort->GetCommand();
    EXPECT_EQ(SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), 1);
    EXPECT_EQ(measure.itemWidth, 123u);
    EXPECT_GT(measure.itemHeight, 0u);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 40);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = sort->GetCommand();
    draw.itemState = ODS_SELECTED;
    draw.hDC = dc;
    draw.rcItem = RECT{0, 0, 150, 20};
    EXPECT_EQ(SendMessageA(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), 1);
    // The GCL's own drawing paints the highlight behind a selected item.
    draw.itemID = group->GetCommand();
    EXPECT_EQ(SendMessageA(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), 1);
    EXPECT_EQ(GetPixel(dc, 1, 1), static_cast<COLORREF>(ColorToRGB(clHighlight)));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(log.Lines.back(), "draw SortItem 150 selected");
    EXPECT_EQ(log.Lines[1], "measure 111");

    // Popup runs OnPopup, then shows the menu (closed again from inside).
    const size_t before = log.Lines.size();
    SetTimer(nullptr, 0, 100, &CloseMenu);
    popup->Popup(10, 10);
    EXPECT_EQ(popup->GetPopupPoint(), Point(10, 10));
    ASSERT_GT(log.Lines.size(), before);
    EXPECT_EQ(log.Lines[before], "popup");

    // The list can be replaced; its menus move over.
    const int menus = PopupList->GetCount();
    TCountingPopupList* counting = TCountingPopupList::Create();
    TPopupList* previous = SetPopupList(counting);
    EXPECT_EQ(PopupList, counting);
    EXPECT_EQ(counting->GetCount(), menus);
    EXPECT_EQ(previous->GetCount(), 0);
    SendMessageA(counting->GetWindow(), WM_MENUSELECT, MAKEWPARAM(sort->GetCommand(), 0), reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(counting->Selects, 1);
    EXPECT_EQ(Application->GetHint(), "Sorts the list");
    delete SetPopupList(previous);
}

TEST_F(MenusTest, ContextMenuPopsUpTheControlsPopupMenu) {
    TMenuLog& log = Log;
    TMenuForm* form = TMenuForm::Create(Owner);
    TMenuControl* control = TMenuControl::Create(Owner);
    control->SetParent(form);
    TRecordingPopup* popup = TRecordingPopup::Create(Owner);
    control->SetPopupMenu(popup);
    EXPECT_EQ(control->GetPopupMenu(), popup);
    form->Show();
    HWND window = control->GetHandle();

    // At the pointer, and at the client origin for the keyboard.
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(200, 210));
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(-1, -1));
    const TPoint origin = control->ClientToScreen(Point(0, 0));
    ASSERT_EQ(popup->Points.size(), 2u);
    EXPECT_EQ(popup->Points[0], Point(200, 210));
    EXPECT_EQ(popup->Points[1], origin);
    EXPECT_EQ(popup->Components[0], control);

    // OnContextPopup may handle it; AutoPopup off pops up nothing.
    control->OnContextPopup = TContextPopupEvent(&log, &TMenuLog::ContextPopup);
    log.HandleContext = true;
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(200, 210));
    log.HandleContext = false;
    popup->SetAutoPopup(false);
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(200, 210));
    EXPECT_EQ(popup->Points.size(), 2u);

    // The binding goes with the menu.
    popup->Free();
    EXPECT_EQ(control->GetPopupMenu(), nullptr);
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(-1, -1));
}

TEST_F(MenusTest, ContextMenuShowsTheMenuGetPopupMenuGives) {
    TMenuForm* form = TMenuForm::Create(Owner);
    TOwnMenuControl* control = TOwnMenuControl::Create(Owner);
    control->SetParent(form);
    TRecordingPopup* own = TRecordingPopup::Create(Owner);
    TRecordingPopup* assigned = TRecordingPopup::Create(Owner);
    control->OwnMenu = own;
    form->Show();
    HWND window = control->GetHandle();

    // Without a PopupMenu the control's own menu pops up.
    EXPECT_EQ(control->GetPopupMenu(), own);
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(200, 210));
    ASSERT_EQ(own->Points.size(), 1u);
    EXPECT_EQ(own->Points[0], Point(200, 210));
    EXPECT_EQ(own->Components[0], control);
    // An assigned PopupMenu wins; through a TControl pointer too.
    static_cast<TControl*>(control)->SetPopupMenu(assigned);
    EXPECT_EQ(static_cast<TControl*>(control)->GetPopupMenu(), assigned);
    SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(-1, -1));
    EXPECT_EQ(own->Points.size(), 1u);
    ASSERT_EQ(assigned->Points.size(), 1u);
    EXPECT_EQ(assigned->Points[0], control->ClientToScreen(Point(0, 0)));
}

// A form's menu bar: shown again in a new window, and handed its
// commands, item hints and shortcuts by the form.
TEST_F(MenusTest, FormMenuBarTakesCommandsHintsAndShortCuts) {
    TMenuLog& log = Log;
    TMenuForm* form = TMenuForm::Create(Owner);
    TMainMenu* bar = TMainMenu::Create(Owner);
    TMenuItem* file = NewItem(Owner, bar->GetItems(), "FileItem", "&File");
    TMenuItem* open = NewItem(Owner, file, "OpenItem", "&Open", ShortCut(VK_F3, {}));
    open->SetHint("Open|Opens a list");
    open->OnClick = TNotifyEvent(&log, &TMenuLog::Click);
    form->SetMenu(bar);
    form->Show();
    HWND window = form->GetHandle();
    EXPECT_EQ(GetMenu(window), bar->GetHandle());
    EXPECT_EQ(MenuText(GetMenu(window), 0), "&File");

    SendMessageA(window, WM_COMMAND, MAKEWPARAM(open->GetCommand(), 0), 0);
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"click OpenItem"}));
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(open->GetCommand(), MF_STRING),
                 reinterpret_cast<LPARAM>(file->GetHandle()));
    EXPECT_EQ(Application->GetHint(), "Opens a list");
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(Application->GetHint(), "");

    // The bar belongs to another owner: the form still asks it first.
    TMessage key = MakeMessage(WM_KEYDOWN, VK_F3, 0);
    EXPECT_TRUE(form->IsShortCut(key));
    EXPECT_EQ(log.Lines.back(), "click OpenItem");

    form->RecreateWnd();
    form->HandleNeeded();
    EXPECT_EQ(GetMenu(form->GetHandle()), bar->GetHandle());

    // Taking the menu away, and freeing it, leave the window without one.
    form->SetMenu(nullptr);
    EXPECT_EQ(GetMenu(form->GetHandle()), nullptr);
    form->SetMenu(bar);
    EXPECT_EQ(GetMenu(form->GetHandle()), bar->GetHandle());
    bar->Free();
    EXPECT_EQ(form->GetMenu(), nullptr);
    EXPECT_EQ(GetMenu(form->GetHandle()), nullptr);
}

TEST_F(MenusTest, MenusAndActionsStreamAndReadBack) {
    // Every published default is what the constructor sets.
    for (TComponentClass cls : {AsComponentClass(TAction::StaticClass()), AsComponentClass(THintAction::StaticClass()),
                                AsComponentClass(TActionList::StaticClass()), AsComponentClass(TMenuItem::StaticClass()),
                                AsComponentClass(TMainMenu::StaticClass()), AsComponentClass(TPopupMenu::StaticClass())}) {
        TComponent* instance = cls->Create(Owner);
        EXPECT_EQ(CheckPublishedDefaults(instance), std::vector<std::string>{}) << cls->ClassName();
    }

    TMenuHolder* holder = TMenuHolder::Create(Owner);
    TActionList* list = TActionList::Create(holder);
    list->SetName("Actions");
    TAction* save = TAction::Create(holder);
    save->SetName("SaveA");
    save->SetCaption("&Save");
    save->SetCategory("File");
    save->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
    save->SetActionList(list);
    TPopupMenu* popup = TPopupMenu::Create(holder);
    popup->SetName("Popup");
    popup->SetAutoPopup(false);
    TMenuItem* saveItem = NewItem(holder, popup->GetItems(), "SaveItem", "");
    saveItem->SetAction(save);
    NewItem(holder, popup->GetItems(), "Line", "-");
    TMenuItem* sub = NewItem(holder, popup->GetItems(), "SubItem", "&Sort");
    TMenuItem* child = NewItem(holder, sub, "ChildItem", "By &name", ShortCut(VK_F4, {}));
    child->SetRadioItem(true);
    child->SetChecked(true);
    TMemoryStream stream;
    WriteComponentToStream(stream, holder);

    TMenuHolder* copy = TMenuHolder::Create(Owner);
    stream.SetPosition(0);
    ReadComponentFromStream(stream, copy);
    auto* readList = dynamic_cast<TActionList*>(copy->FindComponent("Actions"));
    auto* readSave = dynamic_cast<TAction*>(copy->FindComponent("SaveA"));
    auto* readPopup = dynamic_cast<TPopupMenu*>(copy->FindComponent("Popup"));
    ASSERT_TRUE(readList && readSave && readPopup);
    EXPECT_EQ(readSave->GetActionList(), readList);
    EXPECT_EQ(readSave->GetCategory(), "File");
    EXPECT_FALSE(readPopup->GetAutoPopup());
    TMenuItem* root = readPopup->GetItems();
    ASSERT_EQ(root->GetCount(), 3);
    EXPECT_EQ(root->GetItems(0)->GetAction(), readSave);
    EXPECT_EQ(root->GetItems(0)->GetCaption(), "&Save");
    EXPECT_TRUE(root->GetItems(1)->IsLine());
    ASSERT_EQ(root->GetItems(2)->GetCount(), 1);
    TMenuItem* readChild = root->GetItems(2)->GetItems(0);
    EXPECT_EQ(readChild->GetName(), "ChildItem");
    EXPECT_TRUE(readChild->GetChecked());
    EXPECT_TRUE(readChild->GetRadioItem());
    HMENU menu = readPopup->GetHandle();
    EXPECT_EQ(MenuText(menu, 0), "&Save\tCtrl+S");
    EXPECT_EQ(MenuText(GetSubMenu(menu, 2), 0), "By &name\tF4");
}
