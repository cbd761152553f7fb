// Lists: TList (pointers), TObjectList (owning), the abstract string list
// TStrings with its array-backed TStringList, and TChangeLink.
//
// Every index is 0-based. A bad index raises EListError (TList) or
// EStringListError (string lists) with "List index out of bounds (%d)".
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// <windows.h> maps GetObject to GetObjectA; the string lists' GetObject
// keeps its name (Win32 code names the A or W function explicitly).
#ifdef GetObject
#undef GetObject
#endif

#include "gcl/rtl/Events.h"
#include "gcl/rtl/Objects.h"

namespace gcl {

class TStream;
class TReader;
class TWriter;

// Whether a vector of pointers holds item (compared by address).
template <class T>
bool Contains(const std::vector<T*>& list, const T* item) noexcept {
    return std::find(list.begin(), list.end(), item) != list.end();
}

namespace msg {
inline constexpr const char* ListCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* ListCountError = "List count out of bounds (%d)";
} // namespace msg

// ---- TList -------------------------------------------------------------------

// Negative, 0 or positive as Item1 sorts before, with or after Item2.
using TListSortCompare = int (*)(void* item1, void* item2);

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
    GCL_CLASS(TList, TObject)
public:
    TList() = default;
    ~TList() override = default;

    int Add(void* item);
    void Insert(int index, void* item);    // 0 <= index <= Count
    void Delete(int index);
    // Deletes the first occurrence; returns its former index or -1.
    int Remove(void* item);
    // Removes the first occurrence without deleting it (Notify says
    // lnExtracted); returns the item, or null when absent.
    void* Extract(void* item);
    int IndexOf(void* item) const;
    void Exchange(int index1, int index2);
    // Moves the item at CurIndex so that it ends at NewIndex.
    void Move(int curIndex, int newIndex);
    // Deletes every item (last first) and releases the storage.
    virtual void Clear();
    // Removes the null items.
    void Pack();
    // Quick sort by Compare (not stable).
    void Sort(TListSortCompare compare);

    int GetCount() const noexcept { return int(FItems.size()); }
    // Growing adds null items; shrinking deletes the items past the end.
    void SetCount(int value);
    int GetCapacity() const noexcept { return int(FItems.capacity()); }
    // At least Count; raises EListError otherwise.
    void SetCapacity(int value);
    void* GetItem(int index) const;
    void SetItem(int index, void* item);
    void* operator[](int index) const { return GetItem(index); }

protected:
    // Called after an item entered the list (lnAdded) or left it
    // (lnExtracted, lnDeleted). The item is no longer in the list when a
    // removal is notified.
    virtual void Notify(void* item, TListNotification action);
    [[noreturn]] static void Error(const char* message, int data);

private:
    void CheckIndex(int index) const;
    std::vector<void*> FItems;
};

// A list of objects that frees the objects it deletes while OwnsObjects
// is true (the default). Extract hands an object back without freeing it.
class TObjectList : public TList {
    GCL_CLASS(TObjectList, TList)
public:
    TObjectList() = default;
    explicit TObjectList(bool ownsObjects) : FOwnsObjects(ownsObjects) {}
    ~TObjectList() override;

    int Add(TObject* object) { return TList::Add(object); }
    void Insert(int index, TObject* object) { TList::Insert(index, object); }
    int Remove(TObject* object) { return TList::Remove(object); }
    TObject* Extract(TObject* object) { return static_cast<TObject*>(TList::Extract(object)); }
    int IndexOf(TObject* object) const { return TList::IndexOf(object); }
    TObject* GetItem(int index) const { return static_cast<TObject*>(TList::GetItem(index)); }
    void SetItem(int index, TObject* object) { TList::SetItem(index, object); }
    TObject* operator[](int index) const { return GetItem(index); }

    bool GetOwnsObjects() const noexcept { return FOwnsObjects; }
    void SetOwnsObjects(bool value) noexcept { FOwnsObjects = value; }

protected:
    void Notify(void* item, TListNotification action) override;

private:
    bool FOwnsObjects = true;
};

// ---- TStrings ------------------------------------------------------------------

// The abstract string list: strings with an associated object each.
// Descendants provide storage through Get, GetCount, Clear, Delete and
// Insert (and GetObject/PutObject to keep objects).
class TStrings : public TPersistent {
    GCL_CLASS(TStrings, TPersistent)
public:
    TStrings() = default;
    ~TStrings() override = default;

