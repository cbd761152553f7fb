// The window core: binding, creation, re-creation, re-parenting, text,
// alignment, showing, focus order, keys, mouse routing and painting.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/Forms.h"
#include "support/ApplicationTest.h"
#include "support/PixelCanvas.h"

using namespace gcl;
using qelvo::test::PumpApplication;

using qelvo::test::DcPixel;

namespace {


// A windowed control that records what it is told.
class TCtlProbe : public TCustomControl {
    GCL_CLASS(TCtlProbe, TCustomControl)
public:
    std::vector<uint32_t> Seen;          // every message through WndProc
    std::vector<std::string>* Log = nullptr;
    TColor PaintColor = clNone;
    bool WantsTab = false;
    std::vector<uintptr_t> CharsAtDefault;  // WM_CHAR WParam reaching DefaultHandler

    using TControl::GetText;
    using TControl::SetText;
    using TWinControl::GetDefWndProc;
    using TWinControl::PaintHandler;
    using TWinControl::SetBorderStyle;

    int Count(uint32_t msg) const { return static_cast<int>(std::count(Seen.begin(), Seen.end(), msg)); }

    void WndProc(TMessage& message) override {
        Seen.push_back(message.Msg);
        if (Log && message.Msg == CM_SHOWINGCHANGED) Log->push_back(GetName() + ".showing");
        inherited::WndProc(message);
    }
    void DefaultHandler(TMessage& message) override {
        if (message.Msg == WM_CHAR) CharsAtDefault.push_back(message.WParam);
        if (message.Msg == WM_GETDLGCODE && WantsTab) {
            message.Result = DLGC_WANTTAB;
            return;
        }
        inherited::DefaultHandler(message);
    }

protected:
    explicit TCtlProbe(TComponent* owner) : TCustomControl(owner) {
        SetBounds(0, 0, 50, 30);
        SetTabStop(true);
    }
    void Paint() override {
        if (PaintColor == clNone) return;
        GetCanvas()->GetBrush()->SetColor(PaintColor);
        GetCanvas()->FillRect(GetClientRect());
    }
};
GCL_IMPLEMENT_CLASS(TCtlProbe)

// A container that records CM_CONTROLCHANGE and CM_CONTROLLISTCHANGE.
class TCtlPanel : public TCustomControl {
    GCL_CLASS(TCtlPanel, TCustomControl)
public:
    std::vector<std::string> Changes;

    void Dispatch(TMessage& message) override {
        if (message.Msg == CM_CONTROLCHANGE || message.Msg == CM_CONTROLLISTCHANGE) {
            auto* control = reinterpret_cast<TControl*>(message.WParam);
            Changes.push_back(std::string(message.Msg == CM_CONTROLCHANGE ? "change " : "list ") +
                              (message.LParam ? "+" : "-") + control->GetName());
        }
        inherited::Dispatch(message);
    }

protected:
    explicit TCtlPanel(TComponent* owner) : TCustomControl(owner) {
        SetControlStyle(GetControlStyle() | TControlStyle{csAcceptsControls});
        SetBounds(0, 0, 200, 150);
    }
};
GCL_IMPLEMENT_CLASS(TCtlPanel)

// A superclassed system edit control.
class TCtlEdit : public TWinControl {
    GCL_CLASS(TCtlEdit, TWinControl)
public:
    using TControl::GetText;
    using TControl::SetText;

protected:
    explicit TCtlEdit(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 80, 21); }
    void CreateParams(TCreateParams& params) override {
        inherited::CreateParams(params);
        CreateSubClass(params, "EDIT");
        params.Style |= ES_AUTOHSCROLL;
    }
};
GCL_IMPLEMENT_CLASS(TCtlEdit)

// A windowless control.
class TCtlGraphic : public TGraphicControl {
    GCL_CLASS(TCtlGraphic, TGraphicControl)
public:
    std::vector<std::string> Events;
    TColor PaintColor = clLime;

    using TControl::GetText;
    using TControl::SetText;
    int TextChanges = 0;

    void Dispatch(TMessage& message) override {
        if (message.Msg == CM_TEXTCHANGED) ++TextChanges;
        inherited::Dispatch(message);
    }

protected:
    explicit TCtlGraphic(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 20, 10); }
    void Paint() override {
        GetCanvas()->GetBrush()->SetColor(PaintColor);
        GetCanvas()->FillRect(GetClientRect());
    }
    void MouseDown(TMouseButton, TShiftState, int x, int y) override {
        Events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseUp(TMouseButton, TShiftState, int x, int y) override {
        Events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    }
    void Click() override { Events.push_back("click"); }
    void DblClick() override { Events.push_back("double click"); }
};
GCL_IMPLEMENT_CLASS(TCtlGraphic)

class TCtlForm : public TForm {
    GCL_CLASS(TCtlForm, TForm)
public:
    std::vector<std::string> Log;
    std::vector<uint16_t> ShortCuts;
    uint16_t HandledKey = 0;

    void FormShortCut(TWMKey& msg, bool& handled) {
        ShortCuts.push_back(msg.GetCharCode());
        handled = msg.GetCharCode() == HandledKey;
    }

protected:
    explicit TCtlForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsNone);
        SetBounds(40, 40, 300, 200);
        OnShortCut = TShortCutEvent(this, &TCtlForm::FormShortCut);
    }
};
GCL_IMPLEMENT_CLASS(TCtlForm)

// Records focus events, and what Screen says while they run.
class TFocusLog : public TObject {
public:
    std::vector<std::string> Entries;
    void Enter(TObject* sender) { Entries.push_back(Name(sender) + ".enter"); }
    void Exit(TObject* sender) {
        TWinControl* active = Screen->GetActiveControl();
        Entries.push_back(Name(sender) + ".exit(active=" + (active ? active->GetName() : "") + ")");
    }
    void KeyDown(TObject* sender, uint16_t& key, TShiftState) {
        Entries.push_back(Name(sender) + ".key " + std::to_string(key));
    }
    static std::string Name(TObject* o) { return static_cast<TComponent*>(o)->GetName(); }
};

