// In-place editing on a real window: the edit manager's private loop driven
// by timer steps that post keys, clicks and quits into it, the editors'
// accept and cancel paths, Tab moves, and freeing what is edited (or the
// whole control) from inside the edit's events and from a timer.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <functional>
#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "listview/GvWindowFixture.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"
#include "listview/GvDemoForm.h"

using namespace qelvo;
using gcl::TPoint;
using gcl::TRect;

namespace {

// An editor that counts the live ones, to see that every edit lets go of
// its editor.
class TCountingEditor : public TGvStringEditor {
    GCL_CLASS(TCountingEditor, TGvStringEditor)
public:
    static int Live;

protected:
    TCountingEditor() { ++Live; }
    ~TCountingEditor() override { --Live; }
};
int TCountingEditor::Live = 0;
GCL_IMPLEMENT_CLASS(TCountingEditor)

// Steps run one per timer tick in whatever loop pumps the thread (the edit
// loop among them). When the steps are done and a loop still runs, a
// watchdog ends the edit and fails the test.
class TimerScript {
public:
    using Step = std::function<void()>;
    TimerScript(std::vector<Step> Steps, std::function<void()> Watchdog)
        : FSteps(std::move(Steps)), FWatchdog(std::move(Watchdog)) {
        Current = this;
        FTimer = SetTimer(nullptr, 0, 15, &TimerScript::Tick);
    }
    ~TimerScript() {
        KillTimer(nullptr, FTimer);
        Current = nullptr;
    }
    bool Done() const { return FNext >= FSteps.size(); }
    bool WatchdogFired() const { return FFired; }

private:
    static VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TimerScript* self = Current;
        if (!self || self->FBusy) return;
        self->FBusy = true;
        try {
            if (self->FNext < self->FSteps.size()) {
                Step step = self->FSteps[self->FNext++];
                step();
            } else if (++self->FIdle > 150 && !self->FFired) {
                self->FFired = true;
                if (self->FWatchdog) self->FWatchdog();
            }
        } catch (...) {
        }
        self->FBusy = false;
    }
    static TimerScript* Current;
    std::vector<Step> FSteps;
    std::function<void()> FWatchdog;
    size_t FNext = 0;
    int FIdle = 0;
    bool FBusy = false;
    bool FFired = false;
    UINT_PTR FTimer = 0;
};
TimerScript* TimerScript::Current = nullptr;

class GvEditingTest : public qelvo::test::GvWindowFixture {
protected:
    void SetUp() override {
        MakeListview(320, 240);
        LV->BeginUpdate();
        LV->SetView(elsReport);
        LV->GetHeader()->SetVisible(true);
        TGvColumns* columns = LV->GetHeader()->GetColumns();
        columns->Add(nullptr)->SetWidth(150);
        columns->Add(nullptr)->SetWidth(100);
        TGvGroup* group = LV->GetGroups()->Add(nullptr);
        for (const wchar_t* caption : {L"Alpha", L"Beta", L"Gamma", L""}) {
            TGvItem* item = group->GetItems()->Add(nullptr);
            item->SetCaption(caption);
            item->SetCaptions(1, L"second");
        }
        LV->EndUpdate();
        LV->GetEditManager()->SetEnabled(true);
        LV->OnItemEdited = TItemEditedEvent(this, &GvEditingTest::Edited);
        LV->OnItemEditEnd = TItemEditEnd(this, &GvEditingTest::EditEnded);
        LV->OnItemCreateEditor = TItemCreateEditorEvent(this, &GvEditingTest::CreateEditor);
        TCountingEditor::Live = 0;
    }
    void TearDown() override {
        GvWindowFixture::TearDown();
        EXPECT_EQ(TCountingEditor::Live, 0);
    }

public:
    void Edited(TCustomGvListview*, TGvItem* Item, gcl::TVariant& NewValue, bool& Accept) {
        EditedValues.push_back(NewValue.ToWide());
        Accept = AcceptValues;
        if (OnEdited) OnEdited(Item);
    }
    void EditEnded(TCustomGvListview*, TGvItem* Item) {
        EndedItems.push_back(Item);
        if (OnEnded) OnEnded(Item);
    }
    void CreateEditor(TCustomGvListview*, TGvItem*, gcl::ComPtr<IGvCellEditor>& Editor) {
        Editor = gcl::ComPtr<IGvCellEditor>(TCountingEditor::Create());
    }

protected:
    TGvItem* Item(int Index) const { return LV->GetItems()->GetItems(Index); }
    TGvEditManager* Manager() const { return LV ? LV->GetEditManager() : nullptr; }
    HWND EditHandle() const {
        IGvCellEditor* editor = Manager() ? Manager()->GetEditor() : nullptr;
        return editor ? editor->GetHandle() : nullptr;
    }
    static void Key(HWND Window, WPARAM Key) { PostMessageA(Window, WM_KEYDOWN, Key, 1); }
    static std::string TextOf(HWND Window) {
        char buffer[256] = {};
        GetWindowTextA(Window, buffer, sizeof buffer);
        return buffer;
    }
    // Edits Item (in Column) while the steps run; fails when the watchdog had
    // to end the loop.
    void RunEdit(TGvItem* Item, TGvColumn* Column, std::vector<TimerScript::Step> Steps) {
        TimerScript script(std::move(Steps), [this] {
            if (TGvEditManager* manager = Manager()) {
                manager->EndEdit();
                manager->StopEdit();
            }
        });
        Manager()->BeginEdit(Item, Column);
        EXPECT_FALSE(script.WatchdogFired()) << "the edit loop did not end";
        EXPECT_TRUE(script.Done());
    }

