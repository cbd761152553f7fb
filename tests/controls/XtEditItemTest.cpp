// The extended edit item: change reports (once per change, in code and
// while editing), acceptance with and without ExtendedAccept, auto-
// completion, case, sizes, painting with a password character, the bitmap
// hint; and a demo window of an edit with a button, a check list box and a
// toolbar with an edit item (screenshot).
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/XtEditors.h"
#include "controls/XtTestSupport.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Streams.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"
#include "theming/TxBars.h"
#include "toolbar/BarHook.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

struct TChanges : gcl::TObject {
    std::vector<std::wstring> Texts;
    bool Refuse = false;
    std::wstring Replace;
    void Change(gcl::TObject*, const std::wstring& text) { Texts.push_back(text); }
    void Accept(gcl::TObject*, std::wstring& text, bool& accept) {
        if (Refuse) accept = false;
        if (!Replace.empty()) text = Replace;
    }
};

// Completes "ap" and longer beginnings of "apple".
class TFruitItem : public TXtEditItem {
    GCL_CLASS(TFruitItem, TXtEditItem)
public:
    int Completions = 0;
    bool DoAutoComplete(std::wstring& AText) override {
        const std::wstring word = L"apple";
        if (AText.size() < 2 || AText.size() >= word.size() || word.compare(0, AText.size(), AText) != 0) return false;
        ++Completions;
        AText = word;
        return true;
    }

protected:
    explicit TFruitItem(gcl::TComponent* AOwner) : TXtEditItem(AOwner) {}
};
GCL_IMPLEMENT_CLASS(TFruitItem)

// Messages posted, one per timer tick, to whatever has the focus (or to
// the given window) while a local loop runs.
struct TTypist {
    struct TStep {
        UINT Msg;
        WPARAM WParam;
        HWND Target = nullptr;
        LPARAM LParam = 1;
    };
    static inline std::vector<TStep> Steps;
    static inline size_t Next = 0;
    static inline UINT_PTR Timer = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (Next >= Steps.size()) {
            KillTimer(nullptr, Timer);
            Timer = 0;
            return;
        }
        const TStep& step = Steps[Next];
        HWND target = step.Target ? step.Target : GetFocus();
        if (!target) return;
        PostMessageW(target, step.Msg, step.WParam, step.Msg == WM_KEYUP ? 0xC0000001 : step.LParam);
        ++Next;
    }
    explicit TTypist(std::vector<TStep> steps) {
        Steps = std::move(steps);
        Next = 0;
        Timer = SetTimer(nullptr, 0, 30, &Tick);
    }
    ~TTypist() {
        if (Timer) KillTimer(nullptr, Timer);
        Timer = 0;
    }
    // A key pressed and released (the loop's TranslateMessage makes the
    // character of a character key).
    static void Key(std::vector<TStep>& steps, UINT vk) {
        steps.push_back({WM_KEYDOWN, vk});
        steps.push_back({WM_KEYUP, vk});
    }
    // Lower-case letters.
    static std::vector<TStep> Typing(const std::wstring& text) {
        std::vector<TStep> steps;
        for (wchar_t c : text) Key(steps, static_cast<UINT>(towupper(c)));
        return steps;
    }
};

// Reads the focused editor's text and selection once the typist has
// posted After steps.
struct TEditorProbe {
    static inline size_t After = 0;
    static inline std::wstring Text;
    static inline int SelStart = -1, SelLength = -1;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (TTypist::Next < After || !Text.empty()) return;
        KillTimer(nullptr, id);
        HWND focus = GetFocus();
        wchar_t buffer[32]{};
        GetWindowTextW(focus, buffer, 32);
        Text = buffer;
        DWORD start = 0, end = 0;
        SendMessageW(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        SelStart = static_cast<int>(start);
        SelLength = static_cast<int>(end - start);
    }
};

