#include "listview/LvCommonUtilities.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

using gcl::TColor;
using gcl::TPoint;
using gcl::TRect;
using gcl::TSize;

namespace {

bool GIsUnicode = true;
DWORD GMajorVersion = 6;

void ReadPlatform() noexcept {
    DWORD version = GetVersion();
    GIsUnicode = (version & 0x80000000u) == 0;
    GMajorVersion = version & 0xFF;
}

int CharWidth(HDC dc, wchar_t c) {
    SIZE sz{};
    GetTextExtentPoint32W(dc, &c, 1, &sz);
    return sz.cx;
}

int TextWidth(HDC dc, const std::wstring& text) {
    TSize size;
    TextExtentW(text, dc, size);
    return size.cx;
}

int FontHeight(HDC dc) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return tm.tmHeight;
}

// Draws one line of text at the rectangle's top, moved by the flags; with
// Metrics the font is not asked for its height, with Strike the line gets
// its strike-out line (see DrawTextWEx); Known is the text's width when
// the caller measured it (-1 otherwise).
int DrawSingleLine(HDC dc, std::wstring text, TRect& rect, TCommonDrawTextWFlags flags,
                   const TTextLineMetrics* metrics = nullptr, bool strike = false, int known = -1) {
    const int h = metrics ? metrics->Height : FontHeight(dc);
    int top = rect.Top;
    if (flags & dtBottom)
        top = rect.Bottom - h;
    else if (flags & dtVCenter)
        top = rect.Top + (RectHeight(rect) - h) / 2;
    // The width is known when the text fitted as it was; otherwise it is
    // measured only when the place or the rectangle asked for needs it.
    int w = -1;
    if (flags & dtEndEllipsis)
        w = FitWithEllipsis(dc, text, RectWidth(rect), known, metrics ? metrics->EllipsisWidth : -1);
    else if (known >= 0)
        w = known;
    if (w < 0 && (strike || (flags & (dtRight | dtCenter | dtCalcRect)))) w = TextWidth(dc, text);
    int x = rect.Left;
    if (flags & dtRight)
        x = rect.Right - w;
    else if (flags & dtCenter)
        x = rect.Left + (RectWidth(rect) - w) / 2;
    if (flags & dtCalcRect) {
        rect = TRect{x, top, x + w, top + h};
        return h;
    }
    UINT options = 0;
    if (!(flags & dtNoClip)) options |= ETO_CLIPPED;
    if (flags & dtRTLReading) options |= ETO_RTLREADING;
    RECT clip = gcl::ToRECT(rect);
    ExtTextOutW(dc, x, top, options, &clip, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    if (strike && metrics && w > 0) {
        // Where a struck-out font puts it: a band over the text's advance
        // centred on the font's line, beside the clip rectangle as the
        // font's own line is.
        const int bandTop = top + metrics->Ascent - metrics->StrikePosition - metrics->StrikeSize / 2;
        const RECT band{x, bandTop, x + w, bandTop + metrics->StrikeSize};
        SetDCBrushColor(dc, GetTextColor(dc));
        FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    return h;
}

struct TLibraryEntry {
    std::string Name;
    int RefCount;
    HMODULE Handle;
};
std::vector<TLibraryEntry>* GLibraries = nullptr;

uint8_t Clamp255(int v) noexcept { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// The 32-bit DIB section selected into dc.
struct TDibInfo {
    uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    bool TopDown = false;
    uint8_t* Row(int y) const { return Bits + static_cast<ptrdiff_t>(TopDown ? y : Height - 1 - y) * Stride; }
};

TDibInfo DibOf(HDC dc) {
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (!bitmap) gcl::Assert(false, msg::AlphaBlendNoBitmap, "LvCommonUtilities");
    DIBSECTION ds{};
    if (GetObjectW(bitmap, sizeof ds, &ds) != sizeof ds || ds.dsBm.bmBitsPixel != 32 || !ds.dsBm.bmBits)
        gcl::Assert(false, msg::AlphaBlendBpp, "LvCommonUtilities");
    TDibInfo info;
    info.Bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
    info.Width = ds.dsBm.bmWidth;
    info.Height = ds.dsBm.bmHeight < 0 ? -ds.dsBm.bmHeight : ds.dsBm.bmHeight;
    info.Stride = ds.dsBm.bmWidthBytes;
    info.TopDown = ds.dsBmih.biHeight < 0;
    if (!info.TopDown && info.Height > 1) {
        // GetObject may report a positive height for a top-down DIB too:
        // flip the first byte in memory and see whether the top-left pixel
        // follows. The byte is put back at once.
        GdiFlush();
        const COLORREF before = GetPixel(dc, 0, 0);
        const uint8_t saved = info.Bits[0];
        info.Bits[0] = static_cast<uint8_t>(~saved);
        GdiFlush();
        const COLORREF after = GetPixel(dc, 0, 0);
        info.Bits[0] = saved;
        info.TopDown = before != after;
    }
    return info;
}

void DrawGlyph(gcl::TCanvas* canvas, TPoint pos, const char* glyph, TColor color) {
    canvas->GetFont()->SetColor(color);
    canvas->TextOut(pos.X, pos.Y, glyph);
}

void DrawMarlett(gcl::TCanvas* canvas, TPoint pos, int size, const char* faceGlyph, const char* frame,
                 const char* mark, const TColor frameColors[4], TColor face, TColor background, bool checked,
                 bool enabled, bool solidFace) {
    gcl::TFont savedFont;
    savedFont.Assign(canvas->GetFont());
    gcl::TBrush savedBrush;
    savedBrush.Assign(canvas->GetBrush());
    canvas->GetFont()->SetName("Marlett");
    canvas->GetFont()->SetSize(size);
    canvas->GetFont()->SetStyle({});
    canvas->GetFont()->SetCharset(SYMBOL_CHARSET);
    const TColor interior = enabled ? background : face;
    if (solidFace) {
        canvas->GetBrush()->SetColor(interior);
        canvas->GetBrush()->SetStyle(gcl::bsSolid);
    } else {
        canvas->GetBrush()->SetStyle(gcl::bsClear);
    }
    DrawGlyph(canvas, pos, faceGlyph, interior);
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    for (int i = 0; i < 4; ++i) {
        const char glyph[2] = {frame[i], 0};
        DrawGlyph(canvas, pos, glyph, frameColors[i]);
    }
    if (checked) DrawGlyph(canvas, pos, mark, enabled ? gcl::clBlack : gcl::clBtnShadow);
    canvas->SetFont(&savedFont);
    canvas->SetBrush(&savedBrush);
}

} // namespace

// ---- Text ------------------------------------------------------------------

void TextExtentW(const std::wstring& Text, HDC DC, TSize& Size) {
    Size = TSize{};
    if (Text.empty() || !DC) return;
    SIZE sz{};
    if (GIsUnicode) {
        GetTextExtentPoint32W(DC, Text.c_str(), static_cast<int>(Text.size()), &sz);
    } else {
        std::string ansi = gcl::WideToAnsi(Text);
        GetTextExtentPoint32A(DC, ansi.c_str(), static_cast<int>(ansi.size()), &sz);
    }
    Size = TSize{sz.cx, sz.cy};
}

void TextExtentW(const std::wstring& Text, gcl::TCanvas* Canvas, TSize& Size) {
    Size = TSize{};
    if (Text.empty() || !Canvas) return;
    Canvas->Lock();
    try {
        Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
        TextExtentW(Text, Canvas->GetHandle(), Size);
    } catch (...) {
        Canvas->Unlock();
        throw;
    }
    Canvas->Unlock();
}

void TextExtentW(const std::wstring& Text, gcl::TFont* Font, TSize& Size) {
    Size = TSize{};
    if (Text.empty()) return;
    gcl::TScreenCanvas canvas;
    if (Font) canvas.SetFont(Font);
    TextExtentW(Text, &canvas, Size);
}

void ShortenStringEx(HDC DC, std::wstring& Text, int MaxWidth) { FitWithEllipsis(DC, Text, MaxWidth); }

int FitWithEllipsis(HDC DC, std::wstring& Text, int MaxWidth) { return FitWithEllipsis(DC, Text, MaxWidth, -1, -1); }

int FitWithEllipsis(HDC DC, std::wstring& Text, int MaxWidth, int KnownWidth, int EllipsisWidth) {
    const int width = KnownWidth >= 0 ? KnownWidth : TextWidth(DC, Text);
    if (width <= MaxWidth) return width;
    static const std::wstring ellipsis = L"...";
    const int room = MaxWidth - (EllipsisWidth >= 0 ? EllipsisWidth : TextWidth(DC, ellipsis));
    // The longest prefix whose width fits the room left beside "...": the
    // system's extents of every prefix, in one call, name it (a prefix's
    // extent is its width), when they add up to the text's width.
    int lo = 0;
    int hi = static_cast<int>(Text.size());
    if (room >= 0 && GIsUnicode && hi > 0) {
        std::vector<INT> extents(Text.size());
        INT fit = 0;
        SIZE size{};
        if (GetTextExtentExPointW(DC, Text.c_str(), hi, room, &fit, extents.data(), &size) && size.cx == width &&
            fit >= 0 && fit < hi && (fit == 0 || extents[static_cast<size_t>(fit) - 1] <= room) &&
            extents[static_cast<size_t>(fit)] > room) {
            lo = hi = fit;
        }
    }
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (room >= 0 && TextWidth(DC, Text.substr(0, mid)) <= room)
            lo = mid;
        else
            hi = mid - 1;
    }
    Text = Text.substr(0, lo) + ellipsis;
    return -1;
}

int WrapTextW(HDC DC, const std::wstring& Text, int MaxWidth, int MaxLines, TCommonWideCharArray& Buffer) {
    Buffer.clear();
    std::vector<std::wstring> lines;
    if (MaxWidth > 0 && MaxLines != 0) {
        TEXTMETRICW tm{};
        GetTextMetricsW(DC, &tm);
        const size_t len = Text.size();
        if (tm.tmMaxCharWidth > MaxWidth) {
            lines.push_back(Text);
        } else {
            size_t pos = 0;
            while (pos < len && (MaxLines < 0 || static_cast<int>(lines.size()) < MaxLines)) {
                if (MaxLines > 0 && static_cast<int>(lines.size()) == MaxLines - 1) {
                    lines.push_back(Text.substr(pos));
                    pos = len;
                    break;
                }
                int sum = 0;
                size_t i = pos;
                size_t breakAt = std::wstring::npos;  // end of the line at the last fitting space
                bool overflow = false;
                while (i < len) {
                    const wchar_t c = Text[i];
                    if (c == L'\r' || c == L'\n') break;
                    const int w = CharWidth(DC, c);
                    if (sum + w > MaxWidth) {
                        overflow = true;
                        break;
                    }
                    sum += w;
                    // The line may end here when a space follows.
                    if (i + 1 < len && Text[i + 1] == L' ') breakAt = i + 1;
                    ++i;
                }
                size_t end = i;
                if (overflow) {
                    if (breakAt != std::wstring::npos && breakAt > pos)
                        end = breakAt;
                    else if (end == pos)
                        end = pos + 1;  // a character wider than the line still moves on
                }
                lines.push_back(Text.substr(pos, end - pos));
                pos = end;
                while (pos < len && (Text[pos] == L'\r' || Text[pos] == L'\n' || Text[pos] == L' ')) ++pos;
            }
        }
    }
    for (const std::wstring& line : lines) {
        Buffer.insert(Buffer.end(), line.begin(), line.end());
        Buffer.push_back(0);
    }
    Buffer.push_back(0);
    return static_cast<int>(lines.size());
}

namespace {
int DrawLines(HDC DC, const std::wstring& Text, TRect& Rect, int Lines, TCommonDrawTextWFlags Flags,
              const TTextLineMetrics* Metrics, bool StrikeOut, int KnownWidth) {
    if (Flags & dtSingleLine) return DrawSingleLine(DC, Text, Rect, Flags, Metrics, StrikeOut, KnownWidth);

    TCommonWideCharArray buffer;
    const int count = WrapTextW(DC, Text, RectWidth(Rect), Lines, buffer);
    const int h = Metrics ? Metrics->Height : FontHeight(DC);
    const int total = count * h;
    int top = Rect.Top;
    if (Flags & dtBottom)
        top = Rect.Bottom - total;
    else if (Flags & dtVCenter)
        top = Rect.Top + (RectHeight(Rect) - total) / 2;
    TRect united{};
    bool first = true;
    const wchar_t* p = buffer.data();
    for (int i = 0; i < count; ++i) {
        std::wstring line(p);
        p += line.size() + 1;
        TRect lineRect{Rect.Left, top + i * h, Rect.Right, top + (i + 1) * h};
        DrawSingleLine(DC, line, lineRect,
                       static_cast<TCommonDrawTextWFlags>((Flags | dtSingleLine) & ~(dtBottom | dtVCenter)), Metrics,
                       StrikeOut);
        if (Flags & dtCalcRect) {
            if (first) {
                united = lineRect;
                first = false;
            } else {
                united.Left = std::min(united.Left, lineRect.Left);
                united.Top = std::min(united.Top, lineRect.Top);
                united.Right = std::max(united.Right, lineRect.Right);
                united.Bottom = std::max(united.Bottom, lineRect.Bottom);
            }
        }
    }
    if (Flags & dtCalcRect) Rect = first ? TRect{Rect.Left, Rect.Top, Rect.Left, Rect.Top} : united;
    return total;
}
} // namespace

int DrawTextWEx(HDC DC, const std::wstring& Text, TRect& Rect, int Lines, TCommonDrawTextWFlags Flags) {
    return DrawLines(DC, Text, Rect, Lines, Flags, nullptr, false, -1);
}

int DrawTextWEx(HDC DC, const std::wstring& Text, TRect& Rect, int Lines, TCommonDrawTextWFlags Flags,
                const TTextLineMetrics& Metrics, bool StrikeOut, int KnownWidth) {
    return DrawLines(DC, Text, Rect, Lines, Flags, &Metrics, StrikeOut && Metrics.StrikeSize > 0, KnownWidth);
}

TTextLineMetrics ReadTextLineMetrics(HDC DC) {
    TTextLineMetrics m;
    TEXTMETRICW tm{};
    GetTextMetricsW(DC, &tm);
    m.Height = tm.tmHeight;
    m.Ascent = tm.tmAscent;
    m.EllipsisWidth = TextWidth(DC, L"...");
    // Only a font with outline metrics has its line where they say (the
    // metrics come with the font's names, in one block); the line's
    // thickness is at least a pixel.
    const UINT size = GetOutlineTextMetricsW(DC, 0, nullptr);
    if (size < sizeof(OUTLINETEXTMETRICW)) return m;
    std::vector<uint8_t> block(size);
    auto* otm = reinterpret_cast<OUTLINETEXTMETRICW*>(block.data());
    if (GetOutlineTextMetricsW(DC, size, otm) != 0) {
        m.StrikePosition = otm->otmsStrikeoutPosition;
        m.StrikeSize = std::max(1, static_cast<int>(otm->otmsStrikeoutSize));
    }
    return m;
}

std::wstring WideStrLower(const std::wstring& Text) {
    if (GIsUnicode) {
        std::wstring result = Text;
        if (!result.empty()) CharLowerBuffW(result.data(), static_cast<DWORD>(result.size()));
        return result;
    }
    return gcl::AnsiToWide(gcl::AnsiLowerCase(gcl::WideToAnsi(Text)));
}

wchar_t WideCharLower(wchar_t C) {
    if (C < 0x80) return C >= L'A' && C <= L'Z' ? static_cast<wchar_t>(C - L'A' + L'a') : C;
    return WideStrLower(std::wstring(1, C))[0];
}

int WideStrIComp(const std::wstring& S1, const std::wstring& S2) {
    if (GIsUnicode) return lstrcmpiW(S1.c_str(), S2.c_str());
    return lstrcmpiA(gcl::WideToAnsi(S1).c_str(), gcl::WideToAnsi(S2).c_str());
}

std::string WideStrSortKey(const std::wstring& S) {
    // The same locale and flags as lstrcmpiW / lstrcmpiA.
    const LCID locale = GetThreadLocale();
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    std::string key;
    if (GIsUnicode) {
        const int size = LCMapStringW(locale, flags, S.c_str(), -1, nullptr, 0);
        if (size > 0) {
            key.resize(static_cast<size_t>(size));
            LCMapStringW(locale, flags, S.c_str(), -1, reinterpret_cast<LPWSTR>(key.data()), size);
        }
    } else {
        const std::string text = gcl::WideToAnsi(S);
        const int size = LCMapStringA(locale, flags, text.c_str(), -1, nullptr, 0);
        if (size > 0) {
            key.resize(static_cast<size_t>(size));
            LCMapStringA(locale, flags, text.c_str(), -1, key.data(), size);
        }
    }
    return key;
}

namespace {
// The key byte of each plain character below 128 (a lower-case letter, a
// digit or the space); 0 for the others.
constexpr std::array<char, 128> PlainKeyBytes = [] {
    std::array<char, 128> bytes{};
    for (int c = 'a'; c <= 'z'; ++c) bytes[static_cast<size_t>(c)] = static_cast<char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) bytes[static_cast<size_t>(c)] = static_cast<char>(c - 'A' + 'a');
    for (int c = '0'; c <= '9'; ++c) bytes[static_cast<size_t>(c)] = static_cast<char>(c);
    bytes[' '] = ' ';
    return bytes;
}();
} // namespace