    std::vector<std::wstring> EditedValues;
    std::vector<TGvItem*> EndedItems;
    bool AcceptValues = true;
    std::function<void(TGvItem*)> OnEdited;
    std::function<void(TGvItem*)> OnEnded;
};

TEST_F(GvEditingTest, EnterAcceptsAndEscapeCancels) {
    HWND seen = nullptr;
    RunEdit(Item(0), nullptr, {[&] {
                seen = EditHandle();
                ASSERT_TRUE(seen);
                EXPECT_EQ(TextOf(seen), "Alpha");
                EXPECT_TRUE(Manager()->Editing());
                EXPECT_EQ(Manager()->GetEditItem(), Item(0));
                // In report view the first column is the one edited.
                EXPECT_EQ(Manager()->GetEditColumn(), LV->GetHeader()->GetColumns()->GetColumns(0));
                SetWindowTextA(seen, "Renamed");
                Key(seen, VK_RETURN);
            }});
    EXPECT_EQ(Item(0)->GetCaption(), L"Renamed");
    EXPECT_EQ(EditedValues, (std::vector<std::wstring>{L"Renamed"}));
    EXPECT_EQ(EndedItems, (std::vector<TGvItem*>{Item(0)}));
    EXPECT_FALSE(Manager()->Editing());
    EXPECT_EQ(Manager()->GetEditor(), nullptr);
    EXPECT_EQ(Manager()->GetEditItem(), nullptr);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(TCountingEditor::Live, 0);

    RunEdit(Item(1), nullptr, {[&] {
                SetWindowTextA(EditHandle(), "Never");
                Key(EditHandle(), VK_ESCAPE);
            }});
    EXPECT_EQ(Item(1)->GetCaption(), L"Beta");
    EXPECT_EQ(EditedValues.size(), 1u);
    EXPECT_EQ(EndedItems.size(), 2u);
}

TEST_F(GvEditingTest, RefusedValueKeepsTheEditorOpen) {
    AcceptValues = false;
    RunEdit(Item(0), nullptr, {[&] {
                                   SetWindowTextA(EditHandle(), "Refused");
                                   Key(EditHandle(), VK_RETURN);
                               },
                               [&] {
                                   EXPECT_TRUE(Manager()->Editing());
                                   EXPECT_TRUE(GetWindowLongA(EditHandle(), GWL_STYLE) & WS_VISIBLE);
                                   EXPECT_TRUE(EndedItems.empty());
                                   Key(EditHandle(), VK_ESCAPE);
                               }});
    EXPECT_EQ(EditedValues, (std::vector<std::wstring>{L"Refused"}));
    EXPECT_EQ(Item(0)->GetCaption(), L"Alpha");
    EXPECT_EQ(EndedItems.size(), 1u);
}

