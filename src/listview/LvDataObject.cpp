#include "listview/LvDataObject.h"

#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <new>

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"
#include "listview/LvCommonObjects.h"
#include "listview/LvCommonUtilities.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TCommonDataObject)
GCL_IMPLEMENT_CLASS(TCommonEnumFormatEtc)

CLIPFORMAT CFShellIDList = 0;
CLIPFORMAT CFLogicalPerformedDropEffect = 0;
CLIPFORMAT CFPreferredDropEffect = 0;
CLIPFORMAT CFPerformedDropEffect = 0;
CLIPFORMAT CFPasteSucceeded = 0;
CLIPFORMAT CFInShellDragLoop = 0;
CLIPFORMAT CFShellIDListOffset = 0;
CLIPFORMAT CFFileContents = 0;
CLIPFORMAT CFFileGroupDescriptorA = 0;
CLIPFORMAT CFFileGroupDescriptorW = 0;

namespace {

bool SameFormatEtc(const FORMATETC& a, const FORMATETC& b) noexcept {
    return a.cfFormat == b.cfFormat && a.ptd == b.ptd && a.dwAspect == b.dwAspect && a.lindex == b.lindex &&
           a.tymed == b.tymed;
}

TCommonPIDLManager* GDataObjectPIDLManager = nullptr;

} // namespace

// ---- TCommonDataObject ---------------------------------------------------------------

TCommonDataObject::~TCommonDataObject() {
    // The data object owns the media it stores.
    for (TDataObjectInfo& info : FFormats)
        if (info.OwnedByDataObject) ReleaseStgMedium(&info.StgMedium);
    if (FAdviseHolder) FAdviseHolder->Release();
}

bool TCommonDataObject::IsSelf(::IUnknown* Unknown) {
    if (!Unknown) return false;
    ::IUnknown* identity = nullptr;
    if (Unknown->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)) != S_OK) return false;
    const bool self = identity == static_cast<::IUnknown*>(static_cast<::IDataObject*>(this));
    identity->Release();
    return self;
}

int TCommonDataObject::FindFormatEtc(const FORMATETC& FormatEtc) const {
    for (size_t i = 0; i < FFormats.size(); ++i)
        if (SameFormatEtc(FFormats[i].FormatEtc, FormatEtc)) return static_cast<int>(i);
    return -1;
}

HRESULT TCommonDataObject::StgMediumCopy(const STGMEDIUM& Source, STGMEDIUM& Target, bool Deep) {
    STGMEDIUM result = Source;
    HRESULT hr = S_OK;
    switch (Source.tymed) {
    case TYMED_HGLOBAL:
        if (Deep) {
            result.hGlobal = DuplicateGlobal(Source.hGlobal);
            if (!result.hGlobal) hr = E_OUTOFMEMORY;
            // The copy belongs to whoever holds it: nothing else releases it.
            result.pUnkForRelease = nullptr;
        } else {
            result.pUnkForRelease = static_cast<::IDataObject*>(this);
        }
        break;
    case TYMED_FILE:
        if (Deep) {
            const size_t chars = Source.lpszFileName ? std::wcslen(Source.lpszFileName) + 1 : 1;
            auto* name = static_cast<LPOLESTR>(CoTaskMemAlloc(chars * sizeof(wchar_t)));
            if (!name) {
                hr = E_OUTOFMEMORY;
            } else {
                if (Source.lpszFileName)
                    std::memcpy(name, Source.lpszFileName, chars * sizeof(wchar_t));
                else
                    name[0] = 0;
            }
            result.lpszFileName = name;
            result.pUnkForRelease = nullptr;
        } else {
            result.pUnkForRelease = static_cast<::IDataObject*>(this);
        }
        break;
    case TYMED_ISTREAM:
        if (Source.pstm) Source.pstm->AddRef();
        break;
    case TYMED_ISTORAGE:
        if (Source.pstg) Source.pstg->AddRef();
        break;
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
        if (Deep)
            hr = DV_E_TYMED;
        else
            result.pUnkForRelease = static_cast<::IDataObject*>(this);
        break;
    default:
        hr = DV_E_TYMED;
    }
    if (hr == S_OK && result.pUnkForRelease) result.pUnkForRelease->AddRef();
    if (hr == S_OK) Target = result;
    return hr;
}

