// Wide string lists with text files, the 8-bit view over a wide list, the
// wide-name file stream, and the pieces that keep wide values beside 8-bit
// ones: synced wide strings, component companions and the extra filer
// properties of wide string and wide character properties.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Components.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Streams.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniWideStrings.h"

namespace gcl {
class TPropInfo;
}

namespace qelvo {

namespace msg {
inline constexpr const char* HelperCreate =
    "UNI Internal Error: TWideComponentHelper.Create should never be encountered.";
} // namespace msg

// ---- Character sets of text files -----------------------------------------------

enum TStreamCharSet { csAnsi = 0, csUnicode = 1, csUnicodeSwapped = 2, csUtf8 = 3 };

// Looks for a byte-order mark at the stream's position: FF FE gives
// csUnicode, FE FF csUnicodeSwapped, EF BB BF csUtf8 (the stream is left
// after the mark); anything else gives csAnsi with the stream where it was.
TStreamCharSet AutoDetectCharacterSet(gcl::TStream& stream);

// ---- The 8-bit view --------------------------------------------------------------

// gcl::TStrings with reading and writing at a given code page.
class TAnsiStrings : public gcl::TStrings {
    GCL_CLASS(TAnsiStrings, gcl::TStrings)
public:
    // Replaces the contents by the rest of the stream, decoded with CodePage.
    virtual void LoadFromStreamEx(gcl::TStream& stream, unsigned codePage) = 0;
    // Writes the text encoded with CodePage.
    virtual void SaveToStreamEx(gcl::TStream& stream, unsigned codePage) const = 0;
};

// An 8-bit list that is a view of a wide list (not owned): reads and
// writes convert with AdapterCodePage (0: DefaultSystemCodePage); objects,
// counts and update brackets go to the wide list.
class TAnsiStringsForWideStringsAdapter : public TAnsiStrings {
    GCL_CLASS(TAnsiStringsForWideStringsAdapter, TAnsiStrings)
public:
    explicit TAnsiStringsForWideStringsAdapter(TWideStrings* wideStrings, unsigned adapterCodePage = 0)
        : FWideStrings(wideStrings), FAdapterCodePage(adapterCodePage) {}

    std::string Get(int index) const override;
    int GetCount() const override;
    void Clear() override;
    void Delete(int index) override;
    void Insert(int index, const std::string& s) override;
    void Put(int index, const std::string& s) override;
    gcl::TObject* GetObject(int index) const override;
    void PutObject(int index, gcl::TObject* object) override;

    void LoadFromStreamEx(gcl::TStream& stream, unsigned codePage) override;
    void SaveToStreamEx(gcl::TStream& stream, unsigned codePage) const override;

    unsigned GetAdapterCodePage() const noexcept { return FAdapterCodePage; }
    void SetAdapterCodePage(unsigned value) noexcept { FAdapterCodePage = value; }
    TWideStrings* GetWideStrings() const noexcept { return FWideStrings; }

protected:
    void SetUpdateState(bool updating) override;

private:
    unsigned CodePage() const;

    TWideStrings* FWideStrings;
    unsigned FAdapterCodePage;
};

// ---- TUniStrings --------------------------------------------------------------------

// A wide list whose files carry a byte-order mark: loading detects UTF-16
// LE, UTF-16 BE, UTF-8 and ANSI text; saving writes FF FE and UTF-16 LE.
// It also reads the list properties of older form files ("WideStrings",
// "WideStringsW", "WideStrings_UTF7") and offers an 8-bit view of itself.
class TUniStrings : public TWideStrings {
    GCL_CLASS(TUniStrings, TWideStrings)
public:
    TUniStrings();
    ~TUniStrings() override;

    // Records the file's character set in LastFileCharSet.
    void LoadFromFile(const std::wstring& fileName) override;
    // LoadFromStreamWithCharset(Stream, true).
    void LoadFromStream(gcl::TStream& stream) override;
    void SaveToFile(const std::wstring& fileName) const override;
    // SaveToStreamWithBOM(Stream, true).
    void SaveToStream(gcl::TStream& stream) const override;

    // With WithBOM the character set comes from the mark at the stream's
    // position (see AutoDetectCharacterSet), else the text is UTF-16 LE.
    virtual void LoadFromStreamWithCharset(gcl::TStream& stream, bool withBOM);
    // GetTextStr as UTF-16 LE, after FF FE when WithBOM.
    virtual void SaveToStreamWithBOM(gcl::TStream& stream, bool withBOM) const;

