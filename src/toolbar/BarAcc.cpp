// Accessibility: the oleacc and NotifyWinEvent bindings, the list of live
// objects, the view and viewer objects, and the deferred select that an
// accessibility client's default action queues.
#include "toolbar/BarItem.h"
#include "toolbar/BarCommon.h"

#include "gcl/Forms.h"
#include "gcl/rtl/Libraries.h"

namespace qelvo {

using gcl::TPoint;
using gcl::TRect;

namespace {

gcl::TSystemLibrary OleAccLib{"oleacc.dll"};
gcl::TLibraryProc<LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN)> LresultFromObjectProc{OleAccLib,
                                                                                      "LresultFromObject"};
gcl::TLibraryProc<HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**)> AccessibleObjectFromWindowProc{
    OleAccLib, "AccessibleObjectFromWindow"};
gcl::TLibraryProc<void(WINAPI*)(DWORD, HWND, LONG, LONG)> NotifyWinEventProc{BarUser32Library, "NotifyWinEvent"};

CRITICAL_SECTION GLiveLock;
bool GLiveLockMade = false;
TBarCustomAccObject* GLiveHead = nullptr;

std::wstring Widen(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return S_OK;
}

HRESULT NoText(BSTR* out) {
    if (out) *out = nullptr;
    return S_FALSE;
}

bool IsSelf(const VARIANT& v) noexcept { return v.vt == VT_I4 && v.lVal == CHILDID_SELF; }

void SetI4(VARIANT* v, LONG value) noexcept {
    VariantInit(v);
    v->vt = VT_I4;
    v->lVal = value;
}

void SetDispatch(VARIANT* v, IDispatch* disp) noexcept {
    VariantInit(v);
    v->vt = VT_DISPATCH;
    v->pdispVal = disp;   // the caller's reference
}

IDispatch* AddRefDispatch(TBarCustomAccObject* obj) {
    if (!obj) return nullptr;
    obj->AddRef();
    return obj;
}

HWND ViewHandle(TBarView* view) {
    gcl::TWinControl* w = view ? view->GetWindow() : nullptr;
    return w && w->HandleAllocated() ? w->GetHandle() : nullptr;
}

// The view's window is shown, enabled and in use (its menu loop runs, or
// it is the active window or inside it).
bool Reachable(TBarView* view) {
    gcl::TWinControl* w = view->GetWindow();
    if (!w || w->GetComponentState().Contains(gcl::csDesigning)) return false;
    HWND wnd = ViewHandle(view);
    if (!wnd || !IsWindowVisible(wnd)) return false;
    for (HWND h = wnd; h; h = GetParent(h))
        if (!IsWindowEnabled(h)) return false;
    if (view->GetState() & vsModal) return true;
    HWND active = GetActiveWindow();
    return active && (active == wnd || IsChild(active, wnd));
}

bool Actionable(TBarItemViewer* viewer) {
    TBarCustomItem* item = viewer->GetItem();
    return viewer->AccPresent() && item->GetEnabled() && item->HasStyle(tbisSelectable) &&
           Reachable(viewer->GetView());
}

std::vector<TBarItemViewer*> AccessibleViewers(TBarView* view) {
    std::vector<TBarItemViewer*> list;
    for (int i = 0; i < view->GetViewerCount(); ++i)
        if (view->GetViewers(i)->AccPresent()) list.push_back(view->GetViewers(i));
    return list;
}

TRect ScreenRectOfView(TBarView* view, TRect r) {
    if (HWND wnd = ViewHandle(view)) MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HRESULT ReturnLocation(const TRect& r, long* x, long* y, long* w, long* h) {
    if (!x || !y || !w || !h) return E_INVALIDARG;
    *x = r.Left;
    *y = r.Top;
    *w = r.Width();
    *h = r.Height();
    return S_OK;
}

} // namespace

bool BindAccessibilityLibrary() {
    return LresultFromObjectProc.Get() != nullptr && AccessibleObjectFromWindowProc.Get() != nullptr;
}

void CallNotifyWinEvent(DWORD Event, HWND Wnd, LONG ObjectId, LONG ChildId) {
    if (auto notify = NotifyWinEventProc.Get()) notify(Event, Wnd, ObjectId, ChildId);
}

