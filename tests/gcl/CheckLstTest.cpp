// The check list box: per-item states that follow their items through
// every change and through window re-creation, user toggling, and the
// split drawing (check part, then text) in the themed and classic looks.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <functional>
#include <string>
#include <vector>

#include "gcl/CheckLst.h"
#include "gcl/Forms.h"
#include "support/PixelCanvas.h"

using namespace gcl;

using qelvo::test::DcPixel;

namespace {

class TClbForm : public TForm {
    GCL_CLASS(TClbForm, TForm)
protected:
    explicit TClbForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsNone);
        SetBounds(40, 40, 300, 250);
    }
};
GCL_IMPLEMENT_CLASS(TClbForm)

// Records what the text step is asked to draw.
class TRecordingCheckList : public TCheckListBox {
    GCL_CLASS(TRecordingCheckList, TCheckListBox)
public:
    std::vector<std::pair<int, TRect>> TextRects;
    int Clicks = 0;

protected:
    explicit TRecordingCheckList(TComponent* owner) : TCheckListBox(owner) {}
    void DrawItemText(int index, TRect rect, TOwnerDrawState state) override {
        TextRects.emplace_back(index, rect);
        inherited::DrawItemText(index, rect, state);
    }
    void ClickCheck() override {
        ++Clicks;
        inherited::ClickCheck();
    }
};
GCL_IMPLEMENT_CLASS(TRecordingCheckList)

class TStyles : public IVisualStyleService {
public:
    explicit TStyles(bool on) : FOn(on) {}
    bool Active() override { return FOn; }

private:
    bool FOn;
};

class CheckListBox : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FormsUnit.Initialize(); }
    static void TearDownTestSuite() { FormsUnit.Finalize(); }
    void SetUp() override {
        Form = TClbForm::Create(nullptr);
        List = TRecordingCheckList::Create(Form);
        List->SetBounds(10, 10, 200, 150);
        List->SetParent(Form);
        for (const char* s : {"Work", "Home", "Errands", "Later"}) List->GetItems()->Add(s);
    }
    void TearDown() override { FreeAndNil(Form); }

    std::string States() {
        std::string s;
        for (int i = 0; i < List->GetCount(); ++i) {
            s += "UCG"[List->GetState(i)];
            if (!List->GetItemEnabled(i)) s += 'd';
            if (List->GetHeader(i)) s += 'h';
            s += ' ';
        }
        return s;
    }

    TClbForm* Form = nullptr;
    TRecordingCheckList* List = nullptr;
};

} // namespace

TEST_F(CheckListBox, StatesFollowTheirItemsAndSurviveRecreation) {
    // Set without a window, kept when it comes and when it is re-made.
    List->SetChecked(0, true);
    List->SetState(1, cbGrayed);
    List->SetItemEnabled(2, false);
    List->SetHeader(3, true);
    EXPECT_EQ(States(), "C G Ud Uh ");
    HWND first = List->GetHandle();
    EXPECT_TRUE(GetWindowLongA(first, GWL_STYLE) & LBS_OWNERDRAWFIXED);
    EXPECT_EQ(States(), "C G Ud Uh ");
    List->RecreateWnd();
    EXPECT_NE(List->GetHandle(), first);
    EXPECT_EQ(States(), "C G Ud Uh ");
    EXPECT_EQ(List->GetItems()->GetCommaText(), "Work,Home,Errands,Later");

    // Inserting, deleting, moving, exchanging and sorting carry them.
    List->GetItems()->Insert(1, "New");
    EXPECT_EQ(States(), "C U G Ud Uh ");
    List->GetItems()->Delete(0);
    EXPECT_EQ(States(), "U G Ud Uh ");
    List->GetItems()->Move(1, 3);  // Home to the end
    EXPECT_EQ(List->GetItems()->GetCommaText(), "New,Errands,Later,Home");
    EXPECT_EQ(States(), "U Ud Uh G ");
    List->GetItems()->Exchange(0, 3);
    EXPECT_EQ(States(), "G Ud Uh U ");
    List->SetSorted(true);
    EXPECT_EQ(List->GetItems()->GetCommaText(), "Errands,Home,Later,New");
    EXPECT_EQ(States(), "Ud G Uh U ");
    List->GetItems()->Add("Alpha");  // sorted in at the top
    EXPECT_EQ(States(), "U Ud G Uh U ");
    List->GetItems()->Put(2, "Home!");
    EXPECT_EQ(List->GetState(2), cbGrayed);

    // Item index checks; case-insensitive IndexOf.
    EXPECT_THROW(List->GetChecked(9), EListError);
    EXPECT_EQ(List->GetItems()->IndexOf("LATER"), 3);

    // Without a window the same rules hold.
    List->RecreateWnd();
    List->SetParent(nullptr);
    EXPECT_FALSE(List->HandleAllocated());
    EXPECT_EQ(States(), "U Ud G Uh U ");
    List->GetItems()->Delete(0);
    EXPECT_EQ(States(), "Ud G Uh U ");
    List->CheckAll(cbChecked, false, false);
    EXPECT_EQ(States(), "Ud G Uh C ");
    List->CheckAll(cbChecked);
    EXPECT_EQ(States(), "Cd C Uh C ");
    List->GetItems()->Clear();
    EXPECT_EQ(States(), "");
}

