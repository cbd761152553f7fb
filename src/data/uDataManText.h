// The text of one field of a task (TTaskText), and the blocks that hold
// the texts of the tasks read from a database file (TTextBlock). Included
// by uDataMan.h; code uses the task's fields as it would std::string.
#pragma once

#include <atomic>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace qelvo {

// A block of task texts: a reference count and the bytes after it. A
// database file's tasks keep their texts in a few such blocks instead of a
// heap block per text, so loading copies each text once and freeing a
// task frees no text. Every task whose texts are in a block holds one
// reference to it; the block goes when the last of them is freed, whatever
// list, database or thread the task is in by then.
class TTextBlock {
public:
    // A block with room for at least Capacity bytes, holding one reference.
    static TTextBlock* New(std::size_t capacity);
    void AddRef(std::uint32_t count = 1) noexcept { FRefs.fetch_add(count, std::memory_order_relaxed); }
    // Gives back Count references.
    void Release(std::uint32_t count = 1) noexcept {
        if (FRefs.fetch_sub(count, std::memory_order_acq_rel) == count) Delete(this);
    }
    char* Bytes() noexcept { return reinterpret_cast<char*>(this + 1); }
    std::size_t GetCapacity() const noexcept { return FCapacity; }

private:
    explicit TTextBlock(std::size_t capacity) noexcept : FCapacity(capacity) {}
    static void Delete(TTextBlock* block) noexcept;
    std::atomic<std::uint32_t> FRefs{1};
    std::size_t FCapacity;
};

// The text of a task's field: 8-bit text as std::string holds it, with
// the reading members of std::string, assignment and the common changes,
// comparison with any text, and conversion to std::string and
// std::string_view.
//
// It is held in one of three ways: a short text (up to InlineCapacity
// bytes) inside the object itself; a longer text in a heap block of its
// own; or, for the tasks read from a file, in the task's TTextBlock. A
// text in a block belongs to its field alone (copies are made elsewhere),
// so the field may change it in place; a new value of another length
// goes to the object or the heap, and the old bytes stay in the block
// (still readable) until the task is freed. Every text ends with a 0 byte
// after its last character, so c_str() is data().
class TTaskText {
public:
    using size_type = std::size_t;
    using value_type = char;
    static constexpr size_type npos = std::string::npos;
    // The longest text held in the object itself: 15 bytes in 64-bit
    // programs, 11 in 32-bit ones.
    static constexpr size_type InlineCapacity = sizeof(char*) + 8 - 1;

    TTaskText() noexcept { SetInline(0); }
    explicit TTaskText(std::string_view s) {
        SetInline(0);
        assign(s);
    }
    TTaskText(const TTaskText& other) : TTaskText(other.View()) {}
    TTaskText& operator=(const TTaskText& other) { return assign(other.View()); }
    ~TTaskText() {
        if (Kind() == HeapKind) FreeHeap();
    }

    TTaskText& operator=(std::string_view s) { return assign(s); }
    TTaskText& operator=(const std::string& s) { return assign(std::string_view(s)); }
    TTaskText& operator=(const char* s) { return assign(std::string_view(s)); }

    // ---- Reading --------------------------------------------------------------
    size_type size() const noexcept { return Kind() < BlockKind ? InlineCapacity - Control() : LongSize(); }
    size_type length() const noexcept { return size(); }
    bool empty() const noexcept { return size() == 0; }
    const char* data() const noexcept { return Kind() < BlockKind ? FRaw : LongData(); }
    // (The text may be changed through the pointer: its memo goes.)
    char* data() noexcept {
        ClearMemo();
        return Kind() < BlockKind ? FRaw : LongData();
    }
    const char* c_str() const noexcept { return data(); }
    std::string_view View() const noexcept { return std::string_view(data(), size()); }
    operator std::string_view() const noexcept { return View(); }
    operator std::string() const { return std::string(View()); }

    const char& operator[](size_type i) const noexcept { return data()[i]; }
    char& operator[](size_type i) noexcept { return data()[i]; }
    const char& at(size_type i) const;
    char& at(size_type i);
    const char& front() const noexcept { return data()[0]; }
    const char& back() const noexcept { return data()[size() - 1]; }
    const char* begin() const noexcept { return data(); }
    const char* end() const noexcept { return data() + size(); }
    const char* cbegin() const noexcept { return begin(); }
    const char* cend() const noexcept { return end(); }
    size_type capacity() const noexcept { return size(); }
    void reserve(size_type) noexcept {}
    void shrink_to_fit() noexcept {}

