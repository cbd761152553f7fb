// The rich-edit control over the real rich-edit library: what its window
// is created with, link clicks reflected from the parent, the context menu
// choice, the state kept across window re-creation, attributes, lines,
// loading and saving, protection, clipboard gates, printing, text that
// reads as rich-text source, and a picture of a formatted note.
#include "components/ComponentsTest.h"

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "gcl/Dialogs.h"
#include "gcl/ExtCtrls.h"
#include "gcl/Printers.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Streams.h"
#include "support/Screenshot.h"
#include "support/TestEnvironment.h"

using namespace gcl;
using namespace qelvo;
using qelvo::test::ComponentsTest;
using qelvo::test::PumpApplication;

namespace qelvo::test {
GCL_IMPLEMENT_CLASS(TComponentsForm)
} // namespace qelvo::test

namespace {

class TClicks : public TObject {
public:
    struct TClick {
        std::string Text;
        TMouseButton Button;
    };
    std::vector<TClick> Clicks;
    int SelectionChanges = 0;
    bool AllowProtected = false;
    std::vector<int> Progress;
    void URLClick(TObject*, const std::string& text, TMouseButton button) { Clicks.push_back({text, button}); }
    void SelectionChange(TObject*) { ++SelectionChanges; }
    int FocusEvents = 0;
    void EnterOrExit(TObject*) { ++FocusEvents; }
    void Protect(TObject*, int, int, bool& allow) { allow = AllowProtected; }
    void ConversionProgress(TObject*, int percent) { Progress.push_back(percent); }
    int Changes = 0;
    void Change(TObject*) { ++Changes; }
};

// Sends EN_LINK the way the library does: WM_NOTIFY to the parent, which
// reflects it to the control.
void SendLink(TKitRichEdit* edit, UINT mouseMessage, LONG start, LONG end) {
    ENLINK link{};
    link.nmhdr.hwndFrom = edit->GetHandle();
    link.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(edit->GetHandle()));
    link.nmhdr.code = EN_LINK;
    link.msg = mouseMessage;
    link.chrg = {start, end};
    SendMessageA(edit->GetParent()->GetHandle(), WM_NOTIFY, link.nmhdr.idFrom, reinterpret_cast<LPARAM>(&link));
}

std::string StreamText(TMemoryStream& stream) {
    return std::string(static_cast<const char*>(stream.GetMemory()), static_cast<size_t>(stream.GetSize()));
}

void RefillStream(TMemoryStream& stream, const std::string& text) {
    stream.Clear();
    stream.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
    stream.SetPosition(0);
}

// What setting a text left in a rich edit: its text, modified flag, caret,
// undo and the change events it raised.
struct TAfterText {
    std::string Text;
    bool Modified;
    int SelStart;
    bool CanUndo;
    int Changes;
    bool operator==(const TAfterText&) const = default;
};
[[maybe_unused]] std::ostream& operator<<(std::ostream& out, const TAfterText& after) {
    return out << '"' << after.Text << "\" modified " << after.Modified << " caret " << after.SelStart << " undo "
               << after.CanUndo << " changes " << after.Changes;
}

// Reads the creation parameters of a rich edit.
class TParamsRichEdit : public TKitRichEdit {
    GCL_CLASS(TParamsRichEdit, TKitRichEdit)
public:
    void Params(TCreateParams& params) { CreateParams(params); }

protected:
    explicit TParamsRichEdit(TComponent* owner) : TKitRichEdit(owner) {}
};
GCL_IMPLEMENT_CLASS(TParamsRichEdit)

} // namespace

TEST_F(ComponentsTest, RichEditWindowIsCreatedAsConfigured) {
    ASSERT_GE(RichEditVersion(), 2);
    EXPECT_NE(CFRtf, 0u);
    EXPECT_EQ(RichEditGenerationFromVersion(0x0005001E), 3);
    EXPECT_EQ(RichEditGenerationFromVersion(0x00050032), 5);
    EXPECT_EQ(RichEditGenerationFromVersion(0x000C0000), 6);
    EXPECT_EQ(RichEditGenerationFromVersion(0x00050005), 2);
    EXPECT_EQ(RichEditGenerationFromVersion(0x00030001), 2);

    TParamsRichEdit* edit = TParamsRichEdit::Create(Form);
    EXPECT_EQ(edit->GetWidth(), 185);
    EXPECT_EQ(edit->GetHeight(), 89);
    EXPECT_TRUE(edit->GetTabStop());
    EXPECT_FALSE(edit->GetControlStyle().Contains(csSetCaption));
    EXPECT_TRUE(edit->GetControlStyle().Contains(csNeedsBorderPaint));
    EXPECT_TRUE(CheckPublishedDefaults(edit).empty());
    edit->SetWordSelection(false);
    edit->SetParent(Form);
    HWND handle = edit->GetHandle();

    DWORD expectedMask = ENM_CHANGE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED | ENM_LINK;
    EXPECT_EQ(static_cast<DWORD>(SendMessageA(handle, EM_GETEVENTMASK, 0, 0)), expectedMask);
    EXPECT_EQ(SendMessageA(handle, EM_GETLIMITTEXT, 0, 0), 0xFFFFFF);
    EXPECT_EQ(SendMessageA(handle, EM_GETOPTIONS, 0, 0) & ECO_AUTOWORDSELECTION, 0);
    EXPECT_FALSE(edit->GetWordSelection());
    EXPECT_NE(SendMessageA(handle, EM_GETAUTOURLDETECT, 0, 0), 0);
    LONG style = GetWindowLongA(handle, GWL_STYLE);
    EXPECT_TRUE(style & ES_SELECTIONBAR);
    EXPECT_TRUE(style & ES_SAVESEL);
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_FALSE(style & ES_NOOLEDRAGDROP);
    // The scroll bars as asked (the library shows them only when needed).
    TCreateParams params;
    edit->Params(params);
    EXPECT_TRUE(params.Style & WS_VSCROLL);
    EXPECT_FALSE(params.Style & WS_HSCROLL);   // word wrap leaves the horizontal bar out
    EXPECT_FALSE(params.WindowClass.style & (CS_HREDRAW | CS_VREDRAW));
    EXPECT_TRUE(edit->GetRichEditOle() != nullptr);
    EXPECT_EQ(edit->GetUndoLimit(), 100);
    EXPECT_EQ(SendMessageA(handle, EM_GETTEXTMODE, 0, 0) & (TM_RICHTEXT | TM_MULTILEVELUNDO),
              TM_RICHTEXT | TM_MULTILEVELUNDO);

    // MaxLength 0 is the library's largest limit; others pass through.
    edit->SetMaxLength(50);
    EXPECT_EQ(SendMessageA(handle, EM_GETLIMITTEXT, 0, 0), 50);
    edit->SetMaxLength(0);
    EXPECT_EQ(SendMessageA(handle, EM_GETLIMITTEXT, 0, 0), 0xFFFFFF);

    // Properties that re-create the window.
    edit->SetOLEDragDrop(false);
    EXPECT_TRUE(GetWindowLongA(edit->GetHandle(), GWL_STYLE) & ES_NOOLEDRAGDROP);
    edit->SetSelectionBar(false);
    EXPECT_FALSE(GetWindowLongA(edit->GetHandle(), GWL_STYLE) & ES_SELECTIONBAR);
    edit->SetAllowObjects(false);
    EXPECT_EQ(edit->GetRichEditOle(), nullptr);

    // Zoom: 0 resets; without generation 3 it reads 100.
    edit->HandleNeeded();
    edit->SetZoom(150);
    if (RichEditVersion() >= 3) {
        EXPECT_EQ(edit->GetZoom(), 150);
    }
    edit->SetZoom(0);
    EXPECT_EQ(edit->GetZoom(), 100);
}