bool WindowAccObject(HWND Wnd, IDispatch** Disp) {
    *Disp = nullptr;
    if (!BindAccessibilityLibrary()) return false;
    return SUCCEEDED(AccessibleObjectFromWindowProc.Get()(Wnd, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                                          reinterpret_cast<void**>(Disp))) &&
           *Disp;
}

std::wstring AltKeyName() {
    wchar_t name[256] = {};
    const LONG scan = static_cast<LONG>(MapVirtualKeyA(VK_MENU, 0)) << 16;
    if (GetKeyNameTextW(scan, name, 256) > 0) return name;
    return L"Alt";
}

void DisconnectAllAccObjects() noexcept {
    if (!GLiveLockMade) return;
    EnterCriticalSection(&GLiveLock);
    for (TBarCustomAccObject* o = GLiveHead; o; o = o->FNext)
        CoDisconnectObject(static_cast<IAccessible*>(o), 0);
    LeaveCriticalSection(&GLiveLock);
}

// ---- The common part --------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBarCustomAccObject)

TBarCustomAccObject::TBarCustomAccObject() {
    if (!GLiveLockMade) return;
    EnterCriticalSection(&GLiveLock);
    FNext = GLiveHead;
    if (GLiveHead) GLiveHead->FPrev = this;
    GLiveHead = this;
    LeaveCriticalSection(&GLiveLock);
}

TBarCustomAccObject::~TBarCustomAccObject() {
    if (!GLiveLockMade) return;
    EnterCriticalSection(&GLiveLock);
    if (FPrev) FPrev->FNext = FNext;
    else if (GLiveHead == this) GLiveHead = FNext;
    if (FNext) FNext->FPrev = FPrev;
    LeaveCriticalSection(&GLiveLock);
}

void* TBarCustomAccObject::QueryExtra(REFIID iid) {
    if (IsEqualIID(iid, IID_IDispatch)) return static_cast<IDispatch*>(this);
    return nullptr;
}

HRESULT TBarCustomAccObject::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
HRESULT TBarCustomAccObject::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT TBarCustomAccObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT TBarCustomAccObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}
HRESULT TBarCustomAccObject::get_accDescription(VARIANT, BSTR* out) { return NoText(out); }
HRESULT TBarCustomAccObject::get_accHelp(VARIANT, BSTR* out) { return NoText(out); }
HRESULT TBarCustomAccObject::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (topic) *topic = 0;
    return NoText(file);
}
HRESULT TBarCustomAccObject::get_accSelection(VARIANT* out) {
    if (out) VariantInit(out);
    return S_FALSE;
}
HRESULT TBarCustomAccObject::put_accName(VARIANT, BSTR) { return S_FALSE; }
HRESULT TBarCustomAccObject::put_accValue(VARIANT, BSTR) { return S_FALSE; }

// ---- The view's object ------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBarViewAccObject)

TBarViewAccObject::~TBarViewAccObject() {
    if (FView) FView->ForgetAccObject(this);
}

// Every method checks the client and the child argument first.
#define GCL_ACC_VIEW_BODY(child, ...)                                   \
    return gcl::SafeCall([&]() -> HRESULT {                              \
        if (!FView) return E_FAIL;                                       \
        if (!IsSelf(child)) return E_INVALIDARG;                         \
        __VA_ARGS__                                                      \
    })

HRESULT TBarViewAccObject::get_accParent(IDispatch** out) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!FView) return E_FAIL;
        if (!out) return E_INVALIDARG;
        *out = nullptr;
        TBarView* parent = FView->GetParentView();
        if (parent && parent->GetOpenViewer()) {
            *out = AddRefDispatch(parent->GetOpenViewer()->GetAccObject());
            return *out ? S_OK : E_UNEXPECTED;
        }
        return WindowAccObject(ViewHandle(FView), out) ? S_OK : E_UNEXPECTED;
    });
}

HRESULT TBarViewAccObject::get_accChildCount(long* out) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!FView) return E_FAIL;
        if (!out) return E_INVALIDARG;
        *out = static_cast<long>(AccessibleViewers(FView).size());
        return S_OK;
    });
}