TEST_F(GvEditingTest, TheColumnAskedForIsEditedInReportViewOnly) {
    TGvColumn* second = LV->GetHeader()->GetColumns()->GetColumns(1);
    RunEdit(Item(2), second, {[&] {
                EXPECT_EQ(TextOf(EditHandle()), "second");
                EXPECT_EQ(Manager()->GetEditColumn(), second);
                SetWindowTextA(EditHandle(), "changed");
                Key(EditHandle(), VK_RETURN);
            }});
    EXPECT_EQ(Item(2)->GetCaptions(1), L"changed");
    EXPECT_EQ(Item(2)->GetCaption(), L"Gamma");

    LV->SetView(elsList);
    RunEdit(Item(2), second, {[&] {
                EXPECT_EQ(Manager()->GetEditColumn(), LV->GetHeader()->GetColumns()->GetColumns(0));
                SetWindowTextA(EditHandle(), "Listed");
                Key(EditHandle(), VK_RETURN);
            }});
    EXPECT_EQ(Item(2)->GetCaption(), L"Listed");
    EXPECT_EQ(Item(2)->GetCaptions(1), L"changed");
}

TEST_F(GvEditingTest, TabAcceptsAndGoesOnInTheNextItem) {
    Manager()->SetTabMoveFocus(true);
    std::vector<TGvItem*> begun;
    struct Recorder {
        std::vector<TGvItem*>* Items;
        void Begin(TCustomGvListview*, TGvItem* Item, int&, bool&) { Items->push_back(Item); }
    } recorder{&begun};
    LV->OnItemEditBegin = TItemEditBegin(&recorder, &Recorder::Begin);
    TimerScript script(
        {[&] {
             SetWindowTextA(EditHandle(), "First");
             Key(EditHandle(), VK_TAB);
         },
         [&] {
             // The Tab hand-over has started the next edit.
             EXPECT_EQ(Manager()->GetEditItem(), Item(1));
             EXPECT_EQ(TextOf(EditHandle()), "Beta");
             Key(EditHandle(), VK_ESCAPE);
         }},
        [this] {
            Manager()->EndEdit();
            Manager()->StopEdit();
        });
    Manager()->BeginEdit(Item(0), nullptr);
    // The first edit has ended; the Tab message continues on the next pump.
    EXPECT_EQ(Item(0)->GetCaption(), L"First");
    EXPECT_TRUE(Manager()->Editing());  // a Tab move is pending
    qelvo::test::PumpMessages(3000, [&] { return script.Done() && !Manager()->Editing(); });
    EXPECT_FALSE(script.WatchdogFired());
    EXPECT_EQ(Manager()->GetTabMoveFocusItem(), nullptr);
    EXPECT_EQ(LV->GetSelection()->GetFocusedItem(), Item(1));
    EXPECT_EQ(Item(1)->GetCaption(), L"Beta");
    EXPECT_EQ(EndedItems, (std::vector<TGvItem*>{Item(0), Item(1)}));
    ASSERT_GE(begun.size(), 2u);
    EXPECT_EQ(begun.front(), Item(0));
    EXPECT_EQ(begun.back(), Item(1));
}

TEST_F(GvEditingTest, TabMovesAcrossColumnsWhenAsked) {
    Manager()->SetTabMoveFocus(true);
    Manager()->SetTabEditColumns(true);
    TGvColumn* second = LV->GetHeader()->GetColumns()->GetColumns(1);
    TimerScript script({[&] { Key(EditHandle(), VK_TAB); },
                        [&] {
                            EXPECT_EQ(Manager()->GetEditItem(), Item(0));
                            EXPECT_EQ(Manager()->GetEditColumn(), second);
                            Key(EditHandle(), VK_ESCAPE);
                        }},
                       [this] {
                           Manager()->EndEdit();
                           Manager()->StopEdit();
                       });
    Manager()->BeginEdit(Item(0), nullptr);
    qelvo::test::PumpMessages(3000, [&] { return script.Done() && !Manager()->Editing(); });
    EXPECT_FALSE(script.WatchdogFired());
}