class XtEditItems : public XtFormTest {
protected:
    static void SetUpTestSuite() {
        StartExtendedControls();
        gcl::InitializeUnits({&gcl::OleUnit, &BarHookUnit, &BarItemUnit, &TxBarsUnit});
    }
    void SetUp() override {
        XtFormTest::SetUp();
        Form->SetBounds(40, 40, 460, 300);
    }
    TTxToolbar* MakeToolbar() {
        auto* dock = Make<TTxDock>(Form, 0, 0, 440, 30);
        auto* bar = TTxToolbar::Create(Form);
        bar->SetParent(dock);
        return bar;
    }
    template <class T = TXtEditItem>
    T* MakeItem(TTxToolbar* bar) {
        T* item = T::Create(Form);
        item->SetEditWidth(120);
        item->SetText(L"old");
        item->OnChange = TXtEditChangeEvent(&Changes, &TChanges::Change);
        item->OnAcceptText = TXtEditAcceptTextEvent(&Changes, &TChanges::Accept);
        bar->GetItems()->Add(item);
        return item;
    }
    TXtEditItemViewer* ViewerOf(TTxToolbar* bar, TBarCustomItem* item) {
        Form->Show();
        SetForegroundWindow(Form->GetHandle());
        // Activation settles before an editor takes the focus.
        PumpMessages(100);
        auto* viewer = dynamic_cast<TXtEditItemViewer*>(bar->GetView()->Find(item));
        EXPECT_NE(viewer, nullptr);
        return viewer;
    }
    // Runs the editor over viewer with the steps typed into it.
    // The view starts each edit as a menu loop starts it (an Enter before
    // ended the view's last loop), and what is left queued is handled.
    void Edit(TXtEditItemViewer* viewer, std::vector<TTypist::TStep> steps) {
        Changes.Texts.clear();
        viewer->GetView()->BeginModalState();
        {
            TTypist typist(std::move(steps));
            viewer->DoExecute();
        }
        EXPECT_EQ(viewer->GetEditControl(), nullptr);
        PumpMessages(50);
    }
    TChanges Changes;
};

TEST_F(XtEditItems, TextSetInCodeReportsEachChangeOnceAndKeepsTheCase) {
    auto* item = TXtEditItem::Create(Form);
    item->OnChange = TXtEditChangeEvent(&Changes, &TChanges::Change);
    item->SetText(L"\x0391\x03C1\x03C7\x03B5\x03AF\x03BF");
    item->SetText(L"\x0391\x03C1\x03C7\x03B5\x03AF\x03BF");
    EXPECT_EQ(Changes.Texts, std::vector<std::wstring>{L"\x0391\x03C1\x03C7\x03B5\x03AF\x03BF"});
    item->SetCharCase(gcl::ecLowerCase);
    EXPECT_EQ(item->GetText(), L"\x03B1\x03C1\x03C7\x03B5\x03AF\x03BF");
    EXPECT_EQ(Changes.Texts.size(), 2u);
    item->SetText(L"\x03B1\x03C1\x03C7\x03B5\x03AF\x03BF");
    EXPECT_EQ(Changes.Texts.size(), 2u);
    // Caption and hint are wide, mirrored in the 8-bit ones.
    item->SetEditCaption(L"Heading : ");
    EXPECT_EQ(item->TBarEditItem::GetEditCaption(), "Heading : ");
    item->SetHint(L"\x6253\x5F00|long");
    EXPECT_EQ(item->GetHint(), L"\x6253\x5F00|long");
    item->Free();
}

TEST_F(XtEditItems, WideTextsStream) {
    auto* item = TXtEditItem::Create(Form);
    item->SetEditCaption(L"\x6807\x9898 : ");
    item->SetText(L"\x0391\x03C1\x03C7\x03B5\x03AF\x03BF");
    item->SetHint(L"\x6807\x9898|long");
    item->SetPasswordChar(L'\x25CF');
    item->SetEditWidth(200);
    item->SetExtendedAccept(true);
    item->SetCharCase(gcl::ecUpperCase);
    gcl::TMemoryStream stream;
    gcl::WriteComponentToStream(stream, item);
    stream.SetPosition(0);
    auto* copy = TXtEditItem::Create(Form);
    gcl::ReadComponentFromStream(stream, copy);
    EXPECT_EQ(copy->GetEditCaption(), item->GetEditCaption());
    EXPECT_EQ(copy->GetText(), item->GetText());
    EXPECT_EQ(copy->GetHint(), item->GetHint());
    EXPECT_EQ(copy->GetPasswordChar(), L'\x25CF');
    EXPECT_EQ(copy->GetEditWidth(), 200);
    EXPECT_TRUE(copy->GetExtendedAccept());
    EXPECT_EQ(copy->GetCharCase(), gcl::ecUpperCase);
    item->Free();
    copy->Free();
}