HRESULT TBarViewAccObject::get_accChild(VARIANT child, IDispatch** out) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!FView) return E_FAIL;
        if (!out || child.vt != VT_I4) return E_INVALIDARG;
        *out = nullptr;
        if (child.lVal == 0) {
            *out = AddRefDispatch(this);
            return S_OK;
        }
        const std::vector<TBarItemViewer*> list = AccessibleViewers(FView);
        if (child.lVal < 1 || child.lVal > static_cast<LONG>(list.size())) return E_INVALIDARG;
        TBarItemViewer* viewer = list[static_cast<size_t>(child.lVal - 1)];
        if (auto* ci = dynamic_cast<TBarControlItem*>(viewer->GetItem())) {
            auto* wc = dynamic_cast<gcl::TWinControl*>(ci->GetControl());
            if (wc && wc->HandleAllocated()) return WindowAccObject(wc->GetHandle(), out) ? S_OK : E_UNEXPECTED;
        }
        *out = AddRefDispatch(viewer->GetAccObject());
        return *out ? S_OK : E_UNEXPECTED;
    });
}

HRESULT TBarViewAccObject::get_accName(VARIANT child, BSTR* out) {
    GCL_ACC_VIEW_BODY(child, {
        std::string name;
        if (TBarView* parent = FView->GetParentView(); parent && parent->GetOpenViewer())
            name = RemoveAccelMarks(parent->GetOpenViewer()->GetCaptionText());
        if (name.empty()) {
            if (HWND wnd = ViewHandle(FView)) {
                char text[256] = {};
                GetWindowTextA(wnd, text, sizeof text);
                name = text;
            }
        }
        return ReturnText(Widen(name), out);
    });
}

HRESULT TBarViewAccObject::get_accValue(VARIANT child, BSTR* out) { GCL_ACC_VIEW_BODY(child, return NoText(out);); }

HRESULT TBarViewAccObject::get_accRole(VARIANT child, VARIANT* out) {
    GCL_ACC_VIEW_BODY(child, {
        if (!out) return E_INVALIDARG;
        SetI4(out, FView->GetIsPopup()                 ? ROLE_SYSTEM_MENUPOPUP
                   : (FView->GetStyle() & vsMenuBar) ? ROLE_SYSTEM_MENUBAR
                                                       : ROLE_SYSTEM_TOOLBAR);
        return S_OK;
    });
}

HRESULT TBarViewAccObject::get_accState(VARIANT child, VARIANT* out) {
    GCL_ACC_VIEW_BODY(child, {
        if (!out) return E_INVALIDARG;
        SetI4(out, 0);
        return S_OK;
    });
}

HRESULT TBarViewAccObject::get_accKeyboardShortcut(VARIANT child, BSTR* out) {
    GCL_ACC_VIEW_BODY(child, {
        if (FView->GetStyle() & vsMenuBar) return ReturnText(AltKeyName(), out);
        return NoText(out);
    });
}

HRESULT TBarViewAccObject::get_accFocus(VARIANT* out) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!FView) return E_FAIL;
        if (out) VariantInit(out);
        return S_FALSE;
    });
}

HRESULT TBarViewAccObject::get_accDefaultAction(VARIANT child, BSTR* out) {
    GCL_ACC_VIEW_BODY(child, return NoText(out););
}

HRESULT TBarViewAccObject::accSelect(long, VARIANT child) {
    GCL_ACC_VIEW_BODY(child, return DISP_E_MEMBERNOTFOUND;);
}

HRESULT TBarViewAccObject::accLocation(long* x, long* y, long* w, long* h, VARIANT child) {
    GCL_ACC_VIEW_BODY(child, {
        RECT r{};
        GetWindowRect(ViewHandle(FView), &r);
        return ReturnLocation(TRect{r.left, r.top, r.right, r.bottom}, x, y, w, h);
    });
}

HRESULT TBarViewAccObject::accNavigate(long dir, VARIANT start, VARIANT* out) {
    GCL_ACC_VIEW_BODY(start, {
        if (!out) return E_INVALIDARG;
        VariantInit(out);
        const std::vector<TBarItemViewer*> list = AccessibleViewers(FView);
        if (list.empty() || (dir != NAVDIR_FIRSTCHILD && dir != NAVDIR_LASTCHILD)) return S_FALSE;
        TBarItemViewer* v = dir == NAVDIR_FIRSTCHILD ? list.front() : list.back();
        SetDispatch(out, AddRefDispatch(v->GetAccObject()));
        return S_OK;
    });
}

