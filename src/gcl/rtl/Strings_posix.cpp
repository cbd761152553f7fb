// Native (non-Windows) locale pieces of Strings.h. The system code page is
// taken to be Windows code page 1252, so native builds behave like the
// program under an English Windows: the same case mapping, the same
// conversions and the same collation order.
#include "gcl/rtl/Strings.h"

#include <vector>

#include "gcl/rtl/Exceptions.h"

namespace gcl {

namespace {

// Code page 1252, bytes 0x80-0x9F. The five bytes without a character map
// to the C1 control points of the same value, as Windows maps them.
const uint16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

// Byte of code page 1252 for a UTF-16 unit, or -1 when it has none.
int Cp1252Byte(uint32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] == u) return 0x80 + i;
    return -1;
}

unsigned char UpperCp1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
    }
}

unsigned char LowerCp1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
    }
}

// --- Collation ---------------------------------------------------------------
//
// Multi-level comparison in the manner of Windows' CompareString: first the
// primary weights of the whole strings (base characters), then the
// secondary weights (accents), then the tertiary ones (case and variant
// forms, case left out when ignoring case), finally the "special" characters
// (hyphen, apostrophe, control characters), which weigh nothing on the first
// three levels. The table below holds, for every byte of code page 1252:
//   kind 0: {0, primary, secondary, tertiary * 2 + upper-case bit};
//   kind 1: ignored altogether (soft hyphen, NUL);
//   kind 2: special, {2, order among the specials};
//   kind 3: sorts as the two bytes given (ae, oe, ss, th).
// The weights reproduce the order Windows gives these characters.
struct TCollationEntry {
    unsigned char Kind;
    unsigned char Primary;
    unsigned char Secondary;
    unsigned char Tertiary;
};