TEST_F(XtEditItems, TypingReportsEachChangeOnceAndEnterAddsNothing) {
    TTxToolbar* bar = MakeToolbar();
    TXtEditItem* item = MakeItem(bar);
    TXtEditItemViewer* viewer = ViewerOf(bar, item);
    auto steps = TTypist::Typing(L"ab");
    steps.push_back({WM_CHAR, VK_RETURN});
    Edit(viewer, steps);
    EXPECT_EQ(item->GetText(), L"ab");
    EXPECT_EQ(Changes.Texts, (std::vector<std::wstring>{L"a", L"ab"}));
    EXPECT_EQ(item->GetKeysDown(), 0);
    EXPECT_EQ(item->GetEditingViewer(), viewer);

    // Enter without typing reports nothing.
    Edit(viewer, {{WM_CHAR, VK_RETURN}});
    EXPECT_EQ(item->GetText(), L"ab");
    EXPECT_TRUE(Changes.Texts.empty());
}

// Whether every heap of the process is whole (no block written past its end).
bool HeapsAreWhole() {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i)
        if (!HeapValidate(heaps[i], 0, nullptr)) return false;
    return true;
}

TEST_F(XtEditItems, ALongTextEndsItsEditWithTheHeapWhole) {
    // The editor's window is wide; the class library reads its text through
    // its 8-bit buffers as the editor goes, which must get the 8-bit form.
    TTxToolbar* bar = MakeToolbar();
    TXtEditItem* item = MakeItem(bar);
    const std::wstring text(120, L'w');
    item->SetText(text);
    TXtEditItemViewer* viewer = ViewerOf(bar, item);
    Edit(viewer, {{WM_CHAR, VK_ESCAPE}});
    EXPECT_TRUE(HeapsAreWhole());
    Edit(viewer, {{WM_CHAR, 'x'}, {WM_CHAR, VK_RETURN}});
    EXPECT_TRUE(HeapsAreWhole());
    EXPECT_EQ(item->GetText(), L"x");
}

TEST_F(XtEditItems, EscapeOrARefusalReportsTheKeptTextAgain) {
    TTxToolbar* bar = MakeToolbar();
    TXtEditItem* item = MakeItem(bar);
    TXtEditItemViewer* viewer = ViewerOf(bar, item);
    auto steps = TTypist::Typing(L"x");
    steps.push_back({WM_CHAR, VK_ESCAPE});
    Edit(viewer, steps);
    EXPECT_EQ(item->GetText(), L"old");
    EXPECT_EQ(Changes.Texts, (std::vector<std::wstring>{L"x", L"old"}));

    Changes.Refuse = true;
    steps = TTypist::Typing(L"y");
    steps.push_back({WM_CHAR, VK_RETURN});
    Edit(viewer, steps);
    EXPECT_EQ(item->GetText(), L"old");
    EXPECT_EQ(Changes.Texts, (std::vector<std::wstring>{L"y", L"old"}));

    // A handler that changes the accepted text: that text is reported once.
    Changes.Refuse = false;
    Changes.Replace = L"Z";
    steps = TTypist::Typing(L"z");
    steps.push_back({WM_CHAR, VK_RETURN});
    Edit(viewer, steps);
    EXPECT_EQ(item->GetText(), L"Z");
    EXPECT_EQ(Changes.Texts, (std::vector<std::wstring>{L"z", L"Z"}));
}

TEST_F(XtEditItems, ExtendedAcceptTakesTheTextWhenTheEditEndsElsewhere) {
    TTxToolbar* bar = MakeToolbar();
    TXtEditItem* item = MakeItem(bar);
    item->SetExtendedAccept(true);
    TXtEditItemViewer* viewer = ViewerOf(bar, item);
    const HWND elsewhere = Form->GetHandle();
    // Leaving without typing keeps the text and reports nothing.
    Edit(viewer, {{WM_LBUTTONDOWN, MK_LBUTTON, elsewhere, MAKELPARAM(200, 200)},
                  {WM_LBUTTONUP, 0, elsewhere, MAKELPARAM(200, 200)}});
    EXPECT_EQ(item->GetText(), L"old");
    EXPECT_TRUE(Changes.Texts.empty());

    auto steps = TTypist::Typing(L"new");
    steps.push_back({WM_LBUTTONDOWN, MK_LBUTTON, elsewhere, MAKELPARAM(200, 200)});
    steps.push_back({WM_LBUTTONUP, 0, elsewhere, MAKELPARAM(200, 200)});
    Edit(viewer, steps);
    EXPECT_EQ(item->GetText(), L"new");
    EXPECT_EQ(Changes.Texts, (std::vector<std::wstring>{L"n", L"ne", L"new"}));

    // Emptying the field and leaving accepts the empty text.
    steps.clear();
    TTypist::Key(steps, VK_BACK);
    steps.push_back({WM_LBUTTONDOWN, MK_LBUTTON, elsewhere, MAKELPARAM(200, 200)});
    steps.push_back({WM_LBUTTONUP, 0, elsewhere, MAKELPARAM(200, 200)});
    Edit(viewer, steps);
    EXPECT_EQ(item->GetText(), L"");
    EXPECT_EQ(Changes.Texts, std::vector<std::wstring>{L""});

    // Without ExtendedAccept leaving drops what was typed.
    item->SetText(L"old");
    item->SetExtendedAccept(false);
    steps = TTypist::Typing(L"q");
    steps.push_back({WM_LBUTTONDOWN, MK_LBUTTON, elsewhere, MAKELPARAM(200, 200)});
    steps.push_back({WM_LBUTTONUP, 0, elsewhere, MAKELPARAM(200, 200)});
    Edit(viewer, steps);
    EXPECT_EQ(item->GetText(), L"old");
    EXPECT_EQ(Changes.Texts, (std::vector<std::wstring>{L"q", L"old"}));
}

