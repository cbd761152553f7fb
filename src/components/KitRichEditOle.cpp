// The rich-edit OLE callback, closing embedded objects, host names and the
// verb menu of a selected object.
#include "components/KitRichEdit.h"

#include <cstring>

#include "components/KitSysUtils.h"
#include "gcl/Dialogs.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

using namespace gcl;

GCL_IMPLEMENT_CLASS(TRichEditOleCallback)
GCL_IMPLEMENT_CLASS(TObjectVerbItem)
GCL_IMPLEMENT_CLASS(TObjectPropertiesItem)
GCL_IMPLEMENT_CLASS(TOleUIObjInfo)
GCL_IMPLEMENT_CLASS(TOleUILinkInfo)

namespace {

// REOBJECT with its interfaces released at the end of the scope.
struct TRichObject {
    REOBJECT Info{};
    TRichObject() { Info.cbStruct = sizeof(Info); }
    ~TRichObject() {
        if (Info.poleobj) Info.poleobj->Release();
        if (Info.pstg) Info.pstg->Release();
        if (Info.polesite) Info.polesite->Release();
    }
    TRichObject(const TRichObject&) = delete;
    TRichObject& operator=(const TRichObject&) = delete;
};

// A copy of an object record holding its own references.
REOBJECT KeepObject(const REOBJECT& object) {
    REOBJECT copy = object;
    if (copy.poleobj) copy.poleobj->AddRef();
    if (copy.pstg) copy.pstg->AddRef();
    if (copy.polesite) copy.polesite->AddRef();
    return copy;
}

void ReleaseObject(REOBJECT& object) noexcept {
    if (object.poleobj) object.poleobj->Release();
    if (object.pstg) object.pstg->Release();
    if (object.polesite) object.polesite->Release();
    object.poleobj = nullptr;
    object.pstg = nullptr;
    object.polesite = nullptr;
}

// A task-allocator copy of an 8-bit text, as the OLE dialogs free them.
LPSTR TaskString(const std::string& text) {
    auto* copy = static_cast<LPSTR>(CoTaskMemAlloc(text.size() + 1));
    if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

std::string UserType(IOleObject* object, DWORD form) {
    std::string name;
    LPOLESTR type = nullptr;
    if (object && SUCCEEDED(object->GetUserType(form, &type)) && type) {
        name = WideToAnsi(type);
        CoTaskMemFree(type);
    }
    return name;
}

class TProductionPropertiesDialog : public IObjectPropertiesDialog {
public:
    UINT Show(OLEUIOBJECTPROPSA& properties) override { return OleUIObjectPropertiesA(&properties); }
};

} // namespace

ServiceSlot<IObjectPropertiesDialog>& ObjectPropertiesDialog() {
    static TProductionPropertiesDialog production;
    static ServiceSlot<IObjectPropertiesDialog> slot(&production);
    return slot;
}

// ---- TOleUIObjInfo ----------------------------------------------------------------

TOleUIObjInfo::TOleUIObjInfo(TKitCustomRichEdit* richEdit, const REOBJECT& object)
    : FRichEdit(richEdit), FObject(KeepObject(object)) {}

TOleUIObjInfo::~TOleUIObjInfo() { ReleaseObject(FObject); }

HRESULT STDMETHODCALLTYPE TOleUIObjInfo::GetObjectInfo(DWORD, DWORD* size, LPSTR* label, LPSTR* type,
                                                       LPSTR* shortType, LPSTR* location) {
    return SafeCall([&] {
        std::string full = UserType(FObject.poleobj, USERCLASSTYPE_FULL);
        if (size) *size = static_cast<DWORD>(-1);   // unknown
        if (label) *label = TaskString(full);
        if (type) *type = TaskString(full);
        if (shortType) *shortType = TaskString(UserType(FObject.poleobj, USERCLASSTYPE_SHORT));
        if (location) *location = nullptr;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TOleUIObjInfo::GetConvertInfo(DWORD, CLSID* classID, WORD* format, CLSID* convertDefault,
                                                        LPCLSID* exclude, UINT* excludeCount) {
    if (classID) *classID = FObject.clsid;
    if (format) *format = 0;
    if (convertDefault) *convertDefault = FObject.clsid;
    if (exclude) *exclude = nullptr;
    if (excludeCount) *excludeCount = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TOleUIObjInfo::ConvertObject(DWORD, REFCLSID) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TOleUIObjInfo::GetViewInfo(DWORD, HGLOBAL* metaPict, DWORD* aspect, int* scale) {
    if (metaPict) *metaPict = nullptr;
    if (aspect) *aspect = FObject.dvaspect;
    if (scale) *scale = 100;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TOleUIObjInfo::SetViewInfo(DWORD, HGLOBAL, DWORD aspect, int, BOOL) {
    if (aspect == FObject.dvaspect || !FRichEdit || !FRichEdit->GetRichEditOle()) return S_OK;
    HRESULT result = FRichEdit->GetRichEditOle()->SetDvaspect(static_cast<LONG>(REO_IOB_SELECTION), aspect);
    if (SUCCEEDED(result)) FObject.dvaspect = aspect;
    return result;
}

// ---- TOleUILinkInfo ------------------------------------------------------------------

TOleUILinkInfo::TOleUILinkInfo(TKitCustomRichEdit* richEdit, const REOBJECT& object)
    : FRichEdit(richEdit), FObject(KeepObject(object)) {}

TOleUILinkInfo::~TOleUILinkInfo() { ReleaseObject(FObject); }

DWORD STDMETHODCALLTYPE TOleUILinkInfo::GetNextLink(DWORD link) { return link == 0 ? 1 : 0; }

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::SetLinkUpdateOptions(DWORD, DWORD options) {
    ComPtr<IOleLink> link;
    if (!FObject.poleobj || FAILED(FObject.poleobj->QueryInterface(IIDOf<IOleLink>(), link.PutVoid()))) return E_FAIL;
    return link->SetUpdateOptions(options);
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::GetLinkUpdateOptions(DWORD, DWORD* options) {
    ComPtr<IOleLink> link;
    if (!options || !FObject.poleobj || FAILED(FObject.poleobj->QueryInterface(IIDOf<IOleLink>(), link.PutVoid())))
        return E_FAIL;
    return link->GetUpdateOptions(options);
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::SetLinkSource(DWORD, LPSTR, ULONG, ULONG*, BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::GetLinkSource(DWORD, LPSTR* displayName, ULONG* fileNameLength,
                                                        LPSTR* fullLinkType, LPSTR* shortLinkType,
                                                        BOOL* sourceAvailable, BOOL* selected) {
    return SafeCall([&] {
        std::string source;
        ComPtr<IOleLink> link;
        if (FObject.poleobj && SUCCEEDED(FObject.poleobj->QueryInterface(IIDOf<IOleLink>(), link.PutVoid()))) {
            LPOLESTR name = nullptr;
            if (SUCCEEDED(link->GetSourceDisplayName(&name)) && name) {
                source = WideToAnsi(name);
                CoTaskMemFree(name);
            }
        }
        if (displayName) *displayName = TaskString(source);
        if (fileNameLength) *fileNameLength = static_cast<ULONG>(source.size());
        if (fullLinkType) *fullLinkType = TaskString(UserType(FObject.poleobj, USERCLASSTYPE_FULL));
        if (shortLinkType) *shortLinkType = TaskString(UserType(FObject.poleobj, USERCLASSTYPE_SHORT));
        if (sourceAvailable) *sourceAvailable = TRUE;
        if (selected) *selected = TRUE;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::OpenLinkSource(DWORD) {
    if (!FObject.poleobj || !FRichEdit || !FRichEdit->HandleAllocated()) return E_FAIL;
    RECT client{};
    GetClientRect(FRichEdit->GetHandle(), &client);
    return FObject.poleobj->DoVerb(OLEIVERB_SHOW, nullptr, FObject.polesite, 0, FRichEdit->GetHandle(), &client);
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::UpdateLink(DWORD, BOOL, BOOL) {
    ComPtr<IOleLink> link;
    if (!FObject.poleobj || FAILED(FObject.poleobj->QueryInterface(IIDOf<IOleLink>(), link.PutVoid()))) return E_FAIL;
    return link->Update(nullptr);
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::CancelLink(DWORD) {
    return SafeCall([&] {
        ShowMessageBox(msg::BreakLinkNotSupported, msg::LinkProperties, MB_OK | MB_ICONSTOP);
        return E_NOTIMPL;
    });
}

HRESULT STDMETHODCALLTYPE TOleUILinkInfo::GetLastUpdate(DWORD, FILETIME*) { return E_NOTIMPL; }

// ---- IRichEditOleCallback ---------------------------------------------------------

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::GetNewStorage(LPSTORAGE* storage) {
    return SafeCall([&] {
        if (!storage) return E_INVALIDARG;
        *storage = nullptr;
        ComPtr<ILockBytes> bytes;
        OleCheck(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Put()));
        return StgCreateDocfileOnILockBytes(bytes.Get(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0,
                                            storage);
    });
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME* frame,
                                                                  LPOLEINPLACEUIWINDOW* document,
                                                                  LPOLEINPLACEFRAMEINFO) {
    // The program's forms offer no in-place frame, so objects open in their
    // own windows.
    if (frame) *frame = nullptr;
    if (document) *document = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::ShowContainerUI(BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) { return S_OK; }

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::DeleteObject(LPOLEOBJECT object) {
    if (object) object->Close(OLECLOSE_NOSAVE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::QueryAcceptData(LPDATAOBJECT dataObject, CLIPFORMAT* format,
                                                                DWORD reco, BOOL really, HGLOBAL metaPict) {
    return SafeCall([&] {
        bool accept = true;
        if (FRichEdit) {
            if (reco == RECO_PASTE && !FRichEdit->GetClipboardCommands().Contains(caPaste)) accept = false;
            if (FRichEdit->OnQueryAcceptData) {
                CLIPFORMAT dummy = 0;
                FRichEdit->OnQueryAcceptData(FRichEdit, dataObject, format ? *format : dummy, reco, really != FALSE,
                                             metaPict, accept);
            }
        }
        return accept ? S_OK : S_FALSE;
    });
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::ContextSensitiveHelp(BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::GetClipboardData(CHARRANGE*, DWORD reco, LPDATAOBJECT* dataObject) {
    if (dataObject) *dataObject = nullptr;
    if (!FRichEdit) return E_NOTIMPL;
    TClipboardCommands permitted = FRichEdit->GetClipboardCommands();
    bool refused = (reco == RECO_PASTE && !permitted.Contains(caPaste)) ||
                   (reco == RECO_COPY && !permitted.Contains(caCopy)) ||
                   (reco == RECO_CUT && !permitted.Contains(caCut));
    // Success without data: nothing reaches the clipboard. Otherwise the
    // control supplies its own data.
    return refused ? S_OK : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) {
    return SafeCall([&] {
        if (!FRichEdit || !effect) return E_NOTIMPL;
        TRichEditDragDropEffect& handler = drag ? FRichEdit->OnDragAllowed : FRichEdit->OnGetDragDropEffect;
        if (!handler) return E_NOTIMPL;
        DWORD chosen = *effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK | DROPEFFECT_SCROLL);
        bool handled = false;
        handler(FRichEdit, KeysToShiftState(keyState), chosen, handled);
        if (!handled) return E_NOTIMPL;
        *effect = chosen;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TRichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu) {
    // The control's own context menu applies.
    if (menu) *menu = nullptr;
    return E_NOTIMPL;
}

// ---- The control's OLE members ---------------------------------------------------------

void TKitCustomRichEdit::SetupOle() {
    if (!FAllowObjects || !HandleAllocated()) return;
    if (!FCallback) FCallback = ComPtr<TRichEditOleCallback>(TRichEditOleCallback::Create(this));
    SendMessageA(GetHandle(), EM_SETOLECALLBACK, 0,
                 reinterpret_cast<LPARAM>(static_cast<IRichEditOleCallback*>(FCallback.Get())));
    IRichEditOle* ole = nullptr;
    if (SendMessageA(GetHandle(), EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)) && ole)
        FRichEditOle.Attach(ole);
    UpdateHostNames();
}

void TKitCustomRichEdit::ReleaseOle() noexcept {
    try {
        CloseObjects();
    } catch (...) {
    }
    FRichEditOle.Reset();
}

void TKitCustomRichEdit::CloseObjects() {
    if (!FRichEditOle) return;
    for (LONG i = FRichEditOle->GetObjectCount() - 1; i >= 0; --i) {
        TRichObject object;
        if (FAILED(FRichEditOle->GetObject(i, &object.Info, REO_GETOBJ_POLEOBJ)) || !object.Info.poleobj) continue;
        if (object.Info.dwFlags & REO_INPLACEACTIVE) FRichEditOle->InPlaceDeactivate();
        object.Info.poleobj->Close(OLECLOSE_NOSAVE);
    }
}

void TKitCustomRichEdit::UpdateHostNames() {
    if (!FRichEditOle) return;
    std::string application = Application ? Application->GetTitle() : std::string();
    if (application.empty()) application = ChangeFileExt(ExtractFileName(GetModuleFileName(nullptr)), "");
    std::string document = FTitle.empty() ? application : FTitle;
    FRichEditOle->SetHostNames(application.c_str(), document.c_str());
}

TPopupMenu* TKitCustomRichEdit::ObjectPopupMenu() const {
    TRichObject object;
    if (FAILED(FRichEditOle->GetObject(static_cast<LONG>(REO_IOB_SELECTION), &object.Info, REO_GETOBJ_POLEOBJ)) ||
        !object.Info.poleobj || (object.Info.dwFlags & REO_INPLACEACTIVE))
        return TControl::GetPopupMenu();
    IOleObject* ole = object.Info.poleobj;
    std::string typeName = UserType(ole, USERCLASSTYPE_FULL);
    auto* self = const_cast<TKitCustomRichEdit*>(this);
    FVerbMenu = TPopupMenu::Create(self);
    TMenuItem* verbs = TMenuItem::Create(FVerbMenu);
    verbs->SetCaption(typeName);
    ComPtr<IEnumOLEVERB> enumerator;
    if (SUCCEEDED(ole->EnumVerbs(enumerator.Put())) && enumerator) {
        OLEVERB verb{};
        while (enumerator->Next(1, &verb, nullptr) == S_OK) {
            if ((verb.grfAttribs & OLEVERBATTRIB_ONCONTAINERMENU) && verb.lVerb >= 0) {
                TObjectVerbItem* item = TObjectVerbItem::Create(FVerbMenu);
                item->SetCaption(verb.lpszVerbName ? WideToAnsi(verb.lpszVerbName) : std::string());
                item->SetTarget(self, verb.lVerb);
                item->SetDefault(verb.lVerb == 0);
                verbs->Add(item);
            }
            if (verb.lpszVerbName) CoTaskMemFree(verb.lpszVerbName);
            verb = OLEVERB{};
        }
    }
    TObjectPropertiesItem* properties = TObjectPropertiesItem::Create(FVerbMenu);
    properties->SetCaption(Format(msg::ObjectProperties, {typeName}));
    properties->SetTarget(self);
    TPopupMenu* assigned = TControl::GetPopupMenu();
    if (assigned && assigned->GetItems()->GetCount() > 0) {
        // A separator, the properties and the object's verbs as a submenu,
        // after the assigned menu's own items.
        TMenuItem* line = TMenuItem::Create(FVerbMenu);
        line->SetCaption("-");
        assigned->GetItems()->Add(line);
        assigned->GetItems()->Add(properties);
        if (verbs->GetCount() > 0)
            assigned->GetItems()->Add(verbs);
        else
            verbs->Free();
        return assigned;
    }
    if (verbs->GetCount() == 0) {
        properties->Free();
        verbs->Free();
        return nullptr;
    }
    FVerbMenu->GetItems()->Add(properties);
    while (verbs->GetCount() > 0) {
        TMenuItem* item = verbs->GetItems(0);
        verbs->Remove(item);
        FVerbMenu->GetItems()->Add(item);
    }
    verbs->Free();
    return FVerbMenu;
}

void TObjectPropertiesItem::Click() {
    if (FRichEdit) FRichEdit->ShowObjectProperties();
}

bool TKitCustomRichEdit::ShowObjectProperties() {
    if (!FRichEditOle || !HandleAllocated()) return false;
    TRichObject object;
    if (FAILED(FRichEditOle->GetObject(static_cast<LONG>(REO_IOB_SELECTION), &object.Info,
                                       REO_GETOBJ_POLEOBJ | REO_GETOBJ_PSTG | REO_GETOBJ_POLESITE)) ||
        !object.Info.poleobj)
        return false;
    std::string caption = Format(msg::ObjectProperties, {UserType(object.Info.poleobj, USERCLASSTYPE_FULL)});
    bool linked = (object.Info.dwFlags & REO_LINK) != 0;
    ComPtr<TOleUIObjInfo> objectInfo(TOleUIObjInfo::Create(this, object.Info));
    ComPtr<TOleUILinkInfo> linkInfo;
    if (linked) linkInfo = ComPtr<TOleUILinkInfo>(TOleUILinkInfo::Create(this, object.Info));
    OLEUIGNRLPROPSA general{};
    general.cbStruct = sizeof(general);
    OLEUIVIEWPROPSA view{};
    view.cbStruct = sizeof(view);
    view.nScaleMin = 10;
    view.nScaleMax = 100;
    OLEUILINKPROPSA link{};
    link.cbStruct = sizeof(link);
    PROPSHEETHEADERA sheet{};
    sheet.dwSize = sizeof(sheet);
    sheet.hwndParent = GetHandle();
    sheet.pszCaption = caption.c_str();
    OLEUIOBJECTPROPSA properties{};
    properties.cbStruct = sizeof(properties);
    properties.dwFlags = linked ? OPF_OBJECTISLINK : 0;
    properties.lpPS = &sheet;
    properties.dwObject = 1;
    properties.lpObjInfo = objectInfo.Get();
    properties.dwLink = linked ? 1 : 0;
    properties.lpLinkInfo = linkInfo.Get();
    properties.lpGP = &general;
    properties.lpVP = &view;
    properties.lpLP = linked ? &link : nullptr;
    return ObjectPropertiesDialog()->Show(properties) == OLEUI_OK;
}

void TObjectVerbItem::Click() {
    if (!FRichEdit || !FRichEdit->GetRichEditOle() || !FRichEdit->HandleAllocated()) return;
    REOBJECT info{};
    info.cbStruct = sizeof(info);
    if (FAILED(FRichEdit->GetRichEditOle()->GetObject(static_cast<LONG>(REO_IOB_SELECTION), &info,
                                                      REO_GETOBJ_POLEOBJ | REO_GETOBJ_POLESITE)))
        return;
    RECT client{};
    GetClientRect(FRichEdit->GetHandle(), &client);
    HRESULT result = S_OK;
    if (info.poleobj) result = info.poleobj->DoVerb(FVerb, nullptr, info.polesite, 0, FRichEdit->GetHandle(), &client);
    if (info.poleobj) info.poleobj->Release();
    if (info.polesite) info.polesite->Release();
    if (info.pstg) info.pstg->Release();
    OleCheck(result);
}

} // namespace qelvo
