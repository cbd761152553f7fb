#include "gcl/rtl/WinApi.h"

#include "unicode/UniClasses.h"

#include <algorithm>
#include <functional>

#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"
#include "unicode/UniSystem.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TAnsiStrings)
GCL_IMPLEMENT_CLASS(TAnsiStringsForWideStringsAdapter)
GCL_IMPLEMENT_CLASS(TUniStrings)
GCL_IMPLEMENT_CLASS(TUniStringList)
GCL_IMPLEMENT_CLASS(TUniFileStream)
GCL_IMPLEMENT_CLASS(TUniMemoryStream)
GCL_IMPLEMENT_CLASS(TWideComponentHelper)

namespace {

// The rest of the stream as bytes.
std::string ReadRest(gcl::TStream& stream) {
    int64_t size = stream.GetSize() - stream.GetPosition();
    if (size <= 0) return std::string();
    stream.CheckAvailable(size);
    if (size > INT32_MAX) throw gcl::EReadError(gcl::msg::ReadError);
    std::string bytes(static_cast<size_t>(size), '\0');
    stream.ReadBuffer(bytes.data(), static_cast<int32_t>(size));
    return bytes;
}

void WriteBytes(gcl::TStream& stream, const std::string& bytes) {
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) throw gcl::EWriteError(gcl::msg::WriteError);
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

} // namespace

// ---- Character sets -------------------------------------------------------------