TWideSortKeySet WideStrSortKeySet(const std::vector<std::wstring_view>& Texts) {
    TWideSortKeySet set;
    const size_t count = Texts.size();
    set.Start.assign(count + 1, 0);
    set.Bytes.resize(count * 16);
    // One pass lower-cases plain texts straight into the block; the first
    // text that is not plain switches the whole set to the locale's keys.
    // The texts lie scattered over the heap, so the ones a few steps ahead
    // are fetched early.
    size_t used = 0;
    bool plain = true;
    for (size_t i = 0; i < count && plain; ++i) {
        if (i + 8 < count) __builtin_prefetch(Texts[i + 8].data());
        const std::wstring_view text = Texts[i];
        const size_t length = text.size();
        if (used + length > set.Bytes.size()) set.Bytes.resize(std::max(set.Bytes.size() * 2, used + length));
        char* out = set.Bytes.data() + used;
        const wchar_t* in = text.data();
        for (size_t k = 0; k < length; ++k) {
            const wchar_t c = in[k];
            const char b = static_cast<unsigned>(c) < PlainKeyBytes.size() ? PlainKeyBytes[static_cast<size_t>(c)] : 0;
            if (!b) {
                plain = false;
                break;
            }
            out[k] = b;
        }
        used += length;
        set.Start[i + 1] = static_cast<uint32_t>(used);
    }
    if (plain) {
        set.Bytes.resize(used);
        return set;
    }
    set.Bytes.clear();
    set.Start.resize(1);
    for (const std::wstring_view text : Texts) {
        set.Bytes += WideStrSortKey(std::wstring(text));
        set.Start.push_back(static_cast<uint32_t>(set.Bytes.size()));
    }
    return set;
}