// The selection bar's style bit is also WS_MAXIMIZE: the window must
// still stand where its alignment put it, below an aligned sibling.
TEST_F(ComponentsTest, RichEditWithTheSelectionBarKeepsItsPlaceBesideSiblings) {
    TPanel* host = TPanel::Create(Form);
    host->SetBounds(10, 10, 300, 120);
    host->SetParent(Form);
    TPanel* caption = TPanel::Create(Form);
    caption->SetAlign(alTop);
    caption->SetHeight(20);
    caption->SetParent(host);
    TKitRichEdit* edit = TKitRichEdit::Create(Form);
    edit->SetAlign(alClient);
    edit->SetParent(host);
    ASSERT_TRUE(edit->GetSelectionBar());
    HWND handle = edit->GetHandle();
    const int below = caption->GetTop() + caption->GetHeight();
    // The window where the control says it is, and that is below the caption.
    auto expectInPlace = [&](HWND window) {
        EXPECT_EQ(edit->GetTop(), below);
        RECT r;
        GetWindowRect(window, &r);
        MapWindowPoints(HWND_DESKTOP, host->GetHandle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.top, edit->GetTop());
        EXPECT_EQ(r.bottom - r.top, edit->GetHeight());
        EXPECT_EQ(r.left, edit->GetLeft());
    };
    expectInPlace(handle);
    EXPECT_TRUE(SendMessageA(handle, EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR);
    EXPECT_TRUE(GetWindowLongA(handle, GWL_STYLE) & ES_SELECTIONBAR);
    // Re-created without the bar and back: still in place.
    edit->SetSelectionBar(false);
    edit->SetSelectionBar(true);
    expectInPlace(edit->GetHandle());
}

TEST_F(ComponentsTest, RichEditLinkClicksFireOnRelease) {
    TKitRichEdit* edit = NewRichEdit();
    TClicks log;
    edit->OnURLClick = TRichEditURLClickEvent(&log, &TClicks::URLClick);
    edit->SetText("see http://example.com/a and http://other.org now");
    const LONG a0 = 4, a1 = 24, b0 = 29, b1 = 45;

    SendLink(edit, WM_LBUTTONDOWN, a0, a1);
    EXPECT_TRUE(log.Clicks.empty());   // nothing on the press
    SendLink(edit, WM_MOUSEMOVE, a0, a1);
    SendLink(edit, WM_LBUTTONUP, a0, a1);
    ASSERT_EQ(log.Clicks.size(), 1u);
    EXPECT_EQ(log.Clicks[0].Text, "http://example.com/a");
    EXPECT_EQ(log.Clicks[0].Button, mbLeft);

    SendLink(edit, WM_RBUTTONDOWN, b0, b1);
    SendLink(edit, WM_RBUTTONUP, b0, b1);
    ASSERT_EQ(log.Clicks.size(), 2u);
    EXPECT_EQ(log.Clicks[1].Text, "http://other.org");
    EXPECT_EQ(log.Clicks[1].Button, mbRight);

    // A release without a press, on another link, or with the other button:
    // nothing, and the remembered press is gone afterwards.
    SendLink(edit, WM_LBUTTONUP, a0, a1);
    SendLink(edit, WM_LBUTTONDOWN, a0, a1);
    SendLink(edit, WM_LBUTTONUP, b0, b1);
    SendLink(edit, WM_LBUTTONUP, a0, a1);
    SendLink(edit, WM_LBUTTONDOWN, a0, a1);
    SendLink(edit, WM_RBUTTONUP, a0, a1);
    SendLink(edit, WM_LBUTTONUP, a0, a1);
    EXPECT_EQ(log.Clicks.size(), 2u);

    // The text range buffer holds the whole range and no more.
    EXPECT_EQ(edit->GetTextRange(0, 3), "see");
    EXPECT_EQ(edit->GetTextRange(5, 5), "");
    EXPECT_EQ(edit->GetTextRange(b0, 1000), "http://other.org now");
}

TEST_F(ComponentsTest, RichEditContextMenuChoice) {
    TKitRichEdit* edit = NewRichEdit();
    TPopupMenu* menu = edit->GetPopupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu, GetFixedEditPopup(edit, false));
    ASSERT_EQ(menu->GetItems()->GetCount(), 8);
    EXPECT_EQ(menu->GetPopupComponent(), edit);
    // Without a system edit menu (Wine) the built-in captions stay.
    if (!LoadMenuA(GetModuleHandleA("user32.dll"), MAKEINTRESOURCEA(1))) {
        const char* captions[] = {"&Undo", "-", "Cu&t", "&Copy", "&Paste", "&Delete", "-", "Select &All"};
        for (int i = 0; i < 8; ++i) EXPECT_EQ(menu->GetItems()->GetItems(i)->GetCaption(), captions[i]);
    }
    TPopupMenu* own = TPopupMenu::Create(Form);
    edit->SetPopupMenu(own);
    EXPECT_EQ(edit->GetPopupMenu(), own);
    edit->SetPopupMenu(nullptr);
    edit->SetUseFixedPopup(false);
    EXPECT_EQ(edit->GetPopupMenu(), nullptr);

    // A right click asks for the menu once, though the library adds its own
    // WM_CONTEXTMENU.
    class TCounter : public TObject {
    public:
        int Count = 0;
        void Popup(TObject*, TPoint, bool& handled) {
            ++Count;
            handled = true;
        }
    } counter;
    edit->OnContextPopup = TContextPopupEvent(&counter, &TCounter::Popup);
    SendMessageA(edit->GetHandle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageA(edit->GetHandle(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(counter.Count, 1);
}

TEST_F(ComponentsTest, RichEditKeepsTextSelectionAndModifiedAcrossRecreation) {
    TKitRichEdit* edit = NewRichEdit();
    edit->SetText("first paragraph\rsecond one");
    edit->SetSelStart(6);
    edit->SetSelLength(9);
    edit->GetSelAttributes()->SetStyle(TFontStyles{fsBold});
    edit->SetModified(true);
    std::string before = edit->GetText();
    HWND old = edit->GetHandle();

    edit->SetHideScrollBars(false);   // a new window
    ASSERT_NE(edit->GetHandle(), old);
    EXPECT_EQ(edit->GetText(), before);
    EXPECT_TRUE(edit->GetModified());
    EXPECT_EQ(edit->GetSelStart(), 6);
    EXPECT_EQ(edit->GetSelLength(), 9);
    EXPECT_TRUE(edit->GetSelAttributes()->GetStyle().Contains(fsBold));
    EXPECT_EQ(edit->GetSelText(), "paragraph");

    // Plain-text mode keeps the text both ways, and the modified flag.
    edit->SetModified(false);
    edit->SetPlainText(true);
    EXPECT_EQ(edit->GetText(), before);
    EXPECT_EQ(SendMessageA(edit->GetHandle(), EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, TM_PLAINTEXT);
    EXPECT_FALSE(edit->GetModified());
    edit->SetPlainText(false);
    EXPECT_EQ(edit->GetText(), before);
    EXPECT_EQ(SendMessageA(edit->GetHandle(), EM_GETTEXTMODE, 0, 0) & TM_RICHTEXT, TM_RICHTEXT);

    // Clear empties the text and the modified flag.
    edit->SetModified(true);
    edit->Clear();
    EXPECT_EQ(edit->GetText(), "");
    EXPECT_FALSE(edit->GetModified());
}

// A plain text read back in chunks (a new window, a switch of the text
// mode) keeps its line breaks where a CR LF falls across two chunks of
// the library's read (4096 bytes, 2048 UTF-16 characters): Wine's library
// took such a CR LF for two line breaks.
TEST_F(ComponentsTest, RichEditKeepsALineBreakAcrossTheChunksOfARead) {
    TKitRichEdit* edit = NewRichEdit();
    edit->SetPlainText(true);
    const std::string first(2047, 'a'), text = first + "\r\nend";
    edit->SetText(text);
    ASSERT_EQ(edit->GetText(), text);
    HWND old = edit->GetHandle();
    edit->SetHideScrollBars(!edit->GetHideScrollBars());  // a new window
    ASSERT_NE(edit->GetHandle(), old);
    EXPECT_EQ(edit->GetText(), text);
    edit->SetPlainText(false);
    EXPECT_EQ(edit->GetText(), text);
    edit->SetPlainText(true);
    EXPECT_EQ(edit->GetText(), text);
    // The same at the end of the second chunk.
    const std::string later = std::string(4095, 'b') + "\r\nend";
    edit->SetText(later);
    edit->SetHideScrollBars(!edit->GetHideScrollBars());
    EXPECT_EQ(edit->GetText(), later);
}

// A long text replaced by another goes with its window: emptying it in
// place took minutes in some rich-edit libraries. The control keeps the
// rest: its text mode, font, events, objects and the keyboard, and it
// tells nobody that the keyboard left and came back.
TEST_F(ComponentsTest, RichEditGivesALongTextUpWithItsWindowAndKeepsTheRest) {
    Form->Show();
    TKitRichEdit* edit = NewRichEdit();
    TClicks events;
    edit->OnEnter = TNotifyEvent(&events, &TClicks::EnterOrExit);
    edit->OnExit = TNotifyEvent(&events, &TClicks::EnterOrExit);
    edit->OnSelectionChange = TNotifyEvent(&events, &TClicks::SelectionChange);
    edit->SetPlainText(true);
    edit->GetFont()->SetName("Arial");
    edit->SetFocus();
    ASSERT_EQ(GetFocus(), edit->GetHandle());
    events.FocusEvents = 0;

    // Short texts change in place.
    HWND first = edit->GetHandle();
    edit->SetText("one");
    edit->SetText("two");
    EXPECT_EQ(edit->GetHandle(), first);
    std::string longText;
    for (int i = 0; longText.size() < 40000; ++i) longText += "Line " + std::to_string(i) + " of the minutes\r\n";
    edit->SetText(longText);
    EXPECT_EQ(edit->GetHandle(), first);
    EXPECT_EQ(edit->GetText(), longText);
    edit->SetText(longText);  // the same text: nothing to do
    EXPECT_EQ(edit->GetHandle(), first);

    edit->SetModified(true);
    edit->SetText("Ask about Friday");
    HWND second = edit->GetHandle();
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(edit->GetText(), "Ask about Friday");
    EXPECT_FALSE(edit->GetModified());
    EXPECT_EQ(edit->GetSelStart(), 0);
    EXPECT_EQ(SendMessageA(second, EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT, TM_PLAINTEXT);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(second, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    EXPECT_STREQ(format.szFaceName, "Arial");
    EXPECT_EQ(static_cast<DWORD>(SendMessageA(second, EM_GETEVENTMASK, 0, 0)),
              static_cast<DWORD>(ENM_CHANGE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED | ENM_LINK));
    EXPECT_TRUE(edit->GetRichEditOle() != nullptr);
    EXPECT_EQ(GetFocus(), second);
    EXPECT_EQ(events.FocusEvents, 0) << "the keyboard seemed to leave and come back";
    EXPECT_TRUE(edit->Focused());

    // The new window works as the old one did.
    const int changes = events.SelectionChanges;
    edit->SetSelStart(3);
    EXPECT_GT(events.SelectionChanges, changes);
    edit->SetText(longText);
    EXPECT_EQ(edit->GetText(), longText);
    edit->Clear();
    EXPECT_EQ(edit->GetText(), "");
    EXPECT_NE(edit->GetHandle(), second);
    EXPECT_EQ(GetFocus(), edit->GetHandle());
}

// Text that begins as rich-text source does is the plain text it reads, in
// either text mode, before the window is made and across the long-text
// remake, and it leaves the control as any other text does.
TEST_F(ComponentsTest, RichEditTakesTextThatReadsAsRichTextSourceAsItReads) {
    TKitRichEdit* edit = NewRichEdit();
    TClicks events;
    edit->OnChange = TNotifyEvent(&events, &TClicks::Change);
    auto set = [&](const std::string& text) {
        edit->SetSelStart(edit->GetTextLen());
        edit->SetSelText("typed");
        edit->SetModified(true);
        events.Changes = 0;
        edit->SetText(text);
        return TAfterText{edit->GetText(), edit->GetModified(), edit->GetSelStart(),
                      SendMessageA(edit->GetHandle(), EM_CANUNDO, 0, 0) != 0, events.Changes};
    };
    for (bool plain : {true, false}) {
        edit->SetPlainText(plain);
        const TAfterText other = set("a note\r\nof two lines");
        EXPECT_EQ(other.Text, "a note\r\nof two lines");
        for (const std::string source :
             {"{\\rtf1 hello}", "{\\urtf1 \\b x}\r\nsecond line", "{\\rtf1\\ansi caf\xE9\\par}",
              "{\\rtf1 ends in a break}\r\n", "{\\"}) {
            TAfterText expected = other;
            expected.Text = source;
            EXPECT_EQ(set(source), expected) << source << (plain ? " in plain-text mode" : " in rich-text mode");
        }
        EXPECT_EQ(edit->GetLines()->GetCount(), 1);
    }
    edit->SetPlainText(true);
    edit->SetReadOnly(true);
    edit->SetText("{\\rtf1 read only}");
    EXPECT_EQ(edit->GetText(), "{\\rtf1 read only}");
    edit->SetReadOnly(false);

    // Set before the window is made: the window shows it as set.
    TKitRichEdit* late = TKitRichEdit::Create(Form);
    late->SetPlainText(true);
    late->SetBounds(10, 140, 300, 60);
    late->SetText("{\\rtf1 made later}");
    late->SetParent(Form);
    late->HandleNeeded();
    EXPECT_EQ(late->GetText(), "{\\rtf1 made later}");

    // A long source replaced by a short one goes with the window, as any
    // long text does; the new window shows the short one as set.
    std::string longSource = "{\\rtf1 ";
    while (longSource.size() < 40000) longSource += "\\par line of source\r\n";
    edit->SetText(longSource);
    EXPECT_EQ(edit->GetText(), longSource);
    const HWND first = edit->GetHandle();
    edit->SetText("{\\rtf1 short}");
    EXPECT_NE(edit->GetHandle(), first);
    EXPECT_EQ(edit->GetText(), "{\\rtf1 short}");
}

TEST_F(ComponentsTest, RichEditAttributesRoundTrip) {
    TKitRichEdit* edit = NewRichEdit();
    edit->SetText("Alpha beta gamma\rSecond line");
    TKitTextAttributes* sel = edit->GetSelAttributes();
    // Text in the automatic colour reads as the window-text colour.
    edit->SetSelStart(0);
    edit->SetSelLength(5);
    EXPECT_EQ(sel->GetColor(), clWindowText);
    sel->SetStyle(TFontStyles{fsBold, fsUnderline});
    sel->SetColor(0x0000C0);
    sel->SetSize(18);
    sel->SetName("Arial");
    EXPECT_EQ(sel->GetStyle(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(sel->GetColor(), 0x0000C0);
    EXPECT_EQ(sel->GetSize(), 18);
    EXPECT_EQ(sel->GetName(), "Arial");
    sel->SetPitch(fpFixed);
    EXPECT_EQ(sel->GetPitch(), fpFixed);
    EXPECT_EQ(sel->GetName(), "Arial");   // the pitch keeps the face
    sel->SetColor(clWindowText);
    EXPECT_EQ(sel->GetColor(), clWindowText);

    // A font assigned whole, and read back into another font.
    TFont font;
    font.SetName("Courier New");
    font.SetSize(14);
    font.SetStyle(TFontStyles{fsItalic});
    font.SetColor(0x008000);
    edit->SetSelStart(6);
    edit->SetSelLength(4);
    sel->Assign(&font);
    TFont back;
    back.Assign(sel);
    EXPECT_EQ(back.GetName(), "Courier New");
    EXPECT_EQ(back.GetSize(), 14);
    EXPECT_EQ(back.GetStyle(), TFontStyles{fsItalic});
    EXPECT_EQ(back.GetColor(), 0x008000);

    TKitParaAttributes* para = edit->GetParagraph();
    edit->SetSelStart(0);
    para->SetAlignment(kaCenter);
    para->SetFirstIndent(12);
    para->SetLeftIndent(6);
    para->SetRightIndent(9);
    EXPECT_EQ(para->GetAlignment(), kaCenter);
    EXPECT_EQ(para->GetFirstIndent(), 12);
    EXPECT_EQ(para->GetLeftIndent(), 6);
    EXPECT_EQ(para->GetRightIndent(), 9);
    para->SetAlignment(kaRightJustify);
    EXPECT_EQ(para->GetAlignment(), kaRightJustify);
    para->SetNumbering(nsBullet);
    EXPECT_EQ(para->GetNumbering(), nsBullet);
    EXPECT_GE(para->GetLeftIndent(), 10);
    para->SetNumbering(nsNone);
    EXPECT_EQ(para->GetLeftIndent(), 0);
    para->SetTab(0, 36);
    para->SetTab(2, 108);
    EXPECT_EQ(para->GetTabCount(), 3);
    EXPECT_EQ(para->GetTab(0), 36);
    EXPECT_EQ(para->GetTab(2), 108);
    para->SetTab(31, 500);   // past the last settable stop: ignored
    EXPECT_EQ(para->GetTabCount(), 3);
    // The second paragraph kept its own alignment.
    edit->SetSelStart(edit->GetLineIndex(1));
    EXPECT_EQ(para->GetAlignment(), kaLeftJustify);
}

TEST_F(ComponentsTest, RichEditLinesInsertAndDelete) {
    TKitRichEdit* edit = NewRichEdit();
    TStrings* lines = edit->GetLines();
    EXPECT_EQ(lines->GetCount(), 0);
    lines->Add("two");
    lines->Insert(0, "one");
    lines->Add("four");
    lines->Insert(2, "three");
    ASSERT_EQ(lines->GetCount(), 4);
    EXPECT_EQ(lines->Get(0), "one");
    EXPECT_EQ(lines->Get(1), "two");
    EXPECT_EQ(lines->Get(2), "three");
    EXPECT_EQ(lines->Get(3), "four");
    lines->Put(1, "TWO");
    EXPECT_EQ(lines->Get(1), "TWO");
    lines->Delete(0);
    lines->Delete(1);
    lines->Delete(lines->GetCount() - 1);
    ASSERT_EQ(lines->GetCount(), 1);
    EXPECT_EQ(lines->Get(0), "TWO");
    // A long line comes back whole (without word wrap a line is a paragraph).
    edit->SetWordWrap(false);
    std::string longLine(6000, 'x');
    lines->Add(longLine);
    EXPECT_TRUE(lines->Get(1) == longLine) << lines->Get(1).size();
    EXPECT_EQ(lines->Get(0), "TWO");
    lines->Clear();
    EXPECT_EQ(lines->GetCount(), 0);
}

TEST_F(ComponentsTest, RichEditLoadsAndSavesThroughStreamsAndFiles) {
    TKitRichEdit* edit = NewRichEdit();
    TClicks log;
    edit->OnConversionProgress = TRichEditProgressEvent(&log, &TClicks::ConversionProgress);
    TKitRichEditStrings* lines = edit->GetLines();

    // Every line-break kind read as plain text gives one line each.
    TMemoryStream stream;
    RefillStream(stream, "one\rtwo\nthree\r\nfour\n\rfive");
    lines->LoadFromStream(stream);
    ASSERT_EQ(lines->GetCount(), 5);
    EXPECT_EQ(lines->Get(4), "five");
    ASSERT_FALSE(log.Progress.empty());
    EXPECT_EQ(log.Progress.back(), 100);
    EXPECT_EQ(edit->GetSelStart(), 0);

    // Rich text out and in again keeps the formatting.
    edit->SetText("bold plain");
    edit->SetSelStart(0);
    edit->SetSelLength(4);
    edit->GetSelAttributes()->SetStyle(TFontStyles{fsBold});
    TMemoryStream rich;
    lines->SaveToStream(rich);
    EXPECT_EQ(StreamText(rich).substr(0, 5), "{\\rtf");
    edit->Clear();
    rich.SetPosition(0);
    edit->SetStreamFormat(sfPlainText);   // "{\rtf" wins over the setting
    lines->LoadFromStream(rich);
    EXPECT_EQ(edit->GetText(), "bold plain");
    edit->SetSelStart(1);
    edit->SetSelLength(1);
    EXPECT_TRUE(edit->GetSelAttributes()->GetStyle().Contains(fsBold));

    // Plain text out has no markup.
    TMemoryStream plain;
    lines->SaveToStream(plain);
    EXPECT_EQ(StreamText(plain), "bold plain");
    edit->SetStreamFormat(sfDefault);

    // Files: the extension picks the conversion; an .rtf file that holds
    // plain text still loads.
    qelvo::test::TempDir dir;
    lines->SaveToFile(dir.File("note.rtf"));
    lines->SaveToFile(dir.File("note.txt"));
    TMemoryStream check;
    check.LoadFromFile(dir.File("note.txt"));
    EXPECT_EQ(StreamText(check), "bold plain");
    edit->Clear();
    lines->LoadFromFile(dir.File("note.rtf"));
    EXPECT_EQ(edit->GetText(), "bold plain");
    RefillStream(check, "not rich\r\nat all");
    check.SaveToFile(dir.File("fake.rtf"));
    lines->LoadFromFile(dir.File("fake.rtf"));
    EXPECT_EQ(lines->GetCount(), 2);
    EXPECT_EQ(lines->Get(1), "at all");
    EXPECT_THROW(lines->LoadFromFile(dir.File("missing.txt")), EOutOfResources);
}

TEST_F(ComponentsTest, RichEditProtectionAndClipboardGates) {
    TKitRichEdit* edit = NewRichEdit();
    TClicks log;
    // EN_PROTECTED reflected from the parent: refused unless a handler
    // allows the change.
    auto protectedChange = [&] {
        ENPROTECTED info{};
        info.nmhdr.hwndFrom = edit->GetHandle();
        info.nmhdr.code = EN_PROTECTED;
        info.msg = WM_CHAR;
        info.chrg = {1, 3};
        return SendMessageA(Form->GetHandle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    };
    EXPECT_EQ(protectedChange(), 1);
    edit->OnProtectChange = TRichEditProtectChange(&log, &TClicks::Protect);
    EXPECT_EQ(protectedChange(), 1);
    log.AllowProtected = true;
    EXPECT_EQ(protectedChange(), 0);

    // Without caPaste, WM_PASTE changes nothing; with it, the text arrives.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 6);
    std::memcpy(GlobalLock(block), "PASTE", 6);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    edit->SetText("abc");
    edit->SetSelStart(3);
    edit->SetClipboardCommands(AllClipboardCommands - TClipboardCommands{caPaste});
    edit->Perform(WM_PASTE);
    EXPECT_EQ(edit->GetText(), "abc");
    SendMessageA(edit->GetHandle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit->GetText(), "abc");
    edit->SetClipboardCommands(AllClipboardCommands);
    edit->Perform(WM_PASTE);
    EXPECT_EQ(edit->GetText(), "abcPASTE");

    // The OLE callback answers the same permissions.
    TRichEditOleCallback* callback = edit->GetOleCallback();
    ASSERT_NE(callback, nullptr);
    EXPECT_EQ(callback->QueryAcceptData(nullptr, nullptr, RECO_PASTE, TRUE, nullptr), S_OK);
    edit->SetClipboardCommands(TClipboardCommands{caCopy});
    EXPECT_EQ(callback->QueryAcceptData(nullptr, nullptr, RECO_PASTE, TRUE, nullptr), S_FALSE);
    EXPECT_EQ(callback->QueryAcceptData(nullptr, nullptr, RECO_DROP, TRUE, nullptr), S_OK);
    IDataObject* data = reinterpret_cast<IDataObject*>(1);
    EXPECT_EQ(callback->GetClipboardData(nullptr, RECO_CUT, &data), S_OK);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(callback->GetClipboardData(nullptr, RECO_COPY, &data), E_NOTIMPL);
    IStorage* storage = nullptr;
    ASSERT_EQ(callback->GetNewStorage(&storage), S_OK);
    ASSERT_NE(storage, nullptr);
    storage->Release();
    EXPECT_EQ(callback->QueryInsertObject(nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(callback->ContextSensitiveHelp(TRUE), S_OK);
    EXPECT_EQ(callback->GetContextMenu(0, nullptr, nullptr, nullptr), E_NOTIMPL);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(callback->GetDragDropEffect(TRUE, 0, &effect), E_NOTIMPL);
}

namespace {

// Prints into an enhanced metafile: a page per StartPage, no spooler.
class TMetafilePrinter : public TPrinter {
public:
    int Pages = 0;
    bool Ended = false;

protected:
    HDC CreatePrinterDC() override {
        HDC screen = GetDC(nullptr);
        RECT frame{0, 0, 21000, 29700};   // A4 in 0.01 mm
        HDC dc = CreateEnhMetaFileA(screen, nullptr, &frame, nullptr);
        ReleaseDC(nullptr, screen);
        return dc;
    }
    bool StartJob(HDC, const std::string&) override { return true; }
    bool StartDevicePage(HDC) override {
        ++Pages;
        return true;
    }
    bool EndDevicePage(HDC) override { return true; }
    bool EndJob(HDC) override { return Ended = true; }
    void AbortJob(HDC) override {}
    void DeleteDeviceDC(HDC dc) override { DeleteEnhMetaFile(CloseEnhMetaFile(dc)); }
};

class TPrinterSwap {
public:
    explicit TPrinterSwap(TPrinter* printer) : FPrevious(SetPrinter(printer)) {}
    ~TPrinterSwap() { delete SetPrinter(FPrevious); }

private:
    TPrinter* FPrevious;
};

} // namespace

namespace {

// Puts rich text and, when given, its plain text on the clipboard.
void PutRichText(const std::string& rtf, const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL rich = GlobalAlloc(GMEM_MOVEABLE, rtf.size() + 1);
    std::memcpy(GlobalLock(rich), rtf.c_str(), rtf.size() + 1);
    GlobalUnlock(rich);
    SetClipboardData(RegisterClipboardFormatA("Rich Text Format"), rich);
    if (!text.empty()) {
        HGLOBAL plain = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        std::memcpy(GlobalLock(plain), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(plain);
        SetClipboardData(CF_UNICODETEXT, plain);
    }
    CloseClipboard();
}

// Sends a key as the keyboard would, with Ctrl or Shift held meanwhile.
void SendKeyWith(TWinControl* control, WORD key, BYTE modifier) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    const BYTE old = state[modifier];
    state[modifier] = 0x80;
    SetKeyboardState(state);
    SendMessageA(control->GetHandle(), WM_KEYDOWN, key, 1);
    state[modifier] = old;
    SetKeyboardState(state);
}

} // namespace

TEST_F(ComponentsTest, RichEditInPlainTextModePastesTheClipboardsTextOnly) {
    TKitRichEdit* edit = NewRichEdit();
    edit->SetPlainText(true);
    edit->SetText("[]");
    edit->SetSelStart(1);
    // A table and hidden words in the rich text: the plain text goes in, by
    // WM_PASTE, Ctrl+V and Shift+Insert alike, and undo takes it back.
    PutRichText("{\\rtf1\\ansi\\trowd\\cellx1000\\cellx2000 A\\cell B\\cell\\row{\\v hidden}}", L"A\tB");
    edit->Perform(WM_PASTE);
    EXPECT_EQ(edit->GetText(), "[A\tB]");
    EXPECT_TRUE(edit->GetModified());
    EXPECT_EQ(edit->GetSelStart(), 4);
    SendKeyWith(edit, 'V', VK_CONTROL);
    SendKeyWith(edit, VK_INSERT, VK_SHIFT);
    EXPECT_EQ(edit->GetText(), "[A\tBA\tBA\tB]");
    edit->Perform(EM_UNDO);
    EXPECT_EQ(edit->GetText(), "[A\tBA\tB]");
    // Rich text alone: nothing goes in. Read-only or without caPaste:
    // nothing either.
    PutRichText("{\\rtf1\\ansi Greek \\u945?}", L"");
    edit->Perform(WM_PASTE);
    EXPECT_EQ(edit->GetText(), "[A\tBA\tB]");
    PutRichText("{\\rtf1\\ansi x}", L"x");
    edit->SetReadOnly(true);
    edit->Perform(WM_PASTE);
    edit->SetReadOnly(false);
    edit->SetClipboardCommands(AllClipboardCommands - TClipboardCommands{caPaste});
    SendKeyWith(edit, 'V', VK_CONTROL);
    EXPECT_EQ(edit->GetText(), "[A\tBA\tB]");
}

TEST_F(ComponentsTest, RichEditPrintsPagesAndStopsWithoutProgress) {
    TKitRichEdit* edit = NewRichEdit();
    std::string text;
    for (int i = 0; i < 300; ++i) text += "Line " + std::to_string(i) + " of a long note\r";
    edit->SetText(text);
    {
        auto* printer = new TMetafilePrinter;
        TPrinterSwap swap(printer);
        edit->Print("Note");
        EXPECT_TRUE(printer->Ended);
        EXPECT_GE(printer->Pages, 1);
        EXPECT_FALSE(printer->GetPrinting());
        // A page too small for one line makes no progress (under Wine no
        // page does): printing ends instead of producing blank pages for
        // ever.
        printer->Pages = 0;
        edit->SetPageRect(Rect(0, 0, 2, 2));
        edit->Print("Tiny");
        EXPECT_LE(printer->Pages, 2);
        EXPECT_TRUE(printer->Ended);
    }
    // With no printer installed (as under Wine here) printing fails with a
    // message, at once.
    TPrinterSwap fresh(nullptr);
    if (!Printer()->GetPrinting()) {
        DWORD size = 0;
        GetDefaultPrinterA(nullptr, &size);
        if (size == 0) {
            try {
                edit->Print("Nothing");
                ADD_FAILURE() << "printing without a printer succeeded";
            } catch (const EPrinter& e) {
                EXPECT_EQ(e.GetMessage(), gcl::msg::NoDefaultPrinter);
            }
        }
    }
}

TEST_F(ComponentsTest, RichEditFormattedNoteScreenshot) {
    Form->SetBorderStyle(bsSingle);
    Form->SetCaption("Note");
    TKitRichEdit* edit = NewRichEdit(8, 8, 440, 200);
    edit->GetFont()->SetName("Arial");
    edit->GetFont()->SetHeight(-16);
    const std::string text =
        "A bold start, a red word and a link: http://qelvo.example/notes\rThe second paragraph is centred.";
    edit->SetText(text);
    edit->SetSelStart(2);
    edit->SetSelLength(4);
    edit->GetSelAttributes()->SetStyle(TFontStyles{fsBold});
    edit->SetSelStart(16);
    edit->SetSelLength(3);
    edit->GetSelAttributes()->SetColor(0x0000FF);
    edit->SetSelStart(static_cast<int>(text.find("The second")) + 2);
    edit->GetParagraph()->SetAlignment(kaCenter);
    EXPECT_EQ(edit->GetParagraph()->GetAlignment(), kaCenter);
    edit->SetSelStart(0);
    EXPECT_EQ(edit->GetParagraph()->GetAlignment(), kaLeftJustify);
    edit->SetSelStart(0);
    Form->Show();
    PumpApplication(300);
    EXPECT_GT(qelvo::test::SaveWindowScreenshot(Form->GetHandle(), "rich_edit_note.bmp"), 20);
}

TEST_F(ComponentsTest, RichEditLinkPropertiesRefuseToBreakLinks) {
    TKitRichEdit* edit = NewRichEdit();
    TScriptedDialogs script;
    script.OnFailure = [](const std::string& message) { ADD_FAILURE() << message; };
    script.ExpectMessage("Break link operation is not supported.", mrOk);
    ServiceOverride<IDialogService> use(DialogService(), script);
    REOBJECT none{};
    none.cbStruct = sizeof(none);
    ComPtr<TOleUILinkInfo> link(TOleUILinkInfo::Create(edit, none));
    EXPECT_EQ(link->CancelLink(1), E_NOTIMPL);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(link->GetNextLink(0), 1u);
    EXPECT_EQ(link->GetNextLink(1), 0u);
}

TEST_F(ComponentsTest, RichEditWithAPastedPictureObject) {
    TKitRichEdit* edit = NewRichEdit();
    edit->SetText("before  after");
    // A picture on the clipboard; the library pastes it as an embedded
    // object, with storage from the callback.
    HDC screen = GetDC(nullptr);
    RECT frame{0, 0, 1000, 1000};
    HDC meta = CreateEnhMetaFileA(screen, nullptr, &frame, nullptr);
    ReleaseDC(nullptr, screen);
    Rectangle(meta, 0, 0, 30, 30);
    HENHMETAFILE picture = CloseEnhMetaFile(meta);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_ENHMETAFILE, picture);
    CloseClipboard();
    edit->SetSelStart(7);
    edit->Perform(WM_PASTE);
    IRichEditOle* ole = edit->GetRichEditOle();
    ASSERT_NE(ole, nullptr);
    if (ole->GetObjectCount() == 0) GTEST_SKIP() << "this rich-edit library does not paste pictures as objects";
    EXPECT_EQ(ole->GetObjectCount(), 1);
    // The object alone selected: no shared edit menu, the object's verbs or
    // the assigned menu instead.
    REOBJECT info{};
    info.cbStruct = sizeof(info);
    ASSERT_EQ(ole->GetObject(0, &info, REO_GETOBJ_NO_INTERFACES), S_OK);
    edit->SetSelStart(info.cp);
    edit->SetSelLength(1);
    EXPECT_EQ(edit->GetSelectionType(), TSelectionType{stObject});
    TPopupMenu* menu = edit->GetPopupMenu();
    EXPECT_NE(menu, GetFixedEditPopup(edit, false));
    // With a menu of its own: a separator, the object's properties and its
    // verbs follow the menu's items; the properties item asks the dialog.
    TPopupMenu* own = TPopupMenu::Create(Form);
    TMenuItem* first = TMenuItem::Create(own);
    first->SetCaption("Own");
    own->GetItems()->Add(first);
    edit->SetPopupMenu(own);
    if (edit->GetPopupMenu() == own) {
        ASSERT_GE(own->GetItems()->GetCount(), 3);
        EXPECT_TRUE(own->GetItems()->GetItems(1)->IsLine());
        TMenuItem* properties = own->GetItems()->GetItems(2);
        EXPECT_NE(properties->GetCaption().find(" Properties"), std::string::npos);
        class TRecordingDialog : public IObjectPropertiesDialog {
        public:
            std::string Caption;
            std::string Type;
            bool Linked = true;
            UINT Show(OLEUIOBJECTPROPSA& request) override {
                Caption = request.lpPS->pszCaption;
                Linked = request.lpLinkInfo != nullptr;
                LPSTR label = nullptr, type = nullptr, shortType = nullptr, location = nullptr;
                DWORD size = 0;
                request.lpObjInfo->GetObjectInfo(request.dwObject, &size, &label, &type, &shortType, &location);
                Type = type ? type : "";
                CoTaskMemFree(label);
                CoTaskMemFree(type);
                CoTaskMemFree(shortType);
                return OLEUI_OK;
            }
        } dialog;
        gcl::ServiceOverride<IObjectPropertiesDialog> use(ObjectPropertiesDialog(), dialog);
        properties->Click();
        EXPECT_EQ(dialog.Caption, properties->GetCaption());
        EXPECT_EQ(dialog.Caption, dialog.Type + " Properties");
        EXPECT_FALSE(dialog.Linked);
        // The next request takes the added items away again.
        edit->SetSelStart(0);
        EXPECT_EQ(edit->GetPopupMenu(), own);
        EXPECT_EQ(own->GetItems()->GetCount(), 1);
    }
    edit->SetPopupMenu(nullptr);
    // The text survives a new window.
    std::string text = edit->GetText();
    edit->SetSelectionBar(false);
    edit->HandleNeeded();
    ASSERT_NE(edit->GetRichEditOle(), nullptr);
    EXPECT_EQ(edit->GetText(), text);
    // Clearing closes and removes the objects.
    edit->Clear();
    EXPECT_EQ(edit->GetRichEditOle()->GetObjectCount(), 0);
}

// ---- Find and replace ---------------------------------------------------------------------

namespace {

class TFindEvents : public TObject {
public:
    std::vector<std::string> NotFound;
    int Closed = 0;
    void TextNotFound(TObject*, const std::string& text) { NotFound.push_back(text); }
    void Close(TObject*) { ++Closed; }
};

void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::pair<int, int> Selection(TKitRichEdit* edit) { return {edit->GetSelStart(), edit->GetSelLength()}; }

} // namespace

TEST_F(ComponentsTest, RichEditFindTextSearchesBothWaysWithCaseAndWholeWords) {
    TKitRichEdit* edit = NewRichEdit();
    edit->SetText("Cat cat concatenate cat.");
    EXPECT_EQ(edit->FindText("cat", 0, -1, {frDown}), 0);
    EXPECT_EQ(edit->FindText("cat", 0, -1, {frDown, frMatchCase}), 4);
    EXPECT_EQ(edit->FindText("cat", 5, -1, {frDown, frMatchCase}), 11);
    EXPECT_EQ(edit->FindText("cat", 5, -1, {frDown, frWholeWord}), 20);
    // Only matches that lie wholly inside the range count.
    EXPECT_EQ(edit->FindText("cat", 5, 8, {frDown}), -1);
    // Without frDown the last match in the range is found.
    EXPECT_EQ(edit->FindText("cat", 0, -1, {}), 20);
    EXPECT_EQ(edit->FindText("cat", 0, 20, {}), 11);
    EXPECT_EQ(edit->FindText("cat", 0, 20, {frWholeWord}), 4);
    EXPECT_EQ(edit->FindText("CAT", 1, 20, {frMatchCase}), -1);
    EXPECT_EQ(edit->FindText("dog", 0, -1, {frDown}), -1);
    EXPECT_EQ(edit->FindText("", 0, -1, {frDown}), -1);
}

TEST_F(ComponentsTest, RichEditFindDialogSelectsMatchesAndReportsFailures) {
    TKitRichEdit* edit = NewRichEdit();
    TFindEvents events;
    edit->OnTextNotFound = TRichEditFindErrorEvent(&events, &TFindEvents::TextNotFound);
    edit->OnCloseFindDialog = TNotifyEvent(&events, &TFindEvents::Close);
    edit->SetText("Cat cat concatenate cat.");
    edit->SetSelStart(0);
    EXPECT_EQ(FindWindowA("#32770", "Find"), nullptr);
    edit->FindDialog("cat");
    HWND dialog = FindWindowA("#32770", "Find");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));

    Click(dialog, IDOK);
    EXPECT_EQ(Selection(edit), std::make_pair(0, 3));
    CheckDlgButton(dialog, chx2, BST_CHECKED);  // match case
    Click(dialog, IDOK);
    EXPECT_EQ(Selection(edit), std::make_pair(4, 3));
    Click(dialog, IDOK);
    EXPECT_EQ(Selection(edit), std::make_pair(11, 3));
    CheckDlgButton(dialog, chx1, BST_CHECKED);  // whole word
    Click(dialog, IDOK);
    EXPECT_EQ(Selection(edit), std::make_pair(20, 3));
    EXPECT_TRUE(events.NotFound.empty());
    // Past the last match: the event carries the dialog's text and the
    // selection stays.
    SetDlgItemTextA(dialog, edt1, "cat");
    Click(dialog, IDOK);
    EXPECT_EQ(events.NotFound, std::vector<std::string>{"cat"});
    EXPECT_EQ(Selection(edit), std::make_pair(20, 3));
    // Up from the selection's start.
    CheckRadioButton(dialog, rad1, rad2, rad1);
    Click(dialog, IDOK);
    EXPECT_EQ(Selection(edit), std::make_pair(4, 3));
    Click(dialog, IDOK);
    EXPECT_EQ(events.NotFound.size(), 2u);

    // Asking again brings up the same window with the new text.
    edit->FindDialog("concat");
    EXPECT_EQ(FindWindowA("#32770", "Find"), dialog);
    char text[32] = {};
    GetDlgItemTextA(dialog, edt1, text, sizeof text);
    EXPECT_STREQ(text, "concat");

    EXPECT_EQ(events.Closed, 0);
    Click(dialog, IDCANCEL);
    PumpApplication(200, [&] { return !IsWindow(dialog); });
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(events.Closed, 1);
}

TEST_F(ComponentsTest, RichEditReplaceDialogReplacesMatchesOnly) {
    TKitRichEdit* edit = NewRichEdit();
    TFindEvents events;
    edit->OnTextNotFound = TRichEditFindErrorEvent(&events, &TFindEvents::TextNotFound);
    edit->SetText("one two one Two one");
    edit->SetSelStart(0);
    edit->ReplaceDialog("one", "1");
    HWND dialog = FindWindowA("#32770", "Replace");
    ASSERT_NE(dialog, nullptr);

    // Nothing matching is selected: Replace only finds.
    Click(dialog, psh1);
    EXPECT_EQ(edit->GetText(), "one two one Two one");
    EXPECT_EQ(Selection(edit), std::make_pair(0, 3));
    // Now the selection matches: it is replaced and the next one found.
    Click(dialog, psh1);
    EXPECT_EQ(edit->GetText(), "1 two one Two one");
    EXPECT_EQ(Selection(edit), std::make_pair(6, 3));
    Click(dialog, psh2);
    EXPECT_EQ(edit->GetText(), "1 two 1 Two 1");
    EXPECT_TRUE(SendMessageA(edit->GetHandle(), EM_CANUNDO, 0, 0));

    // Match case leaves "Two" alone.
    SetDlgItemTextA(dialog, edt1, "two");
    SetDlgItemTextA(dialog, edt2, "2");
    CheckDlgButton(dialog, chx2, BST_CHECKED);
    Click(dialog, psh2);
    EXPECT_EQ(edit->GetText(), "1 2 1 Two 1");
    EXPECT_TRUE(events.NotFound.empty());
    // Replace All with no match changes nothing and reports the text.
    SetDlgItemTextA(dialog, edt1, "three");
    Click(dialog, psh2);
    EXPECT_EQ(edit->GetText(), "1 2 1 Two 1");
    EXPECT_EQ(events.NotFound, std::vector<std::string>{"three"});
    // A replacement that contains the search text does not loop.
    SetDlgItemTextA(dialog, edt1, "1");
    SetDlgItemTextA(dialog, edt2, "11");
    Click(dialog, psh2);
    EXPECT_EQ(edit->GetText(), "11 2 11 Two 11");
}

TEST_F(ComponentsTest, RichEditFreedWithItsDialogsOpenClosesThem) {
    TKitRichEdit* edit = NewRichEdit();
    TFindEvents events;
    edit->OnCloseFindDialog = TNotifyEvent(&events, &TFindEvents::Close);
    edit->SetText("text");
    edit->FindDialog("t");
    edit->ReplaceDialog("t", "T");
    HWND find = FindWindowA("#32770", "Find");
    HWND replace = FindWindowA("#32770", "Replace");
    ASSERT_NE(find, nullptr);
    ASSERT_NE(replace, nullptr);
    edit->Free();
    EXPECT_FALSE(IsWindow(find));
    EXPECT_FALSE(IsWindow(replace));
    PumpApplication(50);
    EXPECT_EQ(events.Closed, 0);
}
