#include "gcl/rtl/WinApi.h"

#include "unicode/UniSystem.h"

#include <climits>
#include <cstring>

#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniWindows.h"

namespace qelvo {

const TDefaultSystemCodePage DefaultSystemCodePage;

TDefaultSystemCodePage::operator unsigned() const {
    gcl::TOSVersionInfo v = gcl::OSVersion->GetVersion();
    if (v.Platform == gcl::PlatformWin32NT && v.MajorVersion >= 5) return CP_THREAD_ACP;
    return LCIDToCodePage(GetThreadLocale());
}

unsigned GetDefaultCodePage() { return DefaultSystemCodePage; }

namespace {

int Len(size_t n) { return n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n); }

// ---- UTF-7 character classes ------------------------------------------------

struct TUtf7Tables {
    // 0-63 for a base64 letter, -1 for any other byte.
    signed char Base64Value[256];
    // Characters below 128 that must be encoded: with only the directly
    // encoded and white-space characters going direct (Strict), or with
    // the optionally direct ones going direct too (Optional).
    bool MustEncodeStrict[128];
    bool MustEncodeOptional[128];

    TUtf7Tables() {
        static const char base64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        static const char direct[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'(),-./:?";
        static const char optional[] = "!\"#$%&*;<=>@[]^_`{|}";
        static const char space[] = "\t\r\n ";
        std::memset(Base64Value, -1, sizeof Base64Value);
        for (int i = 0; i < 64; ++i) Base64Value[static_cast<unsigned char>(base64[i])] = static_cast<signed char>(i);
        for (bool& b : MustEncodeStrict) b = true;
        for (const char* p = direct; *p; ++p) MustEncodeStrict[static_cast<unsigned char>(*p)] = false;
        for (const char* p = space; *p; ++p) MustEncodeStrict[static_cast<unsigned char>(*p)] = false;
        std::memcpy(MustEncodeOptional, MustEncodeStrict, sizeof MustEncodeOptional);
        for (const char* p = optional; *p; ++p) MustEncodeOptional[static_cast<unsigned char>(*p)] = false;
    }
};

const TUtf7Tables& Utf7Tables() {
    static const TUtf7Tables tables;
    return tables;
}

constexpr char Base64Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

[[noreturn]] void RaiseBufferOverflow() { throw EUniInternalError(msg::BufferOverflow); }

} // namespace

std::string WideStringToUTF7(const std::wstring& ws) {
    const TUtf7Tables& t = Utf7Tables();
    const size_t limit = ws.size() * 7;
    std::string out;
    out.reserve(ws.size() * 3);
    auto put = [&](char c) {
        if (out.size() >= limit) RaiseBufferOverflow();
        out.push_back(c);
    };
    auto mustEncode = [&](wchar_t c) { return c > 127 || t.MustEncodeOptional[c]; };

    bool inRun = false;
    uint32_t bits = 0;
    int bitCount = 0;
    for (size_t i = 0; i < ws.size(); ++i) {
        wchar_t c = ws[i];
        if (!mustEncode(c)) {
            if (inRun) {
                if (bitCount > 0) put(Base64Letters[(bits << (6 - bitCount)) & 63]);
                bits = 0;
                bitCount = 0;
                if (t.Base64Value[static_cast<unsigned char>(c)] >= 0 || c == L'-') put('-');
                inRun = false;
            }
            put(static_cast<char>(c));
            continue;
        }
        if (!inRun) {
            put('+');
            if (c == L'+') {
                put('-');
                continue;
            }
            inRun = true;
        }
        bits = bits << 16 | static_cast<uint16_t>(c);
        bitCount += 16;
        while (bitCount >= 6) {
            bitCount -= 6;
            put(Base64Letters[(bits >> bitCount) & 63]);
        }
        bits &= (1u << bitCount) - 1;
    }
    if (inRun && bitCount > 0) put(Base64Letters[(bits << (6 - bitCount)) & 63]);
    return out;
}

std::wstring UTF7ToWideString(const std::string& s) {
    const TUtf7Tables& t = Utf7Tables();
    std::wstring out;
    out.reserve(s.size());
    auto put = [&](wchar_t c) {
        if (out.size() >= s.size()) RaiseBufferOverflow();
        out.push_back(c);
    };

    bool invalid = false;
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        if (b != '+') {
            if (b > 127) invalid = true;
            put(static_cast<wchar_t>(b));
            ++i;
            continue;
        }
        // A base64 run.
        ++i;
        uint32_t bits = 0;
        int bitCount = 0;
        size_t letters = 0;
        size_t produced = 0;
        while (i < n && t.Base64Value[static_cast<unsigned char>(s[i])] >= 0) {
            bits = bits << 6 | static_cast<uint32_t>(t.Base64Value[static_cast<unsigned char>(s[i])]);
            bitCount += 6;
            ++letters;
            ++i;
            if (bitCount >= 16) {
                bitCount -= 16;
                put(static_cast<wchar_t>((bits >> bitCount) & 0xFFFF));
                ++produced;
            }
            bits &= (1u << bitCount) - 1;
        }
        bool endedByDash = i < n && s[i] == '-';
        if (endedByDash) {
            ++i;
            if (letters == 0) put(L'+');
        }
        if (bits != 0 || (produced == 0 && !endedByDash)) invalid = true;
    }
    if (invalid) throw EUniGeneralError(msg::InvalidUTF7);
    return out;
}