uint64_t TWideSortKeySet::Lead(size_t I, size_t From) const noexcept {
    const size_t start = Start[I] + From;
    const size_t end = Start[I + 1];
    const auto* bytes = reinterpret_cast<const uint8_t*>(Bytes.data());
    if (start + 8 <= end) {
        // Eight bytes of the key in one read, the first one highest.
        uint64_t value;
        std::memcpy(&value, bytes + start, 8);
        return __builtin_bswap64(value);
    }
    uint64_t value = 0;
    for (size_t b = start; b < start + 8; ++b) value = value << 8 | (b < end ? bytes[b] : 0u);
    return value;
}

std::vector<std::string> WideStrSortKeys(const std::vector<const std::wstring*>& Texts) {
    std::vector<std::wstring_view> views;
    views.reserve(Texts.size());
    for (const std::wstring* text : Texts) views.emplace_back(*text);
    const TWideSortKeySet set = WideStrSortKeySet(views);
    std::vector<std::string> keys;
    keys.reserve(set.Count());
    for (size_t i = 0; i < set.Count(); ++i) keys.emplace_back(set.Key(i));
    return keys;
}

std::vector<std::string> WideStrSortKeys(const std::vector<std::wstring>& Texts) {
    std::vector<const std::wstring*> texts;
    texts.reserve(Texts.size());
    for (const std::wstring& text : Texts) texts.push_back(&text);
    return WideStrSortKeys(texts);
}

