// The extended editors: the Unicode edit's wide text, selection, password
// character and change reports; the margins its buttons get; the edit's
// hot tracking and border; the edit button; the edit-frame painter; and
// the check list box's themed checks, toggling and wide items.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/XtEditors.h"
#include "controls/XtTestSupport.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/Strings.h"
#include "support/PixelCanvas.h"
#include "support/WindowTest.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

const std::wstring Greek = L"\x0391\x03C1\x03C7\x03B5\x03AF\x03BF";
const std::wstring Chinese = L"\x6253\x5F00\x6587\x4EF6";

class XtEditors : public XtFormTest {
protected:
    // The margins the edit window has (left, right).
    static std::pair<int, int> Margins(gcl::TWinControl* edit) {
        const LRESULT m = SendMessageW(edit->GetHandle(), EM_GETMARGINS, 0, 0);
        return {LOWORD(m), HIWORD(m)};
    }
    TXtEditButton* AddButton(TXtUnicodeEdit* edit, gcl::TAlign align, int width) {
        auto* button = TXtEditButton::Create(edit);
        button->SetParent(edit);
        button->SetWidth(width);
        button->SetAlign(align);
        return button;
    }
};

struct TEditEvents : gcl::TObject {
    int Changes = 0;
    std::vector<std::wstring> Texts;
    TXtUnicodeEdit* Edit = nullptr;
    int ClickChecks = 0;
    void Change(gcl::TObject*) {
        ++Changes;
        if (Edit) Texts.push_back(Edit->GetText());
    }
    void ClickCheck(gcl::TObject*) { ++ClickChecks; }
};

// ---- The Unicode edit -------------------------------------------------------------------

TEST_F(XtEditors, WideTextAndOneChangePerChangeWithAndWithoutAWindow) {
    auto* edit = Make<TXtUnicodeEdit>(Form, 10, 10, 150, 22);
    TEditEvents events;
    events.Edit = edit;
    edit->OnChange = gcl::TNotifyEvent(&events, &TEditEvents::Change);
    // No window yet: the text is kept and still reported.
    ASSERT_FALSE(edit->HandleAllocated());
    edit->SetText(Greek);
    EXPECT_EQ(edit->GetText(), Greek);
    EXPECT_EQ(events.Changes, 1);
    edit->SetText(Greek);
    EXPECT_EQ(events.Changes, 1);

    // The window takes the wide text over.
    edit->HandleNeeded();
    ASSERT_TRUE(IsWindowUnicode(edit->GetHandle()));
    EXPECT_EQ(edit->GetText(), Greek);
    const int afterWindow = events.Changes;
    edit->SetText(Chinese);
    EXPECT_EQ(events.Changes, afterWindow + 1);
    ASSERT_FALSE(events.Texts.empty());
    EXPECT_EQ(events.Texts.back(), Chinese);
    edit->SetText(Chinese);
    EXPECT_EQ(events.Changes, afterWindow + 1);
    wchar_t buffer[32]{};
    GetWindowTextW(edit->GetHandle(), buffer, 32);
    EXPECT_EQ(std::wstring(buffer), Chinese);
}

TEST_F(XtEditors, SelectionCountsWideCharacters) {
    auto* edit = Make<TXtUnicodeEdit>(Form, 10, 10, 150, 22);
    edit->SetText(Chinese + L" abc");
    edit->HandleNeeded();
    edit->SetSelStart(2);
    edit->SetSelLength(3);
    EXPECT_EQ(edit->GetSelStart(), 2);
    EXPECT_EQ(edit->GetSelLength(), 3);
    EXPECT_EQ(edit->GetSelText(), Chinese.substr(2) + L" ");
    edit->SetSelText(Greek);
    EXPECT_EQ(edit->GetText(), Chinese.substr(0, 2) + Greek + L"abc");
    EXPECT_EQ(edit->GetSelStart(), 2 + static_cast<int>(Greek.size()));
}

