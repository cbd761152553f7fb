#include "unicode/UniWideStrings.h"

#include <vector>

#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Strings.h"
#include "unicode/UniClasses.h"
#include "unicode/UniWideStrUtils.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TWideStrings)

namespace {

constexpr wchar_t LineSeparator = 0x2028;

// The one 8-bit character of a separator, or the fallback when the wide
// one has no single-byte form.
char SeparatorToAnsi(wchar_t c, char fallback) {
    std::string a = gcl::WideToAnsi(std::wstring(1, c));
    return a.size() == 1 ? a[0] : fallback;
}

wchar_t SeparatorToWide(char c) {
    std::wstring w = gcl::AnsiToWide(std::string(1, c));
    return w.size() == 1 ? w[0] : static_cast<wchar_t>(static_cast<unsigned char>(c));
}

} // namespace

std::string WideToUtf16LEBytes(const std::wstring& text) {
    std::string bytes(text.size() * 2, '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        auto unit = static_cast<uint16_t>(text[i]);
        bytes[2 * i] = static_cast<char>(unit & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::wstring Utf16LEBytesToWide(const char* bytes, size_t count) {
    std::wstring text(count / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                                             static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return text;
}

TWideStrings::~TWideStrings() {
    if (FAdapter) FAdapter->ReleaseStrings();
}

void TWideStrings::SetStringsAdapter(IWideStringsAdapter* value) {
    if (FAdapter) FAdapter->ReleaseStrings();
    FAdapter = gcl::ComPtr<IWideStringsAdapter>(value);
    if (FAdapter) FAdapter->ReferenceStrings(this);
}

wchar_t TWideStrings::GetDelimiter() const {
    if (!(FDefinedFlags & DelimiterDefined)) {
        FDelimiter = L',';
        FDefinedFlags |= DelimiterDefined;
    }
    return FDelimiter;
}

wchar_t TWideStrings::GetQuoteChar() const {
    if (!(FDefinedFlags & QuoteCharDefined)) {
        FQuoteChar = L'"';
        FDefinedFlags |= QuoteCharDefined;
    }
    return FQuoteChar;
}

wchar_t TWideStrings::GetNameValueSeparator() const {
    if (!(FDefinedFlags & NameValueSeparatorDefined)) {
        FNameValueSeparator = L'=';
        FDefinedFlags |= NameValueSeparatorDefined;
    }
    return FNameValueSeparator;
}

void TWideStrings::Error(const char* message, int data) {
    throw gcl::EStringListError(gcl::Format(message, {data}));
}

// ---- Assign --------------------------------------------------------------------

void TWideStrings::Assign(gcl::TPersistent* source) {
    if (auto* wide = dynamic_cast<TWideStrings*>(source)) {
        if (wide == this) return;
        gcl::TUpdateGuard<TWideStrings> update(*this);
        Clear();
        FDefinedFlags = wide->FDefinedFlags;
        FNameValueSeparator = wide->FNameValueSeparator;
        FQuoteChar = wide->FQuoteChar;
        FDelimiter = wide->FDelimiter;
        AddStrings(*wide);
        return;
    }
    if (auto* ansi = dynamic_cast<gcl::TStrings*>(source)) {
        gcl::TUpdateGuard<TWideStrings> update(*this);
        Clear();
        // The separators of an 8-bit list are always set, so they count as
        // set here too.
        FNameValueSeparator = SeparatorToWide(ansi->GetNameValueSeparator());
        FQuoteChar = SeparatorToWide(ansi->GetQuoteChar());
        FDelimiter = SeparatorToWide(ansi->GetDelimiter());
        FDefinedFlags |= DelimiterDefined | QuoteCharDefined | NameValueSeparatorDefined;
        AddAnsiStrings(*ansi);
        return;
    }
    inherited::Assign(source);
}

void TWideStrings::AssignTo(gcl::TPersistent* dest) const {
    if (auto* wide = dynamic_cast<TWideStrings*>(dest)) {
        wide->Assign(const_cast<TWideStrings*>(this));
        return;
    }
    if (auto* ansi = dynamic_cast<gcl::TStrings*>(dest)) {
        gcl::TUpdateGuard<gcl::TStrings> update(*ansi);
        ansi->Clear();
        ansi->SetNameValueSeparator(SeparatorToAnsi(GetNameValueSeparator(), ansi->GetNameValueSeparator()));
        ansi->SetQuoteChar(SeparatorToAnsi(GetQuoteChar(), ansi->GetQuoteChar()));
        ansi->SetDelimiter(SeparatorToAnsi(GetDelimiter(), ansi->GetDelimiter()));
        int count = GetCount();
        for (int i = 0; i < count; ++i) ansi->AddObject(gcl::WideToAnsi(Get(i)), GetObject(i));
        return;
    }
    inherited::AssignTo(dest);
}

// ---- Default item operations ---------------------------------------------------

gcl::TObject* TWideStrings::GetObject(int) const { return nullptr; }

void TWideStrings::PutObject(int, gcl::TObject*) {}

void TWideStrings::Put(int index, const std::wstring& s) {
    gcl::TObject* object = GetObject(index);
    Delete(index);
    InsertObject(index, s, object);
}

int TWideStrings::Add(const std::wstring& s) {
    int index = GetCount();
    Insert(index, s);
    return index;
}

int TWideStrings::AddObject(const std::wstring& s, gcl::TObject* object) {
    int index = Add(s);
    PutObject(index, object);
    return index;
}

void TWideStrings::AddAnsiStrings(const gcl::TStrings& strings) {
    gcl::TUpdateGuard<TWideStrings> update(*this);
    int count = strings.GetCount();
    for (int i = 0; i < count; ++i) AddObject(gcl::AnsiToWide(strings.Get(i)), strings.GetObject(i));
}

void TWideStrings::AddStrings(const TWideStrings& strings) {
    gcl::TUpdateGuard<TWideStrings> update(*this);
    int count = strings.GetCount();
    for (int i = 0; i < count; ++i) AddObject(strings.Get(i), strings.GetObject(i));
}

void TWideStrings::Exchange(int index1, int index2) {
    gcl::TUpdateGuard<TWideStrings> update(*this);
    std::wstring s1 = Get(index1);
    std::wstring s2 = Get(index2);
    gcl::TObject* o1 = GetObject(index1);
    gcl::TObject* o2 = GetObject(index2);
    Put(index1, s2);
    PutObject(index1, o2);
    Put(index2, s1);
    PutObject(index2, o1);
}

void TWideStrings::InsertObject(int index, const std::wstring& s, gcl::TObject* object) {
    Insert(index, s);
    PutObject(index, object);
}

void TWideStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    gcl::TUpdateGuard<TWideStrings> update(*this);
    std::wstring s = Get(curIndex);
    gcl::TObject* object = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, object);
}

int TWideStrings::IndexOf(const std::wstring& s) const {
    int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TWideStrings::IndexOfName(const std::wstring& name) const {
    wchar_t separator = GetNameValueSeparator();
    int count = GetCount();
    for (int i = 0; i < count; ++i) {
        std::wstring s = Get(i);
        size_t p = s.find(separator);
        if (p != std::wstring::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
    }
    return -1;
}

int TWideStrings::IndexOfObject(gcl::TObject* object) const {
    int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

int TWideStrings::CompareStrings(const std::wstring& s1, const std::wstring& s2) const {
    return gcl::WideCompareText(s1, s2);
}

void TWideStrings::SetUpdateState(bool) {}

void TWideStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TWideStrings::EndUpdate() {
    if (FUpdateCount <= 0) return;
    --FUpdateCount;
    if (FUpdateCount == 0) SetUpdateState(false);
}

bool TWideStrings::Equals(const TWideStrings& strings) const {
    int count = GetCount();
    if (count != strings.GetCount()) return false;
    for (int i = 0; i < count; ++i)
        if (Get(i) != strings.Get(i)) return false;
    return true;
}

// ---- Text -------------------------------------------------------------------------

std::wstring TWideStrings::GetTextStr() const {
    int count = GetCount();
    std::vector<std::wstring> items;
    items.reserve(static_cast<size_t>(count));
    size_t size = 0;
    for (int i = 0; i < count; ++i) {
        items.push_back(Get(i));
        size += items.back().size() + 2;
    }
    std::wstring result;
    result.reserve(size);
    for (const std::wstring& s : items) {
        result += s;
        result += L"\r\n";
    }
    return result;
}

void TWideStrings::SetTextStr(const std::wstring& value) {
    gcl::TUpdateGuard<TWideStrings> update(*this);
    Clear();
    const size_t n = value.size();
    size_t p = 0;
    while (p < n) {
        size_t start = p;
        while (p < n && value[p] != L'\n' && value[p] != L'\r' && value[p] != LineSeparator) ++p;
        Add(value.substr(start, p - start));
        if (p < n && value[p] == L'\r') ++p;
        if (p < n && value[p] == L'\n') ++p;
        if (p < n && value[p] == LineSeparator) ++p;
    }
}

wchar_t* TWideStrings::GetText() const {
    std::wstring text = GetTextStr();
    return WStrNew(text.c_str());
}

void TWideStrings::SetText(const wchar_t* text) { SetTextStr(text ? std::wstring(text) : std::wstring()); }

// ---- Files and streams ------------------------------------------------------------

void TWideStrings::LoadFromFile(const std::wstring& fileName) {
    TUniFileStream stream(fileName, gcl::fmOpenRead | gcl::fmShareDenyWrite);
    LoadFromStream(stream);
}

void TWideStrings::LoadFromStream(gcl::TStream& stream) {
    gcl::TUpdateGuard<TWideStrings> update(*this);
    int64_t size = stream.GetSize() - stream.GetPosition();
    if (size < 0) size = 0;
    size -= size % 2;
    stream.CheckAvailable(size);
    std::vector<char> bytes(static_cast<size_t>(size));
    if (size > 0) stream.ReadBuffer(bytes.data(), static_cast<int32_t>(size));
    SetTextStr(Utf16LEBytesToWide(bytes.data(), bytes.size()));
}

void TWideStrings::SaveToFile(const std::wstring& fileName) const {
    TUniFileStream stream(fileName, gcl::fmCreate);
    SaveToStream(stream);
}

void TWideStrings::SaveToStream(gcl::TStream& stream) const {
    std::string bytes = WideToUtf16LEBytes(GetTextStr());
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

// ---- Streaming ----------------------------------------------------------------------

void TWideStrings::DefineProperties(gcl::TFiler& filer) {
    inherited::DefineProperties(filer);
    bool hasData;
    if (gcl::TPersistent* ancestor = filer.GetAncestor()) {
        auto* strings = dynamic_cast<TWideStrings*>(ancestor);
        hasData = !strings || !Equals(*strings);
    } else {
        hasData = GetCount() > 0;
    }
    filer.DefineProperty("Strings", gcl::TReaderProc(this, &TWideStrings::ReadData),
                         gcl::TWriterProc(this, &TWideStrings::WriteData), hasData);
}

void TWideStrings::ReadData(gcl::TReader& reader) {
    switch (reader.NextValue()) {
    case gcl::vaString:
    case gcl::vaLString:
        SetTextStr(gcl::AnsiToWide(reader.ReadString()));
        return;
    case gcl::vaWString:
        SetTextStr(reader.ReadWideString());
        return;
    default:
        break;
    }
    reader.ReadListBegin();
    {
        gcl::TUpdateGuard<TWideStrings> update(*this);
        Clear();
        while (!reader.EndOfList()) Add(reader.ReadWideString());
    }
    reader.ReadListEnd();
}

void TWideStrings::WriteData(gcl::TWriter& writer) {
    writer.WriteListBegin();
    int count = GetCount();
    for (int i = 0; i < count; ++i) writer.WriteWideString(Get(i));
    writer.WriteListEnd();
}

} // namespace qelvo
