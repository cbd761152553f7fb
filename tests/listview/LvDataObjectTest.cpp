// The clipboard and drag data object: storing and handing out media, the
// IDataObject answers and error codes, the format enumerator and the
// buffer helpers.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"
#include <ole2.h>

#include <cstring>
#include <string>
#include <vector>

#include "listview/GvListview.h"
#include "listview/LvDataObject.h"

using namespace qelvo;

namespace {

class LvDataObjectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { GvListviewUnit.Initialize(); }
    static void TearDownTestSuite() { GvListviewUnit.Finalize(); }
    void SetUp() override {
        Object = TCommonDataObject::Create();
        Object->AddRef();
    }
    void TearDown() override {
        if (Object) Object->Release();
    }

    static FORMATETC Format(CLIPFORMAT cf, DWORD aspect = DVASPECT_CONTENT, DWORD tymed = TYMED_HGLOBAL) {
        return FORMATETC{cf, nullptr, aspect, -1, tymed};
    }
    static HGLOBAL Global(const std::string& text) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size());
        std::memcpy(GlobalLock(h), text.data(), text.size());
        GlobalUnlock(h);
        return h;
    }
    static std::string Text(HGLOBAL h) {
        const char* p = static_cast<const char*>(GlobalLock(h));
        std::string s(p, GlobalSize(h));
        GlobalUnlock(h);
        return s;
    }
    HRESULT Store(CLIPFORMAT cf, const std::string& text, BOOL release, DWORD aspect = DVASPECT_CONTENT) {
        FORMATETC f = Format(cf, aspect);
        STGMEDIUM m{};
        m.tymed = TYMED_HGLOBAL;
        m.hGlobal = Global(text);
        HRESULT hr = Object->SetData(&f, &m, release);
        if (!release) GlobalFree(m.hGlobal);
        return hr;
    }

    TCommonDataObject* Object = nullptr;
};

// A sink that counts data changes.
struct TSink : IAdviseSink {
    LONG Refs = 1;
    int Changes = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IAdviseSink)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++Refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --Refs; }
    void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override { ++Changes; }
    void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override {}
    void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
    void STDMETHODCALLTYPE OnSave() override {}
    void STDMETHODCALLTYPE OnClose() override {}
};