// Ctrl+Tab goes back (to the previous item, or the last column of the
// previous item when Tab walks the columns); Shift+Tab goes on like Tab.
// The manager reads Ctrl from the keyboard itself, so the key is pressed
// through the system's input.
TEST_F(GvEditingTest, CtrlTabGoesBackAndShiftTabGoesOn) {
    Manager()->SetTabMoveFocus(true);
    auto press = [](BYTE Key, bool Down) { keybd_event(Key, 0, Down ? 0 : KEYEVENTF_KEYUP, 0); };
    // Edits Item(Start) in Column, presses Tab with Modifier held and
    // reports where the next edit began.
    auto tabFrom = [&](int Start, TGvColumn* Column, BYTE Modifier) {
        TGvItem* nextItem = nullptr;
        TGvColumn* nextColumn = nullptr;
        TimerScript script({[&] {
                                press(Modifier, true);
                                Key(EditHandle(), VK_TAB);
                            },
                            [&] {
                                press(Modifier, false);
                                nextItem = Manager()->GetEditItem();
                                nextColumn = Manager()->GetEditColumn();
                                Key(EditHandle(), VK_ESCAPE);
                            }},
                           [this] {
                               Manager()->EndEdit();
                               Manager()->StopEdit();
                           });
        Manager()->BeginEdit(Item(Start), Column);
        qelvo::test::PumpMessages(3000, [&] { return script.Done() && !Manager()->Editing(); });
        press(Modifier, false);
        EXPECT_FALSE(script.WatchdogFired());
        return std::make_pair(nextItem, nextColumn);
    };
    EXPECT_EQ(tabFrom(2, nullptr, VK_CONTROL).first, Item(1));
    EXPECT_EQ(tabFrom(1, nullptr, VK_SHIFT).first, Item(2));
    // Across columns: back from the first column of an item is the last
    // column of the item before it.
    Manager()->SetTabEditColumns(true);
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    EXPECT_EQ(tabFrom(1, columns->GetColumns(0), VK_CONTROL), std::make_pair(Item(0), columns->GetColumns(1)));
    EXPECT_EQ(tabFrom(1, columns->GetColumns(1), VK_CONTROL), std::make_pair(Item(1), columns->GetColumns(0)));
    EXPECT_EQ(tabFrom(0, columns->GetColumns(0), VK_SHIFT), std::make_pair(Item(0), columns->GetColumns(1)));
    EXPECT_GE(GetAsyncKeyState(VK_CONTROL), 0);
}

TEST_F(GvEditingTest, WithoutTabMovesTabTypesABlank) {
    RunEdit(Item(1), nullptr, {[&] {
                                   SendMessageA(EditHandle(), EM_SETSEL, 4, 4);
                                   PostMessageA(EditHandle(), WM_CHAR, '\t', 1);
                                   PostMessageA(EditHandle(), WM_CHAR, 'x', 1);
                               },
                               [&] { Key(EditHandle(), VK_RETURN); }});
    EXPECT_EQ(Item(1)->GetCaption(), L"Beta x");
}