TStreamCharSet AutoDetectCharacterSet(gcl::TStream& stream) {
    const int64_t remaining = stream.GetSize() - stream.GetPosition();
    uint16_t mark = 0;
    if (remaining >= 2) {
        unsigned char b[2];
        stream.ReadBuffer(b, 2);
        mark = static_cast<uint16_t>(b[0] | b[1] << 8);
        if (mark != 0xFEFF && mark != 0xFFFE) {
            mark = 0;
            stream.Seek(-2, gcl::soCurrent);
        }
    }
    if (mark == 0xFEFF) return csUnicode;
    if (mark == 0xFFFE) return csUnicodeSwapped;
    if (remaining >= 3) {
        unsigned char b[3];
        stream.ReadBuffer(b, 3);
        if (b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return csUtf8;
        stream.Seek(-3, gcl::soCurrent);
    }
    return csAnsi;
}

// ---- TAnsiStringsForWideStringsAdapter ---------------------------------------------

unsigned TAnsiStringsForWideStringsAdapter::CodePage() const {
    return FAdapterCodePage == 0 ? static_cast<unsigned>(DefaultSystemCodePage) : FAdapterCodePage;
}

std::string TAnsiStringsForWideStringsAdapter::Get(int index) const {
    return WideStringToStringEx(FWideStrings->Get(index), CodePage());
}

int TAnsiStringsForWideStringsAdapter::GetCount() const { return FWideStrings->GetCount(); }

void TAnsiStringsForWideStringsAdapter::Clear() { FWideStrings->Clear(); }

void TAnsiStringsForWideStringsAdapter::Delete(int index) { FWideStrings->Delete(index); }

void TAnsiStringsForWideStringsAdapter::Insert(int index, const std::string& s) {
    FWideStrings->Insert(index, StringToWideStringEx(s, CodePage()));
}

void TAnsiStringsForWideStringsAdapter::Put(int index, const std::string& s) {
    FWideStrings->Put(index, StringToWideStringEx(s, CodePage()));
}

gcl::TObject* TAnsiStringsForWideStringsAdapter::GetObject(int index) const { return FWideStrings->GetObject(index); }

void TAnsiStringsForWideStringsAdapter::PutObject(int index, gcl::TObject* object) {
    FWideStrings->PutObject(index, object);
}

void TAnsiStringsForWideStringsAdapter::SetUpdateState(bool updating) {
    if (updating)
        FWideStrings->BeginUpdate();
    else
        FWideStrings->EndUpdate();
}

void TAnsiStringsForWideStringsAdapter::LoadFromStreamEx(gcl::TStream& stream, unsigned codePage) {
    gcl::TStringsUpdate update(*this);
    FWideStrings->SetTextStr(StringToWideStringEx(ReadRest(stream), codePage));
}

void TAnsiStringsForWideStringsAdapter::SaveToStreamEx(gcl::TStream& stream, unsigned codePage) const {
    WriteBytes(stream, WideStringToStringEx(FWideStrings->GetTextStr(), codePage));
}

// ---- TUniStrings ----------------------------------------------------------------------

TUniStrings::TUniStrings() : FAnsiStrings(std::make_unique<TAnsiStringsForWideStringsAdapter>(this, 0)) {}

TUniStrings::~TUniStrings() = default;

void TUniStrings::SetAnsiStrings(gcl::TStrings* value) { FAnsiStrings->Assign(value); }

void TUniStrings::LoadFromFile(const std::wstring& fileName) {
    TUniFileStream stream(fileName, gcl::fmOpenRead | gcl::fmShareDenyWrite);
    FLastFileCharSet = AutoDetectCharacterSet(stream);
    stream.SetPosition(0);
    LoadFromStream(stream);
}

void TUniStrings::LoadFromStream(gcl::TStream& stream) { LoadFromStreamWithCharset(stream, true); }

void TUniStrings::SaveToFile(const std::wstring& fileName) const {
    TUniFileStream stream(fileName, gcl::fmCreate);
    SaveToStream(stream);
}

void TUniStrings::SaveToStream(gcl::TStream& stream) const { SaveToStreamWithBOM(stream, true); }

void TUniStrings::LoadFromStreamWithCharset(gcl::TStream& stream, bool withBOM) {
    gcl::TUpdateGuard<TWideStrings> update(*this);
    TStreamCharSet charSet = withBOM ? AutoDetectCharacterSet(stream) : csUnicode;
    std::string bytes = ReadRest(stream);
    std::wstring text;
    switch (charSet) {
    case csUnicode:
    case csUnicodeSwapped:
        if (bytes.size() >= 2) {
            if (charSet == csUnicodeSwapped)
                for (size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
            text = Utf16LEBytesToWide(bytes.data(), bytes.size());
        }
        break;
    case csUtf8:
        text = UTF8ToWideString(bytes);
        break;
    case csAnsi:
        text = gcl::AnsiToWide(bytes);
        break;
    }
    SetTextStr(text);
}

void TUniStrings::SaveToStreamWithBOM(gcl::TStream& stream, bool withBOM) const {
    if (withBOM) {
        static const unsigned char mark[2] = {0xFF, 0xFE};
        stream.WriteBuffer(mark, 2);
    }
    WriteBytes(stream, WideToUtf16LEBytes(GetTextStr()));
}

void TUniStrings::DefineProperties(gcl::TFiler& filer) {
    inherited::DefineProperties(filer);
    // Older form files: read, never written.
    filer.DefineProperty("WideStrings", gcl::TReaderProc(this, &TUniStrings::ReadData), nullptr, false);
    filer.DefineProperty("WideStringsW", gcl::TReaderProc(this, &TUniStrings::ReadWideStringsW), nullptr, false);
    filer.DefineProperty("WideStrings_UTF7", gcl::TReaderProc(this, &TUniStrings::ReadWideStringsUTF7), nullptr,
                         false);
}

void TUniStrings::ReadWideStringsW(gcl::TReader& reader) {
    reader.ReadListBegin();
    if (GetCount() == 0) {
        gcl::TUpdateGuard<TWideStrings> update(*this);
        Clear();
        while (!reader.EndOfList()) Add(UTF8ToWideString(reader.ReadString()));
    } else {
        while (!reader.EndOfList()) reader.ReadString();
    }
    reader.ReadListEnd();
}

void TUniStrings::ReadWideStringsUTF7(gcl::TReader& reader) {
    reader.ReadListBegin();
    while (!reader.EndOfList()) reader.ReadString();
    reader.ReadListEnd();
}

// ---- TUniStringList -----------------------------------------------------------------

TUniStringList::~TUniStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TUniStringList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) Error(gcl::msg::ListIndexError, index);
}

std::wstring TUniStringList::Get(int index) const {
    CheckIndex(index);
    return FList[static_cast<size_t>(index)].FString;
}

void TUniStringList::SetCapacity(int newCapacity) {
    if (newCapacity < GetCount()) Error(gcl::msg::ListCapacityError, newCapacity);
    if (newCapacity < static_cast<int>(FList.capacity()))
        FList.shrink_to_fit();
    FList.reserve(static_cast<size_t>(newCapacity));
    FCapacity = newCapacity;
}

void TUniStringList::Grow() {
    int delta = FCapacity > 64 ? FCapacity / 4 : (FCapacity > 8 ? 16 : 4);
    SetCapacity(FCapacity + delta);
}

gcl::TObject* TUniStringList::GetObject(int index) const {
    CheckIndex(index);
    return FList[static_cast<size_t>(index)].FObject;
}