    virtual std::string Get(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual void Insert(int index, const std::string& s) = 0;

    // Replaces the string, keeping its object.
    virtual void Put(int index, const std::string& s);
    virtual TObject* GetObject(int index) const;    // null by default
    virtual void PutObject(int index, TObject* object);    // ignored by default
    virtual int GetCapacity() const { return GetCount(); }
    virtual void SetCapacity(int) {}

    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, TObject* object);
    virtual void InsertObject(int index, const std::string& s, TObject* object);
    // Adds every string of Strings with its object.
    virtual void AddStrings(const TStrings& strings);
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);
    // First index whose string equals S by CompareStrings, or -1.
    virtual int IndexOf(const std::string& s) const;
    // First index whose text before NameValueSeparator equals Name, or -1.
    virtual int IndexOfName(const std::string& name) const;
    virtual int IndexOfObject(TObject* object) const;
    // Same count and every string equal, comparing exactly.
    bool Equals(const TStrings& strings) const;

    std::string operator[](int index) const { return Get(index); }

    // "name=value" access. GetName is the text before the first
    // separator ("" without one); GetValue is "" for a missing name;
    // SetValue with an empty value deletes the entry.
    std::string GetName(int index) const;
    std::string GetValue(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value);

    // Every string followed by CR LF.
    virtual std::string GetText() const;
    // Replaces the contents by the lines of Text; lines end at CR LF, CR
    // or LF, and a break at the very end adds no empty line.
    virtual void SetText(const std::string& text);
    // The strings separated by Delimiter; strings containing blanks
    // (bytes up to 0x20), the quote character or the delimiter are quoted,
    // with quotes inside doubled. Reading splits at the delimiter and at
    // blanks outside quotes.
    std::string GetDelimitedText() const;
    void SetDelimitedText(const std::string& text);
    // The delimited text with "," and '"'.
    std::string GetCommaText() const;
    void SetCommaText(const std::string& text);

    char GetDelimiter() const noexcept { return FDelimiter; }
    void SetDelimiter(char value) noexcept { FDelimiter = value; }
    char GetQuoteChar() const noexcept { return FQuoteChar; }
    void SetQuoteChar(char value) noexcept { FQuoteChar = value; }
    char GetNameValueSeparator() const noexcept { return FNameValueSeparator; }
    void SetNameValueSeparator(char value) noexcept { FNameValueSeparator = value; }

    // Brackets a batch of changes: change notifications are held back
    // until the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const noexcept { return FUpdateCount; }

    // 8-bit text, the whole file or the rest of the stream; lines as in
    // SetText. Saving writes GetText.
    virtual void LoadFromFile(const std::string& fileName);
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToFile(const std::string& fileName) const;
    virtual void SaveToStream(TStream& stream) const;

    // Copies the strings, objects and separators of another TStrings;
    // other sources go through their AssignTo.
    void Assign(TPersistent* source) override;

protected:
    // Streams the strings as the defined property "Strings": a list of
    // string values (wide strings are read too, converted to 8-bit text).
    void DefineProperties(TFiler& filer) override;
    // Called with True when the first BeginUpdate starts a batch and with
    // False when the last EndUpdate ends it.
    virtual void SetUpdateState(bool updating);
    // The comparison behind IndexOf and IndexOfName: ignores A-Z case.
    virtual int CompareStrings(const std::string& s1, const std::string& s2) const;
    [[noreturn]] static void Error(const char* message, int data);

private:
    void ReadData(TReader& reader);
    void WriteData(TWriter& writer);
    std::string JoinDelimited(char delimiter, char quoteChar) const;
    void SplitDelimited(const std::string& text, char delimiter, char quoteChar);

    int FUpdateCount = 0;
    char FDelimiter = ',';
    char FQuoteChar = '"';
    char FNameValueSeparator = '=';
};

// Holds a BeginUpdate for the lifetime of the object.
class TStringsUpdate {
public:
    explicit TStringsUpdate(TStrings& strings) : FStrings(strings) { FStrings.BeginUpdate(); }
    ~TStringsUpdate() { FStrings.EndUpdate(); }
    TStringsUpdate(const TStringsUpdate&) = delete;
    TStringsUpdate& operator=(const TStringsUpdate&) = delete;

private:
    TStrings& FStrings;
};

// ---- TStringList ---------------------------------------------------------------

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// Negative, 0 or positive as the item at Index1 sorts before, with or
// after the item at Index2.
using TStringListSortCompare = int (*)(TStringList* list, int index1, int index2);