TEST_F(GvEditingTest, QuitEndsTheLoopAndIsPostedAgain) {
    RunEdit(Item(0), nullptr, {[&] {
                SetWindowTextA(EditHandle(), "Lost");
                PostQuitMessage(7);
            }});
    EXPECT_FALSE(Manager()->Editing());
    EXPECT_EQ(Item(0)->GetCaption(), L"Alpha");
    EXPECT_EQ(EndedItems.size(), 1u);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(GvEditingTest, DeactivationAndTheWheelCancel) {
    RunEdit(Item(0), nullptr, {[&] {
                SetWindowTextA(EditHandle(), "No");
                PostMessageA(LV->GetHandle(), GvMsgEditEnd, 0, 0);
            }});
    EXPECT_EQ(Item(0)->GetCaption(), L"Alpha");
    RunEdit(Item(0), nullptr, {[&] {
                SetWindowTextA(EditHandle(), "No");
                PostMessageA(EditHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
            }});
    EXPECT_EQ(Item(0)->GetCaption(), L"Alpha");
    EXPECT_EQ(EndedItems.size(), 2u);
    EXPECT_TRUE(EditedValues.empty());
}

TEST_F(GvEditingTest, AClickOutsideAcceptsOrIsSwallowed) {
    LV->GetSelection()->SetMultiSelect(false);
    const TRect row = Item(2)->GetDisplayRect();
    const TPoint inRow = LV->GetScrollbars()->MapViewToWindow(TPoint{row.Left + 20, (row.Top + row.Bottom) / 2});
    const LPARAM at = MAKELPARAM(inRow.X, inRow.Y);
    // Refused: the click is dropped and the editor stays.
    AcceptValues = false;
    RunEdit(Item(0), nullptr, {[&] {
                                   PostMessageA(LV->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
                                   PostMessageA(LV->GetHandle(), WM_LBUTTONUP, 0, at);
                               },
                               [&] {
                                   EXPECT_TRUE(Manager()->Editing());
                                   EXPECT_FALSE(Item(2)->GetSelected());
                                   Key(EditHandle(), VK_ESCAPE);
                               }});
    // Accepted: the edit ends and the click acts.
    AcceptValues = true;
    RunEdit(Item(0), nullptr, {[&] {
                SetWindowTextA(EditHandle(), "Clicked away");
                PostMessageA(LV->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
                PostMessageA(LV->GetHandle(), WM_LBUTTONUP, 0, at);
            }});
    qelvo::test::PumpMessages(200);
    EXPECT_EQ(Item(0)->GetCaption(), L"Clicked away");
    EXPECT_TRUE(Item(2)->GetSelected());
}

TEST_F(GvEditingTest, CtrlASelectsAllButCtrlNumpadOneDoesNot) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE saved = keys[VK_CONTROL];
    DWORD start = 0, end = 0;
    RunEdit(Item(0), nullptr,
            {[&] {
                 keys[VK_CONTROL] = 0x80;
                 SetKeyboardState(keys);
                 SendMessageA(EditHandle(), EM_SETSEL, 1, 1);
                 Key(EditHandle(), VK_NUMPAD1);
             },
             [&] {
                 SendMessageA(EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                 EXPECT_EQ(end - start, 0u);
                 Key(EditHandle(), 'A');
             },
             [&] {
                 SendMessageA(EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                 EXPECT_EQ(start, 0u);
                 EXPECT_EQ(end, 5u);
                 keys[VK_CONTROL] = saved;
                 SetKeyboardState(keys);
                 Key(EditHandle(), VK_ESCAPE);
             }});
    EXPECT_EQ(Item(0)->GetCaption(), L"Alpha");
}

TEST_F(GvEditingTest, TheEditorFitsItsTextInsideTheClientArea) {
    const int clientWidth = LV->GetClientWidth();
    int emptyWidth = 0;
    RunEdit(Item(3), nullptr, {[&] {
                RECT r{};
                GetWindowRect(EditHandle(), &r);
                emptyWidth = r.right - r.left;
                Key(EditHandle(), VK_ESCAPE);
            }});
    // One blank, the margins and room for one more character.
    EXPECT_GT(emptyWidth, 12);
    EXPECT_LT(emptyWidth, 40);
    RunEdit(Item(0), nullptr, {[&] {
                                   SetWindowTextA(EditHandle(), std::string(200, 'W').c_str());
                                   Key(EditHandle(), 'W');  // any key re-fits the editor
                               },
                               [&] {
                                   RECT r{};
                                   GetWindowRect(EditHandle(), &r);
                                   MapWindowPoints(nullptr, LV->GetHandle(), reinterpret_cast<POINT*>(&r), 2);
                                   TEXTMETRICA tm{};
                                   HDC dc = GetDC(EditHandle());
                                   HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(
                                                                      SendMessageA(EditHandle(), WM_GETFONT, 0, 0)));
                                   GetTextMetricsA(dc, &tm);
                                   SelectObject(dc, old);
                                   ReleaseDC(EditHandle(), dc);
                                   // The limit, then one character more.
                                   EXPECT_EQ(r.right, clientWidth + 12);
                                   (void)tm;
                                   Key(EditHandle(), VK_ESCAPE);
                               }});
    // Text put in with no key (the edit menu's Paste or Undo) is fitted too.
    int pastedWidth = 0;
    RunEdit(Item(3), nullptr, {[&] {
                                   SendMessageA(EditHandle(), EM_REPLACESEL, TRUE,
                                                reinterpret_cast<LPARAM>("WWWWWWWWWWWW"));
                               },
                               [&] {
                                   RECT r{};
                                   GetWindowRect(EditHandle(), &r);
                                   pastedWidth = r.right - r.left;
                                   Key(EditHandle(), VK_ESCAPE);
                               }});
    EXPECT_GT(pastedWidth, emptyWidth + 60) << "text pasted without a key left the editor as small as before";
}

TEST_F(GvEditingTest, ASecondEditWhileEditingDoesNothing) {
    RunEdit(Item(0), nullptr, {[&] {
                Manager()->BeginEdit(Item(1), nullptr);  // returns at once
                EXPECT_EQ(Manager()->GetEditItem(), Item(0));
                Key(EditHandle(), VK_ESCAPE);
            }});
    EXPECT_EQ(EndedItems, (std::vector<TGvItem*>{Item(0)}));
}

TEST_F(GvEditingTest, FreeingTheItemFromItsEditedEvent) {
    TGvItem* doomed = Item(1);
    OnEdited = [&](TGvItem* item) { gcl::Free(item); };
    HWND seen = nullptr;
    RunEdit(doomed, nullptr, {[&] {
                seen = EditHandle();
                SetWindowTextA(seen, "Gone");
                Key(seen, VK_RETURN);
            }});
    EXPECT_EQ(LV->GetItems()->GetCount(), 3);
    EXPECT_FALSE(Manager()->Editing());
    EXPECT_EQ(Manager()->GetEditItem(), nullptr);
    EXPECT_FALSE(IsWindow(seen));
}

TEST_F(GvEditingTest, FreeingTheControlFromTheEndEvent) {
    OnEnded = [&](TGvItem*) {
        gcl::Free(LV);
        LV = nullptr;
    };
    HWND seen = nullptr;
    RunEdit(Item(0), nullptr, {[&] {
                seen = EditHandle();
                Key(seen, VK_ESCAPE);
            }});
    EXPECT_EQ(LV, nullptr);
    EXPECT_FALSE(IsWindow(seen));
}

TEST_F(GvEditingTest, FreeingTheControlFromTheEditedEventOfEnter) {
    OnEdited = [&](TGvItem*) {
        gcl::Free(LV);
        LV = nullptr;
    };
    RunEdit(Item(0), nullptr, {[&] { Key(EditHandle(), VK_RETURN); }});
    EXPECT_EQ(LV, nullptr);
}

TEST_F(GvEditingTest, FreeingWhatIsEditedFromATimer) {
    // The item.
    RunEdit(Item(2), nullptr, {[&] { gcl::Free(Item(2)); }});
    EXPECT_EQ(LV->GetItems()->GetCount(), 3);
    EXPECT_FALSE(Manager()->Editing());
    // The column.
    TGvColumn* second = LV->GetHeader()->GetColumns()->GetColumns(1);
    RunEdit(Item(0), second, {[&] { gcl::Free(second); }});
    EXPECT_EQ(LV->GetHeader()->GetColumns()->GetCount(), 1);
    EXPECT_FALSE(Manager()->Editing());
    EXPECT_EQ(Item(0)->GetCaption(), L"Alpha");
    // The whole control.
    HWND seen = nullptr;
    RunEdit(Item(0), nullptr, {[&] {
                seen = EditHandle();
                gcl::Free(LV);
                LV = nullptr;
            }});
    EXPECT_EQ(LV, nullptr);
    EXPECT_FALSE(IsWindow(seen));
}

TEST_F(GvEditingTest, FreeingAnItemBetweenTabAndTheHandOver) {
    Manager()->SetTabMoveFocus(true);
    RunEdit(Item(0), nullptr, {[&] { Key(EditHandle(), VK_TAB); }});
    ASSERT_EQ(Manager()->GetTabMoveFocusItem(), Item(1));
    gcl::Free(Item(1));
    EXPECT_EQ(Manager()->GetTabMoveFocusItem(), nullptr);
    qelvo::test::PumpMessages(100);
    EXPECT_FALSE(Manager()->Editing());
}

TEST_F(GvEditingTest, ClickToEditStartsAfterTheDelay) {
    Manager()->SetAutoEditDelayTime(30);
    LV->GetSelection()->SetFocusedItem(Item(1));
    Item(1)->SetSelected(true);
    SetFocus(LV->GetHandle());
    // The timer edits the focused item when it fires.
    TimerScript script({[] {},
                        [] {},
                        [] {},
                        [&] {
                            EXPECT_EQ(Manager()->GetEditItem(), Item(1));
                            Key(EditHandle(), VK_ESCAPE);
                        }},
                       [this] {
                           Manager()->EndEdit();
                           Manager()->StopEdit();
                       });
    Manager()->StartAutoEditTimer();
    EXPECT_TRUE(Manager()->AutoEditTimerRunning());
    qelvo::test::PumpMessages(3000, [&] { return script.Done() && !Manager()->Editing(); });
    EXPECT_EQ(EndedItems, (std::vector<TGvItem*>{Item(1)}));
    // Nor when the keyboard has left the list, or a modal window disabled
    // the list's window, by the time it fires.
    SetFocus(nullptr);
    Manager()->StartAutoEditTimer();
    qelvo::test::PumpMessages(150);
    EXPECT_FALSE(Manager()->AutoEditTimerRunning());
    SetFocus(LV->GetHandle());
    const HWND root = GetAncestor(LV->GetHandle(), GA_ROOT);
    EnableWindow(root, FALSE);
    Manager()->StartAutoEditTimer();
    qelvo::test::PumpMessages(150);
    EnableWindow(root, TRUE);
    EXPECT_FALSE(Manager()->AutoEditTimerRunning());
    EXPECT_FALSE(Manager()->Editing());
    EXPECT_EQ(EndedItems.size(), 1u);
    // Without a focused item the timer does nothing.
    SetFocus(LV->GetHandle());
    LV->GetSelection()->SetFocusedItem(nullptr);
    Manager()->StartAutoEditTimer();
    qelvo::test::PumpMessages(150);
    EXPECT_FALSE(Manager()->AutoEditTimerRunning());
    EXPECT_EQ(EndedItems.size(), 1u);
}

// The demo form while a title is edited in place: the editor sits over the
// caption of the third task of "Inbox", with the typed text in it.
TEST_F(GvEditingTest, DemoFormScreenshotDuringAnEdit) {
    using namespace qelvo::test;
    TDemoForm* form = TDemoForm::Create(nullptr);
    TGvListview* lv = TGvListview::Create(form);
    lv->SetParent(form);
    lv->SetAlign(gcl::alClient);
    lv->BeginUpdate();
    SetUpLikeTheMainWindow(lv);
    TGvGroup* inbox = AddGroup(lv, L"Inbox", 12);
    AddGroup(lv, L"Work", 20);
    lv->EndUpdate();
    lv->GetEditManager()->SetEnabled(true);
    form->Show();
    qelvo::test::PumpApplication(300);
    TGvItem* item = inbox->GetItem(2);
    lv->GetSelection()->SetFocusedItem(item);
    item->SetSelected(true);
    int distinct = 0;
    RECT editRect{};
    TimerScript script({[&] {
                            IGvCellEditor* editor = lv->GetEditManager()->GetEditor();
                            ASSERT_NE(editor, nullptr);
                            SetWindowTextA(editor->GetHandle(), "Buy milk and fresh bread");
                            PostMessageA(editor->GetHandle(), WM_KEYDOWN, VK_END, 1);
                        },
                        [] {},
                        [] {},
                        [&] {
                            HWND edit = lv->GetEditManager()->GetEditor()->GetHandle();
                            GetWindowRect(edit, &editRect);
                            MapWindowPoints(nullptr, lv->GetHandle(), reinterpret_cast<POINT*>(&editRect), 2);
                            distinct = SaveWindowScreenshot(form->GetHandle(), "listview_edit.bmp");
                            PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 1);
                        }},
                       [lv] {
                           lv->GetEditManager()->EndEdit();
                           lv->GetEditManager()->StopEdit();
                       });
    item->Edit();
    EXPECT_FALSE(script.WatchdogFired());
    EXPECT_GT(distinct, 20);
    // The editor lay over the caption's row.
    const TRect row = lv->GetScrollbars()->MapViewRectToWindowRect(item->GetDisplayRect());
    EXPECT_LT(editRect.top, row.Bottom);
    EXPECT_GT(editRect.bottom, row.Top);
    EXPECT_EQ(item->GetCaption(), L"Inbox task 3");
    gcl::Free(form);
}

} // namespace