TEST_F(XtEditors, AlignmentAndWidePasswordCharacterSurviveANewWindow) {
    auto* edit = Make<TXtUnicodeEdit>(Form, 10, 10, 150, 22);
    edit->SetText(Greek);
    edit->SetPasswordChar(L'\x25CF');
    edit->HandleNeeded();
    EXPECT_EQ(SendMessageW(edit->GetHandle(), EM_GETPASSWORDCHAR, 0, 0), 0x25CF);
    edit->SetAlignment(gcl::taRightJustify);
    EXPECT_TRUE(GetWindowLongW(edit->GetHandle(), GWL_STYLE) & ES_RIGHT);
    EXPECT_TRUE(GetWindowLongW(edit->GetHandle(), GWL_STYLE) & WS_CLIPCHILDREN);
    EXPECT_EQ(SendMessageW(edit->GetHandle(), EM_GETPASSWORDCHAR, 0, 0), 0x25CF);
    EXPECT_EQ(edit->GetText(), Greek);
    EXPECT_EQ(edit->GetPasswordChar(), L'\x25CF');
    edit->SetAlignment(gcl::taCenter);
    EXPECT_TRUE(GetWindowLongW(edit->GetHandle(), GWL_STYLE) & ES_CENTER);
}

TEST_F(XtEditors, ButtonsGiveTheEditItsMargins) {
    auto* edit = Make<TXtEdit>(Form, 10, 10, 160, 22);
    edit->HandleNeeded();
    TXtEditButton* left = AddButton(edit, gcl::alLeft, 16);
    EXPECT_EQ(Margins(edit), std::make_pair(18, 0));
    // A hidden button takes no room; a right one adds its own side.
    TXtEditButton* right = AddButton(edit, gcl::alRight, 20);
    TXtEditButton* hidden = AddButton(edit, gcl::alRight, 30);
    hidden->SetVisible(false);
    EXPECT_EQ(Margins(edit), std::make_pair(18, 22));
    // A new font and a new window keep them.
    edit->GetFont()->SetSize(12);
    EXPECT_EQ(Margins(edit), std::make_pair(18, 22));
    edit->SetAlignment(gcl::taRightJustify);
    EXPECT_EQ(Margins(edit), std::make_pair(18, 22));
    right->SetVisible(false);
    EXPECT_EQ(Margins(edit), std::make_pair(18, 0));
    left->Free();
    EXPECT_EQ(Margins(edit), std::make_pair(0, 0));
    // The edit's Enabled reaches its buttons.
    edit->SetEnabled(false);
    EXPECT_FALSE(right->GetEnabled());
}

TEST_F(XtEditors, WideTextAndPasswordCharacterStream) {
    auto* edit = Make<TXtEdit>(Form, 10, 10, 150, 22);
    edit->SetText(Greek);
    edit->SetPasswordChar(L'\x25CF');
    edit->SetAlignment(gcl::taCenter);
    edit->SetThemeType(thtWindows);
    edit->SetHotTrack(false);
    gcl::TMemoryStream stream;
    gcl::WriteComponentToStream(stream, edit);
    stream.SetPosition(0);
    auto* copy = Make<TXtEdit>(Form, 10, 40, 150, 22);
    gcl::ReadComponentFromStream(stream, copy);
    EXPECT_EQ(copy->GetText(), Greek);
    EXPECT_EQ(copy->GetPasswordChar(), L'\x25CF');
    EXPECT_EQ(copy->GetAlignment(), gcl::taCenter);
    EXPECT_EQ(copy->GetThemeType(), thtWindows);
    EXPECT_FALSE(copy->GetHotTrack());
}

// ---- The extended edit ------------------------------------------------------------------

TEST_F(XtEditors, HotTrackingLightsTheFrameOnlyWhenOn) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    auto* edit = Make<TXtEdit>(Form, 10, 10, 150, 22);
    edit->HandleNeeded();
    auto hoverOfLastFrame = [&] {
        theme->Calls.clear();
        edit->Perform(WM_NCPAINT, 1, 0);
        const TTxThemeCall* call = theme->Last("PaintEditFrame");
        return call ? static_cast<int>(call->Item.HoverKind) : -1;
    };
    EXPECT_EQ(hoverOfLastFrame(), 0);
    edit->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(edit));
    EXPECT_TRUE(edit->GetHot());
    EXPECT_EQ(hoverOfLastFrame(), 2);
    edit->Perform(gcl::CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(edit));
    EXPECT_FALSE(edit->GetHot());
    EXPECT_EQ(hoverOfLastFrame(), 0);
    edit->Perform(gcl::CM_ENTER);
    EXPECT_TRUE(edit->GetHot());
    edit->Perform(gcl::CM_EXIT);
    EXPECT_FALSE(edit->GetHot());

    // Without hot tracking the frame stays idle while hovered.
    edit->SetHotTrack(false);
    edit->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(edit));
    EXPECT_EQ(hoverOfLastFrame(), 0);
    // A disabled edit is not hot.
    edit->SetEnabled(false);
    EXPECT_FALSE(edit->GetHot());
}