HRESULT TBarViewAccObject::accHitTest(long x, long y, VARIANT* out) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!FView) return E_FAIL;
        if (!out) return E_INVALIDARG;
        VariantInit(out);
        HWND wnd = ViewHandle(FView);
        RECT wr{};
        GetWindowRect(wnd, &wr);
        POINT p{x, y};
        if (!wnd || !PtInRect(&wr, p)) return S_FALSE;
        POINT cp = p;
        ScreenToClient(wnd, &cp);
        HWND child = ChildWindowFromPointEx(wnd, cp, CWP_SKIPINVISIBLE);
        if (child && child != wnd) {
            IDispatch* disp = nullptr;
            if (!WindowAccObject(child, &disp)) return E_UNEXPECTED;
            SetDispatch(out, disp);
            return S_OK;
        }
        if (TBarItemViewer* v = FView->ViewerFromPoint(TPoint{cp.x, cp.y})) {
            SetDispatch(out, AddRefDispatch(v->GetAccObject()));
            return S_OK;
        }
        SetI4(out, CHILDID_SELF);
        return S_OK;
    });
}

HRESULT TBarViewAccObject::accDoDefaultAction(VARIANT child) { GCL_ACC_VIEW_BODY(child, return S_FALSE;); }

// ---- A viewer's object ------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBarItemViewerAccObject)

TBarItemViewerAccObject::~TBarItemViewerAccObject() {
    if (FViewer) FViewer->ForgetAccObject(this);
}

#define GCL_ACC_VIEWER_BODY(child, ...)                                 \
    return gcl::SafeCall([&]() -> HRESULT {                              \
        if (!FViewer) return E_FAIL;                                     \
        if (!IsSelf(child)) return E_INVALIDARG;                         \
        TBarView* view = FViewer->GetView();                             \
        (void)view;                                                      \
        __VA_ARGS__                                                      \
    })

HRESULT TBarItemViewerAccObject::get_accParent(IDispatch** out) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!FViewer) return E_FAIL;
        if (!out) return E_INVALIDARG;
        *out = AddRefDispatch(FViewer->GetView()->GetAccObject());
        return *out ? S_OK : E_UNEXPECTED;
    });
}

HRESULT TBarItemViewerAccObject::get_accChildCount(long* out) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!FViewer) return E_FAIL;
        if (!out) return E_INVALIDARG;
        *out = FViewer->GetView()->GetOpenViewer() == FViewer && FViewer->GetView()->GetOpenChildView() ? 1 : 0;
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::get_accChild(VARIANT child, IDispatch** out) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!FViewer) return E_FAIL;
        if (!out || child.vt != VT_I4) return E_INVALIDARG;
        *out = nullptr;
        TBarView* view = FViewer->GetView();
        if (child.lVal == 0) {
            *out = AddRefDispatch(this);
            return S_OK;
        }
        if (child.lVal == 1 && view->GetOpenViewer() == FViewer && view->GetOpenChildView()) {
            *out = AddRefDispatch(view->GetOpenChildView()->GetAccObject());
            return *out ? S_OK : E_UNEXPECTED;
        }
        return E_INVALIDARG;
    });
}

HRESULT TBarItemViewerAccObject::get_accName(VARIANT child, BSTR* out) {
    GCL_ACC_VIEWER_BODY(child, {
        std::string name = RemoveAccelMarks(FViewer->GetCaptionText());
        if (!FViewer->IsToolbarStyle()) {
            const std::string shortcut = FViewer->GetItem()->GetShortCutText();
            if (!shortcut.empty()) name += "\t" + shortcut;
        }
        return ReturnText(Widen(name), out);
    });
}

HRESULT TBarItemViewerAccObject::get_accValue(VARIANT child, BSTR* out) {
    GCL_ACC_VIEWER_BODY(child, {
        std::wstring value;
        if (FViewer->GetAccValue(value)) return ReturnText(value, out);
        ReturnText(std::wstring(), out);
        return S_FALSE;
    });
}