TEST_F(CheckListBox, ClicksInTheCheckAndSpaceToggle) {
    List->HandleNeeded();
    int width = List->GetCheckWidth();
    EXPECT_EQ(width, TCheckListBox::CheckSize(List->GetHandle()).cx + 2);
    TRect item = List->ItemRect(1);
    HWND h = List->GetHandle();

    // A click on the check part toggles; a click on the text selects only.
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.Left + 2, item.Top + 2));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(item.Left + 2, item.Top + 2));
    EXPECT_TRUE(List->GetChecked(1));
    EXPECT_EQ(List->Clicks, 1);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.Left + width + 20, item.Top + 2));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(item.Left + width + 20, item.Top + 2));
    EXPECT_TRUE(List->GetChecked(1));
    EXPECT_EQ(List->Clicks, 1);
    EXPECT_EQ(List->GetItemIndex(), 1);

    // Space toggles the current item; AllowGrayed adds the third state.
    List->SetAllowGrayed(true);
    List->Perform(WM_CHAR, ' ', 0);
    EXPECT_EQ(List->GetState(1), cbUnchecked);
    List->Perform(WM_CHAR, ' ', 0);
    EXPECT_EQ(List->GetState(1), cbGrayed);
    List->Perform(WM_CHAR, ' ', 0);
    EXPECT_EQ(List->GetState(1), cbChecked);
    EXPECT_EQ(List->Clicks, 4);

    // Disabled items and headers do not toggle.
    List->SetItemEnabled(1, false);
    List->Perform(WM_CHAR, ' ', 0);
    List->SetHeader(2, true);
    List->SetItemIndex(2);
    List->Perform(WM_CHAR, ' ', 0);
    EXPECT_EQ(List->GetState(1), cbChecked);
    EXPECT_EQ(List->GetState(2), cbUnchecked);
    EXPECT_EQ(List->Clicks, 4);
}

// A change of check paints its row again when the row is in sight, and
// marks nothing for painting when it is not (the list asks the window
// system only for rows in sight: every check of 100,000 rows may change
// at once).
TEST_F(CheckListBox, ACheckChangedOutOfSightPaintsNothing) {
    for (int i = 0; i < 200; ++i) List->GetItems()->Add("More " + std::to_string(i));
    Form->Show();
    const HWND h = List->GetHandle();
    UpdateWindow(h);
    ASSERT_FALSE(GetUpdateRect(h, nullptr, FALSE));
    List->SetChecked(150, true);
    EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE)) << "a row out of sight was marked for painting";
    EXPECT_TRUE(List->GetChecked(150));
    List->SetChecked(1, true);
    RECT marked{};
    ASSERT_TRUE(GetUpdateRect(h, &marked, FALSE)) << "the row in sight was not painted again";
    const TRect row = List->ItemRect(1);
    EXPECT_EQ(marked.top, row.Top);
    EXPECT_EQ(marked.bottom, row.Bottom);
}

TEST_F(CheckListBox, CheckPartThenTextInBothLooks) {
    List->SetChecked(0, true);
    List->SetHeader(1, true);
    List->HandleNeeded();
    for (bool themed : {true, false}) {
        TStyles styles(themed);
        ServiceOverride<IVisualStyleService> scope(VisualStyleService(), styles);
        const int width = List->GetCheckWidth();
        const TSize glyph = TCheckListBox::CheckSize(List->GetHandle());
        EXPECT_EQ(width, glyph.cx + 2);

        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 40);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        auto draw = [&](int index, int top) {
            DRAWITEMSTRUCT item{};
            item.CtlType = ODT_LISTBOX;
            item.itemID = static_cast<UINT>(index);
            item.itemAction = ODA_DRAWENTIRE;
            item.hwndItem = List->GetHandle();
            item.hDC = dc;
            item.rcItem = RECT{0, top, 200, top + 20};
            List->Perform(CN_DRAWITEM, 0, reinterpret_cast<intptr_t>(&item));
        };
        List->TextRects.clear();
        draw(0, 0);
        draw(1, 20);
        // The text step gets the rectangle after the check part; a header
        // has no check part.
        ASSERT_EQ(List->TextRects.size(), 2u) << themed;
        EXPECT_EQ(List->TextRects[0].second.Left, width) << themed;
        EXPECT_EQ(List->TextRects[1].second.Left, 0) << themed;
        // The check part shows a box: something other than the background
        // inside the glyph, background around it.
        COLORREF back = ColorToRGB(clWindow) & 0xFFFFFF;
        int marks = 0;
        for (int y = 2; y < 18; ++y)
            for (int x = 0; x < width; ++x) marks += DcPixel(dc, x, y) != back;
        EXPECT_GT(marks, 12) << themed;
        // The header row is filled with the header background.
        EXPECT_EQ(DcPixel(dc, 199, 30), ColorToRGB(clInfoBk) & 0xFFFFFF) << themed;

        // DrawCheck alone, checked versus unchecked, differ.
        auto* canvas = List->GetCanvas();
        auto countDark = [&] {
            int n = 0;
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 20; ++x) n += (GetRValue(DcPixel(dc, x, y)) < 100);
            return n;
        };
        RECT clear{0, 0, 200, 40};
        FillRect(dc, &clear, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        canvas->SetHandle(dc);
        TCheckListBox::DrawCheck(canvas, Rect(0, 0, 20, 20), cbUnchecked, true, true, List->GetHandle());
        int uncheckedDark = countDark();
        TCheckListBox::DrawCheck(canvas, Rect(0, 0, 20, 20), cbChecked, true, true, List->GetHandle());
        int checkedDark = countDark();
        canvas->SetHandle(nullptr);
        EXPECT_GT(checkedDark, uncheckedDark) << themed;

        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
}
