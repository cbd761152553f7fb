// The item tree: list errors and invariants, notifications and their relay,
// deferred clicks, shortcuts, clicks with actions, radio groups, options
// and popup placement.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <string>
#include <vector>

#include "gcl/ActnList.h"
#include "support/WindowTest.h"
#include "toolbar/BarItem.h"

using namespace qelvo;
using gcl::TComponent;
using gcl::TObject;

namespace {

// Runs f and returns the message of the EBarItemError it raises.
template <class F>
std::string BarError(F f) {
    try {
        f();
    } catch (const EBarItemError& e) {
        return e.GetMessage();
    }
    return "(no error)";
}

class TItemLog : public TObject {
public:
    std::vector<std::string> Lines;
    TBarCustomItem* Watched = nullptr;
    TBarCustomItem* FreeOnNotify = nullptr;

    static std::string Name(TBarCustomItem* item) { return item ? item->GetName() : "-"; }

    void Changed(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index, TBarCustomItem* Item) {
        Lines.push_back(Name(Sender) + (Relayed ? " relayed " : " ") + gcl::GetEnumName(Action) + " " +
                        std::to_string(Index) + " " + Name(Item));
    }
    void Second(TBarCustomItem*, bool, TBarItemChangedAction Action, int, TBarCustomItem*) {
        Lines.push_back("second " + gcl::GetEnumName(Action));
    }
    void UnregisterSelf(TBarCustomItem*, bool, TBarItemChangedAction Action, int, TBarCustomItem*) {
        Lines.push_back("self " + gcl::GetEnumName(Action));
        Watched->UnregisterNotification(TBarItemChangeHandler(this, &TItemLog::UnregisterSelf));
    }
    void FreeItem(TBarCustomItem*, bool, TBarItemChangedAction, int, TBarCustomItem*) {
        Lines.push_back("free");
        TBarCustomItem* doomed = FreeOnNotify;
        FreeOnNotify = nullptr;
        if (doomed) doomed->Free();
    }
    void Click(TObject* Sender) { Lines.push_back("click " + static_cast<TComponent*>(Sender)->GetName()); }
    void Execute(TObject* Sender) { Lines.push_back("execute " + static_cast<TComponent*>(Sender)->GetName()); }
};

class BarItemTest : public ::testing::Test {
protected:
    void SetUp() override { Owner = TComponent::Create(nullptr); }
    void TearDown() override { Owner->Free(); }

    template <class T = TBarCustomItem>
    T* Item(const std::string& name, TBarCustomItem* parent = nullptr) {
        T* item = T::Create(Owner);
        item->SetName(name);
        item->SetCaption(name);
        if (parent) parent->Add(item);
        return item;
    }
    TBarItemChangeHandler Handler(void (TItemLog::*m)(TBarCustomItem*, bool, TBarItemChangedAction, int,
                                                      TBarCustomItem*)) {
        return TBarItemChangeHandler(&Log, m);
    }