class WindowCore : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FormsUnit.Initialize(); }
    static void TearDownTestSuite() { FormsUnit.Finalize(); }

    void SetUp() override { Form = TCtlForm::Create(nullptr); }
    void TearDown() override {
        FreeAndNil(Form);
        PumpApplication(20);
    }

    template <class T>
    T* Add(const std::string& name, TWinControl* parent, int left, int top, int width, int height) {
        T* control = T::Create(Form);
        control->SetName(name);
        control->SetBounds(left, top, width, height);
        control->SetParent(parent);
        return control;
    }

    TCtlForm* Form = nullptr;
};

// A 32-bit memory bitmap to paint into.
class TScratchDC {
public:
    TScratchDC(int width, int height) {
        HDC screen = GetDC(nullptr);
        FDC = CreateCompatibleDC(screen);
        FBitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        FOld = SelectObject(FDC, FBitmap);
        RECT r{0, 0, width, height};
        FillRect(FDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    ~TScratchDC() {
        SelectObject(FDC, FOld);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    HDC DC() const { return FDC; }

private:
    HDC FDC;
    HBITMAP FBitmap;
    HGDIOBJ FOld;
};

} // namespace

TEST_F(WindowCore, MessageNumbersAndWindowBinding) {
    // The pinned numbers (the rest is checked at compile time).
    EXPECT_EQ(CM_TEXTCHANGED, 0xB012u);
    EXPECT_EQ(CM_HINTSHOW, 0xB030u);
    EXPECT_EQ(CN_KEYDOWN, 0xBD00u);
    for (uint32_t reserved : ReservedMessages)
        for (uint32_t mine : GclMessages) EXPECT_NE(reserved, mine);

    // Atom names are deterministic and name the atoms the properties use.
    char expected[32];
    std::snprintf(expected, sizeof expected, "GclWindow%08X", static_cast<unsigned>(GetCurrentProcessId()));
    EXPECT_EQ(WindowAtomName(), expected);
    EXPECT_EQ(ControlAtomName().size(), std::string("GclControl").size() + 16);
    EXPECT_EQ(GlobalFindAtomA(WindowAtomName().c_str()), WindowAtom());
    EXPECT_EQ(GlobalFindAtomA(ControlAtomName().c_str()), ControlAtom());

    auto* probe = Add<TCtlProbe>("Probe", Form, 10, 10, 50, 30);
    auto* edit = Add<TCtlEdit>("Edit", Form, 10, 50, 80, 21);
    HWND h = probe->GetHandle();
    ASSERT_TRUE(IsWindow(h));
    EXPECT_EQ(CreationControl, nullptr);
    EXPECT_EQ(FindControl(h), probe);
    EXPECT_EQ(GetPropA(h, MAKEINTATOM(WindowAtom())), probe);
    EXPECT_EQ(GetPropA(h, MAKEINTATOM(ControlAtom())), probe);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)), &GclWindowProc);
    // A child without an identifier carries its own handle as one.
    EXPECT_EQ(static_cast<LONG>(reinterpret_cast<uintptr_t>(h)), GetWindowLongA(h, GWL_ID));
    EXPECT_EQ(GetParent(h), Form->GetHandle());
    char cls[64] = {};
    GetClassNameA(h, cls, sizeof cls);
    EXPECT_STREQ(cls, "TCtlProbe");
    EXPECT_EQ(probe->GetDefWndProc(), &DefWindowProcA);

    // Superclassing keeps the system class's procedure as DefWndProc and
    // still works as an edit.
    WNDCLASSA system{};
    ASSERT_TRUE(GetClassInfoA(nullptr, "EDIT", &system));
    edit->HandleNeeded();
    EXPECT_EQ(edit->GetDefWndProc(), system.lpfnWndProc);
    edit->SetText("typed");
    EXPECT_EQ(SendMessageA(edit->GetHandle(), WM_GETTEXTLENGTH, 0, 0), 5);
    EXPECT_EQ(FindGclWindow(edit->GetHandle()), edit);

    // A child window without a parent cannot be made.
    TCtlProbe* orphan = TCtlProbe::Create(nullptr);
    orphan->SetName("Orphan");
    try {
        orphan->HandleNeeded();
        ADD_FAILURE() << "no exception";
    } catch (EInvalidOperation& e) {
        EXPECT_EQ(e.GetMessage(), "Control 'Orphan' has no parent window");
    }
    EXPECT_FALSE(orphan->HandleAllocated());
    orphan->Free();
}

