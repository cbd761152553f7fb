// Standard controls: edit and memo, buttons, check boxes and radio
// buttons, label, list box, combo box, panel, speed button, application
// events; their state across window re-creation and their published
// defaults.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <functional>
#include <string>
#include <vector>

#include "gcl/ActnList.h"
#include "gcl/AppEvnts.h"
#include "gcl/Buttons.h"
#include "gcl/CheckLst.h"
#include "gcl/ComCtrls.h"
#include "gcl/ExtCtrls.h"
#include "gcl/Forms.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/TypInfo.h"
#include "support/ApplicationTest.h"
#include "support/PixelCanvas.h"

using namespace gcl;
using qelvo::test::PumpApplication;

using qelvo::test::DcPixel;

namespace {


class TStdForm : public TForm {
    GCL_CLASS(TStdForm, TForm)
protected:
    explicit TStdForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsNone);
        SetBounds(30, 30, 400, 300);
    }
};
GCL_IMPLEMENT_CLASS(TStdForm)

// Records events by name.
class TLog : public TObject {
public:
    std::vector<std::string> Entries;
    void Notify(TObject* sender) { Entries.push_back(Name(sender)); }
    void Key(TObject* sender, uint16_t& key, TShiftState) {
        Entries.push_back(Name(sender) + " key " + std::to_string(key));
    }
    static std::string Name(TObject* o) {
        auto* c = dynamic_cast<TComponent*>(o);
        return c ? c->GetName() : std::string("?");
    }
    int Count(const std::string& entry) const {
        return static_cast<int>(std::count(Entries.begin(), Entries.end(), entry));
    }
};

// An edit that exposes its raw password-character setter.
class TRawEdit : public TEdit {
    GCL_CLASS(TRawEdit, TEdit)
public:
    using TCustomEdit::SetPasswordCharRaw;
    int SelStartReads = 0;
    int GetSelStart() override {
        ++SelStartReads;
        return inherited::GetSelStart();
    }

protected:
    explicit TRawEdit(TComponent* owner) : TEdit(owner) {}
};
GCL_IMPLEMENT_CLASS(TRawEdit)

// A list box that records its draws.
class TDrawnListBox : public TListBox {
    GCL_CLASS(TDrawnListBox, TListBox)
public:
    std::vector<int> Drawn;

protected:
    explicit TDrawnListBox(TComponent* owner) : TListBox(owner) {}
    void DrawItem(int index, TRect rect, TOwnerDrawState state) override {
        Drawn.push_back(index);
        inherited::DrawItem(index, rect, state);
    }
};
GCL_IMPLEMENT_CLASS(TDrawnListBox)

class StdControls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        InitializeUnits({&FormsUnit, &ActnListUnit, &StdCtrlsUnit, &CheckLstUnit, &ExtCtrlsUnit, &ButtonsUnit,
                         &ComCtrlsUnit, &AppEvntsUnit, &CommonControlsUnit});
    }
    static void TearDownTestSuite() {
        FinalizeUnits({&FormsUnit, &ActnListUnit, &StdCtrlsUnit, &CheckLstUnit, &ExtCtrlsUnit, &ButtonsUnit,
                       &ComCtrlsUnit, &AppEvntsUnit, &CommonControlsUnit});
    }
    void SetUp() override { Form = TStdForm::Create(nullptr); }
    void TearDown() override {
        FreeAndNil(Form);
        PumpApplication(20);
    }

    template <class T>
    T* Add(const std::string& name, int left, int top, int width, int height, TWinControl* parent = nullptr) {
        T* control = T::Create(Form);
        control->SetName(name);
        control->SetBounds(left, top, width, height);
        control->SetParent(parent ? parent : Form);
        return control;
    }

    TStdForm* Form = nullptr;
    TLog Log;
};