    TComponent* Owner = nullptr;
    TItemLog Log;
};

TEST_F(BarItemTest, ListErrorsLeaveTheTreeAsItWas) {
    auto* root = Item<TBarRootItem>("Root");
    auto* a = Item("A", root);
    auto* b = Item("B");
    root->Insert(1, b);   // Insert at Count appends
    EXPECT_EQ(root->IndexOf(b), 1);
    auto* c = Item("C");
    EXPECT_EQ(BarError([&] { root->Insert(3, c); }), "Toolbar item index out of range");
    EXPECT_EQ(BarError([&] { root->Insert(-1, c); }), "Toolbar item index out of range");
    EXPECT_EQ(c->GetParent(), nullptr);
    EXPECT_EQ(BarError([&] { root->Insert(0, a); }), "Toolbar item already inserted");
    EXPECT_EQ(BarError([&] { root->GetItem(2); }), "Toolbar item index out of range");
    EXPECT_EQ(BarError([&] { root->GetItem(-1); }), "Toolbar item index out of range");
    EXPECT_EQ(BarError([&] { root->Delete(2); }), "Toolbar item index out of range");
    EXPECT_EQ(BarError([&] { root->Move(0, 2); }), "Toolbar item index out of range");
    ASSERT_EQ(root->GetCount(), 2);
    EXPECT_EQ(root->GetItem(0), a);
    EXPECT_EQ(root->GetItem(1), b);
    EXPECT_EQ(a->GetParent(), root);
    EXPECT_EQ(BarError([&] { a->Add(root); }), "Toolbar item already inserted") << "no loops";
    EXPECT_EQ(BarError([&] { c->Add(c); }), "Toolbar item already inserted");
    EXPECT_EQ(c->GetCount(), 0);
}

TEST_F(BarItemTest, InsertMoveRemoveAndFree) {
    auto* root = Item<TBarRootItem>("Root");
    auto* a = Item("A", root);
    auto* b = Item("B", root);
    auto* c = Item("C", root);
    root->RegisterNotification(Handler(&TItemLog::Changed));

    root->Move(1, 1);
    EXPECT_TRUE(Log.Lines.empty()) << "moving to the same place says nothing";
    root->Move(0, 2);
    EXPECT_EQ(root->GetItem(0), b);
    EXPECT_EQ(root->GetItem(2), a);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{
                             "Root tbicSubitemsBeginUpdate -1 -", "Root tbicDeleting 0 A",
                             "Root tbicSubitemsBeginUpdate -1 -", "Root tbicInserted 2 A",
                             "Root tbicSubitemsEndUpdate -1 -", "Root tbicSubitemsEndUpdate -1 -"}));

    Log.Lines.clear();
    root->Remove(c);   // taken out, not freed
    EXPECT_EQ(c->GetParent(), nullptr);
    EXPECT_EQ(root->GetCount(), 2);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"Root tbicDeleting 1 C"}));
    root->Insert(0, c);   // and may come back
    EXPECT_EQ(root->GetItem(0), c);

    // A freed item leaves its parent; a freed parent frees its sub-items.
    Log.Lines.clear();
    b->Free();
    EXPECT_EQ(root->GetCount(), 2);
    EXPECT_EQ(root->IndexOf(b), -1);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"Root tbicDeleting 1 B"}));
    auto* sub = Item("Sub", a);
    root->Clear();
    EXPECT_EQ(root->GetCount(), 0);
    EXPECT_EQ(Owner->FindComponent("Sub"), nullptr) << "sub-items die with their parent";
    EXPECT_EQ(Owner->FindComponent("A"), nullptr);
    (void)sub;
    root->UnregisterNotification(Handler(&TItemLog::Changed));
}

TEST_F(BarItemTest, AnItemFreedWhileLinked) {
    auto* root = Item<TBarRootItem>("Root");
    auto* edit = Item("Edit", root);
    auto* shared = Item("Shared");
    Item("Paste", shared);
    edit->SetLinkSubitems(shared);
    EXPECT_EQ(edit->SubitemsSource(), shared);
    EXPECT_EQ(shared->GetLinkingItems().size(), 1u);
    root->RegisterNotification(Handler(&TItemLog::Changed));
    shared->Free();
    EXPECT_EQ(edit->GetLinkSubitems(), nullptr);
    EXPECT_EQ(edit->SubitemsSource(), edit);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{})) << "the link is cleared on the linking item itself";

    // The link target outliving the linking item forgets it.
    auto* target = Item("Target");
    auto* linker = Item("Linker", root);
    linker->SetLinkSubitems(target);
    linker->Free();
    EXPECT_TRUE(target->GetLinkingItems().empty());
    linker = Item("Self", root);
    linker->SetLinkSubitems(linker);
    EXPECT_EQ(linker->GetLinkSubitems(), nullptr) << "an item never links to itself";
    root->UnregisterNotification(Handler(&TItemLog::Changed));
}

