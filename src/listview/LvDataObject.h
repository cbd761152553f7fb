// The list view's OLE data object: an IDataObject that stores any number of
// (format, medium) pairs, hands out copies on demand, enumerates its
// formats and supports advise sinks; plus helpers that put a buffer into a
// data object and take it out again, and the shell clipboard formats.
#pragma once

#include "gcl/rtl/WinApi.h"
#include <ole2.h>
#include <objidl.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "gcl/ComObj.h"
#include "gcl/Graphics.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Objects.h"

namespace qelvo {

using TFormatEtcArray = std::vector<FORMATETC>;

// One stored format with its medium.
struct TDataObjectInfo {
    FORMATETC FormatEtc{};
    STGMEDIUM StgMedium{};
    bool OwnedByDataObject = false;  // the entry holds data
};

using TGetDataEvent = gcl::TEvent<void(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool& Handled)>;
using TQueryGetDataEvent = gcl::TEvent<void(const FORMATETC& FormatEtcIn, bool& FormatAvailable, bool& Handled)>;

// A reference-counted IDataObject. Create it with TCommonDataObject::Create()
// (count 0) and hold it through COM references; the last Release frees it.
using TCommonDataObjectBase = gcl::TComObject<::IDataObject>;
class TCommonDataObject : public TCommonDataObjectBase {
    GCL_CLASS(TCommonDataObject, TCommonDataObjectBase)
public:
    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* FormatEtcIn, STGMEDIUM* Medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* FormatEtc, STGMEDIUM* Medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* FormatEtc) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* FormatEtc, FORMATETC* FormatEtcOut) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* FormatEtc, STGMEDIUM* Medium, BOOL Release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD Direction, IEnumFORMATETC** EnumFormatEtc) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* FormatEtc, DWORD advf, IAdviseSink* AdvSink,
                                      DWORD* Connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD Connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** EnumAdvise) override;

    const std::vector<TDataObjectInfo>& GetFormats() const noexcept { return FFormats; }
    ::IDataObject* AsDataObject() noexcept { return this; }

    // Hooks that owners may set: asked before the stored formats.
    TGetDataEvent OnGetData;
    TQueryGetDataEvent OnQueryGetData;

protected:
    TCommonDataObject() = default;
    ~TCommonDataObject() override;

    // Descendants may add formats to the enumeration.
    virtual void DoGetCustomFormats(TFormatEtcArray& Formats);
    virtual void DoGetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool& Handled);
    virtual void DoQueryGetData(const FORMATETC& FormatEtcIn, bool& FormatAvailable, bool& Handled);
    // A last chance for descendants when no stored entry matches.
    virtual bool GetUserData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium);

private:
    HRESULT RetrieveOwnedStgMedium(const STGMEDIUM& Source, STGMEDIUM& Target);
    HRESULT StgMediumCopy(const STGMEDIUM& Source, STGMEDIUM& Target, bool Deep);
    int FindFormatEtc(const FORMATETC& FormatEtc) const;
    bool IsSelf(::IUnknown* Unknown);

    IDataAdviseHolder* FAdviseHolder = nullptr;
    std::vector<TDataObjectInfo> FFormats;
};

// Enumerates a copy of a data object's formats.
using TCommonEnumFormatEtcBase = gcl::TComObject<IEnumFORMATETC>;
class TCommonEnumFormatEtc : public TCommonEnumFormatEtcBase {
    GCL_CLASS(TCommonEnumFormatEtc, TCommonEnumFormatEtcBase)
public:
    HRESULT STDMETHODCALLTYPE Next(ULONG Count, FORMATETC* Formats, ULONG* Fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG Count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** Enum) override;

    int GetCurrentIndex() const noexcept { return FCurrentIndex; }

protected:
    explicit TCommonEnumFormatEtc(TFormatEtcArray Formats) : FFormats(std::move(Formats)) {}
    ~TCommonEnumFormatEtc() override = default;

private:
    int FCurrentIndex = 0;
    TFormatEtcArray FFormats;
};

// A movable global block filled with Buffer, stored with SetData (content
// aspect, index -1, TYMED_HGLOBAL, released by the data object).
bool SaveToDataObject(::IDataObject* DataObject, CLIPFORMAT Format, const void* Buffer, int Size);
// Asks for Format as TYMED_HGLOBAL and copies the block into Buffer; the
// medium is released afterwards.
bool LoadFromDataObject(::IDataObject* DataObject, CLIPFORMAT Format, std::vector<char>& Buffer);
// A new block of the same size with the same bytes, or null.
HGLOBAL DuplicateGlobal(HGLOBAL Handle);
// Attaches a drag image made from a copy of Bitmap to the data object
// through the shell's drag-image helper; false when the shell cannot.
bool SetDragImage(::IDataObject* DataObject, gcl::TBitmap* Bitmap, gcl::TPoint Offset,
                  gcl::TColor TransparentColor);

// The shell clipboard formats registered at start-up.
extern CLIPFORMAT CFShellIDList;
extern CLIPFORMAT CFLogicalPerformedDropEffect;
extern CLIPFORMAT CFPreferredDropEffect;
extern CLIPFORMAT CFPerformedDropEffect;
extern CLIPFORMAT CFPasteSucceeded;
extern CLIPFORMAT CFInShellDragLoop;
extern CLIPFORMAT CFShellIDListOffset;
extern CLIPFORMAT CFFileContents;
extern CLIPFORMAT CFFileGroupDescriptorA;
extern CLIPFORMAT CFFileGroupDescriptorW;

extern gcl::TUnit LvDataObjectUnit;

} // namespace qelvo
