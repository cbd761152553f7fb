// Seam conformance: a small wide-text trap, built the way a Unicode layer
// wraps the library's controls, around an edit, a check list box and a
// tree view. It proves that the library leaves room for such a layer:
//   - creation: a virtual CreateWindowHandle, the creation-control global,
//     the exported window procedure, AttachControlToWindow, a settable
//     DefWndProc called through CallWindowProcA, a replaceable and
//     comparable WindowProc, virtual CreateWnd/DestroyWnd;
//   - texts through WM_GETTEXT/WM_SETTEXT, CM_TEXTCHANGED, the WM_CHAR
//     write-back rule, WM_NOTIFYFORMAT through WindowProc;
//   - the edit's raw PasswordChar setter;
//   - the list box's item hooks, moving flag, overridable LB_GETTEXT and
//     the check list box's split drawing;
//   - the tree view's callback texts, TVM_SORTCHILDRENCB with the stable
//     default compare, an overridable CN_NOTIFY with ANSI codes, CanEdit,
//     OnCancelEdit, CreateNode/CreateNodes and the reading flag.
// The trap lives in this file only.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gcl/CheckLst.h"
#include "gcl/ComCtrls.h"
#include "gcl/Forms.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/Strings.h"
#include "support/ApplicationTest.h"

using namespace gcl;
using qelvo::test::PumpApplication;

namespace {


// ---- The trap ----------------------------------------------------------------------

struct TTrap;

// What a trapped control offers the trap.
class ITrapClient {
public:
    virtual TTrap& Trap() = 0;
    virtual TWinControl* TrapControl() = 0;
    virtual void TrapSetHandle(HWND handle) = 0;

protected:
    ~ITrapClient() = default;
};

std::map<HWND, TTrap*>& Traps() {
    static std::map<HWND, TTrap*> traps;
    return traps;
}

LRESULT CALLBACK TrapWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TrapDefProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Subclasses one control's Unicode window: the window's procedure becomes
// TrapWindowProc (which calls the library's own), the control's DefWndProc
// becomes TrapDefProc (which calls the class's wide procedure), and the
// control's WindowProc gets Filter in front.
struct TTrap {
    TWinControl* Control = nullptr;
    HWND Handle = nullptr;
    WNDPROC WindowProcBefore = nullptr;
    WNDPROC OldDefWndProc = nullptr;
    TWndMethod OldWindowProc;
    UINT LastMessage = 0;  // the last message that came through the window
    int Nesting = 0;
    std::wstring Companion;  // the wide text while there is no window
    bool HasCompanion = false;
    std::vector<UINT> Forwarded;  // library text messages re-sent as ANSI

    TWndMethod FilterMethod() { return TWndMethod(this, &TTrap::Filter); }

    void Subclass(HWND handle) {
        Handle = handle;
        Traps()[handle] = this;
        WindowProcBefore = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle, GWLP_WNDPROC));
        OldDefWndProc = Control->GetDefWndProc();
        SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrapWindowProc));
        Control->SetDefWndProc(&TrapDefProc);
        if (!(Control->GetWindowProc() == FilterMethod())) {
            OldWindowProc = Control->GetWindowProc();
            Control->SetWindowProc(FilterMethod());
        }
    }

    void Unsubclass() {
        if (!Handle) return;
        if (!Control->GetComponentState().Contains(csDestroying)) {
            wchar_t buffer[512] = {};
            auto length = CallWindowProcW(OldDefWndProc, Handle, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
            Companion.assign(buffer, static_cast<size_t>(length));
            HasCompanion = true;
        }
        if (Control->GetWindowProc() == FilterMethod()) Control->SetWindowProc(OldWindowProc);
        Control->SetDefWndProc(OldDefWndProc);
        SetWindowLongPtrW(Handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProcBefore));
        Traps().erase(Handle);
        Handle = nullptr;
    }

    void Filter(TMessage& m) {
        if (!Control->HandleAllocated()) {
            OldWindowProc(m);
            return;
        }
        switch (m.Msg) {
        case WM_SETTEXT:
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            if (LastMessage == m.Msg) {
                LastMessage = 0;
                OldWindowProc(m);
            } else {
                // The library's own: through the window, converted.
                Forwarded.push_back(m.Msg);
                m.Result = SendMessageA(Handle, m.Msg, m.WParam, m.LParam);
            }
            return;
        case WM_CHAR:
            LastMessage = 0;
            // A character beyond 8 bits rides in the high word; the library
            // sees 255.
            if (m.WParam > 255) m.WParam = (m.WParam << 16) | 255;
            OldWindowProc(m);
            return;
        default:
            LastMessage = 0;
            OldWindowProc(m);
            return;
        }
    }
};