TEST_F(BarItemTest, NotificationsRelayThroughEmbeddedGroupsAndLinks) {
    auto* root = Item<TBarRootItem>("Root");
    auto* group = Item<TBarGroupItem>("Group", root);
    auto* inner = Item<TBarGroupItem>("Inner", group);
    auto* linked = Item<TBarGroupItem>("Linked", root);
    auto* shared = Item("Shared");
    linked->SetLinkSubitems(shared);
    root->RegisterNotification(Handler(&TItemLog::Changed));

    auto* x = Item("X");
    inner->Add(x);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"Inner relayed tbicSubitemsBeginUpdate -1 -",
                                                   "Inner relayed tbicInserted 0 X",
                                                   "Inner relayed tbicSubitemsEndUpdate -1 -"}))
        << "the outermost embedded group speaks for nested ones";

    Log.Lines.clear();
    x->SetCaption("Changed");
    x->SetChecked(true);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"Inner relayed tbicInvalidateAndResize -1 X",
                                                   "Inner relayed tbicInvalidate -1 X"}));

    Log.Lines.clear();
    auto* y = Item("Y");
    shared->Add(y);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"Linked relayed tbicSubitemsBeginUpdate -1 -",
                                                   "Linked relayed tbicInserted 0 Y",
                                                   "Linked relayed tbicSubitemsEndUpdate -1 -"}))
        << "a link target's changes reach the views of the linking group";

    // Items linking to each other do not relay for ever.
    auto* p = Item<TBarGroupItem>("P");
    auto* q = Item<TBarGroupItem>("Q");
    p->SetLinkSubitems(q);
    q->SetLinkSubitems(p);
    p->Notify(tbicInvalidate, -1, nullptr);
    root->UnregisterNotification(Handler(&TItemLog::Changed));
}

TEST_F(BarItemTest, HandlersMayUnregisterDuringANotification) {
    auto* root = Item<TBarRootItem>("Root");
    Log.Watched = root;
    root->RegisterNotification(Handler(&TItemLog::UnregisterSelf));
    root->RegisterNotification(Handler(&TItemLog::Second));
    root->RegisterNotification(Handler(&TItemLog::Second));   // twice: counted
    root->Notify(tbicInvalidate, -1, nullptr);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"self tbicInvalidate", "second tbicInvalidate"}))
        << "the next handler is not skipped";
    Log.Lines.clear();
    root->UnregisterNotification(Handler(&TItemLog::Second));
    root->Notify(tbicInvalidate, -1, nullptr);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"second tbicInvalidate"})) << "one registration is left";
    root->UnregisterNotification(Handler(&TItemLog::Second));

    // The last handler of the list leaving: the walk ends cleanly.
    Log.Lines.clear();
    root->RegisterNotification(Handler(&TItemLog::UnregisterSelf));
    root->Notify(tbicInvalidate, -1, nullptr);
    root->Notify(tbicInvalidate, -1, nullptr);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"self tbicInvalidate"}));

    // A handler that frees the item it hears: the walk stops at once.
    Log.Lines.clear();
    auto* doomed = Item("Doomed");
    doomed->RegisterNotification(Handler(&TItemLog::FreeItem));
    doomed->RegisterNotification(Handler(&TItemLog::Second));
    Log.FreeOnNotify = doomed;
    doomed->Notify(tbicInvalidate, -1, nullptr);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"free"}));
    EXPECT_EQ(Owner->FindComponent("Doomed"), nullptr);
}

TEST_F(BarItemTest, DeferredClicksRunOnTheNextPumpUnlessCancelled) {
    auto* item = Item("Item");
    item->OnClick = gcl::TNotifyEvent(&Log, &TItemLog::Click);
    PostDeferredClick(item, 0);
    EXPECT_TRUE(Log.Lines.empty()) << "nothing runs before the pump";
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, DeferredClickWindow(), 0x500, 0x500, PM_NOREMOVE));
    EXPECT_EQ(m.message, 0x500u);
    qelvo::test::PumpMessages(2000, [&] { return !Log.Lines.empty(); });
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"click Item"}));

    Log.Lines.clear();
    auto* doomed = Item("Doomed");
    doomed->OnClick = gcl::TNotifyEvent(&Log, &TItemLog::Click);
    PostDeferredClick(doomed, 0);
    PostDeferredClick(item, 0);
    doomed->Free();
    qelvo::test::PumpMessages(2000, [&] { return !Log.Lines.empty(); });
    qelvo::test::PumpMessages(50);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"click Item"})) << "the freed item's click was cancelled";

    // The end of a menu with a click posts it; asking for the item only does not.
    Log.Lines.clear();
    TBarDoneActionData done;
    done.DoneAction = tbdaClickItem;
    done.ClickItem = item;
    EXPECT_EQ(ProcessDoneAction(done, true), item);
    qelvo::test::PumpMessages(50);
    EXPECT_TRUE(Log.Lines.empty());
    EXPECT_EQ(ProcessDoneAction(done, false), item);
    qelvo::test::PumpMessages(2000, [&] { return !Log.Lines.empty(); });
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"click Item"}));
    done.DoneAction = tbdaCancel;
    EXPECT_EQ(ProcessDoneAction(done, false), nullptr);
}