    size_type find(std::string_view s, size_type pos = 0) const noexcept { return View().find(s, pos); }
    size_type find(char c, size_type pos = 0) const noexcept { return View().find(c, pos); }
    size_type rfind(std::string_view s, size_type pos = npos) const noexcept { return View().rfind(s, pos); }
    size_type rfind(char c, size_type pos = npos) const noexcept { return View().rfind(c, pos); }
    size_type find_first_of(std::string_view s, size_type pos = 0) const noexcept {
        return View().find_first_of(s, pos);
    }
    size_type find_last_of(std::string_view s, size_type pos = npos) const noexcept {
        return View().find_last_of(s, pos);
    }
    size_type find_first_not_of(std::string_view s, size_type pos = 0) const noexcept {
        return View().find_first_not_of(s, pos);
    }
    size_type find_last_not_of(std::string_view s, size_type pos = npos) const noexcept {
        return View().find_last_not_of(s, pos);
    }
    bool starts_with(std::string_view s) const noexcept { return View().starts_with(s); }
    bool starts_with(char c) const noexcept { return View().starts_with(c); }
    bool ends_with(std::string_view s) const noexcept { return View().ends_with(s); }
    bool ends_with(char c) const noexcept { return View().ends_with(c); }
    bool contains(std::string_view s) const noexcept { return find(s) != npos; }
    bool contains(char c) const noexcept { return find(c) != npos; }
    int compare(std::string_view s) const noexcept { return View().compare(s); }
    int compare(size_type pos, size_type n, std::string_view s) const { return View().substr(pos, n).compare(s); }
    std::string substr(size_type pos = 0, size_type n = npos) const { return std::string(View().substr(pos, n)); }

    // ---- The memo -------------------------------------------------------------------
    // A number below 2^24 that the text's owner keeps with it, in bytes the
    // text leaves free: any change of the text (through any member,
    // including a write through data() or operator[]) sets it back to 0,
    // so a memo names the text as it was when it was set, for example the
    // place of that text in a table. 0 means none. A text of more than
    // MemoInlineLimit bytes held inside the object has no room for one: its
    // memo stays 0 and SetMemo does nothing.
    static constexpr std::uint32_t MaxMemo = 0xFFFFFF;
    static constexpr size_type MemoInlineLimit = InlineCapacity - 4;
    std::uint32_t Memo() const noexcept {
        if (!HasMemoRoom()) return 0;
        const auto* m = reinterpret_cast<const unsigned char*>(FRaw + MemoAt);
        return std::uint32_t{m[0]} | std::uint32_t{m[1]} << 8 | std::uint32_t{m[2]} << 16;
    }
    // Whether the text, as it is held now, has room for a memo.
    bool KeepsMemo() const noexcept { return HasMemoRoom(); }
    // Keeps Memo (at most MaxMemo; a larger one is not kept) with the text.
    // The memo is not part of the text's value, so a constant text keeps
    // one too.
    void SetMemo(std::uint32_t memo) const noexcept {
        if (memo <= MaxMemo && HasMemoRoom()) WriteMemo(memo);
    }

    // ---- Changing (positions as in std::string; a position past the end raises
    // std::out_of_range) ---------------------------------------------------------
    TTaskText& assign(std::string_view s);
    TTaskText& assign(const char* s, size_type n) { return assign(std::string_view(s, n)); }
    TTaskText& assign(size_type n, char c) { return assign(std::string(n, c)); }
    TTaskText& append(std::string_view s);
    TTaskText& append(const char* s, size_type n) { return append(std::string_view(s, n)); }
    TTaskText& append(size_type n, char c);
    TTaskText& operator+=(std::string_view s) { return append(s); }
    TTaskText& operator+=(const std::string& s) { return append(std::string_view(s)); }
    TTaskText& operator+=(const char* s) { return append(std::string_view(s)); }
    TTaskText& operator+=(char c) { return append(1, c); }
    void push_back(char c) { append(1, c); }
    void pop_back() noexcept { Shorten(size() - 1); }
    void clear() noexcept;
    void resize(size_type n, char c = '\0');
    TTaskText& insert(size_type pos, std::string_view s);
    TTaskText& insert(size_type pos, size_type n, char c);
    TTaskText& erase(size_type pos = 0, size_type n = npos);
    TTaskText& replace(size_type pos, size_type n, std::string_view s);
    void swap(TTaskText& other);

    // ---- Comparison (byte order, as std::string) ----------------------------------
    friend bool operator==(const TTaskText& a, const TTaskText& b) noexcept { return a.View() == b.View(); }
    friend bool operator==(const TTaskText& a, const std::string& b) noexcept { return a.View() == std::string_view(b); }
    friend bool operator==(const TTaskText& a, const char* b) noexcept { return a.View() == std::string_view(b); }
    friend bool operator==(const TTaskText& a, std::string_view b) noexcept { return a.View() == b; }
    friend std::strong_ordering operator<=>(const TTaskText& a, const TTaskText& b) noexcept {
        return a.View() <=> b.View();
    }
    friend std::strong_ordering operator<=>(const TTaskText& a, const std::string& b) noexcept {
        return a.View() <=> std::string_view(b);
    }
    friend std::strong_ordering operator<=>(const TTaskText& a, const char* b) noexcept {
        return a.View() <=> std::string_view(b);
    }
    friend std::strong_ordering operator<=>(const TTaskText& a, std::string_view b) noexcept {
        return a.View() <=> b;
    }