TEST_F(WindowCore, TextGoesThroughMessagesAndSurvivesRecreation) {
    auto* probe = Add<TCtlProbe>("Probe", Form, 10, 10, 50, 30);
    auto* graphic = Add<TCtlGraphic>("Graphic", Form, 70, 10, 20, 10);

    // Without a window the text lives in the control.
    probe->SetText("Hello");
    EXPECT_EQ(probe->Count(WM_SETTEXT), 1);
    EXPECT_EQ(probe->Count(CM_TEXTCHANGED), 1);
    probe->SetText("Hello");  // unchanged: nothing sent
    EXPECT_EQ(probe->Count(WM_SETTEXT), 1);
    EXPECT_EQ(probe->Count(CM_TEXTCHANGED), 1);
    EXPECT_EQ(probe->GetText(), "Hello");
    EXPECT_GE(probe->Count(WM_GETTEXT), 1);

    HWND first = probe->GetHandle();
    char buffer[64] = {};
    GetWindowTextA(first, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Hello");

    // A change made to the window directly survives re-creation.
    SetWindowTextA(first, "Changed in the window");
    probe->RecreateWnd();
    HWND second = probe->GetHandle();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(second));
    EXPECT_EQ(probe->GetText(), "Changed in the window");
    GetWindowTextA(second, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Changed in the window");
    EXPECT_EQ(probe->GetBoundsRect(), Bounds(10, 10, 50, 30));

    // The same for a superclassed edit.
    auto* edit = Add<TCtlEdit>("Edit", Form, 10, 50, 80, 21);
    SetWindowTextA(edit->GetHandle(), "edit text");
    edit->RecreateWnd();
    edit->HandleNeeded();
    EXPECT_EQ(edit->GetText(), "edit text");

    // A windowless control keeps its text in a field and reports changes.
    graphic->SetText("Label");
    graphic->SetText("Label");
    EXPECT_EQ(graphic->GetText(), "Label");
    EXPECT_EQ(graphic->TextChanges, 1);
    EXPECT_EQ(graphic->GetTextLen(), 5);

    // WindowProc is replaceable and comparable.
    TWndMethod original = probe->GetWindowProc();
    EXPECT_TRUE(original == TWndMethod(probe, &TControl::WndProc));
    struct THook : TObject {
        TWndMethod Old;
        int Texts = 0;
        void Proc(TMessage& m) {
            if (m.Msg == WM_GETTEXT) ++Texts;
            Old(m);
        }
    } hook;
    hook.Old = original;
    probe->SetWindowProc(TWndMethod(&hook, &THook::Proc));
    EXPECT_EQ(probe->GetText(), "Changed in the window");
    EXPECT_EQ(hook.Texts, 1);
    probe->SetWindowProc(original);
    EXPECT_TRUE(probe->GetWindowProc() == original);
}

TEST_F(WindowCore, ReparentingKeepsTheWindow) {
    auto* left = Add<TCtlPanel>("Left", Form, 0, 0, 140, 200);
    auto* right = Add<TCtlPanel>("Right", Form, 150, 0, 140, 200);
    auto* child = Add<TCtlProbe>("Child", left, 5, 5, 40, 20);
    child->SetText("kept");
    HWND handle = child->GetHandle();
    ASSERT_EQ(GetParent(handle), left->GetHandle());

    child->SetParent(right);
    EXPECT_EQ(child->GetHandle(), handle);
    EXPECT_EQ(GetParent(handle), right->GetHandle());
    EXPECT_EQ(left->GetControlCount(), 0);
    ASSERT_EQ(right->GetControlCount(), 1);
    EXPECT_EQ(right->GetControls(0), child);
    EXPECT_EQ(left->Changes, (std::vector<std::string>{"list +Child", "change +Child", "change -Child", "list -Child"}));
    EXPECT_EQ(right->Changes, (std::vector<std::string>{"list +Child", "change +Child"}));

    // Float into a top-level window of its own and dock back.
    TCtlForm* floating = TCtlForm::Create(nullptr);
    floating->SetBounds(400, 300, 120, 80);
    floating->Show();
    child->SetParent(floating);
    EXPECT_EQ(child->GetHandle(), handle);
    EXPECT_EQ(GetParent(handle), floating->GetHandle());
    child->SetParent(left);
    EXPECT_EQ(child->GetHandle(), handle);
    EXPECT_EQ(GetParent(handle), left->GetHandle());
    floating->Free();
    EXPECT_TRUE(IsWindow(handle));

    // Taken out altogether, a child loses its window but not its text.
    child->SetParent(nullptr);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_FALSE(child->HandleAllocated());
    EXPECT_EQ(child->GetText(), "kept");
    child->SetParent(right);

    // Nobody becomes their own ancestor.
    EXPECT_THROW(left->SetParent(left), EInvalidOperation);
    EXPECT_THROW(Form->SetParent(right), EInvalidOperation);
}

// A form grown for a screen of more dots per inch: every place and size
// grows by the same factor, in nested containers too, and a control
// anchored to its container's right edge is not moved twice (once by the
// grown container, once by its own scaling).
TEST_F(WindowCore, ScalingAFormGrowsNestedAndAnchoredControlsOnce) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 300, 200);
    Form->HandleNeeded();
    auto* panel = Add<TCtlProbe>("Panel", Form, 10, 10, 200, 100);
    auto* inside = Add<TCtlProbe>("Inside", panel, 20, 30, 40, 10);
    auto* right = Add<TCtlProbe>("Right", panel, 150, 10, 40, 20);
    right->SetAnchors(TAnchors{akRight, akTop});
    auto* client = Add<TCtlProbe>("Client", Form, 0, 0, 10, 10);
    client->SetAlign(alBottom);
    panel->HandleNeeded();
    ScaleForm(Form, 3, 2);
    EXPECT_EQ(Form->GetClientWidth(), 450);
    EXPECT_EQ(Form->GetClientHeight(), 300);
    EXPECT_EQ(panel->GetBoundsRect(), Bounds(15, 15, 300, 150));
    EXPECT_EQ(inside->GetBoundsRect(), Bounds(30, 45, 60, 15));
    EXPECT_EQ(right->GetBoundsRect(), Bounds(225, 15, 60, 30));
    EXPECT_EQ(client->GetBoundsRect(), Bounds(0, 285, 450, 15));

    // A panel grown on its own keeps its place: whoever shows it places it.
    ScaleControl(panel, 2, 3);
    EXPECT_EQ(panel->GetBoundsRect(), Bounds(15, 15, 200, 100));
    EXPECT_EQ(inside->GetBoundsRect(), Bounds(20, 30, 40, 10));
    EXPECT_EQ(right->GetBoundsRect(), Bounds(150, 10, 40, 20));
}