void TUniStringList::PutObject(int index, gcl::TObject* object) {
    CheckIndex(index);
    Changing();
    FList[static_cast<size_t>(index)].FObject = object;
    Changed();
}

void TUniStringList::Put(int index, const std::wstring& s) {
    if (FSorted) Error(gcl::msg::SortedListError, 0);
    CheckIndex(index);
    Changing();
    FList[static_cast<size_t>(index)].FString = s;
    Changed();
}

int TUniStringList::Add(const std::wstring& s) { return AddObject(s, nullptr); }

int TUniStringList::AddObject(const std::wstring& s, gcl::TObject* object) {
    int index = GetCount();
    if (FSorted && Find(s, index)) {
        switch (FDuplicates) {
        case gcl::dupIgnore:
            return index;
        case gcl::dupError:
            Error(gcl::msg::DuplicateString, 0);
        case gcl::dupAccept:
            break;
        }
    }
    InsertItem(index, s, object);
    return index;
}

void TUniStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    std::vector<TUniStringItem>().swap(FList);
    FCapacity = 0;
    Changed();
}

void TUniStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    FList.erase(FList.begin() + index);
    Changed();
}

void TUniStringList::ExchangeItems(int index1, int index2) noexcept {
    std::swap(FList[static_cast<size_t>(index1)], FList[static_cast<size_t>(index2)]);
}

void TUniStringList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    ExchangeItems(index1, index2);
    Changed();
}

bool TUniStringList::Find(const std::wstring& s, int& index) const {
    bool result = false;
    int l = 0, h = GetCount() - 1;
    while (l <= h) {
        int i = (l + h) >> 1;
        int c = CompareStrings(FList[static_cast<size_t>(i)].FString, s);
        if (c < 0) {
            l = i + 1;
        } else {
            h = i - 1;
            if (c == 0) {
                result = true;
                if (FDuplicates != gcl::dupAccept) l = i;
            }
        }
    }
    index = l;
    return result;
}