// A memory bitmap filled with one colour.
class TMemoryDC {
public:
    TMemoryDC(int width, int height, COLORREF fill) {
        HDC screen = GetDC(nullptr);
        FDC = CreateCompatibleDC(screen);
        FBitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        FOld = SelectObject(FDC, FBitmap);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT r{0, 0, width, height};
        FillRect(FDC, &r, brush);
        DeleteObject(brush);
    }
    ~TMemoryDC() {
        SelectObject(FDC, FOld);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    HDC DC() const { return FDC; }
    // How many pixels of the area differ from colour.
    int CountOther(COLORREF colour, int width, int height) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += DcPixel(FDC, x, y) != colour;
        return n;
    }

private:
    HDC FDC;
    HBITMAP FBitmap;
    HGDIOBJ FOld;
};

} // namespace

TEST_F(StdControls, EditTextChangeSelectionAndRecreation) {
    auto* edit = Add<TRawEdit>("Edit", 10, 10, 120, 21);
    edit->OnChange = TNotifyEvent(&Log, &TLog::Notify);

    // Without a window the text is kept and OnChange stays quiet.
    edit->SetText("before");
    EXPECT_EQ(edit->GetText(), "before");
    EXPECT_TRUE(Log.Entries.empty());
    EXPECT_FALSE(edit->HandleAllocated());

    // With a window a programmatic change fires OnChange (EN_CHANGE).
    HWND first = edit->GetHandle();
    char buffer[64] = {};
    GetWindowTextA(first, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "before");
    edit->SetText("hello world");
    EXPECT_EQ(Log.Count("Edit"), 1);

    edit->SetMaxLength(20);
    edit->SetReadOnly(true);
    edit->SetPasswordChar('#');
    edit->SetSelStart(6);
    edit->SetSelLength(5);
    EXPECT_EQ(edit->GetSelText(), "world");
    EXPECT_GT(edit->SelStartReads, 0);  // the text of the selection uses the virtual accessors
    edit->SetModified(true);
    EXPECT_EQ(SendMessageA(first, EM_GETPASSWORDCHAR, 0, 0), '#');
    EXPECT_TRUE(GetWindowLongA(first, GWL_STYLE) & ES_READONLY);

    // Re-creation keeps text, limit, read-only, password, modified and
    // selection; it fires no OnChange.
    edit->RecreateWnd();
    HWND second = edit->GetHandle();
    EXPECT_NE(first, second);
    EXPECT_EQ(edit->GetText(), "hello world");
    EXPECT_EQ(SendMessageA(second, EM_GETLIMITTEXT, 0, 0), 20);
    EXPECT_TRUE(GetWindowLongA(second, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(SendMessageA(second, EM_GETPASSWORDCHAR, 0, 0), '#');
    EXPECT_TRUE(edit->GetModified());
    EXPECT_EQ(edit->GetSelStart(), 6);
    EXPECT_EQ(edit->GetSelLength(), 5);
    EXPECT_EQ(Log.Count("Edit"), 1);

    // The raw setter leaves the window alone.
    edit->SetPasswordCharRaw('*');
    EXPECT_EQ(edit->GetPasswordChar(), '*');
    EXPECT_EQ(SendMessageA(second, EM_GETPASSWORDCHAR, 0, 0), '#');

    // CharCase re-creates the window with the case style, text kept.
    edit->SetCharCase(ecUpperCase);
    EXPECT_TRUE(GetWindowLongA(edit->GetHandle(), GWL_STYLE) & ES_UPPERCASE);
    EXPECT_EQ(edit->GetText(), "HELLO WORLD");  // the window applies the case

    // AutoSize: the height follows the font.
    int height = edit->GetHeight();
    edit->GetFont()->SetSize(edit->GetFont()->GetSize() * 2);
    EXPECT_GT(edit->GetHeight(), height);
    edit->SetAutoSize(false);
    edit->SetHeight(50);
    EXPECT_EQ(edit->GetHeight(), 50);

    // SelectAll, ClearSelection.
    edit->SetReadOnly(false);
    edit->SelectAll();
    EXPECT_EQ(edit->GetSelLength(), 11);
    edit->ClearSelection();
    EXPECT_EQ(edit->GetText(), "");

    // A long text given before the window exists arrives whole, also after
    // re-creation: the system may keep only a few thousand characters of a
    // window's creation text.
    const std::string longText(70000, 'x');
    auto* late = Add<TRawEdit>("Late", 10, 40, 120, 21);
    late->SetText(longText);
    EXPECT_EQ(GetWindowTextLengthA(late->GetHandle()), 70000);
    late->RecreateWnd();
    EXPECT_EQ(late->GetText().size(), longText.size());
}

TEST_F(StdControls, MemoLinesWithAndWithoutWindowAndKeys) {
    auto* memo = Add<TMemo>("Memo", 10, 10, 200, 100);
    TStrings* lines = memo->GetLines();

    // Without a window: the lines of the stored text.
    lines->Add("one");
    lines->Add("three");
    lines->Insert(1, "two");
    EXPECT_EQ(lines->GetCount(), 3);
    EXPECT_EQ(memo->GetText(), "one\r\ntwo\r\nthree\r\n");
    EXPECT_FALSE(memo->HandleAllocated());

    // With one: the window's lines through EM_ messages.
    memo->HandleNeeded();
    EXPECT_EQ(lines->GetCount(), 3);
    EXPECT_EQ(lines->Get(1), "two");
    lines->Delete(0);
    lines->Add("four");
    EXPECT_EQ(lines->GetCount(), 3);
    EXPECT_EQ(memo->GetText(), "two\r\nthree\r\nfour\r\n");
    lines->Put(0, "TWO");
    EXPECT_EQ(lines->Get(0), "TWO");
    EXPECT_THROW(lines->Get(7), EStringListError);
    lines->Clear();
    EXPECT_EQ(lines->GetCount(), 0);
    lines->SetText("a\r\nb");
    EXPECT_EQ(lines->GetCount(), 2);

    // Style: multi-line, word wrap removes horizontal scrolling.
    LONG style = GetWindowLongA(memo->GetHandle(), GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_FALSE(style & ES_AUTOHSCROLL);
    memo->SetScrollBars(ssVertical);
    EXPECT_TRUE(GetWindowLongA(memo->GetHandle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(lines->GetCount(), 2);  // kept across the re-creation

    // WantReturns / WantTabs decide what the memo asks for.
    EXPECT_TRUE(memo->Perform(WM_GETDLGCODE) & DLGC_WANTALLKEYS);
    EXPECT_FALSE(memo->Perform(WM_GETDLGCODE) & DLGC_WANTTAB);
    memo->SetWantReturns(false);
    memo->SetWantTabs(true);
    EXPECT_FALSE(memo->Perform(WM_GETDLGCODE) & DLGC_WANTALLKEYS);
    EXPECT_TRUE(memo->Perform(WM_GETDLGCODE) & DLGC_WANTTAB);
    std::string before = memo->GetText();
    memo->Perform(WM_CHAR, '\r', 1);
    EXPECT_EQ(memo->GetText(), before);  // Enter was swallowed
}

TEST_F(StdControls, ButtonsDefaultCancelModalResultAndChecks) {
    auto* ok = Add<TButton>("Ok", 10, 10, 75, 25);
    auto* cancel = Add<TButton>("Cancel", 90, 10, 75, 25);
    auto* other = Add<TEdit>("Other", 10, 50, 75, 21);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    cancel->SetCancel(true);
    ok->OnClick = TNotifyEvent(&Log, &TLog::Notify);
    cancel->OnClick = TNotifyEvent(&Log, &TLog::Notify);
    Form->HandleNeeded();
    EXPECT_EQ(GetWindowLongA(ok->GetHandle(), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
    (void)other;

    // Enter presses the default button, Escape the cancel button.
    EXPECT_EQ(Form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 1);
    EXPECT_EQ(Log.Count("Ok"), 1);
    EXPECT_EQ(Form->GetModalResult(), mrOk);
    Form->SetModalResult(mrNone);
    EXPECT_EQ(Form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
    EXPECT_EQ(Log.Count("Cancel"), 1);

    // A click of the window (BN_CLICKED, reflected) runs Click.
    SendMessageA(cancel->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_EQ(Log.Count("Cancel"), 2);

    // While another button is focused it takes the default frame.
    cancel->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(cancel));
    ok->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(cancel));
    EXPECT_TRUE(cancel->GetActive());
    EXPECT_FALSE(ok->GetActive());
    ok->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(other));
    EXPECT_TRUE(ok->GetActive());

    // The BUTTON class paints into a DC handed with WM_PAINT.
    TMemoryDC dc(75, 25, RGB(255, 0, 255));
    ok->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(dc.DC()), 0);
    EXPECT_GT(dc.CountOther(RGB(255, 0, 255), 75, 25), 200);

    // Check box: clicks toggle, AllowGrayed adds the grayed state, and
    // the state survives re-creation.
    auto* check = Add<TCheckBox>("Check", 10, 90, 120, 17);
    check->SetCaption("&Check");
    check->OnClick = TNotifyEvent(&Log, &TLog::Notify);
    SendMessageA(check->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(check->GetChecked());
    EXPECT_EQ(SendMessageA(check->GetHandle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    check->SetAllowGrayed(true);
    SendMessageA(check->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_EQ(check->GetState(), cbUnchecked);
    SendMessageA(check->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_EQ(check->GetState(), cbGrayed);
    EXPECT_EQ(Log.Count("Check"), 3);
    check->RecreateWnd();
    EXPECT_EQ(SendMessageA(check->GetHandle(), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_EQ(check->GetState(), cbGrayed);
    check->SetAlignment(taLeftJustify);
    EXPECT_TRUE(GetWindowLongA(check->GetHandle(), GWL_STYLE) & BS_LEFTTEXT);
    EXPECT_EQ(check->GetState(), cbGrayed);

    // Radio buttons: one of a parent is checked.
    auto* r1 = Add<TRadioButton>("R1", 10, 120, 100, 17);
    auto* r2 = Add<TRadioButton>("R2", 10, 140, 100, 17);
    r1->SetChecked(true);
    SendMessageA(r2->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(r2->GetChecked());
    EXPECT_FALSE(r1->GetChecked());
    EXPECT_EQ(SendMessageA(r1->GetHandle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(r2->GetTabStop());
    EXPECT_FALSE(r1->GetTabStop());
}

TEST_F(StdControls, LabelSizesItselfAndFocusesItsControl) {
    auto* label = Add<TLabel>("Label", 10, 10, 10, 10);
    auto* edit = Add<TEdit>("Edit", 10, 40, 100, 21);
    label->SetCaption("&Name of the thing");
    int width = label->GetWidth();
    EXPECT_GT(width, 60);
    EXPECT_GT(label->GetHeight(), 8);
    label->SetCaption("&Name");
    EXPECT_LT(label->GetWidth(), width);

    // A right-aligned label grows to the left.
    label->SetAlignment(taRightJustify);
    int right = label->GetLeft() + label->GetWidth();
    label->SetCaption("&Name, longer");
    EXPECT_EQ(label->GetLeft() + label->GetWidth(), right);

    label->SetFocusControl(edit);
    Form->Show();
    EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'n', 0), 1);
    EXPECT_EQ(Form->GetActiveControl(), edit);
    EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'x', 0), 0);

    // Transparent labels and speed buttons (transparent from the start)
    // let the parent paint behind them; opaque ones paint their background.
    auto* button = TSpeedButton::Create(Form);
    const auto opaque = [](TControl* control) { return control->GetControlStyle().Contains(csOpaque); };
    EXPECT_TRUE(opaque(label));
    EXPECT_FALSE(opaque(button));
    for (const bool transparent : {true, false, true}) {
        label->SetTransparent(transparent);
        button->SetTransparent(transparent);
        EXPECT_EQ(opaque(label), !transparent);
        EXPECT_EQ(opaque(button), !transparent);
    }
}

TEST_F(StdControls, ListBoxItemsSurviveRecreationAndMove) {
    auto* list = Add<TListBox>("List", 10, 10, 150, 100);
    TObject* tags[3];
    for (auto*& t : tags) t = reinterpret_cast<TObject*>(new char[1]);

    // Without a window the items are kept by the component.
    list->GetItems()->AddObject("beta", tags[1]);
    list->GetItems()->AddObject("alpha", tags[0]);
    list->GetItems()->Insert(1, "gamma");
    list->GetItems()->PutObject(1, tags[2]);
    list->SetItemIndex(2);
    EXPECT_FALSE(list->HandleAllocated());
    EXPECT_EQ(list->GetItems()->GetCommaText(), "beta,gamma,alpha");
    EXPECT_EQ(list->GetItemIndex(), 2);

    // The window gets them all.
    HWND first = list->GetHandle();
    EXPECT_EQ(SendMessageA(first, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(list->GetItems()->GetObject(0), tags[1]);
    EXPECT_EQ(list->GetItemIndex(), 2);
    EXPECT_EQ(list->GetItems()->IndexOf("GAMMA"), 1);

    // Moving keeps the data and the current item.
    list->GetItems()->Move(2, 0);
    EXPECT_EQ(list->GetItems()->GetCommaText(), "alpha,beta,gamma");
    EXPECT_EQ(list->GetItems()->GetObject(0), tags[0]);
    EXPECT_EQ(list->GetItemIndex(), 0);
    list->GetItems()->Exchange(0, 2);
    EXPECT_EQ(list->GetItems()->GetCommaText(), "gamma,beta,alpha");
    EXPECT_EQ(list->GetItems()->GetObject(2), tags[0]);
    EXPECT_EQ(list->GetItemIndex(), 2);

    // Re-creation (multi-select) keeps items, data, selection.
    list->SetMultiSelect(true);
    list->SetSelected(0, true);
    list->SetSelected(2, true);
    list->RecreateWnd();
    EXPECT_NE(list->GetHandle(), first);
    EXPECT_EQ(list->GetItems()->GetCommaText(), "gamma,beta,alpha");
    EXPECT_EQ(list->GetItems()->GetObject(1), tags[1]);
    EXPECT_EQ(list->GetSelCount(), 2);
    EXPECT_TRUE(list->GetSelected(0));
    EXPECT_FALSE(list->GetSelected(1));

    // Sorted sorts what is there and what comes.
    list->SetSorted(true);
    EXPECT_EQ(list->GetItems()->GetCommaText(), "alpha,beta,gamma");
    EXPECT_EQ(list->GetItems()->GetObject(0), tags[0]);
    list->GetItems()->Add("delta");
    EXPECT_EQ(list->GetItems()->GetCommaText(), "alpha,beta,delta,gamma");

    // Copying the selection, then clearing.
    auto* other = Add<TListBox>("Other", 200, 10, 100, 100);
    list->ClearSelection();
    list->SetSelected(1, true);
    list->SetSelected(3, true);
    list->CopySelection(other);
    EXPECT_EQ(other->GetItems()->GetCommaText(), "beta,gamma");
    list->DeleteSelected();
    EXPECT_EQ(list->GetItems()->GetCommaText(), "alpha,delta");
    list->Clear();
    EXPECT_EQ(list->GetCount(), 0);
    for (TObject* t : tags) delete[] reinterpret_cast<char*>(t);
}

TEST_F(StdControls, VirtualAndOwnerDrawnListBoxes) {
    auto* list = Add<TDrawnListBox>("List", 10, 10, 150, 100);
    list->SetStyle(lbVirtual);
    list->SetCount(5);
    EXPECT_THROW(list->GetItems()->Get(5), EStringListError);
    // Without OnData the window's text questions get LB_ERR.
    list->HandleNeeded();
    EXPECT_EQ(list->Perform(LB_GETTEXTLEN, 1), LB_ERR);
    struct TData : TObject {
        void Get(TWinControl*, int index, std::string& data) { data = "item " + std::to_string(index); }
    } data;
    list->OnData = TLBGetDataEvent(&data, &TData::Get);
    EXPECT_EQ(list->GetCount(), 5);
    EXPECT_EQ(list->GetItems()->Get(3), "item 3");
    EXPECT_EQ(list->Perform(LB_GETTEXTLEN, 4), 6);
    EXPECT_EQ(list->Perform(LB_GETTEXTLEN, 5), LB_ERR);
    list->RecreateWnd();
    EXPECT_EQ(SendMessageA(list->GetHandle(), LB_GETCOUNT, 0, 0), 5);
    EXPECT_THROW(TListBox::Create(nullptr)->SetCount(3), EInvalidOperation);

    // Owner drawing: DrawItem for real items; item -1 (an empty list with
    // the focus) is only filled.
    list->SetStyle(lbOwnerDrawFixed);
    list->GetItems()->Add("drawn");
    TMemoryDC dc(150, 20, RGB(255, 0, 255));
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_LISTBOX;
    item.itemID = 0;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = list->GetHandle();
    item.hDC = dc.DC();
    item.rcItem = RECT{0, 0, 150, 16};
    list->Drawn.clear();
    EXPECT_EQ(list->Perform(CN_DRAWITEM, 0, reinterpret_cast<intptr_t>(&item)), 1);
    item.itemID = static_cast<UINT>(-1);
    item.itemState = ODS_FOCUS;
    list->Perform(CN_DRAWITEM, 0, reinterpret_cast<intptr_t>(&item));
    EXPECT_EQ(list->Drawn, std::vector<int>{0});
    EXPECT_NE(DcPixel(dc.DC(), 75, 8), static_cast<COLORREF>(RGB(255, 0, 255)));
}

TEST_F(StdControls, ComboBoxItemsTextDropDownAndKeys) {
    auto* combo = Add<TComboBox>("Combo", 10, 10, 150, 21);
    combo->GetItems()->Add("red");
    combo->GetItems()->Add("green");
    combo->GetItems()->Add("blue");
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->GetText(), "green");
    combo->OnDropDown = TNotifyEvent(&Log, &TLog::Notify);
    combo->OnKeyDown = TKeyEvent(&Log, &TLog::Key);

    HWND first = combo->GetHandle();
    EXPECT_EQ(SendMessageA(first, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(combo->GetItemIndex(), 1);
    ASSERT_NE(combo->GetEditHandle(), nullptr);
    combo->SetText("typed");
    combo->RecreateWnd();
    EXPECT_EQ(combo->GetItems()->GetCommaText(), "red,green,blue");
    EXPECT_EQ(combo->GetText(), "typed");

    // Keys typed into the edit window reach the combo box's events.
    SendMessageA(combo->GetEditHandle(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(Log.Count("Combo key 65"), 1);

    // F4 through Perform drops the list down.
    Form->Show();
    combo->Perform(WM_KEYDOWN, VK_F4, 0);
    EXPECT_TRUE(combo->GetDroppedDown());
    EXPECT_EQ(Log.Count("Combo"), 1);
    combo->SetDroppedDown(false);
    EXPECT_FALSE(combo->GetDroppedDown());

    // A drop-down list has no edit window; the text follows ItemIndex.
    combo->SetStyle(csDropDownList);
    EXPECT_EQ(combo->GetEditHandle(), nullptr);
    combo->SetItemIndex(2);
    EXPECT_EQ(combo->GetText(), "blue");
    combo->RecreateWnd();
    EXPECT_EQ(combo->GetItemIndex(), 2);
}

TEST_F(StdControls, PanelFrameAndAlignment) {
    auto* panel = Add<TPanel>("Panel", 10, 10, 200, 100);
    auto* top = Add<TEdit>("Top", 0, 0, 50, 21, panel);
    top->SetAlign(alTop);
    panel->HandleNeeded();
    // Raised outer bevel of 1: children start one pixel in.
    EXPECT_EQ(top->GetBoundsRect(), Bounds(1, 1, 198, 21));
    panel->SetBorderWidth(3);
    panel->SetBevelInner(bvLowered);
    EXPECT_EQ(panel->FrameSize(), 5);
    EXPECT_EQ(top->GetBoundsRect(), Bounds(5, 5, 190, 21));
    panel->SetBevelOuter(bvNone);
    panel->SetBevelInner(bvNone);
    panel->SetBorderWidth(0);
    EXPECT_EQ(top->GetBoundsRect(), Bounds(0, 0, 200, 21));

    // The frame paints in the bevel colours.
    panel->SetBevelOuter(bvRaised);
    panel->SetCaption("Caption");
    TMemoryDC dc(200, 100, RGB(255, 0, 255));
    panel->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(dc.DC()), 0);
    EXPECT_EQ(DcPixel(dc.DC(), 0, 50), ColorToRGB(clBtnHighlight) & 0xFFFFFF);
    EXPECT_EQ(DcPixel(dc.DC(), 199, 50), ColorToRGB(clBtnShadow) & 0xFFFFFF);
    EXPECT_EQ(DcPixel(dc.DC(), 100, 90), ColorToRGB(clBtnFace) & 0xFFFFFF);
}

TEST_F(StdControls, SpeedButtonGroupsAndClicks) {
    auto* a = TSpeedButton::Create(Form);
    auto* b = TSpeedButton::Create(Form);
    a->SetName("A");
    b->SetName("B");
    a->SetBounds(10, 10, 23, 22);
    b->SetBounds(40, 10, 23, 22);
    a->SetParent(Form);
    b->SetParent(Form);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    a->OnClick = TNotifyEvent(&Log, &TLog::Notify);

    a->SetDown(true);
    EXPECT_TRUE(a->GetDown());
    b->SetDown(true);
    EXPECT_TRUE(b->GetDown());
    EXPECT_FALSE(a->GetDown());
    b->SetDown(false);  // not without AllowAllUp
    EXPECT_TRUE(b->GetDown());
    b->SetAllowAllUp(true);
    EXPECT_TRUE(a->GetAllowAllUp());
    b->SetDown(false);
    EXPECT_FALSE(b->GetDown());

    // A click through the parent's window presses the button down.
    HWND form = Form->GetHandle();
    SendMessageA(form, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
    EXPECT_EQ(a->GetState(), bsDown);
    SendMessageA(form, WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
    EXPECT_EQ(Log.Count("A"), 1);
    EXPECT_TRUE(a->GetDown());
    // Dragged off before release: no click.
    SendMessageA(form, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(45, 15));
    SendMessageA(form, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 200));
    SendMessageA(form, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    EXPECT_FALSE(b->GetDown());
    EXPECT_TRUE(a->GetDown());

    // Both drawing branches paint something.
    for (bool themed : {true, false}) {
        struct TStyle : IVisualStyleService {
            bool On;
            explicit TStyle(bool on) : On(on) {}
            bool Active() override { return On; }
        } style(themed);
        ServiceOverride<IVisualStyleService> scope(VisualStyleService(), style);
        TMemoryDC dc(23, 22, RGB(255, 0, 255));
        a->SetCaption("x");
        a->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(dc.DC()), 0);
        EXPECT_GT(dc.CountOther(RGB(255, 0, 255), 23, 22), 20) << themed;
    }
}

TEST_F(StdControls, ActionsDriveButtonsAndCheckBoxes) {
    auto* list = TActionList::Create(Form);
    auto* action = TAction::Create(Form);
    action->SetActionList(list);
    action->SetCaption("&Run");
    action->SetAutoCheck(true);
    struct TRun : TObject {
        int Runs = 0;
        void Execute(TObject*) { ++Runs; }
    } run;
    action->SetOnExecute(TNotifyEvent(&run, &TRun::Execute));

    auto* button = Add<TButton>("Button", 10, 10, 75, 25);
    auto* check = Add<TCheckBox>("Check", 10, 50, 100, 17);
    button->SetAction(action);
    check->SetAction(action);
    EXPECT_EQ(button->GetCaption(), "&Run");
    EXPECT_EQ(check->GetCaption(), "&Run");
    EXPECT_TRUE(dynamic_cast<TButtonActionLink*>(action->GetClients(1)));

    SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_EQ(run.Runs, 1);
    EXPECT_TRUE(action->GetChecked());
    EXPECT_TRUE(check->GetChecked());  // the link set it, without running again
    EXPECT_EQ(run.Runs, 1);
    action->SetChecked(false);
    EXPECT_FALSE(check->GetChecked());
}

TEST_F(StdControls, ApplicationEventsShareTheApplicationsEvents) {
    struct TRecorder : TObject {
        std::vector<std::string> Seen;
        void First(TObject*, Exception& e) { Seen.push_back("first " + e.GetMessage()); }
        void Second(TObject*, Exception& e) { Seen.push_back("second " + e.GetMessage()); }
        void Old(TObject*, Exception& e) { Seen.push_back("old " + e.GetMessage()); }
    } rec;
    TExceptionEvent old(&rec, &TRecorder::Old);
    Application->OnException = old;
    auto* first = TApplicationEvents::Create(Form);
    first->OnException = TExceptionEvent(&rec, &TRecorder::First);
    auto* second = TApplicationEvents::Create(Form);
    second->OnException = TExceptionEvent(&rec, &TRecorder::Second);

    auto raise = [] {
        try {
            throw EConvertError("bad");
        } catch (...) {
            Application->HandleException(nullptr);
        }
    };
    raise();
    EXPECT_EQ(rec.Seen, (std::vector<std::string>{"second bad", "first bad", "old bad"}));
    first->Activate();
    rec.Seen.clear();
    raise();
    EXPECT_EQ(rec.Seen, (std::vector<std::string>{"first bad", "second bad", "old bad"}));

    first->Free();
    second->Free();
    EXPECT_TRUE(Application->OnException == old);
    Application->OnException = nullptr;
}

TEST_F(StdControls, PublishedDefaultsMatchFreshControlsAndClassesRegister) {
    int checked = 0;
    for (const char* name : {"TEdit", "TMemo", "TButton", "TCheckBox", "TRadioButton", "TLabel", "TListBox",
                             "TComboBox", "TCheckListBox", "TPanel", "TSpeedButton", "TTreeView", "TDateTimePicker",
                             "TStatusBar", "TApplicationEvents"}) {
        TClass cls = GetClass(name);
        ASSERT_NE(cls, nullptr) << name;
        TComponent* instance = AsComponentClass(cls)->Create(nullptr);
        EXPECT_EQ(CheckPublishedDefaults(instance), std::vector<std::string>{}) << name;
        int withDefault = 0;
        for (const TPropInfo* prop : cls->Properties()) withDefault += prop->HasDefault();
        if (cls != TApplicationEvents::StaticClass()) {
            EXPECT_GT(withDefault, 5) << name;
        }
        instance->Free();
        ++checked;
    }
    EXPECT_EQ(checked, 15);
}