HRESULT TCommonDataObject::RetrieveOwnedStgMedium(const STGMEDIUM& Source, STGMEDIUM& Target) {
    return StgMediumCopy(Source, Target, false);
}

HRESULT STDMETHODCALLTYPE TCommonDataObject::GetData(FORMATETC* FormatEtcIn, STGMEDIUM* Medium) {
    try {
        if (!FormatEtcIn || !Medium) return E_INVALIDARG;
        bool handled = false;
        DoGetData(*FormatEtcIn, *Medium, handled);
        if (handled) return S_OK;
        if (FFormats.empty()) return E_UNEXPECTED;
        HRESULT hr = QueryGetData(FormatEtcIn);
        if (hr != S_OK) return hr;
        const int index = FindFormatEtc(*FormatEtcIn);
        if (index >= 0 && FFormats[index].OwnedByDataObject)
            return RetrieveOwnedStgMedium(FFormats[index].StgMedium, *Medium);
        return GetUserData(*FormatEtcIn, *Medium) ? S_OK : E_UNEXPECTED;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE TCommonDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TCommonDataObject::QueryGetData(FORMATETC* FormatEtc) {
    try {
        if (!FormatEtc) return E_INVALIDARG;
        bool available = false;
        bool handled = false;
        DoQueryGetData(*FormatEtc, available, handled);
        if (handled) return available ? S_OK : DV_E_FORMATETC;
        if (available) return S_OK;
        if (FFormats.empty()) return E_UNEXPECTED;
        HRESULT result = DV_E_FORMATETC;
        for (size_t i = 0; i < FFormats.size() && result == DV_E_FORMATETC; ++i) {
            const FORMATETC& stored = FFormats[i].FormatEtc;
            if (stored.cfFormat != FormatEtc->cfFormat) continue;
            if (stored.dwAspect == FormatEtc->dwAspect)
                result = (stored.tymed & FormatEtc->tymed) != 0 ? S_OK : DV_E_TYMED;
            else
                result = DV_E_DVASPECT;
        }
        return result;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE TCommonDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* FormatEtcOut) {
    if (FormatEtcOut) FormatEtcOut->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TCommonDataObject::SetData(FORMATETC* FormatEtc, STGMEDIUM* Medium, BOOL Release) {
    try {
        if (!FormatEtc || !Medium) return E_INVALIDARG;
        // The new medium is made first; the stored entry changes only when
        // that worked, so a failed copy leaves nothing borrowed behind.
        STGMEDIUM stored{};
        HRESULT hr = S_OK;
        if (Release)
            stored = *Medium;
        else
            hr = StgMediumCopy(*Medium, stored, true);
        if (hr != S_OK) return hr;

        int index = FindFormatEtc(*FormatEtc);
        if (index < 0) {
            TDataObjectInfo info;
            info.FormatEtc = *FormatEtc;
            FFormats.push_back(info);
            index = static_cast<int>(FFormats.size()) - 1;
        } else if (FFormats[index].OwnedByDataObject) {
            ReleaseStgMedium(&FFormats[index].StgMedium);
        }
        TDataObjectInfo& info = FFormats[index];
        info.StgMedium = stored;
        info.OwnedByDataObject = true;
        // A data object holds no reference to itself.
        if (info.StgMedium.pUnkForRelease && IsSelf(info.StgMedium.pUnkForRelease)) {
            info.StgMedium.pUnkForRelease->Release();
            info.StgMedium.pUnkForRelease = nullptr;
        }
        if (FAdviseHolder) FAdviseHolder->SendOnDataChange(this, 0, 0);
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE TCommonDataObject::EnumFormatEtc(DWORD Direction, IEnumFORMATETC** EnumFormatEtc) {
    if (!EnumFormatEtc) return E_INVALIDARG;
    *EnumFormatEtc = nullptr;
    if (Direction != DATADIR_GET) return E_NOTIMPL;
    try {
        TFormatEtcArray formats;
        for (const TDataObjectInfo& info : FFormats) formats.push_back(info.FormatEtc);
        DoGetCustomFormats(formats);
        TCommonEnumFormatEtc* enumerator = TCommonEnumFormatEtc::Create(std::move(formats));
        enumerator->AddRef();
        *EnumFormatEtc = enumerator;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE TCommonDataObject::DAdvise(FORMATETC* FormatEtc, DWORD advf, IAdviseSink* AdvSink,
                                                     DWORD* Connection) {
    if (!FAdviseHolder && CreateDataAdviseHolder(&FAdviseHolder) != S_OK) FAdviseHolder = nullptr;
    if (!FAdviseHolder) return OLE_E_ADVISENOTSUPPORTED;
    return FAdviseHolder->Advise(this, FormatEtc, advf, AdvSink, Connection);
}

HRESULT STDMETHODCALLTYPE TCommonDataObject::DUnadvise(DWORD Connection) {
    if (!FAdviseHolder) return OLE_E_ADVISENOTSUPPORTED;
    return FAdviseHolder->Unadvise(Connection);
}

HRESULT STDMETHODCALLTYPE TCommonDataObject::EnumDAdvise(IEnumSTATDATA** EnumAdvise) {
    if (EnumAdvise) *EnumAdvise = nullptr;
    if (!FAdviseHolder) return OLE_E_ADVISENOTSUPPORTED;
    return FAdviseHolder->EnumAdvise(EnumAdvise);
}

void TCommonDataObject::DoGetCustomFormats(TFormatEtcArray&) {}

void TCommonDataObject::DoGetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool& Handled) {
    if (OnGetData) OnGetData(FormatEtcIn, Medium, Handled);
}

void TCommonDataObject::DoQueryGetData(const FORMATETC& FormatEtcIn, bool& FormatAvailable, bool& Handled) {
    if (OnQueryGetData) OnQueryGetData(FormatEtcIn, FormatAvailable, Handled);
}

bool TCommonDataObject::GetUserData(const FORMATETC&, STGMEDIUM&) { return false; }

// ---- TCommonEnumFormatEtc ------------------------------------------------------------

HRESULT STDMETHODCALLTYPE TCommonEnumFormatEtc::Next(ULONG Count, FORMATETC* Formats, ULONG* Fetched) {
    ULONG copied = 0;
    while (copied < Count && FCurrentIndex + static_cast<int>(copied) < static_cast<int>(FFormats.size())) {
        if (!Formats) return E_INVALIDARG;
        Formats[copied] = FFormats[FCurrentIndex + copied];
        ++copied;
    }
    FCurrentIndex += static_cast<int>(copied);
    if (Fetched) *Fetched = copied;
    return copied == Count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TCommonEnumFormatEtc::Skip(ULONG Count) {
    if (static_cast<int64_t>(FCurrentIndex) + Count >= static_cast<int64_t>(FFormats.size())) return S_FALSE;
    FCurrentIndex += static_cast<int>(Count);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TCommonEnumFormatEtc::Reset() {
    FCurrentIndex = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TCommonEnumFormatEtc::Clone(IEnumFORMATETC** Enum) {
    if (!Enum) return E_INVALIDARG;
    *Enum = nullptr;
    try {
        TCommonEnumFormatEtc* clone = TCommonEnumFormatEtc::Create(FFormats);
        clone->FCurrentIndex = FCurrentIndex;
        clone->AddRef();
        *Enum = clone;
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// ---- Helpers ---------------------------------------------------------------------------

bool SaveToDataObject(::IDataObject* DataObject, CLIPFORMAT Format, const void* Buffer, int Size) {
    if (!DataObject || Size < 0) return false;
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, static_cast<SIZE_T>(Size));
    if (!global) return false;
    if (Size > 0) {
        void* p = GlobalLock(global);
        if (!p) {
            GlobalFree(global);
            return false;
        }
        std::memcpy(p, Buffer, static_cast<size_t>(Size));
        GlobalUnlock(global);
    }
    FORMATETC format{Format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = global;
    if (DataObject->SetData(&format, &medium, TRUE) == S_OK) return true;
    GlobalFree(global);
    return false;
}

bool LoadFromDataObject(::IDataObject* DataObject, CLIPFORMAT Format, std::vector<char>& Buffer) {
    if (!DataObject) return false;
    FORMATETC format{Format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (DataObject->QueryGetData(&format) != S_OK) return false;
    STGMEDIUM medium{};
    if (DataObject->GetData(&format, &medium) != S_OK) return false;
    bool result = false;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        const SIZE_T size = GlobalSize(medium.hGlobal);
        if (void* p = GlobalLock(medium.hGlobal)) {
            Buffer.assign(static_cast<const char*>(p), static_cast<const char*>(p) + size);
            GlobalUnlock(medium.hGlobal);
            result = true;
        }
    }
    ReleaseStgMedium(&medium);
    return result;
}

HGLOBAL DuplicateGlobal(HGLOBAL Handle) {
    if (!Handle) return nullptr;
    const SIZE_T size = GlobalSize(Handle);
    HGLOBAL copy = GlobalAlloc(GMEM_ZEROINIT, size);
    if (!copy) return nullptr;
    const void* source = GlobalLock(Handle);
    void* target = GlobalLock(copy);
    if (source && target) std::memcpy(target, source, size);
    if (target) GlobalUnlock(copy);
    if (source) GlobalUnlock(Handle);
    if (size > 0 && (!source || !target)) {
        GlobalFree(copy);
        return nullptr;
    }
    return copy;
}

bool SetDragImage(::IDataObject* DataObject, gcl::TBitmap* Bitmap, gcl::TPoint Offset, gcl::TColor TransparentColor) {
    if (!DataObject || !Bitmap || Bitmap->GetEmpty()) return false;
    if (IsWinNT4()) return false;
    IDragSourceHelper* helper = nullptr;
    if (CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                         reinterpret_cast<void**>(&helper)) != S_OK ||
        !helper)
        return false;
    gcl::TBitmap copy;
    copy.Assign(Bitmap);
    SHDRAGIMAGE image{};
    image.sizeDragImage.cx = copy.GetWidth();
    image.sizeDragImage.cy = copy.GetHeight();
    image.ptOffset.x = Offset.X;
    image.ptOffset.y = Offset.Y;
    image.hbmpDragImage = copy.ReleaseHandle();
    image.crColorKey = static_cast<COLORREF>(gcl::ColorToRGB(TransparentColor));
    const bool ok = helper->InitializeFromBitmap(&image, DataObject) == S_OK;
    // On success the shell owns the bitmap; otherwise it is ours to delete.
    if (!ok && image.hbmpDragImage) DeleteObject(image.hbmpDragImage);
    helper->Release();
    return ok;
}

// ---- Unit ---------------------------------------------------------------------------------

namespace {

CLIPFORMAT RegisterFormat(const char* name) {
    const UINT format = RegisterClipboardFormatA(name);
    if (format > 0xFFFF) throw gcl::ERangeError("Range check error");
    return static_cast<CLIPFORMAT>(format);
}

void InitLvDataObject() {
    CFShellIDList = RegisterFormat("Shell IDList Array");
    CFLogicalPerformedDropEffect = RegisterFormat("Logical Performed DropEffect");
    CFPreferredDropEffect = RegisterFormat("Preferred DropEffect");
    CFPerformedDropEffect = RegisterFormat("Performed DropEffect");
    CFPasteSucceeded = RegisterFormat("Paste Succeeded");
    CFInShellDragLoop = RegisterFormat("InShellDragLoop");
    CFShellIDListOffset = RegisterFormat("Shell Object Offsets");
    CFFileContents = RegisterFormat("FileContents");
    CFFileGroupDescriptorA = RegisterFormat("FileGroupDescriptor");
    CFFileGroupDescriptorW = RegisterFormat("FileGroupDescriptorW");
    GDataObjectPIDLManager = new TCommonPIDLManager();
}

void FinalizeLvDataObject() {
    delete GDataObjectPIDLManager;
    GDataObjectPIDLManager = nullptr;
}

} // namespace

gcl::TUnit LvDataObjectUnit{"LvDataObject", &InitLvDataObject, &FinalizeLvDataObject};

} // namespace qelvo