TEST_F(XtEditItems, TypingCompletesAndBackspaceDoesNot) {
    TTxToolbar* bar = MakeToolbar();
    TFruitItem* item = MakeItem<TFruitItem>(bar);
    item->SetText(L"");
    TXtEditItemViewer* viewer = ViewerOf(bar, item);
    auto steps = TTypist::Typing(L"ap");
    // Look at the editor while it is open (a step of its own).
    steps.push_back({WM_NULL, 0});
    TTypist::Key(steps, VK_BACK);
    steps.push_back({WM_CHAR, VK_RETURN});
    Changes.Texts.clear();
    TTypist typist(steps);
    TEditorProbe::Text.clear();
    TEditorProbe::After = 5;
    SetTimer(nullptr, 0, 10, &TEditorProbe::Tick);
    viewer->DoExecute();
    EXPECT_EQ(TEditorProbe::Text, L"apple");
    EXPECT_EQ(TEditorProbe::SelStart, 2);
    EXPECT_EQ(TEditorProbe::SelLength, 3);
    EXPECT_EQ(item->Completions, 1);
    // Backspace took the selected completion away and completed nothing.
    EXPECT_EQ(item->GetText(), L"ap");
    EXPECT_EQ(Changes.Texts, (std::vector<std::wstring>{L"a", L"apple", L"ap"}));
}

TEST_F(XtEditItems, SizesAndFieldFollowTheThemeMetrics) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    theme->IntegerMetrics[60] = 3;
    theme->IntegerMetrics[61] = 1;
    theme->IntegerMetrics[62] = 1;
    TTxToolbar* bar = MakeToolbar();
    TXtEditItem* item = MakeItem(bar);
    TXtEditItemViewer* viewer = ViewerOf(bar, item);
    gcl::TBitmap bitmap;
    int w = 0, h = 0;
    viewer->CalcSize(bitmap.GetCanvas(), w, h);
    EXPECT_EQ(w, 120);
    EXPECT_EQ(h % 2, 1);
    theme->BooleanMetrics[4] = true;
    viewer->CalcSize(bitmap.GetCanvas(), w, h);
    EXPECT_EQ(h % 2, 0);
    // The field lies inside the viewer by the metrics.
    TRect r;
    viewer->GetEditRect(r);
    EXPECT_EQ(r.Left, viewer->BoundsRect.Left + 1);
    EXPECT_EQ(r.Top, viewer->BoundsRect.Top + 1);
    // A vertical bar shows the item as a button unless asked otherwise.
    EXPECT_EQ(item->GetItemViewerClass(bar->GetView()), TXtEditItemViewer::StaticClass());
    bar->GetView()->SetOrientation(tbvoVertical);
    EXPECT_EQ(item->GetItemViewerClass(bar->GetView()), TTxItemViewer::StaticClass());
    item->SetEditOptions(TBarEditItemOptions{tboUseEditWhenVertical});
    EXPECT_EQ(item->GetItemViewerClass(bar->GetView()), TXtEditItemViewer::StaticClass());
}