    // ---- For the loader -----------------------------------------------------------
    // Points the field at N bytes at P inside the task's text block (P[N]
    // is 0), dropping its old value.
    void SetBlockText(char* p, std::uint32_t n) noexcept {
        if (Kind() == HeapKind) FreeHeap();
        SetLong(p, n, BlockKind);
    }
    // Sets a text of N bytes (N <= InlineCapacity) at P, held in the
    // object; sizeof(TTaskText) bytes at P are read.
    void SetInlineText(const char* p, std::size_t n) noexcept {
        if (Kind() == HeapKind) FreeHeap();
        std::memcpy(FRaw, p, ObjectSize);
        SetInline(n);
    }
    // True for a text that needs room in a block (longer than fits inside).
    static bool NeedsBlock(std::size_t n) noexcept { return n > InlineCapacity; }
    // True for a text that keeps a memo only when held in a block (it
    // fits inside, but fills the memo's bytes there).
    static bool NeedsBlockForMemo(std::size_t n) noexcept { return n > MemoInlineLimit; }
    // False when the text is in a heap block of the field's own (which
    // the field frees).
    bool HoldsNoHeapBlock() const noexcept { return Kind() != HeapKind; }

    // Called with the field's address each time a text moves to a heap
    // block of the field's own: the task memory (uDataMan.cpp) installs
    // it to learn which tasks own heap blocks.
    using THeapTextHook = void (*)(const TTaskText* field) noexcept;
    static void SetHeapTextHook(THeapTextHook hook) noexcept { FHeapTextHook.store(hook, std::memory_order_release); }

private:
    // The last byte of the object tells how the text is held: values up to
    // InlineCapacity are an inline text (InlineCapacity minus its length,
    // so a full inline text ends with the 0 byte it needs), BlockKind a
    // text in a TTextBlock, HeapKind a heap block of the field's own.
    static constexpr std::size_t ObjectSize = sizeof(char*) + 8;
    static constexpr unsigned char BlockKind = 0x80;
    static constexpr unsigned char HeapKind = 0x81;
    static inline std::atomic<THeapTextHook> FHeapTextHook{nullptr};
    // The memo's three bytes, before the last one: free in a text held
    // outside (after its address and length) and in a text held inside of
    // at most MemoInlineLimit bytes (after its 0 byte). (Mutable: the memo
    // is kept with a constant text too; nothing else is written through a
    // constant one.)
    static constexpr std::size_t MemoAt = ObjectSize - 4;
    alignas(char*) mutable char FRaw[ObjectSize];
    bool HasMemoRoom() const noexcept { return Kind() >= BlockKind || Control() >= InlineCapacity - MemoInlineLimit; }
    void WriteMemo(std::uint32_t memo) const noexcept {
        FRaw[MemoAt] = static_cast<char>(memo);
        FRaw[MemoAt + 1] = static_cast<char>(memo >> 8);
        FRaw[MemoAt + 2] = static_cast<char>(memo >> 16);
    }
    void ClearMemo() noexcept {
        if (HasMemoRoom()) WriteMemo(0);
    }

    unsigned char Control() const noexcept { return static_cast<unsigned char>(FRaw[ObjectSize - 1]); }
    unsigned char Kind() const noexcept { return Control(); }
    // (Each way of setting how the text is held drops the memo.)
    void SetInline(std::size_t n) noexcept {
        FRaw[n] = '\0';
        FRaw[ObjectSize - 1] = static_cast<char>(InlineCapacity - n);
        if (n <= MemoInlineLimit) WriteMemo(0);
    }
    // A text held outside: its address, then its length, at the front.
    char* LongData() const noexcept {
        char* p;
        std::memcpy(&p, FRaw, sizeof p);
        return p;
    }
    std::uint32_t LongSize() const noexcept {
        std::uint32_t n;
        std::memcpy(&n, FRaw + sizeof(char*), sizeof n);
        return n;
    }
    void SetLong(char* p, std::uint32_t n, unsigned char kind) noexcept {
        std::memcpy(FRaw, &p, sizeof p);
        std::memcpy(FRaw + sizeof(char*), &n, sizeof n);
        FRaw[ObjectSize - 1] = static_cast<char>(kind);
        WriteMemo(0);
    }
    void FreeHeap() noexcept;
    // Drops everything after the first N bytes (N <= size()).
    void Shorten(size_type n) noexcept;
};

static_assert(sizeof(TTaskText) == sizeof(char*) + 8);

std::string operator+(const TTaskText& a, const TTaskText& b);
std::string operator+(const TTaskText& a, const std::string& b);
std::string operator+(const std::string& a, const TTaskText& b);
std::string operator+(const TTaskText& a, const char* b);
std::string operator+(const char* a, const TTaskText& b);
std::string operator+(const TTaskText& a, char b);
std::string operator+(char a, const TTaskText& b);
std::ostream& operator<<(std::ostream& out, const TTaskText& text);
inline void swap(TTaskText& a, TTaskText& b) {
    a.swap(b);
}

} // namespace qelvo