std::wstring UTF8ToWideString(const std::string& s) { return gcl::Utf8Decode(s); }

std::string WideStringToUTF8(const std::wstring& ws) { return gcl::Utf8Encode(ws); }

std::wstring StringToWideStringEx(const std::string& s, unsigned codePage) {
    if (codePage == CodePageUTF7) return UTF7ToWideString(s);
    if (codePage == CodePageUTF8) return UTF8ToWideString(s);
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, s.data(), Len(s.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring r(static_cast<size_t>(n), L'\0');
    n = MultiByteToWideChar(codePage, 0, s.data(), Len(s.size()), r.data(), n);
    r.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return r;
}

std::string WideStringToStringEx(const std::wstring& ws, unsigned codePage) {
    if (codePage == CodePageUTF7) return WideStringToUTF7(ws);
    if (codePage == CodePageUTF8) return WideStringToUTF8(ws);
    if (ws.empty()) return std::string();
    int n = WideCharToMultiByte(codePage, 0, ws.data(), Len(ws.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string r(static_cast<size_t>(n), '\0');
    n = WideCharToMultiByte(codePage, 0, ws.data(), Len(ws.size()), r.data(), n, nullptr, nullptr);
    r.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return r;
}

unsigned LCIDToCodePage(unsigned long locale) {
    char buf[6] = {};
    if (GetLocaleInfoA(static_cast<LCID>(locale), LOCALE_IDEFAULTANSICODEPAGE, buf, sizeof buf) > 0) {
        int value = 0;
        if (gcl::TryStrToInt(buf, value) && value >= 0) return static_cast<unsigned>(value);
    }
    return GetACP();
}

void StrSwapByteOrder(wchar_t* str) noexcept {
    for (; *str; ++str) {
        auto c = static_cast<uint16_t>(*str);
        *str = static_cast<wchar_t>(static_cast<uint16_t>(c << 8 | c >> 8));
    }
}

std::wstring WideLoadResString(const TResStringRec* rec) {
    if (!rec) return std::wstring();
    if (rec->Identifier >= 65536) {
        const char* text = reinterpret_cast<const char*>(rec->Identifier);
        std::string s(text);
        if (s.size() >= 3 && std::memcmp(s.data(), "\xEF\xBB\xBF", 3) == 0) return UTF8ToWideString(s.substr(3));
        return StringToWideStringEx(s, DefaultSystemCodePage);
    }
    HINSTANCE module = rec->Module && *rec->Module ? static_cast<HINSTANCE>(*rec->Module) : GetModuleHandleW(nullptr);
    wchar_t buffer[4097];
    int n = Uni_LoadStringW(module, static_cast<UINT>(rec->Identifier), buffer, 4097);
    if (n <= 0) return std::wstring();
    return std::wstring(buffer, static_cast<size_t>(n > 4096 ? 4096 : n));
}

} // namespace qelvo
