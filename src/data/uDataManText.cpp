// The text of a task's field and the blocks of task texts (see
// uDataManText.h).
#include "data/uDataManText.h"

#include <limits>
#include <new>
#include <ostream>
#include <stdexcept>

namespace qelvo {

// ---- TTextBlock ------------------------------------------------------------------

TTextBlock* TTextBlock::New(std::size_t capacity) {
    void* memory = ::operator new(sizeof(TTextBlock) + capacity);
    return new (memory) TTextBlock(capacity);
}

void TTextBlock::Delete(TTextBlock* block) noexcept {
    block->~TTextBlock();
    ::operator delete(block);
}

// ---- TTaskText -------------------------------------------------------------------

namespace {

[[noreturn]] void OutOfRange() {
    throw std::out_of_range("task text position out of range");
}

} // namespace

void TTaskText::FreeHeap() noexcept {
    delete[] LongData();
}

const char& TTaskText::at(size_type i) const {
    if (i >= size()) OutOfRange();
    return data()[i];
}

char& TTaskText::at(size_type i) {
    if (i >= size()) OutOfRange();
    return data()[i];
}

TTaskText& TTaskText::assign(std::string_view s) {
    const size_type n = s.size();
    if (n <= InlineCapacity) {
        // S may lie in this text's own bytes.
        char copy[InlineCapacity];
        if (n) std::memcpy(copy, s.data(), n);
        if (Kind() == HeapKind) FreeHeap();
        if (n) std::memcpy(FRaw, copy, n);
        SetInline(n);
        return *this;
    }
    if (n > std::numeric_limits<std::uint32_t>::max() - 1) throw std::length_error("task text too long");
    // A text of the same length in a block or a heap block of the field's
    // own is overwritten where it is.
    if (Kind() >= BlockKind && LongSize() == n) {
        std::memmove(LongData(), s.data(), n);
        ClearMemo();
        return *this;
    }
    char* p = new char[n + 1];
    std::memcpy(p, s.data(), n);
    p[n] = '\0';
    const bool wasHeap = Kind() == HeapKind;
    if (wasHeap) FreeHeap();
    SetLong(p, static_cast<std::uint32_t>(n), HeapKind);
    if (!wasHeap)
        if (THeapTextHook hook = FHeapTextHook.load(std::memory_order_acquire)) hook(this);
    return *this;
}

TTaskText& TTaskText::append(std::string_view s) {
    if (s.empty()) return *this;
    std::string joined;
    joined.reserve(size() + s.size());
    joined.append(View());
    joined.append(s);
    return assign(joined);
}

TTaskText& TTaskText::append(size_type n, char c) {
    if (n == 0) return *this;
    std::string joined(View());
    joined.append(n, c);
    return assign(joined);
}

void TTaskText::clear() noexcept {
    if (Kind() == HeapKind) FreeHeap();
    SetInline(0);
}

void TTaskText::Shorten(size_type n) noexcept {
    if (Kind() < BlockKind) {
        SetInline(n);
    } else if (n <= InlineCapacity) {
        // Moved inside; the bytes are read before a heap block goes.
        char* p = LongData();
        char copy[InlineCapacity];
        if (n) std::memcpy(copy, p, n);
        if (Kind() == HeapKind) FreeHeap();
        if (n) std::memcpy(FRaw, copy, n);
        SetInline(n);
    } else {
        LongData()[n] = '\0';
        SetLong(LongData(), static_cast<std::uint32_t>(n), Kind());
    }
}

void TTaskText::resize(size_type n, char c) {
    if (n <= size())
        Shorten(n);
    else
        append(n - size(), c);
}

TTaskText& TTaskText::insert(size_type pos, std::string_view s) {
    if (pos > size()) OutOfRange();
    std::string t(View());
    t.insert(pos, s);
    return assign(t);
}

TTaskText& TTaskText::insert(size_type pos, size_type n, char c) {
    if (pos > size()) OutOfRange();
    std::string t(View());
    t.insert(pos, n, c);
    return assign(t);
}

TTaskText& TTaskText::erase(size_type pos, size_type n) {
    const size_type length = size();
    if (pos > length) OutOfRange();
    n = std::min(n, length - pos);
    if (n == 0) return *this;
    char* p = data();
    std::memmove(p + pos, p + pos + n, length - pos - n);
    Shorten(length - n);
    return *this;
}

TTaskText& TTaskText::replace(size_type pos, size_type n, std::string_view s) {
    if (pos > size()) OutOfRange();
    std::string t(View());
    t.replace(pos, n, s);
    return assign(t);
}

void TTaskText::swap(TTaskText& other) {
    if (this == &other) return;
    TTaskText t(*this);
    *this = other;
    other = t;
}

// ---- Joining and writing -------------------------------------------------------------

namespace {

std::string Join(std::string_view a, std::string_view b) {
    std::string s;
    s.reserve(a.size() + b.size());
    s.append(a);
    s.append(b);
    return s;
}

} // namespace

std::string operator+(const TTaskText& a, const TTaskText& b) {
    return Join(a.View(), b.View());
}
std::string operator+(const TTaskText& a, const std::string& b) {
    return Join(a.View(), b);
}
std::string operator+(const std::string& a, const TTaskText& b) {
    return Join(a, b.View());
}
std::string operator+(const TTaskText& a, const char* b) {
    return Join(a.View(), b);
}
std::string operator+(const char* a, const TTaskText& b) {
    return Join(a, b.View());
}
std::string operator+(const TTaskText& a, char b) {
    return Join(a.View(), std::string_view(&b, 1));
}
std::string operator+(char a, const TTaskText& b) {
    return Join(std::string_view(&a, 1), b.View());
}

std::ostream& operator<<(std::ostream& out, const TTaskText& text) {
    return out << text.View();
}

} // namespace qelvo