TEST_F(WindowCore, AlignmentAnchorsAndBounds) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 300, 200);
    Form->HandleNeeded();
    // Aligned in Controls[] order within each kind.
    auto* top1 = Add<TCtlProbe>("Top1", Form, 0, 0, 10, 20);
    auto* top2 = Add<TCtlProbe>("Top2", Form, 0, 0, 10, 15);
    auto* bottom = Add<TCtlProbe>("Bottom", Form, 0, 0, 10, 25);
    auto* left = Add<TCtlProbe>("Left", Form, 0, 0, 30, 10);
    auto* right = Add<TCtlProbe>("Right", Form, 0, 0, 40, 10);
    auto* client = Add<TCtlProbe>("Client", Form, 0, 0, 10, 10);
    auto* anchored = Add<TCtlProbe>("Anchored", Form, 250, 150, 20, 20);
    auto* stretched = Add<TCtlProbe>("Stretched", Form, 100, 100, 50, 10);
    anchored->SetAnchors(TAnchors{akRight, akBottom});
    stretched->SetAnchors(TAnchors{akLeft, akTop, akRight});
    Form->DisableAlign();
    top1->SetAlign(alTop);
    top2->SetAlign(alTop);
    bottom->SetAlign(alBottom);
    left->SetAlign(alLeft);
    right->SetAlign(alRight);
    client->SetAlign(alClient);
    EXPECT_EQ(top1->GetBoundsRect(), Bounds(0, 0, 10, 20));  // not yet
    Form->EnableAlign();

    EXPECT_EQ(top1->GetBoundsRect(), Bounds(0, 0, 300, 20));
    EXPECT_EQ(top2->GetBoundsRect(), Bounds(0, 20, 300, 15));
    EXPECT_EQ(bottom->GetBoundsRect(), Bounds(0, 175, 300, 25));
    EXPECT_EQ(left->GetBoundsRect(), Bounds(0, 35, 30, 140));
    EXPECT_EQ(right->GetBoundsRect(), Bounds(260, 35, 40, 140));
    EXPECT_EQ(client->GetBoundsRect(), Bounds(30, 35, 230, 140));
    // The window agrees with the fields.
    RECT r;
    GetWindowRect(client->GetHandle(), &r);
    MapWindowPoints(nullptr, Form->GetHandle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(FromRECT(r), Bounds(30, 35, 230, 140));

    Form->SetBounds(0, 0, 400, 260);
    EXPECT_EQ(client->GetBoundsRect(), Bounds(30, 35, 330, 200));
    EXPECT_EQ(bottom->GetBoundsRect(), Bounds(0, 235, 400, 25));
    EXPECT_EQ(anchored->GetBoundsRect(), Bounds(350, 210, 20, 20));
    EXPECT_EQ(stretched->GetBoundsRect(), Bounds(100, 100, 150, 10));

    // Hiding an aligned control gives its space to the others.
    top1->Hide();
    EXPECT_EQ(top2->GetBoundsRect(), Bounds(0, 0, 400, 15));
    top1->Show();
    EXPECT_EQ(top2->GetBoundsRect(), Bounds(0, 20, 400, 15));

    // SetBounds does nothing when nothing changes; constraints apply.
    struct TCounter : TObject {
        int Resizes = 0;
        void Resized(TObject*) { ++Resizes; }
    } counter;
    auto* plain = Add<TCtlProbe>("Plain", Form, 5, 5, 40, 40);
    plain->HandleNeeded();
    plain->OnResize = TNotifyEvent(&counter, &TCounter::Resized);
    int positionChanges = plain->Count(WM_WINDOWPOSCHANGED);
    plain->SetBounds(5, 5, 40, 40);
    EXPECT_EQ(plain->Count(WM_WINDOWPOSCHANGED), positionChanges);
    EXPECT_EQ(counter.Resizes, 0);
    plain->GetConstraints()->SetMaxWidth(30);
    EXPECT_EQ(plain->GetWidth(), 30);
    EXPECT_EQ(counter.Resizes, 1);
    plain->SetWidth(100);
    EXPECT_EQ(plain->GetWidth(), 30);
    plain->GetConstraints()->SetMinHeight(50);
    EXPECT_EQ(plain->GetHeight(), 50);
    // OnResize can be detached and attached again.
    plain->OnResize = nullptr;
    plain->SetHeight(60);
    EXPECT_EQ(counter.Resizes, 2);
    plain->OnResize = TNotifyEvent(&counter, &TCounter::Resized);
    plain->SetHeight(70);
    EXPECT_EQ(counter.Resizes, 3);
}

TEST_F(WindowCore, ShowingFollowsVisibleAndParents) {
    std::vector<std::string> log;
    auto* panel = Add<TCtlPanel>("Panel", Form, 0, 0, 200, 150);
    auto* inner = Add<TCtlProbe>("Inner", panel, 5, 5, 40, 20);
    inner->Log = &log;
    EXPECT_FALSE(inner->HandleAllocated());  // nothing shows yet
    Form->Show();
    ASSERT_TRUE(inner->HandleAllocated());
    EXPECT_TRUE(inner->GetShowing());
    EXPECT_TRUE(IsWindowVisible(inner->GetHandle()));
    EXPECT_EQ(log, std::vector<std::string>{"Inner.showing"});

    // A parent's change reaches every windowed control it affects.
    panel->Hide();
    EXPECT_FALSE(inner->GetShowing());
    EXPECT_FALSE(IsWindowVisible(inner->GetHandle()));
    EXPECT_EQ(inner->Count(CM_VISIBLECHANGED), 0);
    panel->Show();
    EXPECT_TRUE(inner->GetShowing());
    EXPECT_TRUE(IsWindowVisible(inner->GetHandle()));
    EXPECT_EQ(log.size(), 3u);

    inner->Hide();
    EXPECT_EQ(inner->Count(CM_VISIBLECHANGED), 1);
    EXPECT_FALSE(IsWindowVisible(inner->GetHandle()));
    EXPECT_EQ(log.size(), 4u);
    // Hidden, it stays hidden when the parent comes back.
    panel->Hide();
    panel->Show();
    EXPECT_EQ(log.size(), 4u);
    EXPECT_FALSE(IsWindowVisible(inner->GetHandle()));
}

