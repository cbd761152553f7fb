// The ActiveX container: the site the hosted object talks to, in-place
// activation and teardown, keys through the message loop, and the web
// browser's commands with a bounded ready-state wait.
#include "gcl/OleCtrls.h"

#include <olectl.h>

#include <algorithm>

#include "gcl/Forms.h"
#include "gcl/rtl/Strings.h"

namespace gcl {

namespace {

// "Shell.Explorer".
constexpr TGUID WebBrowserClassID = StringToGUID("{8856F961-340A-11D0-A96B-00C04FD705A2}");

// The HTML document ("htmlfile"), which the web browser shows pages in.
constexpr TGUID HtmlDocumentClassID = StringToGUID("{25336920-03F9-11CF-8FD0-00805F2CB4A0}");

const CLSID& ToCLSID(const TGUID& guid) noexcept { return reinterpret_cast<const CLSID&>(guid); }

std::string ClassText(const CLSID& id) {
    return GUIDToString(reinterpret_cast<const TGUID&>(id));
}

// Handles the thread's pending messages.
void PumpPending() {
    if (Application) {
        Application->ProcessMessages();
        return;
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

// ---- The site ----------------------------------------------------------------------

using TOleControlSiteBase =
    TComObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame, IOleControlSite, IDispatch>;

// What the hosted object sees of its container. It forgets the control
// when the control goes (Detach); the object may hold it a little longer.
class TOleControlSite : public TOleControlSiteBase {
    GCL_CLASS(TOleControlSite, TOleControlSiteBase)
public:
    explicit TOleControlSite(TOleControl* owner) noexcept : FOwner(owner) {}
    void Detach() noexcept { FOwner = nullptr; }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (of both the site and the frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = FOwner && FOwner->HandleAllocated() ? FOwner->GetWindowHandle() : nullptr;
        return *window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return FOwner ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        return SafeCall([&] {
            if (frame) {
                *frame = static_cast<IOleInPlaceFrame*>(this);
                AddRef();
            }
            if (document) *document = nullptr;
            if (!FOwner || !FOwner->HandleAllocated()) return E_FAIL;
            RECT client{};
            ::GetClientRect(FOwner->GetWindowHandle(), &client);
            if (position) *position = client;
            if (clip) *clip = client;
            if (info) {
                TCustomForm* form = GetParentForm(FOwner);
                info->fMDIApp = FALSE;
                info->hwndFrame = form && form->HandleAllocated() ? form->GetHandle() : FOwner->GetWindowHandle();
                info->haccel = nullptr;
                info->cAccelEntries = 0;
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        if (FOwner) FOwner->SetActiveObject(nullptr);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override {
        return SafeCall([&] {
            if (FOwner) FOwner->UpdateObjectRects();
            return S_OK;
        });
    }

    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        return SafeCall([&] {
            if (FOwner) FOwner->SetActiveObject(object);
            return S_OK;
        });
    }

    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IOleControlSite
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** control) override {
        if (control) *control = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: the ambient properties.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        switch (id) {
        case DISPID_AMBIENT_USERMODE:
            VariantInit(result);
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
            return S_OK;
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_SHOWHATCHING:
            VariantInit(result);
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_FALSE;
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

protected:
    void* QueryExtra(REFIID iid) override {
        if (IsEqualIID(iid, IIDOf<IOleWindow>())) return static_cast<IOleInPlaceSite*>(this);
        if (IsEqualIID(iid, IIDOf<IOleInPlaceUIWindow>())) return static_cast<IOleInPlaceFrame*>(this);
        return nullptr;
    }

private:
    TOleControl* FOwner;
};
GCL_IMPLEMENT_CLASS(TOleControlSite)

// ---- TOleControl ------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TOleControl)
GCL_IMPLEMENT_CLASS(TOleContainer)

TOleControl::TOleControl(TComponent* owner, const CLSID& classID) : TWinControl(owner), FClassID(classID) {
    SetBounds(GetLeft(), GetTop(), 300, 150);
    SetTabStop(true);
}

TOleControl::~TOleControl() = default;

void TOleControl::BeforeDestruction() noexcept {
    DestroyControl();
    if (FSite) FSite->Detach();
    FSite.Reset();
    inherited::BeforeDestruction();
}

IOleObject* TOleControl::DefaultInterface() {
    if (!FOleObject) {
        if (!HandleAllocated() && FStatusText.empty()) HandleNeeded();
        if (!FOleObject)
            throw EOleError(FStatusText.empty()
                                ? Format(msg::OleControlNotCreated, {ClassText(FClassID), std::string("no window")})
                                : FStatusText);
    }
    return FOleObject.Get();
}

void TOleControl::SetStatusText(const std::string& value) {
    if (value == FStatusText) return;
    FStatusText = value;
    if (HandleAllocated()) InvalidateRect(GetWindowHandle(), nullptr, TRUE);
}

void TOleControl::CreateWnd() {
    inherited::CreateWnd();
    if (GetComponentState().Contains(csDesigning)) return;
    try {
        CreateControl();
        FStatusText.clear();
    } catch (const Exception& e) {
        DestroyControl();
        FStatusText = Format(msg::OleControlNotCreated, {ClassText(FClassID), e.GetMessage()});
    }
}

void TOleControl::DestroyWnd() {
    DestroyControl();
    inherited::DestroyWnd();
}

void TOleControl::CreateControl() {
    OleCheck(CoCreateInstance(FClassID, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IIDOf<IOleObject>(),
                              FOleObject.PutVoid()));
    if (!FSite) FSite = ComPtr<TOleControlSite>(TOleControlSite::Create(this));
    IOleClientSite* site = static_cast<IOleClientSite*>(FSite.Get());
    DWORD misc = 0;
    FOleObject->GetMiscStatus(DVASPECT_CONTENT, &misc);
    if (misc & OLEMISC_SETCLIENTSITEFIRST) OleCheck(FOleObject->SetClientSite(site));
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(FOleObject->QueryInterface(IIDOf<IPersistStreamInit>(), persist.PutVoid())) && persist)
        persist->InitNew();
    if (!(misc & OLEMISC_SETCLIENTSITEFIRST)) OleCheck(FOleObject->SetClientSite(site));
    RECT client{};
    ::GetClientRect(GetWindowHandle(), &client);
    OleCheck(FOleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, GetWindowHandle(), &client));
    FOleObject->QueryInterface(IIDOf<IOleInPlaceObject>(), FInPlaceObject.PutVoid());
    UpdateObjectRects();
}

void TOleControl::DestroyControl() noexcept {
    SetActiveObject(nullptr);
    if (FInPlaceObject) FInPlaceObject->InPlaceDeactivate();
    FInPlaceObject.Reset();
    if (FOleObject) {
        FOleObject->Close(OLECLOSE_NOSAVE);
        FOleObject->SetClientSite(nullptr);
    }
    FOleObject.Reset();
}

void TOleControl::UpdateObjectRects() {
    if (!FInPlaceObject || !HandleAllocated()) return;
    RECT client{};
    ::GetClientRect(GetWindowHandle(), &client);
    FInPlaceObject->SetObjectRects(&client, &client);
}

void TOleControl::SetActiveObject(IOleInPlaceActiveObject* object) {
    FActiveObject = ComPtr<IOleInPlaceActiveObject>(object);
    bool hook = FActiveObject.Get() != nullptr;
    if (!Application || hook == FLoopHooked) return;
    if (hook)
        Application->HookMessageLoop(TLoopHook(this, &TOleControl::TranslateKeys));
    else
        Application->UnhookMessageLoop(TLoopHook(this, &TOleControl::TranslateKeys));
    FLoopHooked = hook;
}

bool TOleControl::TranslateKeys(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !FActiveObject || !HandleAllocated()) return false;
    HWND window = GetWindowHandle();
    if (msg.hwnd != window && !IsChild(window, msg.hwnd)) return false;
    return FActiveObject->TranslateAccelerator(&msg) == S_OK;
}

void TOleControl::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_SIZE:
        inherited::Dispatch(message);
        UpdateObjectRects();
        return;
    case WM_SETFOCUS:
        inherited::Dispatch(message);
        if (FOleObject && FSite) {
            RECT client{};
            ::GetClientRect(GetWindowHandle(), &client);
            FOleObject->DoVerb(OLEIVERB_UIACTIVATE, nullptr, static_cast<IOleClientSite*>(FSite.Get()), 0,
                               GetWindowHandle(), &client);
        }
        return;
    case WM_ERASEBKGND:
        if (FOleObject && FStatusText.empty()) {
            message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    inherited::Dispatch(message);
}

void TOleControl::PaintWindow(HDC dc) {
    if (FOleObject && FStatusText.empty()) {
        inherited::PaintWindow(dc);
        return;
    }
    // In place of the object: why it is not there.
    RECT client{};
    ::GetClientRect(GetWindowHandle(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    InflateRect(&client, -8, -8);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ oldFont = SelectObject(dc, GetFont()->GetHandle());
    DrawTextA(dc, FStatusText.c_str(), static_cast<int>(FStatusText.size()), &client,
              DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

// ---- TWebBrowser -------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TWebBrowser)

TWebBrowser::TWebBrowser(TComponent* owner) : TOleControl(owner, ToCLSID(WebBrowserClassID)) {}

ComPtr<IWebBrowser2> TWebBrowser::GetBrowser() {
    ComPtr<IWebBrowser2> browser;
    OleCheck(DefaultInterface()->QueryInterface(IIDOf<IWebBrowser2>(), browser.PutVoid()));
    return browser;
}

void TWebBrowser::Navigate(const std::string& url) {
    TBStr address(AnsiToWide(url));
    OleCheck(GetBrowser()->Navigate(address.Get(), nullptr, nullptr, nullptr, nullptr));
}

READYSTATE TWebBrowser::GetReadyState() {
    if (!GetControlCreated()) return READYSTATE_UNINITIALIZED;
    ComPtr<IWebBrowser2> browser;
    if (FAILED(DefaultInterface()->QueryInterface(IIDOf<IWebBrowser2>(), browser.PutVoid())) || !browser)
        return READYSTATE_UNINITIALIZED;
    READYSTATE state = READYSTATE_UNINITIALIZED;
    if (FAILED(browser->get_ReadyState(&state))) return READYSTATE_UNINITIALIZED;
    return state;
}

bool TWebBrowser::WaitForReadyState(READYSTATE state, unsigned timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (GetReadyState() >= state) return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - elapsed, 50), QS_ALLINPUT);
        PumpPending();
    }
}

ComPtr<IDispatch> TWebBrowser::GetDocument() {
    ComPtr<IDispatch> document;
    if (!GetControlCreated()) return document;
    ComPtr<IWebBrowser2> browser = GetBrowser();
    if (FAILED(browser->get_Document(document.Put()))) document.Reset();
    return document;
}

void TWebBrowser::LoadDocumentFromStream(IStream* stream) {
    ComPtr<IDispatch> document = GetDocument();
    if (!document) throw EOleError(msg::BrowserNoDocument);
    ComPtr<IPersistStreamInit> persist;
    OleCheck(document->QueryInterface(IIDOf<IPersistStreamInit>(), persist.PutVoid()));
    OleCheck(persist->Load(stream));
}

bool TWebBrowser::LoadDocumentText(const std::string& html, unsigned timeoutMs) {
    if (!GetControlCreated()) return false;
    try {
        Navigate("about:blank");
        if (!WaitForReadyState(READYSTATE_INTERACTIVE, timeoutMs)) {
            SetStatusText(Format(msg::BrowserNotReady, {static_cast<int>(timeoutMs)}));
            return false;
        }
        ComPtr<IStream> stream;
        OleCheck(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
        ULONG written = 0;
        OleCheck(stream->Write(html.data(), static_cast<ULONG>(html.size()), &written));
        LARGE_INTEGER zero{};
        OleCheck(stream->Seek(zero, STREAM_SEEK_SET, nullptr));
        LoadDocumentFromStream(stream.Get());
    } catch (const Exception& e) {
        SetStatusText(e.GetMessage());
        return false;
    }
    SetStatusText(std::string());
    return true;
}

void TWebBrowser::ExecWB(OLECMDID command, OLECMDEXECOPT option) {
    OleCheck(GetBrowser()->ExecWB(command, option, nullptr, nullptr));
}

bool HtmlEngineRegistered() {
    static const bool registered = [] {
        // The server is loaded here as the browser would load it; a class
        // that is registered but whose library cannot load counts as none.
        const HRESULT init = CoInitialize(nullptr);
        ComPtr<IClassFactory> factory;
        const HRESULT hr = CoGetClassObject(ToCLSID(HtmlDocumentClassID), CLSCTX_INPROC_SERVER, nullptr,
                                            IID_IClassFactory, factory.PutVoid());
        factory.Reset();
        if (SUCCEEDED(init)) CoUninitialize();
        return SUCCEEDED(hr);
    }();
    return registered;
}

} // namespace gcl