// The frame lights up and goes out with the keyboard and the mouse: the
// screen then shows what a whole repaint of the window would, with a
// border and without one (the frame then lies over the client area).
TEST_F(XtEditors, LitFrameShowsAsAWholeRepaintWouldShowIt) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    auto* bordered = Make<TXtEdit>(Form, 10, 10, 150, 22);
    auto* bare = Make<TXtEdit>(Form, 10, 40, 150, 22);
    bare->SetBorderStyle(gcl::bsNone);
    bordered->SetText(L"Book the ferry");
    bare->SetText(L"Call the vet");
    Form->Show();
    bordered->SetFocus();
    PumpMessages(20);
    auto shot = [](gcl::TWinControl* edit) {
        RECT r{};
        GetWindowRect(edit->GetHandle(), &r);
        const int w = r.right - r.left;
        const int h = r.bottom - r.top;
        PixelCanvas canvas(w, h);
        HDC dc = GetWindowDC(edit->GetHandle());
        BitBlt(canvas.DC(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
        ReleaseDC(edit->GetHandle(), dc);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) pixels.push_back(canvas.At(x, y));
        return pixels;
    };
    auto asWhole = [&](gcl::TWinControl* edit) -> ::testing::AssertionResult {
        const std::vector<COLORREF> shown = shot(edit);
        RedrawWindow(edit->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        PumpMessages(20);
        if (shown == shot(edit)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << (edit == bare ? "the edit without a border" : "the edit")
                                             << " shows other pixels than a whole repaint";
    };
    // The last frame painted, lit (2) or not (0); -1 when none was.
    auto lastFrame = [&] {
        const TTxThemeCall* call = theme->Last("PaintEditFrame");
        return call ? static_cast<int>(call->Item.HoverKind) : -1;
    };
    ASSERT_TRUE(bordered->GetHot());
    const std::vector<COLORREF> lit = shot(bordered);

    // The keyboard moves to the edit without a border and back.
    theme->Calls.clear();
    bare->SetFocus();
    PumpMessages(20);
    EXPECT_FALSE(bordered->GetHot());
    EXPECT_TRUE(bare->GetHot());
    EXPECT_NE(lastFrame(), -1) << "no frame was painted";
    EXPECT_TRUE(asWhole(bordered));
    EXPECT_TRUE(asWhole(bare));
    const std::vector<COLORREF> idle = shot(bordered);
    bordered->SetFocus();
    PumpMessages(20);
    EXPECT_EQ(shot(bordered), lit);
    EXPECT_TRUE(asWhole(bordered));
    EXPECT_TRUE(asWhole(bare));

    // The mouse over the edit that has not the keyboard, and away.
    bare->SetFocus();
    PumpMessages(20);
    theme->Calls.clear();
    bordered->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(bordered));
    PumpMessages(20);
    EXPECT_EQ(lastFrame(), 2);
    EXPECT_TRUE(asWhole(bordered));
    theme->Calls.clear();
    bordered->Perform(gcl::CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(bordered));
    PumpMessages(20);
    EXPECT_EQ(lastFrame(), 0);
    EXPECT_EQ(shot(bordered), idle);
    EXPECT_TRUE(asWhole(bordered));
}

TEST_F(XtEditors, BorderFollowsThePaintingStyleAndTheBackgroundEvent) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    auto* edit = Make<TXtEdit>(Form, 10, 10, 150, 22);
    edit->HandleNeeded();
    struct TBackground : gcl::TObject {
        std::vector<TXtPaintStage> Stages;
        bool Suppress = false;
        void Draw(gcl::TObject*, TCanvas*, const TRect&, TXtPaintStage stage, bool& paintDefault) {
            Stages.push_back(stage);
            if (Suppress) paintDefault = false;
        }
    } background;
    edit->OnDrawBackground = TXtDrawEvent(&background, &TBackground::Draw);
    edit->Perform(WM_NCPAINT, 1, 0);
    EXPECT_EQ(background.Stages, (std::vector<TXtPaintStage>{pstPrePaint, pstPostPaint}));
    ASSERT_NE(theme->Last("PaintEditFrame"), nullptr);
    EXPECT_EQ(theme->Last("PaintEditFrame")->Rect, (TRect{0, 0, 150, edit->GetHeight()}));

    theme->Calls.clear();
    background.Suppress = true;
    edit->Perform(WM_NCPAINT, 1, 0);
    EXPECT_EQ(theme->Count("PaintEditFrame"), 0);

    // Classic: the window's own border, no theme and no events.
    background.Suppress = false;
    background.Stages.clear();
    edit->SetThemeType(thtNone);
    edit->Perform(WM_NCPAINT, 1, 0);
    EXPECT_EQ(theme->Count("PaintEditFrame"), 0);
    EXPECT_TRUE(background.Stages.empty());
}