int WideCompareText(const std::wstring& S1, const std::wstring& S2) { return WideStrIComp(S2, S1); }

// ---- Drawing -------------------------------------------------------------------

void FillGradientRows(gcl::TCanvas* Canvas, int Left, int Top, int Right, int Bottom, TColor FromColor,
                      TColor ToColor, int ClipTop, int ClipBottom) {
    const TColor savedColor = Canvas->GetPen()->GetColor();
    const uint32_t from = static_cast<uint32_t>(gcl::ColorToRGB(FromColor));
    const uint32_t to = static_cast<uint32_t>(gcl::ColorToRGB(ToColor));
    // A single row has no distance to spread the colours over: it takes FromColor.
    const double span = Bottom != Top ? static_cast<double>(Bottom - Top) : 0.0;
    for (int y = Top; y <= Bottom; ++y) {
        Canvas->MoveTo(Left, y);
        if (ClipBottom >= 1 && y >= ClipTop && y <= ClipBottom) {
            const double part = span != 0.0 ? std::abs(y - Top) / span : 0.0;
            uint32_t rgb = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const int a = static_cast<int>((from >> shift) & 0xFF);
                const int b = static_cast<int>((to >> shift) & 0xFF);
                const int v = static_cast<int>(std::nearbyint(a + (b - a) * part));
                rgb |= static_cast<uint32_t>(Clamp255(v)) << shift;
            }
            Canvas->GetPen()->SetColor(static_cast<TColor>(rgb));
            Canvas->LineTo(Right, y);
        }
    }
    Canvas->GetPen()->SetColor(savedColor);
}