LRESULT CALLBACK TrapWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto it = Traps().find(hwnd);
    if (it == Traps().end()) return DefWindowProcW(hwnd, msg, wParam, lParam);
    TTrap* trap = it->second;
    WNDPROC main = trap->WindowProcBefore;
    ++trap->Nesting;
    trap->LastMessage = msg;
    LRESULT result = 0;
    GCL_GUARD(nullptr, result = CallWindowProcW(main, hwnd, msg, wParam, lParam););
    --trap->Nesting;
    return result;
}

LRESULT CALLBACK TrapDefProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto it = Traps().find(hwnd);
    if (it == Traps().end()) return DefWindowProcW(hwnd, msg, wParam, lParam);
    TTrap* trap = it->second;
    WNDPROC old = trap->OldDefWndProc;
    switch (msg) {
    case WM_NOTIFYFORMAT:
        if (lParam == NF_QUERY) return IsWindowUnicode(reinterpret_cast<HWND>(wParam)) ? NFR_UNICODE : NFR_ANSI;
        break;
    case WM_CHAR:
        if ((wParam & 0xFFFF) == 255 && (wParam >> 16) != 0) wParam >>= 16;
        break;
    case WM_DESTROY:
        trap->Unsubclass();
        break;
    default:
        break;
    }
    return CallWindowProcW(old, hwnd, msg, wParam, lParam);
}

// The first procedure of the wide windows.
LRESULT CALLBACK InitWndProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* client = dynamic_cast<ITrapClient*>(CreationControl);
    if (!client) return DefWindowProcW(hwnd, msg, wParam, lParam);
    TWinControl* control = CreationControl;
    CreationControl = nullptr;
    client->TrapSetHandle(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GclWindowProc));
    AttachControlToWindow(hwnd, control);
    return GclWindowProc(hwnd, msg, wParam, lParam);
}