// Menus whose popup handler builds their sub-items each time they open.
class TRecentMenu : public TObject {
public:
    TComponent* Owner = nullptr;
    TItemLog* Log = nullptr;
    int Popups = 0;
    void Popup(TBarCustomItem* Sender, bool FromLink) {
        if (FromLink) return;
        ++Popups;
        Sender->Clear();
        TBarCustomItem* run = TBarCustomItem::Create(Owner);
        run->SetName("Run" + std::to_string(Popups));
        run->SetShortCut(VK_F7);
        run->OnClick = gcl::TNotifyEvent(Log, &TItemLog::Click);
        Sender->Add(run);
    }
};

bool PressKey(TBarCustomItem* root, uint16_t key) {
    gcl::TMessage m{WM_KEYDOWN, key, 0, 0};
    gcl::TWMKey message(m);
    return root->HandleShortCutKey(message);
}

TEST_F(BarItemTest, ShortcutsThroughLinksAndPopupFilledMenus) {
    auto* root = Item<TBarRootItem>("Root");
    auto* file = Item("File", root);
    file->SetItemStyle(file->GetItemStyle() | tbisSubmenu);
    auto* open = Item("Open", file);
    open->SetShortCut(VK_F5);
    open->OnClick = gcl::TNotifyEvent(&Log, &TItemLog::Click);
    EXPECT_TRUE(PressKey(root, VK_F5));
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"click Open"}));
    EXPECT_FALSE(PressKey(root, VK_F9)) << "no item has that key";

    // Through LinkSubitems.
    Log.Lines.clear();
    auto* edit = Item("Edit", root);
    auto* shared = Item("Shared");
    auto* paste = Item("Paste", shared);
    paste->SetShortCut(VK_F6);
    paste->OnClick = gcl::TNotifyEvent(&Log, &TItemLog::Click);
    edit->SetLinkSubitems(shared);
    EXPECT_TRUE(PressKey(root, VK_F6));
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"click Paste"}));

    // A menu that rebuilds its items when it opens: the fresh item is clicked.
    Log.Lines.clear();
    TRecentMenu recent;
    recent.Owner = Owner;
    recent.Log = &Log;
    auto* tools = Item("Tools", root);
    tools->OnPopup = TBarPopupEvent(&recent, &TRecentMenu::Popup);
    recent.Popup(tools, false);   // the menu as it was last shown
    EXPECT_TRUE(PressKey(root, VK_F7));
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"click Run2"}));
    EXPECT_EQ(Owner->FindComponent("Run1"), nullptr);

    // Disabled on the way, or disabled itself: nothing.
    Log.Lines.clear();
    open->SetEnabled(false);
    EXPECT_FALSE(PressKey(root, VK_F5));
    open->SetEnabled(true);
    file->SetEnabled(false);
    EXPECT_FALSE(PressKey(root, VK_F5));
    EXPECT_TRUE(Log.Lines.empty());
}