TEST_F(XtEditItems, PasswordCharacterPaintsOneMarkPerCharacter) {
    TVisualStylesScope classic(false);
    TTxToolbar* bar = MakeToolbar();
    TXtEditItem* secret = MakeItem(bar);
    secret->SetText(L"abcd");
    secret->SetPasswordChar(L'*');
    TXtEditItem* marks = MakeItem(bar);
    marks->SetText(L"****");
    Form->Show();
    auto paint = [&](TXtEditItem* item) {
        TBarItemViewer* viewer = bar->GetView()->Find(item);
        const TRect r = viewer->BoundsRect;
        auto target = std::make_unique<TPaintTarget>(r.Width(), r.Height(), gcl::clWhite);
        target->Canvas()->SetFont(bar->GetView()->GetFont());
        viewer->Paint(target->Canvas(), TRect{0, 0, r.Width(), r.Height()}, false, false, false);
        target->Canvas()->Refresh();
        return target;
    };
    auto a = paint(secret);
    auto b = paint(marks);
    int differences = 0, ink = 0;
    for (int y = 0; y < secret->GetEditWidth() && y < 20; ++y)
        for (int x = 0; x < 110; ++x) {
            differences += a->Pixel(x, y) != b->Pixel(x, y);
            ink += a->Pixel(x, y) == Sys(gcl::clWindowText);
        }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(ink, 4);
}

TEST_F(XtEditItems, HintIsABitmapWithTheShortcut) {
    TTxToolbar* bar = MakeToolbar();
    TXtEditItem* item = MakeItem(bar);
    item->SetCaption("&Heading...");
    item->SetShortCut(gcl::ShortCut('H', gcl::TShiftState{gcl::ssCtrl}));
    TXtEditItemViewer* viewer = ViewerOf(bar, item);
    const bool shortcuts = gcl::Application->GetHintShortCuts();
    gcl::Application->SetHintShortCuts(true);
    struct TDrawn : gcl::TObject {
        std::wstring Hint;
        void Draw(gcl::TObject*, gcl::TBitmap*, std::wstring& hint, bool&) { Hint = hint; }
    } drawn;
    item->OnDrawHint = TXtDrawHintEvent(&drawn, &TDrawn::Draw);
    gcl::THintInfo info;
    info.HintMaxWidth = 300;
    gcl::TMessage message{gcl::CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info), 0};
    viewer->Dispatch(message);
    EXPECT_EQ(drawn.Hint, L"Heading (Ctrl+H)");
    EXPECT_EQ(info.HintWindowClass, TBitmapHint::StaticClass());
    EXPECT_EQ(info.HintData, XtHintBitmap);
    EXPECT_EQ(info.HideTimeout, BitmapHintHideTimeout);
    // A hint of its own wins (the part before "|").
    item->SetHint(L"\x6807\x9898|The heading of the printed list");
    viewer->Dispatch(message);
    EXPECT_EQ(drawn.Hint, L"\x6807\x9898 (Ctrl+H)");
    gcl::Application->SetHintShortCuts(shortcuts);
}

TEST_F(XtEditItems, DemoWindowWithAnEditButtonACheckListAndAnEditItem) {
    Form->SetCaption("Extended editors");
    Form->SetBounds(60, 60, 460, 300);
    // A face the system links to fonts with Chinese characters.
    Form->GetFont()->SetName("Tahoma");
    TTxToolbar* bar = MakeToolbar();
    auto* label = TXtLabelItem::Create(Form);
    label->SetCaption(L"Heading : ");
    bar->GetItems()->Add(label);
    TXtEditItem* item = MakeItem(bar);
    item->SetEditWidth(200);
    item->SetText(L"To Do List");
    item->SetExtendedAccept(true);

    auto* edit = Make<TXtEdit>(Form, 20, 60, 200, 22);
    edit->SetText(L"< new task >");
    auto* button = TXtEditButton::Create(edit);
    button->SetParent(edit);
    button->SetWidth(18);
    button->SetAlign(gcl::alRight);

    auto* tags = Make<TXtEdit>(Form, 20, 95, 200, 22);
    tags->SetText(L"\x0395\x03C1\x03B3\x03B1\x03C3\x03AF\x03B1, \x5DE5\x4F5C");
    auto* list = Make<TXtCheckListBox>(Form, 240, 60, 180, 120);
    for (const wchar_t* tag : {L"\x0395\x03C1\x03B3\x03B1\x03C3\x03AF\x03B1", L"\x5DE5\x4F5C", L"Home", L"Shopping"})
        list->GetItems()->Add(tag);
    list->SetChecked(0, true);
    list->SetChecked(1, true);
    list->SetItemIndex(2);
    Form->Show();
    PumpMessages(200);
    EXPECT_EQ(SendMessageW(edit->GetHandle(), EM_GETMARGINS, 0, 0), MAKELONG(0, 20));
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_editors_default.bmp"), 20);
    if (IsThemeRegistered("Tristan")) {
        SelectTheme("Tristan");
        PumpMessages(200);
        EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_editors_tristan.bmp"), 20);
    }
}

} // namespace