// Creates the control's window from a wide class named after its own.
void CreateWideWindowHandle(ITrapClient* client, const TCreateParams& params, const wchar_t* subClass) {
    TWinControl* control = client->TrapControl();
    WNDCLASSW cls{};
    control->SetDefWndProc(subClass && GetClassInfoW(nullptr, subClass, &cls) ? cls.lpfnWndProc : &DefWindowProcW);
    std::wstring name = AnsiToWide(params.WinClassName) + L".UnicodeClass";
    HINSTANCE instance = params.WindowClass.hInstance;
    WNDCLASSW existing{};
    bool registered = GetClassInfoW(instance, name.c_str(), &existing) != 0;
    if (!registered || existing.lpfnWndProc != &InitWndProcW) {
        if (registered) UnregisterClassW(name.c_str(), instance);
        WNDCLASSW wc{};
        wc.style = params.WindowClass.style;
        wc.cbClsExtra = params.WindowClass.cbClsExtra;
        wc.cbWndExtra = params.WindowClass.cbWndExtra;
        wc.hIcon = params.WindowClass.hIcon;
        wc.hCursor = params.WindowClass.hCursor;
        wc.hbrBackground = params.WindowClass.hbrBackground;
        wc.hInstance = instance;
        wc.lpfnWndProc = &InitWndProcW;
        wc.lpszClassName = name.c_str();
        if (!RegisterClassW(&wc)) throw EOSError("RegisterClassW", GetLastError());
    }
    CreationControl = control;
    HWND handle = CreateWindowExW(params.ExStyle, name.c_str(), nullptr, params.Style, params.X, params.Y,
                                  params.Width, params.Height, params.WndParent, nullptr, instance, params.Param);
    if (!handle) throw EOSError("CreateWindowExW", GetLastError());
    client->TrapSetHandle(handle);
    // Subclass, then give the window its wide text.
    TTrap& trap = client->Trap();
    trap.Control = control;
    trap.Subclass(handle);
    std::wstring text = trap.HasCompanion ? trap.Companion : AnsiToWide(params.Caption ? params.Caption : "");
    SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring WindowTextW(HWND h) {
    wchar_t buffer[256] = {};
    GetWindowTextW(h, buffer, 256);
    return buffer;
}

// ---- Trapped controls ------------------------------------------------------------

class TTrapEdit : public TEdit, public ITrapClient {
    GCL_CLASS(TTrapEdit, TEdit)
public:
    TTrap TrapObject;
    int TextChanges = 0;
    std::vector<unsigned> KeysSeen;

    TTrap& Trap() override { return TrapObject; }
    TWinControl* TrapControl() override { return this; }
    void TrapSetHandle(HWND handle) override { SetWindowHandle(handle); }
    using TCustomEdit::SetPasswordCharRaw;

    void Dispatch(TMessage& message) override {
        if (message.Msg == CM_TEXTCHANGED) ++TextChanges;
        inherited::Dispatch(message);
    }

protected:
    explicit TTrapEdit(TComponent* owner) : TEdit(owner) { TrapObject.Control = this; }
    void CreateWindowHandle(const TCreateParams& params) override { CreateWideWindowHandle(this, params, L"EDIT"); }
    void KeyPress(char& key) override {
        KeysSeen.push_back(static_cast<unsigned char>(key));
        if (key == 'a') key = 'b';
        inherited::KeyPress(key);
    }
};
GCL_IMPLEMENT_CLASS(TTrapEdit)

class TTrapCheckList : public TCheckListBox, public ITrapClient {
    GCL_CLASS(TTrapCheckList, TCheckListBox)
public:
    TTrap TrapObject;
    std::vector<std::wstring> VirtualTexts;
    std::vector<std::pair<std::wstring, TRect>> DrawnTexts;

    TTrap& Trap() override { return TrapObject; }
    TWinControl* TrapControl() override { return this; }
    void TrapSetHandle(HWND handle) override { SetWindowHandle(handle); }

    std::wstring WideItem(int index) {
        HWND h = GetHandle();
        auto length = SendMessageW(h, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length < 0) return L"<error>";
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(h, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        return text;
    }
    int AddWide(const std::wstring& s) {
        return static_cast<int>(SendMessageW(GetHandle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str())));
    }
    // The way a wide item list moves an item: out and in again with its
    // data, under the moving flag.
    void MoveWide(int curIndex, int newIndex) {
        SetMoving(true);
        std::wstring text = WideItem(curIndex);
        TObject* data = GetItemData(curIndex);
        SendMessageW(GetHandle(), LB_DELETESTRING, static_cast<WPARAM>(curIndex), 0);
        auto index = SendMessageW(GetHandle(), LB_INSERTSTRING, static_cast<WPARAM>(newIndex),
                                  reinterpret_cast<LPARAM>(text.c_str()));
        SetItemData(static_cast<int>(index), data);
        SetMoving(false);
    }

    void Dispatch(TMessage& message) override {
        // A virtual list answers its texts itself, wide.
        if (IsVirtual() && !VirtualTexts.empty() && (message.Msg == LB_GETTEXT || message.Msg == LB_GETTEXTLEN)) {
            auto index = static_cast<size_t>(message.WParam);
            if (index >= VirtualTexts.size()) {
                message.Result = LB_ERR;
                return;
            }
            const std::wstring& text = VirtualTexts[index];
            if (message.Msg == LB_GETTEXT)
                std::memcpy(reinterpret_cast<wchar_t*>(message.LParam), text.c_str(), (text.size() + 1) * 2);
            message.Result = static_cast<intptr_t>(text.size());
            return;
        }
        inherited::Dispatch(message);
    }

protected:
    explicit TTrapCheckList(TComponent* owner) : TCheckListBox(owner) { TrapObject.Control = this; }
    void CreateWindowHandle(const TCreateParams& params) override { CreateWideWindowHandle(this, params, L"LISTBOX"); }

    // The wide items and their states are kept across re-creation by the
    // descendant itself, around the library's own saving.
    void DestroyWnd() override {
        if (HandleAllocated() && !IsVirtual()) {
            FSaved.clear();
            for (int i = 0; i < GetCount(); ++i)
                FSaved.push_back({WideItem(i), GetState(i), GetItemEnabled(i), GetHeader(i)});
        }
        inherited::DestroyWnd();
    }
    void CreateWnd() override {
        inherited::CreateWnd();
        if (FSaved.empty()) return;
        SendMessageW(GetHandle(), LB_RESETCONTENT, 0, 0);
        for (size_t i = 0; i < FSaved.size(); ++i) {
            AddWide(FSaved[i].Text);
            SetState(static_cast<int>(i), FSaved[i].State);
            SetItemEnabled(static_cast<int>(i), FSaved[i].Enabled);
            SetHeader(static_cast<int>(i), FSaved[i].Header);
        }
        FSaved.clear();
    }
    // The check part is the library's; the text is drawn wide.
    void DrawItemText(int index, TRect rect, TOwnerDrawState) override {
        std::wstring text = WideItem(index);
        DrawnTexts.emplace_back(text, rect);
        GetCanvas()->FillRect(rect);
        GetCanvas()->RequiredState({csHandleValid, csFontValid, csBrushValid});
        RECT r = ToRECT(rect);
        r.left += 2;
        DrawTextW(GetCanvas()->GetHandle(), text.c_str(), -1, &r, DrawTextBiDiModeFlags(2084));
    }

private:
    struct TSavedItem {
        std::wstring Text;
        TCheckBoxState State;
        bool Enabled;
        bool Header;
    };
    std::vector<TSavedItem> FSaved;
};
GCL_IMPLEMENT_CLASS(TTrapCheckList)

class TTrapNode : public TTreeNode {
    GCL_CLASS(TTrapNode, TTreeNode)
public:
    explicit TTrapNode(TTreeNodes* owner) : TTreeNode(owner) {}
    std::wstring WideText;
    void SetWide(const std::wstring& value) {
        WideText = value;
        SetText(WideToAnsi(value));
    }
};
GCL_IMPLEMENT_CLASS(TTrapNode)

class TTrapNodes : public TTreeNodes {
    GCL_CLASS(TTrapNodes, TTreeNodes)
public:
    explicit TTrapNodes(TCustomTreeView* owner) : TTreeNodes(owner) {}
};
GCL_IMPLEMENT_CLASS(TTrapNodes)

class TTrapTree : public TTreeView, public ITrapClient {
    GCL_CLASS(TTrapTree, TTreeView)
public:
    TTrap TrapObject;
    PFNTVCOMPARE Captured = nullptr;
    std::vector<std::string> Log;
    std::vector<bool> ReadingWhenAdded;

    TTrap& Trap() override { return TrapObject; }
    TWinControl* TrapControl() override { return this; }
    void TrapSetHandle(HWND handle) override { SetWindowHandle(handle); }

    static int CALLBACK WideCompare(LPARAM a, LPARAM b, LPARAM) {
        return lstrcmpW(reinterpret_cast<TTrapNode*>(a)->WideText.c_str(),
                        reinterpret_cast<TTrapNode*>(b)->WideText.c_str());
    }

    // Sorting: the library's default compare is captured once and then
    // replaced by the wide one.
    void WndProc(TMessage& message) override {
        if (message.Msg == TVM_SORTCHILDRENCB) {
            auto* sort = reinterpret_cast<TVSORTCB*>(message.LParam);
            if (FCapturing) {
                Captured = sort->lpfnCompare;
                message.Result = 1;
                return;
            }
            if (Captured && sort->lpfnCompare == Captured) {
                TVSORTCB wide = *sort;
                wide.lpfnCompare = &WideCompare;
                message.Result = SendMessageW(GetWindowHandle(), TVM_SORTCHILDRENCB, message.WParam,
                                              reinterpret_cast<LPARAM>(&wide));
                Log.push_back("wide sort");
                return;
            }
        }
        inherited::WndProc(message);
    }

protected:
    explicit TTrapTree(TComponent* owner) : TTreeView(owner) { TrapObject.Control = this; }

    TTreeNode* CreateNode() override { return new TTrapNode(GetItems()); }
    TTreeNodes* CreateNodes() override { return new TTrapNodes(this); }
    void Added(TTreeNode* node) override {
        ReadingWhenAdded.push_back(GetItems()->GetReading());
        inherited::Added(node);
    }
    void CreateWindowHandle(const TCreateParams& params) override {
        CreateWideWindowHandle(this, params, L"SysTreeView32");
        Perform(CCM_SETUNICODEFORMAT, 1);
    }
    void CreateWnd() override {
        inherited::CreateWnd();
        if (!Captured) {
            FCapturing = true;
            AlphaSort(false);
            FCapturing = false;
        }
    }

    static TVITEMA AsAnsiItem(const TVITEMW& item) {
        TVITEMA a;
        static_assert(sizeof a == sizeof item);
        std::memcpy(&a, &item, sizeof a);
        return a;
    }

    // Wide codes: text-bearing ones handled here, the others passed on
    // under their ANSI codes.
    void CNNotify(TMessage& message) override {
        auto* header = reinterpret_cast<NMHDR*>(message.LParam);
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(message.LParam);
        switch (header->code) {
        case TVN_GETDISPINFOW: {
            auto* node = static_cast<TTrapNode*>(NodeFromItem(AsAnsiItem(info->item)));
            if (!node) return;
            TVITEMW& item = info->item;
            if ((item.mask & TVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
                std::wstring text = node->WideText.empty() ? AnsiToWide(node->GetText()) : node->WideText;
                lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
            }
            if (item.mask & TVIF_IMAGE) {
                GetImageIndex(node);
                item.iImage = node->GetImageIndex();
            }
            if (item.mask & TVIF_SELECTEDIMAGE) {
                GetSelectedIndex(node);
                item.iSelectedImage = node->GetSelectedIndex();
            }
            return;
        }
        case TVN_BEGINLABELEDITW: {
            TTreeNode* node = NodeFromItem(AsAnsiItem(info->item));
            message.Result = CanEdit(node) ? 0 : 1;
            FEditing = message.Result == 0;
            Log.push_back(std::string("begin ") + (FEditing ? "allowed" : "refused"));
            return;
        }
        case TVN_ENDLABELEDITW: {
            if (!FEditing) return;
            FEditing = false;
            auto* node = static_cast<TTrapNode*>(NodeFromItem(AsAnsiItem(info->item)));
            if (info->item.pszText)
                node->SetWide(info->item.pszText);
            else if (OnCancelEdit)
                OnCancelEdit(this, node);
            return;
        }
        case TVN_DELETEITEMW:
        case TVN_BEGINDRAGW:
        case TVN_ITEMEXPANDEDW:
        case TVN_ITEMEXPANDINGW: {
            UINT code = header->code;
            header->code = code == TVN_DELETEITEMW     ? TVN_DELETEITEMA
                           : code == TVN_BEGINDRAGW    ? TVN_BEGINDRAGA
                           : code == TVN_ITEMEXPANDEDW ? TVN_ITEMEXPANDEDA
                                                       : TVN_ITEMEXPANDINGA;
            Log.push_back("mapped " + std::to_string(static_cast<int>(code)));
            inherited::CNNotify(message);
            header->code = code;
            return;
        }
        default:
            inherited::CNNotify(message);
            return;
        }
    }

private:
    bool FCapturing = false;
    bool FEditing = false;
};
GCL_IMPLEMENT_CLASS(TTrapTree)

class TSeamForm : public TForm {
    GCL_CLASS(TSeamForm, TForm)
protected:
    explicit TSeamForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsNone);
        SetBounds(50, 50, 400, 300);
    }
};
GCL_IMPLEMENT_CLASS(TSeamForm)

