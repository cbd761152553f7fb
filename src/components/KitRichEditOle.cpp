// The rich-edit OLE callback, closing embedded objects, host names and the
// verb menu of a selected object.
#include "components/KitRichEdit.h"

#include "components/KitSysUtils.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

using namespace gcl;

GCL_IMPLEMENT_CLASS(TRichEditOleCallback)
GCL_IMPLEMENT_CLASS(TObjectVerbItem)

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

} // namespace

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
    std::string typeName;
    LPOLESTR userType = nullptr;
    if (SUCCEEDED(ole->GetUserType(USERCLASSTYPE_FULL, &userType)) && userType) {
        typeName = WideToAnsi(userType);
        CoTaskMemFree(userType);
    }
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
    TPopupMenu* assigned = TControl::GetPopupMenu();
    if (assigned && assigned->GetItems()->GetCount() > 0) {
        // The object's verbs as a submenu of the assigned menu.
        if (verbs->GetCount() > 0) {
            TMenuItem* line = TMenuItem::Create(FVerbMenu);
            line->SetCaption("-");
            assigned->GetItems()->Add(line);
            assigned->GetItems()->Add(verbs);
        } else {
            verbs->Free();
        }
        return assigned;
    }
    if (verbs->GetCount() == 0) {
        verbs->Free();
        return nullptr;
    }
    while (verbs->GetCount() > 0) {
        TMenuItem* item = verbs->GetItems(0);
        verbs->Remove(item);
        FVerbMenu->GetItems()->Add(item);
    }
    verbs->Free();
    return FVerbMenu;
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