const TCollationEntry Collation[256] = {
    {1,   0, 0, 0}, {2,   1, 0, 0}, {2,   2, 0, 0}, {2,   3, 0, 0}, {2,   4, 0, 0}, {2,   5, 0, 0}, {2,   6, 0, 0}, {2,   7, 0, 0},  // 00
    {2,   8, 0, 0}, {0,   3, 0, 0}, {0,   4, 0, 0}, {0,   5, 0, 0}, {0,   6, 0, 0}, {0,   7, 0, 0}, {2,   9, 0, 0}, {2,  10, 0, 0},  // 08
    {2,  11, 0, 0}, {2,  12, 0, 0}, {2,  13, 0, 0}, {2,  14, 0, 0}, {2,  15, 0, 0}, {2,  16, 0, 0}, {2,  17, 0, 0}, {2,  18, 0, 0},  // 10
    {2,  19, 0, 0}, {2,  20, 0, 0}, {2,  21, 0, 0}, {2,  22, 0, 0}, {2,  23, 0, 0}, {2,  24, 0, 0}, {2,  25, 0, 0}, {2,  26, 0, 0},  // 18
    {0,   1, 0, 0}, {0,   8, 0, 0}, {0,   9, 0, 0}, {0,  10, 0, 0}, {0,  11, 0, 0}, {0,  12, 0, 0}, {0,  13, 0, 0}, {2,  28, 0, 0},  // 20
    {0,  14, 0, 0}, {0,  15, 0, 0}, {0,  16, 0, 0}, {0,  55, 0, 0}, {0,  17, 0, 0}, {2,  29, 0, 0}, {0,  18, 0, 0}, {0,  19, 0, 0},  // 28
    {0,  78, 0, 0}, {0,  82, 0, 0}, {0,  83, 0, 0}, {0,  84, 0, 0}, {0,  85, 0, 0}, {0,  86, 0, 0}, {0,  87, 0, 0}, {0,  88, 0, 0},  // 30
    {0,  89, 0, 0}, {0,  90, 0, 0}, {0,  20, 0, 0}, {0,  21, 0, 0}, {0,  56, 0, 0}, {0,  57, 0, 0}, {0,  58, 0, 0}, {0,  22, 0, 0},  // 38
    {0,  23, 0, 0}, {0,  91, 0, 1}, {0,  92, 0, 1}, {0,  93, 0, 1}, {0,  94, 0, 1}, {0,  95, 0, 1}, {0,  96, 0, 1}, {0,  97, 0, 1},  // 40
    {0,  98, 0, 1}, {0,  99, 0, 1}, {0, 100, 0, 1}, {0, 101, 0, 1}, {0, 102, 0, 1}, {0, 103, 0, 1}, {0, 104, 0, 1}, {0, 105, 0, 1},  // 48
    {0, 106, 0, 1}, {0, 107, 0, 1}, {0, 108, 0, 1}, {0, 109, 0, 1}, {0, 110, 0, 1}, {0, 112, 0, 1}, {0, 113, 0, 1}, {0, 114, 0, 1},  // 50
    {0, 115, 0, 1}, {0, 116, 0, 1}, {0, 117, 0, 1}, {0,  24, 0, 0}, {0,  25, 0, 0}, {0,  26, 0, 0}, {0,  27, 0, 0}, {0,  28, 0, 0},  // 58
    {0,  29, 0, 0}, {0,  91, 0, 0}, {0,  92, 0, 0}, {0,  93, 0, 0}, {0,  94, 0, 0}, {0,  95, 0, 0}, {0,  96, 0, 0}, {0,  97, 0, 0},  // 60
    {0,  98, 0, 0}, {0,  99, 0, 0}, {0, 100, 0, 0}, {0, 101, 0, 0}, {0, 102, 0, 0}, {0, 103, 0, 0}, {0, 104, 0, 0}, {0, 105, 0, 0},  // 68
    {0, 106, 0, 0}, {0, 107, 0, 0}, {0, 108, 0, 0}, {0, 109, 0, 0}, {0, 110, 0, 0}, {0, 112, 0, 0}, {0, 113, 0, 0}, {0, 114, 0, 0},  // 70
    {0, 115, 0, 0}, {0, 116, 0, 0}, {0, 117, 0, 0}, {0,  30, 0, 0}, {0,  31, 0, 0}, {0,  32, 0, 0}, {0,  33, 0, 0}, {2,  27, 0, 0},  // 78
    {0,  54, 0, 0}, {0,  77, 0, 0}, {0,  44, 0, 0}, {0,  96, 1, 0}, {0,  47, 0, 0}, {0,  72, 0, 0}, {0,  73, 0, 0}, {0,  74, 0, 0},  // 80
    {0,  27, 0, 0}, {0,  76, 0, 0}, {0, 109, 1, 1}, {0,  48, 0, 0}, {3, 0x4F, 0x45, 0}, {0,  77, 1, 0}, {0, 117, 1, 1}, {0,  77, 2, 0},  // 88
    {0,  77, 3, 0}, {0,  42, 0, 0}, {0,  43, 0, 0}, {0,  45, 0, 0}, {0,  46, 0, 0}, {0,  75, 0, 0}, {2,  30, 0, 0}, {2,  31, 0, 0},  // 90
    {0,  41, 0, 0}, {0, 111, 0, 0}, {0, 109, 1, 0}, {0,  49, 0, 0}, {3, 0x6F, 0x65, 0}, {0,  77, 4, 0}, {0, 117, 1, 0}, {0, 116, 2, 1},  // 98
    {0,   2, 0, 0}, {0,  34, 0, 0}, {0,  50, 0, 0}, {0,  51, 0, 0}, {0,  52, 0, 0}, {0,  53, 0, 0}, {0,  35, 0, 0}, {0,  64, 0, 0},  // A0
    {0,  36, 0, 0}, {0,  65, 0, 0}, {0,  91, 1, 0}, {0,  60, 0, 0}, {0,  66, 0, 0}, {1,   0, 0, 0}, {0,  67, 0, 0}, {0,  37, 0, 0},  // A8
    {0,  68, 0, 0}, {0,  59, 0, 0}, {0,  83, 0, 2}, {0,  84, 0, 2}, {0,  38, 0, 0}, {0,  69, 0, 0}, {0,  70, 0, 0}, {0,  71, 0, 0},  // B0
    {0,  39, 0, 0}, {0,  82, 0, 2}, {0, 105, 1, 0}, {0,  61, 0, 0}, {0,  79, 0, 0}, {0,  80, 0, 0}, {0,  81, 0, 0}, {0,  40, 0, 0},  // B8
    {0,  91, 3, 1}, {0,  91, 2, 1}, {0,  91, 4, 1}, {0,  91, 6, 1}, {0,  91, 5, 1}, {0,  91, 7, 1}, {3, 0x41, 0x45, 0}, {0,  93, 1, 1},  // C0
    {0,  95, 2, 1}, {0,  95, 1, 1}, {0,  95, 3, 1}, {0,  95, 4, 1}, {0,  99, 2, 1}, {0,  99, 1, 1}, {0,  99, 3, 1}, {0,  99, 4, 1},  // C8
    {0,  94, 1, 1}, {0, 104, 1, 1}, {0, 105, 3, 1}, {0, 105, 2, 1}, {0, 105, 4, 1}, {0, 105, 6, 1}, {0, 105, 5, 1}, {0,  62, 0, 0},  // D0
    {0, 105, 7, 1}, {0, 112, 2, 1}, {0, 112, 1, 1}, {0, 112, 3, 1}, {0, 112, 4, 1}, {0, 116, 1, 1}, {3, 0x54, 0x48, 0}, {3, 0x73, 0x73, 0},  // D8
    {0,  91, 3, 0}, {0,  91, 2, 0}, {0,  91, 4, 0}, {0,  91, 6, 0}, {0,  91, 5, 0}, {0,  91, 7, 0}, {3, 0x61, 0x65, 0}, {0,  93, 1, 0},  // E0
    {0,  95, 2, 0}, {0,  95, 1, 0}, {0,  95, 3, 0}, {0,  95, 4, 0}, {0,  99, 2, 0}, {0,  99, 1, 0}, {0,  99, 3, 0}, {0,  99, 4, 0},  // E8
    {0,  94, 1, 0}, {0, 104, 1, 0}, {0, 105, 3, 0}, {0, 105, 2, 0}, {0, 105, 4, 0}, {0, 105, 6, 0}, {0, 105, 5, 0}, {0,  63, 0, 0},  // F0
    {0, 105, 7, 0}, {0, 112, 2, 0}, {0, 112, 1, 0}, {0, 112, 3, 0}, {0, 112, 4, 0}, {0, 116, 1, 0}, {3, 0x74, 0x68, 0}, {0, 116, 2, 0},  // F8
};