class Seams : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FormsUnit.Initialize(); }
    static void TearDownTestSuite() { FormsUnit.Finalize(); }
    void SetUp() override { Form = TSeamForm::Create(nullptr); }
    void TearDown() override {
        FreeAndNil(Form);
        PumpApplication(20);
        EXPECT_TRUE(Traps().empty());
    }
    TSeamForm* Form = nullptr;
};

// Events of the tests, by name.
struct TEvents : TObject {
    std::vector<std::string> Seen;
    void Change(TObject*) { Seen.push_back("change"); }
    void NodeChange(TObject*, TTreeNode* node) { Seen.push_back("change " + (node ? node->GetText() : "nil")); }
    void Expanding(TObject*, TTreeNode* node, bool&) { Seen.push_back("expanding " + node->GetText()); }
    void Expanded(TObject*, TTreeNode* node) { Seen.push_back("expanded " + node->GetText()); }
    void Editing(TObject*, TTreeNode* node, bool&) { Seen.push_back("editing " + node->GetText()); }
    void Cancel(TObject*, TTreeNode* node) { Seen.push_back("cancel " + node->GetText()); }
    void Deletion(TObject*, TTreeNode* node) { Seen.push_back("delete " + node->GetText()); }
};

} // namespace

TEST_F(Seams, TrappedEditKeepsWideTextAndTheLibrarysAnsiView) {
    auto* edit = TTrapEdit::Create(Form);
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(Form);
    edit->SetText("plain start");
    TEvents events;
    edit->OnChange = TNotifyEvent(&events, &TEvents::Change);
    const TWndMethod original = edit->GetWindowProc();

    // The window is wide, bound to the control, subclassed by the trap.
    HWND h = edit->GetHandle();
    EXPECT_TRUE(IsWindowUnicode(h));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC)), &TrapWindowProc);
    EXPECT_EQ(edit->Trap().WindowProcBefore, &GclWindowProc);
    EXPECT_EQ(edit->GetDefWndProc(), &TrapDefProc);
    EXPECT_TRUE(edit->GetWindowProc() == edit->Trap().FilterMethod());
    EXPECT_TRUE(edit->Trap().OldWindowProc == original);
    EXPECT_EQ(FindControl(h), edit);
    EXPECT_EQ(GetWindowLongA(h, GWL_ID), static_cast<LONG>(reinterpret_cast<uintptr_t>(h)));
    EXPECT_EQ(CreationControl, nullptr);
    EXPECT_EQ(WindowTextW(h), L"plain start");

    // Wide text stays in the window; the library reads its ANSI form
    // through the window (WM_GETTEXT re-sent as ANSI).
    SetWindowTextW(h, L"\x03A9mega caf\x00E9");
    edit->Trap().Forwarded.clear();
    EXPECT_EQ(edit->GetText(), WideToAnsi(L"\x03A9mega caf\x00E9"));
    EXPECT_NE(std::find(edit->Trap().Forwarded.begin(), edit->Trap().Forwarded.end(), WM_GETTEXT),
              edit->Trap().Forwarded.end());
    // A library write arrives wide and ends in CM_TEXTCHANGED and OnChange.
    events.Seen.clear();
    edit->TextChanges = 0;
    edit->SetText("caf\xE9 au lait");
    EXPECT_EQ(WindowTextW(h), L"caf\x00E9 au lait");
    EXPECT_EQ(edit->TextChanges, 1);
    EXPECT_EQ(events.Seen, std::vector<std::string>{"change"});

    // WM_CHAR: a character beyond 8 bits is 255 for the key events and
    // reaches the window whole; a changed character is written back.
    SendMessageW(h, EM_SETSEL, 0, -1);
    SendMessageW(h, WM_CHAR, 0x03A9, 1);
    SendMessageW(h, WM_CHAR, 'a', 1);
    EXPECT_EQ(edit->KeysSeen, (std::vector<unsigned>{255, 'a'}));
    EXPECT_EQ(WindowTextW(h), L"\x03A9" L"b");

    // The raw PasswordChar setter leaves the window to the caller.
    edit->SetPasswordCharRaw('*');
    SendMessageW(h, EM_SETPASSWORDCHAR, 0x25CF, 0);
    EXPECT_EQ(edit->GetPasswordChar(), '*');
    EXPECT_EQ(SendMessageW(h, EM_GETPASSWORDCHAR, 0, 0), 0x25CF);
    SendMessageW(h, EM_SETPASSWORDCHAR, 0, 0);

    // WM_NOTIFYFORMAT passes WindowProc and DefaultHandler like any other.
    EXPECT_EQ(SendMessageW(h, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(h), NF_QUERY), NFR_UNICODE);
    EXPECT_EQ(SendMessageW(h, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(Form->GetHandle()), NF_QUERY), NFR_ANSI);

    // Re-creation: the trap lets go on WM_DESTROY (keeping the wide text)
    // and takes the next window; the text has no ANSI form and survives.
    SetWindowTextW(h, L"\x03A9\x0416");
    edit->RecreateWnd();
    HWND second = edit->GetHandle();
    EXPECT_NE(second, h);
    EXPECT_TRUE(IsWindowUnicode(second));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(second, GWLP_WNDPROC)), &TrapWindowProc);
    EXPECT_EQ(WindowTextW(second), L"\x03A9\x0416");
    EXPECT_TRUE(edit->GetWindowProc() == edit->Trap().FilterMethod());
    EXPECT_TRUE(edit->Trap().OldWindowProc == original);
}

