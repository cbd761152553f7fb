// COM helpers and ActiveX hosting: OLE errors, SafeCall, the automation
// value owners, the QueryInterface table of TComObject, the message-loop
// hook, an unknown control class, and the web browser under a system that
// may have no HTML engine (Wine's test prefix has none).
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <string>

#include "gcl/ComObj.h"
#include "gcl/Forms.h"
#include "gcl/OleCtrls.h"
#include "gcl/rtl/Strings.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"

using namespace gcl;
using qelvo::test::PumpApplication;

namespace {

// Two system interfaces and a base interface answered through QueryExtra.
using TTestSiteBase = TComObject<IOleClientSite, IOleInPlaceSite>;
class TTestSite : public TTestSiteBase {
    GCL_CLASS(TTestSite, TTestSiteBase)
public:
    static int Freed;
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame**, IOleInPlaceUIWindow**, LPRECT, LPRECT,
                                               LPOLEINPLACEFRAMEINFO) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

protected:
    TTestSite() = default;
    ~TTestSite() override { ++Freed; }
    void* QueryExtra(REFIID iid) override {
        return IsEqualIID(iid, IIDOf<IOleWindow>()) ? static_cast<IOleInPlaceSite*>(this) : nullptr;
    }
};
int TTestSite::Freed = 0;
GCL_IMPLEMENT_CLASS(TTestSite)

class TBrowserForm : public TForm {
    GCL_CLASS(TBrowserForm, TForm)
protected:
    explicit TBrowserForm(TComponent* owner) : TForm(owner) {
        SetCaption("Print preview....");
        SetBounds(60, 60, 420, 300);
    }
};
GCL_IMPLEMENT_CLASS(TBrowserForm)

class OleHosting : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitializeUnits({&FormsUnit, &OleUnit}); }
    static void TearDownTestSuite() { FinalizeUnits({&FormsUnit, &OleUnit}); }
    void SetUp() override { Form = TBrowserForm::Create(nullptr); }
    void TearDown() override {
        FreeAndNil(Form);
        PumpApplication(20);
    }
    TBrowserForm* Form = nullptr;
};

class TLoopLog : public TObject {
public:
    int Seen = 0;
    bool Swallow(MSG& msg) {
        if (msg.message != WM_APP + 7) return false;
        ++Seen;
        return true;
    }
};

} // namespace

TEST(GclComObj, ErrorsValuesAndSafeCall) {
    try {
        OleCheck(E_NOINTERFACE);
        ADD_FAILURE();
    } catch (const EOleSysError& e) {
        EXPECT_EQ(e.ErrorCode, E_NOINTERFACE);
        EXPECT_FALSE(e.GetMessage().empty());
    }
    EXPECT_EQ(OleCheck(S_FALSE), S_FALSE);
    EXPECT_EQ(OleErrorMessage(static_cast<HRESULT>(0xA0001234)), "OLE error A0001234");
    EXPECT_EQ(SafeCall([] { return S_OK; }), S_OK);
    EXPECT_EQ(SafeCall([]() -> HRESULT { throw EInvalidOperation("x"); }), E_UNEXPECTED);
    EXPECT_EQ(SafeCall([]() -> HRESULT { throw EInvalidOperation("x"); }, E_FAIL), E_FAIL);
    EXPECT_EQ(SafeCall([]() -> HRESULT { OleError(E_ACCESSDENIED); }), E_ACCESSDENIED);

    TBStr text(L"wide text");
    EXPECT_EQ(SysStringLen(text.Get()), 9u);
    EXPECT_EQ(text.ToString(), "wide text");
    TOleVariant variant(std::wstring(L"value"));
    EXPECT_EQ(variant.Type(), VT_BSTR);
    TOleVariant number(int32_t(42));
    EXPECT_EQ(number.Get()->lVal, 42);
    TStgMedium medium;
    medium.Get()->tymed = TYMED_HGLOBAL;
    medium.Get()->hGlobal = GlobalAlloc(GMEM_MOVEABLE, 16);
    medium.Reset();
    EXPECT_EQ(medium.Get()->tymed, static_cast<DWORD>(TYMED_NULL));
}