struct TCollationKey {
    struct TElem {
        uint32_t Primary;
        unsigned char Secondary;
        unsigned char Tertiary;
    };
    std::vector<TElem> Elems;
    // Specials: (number of elements before it, order), in text order.
    std::vector<std::pair<uint32_t, unsigned>> Specials;

    void AddByte(unsigned char b) {
        const TCollationEntry& e = Collation[b];
        switch (e.Kind) {
        case 0: Elems.push_back({e.Primary, e.Secondary, e.Tertiary}); break;
        case 2: Specials.emplace_back(static_cast<uint32_t>(Elems.size()), e.Primary); break;
        case 3:
            AddByte(e.Primary);
            AddByte(e.Secondary);
            break;
        default: break;
        }
    }
    // Characters outside code page 1252 sort after all of it, by code unit.
    void AddUnit(uint32_t u) {
        int b = Cp1252Byte(u);
        if (b >= 0) AddByte(static_cast<unsigned char>(b));
        else if (u >= 0x80 && u <= 0x9F) return;
        else Elems.push_back({0x100 + u, 0, 0});
    }
};

template <class Field>
int CompareLevel(const TCollationKey& a, const TCollationKey& b, Field field) {
    size_t n = a.Elems.size() < b.Elems.size() ? a.Elems.size() : b.Elems.size();
    for (size_t i = 0; i < n; ++i) {
        uint32_t x = field(a.Elems[i]), y = field(b.Elems[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.Elems.size() != b.Elems.size()) return a.Elems.size() < b.Elems.size() ? -1 : 1;
    return 0;
}

// Specials compare in text order: one that stands earlier in the text
// weighs more, at the same place the higher order wins, and a string with
// more specials is the greater.
int CompareSpecials(const TCollationKey& a, const TCollationKey& b) {
    size_t n = a.Specials.size() < b.Specials.size() ? a.Specials.size() : b.Specials.size();
    for (size_t i = 0; i < n; ++i) {
        const auto& x = a.Specials[i];
        const auto& y = b.Specials[i];
        if (x.first != y.first) return x.first < y.first ? 1 : -1;
        if (x.second != y.second) return x.second < y.second ? -1 : 1;
    }
    if (a.Specials.size() != b.Specials.size()) return a.Specials.size() < b.Specials.size() ? -1 : 1;
    return 0;
}

int CompareKeys(const TCollationKey& a, const TCollationKey& b, bool ignoreCase) {
    int r = CompareLevel(a, b, [](const TCollationKey::TElem& e) { return e.Primary; });
    if (r == 0) r = CompareLevel(a, b, [](const TCollationKey::TElem& e) { return uint32_t(e.Secondary); });
    if (r == 0) {
        if (ignoreCase) r = CompareLevel(a, b, [](const TCollationKey::TElem& e) { return uint32_t(e.Tertiary >> 1); });
        else r = CompareLevel(a, b, [](const TCollationKey::TElem& e) { return uint32_t(e.Tertiary); });
    }
    if (r == 0) r = CompareSpecials(a, b);
    return r;
}

int CompareAnsi(const std::string& a, const std::string& b, bool ignoreCase) {
    TCollationKey ka, kb;
    ka.Elems.reserve(a.size());
    kb.Elems.reserve(b.size());
    for (char c : a) ka.AddByte(static_cast<unsigned char>(c));
    for (char c : b) kb.AddByte(static_cast<unsigned char>(c));
    return CompareKeys(ka, kb, ignoreCase);
}

int CompareWide(const std::wstring& a, const std::wstring& b, bool ignoreCase) {
    TCollationKey ka, kb;
    ka.Elems.reserve(a.size());
    kb.Elems.reserve(b.size());
    for (wchar_t c : a) ka.AddUnit(static_cast<uint32_t>(c));
    for (wchar_t c : b) kb.AddUnit(static_cast<uint32_t>(c));
    return CompareKeys(ka, kb, ignoreCase);
}

[[noreturn]] void RaiseCodePage(unsigned codePage) {
    throw EConvertError(Format(msg::UnsupportedCodePage, {codePage}));
}

} // namespace

std::string AnsiUpperCase(const std::string& s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(UpperCp1252(static_cast<unsigned char>(c)));
    return r;
}

std::string AnsiLowerCase(const std::string& s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(LowerCp1252(static_cast<unsigned char>(c)));
    return r;
}

int AnsiCompareText(const std::string& a, const std::string& b) { return CompareAnsi(a, b, true); }

int AnsiCompareStr(const std::string& a, const std::string& b) { return CompareAnsi(a, b, false); }

bool IsLeadByte(char) { return false; }

unsigned AnsiCodePage() { return 1252; }

std::wstring AnsiToWide(const std::string& s, unsigned codePage) {
    switch (codePage) {
    case 0:
    case 1252: {
        std::wstring r(s.size(), L'\0');
        for (size_t i = 0; i < s.size(); ++i) {
            unsigned char b = static_cast<unsigned char>(s[i]);
            r[i] = static_cast<wchar_t>(b >= 0x80 && b <= 0x9F ? Cp1252High[b - 0x80] : b);
        }
        return r;
    }
    case 28591: {
        std::wstring r(s.size(), L'\0');
        for (size_t i = 0; i < s.size(); ++i) r[i] = static_cast<wchar_t>(static_cast<unsigned char>(s[i]));
        return r;
    }
    case 65001: return Utf8Decode(s);
    default: RaiseCodePage(codePage);
    }
}

std::string WideToAnsi(const std::wstring& ws, unsigned codePage) {
    switch (codePage) {
    case 0:
    case 1252:
    case 28591: {
        std::string r(ws.size(), '\0');
        for (size_t i = 0; i < ws.size(); ++i) {
            uint32_t u = static_cast<uint32_t>(ws[i]);
            int b = codePage == 28591 ? (u <= 0xFF ? static_cast<int>(u) : -1) : Cp1252Byte(u);
            r[i] = b < 0 ? '?' : static_cast<char>(b);
        }
        return r;
    }
    case 65001: return Utf8Encode(ws);
    default: RaiseCodePage(codePage);
    }
}

int WideCompareText(const std::wstring& a, const std::wstring& b) { return CompareWide(a, b, true); }

int WideCompareStr(const std::wstring& a, const std::wstring& b) { return CompareWide(a, b, false); }

} // namespace gcl