TEST_F(Seams, TrappedCheckListBoxKeepsWideItemsAndStates) {
    auto* list = TTrapCheckList::Create(Form);
    list->SetBounds(10, 10, 200, 150);
    list->SetParent(Form);
    HWND h = list->GetHandle();
    EXPECT_TRUE(IsWindowUnicode(h));
    // Wide items added by the wide layer pass the item hooks: states exist.
    for (const wchar_t* s : {L"\x03A9ne", L"Two", L"\x0416hree"}) list->AddWide(s);
    EXPECT_EQ(list->GetCount(), 3);
    list->SetChecked(0, true);
    list->SetState(1, cbGrayed);
    list->SetItemEnabled(2, false);
    // The library's ANSI view of the items, converted by the system.
    EXPECT_EQ(list->GetItems()->Get(1), "Two");
    EXPECT_EQ(list->GetItems()->Get(0), WideToAnsi(L"\x03A9ne"));
    EXPECT_EQ(list->GetItems()->IndexOf("TWO"), 1);

    // Moving under the moving flag carries the state.
    list->MoveWide(0, 2);
    EXPECT_EQ(list->WideItem(2), L"\x03A9ne");
    EXPECT_TRUE(list->GetChecked(2));
    EXPECT_EQ(list->GetState(0), cbGrayed);
    EXPECT_FALSE(list->GetItemEnabled(1));

    // Re-creation: wide texts and states come back.
    list->RecreateWnd();
    ASSERT_NE(list->GetHandle(), h);
    EXPECT_EQ(list->WideItem(0), L"Two");
    EXPECT_EQ(list->WideItem(1), L"\x0416hree");
    EXPECT_EQ(list->WideItem(2), L"\x03A9ne");
    EXPECT_EQ(list->GetState(0), cbGrayed);
    EXPECT_FALSE(list->GetItemEnabled(1));
    EXPECT_TRUE(list->GetChecked(2));

    // Split drawing: the library draws the check part, the descendant the
    // wide text in what is left.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 20);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_LISTBOX;
    item.itemID = 2;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = list->GetHandle();
    item.hDC = dc;
    item.rcItem = RECT{0, 0, 200, 20};
    list->Perform(CN_DRAWITEM, 0, reinterpret_cast<intptr_t>(&item));
    ASSERT_EQ(list->DrawnTexts.size(), 1u);
    EXPECT_EQ(list->DrawnTexts[0].first, L"\x03A9ne");
    EXPECT_EQ(list->DrawnTexts[0].second.Left, list->GetCheckWidth());
    COLORREF back = ColorToRGB(clWindow) & 0xFFFFFF;
    int marks = 0;
    for (int y = 2; y < 18; ++y)
        for (int x = 0; x < list->GetCheckWidth(); ++x) marks += (GetPixel(dc, x, y) & 0xFFFFFF) != back;
    EXPECT_GT(marks, 12);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);

    // A virtual list: without an answer LB_GETTEXTLEN is LB_ERR; a
    // descendant answers LB_GETTEXT/LB_GETTEXTLEN in its message handling.
    list->SetStyle(lbVirtual);
    list->SetCount(3);
    EXPECT_EQ(SendMessageW(list->GetHandle(), LB_GETTEXTLEN, 1, 0), LB_ERR);
    list->VirtualTexts = {L"\x03A9", L"virtual two", L"three"};
    EXPECT_EQ(SendMessageW(list->GetHandle(), LB_GETTEXTLEN, 1, 0), 11);
    EXPECT_EQ(list->WideItem(0), L"\x03A9");
    EXPECT_EQ(SendMessageW(list->GetHandle(), LB_GETTEXTLEN, 3, 0), LB_ERR);
}

