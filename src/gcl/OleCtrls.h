// Hosting ActiveX controls: TOleControl is a windowed control whose
// window holds an in-place active OLE object of a given class, with the
// site interfaces the object asks its container for; TWebBrowser hosts the
// system's web browser control.
//
// The object is made with the window (CreateWnd) and closed before the
// window goes. When it cannot be made (an unknown class, a missing
// library) the control stays, paints the reason in its client area and
// raises EOleError from DefaultInterface. Keys reach the in-place active
// object through a message-loop hook of the application while it is
// active.
//
// The web browser needs an HTML engine; where there is none (Wine's test
// prefix) its ready state never arrives. WaitForReadyState is bounded and
// LoadDocumentText reports such a browser with a message instead of
// waiting.
#pragma once

#include "gcl/rtl/WinApi.h"
#include <exdisp.h>
#include <ocidl.h>
#include <ole2.h>

#include <string>

#include "gcl/ComObj.h"
#include "gcl/Controls.h"

namespace gcl {

namespace msg {
inline constexpr const char* OleControlNotCreated = "The control %s could not be created: %s";
inline constexpr const char* BrowserNotReady =
    "The web browser did not get ready within %d ms: no HTML engine is available to show the page";
inline constexpr const char* BrowserNoDocument = "The web browser has no document to show the page in";
} // namespace msg

class TOleControlSite;

class TOleControl : public TWinControl {
    GCL_CLASS(TOleControl, TWinControl)
public:
    // The hosted object; raises EOleError with the reason when it could
    // not be made.
    IOleObject* DefaultInterface();
    bool GetControlCreated() const noexcept { return FOleObject.Get() != nullptr; }
    // Why the object is missing (empty while it is there), or another
    // message the control shows in place of the object.
    const std::string& GetStatusText() const noexcept { return FStatusText; }
    void SetStatusText(const std::string& value);
    const CLSID& GetClassID() const noexcept { return FClassID; }
    // The in-place active object that takes the keys, or null.
    IOleInPlaceActiveObject* GetActiveObject() const noexcept { return FActiveObject.Get(); }

    void BeforeDestruction() noexcept override;

protected:
    TOleControl(TComponent* owner, const CLSID& classID);
    ~TOleControl() override;

    void CreateWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage& message) override;
    void PaintWindow(HDC dc) override;

private:
    friend class TOleControlSite;

    void CreateControl();
    void DestroyControl() noexcept;
    void UpdateObjectRects();
    // The loop hook: keys for the object's windows go to its
    // TranslateAccelerator first.
    bool TranslateKeys(MSG& msg);
    void SetActiveObject(IOleInPlaceActiveObject* object);

    CLSID FClassID;
    ComPtr<TOleControlSite> FSite;
    ComPtr<IOleObject> FOleObject;
    ComPtr<IOleInPlaceObject> FInPlaceObject;
    ComPtr<IOleInPlaceActiveObject> FActiveObject;
    std::string FStatusText;
    bool FLoopHooked = false;
};

// A control of any registered class, given by CLSID.
class TOleContainer : public TOleControl {
    GCL_CLASS(TOleContainer, TOleControl)
protected:
    TOleContainer(TComponent* owner, const CLSID& classID) : TOleControl(owner, classID) {}
};

// The system's web browser control ("Shell.Explorer").
class TWebBrowser : public TOleControl {
    GCL_CLASS(TWebBrowser, TOleControl)
public:
    // The browser interface; raises EOleError when the control is missing.
    ComPtr<IWebBrowser2> GetBrowser();
    void Navigate(const std::string& url);
    // READYSTATE_UNINITIALIZED when there is no browser.
    READYSTATE GetReadyState();
    // Handles messages until the ready state reaches state or timeoutMs
    // have passed; false on time-out.
    bool WaitForReadyState(READYSTATE state, unsigned timeoutMs);
    // The current document, or null.
    ComPtr<IDispatch> GetDocument();
    // Loads the stream into the current document (IPersistStreamInit).
    void LoadDocumentFromStream(IStream* stream);
    // Shows an HTML text: about:blank, a bounded wait for the document,
    // then the text through a stream. False, with the reason as status text
    // (painted in place of the page), when the browser cannot show it.
    bool LoadDocumentText(const std::string& html, unsigned timeoutMs = 5000);
    // ExecWB(command, option): 6, 1 prints with the print dialog; 7, 2
    // shows the print preview.
    void ExecWB(OLECMDID command, OLECMDEXECOPT option);

protected:
    explicit TWebBrowser(TComponent* owner);
};

// Whether the system has an HTML engine at all: the HTML document class
// can be had from its server. Without one a web browser never gets ready,
// so a caller need not wait for it. Asks the system once per process.
bool HtmlEngineRegistered();

} // namespace gcl
