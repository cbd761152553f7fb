// TWideStrings: the abstract list of wide strings, each with an associated
// object; the wide counterpart of gcl::TStrings, and convertible to and
// from it through Assign.
//
// Every index is 0-based; a bad index raises gcl::EStringListError with
// "List index out of bounds (%d)".
#pragma once

#include <cstdint>
#include <string>

#include "gcl/rtl/Interfaces.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Objects.h"
#include "gcl/rtl/Streams.h"

// <windows.h> maps GetObject to GetObjectA; the lists keep the name.
#ifdef GetObject
#undef GetObject
#endif

namespace gcl {
class TFiler;
class TReader;
class TWriter;
} // namespace gcl

namespace qelvo {

class TWideStrings;

// An outside object that works on a wide list: told when a list takes it
// (ReferenceStrings) and when the list lets it go (ReleaseStrings).
struct IWideStringsAdapter : gcl::IUnknown {
    static constexpr gcl::TGUID IID = gcl::StringToGUID("{8A233828-40F6-4CD7-9771-D6CD3F7CBBD3}");
    virtual void GCL_STDCALL ReferenceStrings(TWideStrings* strings) = 0;
    virtual void GCL_STDCALL ReleaseStrings() = 0;

protected:
    ~IWideStringsAdapter() = default;
};

class TWideStrings : public gcl::TPersistent {
    GCL_CLASS(TWideStrings, gcl::TPersistent)
public:
    TWideStrings() = default;
    // Lets go of the adapter first.
    ~TWideStrings() override;

    // From another wide list: strings, objects and separators. From an
    // 8-bit gcl::TStrings: its separators and its strings (converted) with
    // their objects. Anything else goes through the source's AssignTo.
    void Assign(gcl::TPersistent* source) override;

    // ---- Storage (descendants provide it)
    virtual std::wstring Get(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual void Insert(int index, const std::wstring& s) = 0;
    virtual int GetCapacity() const { return GetCount(); }
    virtual void SetCapacity(int) {}
    virtual gcl::TObject* GetObject(int index) const;    // null by default
    virtual void PutObject(int index, gcl::TObject* object);    // ignored by default
    // Replaces the string, keeping its object.
    virtual void Put(int index, const std::wstring& s);

    // ---- Text
    // Every string followed by CR LF.
    virtual std::wstring GetTextStr() const;
    // Replaces the contents by the lines of Value: a line ends at LF, CR or
    // U+2028; one CR, then one LF, then one U+2028 after it are skipped. A
    // break at the very end adds no empty line.
    virtual void SetTextStr(const std::wstring& value);
    // A new null-terminated copy of GetTextStr; release it with WStrDispose.
    virtual wchar_t* GetText() const;
    // SetTextStr of a null-terminated text (null: empty).
    virtual void SetText(const wchar_t* text);

    // ---- Items
    virtual int Add(const std::wstring& s);
    virtual int AddObject(const std::wstring& s, gcl::TObject* object);
    // Every string of an 8-bit list, converted, with its object.
    virtual void AddAnsiStrings(const gcl::TStrings& strings);
    virtual void AddStrings(const TWideStrings& strings);
    virtual void Exchange(int index1, int index2);
    virtual void InsertObject(int index, const std::wstring& s, gcl::TObject* object);
    virtual void Move(int curIndex, int newIndex);
    // First index whose string CompareStrings reports equal, or -1.
    virtual int IndexOf(const std::wstring& s) const;
    // First index whose string holds NameValueSeparator and whose part
    // before it equals Name by CompareStrings, or -1.
    virtual int IndexOfName(const std::wstring& name) const;
    virtual int IndexOfObject(gcl::TObject* object) const;

    // ---- Files and streams: UTF-16 LE text without a byte-order mark.
    virtual void LoadFromFile(const std::wstring& fileName);
    // The rest of the stream, (Size - Position) / 2 characters.
    virtual void LoadFromStream(gcl::TStream& stream);
    virtual void SaveToFile(const std::wstring& fileName) const;
    virtual void SaveToStream(gcl::TStream& stream) const;

    // Brackets a batch of changes: SetUpdateState(true) at the first
    // BeginUpdate, SetUpdateState(false) at the matching last EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const noexcept { return FUpdateCount; }
    // Same count and every string equal, comparing exactly.
    bool Equals(const TWideStrings& strings) const;

    // Property views.
    std::wstring GetStrings(int index) const { return Get(index); }
    void SetStrings(int index, const std::wstring& value) { Put(index, value); }
    gcl::TObject* GetObjects(int index) const { return GetObject(index); }
    void SetObjects(int index, gcl::TObject* value) { PutObject(index, value); }
    std::wstring operator[](int index) const { return Get(index); }

    // The separators; each takes its default ("," '"' "=") at the first
    // read unless Assign set it before.
    wchar_t GetDelimiter() const;
    wchar_t GetQuoteChar() const;
    wchar_t GetNameValueSeparator() const;

    IWideStringsAdapter* GetStringsAdapter() const noexcept { return FAdapter.Get(); }
    // Releases the previous adapter, then references the new one.
    void SetStringsAdapter(IWideStringsAdapter* value);

protected:
    // To another wide list: Dest.Assign(this). To an 8-bit gcl::TStrings:
    // its contents replaced by these strings converted, with their
    // objects and separators.
    void AssignTo(gcl::TPersistent* dest) const override;
    // The streamed property "Strings".
    void DefineProperties(gcl::TFiler& filer) override;
    virtual void SetUpdateState(bool updating);
    // Ignores case (gcl::WideCompareText).
    virtual int CompareStrings(const std::wstring& s1, const std::wstring& s2) const;
    [[noreturn]] static void Error(const char* message, int data);

    // "Strings": an 8-bit or wide text (one value), or a list of 8-bit and
    // wide strings.
    void ReadData(gcl::TReader& reader);
    void WriteData(gcl::TWriter& writer);

    enum : uint8_t { DelimiterDefined = 1, QuoteCharDefined = 2, NameValueSeparatorDefined = 4 };

private:
    mutable uint8_t FDefinedFlags = 0;
    mutable wchar_t FDelimiter = 0;
    mutable wchar_t FQuoteChar = 0;
    mutable wchar_t FNameValueSeparator = 0;
    int FUpdateCount = 0;
    gcl::ComPtr<IWideStringsAdapter> FAdapter;
};

// UTF-16 LE bytes of a text and back (the layout of wide text in files and
// streams, whatever the host's byte order).
std::string WideToUtf16LEBytes(const std::wstring& text);
std::wstring Utf16LEBytesToWide(const char* bytes, size_t count);

} // namespace qelvo