HRESULT TBarItemViewerAccObject::get_accRole(VARIANT child, VARIANT* out) {
    GCL_ACC_VIEWER_BODY(child, {
        if (!out) return E_INVALIDARG;
        SetI4(out, FViewer->GetAccRole());
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::get_accState(VARIANT child, VARIANT* out) {
    GCL_ACC_VIEWER_BODY(child, {
        if (!out) return E_INVALIDARG;
        TBarCustomItem* item = FViewer->GetItem();
        LONG state = 0;
        if (view->GetSelected() == FViewer) {
            state |= STATE_SYSTEM_HOTTRACKED;
            if (view->GetState() & vsModal) state |= STATE_SYSTEM_FOCUSED;
            if (view->GetMouseOverSelected() && view->GetCapture()) state |= STATE_SYSTEM_PRESSED;
        }
        if (item->HasStyle(tbisSubmenu)) state |= STATE_SYSTEM_HASPOPUP;
        if (!FViewer->Show && !FViewer->Clipped) state |= STATE_SYSTEM_INVISIBLE;
        else if (Reachable(view)) state |= STATE_SYSTEM_FOCUSABLE;
        if (!item->GetEnabled() || !item->HasStyle(tbisSelectable)) state |= STATE_SYSTEM_UNAVAILABLE;
        if (item->GetChecked()) state |= STATE_SYSTEM_CHECKED;
        SetI4(out, state);
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::get_accKeyboardShortcut(VARIANT child, BSTR* out) {
    GCL_ACC_VIEWER_BODY(child, {
        const char accel = FViewer->CaptionShown() ? AcceleratorOf(FViewer->GetCaptionText()) : '\0';
        if (accel == '\0') return NoText(out);
        char lower[2] = {accel, '\0'};
        CharLowerBuffA(lower, 1);
        std::wstring text = Widen(lower);
        if (!view->GetIsPopup()) text = AltKeyName() + L"+" + text;
        return ReturnText(text, out);
    });
}

HRESULT TBarItemViewerAccObject::get_accFocus(VARIANT* out) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!FViewer) return E_FAIL;
        if (!out) return E_INVALIDARG;
        VariantInit(out);
        TBarView* view = FViewer->GetView();
        if ((view->GetState() & vsModal) && view->GetSelected() == FViewer) {
            SetI4(out, CHILDID_SELF);
            return S_OK;
        }
        return S_FALSE;
    });
}

HRESULT TBarItemViewerAccObject::get_accDefaultAction(VARIANT child, BSTR* out) {
    GCL_ACC_VIEWER_BODY(child, {
        if (!Actionable(FViewer)) return NoText(out);
        if (view->GetOpenViewer() == FViewer) return ReturnText(L"Close", out);
        if (FViewer->GetItem()->HasStyle(tbisSubmenu)) return ReturnText(L"Open", out);
        if (view->GetIsPopup() || (view->GetStyle() & vsMenuBar)) return ReturnText(L"Execute", out);
        return ReturnText(L"Press", out);
    });
}

HRESULT TBarItemViewerAccObject::accSelect(long flags, VARIANT child) {
    GCL_ACC_VIEWER_BODY(child, {
        if (flags != SELFLAG_TAKEFOCUS) return E_INVALIDARG;
        if (!Reachable(view) || (!FViewer->Show && !FViewer->Clipped)) return E_FAIL;
        view->Select(FViewer, false);
        view->ScrollSelectedIntoView();
        if (!(view->GetState() & vsModal) && !view->GetParentView()) FViewer->QueueAccSelect(false);
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::accLocation(long* x, long* y, long* w, long* h, VARIANT child) {
    GCL_ACC_VIEWER_BODY(child, return ReturnLocation(ScreenRectOfView(view, FViewer->BoundsRect), x, y, w, h););
}

HRESULT TBarItemViewerAccObject::accNavigate(long dir, VARIANT start, VARIANT* out) {
    GCL_ACC_VIEWER_BODY(start, {
        if (!out) return E_INVALIDARG;
        VariantInit(out);
        TBarItemViewer* found = nullptr;
        switch (dir) {
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD:
            if (view->GetOpenViewer() == FViewer && view->GetOpenChildView()) {
                SetDispatch(out, AddRefDispatch(view->GetOpenChildView()->GetAccObject()));
                return S_OK;
            }
            return S_FALSE;
        case NAVDIR_UP:
        case NAVDIR_LEFT:
        case NAVDIR_PREVIOUS:
            for (int i = view->IndexOf(FViewer) - 1; i >= 0 && !found; --i)
                if (view->GetViewers(i)->AccPresent()) found = view->GetViewers(i);
            break;
        case NAVDIR_DOWN:
        case NAVDIR_RIGHT:
        case NAVDIR_NEXT:
            for (int i = view->IndexOf(FViewer) + 1; i < view->GetViewerCount() && !found; ++i)
                if (view->GetViewers(i)->AccPresent()) found = view->GetViewers(i);
            break;
        default: break;
        }
        if (!found) return S_FALSE;
        SetDispatch(out, AddRefDispatch(found->GetAccObject()));
        return S_OK;
    });
}

HRESULT TBarItemViewerAccObject::accHitTest(long x, long y, VARIANT* out) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!FViewer) return E_FAIL;
        if (!out) return E_INVALIDARG;
        VariantInit(out);
        POINT p{x, y};
        if (HWND wnd = ViewHandle(FViewer->GetView())) ScreenToClient(wnd, &p);
        const TRect& r = FViewer->BoundsRect;
        if (p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom) {
            SetI4(out, CHILDID_SELF);
            return S_OK;
        }
        return S_FALSE;
    });
}

HRESULT TBarItemViewerAccObject::accDoDefaultAction(VARIANT child) {
    GCL_ACC_VIEWER_BODY(child, {
        if (!Actionable(FViewer)) return E_FAIL;
        if (view->GetOpenViewer() == FViewer) {
            view->CancelChildPopups();
            if ((view->GetState() & vsModal) && !view->GetIsPopup()) view->EndModal();
        } else {
            view->Select(FViewer, false);
            view->ScrollSelectedIntoView();
            FViewer->QueueAccSelect(true);
        }
        return S_OK;
    });
}

// ---- The clients' side ------------------------------------------------------------------

TBarViewAccObject* TBarView::GetAccObject() {
    if (!FAccObject && BindAccessibilityLibrary()) {
        FAccObject = TBarViewAccObject::Create(this);
        FAccObject->AddRef();
    }
    return FAccObject;
}

void TBarView::ForgetAccObject(TBarViewAccObject* Object) noexcept {
    if (FAccObject == Object) FAccObject = nullptr;
}

void TBarView::ReleaseAccObject() noexcept {
    if (TBarViewAccObject* obj = FAccObject) {
        FAccObject = nullptr;
        obj->DetachClient();
        obj->Release();
    }
}

bool TBarView::HandleWMGetObject(gcl::TMessage& Message) {
    if (static_cast<LONG>(Message.LParam) != OBJID_CLIENT || !BindAccessibilityLibrary()) return false;
    TBarViewAccObject* obj = GetAccObject();
    if (!obj) return false;
    Message.Result = LresultFromObjectProc.Get()(__uuidof(IAccessible), Message.WParam, static_cast<IAccessible*>(obj));
    return true;
}

TBarItemViewerAccObject* TBarItemViewer::GetAccObject() {
    if (!FAccObject && BindAccessibilityLibrary()) {
        FAccObject = TBarItemViewerAccObject::Create(this);
        FAccObject->AddRef();
    }
    return FAccObject;
}

void TBarItemViewer::ForgetAccObject(TBarItemViewerAccObject* Object) noexcept {
    if (FAccObject == Object) FAccObject = nullptr;
}

void TBarItemViewer::ReleaseAccObject() noexcept {
    if (TBarItemViewerAccObject* obj = FAccObject) {
        FAccObject = nullptr;
        obj->DetachClient();
        obj->Release();
    }
}

void TBarItemViewer::RunAccSelect(bool AExecute) {
    if (AExecute ? !Actionable(this) : !Reachable(FView)) return;
    FView->Select(this, false);
    FView->ScrollSelectedIntoView();
    if (FView->GetState() & vsModal) {
        if (AExecute) FView->ExecuteSelected(false);
    } else if (!FView->GetParentView() && !GetCapture()) {
        FView->RunToolbarMenu(AExecute ? (tbrmExecuteSelected | tbrmFromAccessibility) : tbrmFromAccessibility);
    }
}

// ---- The unit ---------------------------------------------------------------------------

namespace {
void InitBarAcc() {
    InitializeCriticalSection(&GLiveLock);
    GLiveLockMade = true;
}
void FinalizeBarAcc() {
    DisconnectAllAccObjects();
    GLiveLockMade = false;
    DeleteCriticalSection(&GLiveLock);
}
} // namespace

gcl::TUnit BarAccUnit{"BarAcc", &InitBarAcc, &FinalizeBarAcc};

} // namespace qelvo