TEST_F(BarItemTest, ClickRulesWithActions) {
    auto* item = Item("Item");
    item->SetAutoCheck(true);
    item->Click();
    EXPECT_TRUE(item->GetChecked());
    item->SetEnabled(false);
    item->Click();
    EXPECT_TRUE(item->GetChecked()) << "a disabled item neither toggles nor fires";
    item->SetEnabled(true);

    auto* action = gcl::TAction::Create(Owner);
    action->SetName("Act");
    action->SetCaption("&Save");
    action->SetShortCut(VK_F2);
    action->SetOnExecute(gcl::TNotifyEvent(&Log, &TItemLog::Execute));
    auto* linked = Item("Linked");
    linked->SetCaption("");
    linked->SetAction(action);
    EXPECT_EQ(linked->GetCaption(), "&Save");
    EXPECT_EQ(linked->GetShortCut(), VK_F2);
    EXPECT_TRUE(linked->OnClick == action->OnExecute);
    linked->Click();
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"execute Act"})) << "the action runs through the link";

    action->SetCaption("Save &All");
    EXPECT_EQ(linked->GetCaption(), "Save &All") << "a linked caption follows";
    linked->SetCaption("Mine");
    action->SetHint("Saves");
    EXPECT_EQ(linked->GetCaption(), "Save &All") << "any change of the action applies it again";
    EXPECT_EQ(linked->GetHint(), "Saves");

    Log.Lines.clear();
    linked->OnClick = gcl::TNotifyEvent(&Log, &TItemLog::Click);
    linked->Click();
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"click Linked"})) << "an own OnClick wins over the action";

    // AutoCheck linked to the action: the action does the toggling.
    auto* check = gcl::TAction::Create(Owner);
    check->SetName("Check");
    check->SetAutoCheck(true);
    auto* toggle = Item("Toggle");
    toggle->SetAction(check);
    EXPECT_TRUE(toggle->GetAutoCheck());
    toggle->Click();
    EXPECT_TRUE(check->GetChecked());
    EXPECT_TRUE(toggle->GetChecked()) << "toggled once, through the action";

    action->Free();
    EXPECT_EQ(linked->GetAction(), nullptr);
}

TEST_F(BarItemTest, RadioGroupsAmongSiblings) {
    auto* root = Item<TBarRootItem>("Root");
    auto* a = Item("A", root);
    auto* b = Item("B", root);
    auto* c = Item("C", root);
    auto* plain = Item("Plain", root);
    auto* other = Item("Other");
    for (auto* i : {a, b, c, other}) i->SetGroupIndex(3);
    other->SetChecked(true);
    plain->SetChecked(true);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->GetChecked());
    EXPECT_TRUE(b->GetChecked());
    EXPECT_TRUE(plain->GetChecked()) << "group 0 is no group";
    EXPECT_TRUE(other->GetChecked()) << "only siblings in the same parent";
    c->SetGroupIndex(0);
    c->SetChecked(true);
    EXPECT_TRUE(b->GetChecked()) << "checking an item of group 0 leaves its siblings alone";
    c->SetGroupIndex(3);
    EXPECT_FALSE(b->GetChecked()) << "joining the group while checked";
    EXPECT_TRUE(c->GetChecked());
}

TEST_F(BarItemTest, OptionsImagesAndShortcutTexts) {
    auto* root = Item<TBarRootItem>("Root");
    auto* group = Item<TBarGroupItem>("Group", root);
    auto* item = Item("Item", group);
    item->SetOptions({tboToolbarSize});
    EXPECT_EQ(item->GetOptions(), TBarItemOptions{}) << "toolbar size needs toolbar style";
    root->SetOptions({tboDefault, tboToolbarStyle, tboShowHint});
    EXPECT_EQ(group->GetEffectiveOptions(), (TBarItemOptions{tboToolbarStyle, tboShowHint}))
        << "tboDefault is not inherited";
    EXPECT_EQ(item->GetEffectiveOptions(), (TBarItemOptions{tboToolbarStyle, tboShowHint}));
    group->SetMaskOptions({tboShowHint});
    EXPECT_EQ(item->GetEffectiveOptions(), (TBarItemOptions{tboToolbarStyle}));
    item->SetInheritOptions(false);
    EXPECT_EQ(item->GetEffectiveOptions(), TBarItemOptions{});

    root->RegisterNotification(Handler(&TItemLog::Changed));
    auto* button = Item("Button", root);
    Log.Lines.clear();
    button->SetImageIndex(2);
    button->SetImageIndex(5);
    button->SetImageIndex(5);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"Root tbicInvalidateAndResize -1 Button",
                                                   "Root tbicInvalidate -1 Button"}));
    root->UnregisterNotification(Handler(&TItemLog::Changed));

    button->SetCaption("Open\tCtrl+O");
    EXPECT_EQ(button->GetShortCutText(), "Ctrl+O");
    button->SetCaption("Open\t");
    button->SetShortCut(VK_F3);
    EXPECT_EQ(button->GetShortCutText(), "F3") << "a tab at the end falls back to the shortcut";
    button->SetShortCut(0);
    EXPECT_EQ(button->GetShortCutText(), "");
}

// ---- Popup placement ----