int TUniStringList::IndexOf(const std::wstring& s) const {
    if (!FSorted) return inherited::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

int TUniStringList::IndexOfName(const std::wstring& name) const {
    if (!FSorted) return inherited::IndexOfName(name);
    const std::wstring key = name + GetNameValueSeparator();
    int index;
    Find(key, index);
    if (index < GetCount() && CompareStrings(FList[static_cast<size_t>(index)].FString.substr(0, key.size()), key) == 0)
        return index;
    return -1;
}

void TUniStringList::Insert(int index, const std::wstring& s) { InsertObject(index, s, nullptr); }

void TUniStringList::InsertObject(int index, const std::wstring& s, gcl::TObject* object) {
    if (FSorted) Error(gcl::msg::SortedListError, 0);
    if (index < 0 || index > GetCount()) Error(gcl::msg::ListIndexError, index);
    InsertItem(index, s, object);
}

void TUniStringList::InsertItem(int index, const std::wstring& s, gcl::TObject* object) {
    Changing();
    if (GetCount() == FCapacity) Grow();
    FList.insert(FList.begin() + index, TUniStringItem{s, object});
    Changed();
}

void TUniStringList::SetUpdateState(bool updating) {
    // The changing event fires while the list does not yet count as
    // updating, the changed event once it no longer does.
    if (updating) {
        Changing();
        FUpdating = true;
    } else {
        FUpdating = false;
        Changed();
    }
}

void TUniStringList::Changing() {
    if (!FUpdating && OnChanging) OnChanging(this);
}

void TUniStringList::Changed() {
    if (!FUpdating && OnChange) OnChange(this);
}

int TUniStringList::CompareStrings(const std::wstring& s1, const std::wstring& s2) const {
    return FCaseSensitive ? gcl::WideCompareStr(s1, s2) : gcl::WideCompareText(s1, s2);
}

int TUniStringList::CompareByStrings(TUniStringList* list, int index1, int index2) {
    return list->CompareStrings(list->FList[static_cast<size_t>(index1)].FString,
                                list->FList[static_cast<size_t>(index2)].FString);
}

void TUniStringList::Sort() { CustomSort(&TUniStringList::CompareByStrings); }

void TUniStringList::CustomSort(TUniStringListSortCompare compare) {
    if (FSorted || GetCount() < 2) return;
    Changing();
    QuickSort(0, GetCount() - 1, compare);
    Changed();
}

void TUniStringList::QuickSort(int l, int r, TUniStringListSortCompare compare) {
    int i;
    do {
        i = l;
        int j = r, p = (l + r) >> 1;
        do {
            // The bounds only matter for a compare function that does not
            // find an item equal to itself.
            while (i < r && compare(this, i, p) < 0) ++i;
            while (j > l && compare(this, j, p) > 0) --j;
            if (i <= j) {
                if (i != j) ExchangeItems(i, j);
                if (p == i)
                    p = j;
                else if (p == j)
                    p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j) QuickSort(l, j, compare);
        l = i;
    } while (i < r);
}

void TUniStringList::SetSorted(bool value) {
    if (value == FSorted) return;
    if (value) Sort();
    FSorted = value;
}

void TUniStringList::SetCaseSensitive(bool value) {
    if (value == FCaseSensitive) return;
    FCaseSensitive = value;
    if (FSorted) {
        FSorted = false;
        Sort();
        FSorted = true;
    }
}

// ---- TUniFileStream -------------------------------------------------------------------

TUniFileStream::TUniFileStream(const std::wstring& fileName, uint16_t mode)
    : gcl::THandleStream(gcl::InvalidHandle), FFileName(fileName) {
    if (mode == gcl::fmCreate) {
        FHandle = WideFileCreate(fileName);
        if (FHandle == gcl::InvalidHandle) {
            DWORD code = GetLastError();
            throw gcl::EFCreateError(gcl::Format(gcl::msg::FCreateError,
                                                 {gcl::WideToAnsi(WideExpandFileName(fileName)),
                                                  gcl::WideToAnsi(WideSysErrorMessage(code))}));
        }
    } else {
        FHandle = WideFileOpen(fileName, mode);
        if (FHandle == gcl::InvalidHandle) {
            DWORD code = GetLastError();
            throw gcl::EFOpenError(gcl::Format(gcl::msg::FOpenError,
                                               {gcl::WideToAnsi(WideExpandFileName(fileName)),
                                                gcl::WideToAnsi(WideSysErrorMessage(code))}));
        }
    }
}

TUniFileStream::~TUniFileStream() {
    if (FHandle != gcl::InvalidHandle) gcl::detail::FileClose(FHandle);
}

// ---- Synced wide strings ------------------------------------------------------------

std::wstring GetSyncedWideString(std::wstring& wideValue, const std::string& ansiValue) {
    if (gcl::WideToAnsi(wideValue) != ansiValue) wideValue = gcl::AnsiToWide(ansiValue);
    return wideValue;
}

void SetSyncedWideString(const std::wstring& value, std::wstring& wideValue, std::string ansiValue,
                         TSetAnsiStrProc setAnsiValue, gcl::TObject* obj) {
    if (value == GetSyncedWideString(wideValue, ansiValue)) return;
    const std::string ansiForm = gcl::WideToAnsi(value);
    // A text the 8-bit side cannot hold may have the same 8-bit form as the
    // current one; passing "" first makes the owner see a change.
    if (gcl::AnsiToWide(ansiForm) != value && ansiForm == ansiValue) setAnsiValue(obj, std::string());
    wideValue = value;
    setAnsiValue(obj, ansiForm);
}

// ---- Companions -----------------------------------------------------------------------

namespace {

[[noreturn]] gcl::TComponent* RaiseHelperCreate() { throw EUniInternalError(msg::HelperCreate); }

} // namespace

TWideComponentHelperList::~TWideComponentHelperList() {
    while (!FItems.empty()) FItems.back()->Free();
}

bool TWideComponentHelperList::Search(const gcl::TComponent* component, size_t& index) const noexcept {
    auto it = std::lower_bound(FItems.begin(), FItems.end(), component,
                               [](const TWideComponentHelper* helper, const gcl::TComponent* c) {
                                   return std::less<const void*>()(helper->GetComponent(), c);
                               });
    index = static_cast<size_t>(it - FItems.begin());
    return it != FItems.end() && (*it)->GetComponent() == component;
}

TWideComponentHelper::TWideComponentHelper(gcl::TComponent*) : gcl::TComponent(RaiseHelperCreate()) {}

TWideComponentHelper::TWideComponentHelper(gcl::TComponent* component, TWideComponentHelperList* list)
    : gcl::TComponent(nullptr), FComponent(component), FList(list) {
    component->FreeNotification(this);
    size_t index;
    list->Search(component, index);
    list->FItems.insert(list->FItems.begin() + static_cast<std::ptrdiff_t>(index), this);
}

void TWideComponentHelper::BeforeDestruction() noexcept {
    if (FList) {
        auto& items = FList->FItems;
        auto it = std::find(items.begin(), items.end(), this);
        if (it != items.end()) items.erase(it);
        FList = nullptr;
    }
    inherited::BeforeDestruction();
}

void TWideComponentHelper::Notification(gcl::TComponent* component, gcl::TOperation operation) {
    inherited::Notification(component, operation);
    if (operation == gcl::opRemove && component == FComponent && component) {
        FComponent = nullptr;
        Free();
    }
}

TWideComponentHelper* FindWideComponentHelper(const TWideComponentHelperList* list, const gcl::TComponent* component) {
    if (!list || !component) return nullptr;
    size_t index;
    return list->Search(component, index) ? list->FItems[index] : nullptr;
}

// ---- Filer properties -------------------------------------------------------------------

void TUniWideStringPropertyFiler::DefineProperties(gcl::TFiler& filer, const std::string& propName) {
    filer.DefineProperty(propName + "W", gcl::TReaderProc(this, &TUniWideStringPropertyFiler::IgnoreData), nullptr,
                         false);
    filer.DefineProperty(propName + "_UTF7", gcl::TReaderProc(this, &TUniWideStringPropertyFiler::IgnoreData),
                         nullptr, false);
}

void TUniWideStringPropertyFiler::IgnoreData(gcl::TReader& reader) { reader.ReadString(); }

void TUniWideCharPropertyFiler::DefineProperties(gcl::TFiler& filer, gcl::TPersistent* instance,
                                                 const gcl::TPropInfo* propInfo) {
    FInstance = instance;
    FPropInfo = propInfo;
    filer.DefineProperty(propInfo->Name() + "W", gcl::TReaderProc(this, &TUniWideCharPropertyFiler::ReadDataW),
                         gcl::TWriterProc(this, &TUniWideCharPropertyFiler::WriteDataW), HasData(filer));
    filer.DefineProperty(propInfo->Name() + "_UTF7", gcl::TReaderProc(this, &TUniWideCharPropertyFiler::ReadDataUTF7),
                         nullptr, false);
}

wchar_t TUniWideCharPropertyFiler::Value() const {
    return static_cast<wchar_t>(FPropInfo->GetValue(FInstance).AsOrdinal());
}

void TUniWideCharPropertyFiler::SetValue(wchar_t value) {
    FPropInfo->SetValue(FInstance, gcl::TPropValue(static_cast<int64_t>(static_cast<uint16_t>(value))));
}

bool TUniWideCharPropertyFiler::HasData(gcl::TFiler& filer) const {
    if (!FPropInfo->IsStored(FInstance)) return false;
    const int64_t value = static_cast<uint16_t>(Value());
    gcl::TPersistent* ancestor = filer.GetAncestor();
    if (ancestor && ancestor->InheritsFrom(FPropInfo->Owner()) &&
        static_cast<uint16_t>(FPropInfo->GetValue(ancestor).AsOrdinal()) == value)
        return false;
    if (FPropInfo->HasDefault() && FPropInfo->GetDefault() == value) return false;
    return true;
}

void TUniWideCharPropertyFiler::ReadDataW(gcl::TReader& reader) {
    std::wstring s;
    switch (reader.NextValue()) {
    case gcl::vaString:
        s = gcl::AnsiToWide(reader.ReadString());
        break;
    case gcl::vaWString:
        s = reader.ReadWideString();
        break;
    default:
        throw gcl::EReadError(gcl::msg::InvalidPropertyValue);
    }
    if (s.size() >= 2) throw gcl::EReadError(gcl::msg::InvalidPropertyValue);
    SetValue(s.empty() ? L'\0' : s[0]);
}

void TUniWideCharPropertyFiler::WriteDataW(gcl::TWriter& writer) { writer.WriteWideString(std::wstring(1, Value())); }

void TUniWideCharPropertyFiler::ReadDataUTF7(gcl::TReader& reader) {
    std::wstring s = UTF7ToWideString(reader.ReadString());
    SetValue(s.empty() ? L'\0' : s[0]);
}

void DefineWideProperties(gcl::TFiler& filer, gcl::TPersistent* instance) {
    for (const gcl::TPropInfo* info :
         gcl::GetPropList(instance->ClassType(), gcl::TTypeKinds{gcl::tkWString, gcl::tkWChar})) {
        if (info->IsReadOnly()) continue;
        if (info->Kind() == gcl::tkWString) {
            TUniWideStringPropertyFiler filer1;
            filer1.DefineProperties(filer, info->Name());
        } else {
            TUniWideCharPropertyFiler filer1;
            filer1.DefineProperties(filer, instance, info);
        }
    }
}

} // namespace qelvo