TEST_F(WindowCore, WindowsStackAsTheirControlsAndBindingsEndWithTheWindow) {
    auto* a = Add<TCtlPanel>("A", Form, 0, 0, 50, 50);
    auto* b = Add<TCtlPanel>("B", Form, 10, 10, 50, 50);
    auto* inner = Add<TCtlProbe>("Inner", b, 5, 5, 20, 20);
    auto* c = Add<TCtlPanel>("C", Form, 20, 20, 50, 50);
    Form->HandleNeeded();
    // A window of the form that no control owns, made before the controls'.
    HWND foreign = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, Form->GetHandle(), nullptr, nullptr, nullptr);
    ASSERT_TRUE(foreign);
    Form->Show();
    auto stack = [&] {
        std::vector<HWND> order;
        for (HWND w = GetWindow(Form->GetHandle(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) order.push_back(w);
        return order;
    };
    // The later control lies on top, above the foreign window too.
    EXPECT_EQ(stack(), (std::vector<HWND>{c->GetHandle(), b->GetHandle(), a->GetHandle(), foreign}));
    EXPECT_EQ(GetWindow(b->GetHandle(), GW_CHILD), inner->GetHandle());
    // A window made again goes back to its place.
    HWND old = b->GetHandle();
    b->RecreateWnd();
    ASSERT_NE(b->GetHandle(), old);
    EXPECT_EQ(stack(), (std::vector<HWND>{c->GetHandle(), b->GetHandle(), a->GetHandle(), foreign}));

    // A window destroyed behind its control's back takes its binding along,
    // as it takes its properties.
    HWND h = inner->GetHandle();
    EXPECT_EQ(FindControl(h), inner);
    DestroyWindow(h);
    EXPECT_EQ(FindControl(h), nullptr);
    EXPECT_FALSE(inner->HandleAllocated());
    EXPECT_EQ(FindControl(foreign), nullptr);
    DestroyWindow(foreign);
}

TEST_F(WindowCore, WindowsMadeInAHiddenParentAreMadeVisible) {
    auto* panel = Add<TCtlPanel>("Panel", Form, 0, 0, 200, 150);
    auto* inner = Add<TCtlProbe>("Inner", panel, 5, 5, 40, 20);
    auto* framed = Add<TCtlProbe>("Framed", panel, 50, 5, 40, 30);
    framed->SetBorderStyle(bsSingle);
    auto* hidden = Add<TCtlProbe>("Hidden", panel, 5, 40, 40, 20);
    hidden->SetVisible(false);
    Form->Show();
    ASSERT_TRUE(inner->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(inner->GetHandle()));
    EXPECT_TRUE(inner->GetShowing());
    // Made visible, the window needed no second frame calculation.
    EXPECT_EQ(inner->Count(WM_NCCALCSIZE), 1);
    EXPECT_EQ(inner->Count(CM_SHOWINGCHANGED), 1);
    RECT client{};
    GetClientRect(framed->GetHandle(), &client);
    EXPECT_EQ(client.right, 40 - 2 * GetSystemMetrics(SM_CXEDGE));
    EXPECT_FALSE(hidden->HandleAllocated() && IsWindowVisible(hidden->GetHandle()));
    EXPECT_FALSE(hidden->GetShowing());

    // Shown later in a visible form, a panel's own window is shown after
    // its children; hidden and shown again, each window is shown anew.
    auto* later = Add<TCtlPanel>("Later", Form, 0, 0, 100, 100);
    later->SetVisible(false);
    auto* child = Add<TCtlProbe>("Child", later, 5, 5, 40, 20);
    later->SetVisible(true);
    ASSERT_TRUE(child->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(later->GetHandle()));
    EXPECT_TRUE(IsWindowVisible(child->GetHandle()));
    later->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(child->GetHandle()));
    child->SetVisible(false);
    later->SetVisible(true);
    EXPECT_FALSE(GetWindowLongA(child->GetHandle(), GWL_STYLE) & WS_VISIBLE);
    child->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(child->GetHandle()));
}