struct TPlacementCase {
    const char* Name;
    bool Submenu;
    TBarPopupAnchor Alignment;
    bool Opposite;
    gcl::TRect Monitor;
    gcl::TRect ParentItem;
    int X, Y, W, H;
    int ExpectX, ExpectY;
    uint8_t ExpectAnim;
    bool ExpectOpposite;
};

TEST_F(BarItemTest, PopupPlacementTable) {
    auto* root = Item<TBarRootItem>("Root");
    TBarView* bar = TBarView::Create(Owner, nullptr, root, nullptr, true, false, false);
    const gcl::TRect screen{0, 0, 800, 600};
    const gcl::TRect second{800, 0, 1600, 600};
    const TPlacementCase cases[] = {
        {"point that fits", false, tbpaLeft, false, screen, {100, 100, 100, 100}, 100, 100, 50, 80, 100, 100, 6, false},
        {"point at the bottom opens upwards", false, tbpaLeft, false, screen, {100, 550, 100, 550}, 100, 550, 50, 80,
         100, 470, 10, false},
        {"point at the right, left-aligned", false, tbpaLeft, false, screen, {780, 100, 780, 100}, 780, 100, 50, 80,
         730, 100, 5, false},
        {"right-aligned left of the monitor", false, tbpaRight, false, screen, {30, 100, 30, 100}, -20, 100, 50, 80,
         30, 100, 6, false},
        {"right-aligned at the right edge", false, tbpaRight, false, screen, {820, 100, 820, 100}, 770, 100, 50, 80,
         750, 100, 5, false},
        {"point on a second monitor's left edge", false, tbpaLeft, false, second, {790, 10, 790, 10}, 790, 10, 50,
         80, 800, 10, 6, false},
        {"too tall for the monitor", false, tbpaLeft, false, screen, {10, 10, 10, 10}, 10, 10, 50, 700, 10, 0, 2,
         false},
    };
    // Places a case's popup (frame sizes nc) with parentView and checks it.
    auto check = [&](const TPlacementCase& c, TBarView* parentView, int nc) {
        TBarPopupPositionRec rec;
        rec.PositionAsSubmenu = c.Submenu;
        rec.Alignment = c.Alignment;
        rec.Opposite = c.Opposite;
        rec.MonitorRect = c.Monitor;
        rec.ParentItemRect = c.ParentItem;
        rec.NCSizeX = nc;
        rec.NCSizeY = nc;
        rec.X = c.X;
        rec.Y = c.Y;
        rec.W = c.W;
        rec.H = c.H;
        root->GetPopupPosition(parentView, nullptr, rec);
        EXPECT_EQ(rec.X, c.ExpectX) << c.Name;
        EXPECT_EQ(rec.Y, c.ExpectY) << c.Name;
        EXPECT_EQ(rec.AnimDir, c.ExpectAnim) << c.Name;
        EXPECT_EQ(rec.Opposite, c.ExpectOpposite) << c.Name;
    };
    for (const TPlacementCase& c : cases) check(c, nullptr, 0);

    // Submenus beside their parent item (NC sizes 3).
    const TPlacementCase submenus[] = {
        {"submenu to the right", true, tbpaLeft, false, screen, {100, 50, 200, 70}, 197, 47, 120, 100, 197, 47, 2,
         false},
        {"submenu flips left at the edge", true, tbpaLeft, false, screen, {650, 50, 750, 70}, 747, 47, 120, 100,
         533, 47, 1, true},
        {"opposite wanted, no room on the left", true, tbpaLeft, true, screen, {50, 50, 150, 70}, 147, 47, 120, 100,
         147, 47, 2, false},
        {"submenu at the bottom opens upwards", true, tbpaLeft, false, screen, {100, 560, 200, 580}, 197, 557, 120,
         100, 197, 483, 2, false},
        // The submenu still covers its wide parent item: submenus are not
        // moved off it the way drop-downs are.
        {"submenu over a wide item stays", true, tbpaLeft, false, screen, {0, 0, 800, 20}, 797, 0, 120, 100, 0, 0, 1,
         true},
    };
    for (const TPlacementCase& c : submenus) check(c, bar, 3);

    // A drop-down from a bar at the bottom of the screen opens above the item.
    TBarPopupPositionRec rec;
    rec.MonitorRect = screen;
    rec.ParentItemRect = {100, 580, 150, 600};
    rec.X = 100;
    rec.Y = 600;
    rec.W = 120;
    rec.H = 200;
    root->GetPopupPosition(bar, nullptr, rec);
    EXPECT_EQ(rec.X, 100);
    EXPECT_EQ(rec.Y, 380);
    EXPECT_EQ(rec.AnimDir, tbadUpward);

    // From a vertical bar a popup that would cover the item goes beside it.
    bar->SetOrientation(tbvoVertical);
    rec = TBarPopupPositionRec{};
    rec.MonitorRect = screen;
    rec.ParentItemRect = {0, 100, 30, 130};
    rec.X = 0 - 120;
    rec.Y = 100;
    rec.W = 120;
    rec.H = 200;
    root->GetPopupPosition(bar, nullptr, rec);
    EXPECT_EQ(rec.X, 30);
    EXPECT_EQ(rec.Y, 100);
    EXPECT_EQ(rec.AnimDir, tbadRightward);
}

} // namespace

