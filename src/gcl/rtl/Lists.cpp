// Pointer lists, string lists and change links.
#include "gcl/rtl/Lists.h"

#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/Strings.h"

#include <algorithm>
#include <utility>

namespace gcl {

GCL_IMPLEMENT_CLASS(TList)
GCL_IMPLEMENT_CLASS(TObjectList)
GCL_IMPLEMENT_CLASS(TStrings)
GCL_IMPLEMENT_CLASS(TStringList)
GCL_IMPLEMENT_CLASS(TChangeLink)

namespace {

std::string FormatIndex(const char* message, int data) { return Format(message, {data}); }

// The list quick sort: middle pivot that follows its item through the
// exchanges. The bounds checks keep an inconsistent comparison from
// running off the range. The smaller part is sorted recursively and the
// larger one by the loop, so the depth stays logarithmic.
template <class Compare, class Swap>
void QuickSortRange(int l, int r, Compare& compare, Swap& swap) {
    while (l < r) {
        int i = l, j = r, p = (l + r) >> 1;
        do {
            while (i < r && compare(i, p) < 0) ++i;
            while (j > l && compare(j, p) > 0) --j;
            if (i <= j) {
                if (i != j) {
                    swap(i, j);
                    if (p == i) p = j;
                    else if (p == j) p = i;
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - l < r - i) {
            if (l < j) QuickSortRange(l, j, compare, swap);
            l = i;
        } else {
            if (i < r) QuickSortRange(i, r, compare, swap);
            r = j;
        }
    }
}

} // namespace

// ---- TList -------------------------------------------------------------------

void TList::Error(const char* message, int data) { throw EListError(FormatIndex(message, data)); }

void TList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) Error(msg::ListIndexError, index);
}

int TList::Add(void* item) {
    int index = GetCount();
    FItems.push_back(item);
    if (item) Notify(item, lnAdded);
    return index;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > GetCount()) Error(msg::ListIndexError, index);
    FItems.insert(FItems.begin() + index, item);
    if (item) Notify(item, lnAdded);
}

void TList::Delete(int index) {
    CheckIndex(index);
    void* item = FItems[size_t(index)];
    FItems.erase(FItems.begin() + index);
    if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* item) {
    int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* item) {
    int index = IndexOf(item);
    if (index < 0) return nullptr;
    void* result = FItems[size_t(index)];
    FItems.erase(FItems.begin() + index);
    Notify(result, lnExtracted);
    return result;
}

int TList::IndexOf(void* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(FItems[size_t(index1)], FItems[size_t(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    auto first = FItems.begin();
    if (curIndex < newIndex) std::rotate(first + curIndex, first + curIndex + 1, first + newIndex + 1);
    else std::rotate(first + newIndex, first + curIndex, first + curIndex + 1);
}

void TList::Clear() {
    SetCount(0);
    std::vector<void*>().swap(FItems);
}

void TList::Pack() {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end());
}

void TList::Sort(TListSortCompare compare) {
    if (!compare || GetCount() < 2) return;
    auto cmp = [&](int a, int b) { return compare(FItems[size_t(a)], FItems[size_t(b)]); };
    auto swap = [&](int a, int b) { std::swap(FItems[size_t(a)], FItems[size_t(b)]); };
    QuickSortRange(0, GetCount() - 1, cmp, swap);
}

void TList::SetCount(int value) {
    if (value < 0) Error(msg::ListCountError, value);
    if (value > GetCount()) {
        FItems.resize(size_t(value), nullptr);
        return;
    }
    // Delete from the end, so each removal is notified.
    while (GetCount() > value) Delete(GetCount() - 1);
}

void TList::SetCapacity(int value) {
    if (value < GetCount()) Error(msg::ListCapacityError, value);
    if (size_t(value) > FItems.capacity()) {
        FItems.reserve(size_t(value));
    } else if (size_t(value) < FItems.capacity()) {
        std::vector<void*> copy;
        copy.reserve(size_t(value));
        copy.assign(FItems.begin(), FItems.end());
        FItems.swap(copy);
    }
}

void* TList::GetItem(int index) const {
    CheckIndex(index);
    return FItems[size_t(index)];
}

void TList::SetItem(int index, void* item) {
    CheckIndex(index);
    void* old = FItems[size_t(index)];
    if (old == item) return;
    FItems[size_t(index)] = item;
    if (old) Notify(old, lnDeleted);
    if (item) Notify(item, lnAdded);
}

void TList::Notify(void*, TListNotification) {}

// ---- TObjectList -------------------------------------------------------------

TObjectList::~TObjectList() {
    // The list's own Notify must run while this object is still a
    // TObjectList, so the objects are freed here, not in ~TList.
    try {
        Clear();
    } catch (...) {
    }
}

void TObjectList::Notify(void* item, TListNotification action) {
    if (FOwnsObjects && action == lnDeleted) gcl::Free(static_cast<TObject*>(item));
    TList::Notify(item, action);
}

// ---- TStrings ------------------------------------------------------------------

void TStrings::Error(const char* message, int data) { throw EStringListError(FormatIndex(message, data)); }

void TStrings::Put(int index, const std::string& s) {
    TObject* object = GetObject(index);
    TStringsUpdate update(*this);
    Delete(index);
    InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& s) {
    int index = GetCount();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
    int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& strings) {
    TStringsUpdate update(*this);
    // Counted once, so adding a list to itself doubles it.
    int count = strings.GetCount();
    for (int i = 0; i < count; ++i) AddObject(strings.Get(i), strings.GetObject(i));
}

void TStrings::Exchange(int index1, int index2) {
    TStringsUpdate update(*this);
    std::string s = Get(index1);
    TObject* object = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, s);
    PutObject(index2, object);
}

void TStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    TStringsUpdate update(*this);
    std::string s = Get(curIndex);
    TObject* object = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, object);
}