TEST_F(WindowCore, FocusOrderAndDialogKeys) {
    TFocusLog events;
    auto* panel = Add<TCtlPanel>("Panel", Form, 0, 0, 200, 150);
    auto* a = Add<TCtlProbe>("A", panel, 5, 5, 40, 20);
    auto* b = Add<TCtlProbe>("B", Form, 5, 160, 40, 20);
    for (TWinControl* c : std::initializer_list<TWinControl*>{panel, a, b}) {
        c->OnEnter = TNotifyEvent(&events, &TFocusLog::Enter);
        c->OnExit = TNotifyEvent(&events, &TFocusLog::Exit);
    }
    Form->Show();
    a->SetFocus();
    ASSERT_EQ(GetFocus(), a->GetHandle());
    EXPECT_EQ(Screen->GetActiveControl(), a);
    EXPECT_EQ(Form->GetActiveControl(), a);
    events.Entries.clear();

    // The old chain exits (with the new control already active), then the
    // new one enters.
    b->SetFocus();
    ASSERT_EQ(GetFocus(), b->GetHandle());
    EXPECT_EQ(events.Entries,
              (std::vector<std::string>{"A.exit(active=B)", "Panel.exit(active=B)", "B.enter"}));
    EXPECT_EQ(Screen->GetActiveControl(), b);
    EXPECT_EQ(Screen->GetActiveForm(), Form);
    EXPECT_EQ(Form->GetActiveControl(), b);
    EXPECT_GE(b->Count(CM_FOCUSCHANGED), 1);

    // Tab is a dialog key unless the control wants it.
    events.Entries.clear();
    PostMessageA(b->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    PumpApplication(500, [&] { return GetFocus() != b->GetHandle(); });
    EXPECT_EQ(GetFocus(), a->GetHandle());
    EXPECT_EQ(events.Entries,
              (std::vector<std::string>{"B.exit(active=A)", "Panel.enter", "A.enter"}));
    a->WantsTab = true;
    a->OnKeyDown = TKeyEvent(&events, &TFocusLog::KeyDown);
    PostMessageA(a->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    PumpApplication(500, [&] { return events.Entries.size() > 3; });
    EXPECT_EQ(GetFocus(), a->GetHandle());
    EXPECT_EQ(events.Entries.back(), "A.key 9");

    // A hidden or disabled control cannot take the focus.
    b->SetEnabled(false);
    EXPECT_FALSE(b->CanFocus());
    EXPECT_THROW(Form->SetActiveControl(b), EInvalidOperation);
}

TEST_F(WindowCore, ShortcutsRunBeforeTheFocusedControl) {
    TFocusLog events;
    auto* probe = Add<TCtlProbe>("Probe", Form, 5, 5, 40, 20);
    probe->OnKeyDown = TKeyEvent(&events, &TFocusLog::KeyDown);
    Form->Show();
    probe->SetFocus();
    Form->HandledKey = VK_F5;
    struct THook : TObject {
        std::vector<uintptr_t> Keys;
        bool Swallow(TMessage& m) {
            if (m.Msg != CM_APPKEYDOWN) return false;
            Keys.push_back(m.WParam);
            if (m.WParam == VK_F7) {
                m.Result = 1;
                return true;
            }
            return false;
        }
    } hook;
    Application->HookMainWindow(TWindowHook(&hook, &THook::Swallow));

    PostMessageA(probe->GetHandle(), WM_KEYDOWN, VK_F5, 0);  // the form's shortcut
    PostMessageA(probe->GetHandle(), WM_KEYDOWN, VK_F7, 0);  // taken by the application hook
    PostMessageA(probe->GetHandle(), WM_KEYDOWN, VK_F6, 0);  // nobody's: the control's
    PumpApplication(500, [&] { return !events.Entries.empty(); });
    Application->UnhookMainWindow(TWindowHook(&hook, &THook::Swallow));

    EXPECT_EQ(Form->ShortCuts, (std::vector<uint16_t>{VK_F5, VK_F7, VK_F6}));
    EXPECT_EQ(hook.Keys, (std::vector<uintptr_t>{VK_F7, VK_F6}));
    EXPECT_EQ(events.Entries, std::vector<std::string>{"Probe.key 117"});

    // WM_SYSKEYUP is never turned into its CN_ number, which belongs to
    // other code; sent directly, that number has no meaning here.
    PostMessageA(probe->GetHandle(), WM_SYSKEYUP, VK_MENU, 0xC0000001);
    PumpApplication(200, [&] { return probe->Count(WM_SYSKEYUP) > 0; });
    EXPECT_EQ(probe->Count(WM_SYSKEYUP), 1);
    EXPECT_EQ(probe->Count(0xBD05), 0);
    EXPECT_EQ(SendMessageA(probe->GetHandle(), 0xBD05, 1, 2), 0);
}

TEST_F(WindowCore, KeyPressWritesBackOnlyChangedCharacters) {
    auto* probe = Add<TCtlProbe>("Probe", Form, 5, 5, 40, 20);
    struct TKeys : TObject {
        void Upper(TObject*, char& key) {
            if (key == 'a') key = 'A';
            if (key == 'x') key = 0;
        }
    } keys;
    probe->OnKeyPress = TKeyPressEvent(&keys, &TKeys::Upper);
    // A character beyond 8 bits in the high word: the handler sees 255 and
    // leaves it, so the whole WParam stays.
    probe->Perform(WM_CHAR, 0x12340000u | 0xFF, 1);
    probe->Perform(WM_CHAR, 'a', 1);
    probe->Perform(WM_CHAR, 'x', 1);  // swallowed
    EXPECT_EQ(probe->CharsAtDefault, (std::vector<uintptr_t>{0x123400FFu, 'A'}));
}

TEST_F(WindowCore, MouseRoutingToWindowlessControlsAndTheWheel) {
    auto* graphic = Add<TCtlGraphic>("Graphic", Form, 30, 40, 20, 10);
    Form->HandleNeeded();
    // The parent routes the mouse to the windowless child in its own
    // coordinates; a press and release inside is a click.
    Form->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(35, 45));
    Form->Perform(WM_LBUTTONUP, 0, MAKELONG(36, 46));
    EXPECT_EQ(graphic->Events, (std::vector<std::string>{"down 5,5", "click", "up 6,6"}));
    EXPECT_EQ(Form->ControlAtPos(Point(35, 45), false), graphic);
    EXPECT_EQ(Form->ControlAtPos(Point(5, 5), false), nullptr);
    // A double click is the left button's; the right button's second
    // press (a context menu asked for again) is a press only.
    graphic->Events.clear();
    Form->Perform(WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELONG(35, 45));
    Form->Perform(WM_RBUTTONUP, 0, MAKELONG(35, 45));
    Form->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELONG(35, 45));
    Form->Perform(WM_LBUTTONUP, 0, MAKELONG(35, 45));
    EXPECT_EQ(graphic->Events,
              (std::vector<std::string>{"down 5,5", "up 5,5", "double click", "down 5,5", "click", "up 5,5"}));

    // The wheel goes up the parents until one handles it.
    auto* panel = Add<TCtlPanel>("Panel", Form, 0, 0, 200, 150);
    auto* probe = Add<TCtlProbe>("Probe", panel, 5, 5, 40, 20);
    struct TWheel : TObject {
        std::vector<std::string> Calls;
        void Child(TObject*, TShiftState, int delta, TPoint, bool& handled) {
            Calls.push_back("child " + std::to_string(delta));
            handled = false;
        }
        void Parent(TObject*, TShiftState, int delta, TPoint, bool& handled) {
            Calls.push_back("panel " + std::to_string(delta));
            handled = true;
        }
        void Form(TObject*, TShiftState, int, TPoint, bool& handled) {
            Calls.push_back("form");
            handled = true;
        }
    } wheel;
    probe->OnMouseWheel = TMouseWheelEvent(&wheel, &TWheel::Child);
    panel->OnMouseWheel = TMouseWheelEvent(&wheel, &TWheel::Parent);
    Form->OnMouseWheel = TMouseWheelEvent(&wheel, &TWheel::Form);
    EXPECT_EQ(SendMessageA(probe->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0), 1);
    EXPECT_EQ(wheel.Calls, (std::vector<std::string>{"child -120", "panel -120"}));
}