#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/TypInfo.h"

namespace {

// A control-like holder of a root item, as toolbars and popup menus are.
class TItemHolder : public gcl::TComponent, public IBarItemContainer {
    GCL_CLASS(TItemHolder, gcl::TComponent)
public:
    TBarCustomItem* GetItems() override { return FRoot; }
    void GetChildren(gcl::TGetChildProc Proc, gcl::TComponent* Root) override { FRoot->GetChildren(Proc, Root); }

protected:
    explicit TItemHolder(gcl::TComponent* owner) : gcl::TComponent(owner) {
        FRoot = TBarRootItem::Create(this);
        FRoot->SetParentComponentField(this);
    }

private:
    TBarRootItem* FRoot;
};
GCL_IMPLEMENT_CLASS(TItemHolder)

TEST_F(BarItemTest, ItemTreesStream) {
    gcl::TUnitScope units{&BarItemUnit};
    auto* holder = TItemHolder::Create(Owner);
    auto* group = TBarGroupItem::Create(holder);
    group->SetName("Group");
    group->SetOptions({tboToolbarStyle, tboShowHint});
    holder->GetItems()->Add(group);
    auto* sep = TBarSeparatorItem::Create(holder);
    sep->SetName("Sep");
    sep->SetBlank(true);
    sep->SetHint("Gap");
    group->Add(sep);
    auto* linked = TBarGroupItem::Create(holder);
    linked->SetName("Linked");
    linked->SetLinkSubitems(group);
    holder->GetItems()->Add(linked);

    gcl::TMemoryStream stream;
    auto* copy = TItemHolder::Create(Owner);
    try {
        gcl::WriteComponentToStream(stream, holder);
        stream.SetPosition(0);
        gcl::ReadComponentFromStream(stream, copy);
    } catch (const gcl::Exception& e) {
        FAIL() << e.ClassName() << ": " << e.GetMessage();
    }
    TBarCustomItem* root = copy->GetItems();
    ASSERT_EQ(root->GetCount(), 2);
    auto* readGroup = dynamic_cast<TBarGroupItem*>(root->GetItem(0));
    ASSERT_NE(readGroup, nullptr);
    EXPECT_EQ(readGroup->GetOptions(), (TBarItemOptions{tboToolbarStyle, tboShowHint}));
    ASSERT_EQ(readGroup->GetCount(), 1);
    auto* readSep = dynamic_cast<TBarSeparatorItem*>(readGroup->GetItem(0));
    ASSERT_NE(readSep, nullptr);
    EXPECT_TRUE(readSep->GetBlank());
    EXPECT_EQ(readSep->GetHint(), "Gap");
    EXPECT_EQ(root->GetItem(1)->GetLinkSubitems(), readGroup);

    // A hint taken from the action is not stored with the item.
    auto* action = gcl::TAction::Create(Owner);
    action->SetHint("From the action");
    sep->SetAction(action);
    EXPECT_FALSE(sep->IsHintStored());
    EXPECT_FALSE(sep->IsOnClickStored());
    sep->SetHint("Own");
    EXPECT_TRUE(sep->IsHintStored());
    EXPECT_TRUE(Item("Plain")->IsCaptionStored());
}

} // namespace