TEST(GclComObj, QueryInterfaceTableAndCounting) {
    TTestSite::Freed = 0;
    {
        ComPtr<TTestSite> site(TTestSite::Create());
        EXPECT_EQ(site->GetRefCount(), 1);
        ComPtr<IOleInPlaceSite> inPlace;
        ASSERT_EQ(site->QueryInterface(IIDOf<IOleInPlaceSite>(), inPlace.PutVoid()), S_OK);
        ComPtr<::IUnknown> unknown;
        ASSERT_EQ(inPlace->QueryInterface(IID_IUnknown, unknown.PutVoid()), S_OK);
        EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(static_cast<IOleClientSite*>(site.Get())));
        ComPtr<IOleWindow> window;
        EXPECT_EQ(site->QueryInterface(IIDOf<IOleWindow>(), window.PutVoid()), S_OK);
        ComPtr<IDispatch> dispatch;
        EXPECT_EQ(site->QueryInterface(IIDOf<IDispatch>(), dispatch.PutVoid()), E_NOINTERFACE);
        EXPECT_EQ(dispatch.Get(), nullptr);
        EXPECT_EQ(site->GetRefCount(), 4);
    }
    EXPECT_EQ(TTestSite::Freed, 1);
}

TEST_F(OleHosting, LoopHooksSeeMessagesFirst) {
    TLoopLog log;
    Application->HookMessageLoop(TLoopHook(&log, &TLoopLog::Swallow));
    PostMessageA(Application->GetHandle(), WM_APP + 7, 0, 0);
    PumpApplication(100, [&] { return log.Seen > 0; });
    EXPECT_EQ(log.Seen, 1);
    Application->UnhookMessageLoop(TLoopHook(&log, &TLoopLog::Swallow));
    PostMessageA(Application->GetHandle(), WM_APP + 7, 0, 0);
    PumpApplication(50);
    EXPECT_EQ(log.Seen, 1);
}

TEST_F(OleHosting, UnknownClassFailsWithAMessage) {
    const CLSID unknown = {0x0BADC0DE, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44}};
    TOleContainer* host = TOleContainer::Create(Form, unknown);
    host->SetParent(Form);
    EXPECT_NO_THROW(host->HandleNeeded());
    EXPECT_FALSE(host->GetControlCreated());
    EXPECT_NE(host->GetStatusText().find("could not be created"), std::string::npos) << host->GetStatusText();
    EXPECT_NE(host->GetStatusText().find("{0BADC0DE-1111-2222-3333-444444444444}"), std::string::npos);
    try {
        host->DefaultInterface();
        ADD_FAILURE() << "an unknown class made an object";
    } catch (const EOleError& e) {
        EXPECT_EQ(e.GetMessage(), host->GetStatusText());
    }
    Form->Show();
    PumpApplication(50);
    host->Free();
}

TEST_F(OleHosting, WebBrowserOpensDegradesAndCloses) {
    TWebBrowser* browser = TWebBrowser::Create(Form);
    browser->SetParent(Form);
    browser->SetAlign(alClient);
    Form->Show();
    PumpApplication(100);
    // Bounded, engine or not: without one the load gives up and says so.
    bool shown = browser->LoadDocumentText("<html><body><h1>Tasks</h1></body></html>", 1500);
    if (shown) {
        EXPECT_TRUE(browser->GetDocument());
        EXPECT_TRUE(browser->GetStatusText().empty());
    } else {
        EXPECT_FALSE(browser->GetStatusText().empty());
        EXPECT_FALSE(browser->WaitForReadyState(READYSTATE_COMPLETE, 100));
    }
    PumpApplication(200);
    int changes = qelvo::test::SaveWindowScreenshot(Form->GetHandle(), "web_browser_host.bmp");
    EXPECT_GT(changes, 0);
    if (browser->GetControlCreated()) {
        // Resizing moves the object with the window.
        Form->SetBounds(60, 60, 500, 340);
        PumpApplication(50);
    }
    Form->Close();
    FreeAndNil(Form);
    PumpApplication(100);
}
