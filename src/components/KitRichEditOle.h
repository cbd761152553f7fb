// The rich-edit control's OLE callback: the COM object the system control
// asks which clipboard and drag operations it may do, where embedded
// objects keep their storage and what their context is. Included by
// KitRichEdit.h.
#pragma once

#include "gcl/rtl/WinApi.h"
#include <ole2.h>
#include <oledlg.h>
#include <richole.h>

#include "gcl/ComObj.h"
#include "gcl/Menus.h"
#include "gcl/rtl/Services.h"

__CRT_UUID_DECL(IRichEditOle, 0x00020D00, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46)
__CRT_UUID_DECL(IRichEditOleCallback, 0x00020D03, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46)

// The object-properties dialog hands these over by pointer only.
template <>
inline constexpr bool gcl::HasNoInterfaceID<IOleUIObjInfoA> = true;
template <>
inline constexpr bool gcl::HasNoInterfaceID<IOleUILinkInfoA> = true;

namespace qelvo {

class TKitCustomRichEdit;

namespace msg {
inline constexpr const char* ObjectProperties = "%s Properties";
inline constexpr const char* BreakLinkNotSupported = "Break link operation is not supported.";
inline constexpr const char* LinkProperties = "Link Properties";
} // namespace msg

using TRichEditOleCallbackBase = gcl::TComObject<IRichEditOleCallback>;

class TRichEditOleCallback : public TRichEditOleCallbackBase {
    GCL_CLASS(TRichEditOleCallback, TRichEditOleCallbackBase)
public:
    // The control lets go of the callback when it goes (Detach).
    explicit TRichEditOleCallback(TKitCustomRichEdit* owner) noexcept : FRichEdit(owner) {}
    void Detach() noexcept { FRichEdit = nullptr; }
    TKitCustomRichEdit* GetRichEdit() const noexcept { return FRichEdit; }

    // IRichEditOleCallback
    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override;
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* document,
                                                LPOLEINPLACEFRAMEINFO frameInfo) override;
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL show) override;
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID clsid, LPSTORAGE storage, LONG cp) override;
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT object) override;
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT dataObject, CLIPFORMAT* format, DWORD reco, BOOL really,
                                              HGLOBAL metaPict) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE* range, DWORD reco, LPDATAOBJECT* dataObject) override;
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) override;
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD selectionType, LPOLEOBJECT object, CHARRANGE* range,
                                             HMENU* menu) override;

private:
    TKitCustomRichEdit* FRichEdit;
};

// The system's object-properties dialog (OleUIObjectPropertiesA), behind a
// replaceable service so tests answer it without a window.
class IObjectPropertiesDialog {
public:
    virtual ~IObjectPropertiesDialog() = default;
    // OLEUI_OK when the user confirmed.
    virtual UINT Show(OLEUIOBJECTPROPSA& properties) = 0;
};
gcl::ServiceSlot<IObjectPropertiesDialog>& ObjectPropertiesDialog();

// What the object-properties dialog asks about the selected object: its
// names, class and view. Conversion is not offered.
using TOleUIObjInfoBase = gcl::TComObject<IOleUIObjInfoA>;
class TOleUIObjInfo : public TOleUIObjInfoBase {
    GCL_CLASS(TOleUIObjInfo, TOleUIObjInfoBase)
public:
    // Keeps its own reference to the object.
    TOleUIObjInfo(TKitCustomRichEdit* richEdit, const REOBJECT& object);

    HRESULT STDMETHODCALLTYPE GetObjectInfo(DWORD object, DWORD* size, LPSTR* label, LPSTR* type, LPSTR* shortType,
                                            LPSTR* location) override;
    HRESULT STDMETHODCALLTYPE GetConvertInfo(DWORD object, CLSID* classID, WORD* format, CLSID* convertDefault,
                                             LPCLSID* exclude, UINT* excludeCount) override;
    HRESULT STDMETHODCALLTYPE ConvertObject(DWORD object, REFCLSID newClass) override;
    HRESULT STDMETHODCALLTYPE GetViewInfo(DWORD object, HGLOBAL* metaPict, DWORD* aspect, int* scale) override;
    HRESULT STDMETHODCALLTYPE SetViewInfo(DWORD object, HGLOBAL metaPict, DWORD aspect, int scale,
                                          BOOL relativeToOriginal) override;

protected:
    ~TOleUIObjInfo() override;

private:
    TKitCustomRichEdit* FRichEdit;
    REOBJECT FObject;
};

// The link page's questions, for a linked object. Breaking a link is not
// supported: it says so in a message box.
using TOleUILinkInfoBase = gcl::TComObject<IOleUILinkInfoA>;
class TOleUILinkInfo : public TOleUILinkInfoBase {
    GCL_CLASS(TOleUILinkInfo, TOleUILinkInfoBase)
public:
    TOleUILinkInfo(TKitCustomRichEdit* richEdit, const REOBJECT& object);

    DWORD STDMETHODCALLTYPE GetNextLink(DWORD link) override;
    HRESULT STDMETHODCALLTYPE SetLinkUpdateOptions(DWORD link, DWORD options) override;
    HRESULT STDMETHODCALLTYPE GetLinkUpdateOptions(DWORD link, DWORD* options) override;
    HRESULT STDMETHODCALLTYPE SetLinkSource(DWORD link, LPSTR displayName, ULONG fileNameLength, ULONG* eaten,
                                            BOOL validate) override;
    HRESULT STDMETHODCALLTYPE GetLinkSource(DWORD link, LPSTR* displayName, ULONG* fileNameLength,
                                            LPSTR* fullLinkType, LPSTR* shortLinkType, BOOL* sourceAvailable,
                                            BOOL* selected) override;
    HRESULT STDMETHODCALLTYPE OpenLinkSource(DWORD link) override;
    HRESULT STDMETHODCALLTYPE UpdateLink(DWORD link, BOOL errorMessage, BOOL reserved) override;
    HRESULT STDMETHODCALLTYPE CancelLink(DWORD link) override;
    HRESULT STDMETHODCALLTYPE GetLastUpdate(DWORD link, FILETIME* lastUpdate) override;

protected:
    ~TOleUILinkInfo() override;

private:
    TKitCustomRichEdit* FRichEdit;
    REOBJECT FObject;
};

// The "%s Properties" item of an object's menu.
class TObjectPropertiesItem : public gcl::TMenuItem {
    GCL_CLASS(TObjectPropertiesItem, gcl::TMenuItem)
public:
    void Click() override;
    void SetTarget(TKitCustomRichEdit* richEdit) noexcept { FRichEdit = richEdit; }

protected:
    explicit TObjectPropertiesItem(gcl::TComponent* owner) : TMenuItem(owner) {}

private:
    TKitCustomRichEdit* FRichEdit = nullptr;
};

// One item of an object's verb menu: performs its verb on the object.
class TObjectVerbItem : public gcl::TMenuItem {
    GCL_CLASS(TObjectVerbItem, gcl::TMenuItem)
public:
    void Click() override;
    LONG GetVerb() const noexcept { return FVerb; }
    void SetTarget(TKitCustomRichEdit* richEdit, LONG verb) noexcept {
        FRichEdit = richEdit;
        FVerb = verb;
    }

protected:
    explicit TObjectVerbItem(gcl::TComponent* owner) : TMenuItem(owner) {}

private:
    TKitCustomRichEdit* FRichEdit = nullptr;
    LONG FVerb = 0;
};

} // namespace qelvo