TEST_F(XtEditors, ThemeTypeReachesTheButtons) {
    auto* edit = Make<TXtEdit>(Form, 10, 10, 150, 22);
    TXtEditButton* button = AddButton(edit, gcl::alRight, 18);
    edit->SetThemeType(thtWindows);
    EXPECT_EQ(button->GetThemeType(), thtWindows);
}

// ---- The edit button ------------------------------------------------------------------------

TEST_F(XtEditors, EditButtonNamesItselfAndFocusesItsEditBeforeClicking) {
    Form->Show();
    auto* edit = Make<TXtEdit>(Form, 10, 10, 150, 22);
    TXtEditButton* first = AddButton(edit, gcl::alRight, 18);
    TXtEditButton* second = AddButton(edit, gcl::alRight, 18);
    EXPECT_EQ(first->GetName(), "SubEditButton0");
    EXPECT_EQ(second->GetName(), "SubEditButton1");
    EXPECT_EQ(first->GetEdit(), edit);
    EXPECT_TRUE(first->GetComponentStyle().Contains(gcl::csSubComponent));

    struct TFocusAtClick : gcl::TObject {
        HWND Focus = nullptr;
        void Click(gcl::TObject*) { Focus = GetFocus(); }
    } probe;
    first->OnClick = gcl::TNotifyEvent(&probe, &TFocusAtClick::Click);
    first->Click();
    EXPECT_EQ(probe.Focus, edit->GetHandle());
}

TEST_F(XtEditors, EditButtonFaceByStyle) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    auto* edit = Make<TXtEdit>(Form, 10, 10, 150, 22);
    TXtEditButton* button = AddButton(edit, gcl::alRight, 18);
    TPaintTarget target(18, 18);
    PaintControl(button, target);
    // A theme's button, framed: the face comes from the theme.
    EXPECT_GE(theme->Count("PaintButton"), 1);
    EXPECT_EQ(theme->Count("PaintEditFrame"), 0);
    // An owner may paint the face itself.
    struct TOwnFace : gcl::TObject {
        int Calls = 0;
        void Draw(gcl::TObject*, TCanvas*, const TRect&, TXtPaintStage stage, bool& paintDefault) {
            ++Calls;
            if (stage == pstPrePaint) paintDefault = false;
        }
    } own;
    button->OnDraw = TXtDrawEvent(&own, &TOwnFace::Draw);
    theme->Calls.clear();
    PaintControl(button, target);
    EXPECT_EQ(theme->Count("PaintButton"), 0);
    EXPECT_EQ(own.Calls, 2);
}

// ---- The edit-frame painter ----------------------------------------------------------------

TEST_F(XtEditors, EditFramePainterHandsTheButtonToTheTheme) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    TPaintTarget target(100, 24);
    DrawEditFrame(target.Canvas(), TRect{0, 0, 100, 24}, true, true, false, thtTx, 17);
    const TTxThemeCall* frame = theme->Last("PaintEditFrame");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Arg2, 17);
    EXPECT_EQ(frame->Item.ViewType, 0u);
    EXPECT_EQ(frame->Item.HoverKind, 2);
    // Without visual styles in the theme the interior is a dock's background.
    ASSERT_NE(theme->Last("PaintDockBackground"), nullptr);
    EXPECT_EQ(theme->Last("PaintDockBackground")->Rect, (TRect{2, 2, 98, 22}));
    theme->BooleanMetrics[5] = true;
    DrawEditButtonFrame(target.Canvas(), TRect{0, 0, 20, 24}, false, false, false, thtTx);
    ASSERT_NE(theme->Last("PaintBackground"), nullptr);
    EXPECT_EQ(theme->Last("PaintBackground")->Arg1, 0x1001);
    EXPECT_EQ(theme->Last("PaintEditFrame")->Arg2, 20);
    EXPECT_FALSE(theme->Last("PaintEditFrame")->Item.Enabled);
    // The classic style draws nothing.
    theme->Calls.clear();
    DrawEditFrame(target.Canvas(), TRect{0, 0, 100, 24}, true, true, false, thtNone, 17);
    EXPECT_TRUE(theme->Calls.empty());
}