    TStreamCharSet GetLastFileCharSet() const noexcept { return FLastFileCharSet; }
    // The 8-bit view of this list (code page 0); assigning copies into it.
    TAnsiStrings* GetAnsiStrings() const noexcept { return FAnsiStrings.get(); }
    void SetAnsiStrings(gcl::TStrings* value);

protected:
    void DefineProperties(gcl::TFiler& filer) override;

private:
    void ReadWideStringsW(gcl::TReader& reader);
    void ReadWideStringsUTF7(gcl::TReader& reader);

    std::unique_ptr<TAnsiStringsForWideStringsAdapter> FAnsiStrings;
    TStreamCharSet FLastFileCharSet = csUnicode;
};

// ---- TUniStringList ---------------------------------------------------------------

class TUniStringList;
// Negative, 0 or positive as the item at Index1 sorts before, with or
// after the item at Index2.
using TUniStringListSortCompare = int (*)(TUniStringList* list, int index1, int index2);

// An array-backed wide list. A sorted list keeps its order on Add and
// finds strings by binary search; Duplicates decides what adding an
// existing string does. OnChanging and OnChange fire around every change
// outside an update bracket, and once around a bracket: OnChanging before
// the list counts as updating, OnChange after it stopped.
class TUniStringList : public TUniStrings {
    GCL_CLASS(TUniStringList, TUniStrings)
public:
    TUniStringList() = default;
    // No events while the list goes.
    ~TUniStringList() override;

    std::wstring Get(int index) const override;
    int GetCount() const override { return static_cast<int>(FList.size()); }
    int GetCapacity() const override { return FCapacity; }
    // Not below Count (EStringListError "List capacity out of bounds (%d)").
    void SetCapacity(int newCapacity) override;
    gcl::TObject* GetObject(int index) const override;
    void PutObject(int index, gcl::TObject* object) override;
    void Put(int index, const std::wstring& s) override;
    int Add(const std::wstring& s) override;
    int AddObject(const std::wstring& s, gcl::TObject* object) override;
    void Clear() override;
    void Delete(int index) override;
    void Exchange(int index1, int index2) override;
    int IndexOf(const std::wstring& s) const override;
    int IndexOfName(const std::wstring& name) const override;
    void Insert(int index, const std::wstring& s) override;
    void InsertObject(int index, const std::wstring& s, gcl::TObject* object) override;

    // Binary search of a sorted list: True when S is present; Index is then
    // its position (under dupAccept the first equal item), else the
    // position where S would go.
    virtual bool Find(const std::wstring& s, int& index) const;
    // CustomSort by CompareStrings.
    virtual void Sort();
    // Quick sort by Compare; nothing on a sorted list or below two items.
    virtual void CustomSort(TUniStringListSortCompare compare);

    bool GetSorted() const noexcept { return FSorted; }
    // Switching on sorts the list first.
    void SetSorted(bool value);
    gcl::TDuplicates GetDuplicates() const noexcept { return FDuplicates; }
    void SetDuplicates(gcl::TDuplicates value) noexcept { FDuplicates = value; }
    bool GetCaseSensitive() const noexcept { return FCaseSensitive; }
    // A sorted list is sorted again under the new comparison.
    void SetCaseSensitive(bool value);

    gcl::TNotifyEvent OnChange;
    gcl::TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    // gcl::WideCompareStr when CaseSensitive, else gcl::WideCompareText.
    int CompareStrings(const std::wstring& s1, const std::wstring& s2) const override;
    virtual void Changed();
    virtual void Changing();
    virtual void InsertItem(int index, const std::wstring& s, gcl::TObject* object);

private:
    struct TUniStringItem {
        std::wstring FString;
        gcl::TObject* FObject = nullptr;
    };
    void CheckIndex(int index) const;
    void Grow();
    void ExchangeItems(int index1, int index2) noexcept;
    void QuickSort(int l, int r, TUniStringListSortCompare compare);
    static int CompareByStrings(TUniStringList* list, int index1, int index2);