TEST_F(Seams, TrappedTreeViewSortsEditsAndNotifiesWide) {
    auto* tree = TTrapTree::Create(Form);
    tree->SetBounds(10, 10, 200, 200);
    tree->SetParent(Form);
    TEvents events;
    tree->OnChange = TTVChangedEvent(&events, &TEvents::NodeChange);
    tree->OnExpanding = TTVExpandingEvent(&events, &TEvents::Expanding);
    tree->OnExpanded = TTVExpandedEvent(&events, &TEvents::Expanded);
    tree->OnEditing = TTVEditingEvent(&events, &TEvents::Editing);
    tree->OnCancelEdit = TTVChangedEvent(&events, &TEvents::Cancel);
    tree->OnDeletion = TTVExpandedEvent(&events, &TEvents::Deletion);

    // The descendant's node classes are used.
    TTreeNodes* nodes = tree->GetItems();
    EXPECT_NE(dynamic_cast<TTrapNodes*>(nodes), nullptr);
    auto add = [&](TTreeNode* parent, const std::wstring& text) {
        auto* node = static_cast<TTrapNode*>(nodes->AddChild(parent, ""));
        node->SetWide(text);
        return node;
    };
    TTrapNode* zhe = add(nullptr, L"\x0416" L"a");
    TTrapNode* de = add(nullptr, L"\x0414" L"a");
    TTrapNode* latin = add(nullptr, L"Bc");
    TTrapNode* child = add(zhe, L"child");
    EXPECT_NE(dynamic_cast<TTrapNode*>(nodes->GetItem(0)), nullptr);

    // The wide window; the default compare was captured by address.
    Form->Show();
    HWND h = tree->GetHandle();
    EXPECT_TRUE(IsWindowUnicode(h));
    EXPECT_EQ(SendMessageW(h, CCM_GETUNICODEFORMAT, 0, 0), 1);
    EXPECT_EQ(tree->Captured, &DefaultTreeViewSort);
    auto windowText = [&](TTreeNode* node) {
        wchar_t buffer[128] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = node->GetItemId();
        item.pszText = buffer;
        item.cchTextMax = 128;
        SendMessageW(h, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return std::wstring(item.pszText ? item.pszText : L"");
    };
    // Callback texts answered wide.
    EXPECT_EQ(windowText(zhe), L"\x0416" L"a");
    EXPECT_EQ(zhe->GetText(), de->GetText());  // both "?a" in ANSI

    // Sorting: replaced by the wide compare; the nodes follow the window.
    tree->AlphaSort(false);
    EXPECT_EQ(tree->Log.back(), "wide sort");
    EXPECT_EQ(nodes->GetFirstNode(), latin);
    EXPECT_EQ(latin->GetNextSibling(), de);
    EXPECT_EQ(de->GetNextSibling(), zhe);

    // Notifications in wide codes: selection reaches OnChange, expansion
    // is mapped onto the ANSI codes.
    tree->SetSelected(zhe);
    EXPECT_EQ(events.Seen.back(), "change " + zhe->GetText());
    events.Seen.clear();
    SendMessageW(h, WM_KEYDOWN, VK_ADD, 0);
    EXPECT_TRUE(zhe->GetExpanded());
    EXPECT_EQ(events.Seen, (std::vector<std::string>{"expanding " + zhe->GetText(), "expanded " + zhe->GetText()}));

    // Label editing: CanEdit asks OnEditing, the wide end sets the wide
    // text, a cancel reaches OnCancelEdit.
    ASSERT_TRUE(de->EditText());
    EXPECT_EQ(tree->Log.back(), "begin allowed");
    SetWindowTextW(tree->GetEditHandle(), L"\x03A9mega");
    de->EndEdit(false);
    EXPECT_EQ(de->WideText, L"\x03A9mega");
    EXPECT_EQ(windowText(de), L"\x03A9mega");
    ASSERT_TRUE(de->EditText());
    de->EndEdit(true);
    EXPECT_EQ(events.Seen.back(), "cancel " + de->GetText());

    // Re-creation keeps the nodes, so their wide texts stay.
    tree->RecreateWnd();
    h = tree->GetHandle();
    EXPECT_EQ(windowText(de), L"\x03A9mega");
    EXPECT_EQ(windowText(child), L"child");

    // The node stream is read under the reading flag.
    TMemoryStream stream;
    nodes->WriteData(stream);
    auto* copy = TTrapTree::Create(Form);
    copy->SetParent(Form);
    copy->ReadingWhenAdded.clear();
    stream.SetPosition(0);
    copy->GetItems()->ReadData(stream);
    EXPECT_EQ(copy->GetItems()->GetCount(), 4);
    EXPECT_EQ(copy->ReadingWhenAdded, std::vector<bool>(4, true));
    EXPECT_FALSE(copy->GetItems()->GetReading());

    // Deleting reaches OnDeletion once per node.
    events.Seen.clear();
    zhe->Delete();
    EXPECT_EQ(events.Seen.size() >= 2 ? std::vector<std::string>(events.Seen.begin(), events.Seen.begin() + 2)
                                      : events.Seen,
              (std::vector<std::string>{"delete child", "delete " + WideToAnsi(L"\x0416" L"a")}));
}