TRect CheckBounds(int Size) {
    gcl::TScreenCanvas canvas;
    canvas.GetFont()->SetName("Marlett");
    canvas.GetFont()->SetCharset(SYMBOL_CHARSET);
    canvas.GetFont()->SetSize(Size);
    const TSize size = canvas.TextExtent("g");
    return TRect{0, 0, size.cx, size.cy};
}

void DrawCheckBox(gcl::TCanvas* Canvas, TPoint Pos, int Size, TColor OuterLight, TColor OuterDark,
                  TColor InnerLight, TColor InnerDark, TColor Face, TColor Background, bool Checked,
                  bool Enabled) {
    const TColor frame[4] = {OuterDark, OuterLight, InnerDark, InnerLight};
    DrawMarlett(Canvas, Pos, Size, "g", "cdef", "b", frame, Face, Background, Checked, Enabled, true);
}

void DrawRadioButton(gcl::TCanvas* Canvas, TPoint Pos, int Size, TColor OuterLight, TColor OuterDark,
                     TColor InnerLight, TColor InnerDark, TColor Face, TColor Background, bool Checked,
                     bool Enabled) {
    const TColor frame[4] = {OuterDark, OuterLight, InnerDark, InnerLight};
    DrawMarlett(Canvas, Pos, Size, "n", "jklm", "i", frame, Face, Background, Checked, Enabled, false);
}