    std::vector<TUniStringItem> FList;    // Count is its size
    int FCapacity = 0;
    bool FUpdating = false;
    bool FSorted = false;
    gcl::TDuplicates FDuplicates = gcl::dupIgnore;
    bool FCaseSensitive = false;
};

// ---- Streams ---------------------------------------------------------------------------

// A file stream whose name is wide. gcl::fmCreate creates (or empties) the
// file; any other mode opens an existing one (access in the low 2 bits,
// sharing in bits 4-7). Failure raises gcl::EFCreateError or
// gcl::EFOpenError with the expanded name and the system's error text.
class TUniFileStream : public gcl::THandleStream {
    GCL_CLASS(TUniFileStream, gcl::THandleStream)
public:
    TUniFileStream(const std::wstring& fileName, uint16_t mode);
    ~TUniFileStream() override;
    const std::wstring& GetFileName() const noexcept { return FFileName; }

private:
    std::wstring FFileName;
};

class TUniMemoryStream : public gcl::TMemoryStream {
    GCL_CLASS(TUniMemoryStream, gcl::TMemoryStream)
public:
    TUniMemoryStream() = default;
};

// ---- Wide values kept beside 8-bit ones ----------------------------------------

// WideValue, refreshed from AnsiValue when somebody changed the 8-bit side
// (the 8-bit form of WideValue no longer equals AnsiValue).
std::wstring GetSyncedWideString(std::wstring& wideValue, const std::string& ansiValue);

// Sets an 8-bit property of Obj.
using TSetAnsiStrProc = void (*)(gcl::TObject* obj, const std::string& value);

// Keeps Value as the wide value and its 8-bit form as the 8-bit value.
// Nothing happens when Value equals the synced wide value. When Value has
// no exact 8-bit form and that form already equals AnsiValue, the 8-bit
// side is first set to "", so the owner sees a change.
void SetSyncedWideString(const std::wstring& value, std::wstring& wideValue, std::string ansiValue,
                         TSetAnsiStrProc setAnsiValue, gcl::TObject* obj);

class TWideComponentHelper;

// The companions of one kind, ordered by the address of the component
// they serve. The list owns them: it frees those still in it when it goes.
class TWideComponentHelperList {
public:
    TWideComponentHelperList() = default;
    ~TWideComponentHelperList();
    TWideComponentHelperList(const TWideComponentHelperList&) = delete;
    TWideComponentHelperList& operator=(const TWideComponentHelperList&) = delete;

    int GetCount() const noexcept { return static_cast<int>(FItems.size()); }
    TWideComponentHelper* GetItem(int index) const { return FItems.at(static_cast<size_t>(index)); }

private:
    friend class TWideComponentHelper;
    friend TWideComponentHelper* FindWideComponentHelper(const TWideComponentHelperList* list,
                                                         const gcl::TComponent* component);
    // The position of Component's companion, or where it would go.
    bool Search(const gcl::TComponent* component, size_t& index) const noexcept;

    std::vector<TWideComponentHelper*> FItems;
};

// A companion that keeps wide values for one 8-bit component. It frees
// itself when that component goes.
class TWideComponentHelper : public gcl::TComponent {
    GCL_CLASS(TWideComponentHelper, gcl::TComponent)
public:
    gcl::TComponent* GetComponent() const noexcept { return FComponent; }
    void BeforeDestruction() noexcept override;

protected:
    // Not for use: raises EUniInternalError (companions are made with the
    // component and the list).
    explicit TWideComponentHelper(gcl::TComponent* owner);
    // A companion of Component, entered into List.
    TWideComponentHelper(gcl::TComponent* component, TWideComponentHelperList* list);

    void Notification(gcl::TComponent* component, gcl::TOperation operation) override;

private:
    gcl::TComponent* FComponent = nullptr;
    TWideComponentHelperList* FList = nullptr;
};

// The companion serving Component, or null.
TWideComponentHelper* FindWideComponentHelper(const TWideComponentHelperList* list,
                                              const gcl::TComponent* component);

// ---- Filer properties of wide string and wide character properties ----------

// "<Name>W" and "<Name>_UTF7" of a wide string property: both are read
// (an 8-bit string) and dropped, never written.
class TUniWideStringPropertyFiler {
public:
    void DefineProperties(gcl::TFiler& filer, const std::string& propName);

private:
    void IgnoreData(gcl::TReader& reader);
};

// "<Name>W" of a wide character property: one UTF-16 character as a wide
// string value (8-bit strings are read too); "<Name>_UTF7": read only, a
// UTF-7 text whose first character is the value.
class TUniWideCharPropertyFiler {
public:
    void DefineProperties(gcl::TFiler& filer, gcl::TPersistent* instance, const gcl::TPropInfo* propInfo);

private:
    bool HasData(gcl::TFiler& filer) const;
    void ReadDataW(gcl::TReader& reader);
    void WriteDataW(gcl::TWriter& writer);
    void ReadDataUTF7(gcl::TReader& reader);
    wchar_t Value() const;
    void SetValue(wchar_t value);

    gcl::TPersistent* FInstance = nullptr;
    const gcl::TPropInfo* FPropInfo = nullptr;
};

// For a component's DefineProperties, after the inherited call: defines
// the extra properties of every writable published wide string and wide
// character property of Instance, in the order of its type information.
void DefineWideProperties(gcl::TFiler& filer, gcl::TPersistent* instance);

} // namespace qelvo