// ---- The check list box ------------------------------------------------------------------

// A check list box laid out right to left whatever the system's locale.
class TMirroredCheckList : public TXtCheckListBox {
    GCL_CLASS(TMirroredCheckList, TXtCheckListBox)
public:
    bool UseRightToLeftAlignment() const override { return true; }

protected:
    explicit TMirroredCheckList(gcl::TComponent* AOwner) : TXtCheckListBox(AOwner) {}
};
GCL_IMPLEMENT_CLASS(TMirroredCheckList)

class XtCheckList : public XtEditors {
protected:
    TXtCheckListBox* MakeList() {
        auto* list = Make<TXtCheckListBox>(Form, 10, 10, 160, 100);
        for (const std::wstring& s : {Greek, Chinese, std::wstring(L"Work"), std::wstring(L"Home")})
            list->GetItems()->Add(s);
        return list;
    }
    // Draws item index as the window asks for it, into target.
    static void DrawRow(TXtCheckListBox* list, int index, UINT itemState, TPaintTarget& target) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_LISTBOX;
        item.itemID = static_cast<UINT>(index);
        item.itemState = itemState;
        item.hwndItem = list->GetHandle();
        item.hDC = target.DC();
        item.rcItem = RECT{0, 0, 160, 16};
        list->Perform(gcl::CN_DRAWITEM, 0, reinterpret_cast<intptr_t>(&item));
        target.Canvas()->Refresh();
    }
    static void Click(TXtCheckListBox* list, int x, int y) {
        SendMessageW(list->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(list->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
};

TEST_F(XtCheckList, WideItemsWithCaseInsensitiveLookUp) {
    TXtCheckListBox* list = MakeList();
    EXPECT_EQ(list->GetStyle(), gcl::lbOwnerDrawFixed);
    EXPECT_EQ(list->GetCount(), 4);
    EXPECT_EQ(list->GetItems()->IndexOf(L"WORK"), 2);
    list->HandleNeeded();
    EXPECT_EQ(list->GetItems()->Get(0), Greek);
    EXPECT_EQ(list->GetItems()->IndexOf(L"home"), 3);
    EXPECT_EQ(list->GetItems()->IndexOf(L"elsewhere"), -1);
    list->SetChecked(1, true);
    list->SetItemIndex(3);
    EXPECT_EQ(list->GetItemIndex(), 3);
    EXPECT_TRUE(list->GetChecked(1));
    list->GetItems()->Clear();
    EXPECT_EQ(list->GetCount(), 0);
}

TEST_F(XtCheckList, MouseAndSpaceToggleTheChecksAndReportThem) {
    Form->Show();
    TXtCheckListBox* list = MakeList();
    TEditEvents events;
    list->OnClickCheck = gcl::TNotifyEvent(&events, &TEditEvents::ClickCheck);
    list->HandleNeeded();
    const int rowHeight = list->GetItemHeight();
    // On the check box of row 1.
    Click(list, 5, rowHeight + rowHeight / 2);
    EXPECT_TRUE(list->GetChecked(1));
    EXPECT_EQ(events.ClickChecks, 1);
    // On the text of row 2: selects, does not check.
    Click(list, 100, 2 * rowHeight + rowHeight / 2);
    EXPECT_FALSE(list->GetChecked(2));
    EXPECT_EQ(list->GetItemIndex(), 2);
    EXPECT_EQ(events.ClickChecks, 1);
    // Space toggles the current row.
    list->SetFocus();
    SendMessageW(list->GetHandle(), WM_CHAR, VK_SPACE, 0);
    EXPECT_TRUE(list->GetChecked(2));
    EXPECT_EQ(events.ClickChecks, 2);
    SendMessageW(list->GetHandle(), WM_CHAR, VK_SPACE, 0);
    EXPECT_FALSE(list->GetChecked(2));
    EXPECT_EQ(events.ClickChecks, 3);
    // A disabled row keeps its state.
    list->SetItemEnabled(0, false);
    Click(list, 5, rowHeight / 2);
    EXPECT_FALSE(list->GetChecked(0));
    EXPECT_EQ(events.ClickChecks, 3);
}

TEST_F(XtCheckList, RowsDrawThemedChecksLeftOfTheText) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    TXtCheckListBox* list = MakeList();
    list->HandleNeeded();
    list->SetChecked(1, true);
    list->SetItemEnabled(2, false);
    list->SetHeader(3, true);
    const int checkWidth = list->GetCheckWidth();
    TPaintTarget target(160, 16, gcl::clWhite);

    DrawRow(list, 1, ODS_SELECTED, target);
    const TTxThemeCall* check = theme->Last("PaintFrameControl");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->Arg1, PFC_CHECKBOX);
    EXPECT_EQ(check->Arg2, PFS_CHECKED);
    EXPECT_EQ(check->Rect.Left, 1);
    EXPECT_EQ(check->Rect.Right, checkWidth - 1);
    // The selected row is the theme's button face, after the check part.
    ASSERT_NE(theme->Last("PaintButton"), nullptr);
    EXPECT_EQ(theme->Last("PaintButton")->Rect.Left, checkWidth);

    theme->Calls.clear();
    DrawRow(list, 2, 0, target);
    ASSERT_NE(theme->Last("PaintFrameControl"), nullptr);
    EXPECT_EQ(theme->Last("PaintFrameControl")->Arg2, PFS_DISABLED);
    EXPECT_EQ(theme->Count("PaintButton"), 0);

    // A header row has no check box and shows the header colours.
    theme->Calls.clear();
    DrawRow(list, 3, 0, target);
    EXPECT_EQ(theme->Count("PaintFrameControl"), 0);
    EXPECT_EQ(target.Pixel(2, 8), Sys(list->GetHeaderBackgroundColor()));

}