void AlphaBlend(HDC SrcDC, HDC DstDC, const TRect& SrcRect, int32_t Bias, int Alpha, TCommonBlendMode Mode,
                TPoint DstPoint) {
    if (gcl::IsRectEmpty(SrcRect)) return;
    GdiFlush();
    const TDibInfo dst = DibOf(DstDC);
    if (Mode == cbmConstantAlphaAndColor) {
        // Only the destination: its SrcRect is tinted with the colour in Bias.
        const uint32_t color = static_cast<uint32_t>(Bias);
        const int c[4] = {static_cast<int>((color >> 16) & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                          static_cast<int>(color & 0xFF), static_cast<int>((color >> 24) & 0xFF)};
        const int left = std::max(0, SrcRect.Left);
        const int right = std::min(dst.Width, SrcRect.Right);
        const int top = std::max(0, SrcRect.Top);
        const int bottom = std::min(dst.Height, SrcRect.Bottom);
        for (int y = top; y < bottom; ++y) {
            uint8_t* p = dst.Row(y) + left * 4;
            for (int x = left; x < right; ++x, p += 4)
                for (int ch = 0; ch < 4; ++ch) p[ch] = Clamp255((p[ch] * (256 - Alpha) + c[ch] * Alpha) >> 8);
        }
        return;
    }
    const TDibInfo src = DibOf(SrcDC);
    const int16_t bias = static_cast<int16_t>(Bias);
    // Both runs are kept inside their bitmaps.
    int width = RectWidth(SrcRect);
    int height = RectHeight(SrcRect);
    int sx = SrcRect.Left, sy = SrcRect.Top, dx = DstPoint.X, dy = DstPoint.Y;
    if (sx < 0) { width += sx; dx -= sx; sx = 0; }
    if (sy < 0) { height += sy; dy -= sy; sy = 0; }
    if (dx < 0) { width += dx; sx -= dx; dx = 0; }
    if (dy < 0) { height += dy; sy -= dy; dy = 0; }
    width = std::min({width, src.Width - sx, dst.Width - dx});
    height = std::min({height, src.Height - sy, dst.Height - dy});
    for (int r = 0; r < height; ++r) {
        const uint8_t* s = src.Row(sy + r) + sx * 4;
        uint8_t* d = dst.Row(dy + r) + dx * 4;
        for (int x = 0; x < width; ++x, s += 4, d += 4) {
            int alpha = Alpha;
            if (Mode == cbmPerPixelAlpha)
                alpha = s[3];
            else if (Mode == cbmMasterAlpha)
                alpha = (s[3] * Alpha) >> 8;
            for (int ch = 0; ch < 4; ++ch) d[ch] = Clamp255(d[ch] + (((s[ch] - d[ch]) * alpha) >> 8) + bias);
        }
    }
}

void CenterRectInRect(const TRect& Inner, const TRect& Outer, TRect& R) {
    const int iw = RectWidth(Inner), ow = RectWidth(Outer);
    const int ih = RectHeight(Inner), oh = RectHeight(Outer);
    if (iw <= ow) {
        R.Left = Outer.Left + (ow - iw) / 2;
        R.Right = R.Left + iw;
    } else {
        R.Left = Outer.Left;
        R.Right = Outer.Right;
    }
    if (ih <= oh) {
        R.Top = Outer.Top + (oh - ih) / 2;
        R.Bottom = R.Top + ih;
    } else {
        R.Top = Outer.Top;
        R.Bottom = Outer.Bottom;
    }
}

void ProperRect(const TRect& R, TRect& Result) {
    Result = R;
    if (Result.Left > Result.Right) std::swap(Result.Left, Result.Right);
    if (Result.Top > Result.Bottom) std::swap(Result.Top, Result.Bottom);
}

bool ContainsRect(const TRect& Outer, const TRect& Inner) {
    return Inner.Left >= Outer.Left && Inner.Top >= Outer.Top && Inner.Right <= Outer.Right &&
           Inner.Bottom <= Outer.Bottom;
}

// ---- Input and platform -----------------------------------------------------------

bool DragDetectPlus(HWND Window, TPoint Point) {
    RECT dragRect{Point.X, Point.Y, Point.X, Point.Y};
    InflateRect(&dragRect, GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));
    const HWND previousCapture = GetCapture();
    SetCapture(Window);
    bool result = false;
    bool done = false;
    while (!done) {
        // The capture taken away (the window hidden or minimised, another
        // window took the mouse): the button may be let go where this loop
        // never hears it. No drag.
        if (GetCapture() != Window) break;
        MSG m;
        if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            Sleep(0);
            continue;
        }
        switch (m.message) {
        case WM_MOUSEMOVE: {
            POINT p{static_cast<int16_t>(LOWORD(m.lParam)), static_cast<int16_t>(HIWORD(m.lParam))};
            ClientToScreen(m.hwnd ? m.hwnd : Window, &p);
            if (!PtInRect(&dragRect, p)) {
                result = true;
                done = true;
            }
            break;
        }
        case WM_QUIT:
            PostQuitMessage(static_cast<int>(m.wParam));
            done = true;
            break;
        case WM_CANCELMODE:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            PostMessageW(Window, m.message, m.wParam, m.lParam);
            done = true;
            break;
        default:
            TranslateMessage(&m);
            DispatchMessageW(&m);
            break;
        }
    }
    // A capture held before stays held (letting it go for a moment would
    // tell its holder the mouse was taken away).
    if (previousCapture != Window && GetCapture() == Window) ReleaseCapture();
    return result;
}