TEST_F(WindowCore, PaintingRules) {
    Form->SetBounds(0, 0, 200, 100);
    auto* probe = Add<TCtlProbe>("Probe", Form, 10, 10, 60, 40);
    probe->PaintColor = clRed;
    auto* graphic = Add<TCtlGraphic>("Graphic", Form, 100, 20, 20, 10);
    graphic->PaintColor = clBlue;
    Form->SetColor(clYellow);
    Form->HandleNeeded();

    {
        // A DC in WParam is painted into: the form erases with its colour,
        // then paints its windowless children at their place.
        TScratchDC memory(200, 100);
        Form->Perform(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(memory.DC()), 0);
        Form->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(memory.DC()), 0);
        EXPECT_EQ(DcPixel(memory.DC(), 2, 2), 0x00FFFFu);    // clYellow
        EXPECT_EQ(DcPixel(memory.DC(), 105, 25), 0xFF0000u);  // clBlue at the child
        EXPECT_EQ(DcPixel(memory.DC(), 125, 25), 0x00FFFFu);
    }
    {
        // WM_PRINTCLIENT paints and leaves the DC's state as it was.
        TScratchDC memory(60, 40);
        HGDIOBJ font = GetCurrentObject(memory.DC(), OBJ_FONT);
        HGDIOBJ brush = GetCurrentObject(memory.DC(), OBJ_BRUSH);
        probe->Perform(WM_PRINTCLIENT, reinterpret_cast<uintptr_t>(memory.DC()), PRF_CLIENT);
        EXPECT_EQ(DcPixel(memory.DC(), 30, 20), 0x0000FFu);  // clRed
        EXPECT_EQ(GetCurrentObject(memory.DC(), OBJ_FONT), font);
        EXPECT_EQ(GetCurrentObject(memory.DC(), OBJ_BRUSH), brush);
    }
    {
        // An opaque control skips the erase.
        TScratchDC memory(60, 40);
        probe->SetColor(clWhite);
        probe->Perform(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(memory.DC()), 0);
        EXPECT_EQ(DcPixel(memory.DC(), 5, 5), 0xFFFFFFu);
        probe->SetControlStyle(probe->GetControlStyle() | TControlStyle{csOpaque});
        TScratchDC other(60, 40);
        probe->Perform(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(other.DC()), 0);
        EXPECT_EQ(DcPixel(other.DC(), 5, 5), 0u);
        probe->SetControlStyle(probe->GetControlStyle() - TControlStyle{csOpaque});
    }

    // Double buffering: the erase comes with WParam = LParam = the memory
    // DC, then WM_PAINT with the same DC, and the result reaches the screen.
    probe->SetDoubleBuffered(true);
    Form->Show();
    PumpApplication(100);
    probe->Seen.clear();
    struct TSpy : TObject {
        TWndMethod Old;
        std::vector<std::pair<uintptr_t, intptr_t>> Erases;
        std::vector<uintptr_t> Paints;
        void Proc(TMessage& m) {
            if (m.Msg == WM_ERASEBKGND) Erases.emplace_back(m.WParam, m.LParam);
            if (m.Msg == WM_PAINT) Paints.push_back(m.WParam);
            Old(m);
        }
    } spy;
    spy.Old = probe->GetWindowProc();
    probe->SetWindowProc(TWndMethod(&spy, &TSpy::Proc));
    RedrawWindow(probe->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    probe->SetWindowProc(spy.Old);
    ASSERT_EQ(spy.Paints.size(), 2u);  // the system's, then the buffered one
    EXPECT_EQ(spy.Paints[0], 0u);
    ASSERT_FALSE(spy.Erases.empty());
    auto buffered = spy.Erases.back();
    EXPECT_NE(buffered.first, 0u);
    EXPECT_EQ(buffered.first, static_cast<uintptr_t>(buffered.second));
    EXPECT_EQ(spy.Paints[1], buffered.first);
    for (auto& erase : spy.Erases) {
        if (erase.first != static_cast<uintptr_t>(erase.second)) {
            EXPECT_EQ(erase.second, 0);
        }
    }
    HDC window = GetDC(probe->GetHandle());
    EXPECT_EQ(DcPixel(window, 30, 20), 0x0000FFu);
    ReleaseDC(probe->GetHandle(), window);
}