TEST_F(XtCheckList, RightToLeftPutsTheCheckAtTheRightEdge) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    auto* list = Make<TMirroredCheckList>(Form, 10, 10, 160, 100);
    list->GetItems()->Add(Greek);
    list->HandleNeeded();
    TPaintTarget target(160, 16);
    DrawRow(list, 0, 0, target);
    ASSERT_NE(theme->Last("PaintFrameControl"), nullptr);
    EXPECT_EQ(theme->Last("PaintFrameControl")->Rect.Right, 160 - 1);
    EXPECT_EQ(theme->Last("PaintFrameControl")->Rect.Left, 160 - list->GetCheckWidth() + 1);
}

TEST_F(XtCheckList, OwnerEventReplacesTheRowBackground) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    TXtCheckListBox* list = MakeList();
    list->HandleNeeded();
    struct TRows : gcl::TObject {
        std::vector<int> Indexes;
        TRect Last;
        void Draw(gcl::TObject*, int index, gcl::TOwnerDrawState, const TRect& rect) {
            Indexes.push_back(index);
            Last = rect;
        }
    } rows;
    list->OnDrawItemBackground = TXtDrawItemBackgroundEvent(&rows, &TRows::Draw);
    TPaintTarget target(160, 16);
    DrawRow(list, 0, ODS_SELECTED, target);
    EXPECT_EQ(rows.Indexes, std::vector<int>{0});
    EXPECT_EQ(rows.Last.Left, list->GetCheckWidth());
    EXPECT_EQ(theme->Count("PaintFrameControl"), 0);
    EXPECT_EQ(theme->Count("PaintButton"), 0);
}

TEST_F(XtCheckList, FrameFollowsMouseAndFocus) {
    TXtCheckListBox* list = MakeList();
    list->HandleNeeded();
    list->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(list));
    EXPECT_TRUE(list->GetHot());
    list->Perform(gcl::CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(list));
    EXPECT_TRUE(list->GetFocused());
    // Focused, it stays hot when the mouse leaves.
    list->Perform(gcl::CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(list));
    EXPECT_TRUE(list->GetHot());
    list->Perform(gcl::CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(Form));
    EXPECT_FALSE(list->GetFocused());
    EXPECT_FALSE(list->GetHot());
    list->SetHotTrack(false);
    list->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(list));
    EXPECT_FALSE(list->GetHot());
}

} // namespace