gcl::TShiftState KeyToShiftState(intptr_t KeyData) {
    gcl::TShiftState result;
    if (GetKeyState(VK_SHIFT) < 0) result.Include(gcl::ssShift);
    if (GetKeyState(VK_CONTROL) < 0) result.Include(gcl::ssCtrl);
    if (KeyData & 0x20000000) result.Include(gcl::ssAlt);
    return result;
}

TCommonKeyStates KeyStatesFromMK(uint32_t Flags) {
    TCommonKeyStates result;
    if (Flags & MK_CONTROL) result.Include(cksControl);
    if (Flags & MK_LBUTTON) result.Include(cksLButton);
    if (Flags & MK_MBUTTON) result.Include(cksMButton);
    if (Flags & MK_RBUTTON) result.Include(cksRButton);
    if (Flags & MK_SHIFT) result.Include(cksShift);
    if (Flags & 0x20) result.Include(cksAlt);
    if (Flags & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) result.Include(cksButton);
    return result;
}

TCommonMouseButton MouseButtonFromMK(uint32_t Flags) {
    if (Flags & MK_LBUTTON) return cmbLeft;
    if (Flags & MK_MBUTTON) return cmbMiddle;
    if (Flags & MK_RBUTTON) return cmbRight;
    return cmbNone;
}

uint32_t MouseButtonToMask(TCommonMouseButton Button) {
    switch (Button) {
    case cmbLeft:
        return 1;
    case cmbRight:
        return 2;
    case cmbMiddle:
        return 4;
    default:
        return 0;
    }
}

TCommonDropEffects DropEffectsFromDropEffect(uint32_t Effect) {
    TCommonDropEffects result;
    if (Effect & DROPEFFECT_COPY) result.Include(cdeCopy);
    if (Effect & DROPEFFECT_MOVE) result.Include(cdeMove);
    if (Effect & DROPEFFECT_LINK) result.Include(cdeLink);
    if ((Effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK)) == 0) result.Include(cdeNone);
    if (Effect & DROPEFFECT_SCROLL) result.Include(cdeScroll);
    return result;
}

uint32_t DropEffectsToDropEffect(TCommonDropEffects Effects) {
    uint32_t result = DROPEFFECT_NONE;
    if (Effects.Contains(cdeCopy)) result |= DROPEFFECT_COPY;
    if (Effects.Contains(cdeMove)) result |= DROPEFFECT_MOVE;
    if (Effects.Contains(cdeLink)) result |= DROPEFFECT_LINK;
    if (Effects.Contains(cdeScroll)) result |= DROPEFFECT_SCROLL;
    return result;
}