// An array-backed string list. Sorted lists keep their order on Add and
// find strings by binary search; Duplicates decides what adding an
// existing string does to them. OnChanging and OnChange fire around
// every change outside BeginUpdate/EndUpdate, and once around a batch.
class TStringList : public TStrings {
    GCL_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    ~TStringList() override = default;

    std::string Get(int index) const override;
    int GetCount() const override { return int(FItems.size()); }
    void Clear() override;
    void Delete(int index) override;
    void Insert(int index, const std::string& s) override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    int GetCapacity() const override { return int(FItems.capacity()); }
    void SetCapacity(int value) override;

    int Add(const std::string& s) override;
    int AddObject(const std::string& s, TObject* object) override;
    void InsertObject(int index, const std::string& s, TObject* object) override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    int IndexOf(const std::string& s) const override;

    // The stored string, without a copy.
    const std::string& GetRef(int index) const;

    // Binary search of a sorted list: True when S is present; Index is
    // then its position (under dupAccept the first equal item), else the
    // position where S would be inserted.
    bool Find(const std::string& s, int& index) const;
    // Sorts by CompareStrings; CustomSort by Compare. Both do nothing on
    // a sorted list (it is in order already).
    virtual void Sort();
    virtual void CustomSort(TStringListSortCompare compare);

    bool GetSorted() const noexcept { return FSorted; }
    // Setting True sorts the list first.
    void SetSorted(bool value);
    TDuplicates GetDuplicates() const noexcept { return FDuplicates; }
    void SetDuplicates(TDuplicates value) noexcept { FDuplicates = value; }
    bool GetCaseSensitive() const noexcept { return FCaseSensitive; }
    // A sorted list is sorted again under the new comparison.
    void SetCaseSensitive(bool value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    // CaseSensitive: exact byte order; otherwise A-Z case is ignored.
    int CompareStrings(const std::string& s1, const std::string& s2) const override;
    virtual void Changed();
    virtual void Changing();
    void InsertItem(int index, const std::string& s, TObject* object);
    // The object of entry Index (0 <= Index < GetCount()), unchecked, for
    // walks over every entry of a long list.
    TObject* ObjectAt(int index) const noexcept { return FItems[size_t(index)].FObject; }
    // Adds Count entries at the end of an unsorted list, each with an
    // empty string and its object from Objects, as one change.
    void AppendObjects(TObject* const* objects, std::size_t count);
    // Removes every entry for whose object Doomed(object, Context) holds,
    // in one pass that keeps the others in their order, as one change;
    // returns how many went. The objects are not freed.
    int RemoveEntriesIf(bool (*doomed)(TObject* object, void* context), void* context);

private:
    // An entry: its object, and its string in a block of its own when it
    // is not empty. Lists whose entries mostly have no string (a list of
    // objects, such as a database's tasks) take 8 bytes an entry.
    struct TStringItem {
        TStringItem() = default;
        TStringItem(const std::string& s, TObject* object) : FObject(object) { SetString(s); }
        const std::string& String() const noexcept { return FString ? *FString : EmptyString(); }
        void SetString(const std::string& s) {
            if (s.empty())
                FString.reset();
            else if (FString)
                *FString = s;
            else
                FString = std::make_unique<std::string>(s);
        }
        static const std::string& EmptyString() noexcept;
        TObject* FObject = nullptr;
        std::unique_ptr<std::string> FString;  // null: ""
    };
    void CheckIndex(int index) const;
    void QuickSort(TStringListSortCompare compare);

    std::vector<TStringItem> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};

// ---- TChangeLink ---------------------------------------------------------------

class TChangeLink;

// Implemented by objects that notify change links (image lists): a link
// that is freed unregisters itself from its sender.
class IChangeLinkSender {
public:
    virtual void UnRegisterChanges(TChangeLink* link) = 0;

protected:
    ~IChangeLinkSender() = default;
};

// A subscriber to another object's changes: the sender calls Change,
// which fires OnChange with the sender.
class TChangeLink : public TObject {
    GCL_CLASS(TChangeLink, TObject)
public:
    TChangeLink() = default;
    // Unregisters from the sender when it implements IChangeLinkSender.
    ~TChangeLink() override;

    TObject* GetSender() const noexcept { return FSender; }
    void SetSender(TObject* value) noexcept { FSender = value; }
    virtual void Change();

    TNotifyEvent OnChange;

private:
    TObject* FSender = nullptr;
};

} // namespace gcl