int TStrings::IndexOf(const std::string& s) const {
    int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
    int count = GetCount();
    for (int i = 0; i < count; ++i) {
        std::string s = Get(i);
        size_t p = s.find(FNameValueSeparator);
        if (p != std::string::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* object) const {
    int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

bool TStrings::Equals(const TStrings& strings) const {
    int count = GetCount();
    if (count != strings.GetCount()) return false;
    for (int i = 0; i < count; ++i)
        if (Get(i) != strings.Get(i)) return false;
    return true;
}

std::string TStrings::GetName(int index) const {
    std::string s = Get(index);
    size_t p = s.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::GetValue(const std::string& name) const {
    int index = IndexOfName(name);
    if (index < 0) return std::string();
    std::string s = Get(index);
    return s.substr(std::min(s.size(), s.find(FNameValueSeparator) + 1));
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
    int index = IndexOfName(name);
    if (!value.empty()) {
        if (index < 0) index = Add("");
        Put(index, name + FNameValueSeparator + value);
    } else if (index >= 0) {
        Delete(index);
    }
}

std::string TStrings::GetText() const {
    int count = GetCount();
    std::string result;
    size_t size = 0;
    for (int i = 0; i < count; ++i) size += Get(i).size() + 2;
    result.reserve(size);
    for (int i = 0; i < count; ++i) {
        result += Get(i);
        result += "\r\n";
    }
    return result;
}

void TStrings::SetText(const std::string& text) {
    TStringsUpdate update(*this);
    Clear();
    size_t pos = 0, n = text.size();
    while (pos < n) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = n;
        Add(text.substr(pos, end - pos));
        pos = end;
        if (pos < n && text[pos] == '\r') ++pos;
        if (pos < n && text[pos] == '\n') ++pos;
    }
}

std::string TStrings::GetDelimitedText() const { return JoinDelimited(FDelimiter, FQuoteChar); }

void TStrings::SetDelimitedText(const std::string& text) { SplitDelimited(text, FDelimiter, FQuoteChar); }

std::string TStrings::GetCommaText() const { return JoinDelimited(',', '"'); }

void TStrings::SetCommaText(const std::string& text) { SplitDelimited(text, ',', '"'); }

std::string TStrings::JoinDelimited(char delimiter, char quoteChar) const {
    int count = GetCount();
    if (count == 1 && Get(0).empty()) return std::string(2, quoteChar);
    std::string result;
    for (int i = 0; i < count; ++i) {
        std::string s = Get(i);
        bool quote = std::any_of(s.begin(), s.end(), [=](char c) {
            return static_cast<unsigned char>(c) <= ' ' || c == quoteChar || c == delimiter;
        });
        if (quote) {
            std::string q(1, quoteChar);
            for (char c : s) {
                q += c;
                if (c == quoteChar) q += c;
            }
            q += quoteChar;
            s = std::move(q);
        }
        if (i > 0) result += delimiter;
        result += s;
    }
    return result;
}

void TStrings::SplitDelimited(const std::string& text, char delimiter, char quoteChar) {
    TStringsUpdate update(*this);
    Clear();
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    size_t p = 0, n = text.size();
    while (p < n && blank(text[p])) ++p;
    while (p < n) {
        std::string s;
        if (text[p] == quoteChar) {
            // A quoted string: doubled quotes stand for one; it ends at a
            // single quote or at the end of the text.
            ++p;
            while (p < n) {
                if (text[p] == quoteChar) {
                    if (p + 1 < n && text[p + 1] == quoteChar) {
                        s += quoteChar;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                s += text[p++];
            }
        } else {
            size_t start = p;
            while (p < n && !blank(text[p]) && text[p] != delimiter) ++p;
            s = text.substr(start, p - start);
        }
        Add(s);
        while (p < n && blank(text[p])) ++p;
        if (p < n && text[p] == delimiter) {
            // A delimiter at the very end stands for a last empty string.
            if (p + 1 == n) Add("");
            ++p;
            while (p < n && blank(text[p])) ++p;
        }
    }
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount <= 0) return;
    --FUpdateCount;
    if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::DefineProperties(TFiler& filer) {
    TPersistent::DefineProperties(filer);
    bool hasData;
    if (TPersistent* ancestor = filer.GetAncestor()) {
        auto* strings = dynamic_cast<TStrings*>(ancestor);
        hasData = !strings || !Equals(*strings);
    } else {
        hasData = GetCount() > 0;
    }
    filer.DefineProperty("Strings", TReaderProc(this, &TStrings::ReadData), TWriterProc(this, &TStrings::WriteData),
                         hasData);
}

void TStrings::ReadData(TReader& reader) {
    reader.ReadListBegin();
    {
        TStringsUpdate update(*this);
        Clear();
        while (!reader.EndOfList()) Add(reader.ReadString());
    }
    reader.ReadListEnd();
}

void TStrings::WriteData(TWriter& writer) {
    writer.WriteListBegin();
    int count = GetCount();
    for (int i = 0; i < count; ++i) writer.WriteString(Get(i));
    writer.WriteListEnd();
}

int TStrings::CompareStrings(const std::string& s1, const std::string& s2) const {
    return CompareText(s1, s2);
}

void TStrings::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TStrings::LoadFromStream(TStream& stream) {
    TStringsUpdate update(*this);
    int64_t size = stream.GetSize() - stream.GetPosition();
    stream.CheckAvailable(size);
    std::string text(size_t(size), '\0');
    int64_t done = 0;
    while (done < size) {
        int32_t n = int32_t(std::min<int64_t>(size - done, 1 << 30));
        stream.ReadBuffer(text.data() + done, n);
        done += n;
    }
    SetText(text);
}

void TStrings::SaveToFile(const std::string& fileName) const {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

void TStrings::SaveToStream(TStream& stream) const {
    std::string text = GetText();
    size_t done = 0;
    while (done < text.size()) {
        int32_t n = int32_t(std::min<size_t>(text.size() - done, 1u << 30));
        stream.WriteBuffer(text.data() + done, n);
        done += size_t(n);
    }
}

void TStrings::Assign(TPersistent* source) {
    if (auto* strings = dynamic_cast<TStrings*>(source)) {
        if (strings == this) return;
        TStringsUpdate update(*this);
        Clear();
        FDelimiter = strings->FDelimiter;
        FQuoteChar = strings->FQuoteChar;
        FNameValueSeparator = strings->FNameValueSeparator;
        AddStrings(*strings);
        return;
    }
    TPersistent::Assign(source);
}

// ---- TStringList ---------------------------------------------------------------

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= GetCount()) Error(msg::ListIndexError, index);
}

std::string TStringList::Get(int index) const { return GetRef(index); }

const std::string& TStringList::TStringItem::EmptyString() noexcept {
    static const std::string empty;
    return empty;
}

const std::string& TStringList::GetRef(int index) const {
    CheckIndex(index);
    return FItems[size_t(index)].String();
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    Changing();
    std::vector<TStringItem>().swap(FItems);
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    FItems.erase(FItems.begin() + index);
    Changed();
}

int TStringList::RemoveEntriesIf(bool (*doomed)(TObject* object, void* context), void* context) {
    auto first = std::find_if(FItems.begin(), FItems.end(),
                              [&](const TStringItem& item) { return doomed(item.FObject, context); });
    if (first == FItems.end()) return 0;
    Changing();
    // The first doomed entry is known; the rest are asked once each.
    auto kept = first;
    for (auto it = std::next(first); it != FItems.end(); ++it)
        if (!doomed(it->FObject, context)) *kept++ = std::move(*it);
    const int removed = int(FItems.end() - kept);
    FItems.erase(kept, FItems.end());
    Changed();
    return removed;
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::Put(int index, const std::string& s) {
    if (FSorted) Error(msg::SortedListError, 0);
    CheckIndex(index);
    Changing();
    FItems[size_t(index)].SetString(s);
    Changed();
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return FItems[size_t(index)].FObject;
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index);
    Changing();
    FItems[size_t(index)].FObject = object;
    Changed();
}

void TStringList::SetCapacity(int value) {
    if (value > GetCapacity()) FItems.reserve(size_t(value));
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

void TStringList::AppendObjects(TObject* const* objects, std::size_t count) {
    if (FSorted) Error(msg::SortedListError, 0);
    if (count == 0) return;
    Changing();
    FItems.reserve(FItems.size() + count);
    FItems.resize(FItems.size() + count);
    TStringItem* added = FItems.data() + (FItems.size() - count);
    for (std::size_t i = 0; i < count; ++i) added[i].FObject = objects[i];
    Changed();
}

int TStringList::AddObject(const std::string& s, TObject* object) {
    int index = GetCount();
    if (FSorted && Find(s, index)) {
        if (FDuplicates == dupIgnore) return index;
        if (FDuplicates == dupError) Error(msg::DuplicateString, 0);
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
    if (FSorted) Error(msg::SortedListError, 0);
    if (index < 0 || index > GetCount()) Error(msg::ListIndexError, index);
    InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
    Changing();
    FItems.insert(FItems.begin() + index, TStringItem(s, object));
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(FItems[size_t(index1)], FItems[size_t(index2)]);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    // Checked before anything moves: a sorted list must not lose the item.
    if (FSorted) Error(msg::SortedListError, 0);
    Changing();
    auto first = FItems.begin();
    if (curIndex < newIndex) std::rotate(first + curIndex, first + curIndex + 1, first + newIndex + 1);
    else std::rotate(first + newIndex, first + curIndex, first + curIndex + 1);
    Changed();
}

int TStringList::IndexOf(const std::string& s) const {
    if (FSorted) {
        int index;
        return Find(s, index) ? index : -1;
    }
    int count = GetCount();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(FItems[size_t(i)].String(), s) == 0) return i;
    return -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
    bool found = false;
    int l = 0, h = GetCount() - 1;
    while (l <= h) {
        int i = (l + h) >> 1;
        int c = CompareStrings(FItems[size_t(i)].String(), s);
        if (c < 0) {
            l = i + 1;
        } else {
            h = i - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != dupAccept) l = i;
            }
        }
    }
    index = l;
    return found;
}

void TStringList::Sort() {
    CustomSort([](TStringList* list, int index1, int index2) {
        return list->CompareStrings(list->FItems[size_t(index1)].String(), list->FItems[size_t(index2)].String());
    });
}

void TStringList::CustomSort(TStringListSortCompare compare) {
    if (FSorted || GetCount() < 2 || !compare) return;
    QuickSort(compare);
}

void TStringList::QuickSort(TStringListSortCompare compare) {
    Changing();
    auto cmp = [&](int a, int b) { return compare(this, a, b); };
    auto swap = [&](int a, int b) { std::swap(FItems[size_t(a)], FItems[size_t(b)]); };
    QuickSortRange(0, GetCount() - 1, cmp, swap);
    Changed();
}

void TStringList::SetSorted(bool value) {
    if (value == FSorted) return;
    if (value) Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (value == FCaseSensitive) return;
    FCaseSensitive = value;
    // The order must follow the new comparison, or Find would miss items.
    if (FSorted && GetCount() > 1) {
        FSorted = false;
        try {
            Sort();
        } catch (...) {
            FSorted = true;
            throw;
        }
        FSorted = true;
    }
}

void TStringList::SetUpdateState(bool updating) {
    if (updating) Changing();
    else Changed();
}

int TStringList::CompareStrings(const std::string& s1, const std::string& s2) const {
    return FCaseSensitive ? CompareStr(s1, s2) : CompareText(s1, s2);
}

void TStringList::Changed() {
    if (GetUpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (GetUpdateCount() == 0 && OnChanging) OnChanging(this);
}

// ---- TChangeLink ---------------------------------------------------------------

TChangeLink::~TChangeLink() {
    if (auto* sender = dynamic_cast<IChangeLinkSender*>(FSender)) sender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (OnChange) OnChange(FSender);
}

} // namespace gcl