TEST_F(LvDataObjectTest, StoresCopiesAndHandsOutMedia) {
    const CLIPFORMAT cf = CF_GVHEADER;
    FORMATETC f = Format(cf);
    STGMEDIUM out{};
    EXPECT_EQ(Object->GetData(&f, &out), E_UNEXPECTED);
    EXPECT_EQ(Object->QueryGetData(&f), E_UNEXPECTED);

    // Release FALSE: the data object keeps a copy of its own.
    EXPECT_EQ(Store(cf, "hello", FALSE), S_OK);
    ASSERT_EQ(Object->GetFormats().size(), 1u);
    EXPECT_EQ(Object->QueryGetData(&f), S_OK);
    ASSERT_EQ(Object->GetData(&f, &out), S_OK);
    EXPECT_EQ(out.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(Text(out.hGlobal), "hello");
    // The copy handed out is ours: releasing it drops a reference only.
    EXPECT_EQ(out.pUnkForRelease, static_cast<::IUnknown*>(Object->AsDataObject()));
    EXPECT_EQ(Object->GetRefCount(), 2);
    ReleaseStgMedium(&out);
    EXPECT_EQ(Object->GetRefCount(), 1);
    ASSERT_EQ(Object->GetData(&f, &out), S_OK);
    EXPECT_EQ(Text(out.hGlobal), "hello");
    ReleaseStgMedium(&out);

    // A second SetData of the same format replaces the medium in place.
    EXPECT_EQ(Store(cf, "again", TRUE), S_OK);
    EXPECT_EQ(Object->GetFormats().size(), 1u);
    ASSERT_EQ(Object->GetData(&f, &out), S_OK);
    EXPECT_EQ(Text(out.hGlobal), "again");
    ReleaseStgMedium(&out);

    // A medium that cannot be copied is refused and leaves the entry alone.
    FORMATETC gdi = Format(cf, DVASPECT_CONTENT, TYMED_GDI);
    STGMEDIUM bitmap{};
    bitmap.tymed = TYMED_GDI;
    bitmap.hBitmap = CreateBitmap(1, 1, 1, 1, nullptr);
    EXPECT_EQ(Object->SetData(&gdi, &bitmap, FALSE), DV_E_TYMED);
    EXPECT_EQ(Object->GetFormats().size(), 1u);
    FORMATETC wrongTymed = Format(cf, DVASPECT_CONTENT, TYMED_HGLOBAL);
    STGMEDIUM wrong{};
    wrong.tymed = TYMED_GDI;
    wrong.hBitmap = bitmap.hBitmap;
    EXPECT_EQ(Object->SetData(&wrongTymed, &wrong, FALSE), DV_E_TYMED);
    ASSERT_EQ(Object->GetData(&f, &out), S_OK);
    EXPECT_EQ(Text(out.hGlobal), "again");
    ReleaseStgMedium(&out);
    DeleteObject(bitmap.hBitmap);

    // File names are copied into task memory.
    FORMATETC file = Format(CFFileContents, DVASPECT_CONTENT, TYMED_FILE);
    STGMEDIUM name{};
    name.tymed = TYMED_FILE;
    wchar_t path[] = L"C:\\notes.txt";
    name.lpszFileName = path;
    EXPECT_EQ(Object->SetData(&file, &name, FALSE), S_OK);
    EXPECT_NE(Object->GetFormats().back().StgMedium.lpszFileName, path);
    EXPECT_STREQ(Object->GetFormats().back().StgMedium.lpszFileName, path);

    // Other hand-outs: GetDataHere and the canonical format.
    EXPECT_EQ(Object->GetDataHere(&f, &out), E_NOTIMPL);
    FORMATETC canonical = f;
    canonical.ptd = reinterpret_cast<DVTARGETDEVICE*>(0x1);
    EXPECT_EQ(Object->GetCanonicalFormatEtc(&f, &canonical), E_NOTIMPL);
    EXPECT_EQ(canonical.ptd, nullptr);
}

TEST_F(LvDataObjectTest, QueryGetDataAnswersTheFirstFormatMatch) {
    EXPECT_EQ(Store(CF_GVHEADER, "thumb", TRUE, DVASPECT_THUMBNAIL), S_OK);
    EXPECT_EQ(Store(CF_GVHEADER, "content", TRUE, DVASPECT_CONTENT), S_OK);
    FORMATETC f = Format(CF_GVHEADER);
    // The first entry of the format has another aspect, even though a later
    // one would match.
    EXPECT_EQ(Object->QueryGetData(&f), DV_E_DVASPECT);
    FORMATETC thumb = Format(CF_GVHEADER, DVASPECT_THUMBNAIL, TYMED_ISTREAM);
    EXPECT_EQ(Object->QueryGetData(&thumb), DV_E_TYMED);
    FORMATETC other = Format(CF_TEXT);
    EXPECT_EQ(Object->QueryGetData(&other), DV_E_FORMATETC);
    STGMEDIUM out{};
    EXPECT_EQ(Object->GetData(&other, &out), DV_E_FORMATETC);

    // The owner's hooks come first.
    struct THooks {
        bool Available = false;
        void Query(const FORMATETC&, bool& FormatAvailable, bool& Handled) {
            FormatAvailable = Available;
            Handled = true;
        }
        void Get(const FORMATETC&, STGMEDIUM& Medium, bool& Handled) {
            Medium.tymed = TYMED_HGLOBAL;
            Medium.hGlobal = GlobalAlloc(GMEM_FIXED, 3);
            Handled = true;
        }
    } hooks;
    Object->OnQueryGetData = TQueryGetDataEvent(&hooks, &THooks::Query);
    EXPECT_EQ(Object->QueryGetData(&other), DV_E_FORMATETC);
    hooks.Available = true;
    EXPECT_EQ(Object->QueryGetData(&other), S_OK);
    Object->OnGetData = TGetDataEvent(&hooks, &THooks::Get);
    ASSERT_EQ(Object->GetData(&other, &out), S_OK);
    EXPECT_EQ(GlobalSize(out.hGlobal), 3u);
    ReleaseStgMedium(&out);
}

TEST_F(LvDataObjectTest, EnumeratorAdviseAndRelease) {
    Store(CF_GVHEADER, "a", TRUE);
    Store(CFPreferredDropEffect, "b", TRUE);
    Store(CFShellIDList, "c", TRUE);
    IEnumFORMATETC* e = nullptr;
    EXPECT_EQ(Object->EnumFormatEtc(DATADIR_SET, &e), E_NOTIMPL);
    EXPECT_EQ(e, nullptr);
    ASSERT_EQ(Object->EnumFormatEtc(DATADIR_GET, &e), S_OK);
    FORMATETC got[4]{};
    ULONG fetched = 0;
    EXPECT_EQ(e->Next(2, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(got[1].cfFormat, CFPreferredDropEffect);
    EXPECT_EQ(e->Skip(1), S_FALSE);  // reaches the end: the position stays
    IEnumFORMATETC* clone = nullptr;
    ASSERT_EQ(e->Clone(&clone), S_OK);
    EXPECT_EQ(e->Next(4, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].cfFormat, CFShellIDList);
    EXPECT_EQ(clone->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(got[0].cfFormat, CFShellIDList);
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(1), S_OK);
    EXPECT_EQ(e->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(got[0].cfFormat, CFPreferredDropEffect);
    EXPECT_EQ(clone->Release(), 0u);
    EXPECT_EQ(e->Release(), 0u);

    TSink sink;
    DWORD connection = 0;
    FORMATETC f = Format(CF_GVHEADER);
    EXPECT_EQ(Object->DUnadvise(1), OLE_E_ADVISENOTSUPPORTED);
    ASSERT_EQ(Object->DAdvise(&f, ADVF_NODATA, &sink, &connection), S_OK);
    Store(CF_GVHEADER, "changed", TRUE);
    EXPECT_EQ(sink.Changes, 1);
    EXPECT_EQ(Object->DUnadvise(connection), S_OK);
    EXPECT_EQ(Object->GetRefCount(), 1);
}

TEST_F(LvDataObjectTest, DestroyedObjectReleasesItsMedia) {
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    FORMATETC sf = Format(CFFileContents, DVASPECT_CONTENT, TYMED_ISTREAM);
    STGMEDIUM sm{};
    sm.tymed = TYMED_ISTREAM;
    sm.pstm = stream;
    stream->AddRef();
    EXPECT_EQ(Object->SetData(&sf, &sm, TRUE), S_OK);
    EXPECT_EQ(stream->AddRef(), 3u);
    stream->Release();
    Object->Release();
    Object = nullptr;
    EXPECT_EQ(stream->Release(), 0u);
}

TEST_F(LvDataObjectTest, BufferHelpersRoundTrip) {
    const char payload[] = {1, 2, 3, 0, 5};
    ASSERT_TRUE(SaveToDataObject(Object, CF_GVHEADER, payload, sizeof payload));
    std::vector<char> buffer;
    ASSERT_TRUE(LoadFromDataObject(Object, CF_GVHEADER, buffer));
    EXPECT_EQ(buffer, std::vector<char>(payload, payload + sizeof payload));
    // The medium handed out was released again.
    EXPECT_EQ(Object->GetRefCount(), 1);
    EXPECT_FALSE(LoadFromDataObject(Object, CF_TEXT, buffer));

    HGLOBAL source = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(source), "abcd", 4);
    GlobalUnlock(source);
    HGLOBAL copy = DuplicateGlobal(source);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, source);
    EXPECT_EQ(GlobalSize(copy), 4u);
    EXPECT_EQ(std::memcmp(GlobalLock(copy), "abcd", 4), 0);
    GlobalUnlock(copy);
    GlobalFree(copy);
    GlobalFree(source);

    // The shell formats and the header format are registered.
    for (CLIPFORMAT cf : {CFShellIDList, CFLogicalPerformedDropEffect, CFPreferredDropEffect, CFPerformedDropEffect,
                          CFPasteSucceeded, CFInShellDragLoop, CFShellIDListOffset, CFFileContents,
                          CFFileGroupDescriptorA, CFFileGroupDescriptorW, CF_GVHEADER})
        EXPECT_GE(cf, 0xC000);
    char name[64] = {};
    GetClipboardFormatNameA(CF_GVHEADER, name, sizeof name);
    EXPECT_STREQ(name, "GvListview.Header");
    FORMATETC header{};
    HeaderClipboardFormatEtc(header);
    EXPECT_EQ(header.cfFormat, CF_GVHEADER);
    EXPECT_EQ(header.dwAspect, 0xFFFFFFFFu);
    EXPECT_EQ(header.lindex, -1);
    EXPECT_EQ(header.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
}

} // namespace