TCommonDropEffect KeyStatesToDropEffect(TCommonKeyStates KeyStates) {
    const bool ctrl = KeyStates.Contains(cksControl);
    const bool shift = KeyStates.Contains(cksShift);
    const bool alt = KeyStates.Contains(cksAlt);
    if (ctrl && !shift && !alt) return cdeCopy;
    if (alt && !shift && !ctrl) return cdeLink;
    if (ctrl && shift) return cdeLink;
    return cdeMove;
}

bool IsUnicode() { return GIsUnicode; }
bool IsWin2kOrUp() { return GIsUnicode && GMajorVersion >= 5; }
bool IsWinNT4() { return GIsUnicode && GMajorVersion < 5; }

bool CommonSupports(::IUnknown* Intf, const IID& IID, void** Obj) {
    if (Obj) *Obj = nullptr;
    if (!Intf) return false;
    void* found = nullptr;
    const bool ok = Intf->QueryInterface(IID, &found) == S_OK;
    if (Obj)
        *Obj = found;
    else if (found)
        static_cast<::IUnknown*>(found)->Release();
    return ok;
}

HMODULE CommonLoadLibrary(const std::string& Name) {
    if (!GLibraries) GLibraries = new std::vector<TLibraryEntry>();
    for (TLibraryEntry& entry : *GLibraries) {
        if (lstrcmpiA(entry.Name.c_str(), Name.c_str()) == 0) {
            ++entry.RefCount;
            return entry.Handle;
        }
    }
    HMODULE handle = LoadLibraryA(Name.c_str());
    if (handle) GLibraries->push_back(TLibraryEntry{Name, 1, handle});
    return handle;
}

void FreeCommonLibraries() {
    if (!GLibraries) return;
    for (TLibraryEntry& entry : *GLibraries)
        for (int i = 0; i < entry.RefCount; ++i) FreeLibrary(entry.Handle);
    delete GLibraries;
    GLibraries = nullptr;
}

void* CreateStub(void* Obj, void* Method) {
#if defined(_WIN64)
    // The first three register arguments move up one place and Obj takes
    // the first: mov r9, r8; mov r8, rdx; mov rdx, rcx; mov rcx, Obj;
    // mov rax, Method; jmp rax. The caller's shadow space serves Method.
    constexpr size_t size = 31;
    auto* stub = static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_EXECUTE_READWRITE));
    if (!stub) return nullptr;
    const uint8_t moves[] = {0x4D, 0x89, 0xC1, 0x49, 0x89, 0xD0, 0x48, 0x89, 0xCA};
    std::memcpy(stub, moves, sizeof moves);
    const uint64_t obj = reinterpret_cast<uint64_t>(Obj);
    const uint64_t target = reinterpret_cast<uint64_t>(Method);
    stub[9] = 0x48;  // mov rcx, Obj
    stub[10] = 0xB9;
    std::memcpy(stub + 11, &obj, 8);
    stub[19] = 0x48;  // mov rax, Method
    stub[20] = 0xB8;
    std::memcpy(stub + 21, &target, 8);
    stub[29] = 0xFF;  // jmp rax
    stub[30] = 0xE0;
#else
    constexpr size_t size = 13;
    auto* stub = static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_EXECUTE_READWRITE));
    if (!stub) return nullptr;
    const uint32_t obj = reinterpret_cast<uint32_t>(Obj);
    const uint32_t target = reinterpret_cast<uint32_t>(Method) - (reinterpret_cast<uint32_t>(stub) + 13);
    stub[0] = 0x5A;  // pop edx (the return address)
    stub[1] = 0xB8;  // mov eax, Obj
    std::memcpy(stub + 2, &obj, 4);
    stub[6] = 0x50;  // push eax
    stub[7] = 0x52;  // push edx
    stub[8] = 0xE9;  // jmp Method
    std::memcpy(stub + 9, &target, 4);
#endif
    FlushInstructionCache(GetCurrentProcess(), stub, size);
    return stub;
}

void DisposeStub(void* Stub) {
    // The whole allocation goes back, not just its pages.
    if (Stub) VirtualFree(Stub, 0, MEM_RELEASE);
}

namespace {
void InitLvCommonUtilities() {
    ReadPlatform();
    CommonLoadLibrary("shlwapi.dll");
}
void FinalizeLvCommonUtilities() { FreeCommonLibraries(); }
} // namespace

gcl::TUnit LvCommonUtilitiesUnit{"LvCommonUtilities", &InitLvCommonUtilities, &FinalizeLvCommonUtilities};

} // namespace qelvo