TEST_F(WindowCore, FramesAndInheritedAppearance) {
    // Bevels and the border width take their room in the non-client area.
    auto* framed = Add<TCtlProbe>("Framed", Form, 0, 0, 100, 50);
    framed->SetBevelKind(bkTile);
    framed->SetBevelInner(bvRaised);
    framed->SetBevelOuter(bvLowered);
    framed->SetBevelWidth(2);
    framed->SetBorderWidth(3);
    framed->HandleNeeded();
    EXPECT_EQ(framed->GetClientRect(), Rect(0, 0, 86, 36));
    framed->SetBevelEdges(TBevelEdges{beLeft, beTop});
    EXPECT_EQ(framed->GetClientRect(), Rect(0, 0, 90, 40));
    {
        // The frame is painted with the edges and the control's colour.
        Form->Show();
        framed->SetColor(clYellow);
        RedrawWindow(framed->GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetWindowDC(framed->GetHandle());
        EXPECT_EQ(DcPixel(dc, 5, 20), 0x00FFFFu);  // the border width ring
        EXPECT_NE(DcPixel(dc, 0, 20), 0x00FFFFu);  // the outer edge line
        ReleaseDC(framed->GetHandle(), dc);
        // A scroll bar sits inside the frame, which leaves it alone.
        framed->SetBevelEdges(TBevelEdges{beLeft, beTop, beRight, beBottom});
        ShowScrollBar(framed->GetHandle(), SB_VERT, TRUE);
        RedrawWindow(framed->GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        dc = GetWindowDC(framed->GetHandle());
        const int bar = GetSystemMetrics(SM_CXVSCROLL);
        EXPECT_NE(DcPixel(dc, 100 - 7 - bar / 2, 25), 0x00FFFFu);  // the scroll bar
        EXPECT_EQ(DcPixel(dc, 100 - 7 + 1, 20), 0x00FFFFu);        // the ring beyond it
        EXPECT_NE(DcPixel(dc, 99, 20), 0x00FFFFu);                 // the outer edge line
        ReleaseDC(framed->GetHandle(), dc);
        ShowScrollBar(framed->GetHandle(), SB_VERT, FALSE);
    }
    // A single border is a client edge with Ctl3D, a thin line without.
    auto* bordered = Add<TCtlProbe>("Bordered", Form, 0, 60, 100, 50);
    bordered->SetBorderStyle(bsSingle);
    EXPECT_TRUE(GetWindowLongA(bordered->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    bordered->SetCtl3D(false);
    EXPECT_FALSE(GetWindowLongA(bordered->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLongA(bordered->GetHandle(), GWL_STYLE) & WS_BORDER);

    // Colour, font and ShowHint follow the parent while Parent* is on.
    auto* panel = Add<TCtlPanel>("Panel", Form, 120, 0, 100, 100);
    auto* child = Add<TCtlProbe>("Child", panel, 5, 5, 20, 20);
    auto* graphic = Add<TCtlGraphic>("Graphic", panel, 30, 5, 20, 20);
    panel->SetColor(clTeal);
    panel->GetFont()->SetHeight(-21);
    panel->SetShowHint(true);
    EXPECT_EQ(child->GetColor(), clTeal);
    EXPECT_TRUE(child->GetParentColor());
    EXPECT_EQ(graphic->GetColor(), clTeal);
    EXPECT_EQ(child->GetFont()->GetHeight(), -21);
    EXPECT_TRUE(child->GetParentFont());
    EXPECT_TRUE(graphic->GetShowHint());
    child->SetColor(clMaroon);
    EXPECT_FALSE(child->GetParentColor());
    panel->SetColor(clNavy);
    EXPECT_EQ(child->GetColor(), clMaroon);
    EXPECT_EQ(graphic->GetColor(), clNavy);
    child->SetParentColor(true);
    EXPECT_EQ(child->GetColor(), clNavy);
    // A windowed control erases with its colour.
    EXPECT_EQ(child->GetBrush()->GetColor(), clNavy);
}

TEST(WindowCoreHelpers, ScrollBarsWidenTheClientRectangleOnTheirSides) {
    // A window without a frame: its client area and scroll bars fill it.
    struct TCase {
        DWORD Style, ExStyle;
    };
    const TCase cases[] = {{0, 0},
                           {WS_VSCROLL, 0},
                           {WS_HSCROLL, 0},
                           {WS_VSCROLL | WS_HSCROLL, 0},
                           {WS_VSCROLL | WS_HSCROLL, WS_EX_LEFTSCROLLBAR}};
    for (const TCase& c : cases) {
        HWND wnd = CreateWindowExA(c.ExStyle, "STATIC", "", WS_POPUP | c.Style, 10, 20, 200, 150, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(wnd, nullptr);
        RECT client{};
        GetClientRect(wnd, &client);
        MapWindowPoints(wnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        AddScrollBarsToClientRect(wnd, client);
        EXPECT_EQ(client.left, 10) << c.Style << " " << c.ExStyle;
        EXPECT_EQ(client.top, 20) << c.Style;
        EXPECT_EQ(client.right, 210) << c.Style << " " << c.ExStyle;
        EXPECT_EQ(client.bottom, 170) << c.Style;
        DestroyWindow(wnd);
    }
}

// The shift state of the keyboard as the thread last saw it: each
// modifier and mouse button alone, and all together.
TEST(ShiftState, FollowsEachModifierAndButtonOfTheKeyboardState) {
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    const std::pair<int, TShiftStateItem> keys[] = {{VK_SHIFT, ssShift},  {VK_CONTROL, ssCtrl},
                                                    {VK_MENU, ssAlt},     {VK_LBUTTON, ssLeft},
                                                    {VK_RBUTTON, ssRight}, {VK_MBUTTON, ssMiddle}};
    BYTE all[256] = {};
    TShiftState everything;
    for (const auto& [vk, item] : keys) {
        BYTE state[256] = {};
        state[vk] = 0x80;
        state[VK_CAPITAL] = 0x01;   // toggled, not held: no part of the state
        SetKeyboardState(state);
        EXPECT_EQ(GetShiftState(), TShiftState{item}) << "key " << vk;
        all[vk] = 0x81;
        everything.Include(item);
    }
    SetKeyboardState(all);
    EXPECT_EQ(GetShiftState(), everything);
    BYTE none[256] = {};
    for (const auto& [vk, item] : keys) none[vk] = 0x01;   // toggled only
    SetKeyboardState(none);
    EXPECT_EQ(GetShiftState(), TShiftState{});
    SetKeyboardState(saved);
}
