// The rich-edit control: library choice, window creation, notifications,
// selection, printing, properties; its attributes, lines and the saved
// state across window re-creation.
#include "components/KitRichEdit.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "components/KitFixedEditPopUp.h"
#include "components/KitSysUtils.h"
#include "components/KitThemes.h"
#include "components/KitUnitVersioning.h"
#include "gcl/Printers.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "gcl/rtl/TypInfo.h"

namespace qelvo {

using namespace gcl;

UINT CFEmbeddedObject = 0;
UINT CFLinkSource = 0;
UINT CFRtf = 0;
UINT CFRtfNoObjs = 0;

namespace {

HMODULE GRichEditModule = nullptr;
// The generation of the loaded library; 0 before it is loaded.
int GRichEditVersion = 0;

// One stream operation: the conversion and the first error of the callback.
// A plain-text read keeps back for the next chunk a CR that ends a chunk
// (Wine's library takes a CR LF split between two chunks for two line
// breaks) and, in UTF-16, half a character (the library drops it).
struct TStreamCookie {
    TKitConversion* Conversion = nullptr;
    bool Failed = false;
    bool PlainText = false;
    int CharSize = 1;
    std::string Held;
};

// Reads the next chunk of a stream-in into Buffer; the count read.
LONG ReadChunk(TStreamCookie& state, LPBYTE buffer, LONG count) {
    LONG done = 0;
    if (!state.Held.empty()) {
        const size_t take = std::min(state.Held.size(), static_cast<size_t>(count));
        std::memcpy(buffer, state.Held.data(), take);
        state.Held.erase(0, take);
        if (!state.Held.empty()) return static_cast<LONG>(take);
        done = static_cast<LONG>(take);
    }
    if (done < count) done += state.Conversion->ConvertRead(buffer + done, count - done);
    if (!state.PlainText) return done;
    const LONG unit = state.CharSize;
    LONG keep = done % unit;
    const LONG whole = done - keep;
    if (whole > unit && buffer[whole - unit] == '\r' && (unit == 1 || buffer[whole - 1] == 0)) keep += unit;
    if (keep == done) return done;  // the last of the stream
    state.Held.assign(reinterpret_cast<const char*>(buffer) + done - keep, static_cast<size_t>(keep));
    return done - keep;
}

DWORD CALLBACK StreamOutCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
    auto* state = reinterpret_cast<TStreamCookie*>(cookie);
    try {
        *done = state->Conversion->ConvertWrite(buffer, count);
        return *done == count ? 0 : 1;
    } catch (...) {
        state->Failed = true;
        *done = 0;
        return 1;
    }
}

DWORD CALLBACK StreamInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* done) {
    auto* state = reinterpret_cast<TStreamCookie*>(cookie);
    try {
        *done = ReadChunk(*state, buffer, count);
        return 0;
    } catch (...) {
        state->Failed = true;
        *done = 0;
        return 1;
    }
}

CHARRANGE GetSelectionRange(HWND handle) {
    CHARRANGE range{0, 0};
    SendMessageA(handle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

void SetSelectionRange(HWND handle, LONG start, LONG end) {
    CHARRANGE range{start, end};
    SendMessageA(handle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

// Whether the library would take a text set on it for rich-text source: it
// begins with a group and a control word ("{\rtf", "{\urtf" ...).
bool LooksLikeRichText(const char* text) { return text && text[0] == '{' && text[1] == '\\'; }

} // namespace

int RichEditGenerationFromVersion(uint32_t versionMS) noexcept {
    int major = HIWORD(versionMS);
    int minor = LOWORD(versionMS);
    int generation = 2;
    if (major == 5) generation = minor / 10;
    if (major == 12) generation = 6;
    return generation == 0 ? 2 : generation;
}

// ---- TKitTextAttributes -----------------------------------------------------------

GCL_IMPLEMENT_CLASS(TKitTextAttributes)

UINT TKitTextAttributes::Flag() const noexcept {
    switch (FType) {
    case atDefaultText:
        return SCF_DEFAULT;
    case atSelected:
        return SCF_SELECTION;
    default:
        return SCF_SELECTION | SCF_WORD;
    }
}

CHARFORMAT2A TKitTextAttributes::NewFormat(DWORD mask) const {
    CHARFORMAT2A format{};
    format.cbSize = RichEditVersion() >= 2 ? sizeof(CHARFORMAT2A) : sizeof(CHARFORMATA);
    format.dwMask = mask;
    return format;
}

CHARFORMAT2A TKitTextAttributes::Read() const {
    CHARFORMAT2A format = NewFormat(0);
    if (FRichEdit->HandleAllocated())
        SendMessageA(FRichEdit->GetHandle(), EM_GETCHARFORMAT, Flag(), reinterpret_cast<LPARAM>(&format));
    return format;
}

void TKitTextAttributes::Write(CHARFORMAT2A& format) {
    if (FRichEdit->HandleAllocated())
        SendMessageA(FRichEdit->GetHandle(), EM_SETCHARFORMAT, Flag(), reinterpret_cast<LPARAM>(&format));
}

TColor TKitTextAttributes::GetColor() const {
    CHARFORMAT2A format = Read();
    if (format.dwEffects & CFE_AUTOCOLOR) return clWindowText;
    return static_cast<TColor>(format.crTextColor);
}

void TKitTextAttributes::SetColor(TColor value) {
    CHARFORMAT2A format = NewFormat(CFM_COLOR);
    if (value == clWindowText || value == clDefault)
        format.dwEffects = CFE_AUTOCOLOR;
    else
        format.crTextColor = ColorToRGB(value);
    Write(format);
}

std::string TKitTextAttributes::GetName() const {
    CHARFORMAT2A format = Read();
    return std::string(format.szFaceName, strnlen(format.szFaceName, LF_FACESIZE));
}

void TKitTextAttributes::SetName(const std::string& value) {
    CHARFORMAT2A format = NewFormat(CFM_FACE);
    lstrcpynA(format.szFaceName, value.c_str(), LF_FACESIZE);
    Write(format);
}

uint8_t TKitTextAttributes::GetCharset() const { return Read().bCharSet; }

void TKitTextAttributes::SetCharset(uint8_t value) {
    CHARFORMAT2A format = NewFormat(CFM_CHARSET);
    format.bCharSet = value;
    Write(format);
}

TFontPitch TKitTextAttributes::GetPitch() const {
    switch (Read().bPitchAndFamily & 3) {
    case FIXED_PITCH:
        return fpFixed;
    case VARIABLE_PITCH:
        return fpVariable;
    default:
        return fpDefault;
    }
}

void TKitTextAttributes::SetPitch(TFontPitch value) {
    // The pitch travels with the face name: keep the face as it is.
    CHARFORMAT2A current = Read();
    CHARFORMAT2A format = NewFormat(CFM_FACE);
    std::memcpy(format.szFaceName, current.szFaceName, sizeof(format.szFaceName));
    format.bPitchAndFamily = static_cast<BYTE>((current.bPitchAndFamily & ~3) |
                                               (value == fpFixed ? FIXED_PITCH : value == fpVariable ? VARIABLE_PITCH
                                                                                                     : DEFAULT_PITCH));
    Write(format);
}

TFontStyles TKitTextAttributes::GetStyle() const {
    CHARFORMAT2A format = Read();
    TFontStyles style;
    if (format.dwEffects & CFE_BOLD) style.Include(fsBold);
    if (format.dwEffects & CFE_ITALIC) style.Include(fsItalic);
    if (format.dwEffects & CFE_UNDERLINE) style.Include(fsUnderline);
    if (format.dwEffects & CFE_STRIKEOUT) style.Include(fsStrikeOut);
    return style;
}

namespace {
DWORD StyleEffects(TFontStyles style) {
    DWORD effects = 0;
    if (style.Contains(fsBold)) effects |= CFE_BOLD;
    if (style.Contains(fsItalic)) effects |= CFE_ITALIC;
    if (style.Contains(fsUnderline)) effects |= CFE_UNDERLINE;
    if (style.Contains(fsStrikeOut)) effects |= CFE_STRIKEOUT;
    return effects;
}
} // namespace

void TKitTextAttributes::SetStyle(TFontStyles value) {
    CHARFORMAT2A format = NewFormat(CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT);
    format.dwEffects = StyleEffects(value);
    Write(format);
}

int TKitTextAttributes::GetSize() const { return Read().yHeight / 20; }

void TKitTextAttributes::SetSize(int value) {
    CHARFORMAT2A format = NewFormat(CFM_SIZE);
    format.yHeight = value * 20;
    Write(format);
}

void TKitTextAttributes::Assign(TPersistent* source) {
    if (auto* font = dynamic_cast<TFont*>(source)) {
        CHARFORMAT2A format = NewFormat(CFM_COLOR | CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE |
                                        CFM_STRIKEOUT | CFM_CHARSET);
        format.yHeight = font->GetSize() * 20;
        format.dwEffects = StyleEffects(font->GetStyle());
        if (font->GetColor() == clWindowText)
            format.dwEffects |= CFE_AUTOCOLOR;
        else
            format.crTextColor = ColorToRGB(font->GetColor());
        lstrcpynA(format.szFaceName, font->GetName().c_str(), LF_FACESIZE);
        format.bCharSet = font->GetCharset();
        if (RichEditVersion() >= 2) {
            format.dwMask |= CFM_WEIGHT;
            LOGFONTA logFont = font->GetLogFont();
            format.wWeight = static_cast<WORD>(logFont.lfWeight ? logFont.lfWeight
                                                                : (font->GetStyle().Contains(fsBold) ? FW_BOLD
                                                                                                     : FW_NORMAL));
        }
        Write(format);
        return;
    }
    if (auto* other = dynamic_cast<TKitTextAttributes*>(source)) {
        CHARFORMAT2A format = other->Read();
        Write(format);
        return;
    }
    inherited::Assign(source);
}

void TKitTextAttributes::AssignTo(TPersistent* dest) const {
    if (auto* font = dynamic_cast<TFont*>(dest)) {
        font->SetColor(GetColor());
        font->SetName(GetName());
        font->SetCharset(GetCharset());
        font->SetStyle(GetStyle());
        font->SetSize(GetSize());
        font->SetPitch(GetPitch());
        return;
    }
    inherited::AssignTo(dest);
}

// ---- TKitParaAttributes -----------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TKitParaAttributes)

PARAFORMAT2 TKitParaAttributes::NewFormat(DWORD mask) const {
    PARAFORMAT2 format{};
    format.cbSize = RichEditVersion() >= 2 ? sizeof(PARAFORMAT2) : sizeof(PARAFORMAT);
    format.dwMask = mask;
    return format;
}

PARAFORMAT2 TKitParaAttributes::Read() {
    PARAFORMAT2 format = NewFormat(0);
    if (FRichEdit->HandleAllocated())
        SendMessageA(FRichEdit->GetHandle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

void TKitParaAttributes::Write(PARAFORMAT2& format) {
    FRichEdit->HandleNeeded();
    if ((format.dwMask & PFM_ALIGNMENT) && FRichEdit->UseRightToLeftAlignment()) {
        if (format.wAlignment == PFA_LEFT)
            format.wAlignment = PFA_RIGHT;
        else if (format.wAlignment == PFA_RIGHT)
            format.wAlignment = PFA_LEFT;
    }
    SendMessageA(FRichEdit->GetHandle(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

TKitParaAlignment TKitParaAttributes::GetAlignment() {
    int value = Read().wAlignment - 1;
    return static_cast<TKitParaAlignment>(std::clamp(value, 0, 3));
}

void TKitParaAttributes::SetAlignment(TKitParaAlignment value) {
    if (value == kaJustify && FRichEdit->FAutoAdvancedTypography && RichEditVersion() >= 3) {
        FRichEdit->HandleNeeded();
        SendMessageA(FRichEdit->GetHandle(), EM_SETTYPOGRAPHYOPTIONS, TO_ADVANCEDTYPOGRAPHY, TO_ADVANCEDTYPOGRAPHY);
        FRichEdit->FAdvancedTypography = true;
    }
    PARAFORMAT2 format = NewFormat(PFM_ALIGNMENT);
    format.wAlignment = static_cast<WORD>(value + 1);
    Write(format);
}

int TKitParaAttributes::GetFirstIndent() { return Read().dxStartIndent / 20; }

void TKitParaAttributes::SetFirstIndent(int value) {
    PARAFORMAT2 format = NewFormat(PFM_STARTINDENT);
    format.dxStartIndent = value * 20;
    Write(format);
}

int TKitParaAttributes::GetLeftIndent() { return Read().dxOffset / 20; }

void TKitParaAttributes::SetLeftIndent(int value) {
    PARAFORMAT2 format = NewFormat(PFM_OFFSET);
    format.dxOffset = value * 20;
    Write(format);
}

int TKitParaAttributes::GetRightIndent() { return Read().dxRightIndent / 20; }

void TKitParaAttributes::SetRightIndent(int value) {
    PARAFORMAT2 format = NewFormat(PFM_RIGHTINDENT);
    format.dxRightIndent = value * 20;
    Write(format);
}

TKitNumberingStyle TKitParaAttributes::GetNumbering() { return Read().wNumbering != 0 ? nsBullet : nsNone; }

void TKitParaAttributes::SetNumbering(TKitNumberingStyle value) {
    if (value == nsNone) {
        SetLeftIndent(0);
    } else if (GetLeftIndent() < 10) {
        SetLeftIndent(10);
    }
    PARAFORMAT2 format = NewFormat(PFM_NUMBERING);
    format.wNumbering = value == nsBullet ? PFN_BULLET : 0;
    Write(format);
}

int TKitParaAttributes::GetTab(int index) {
    if (index < 0 || index >= MAX_TAB_STOPS) return 0;
    return static_cast<int>(Read().rgxTabs[index] & 0xFFFFFF) / 20;
}

void TKitParaAttributes::SetTab(int index, int value) {
    if (index < 0 || index > 30) return;
    PARAFORMAT2 current = Read();
    PARAFORMAT2 format = NewFormat(PFM_TABSTOPS);
    format.cTabCount = current.cTabCount;
    std::copy(std::begin(current.rgxTabs), std::end(current.rgxTabs), std::begin(format.rgxTabs));
    format.rgxTabs[index] = value * 20;
    if (index >= format.cTabCount) format.cTabCount = static_cast<SHORT>(index + 1);
    Write(format);
}

int TKitParaAttributes::GetTabCount() { return Read().cTabCount; }

void TKitParaAttributes::SetTabCount(int value) {
    PARAFORMAT2 current = Read();
    PARAFORMAT2 format = NewFormat(PFM_TABSTOPS);
    std::copy(std::begin(current.rgxTabs), std::end(current.rgxTabs), std::begin(format.rgxTabs));
    format.cTabCount = static_cast<SHORT>(std::clamp(value, 0, MAX_TAB_STOPS));
    Write(format);
}

void TKitParaAttributes::Assign(TPersistent* source) {
    if (auto* other = dynamic_cast<TKitParaAttributes*>(source)) {
        PARAFORMAT2 format = other->Read();
        Write(format);
        return;
    }
    inherited::Assign(source);
}

// ---- TKitRichEditStrings -----------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TKitRichEditStrings)

int TKitRichEditStrings::GetCount() const {
    if (!FRichEdit->HandleAllocated()) {
        TStringList lines;
        lines.SetText(FRichEdit->GetText());
        return lines.GetCount();
    }
    HWND handle = FRichEdit->GetHandle();
    int count = static_cast<int>(SendMessageA(handle, EM_GETLINECOUNT, 0, 0));
    int last = static_cast<int>(SendMessageA(handle, EM_LINEINDEX, static_cast<WPARAM>(count - 1), 0));
    if (count > 0 && SendMessageA(handle, EM_LINELENGTH, static_cast<WPARAM>(last), 0) == 0) --count;
    return count;
}

std::string TKitRichEditStrings::Get(int index) const {
    if (!FRichEdit->HandleAllocated()) {
        TStringList lines;
        lines.SetText(FRichEdit->GetText());
        return lines.Get(index);
    }
    HWND handle = FRichEdit->GetHandle();
    int start = static_cast<int>(SendMessageA(handle, EM_LINEINDEX, static_cast<WPARAM>(index), 0));
    if (index < 0 || start < 0) Error(gcl::msg::ListIndexError, index);
    int length = static_cast<int>(SendMessageA(handle, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
    // Room for the whole line, its break and two bytes per character.
    std::string buffer(static_cast<size_t>(std::max(4096, 2 * length + 4)), '\0');
    *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(std::min<size_t>(buffer.size() - 1, 0xFFFF));
    int copied =
        static_cast<int>(SendMessageA(handle, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())));
    buffer.resize(static_cast<size_t>(std::clamp(copied, 0, static_cast<int>(buffer.size()) - 1)));
    if (buffer.size() >= 2 && buffer.compare(buffer.size() - 2, 2, "\r\n") == 0)
        buffer.resize(buffer.size() - 2);
    else if (RichEditVersion() >= 2 && !buffer.empty() && buffer.back() == '\r')
        buffer.pop_back();
    return buffer;
}

void TKitRichEditStrings::Put(int index, const std::string& s) {
    FRichEdit->HandleNeeded();
    HWND handle = FRichEdit->GetHandle();
    int start = static_cast<int>(SendMessageA(handle, EM_LINEINDEX, static_cast<WPARAM>(index), 0));
    if (index < 0 || start < 0 || index >= GetCount()) Error(gcl::msg::ListIndexError, index);
    int length = static_cast<int>(SendMessageA(handle, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
    SetSelectionRange(handle, start, start + length);
    FRichEdit->SetSelText(s);
}

void TKitRichEditStrings::Insert(int index, const std::string& s) {
    FRichEdit->HandleNeeded();
    HWND handle = FRichEdit->GetHandle();
    if (index < 0) Error(gcl::msg::ListIndexError, index);
    const char* lineBreak = RichEditVersion() >= 2 ? "\r" : "\r\n";
    int start = static_cast<int>(SendMessageA(handle, EM_LINEINDEX, static_cast<WPARAM>(index), 0));
    std::string text;
    if (start >= 0) {
        text = s + lineBreak;
    } else {
        if (index == 0) Error(gcl::msg::ListIndexError, index);
        start = static_cast<int>(SendMessageA(handle, EM_LINEINDEX, static_cast<WPARAM>(index - 1), 0));
        if (start < 0) Error(gcl::msg::ListIndexError, index);
        int length = static_cast<int>(SendMessageA(handle, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
        if (length == 0) return;
        start += length;
        text = lineBreak + s;
    }
    SetSelectionRange(handle, start, start);
    FRichEdit->SetSelText(text);
    if (RichEditVersion() == 1 && GetSelectionRange(handle).cpMax != start + static_cast<LONG>(text.size()))
        throw EOutOfResources(msg::RichEditInsertionError);
}

void TKitRichEditStrings::Delete(int index) {
    if (!FRichEdit->HandleAllocated()) return;
    HWND handle = FRichEdit->GetHandle();
    int start = static_cast<int>(SendMessageA(handle, EM_LINEINDEX, static_cast<WPARAM>(index), 0));
    if (index < 0 || start < 0) return;
    int end = static_cast<int>(SendMessageA(handle, EM_LINEINDEX, static_cast<WPARAM>(index + 1), 0));
    if (end < 0) end = start + static_cast<int>(SendMessageA(handle, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
    SetSelectionRange(handle, start, end);
    FRichEdit->SetSelText(std::string());
}

void TKitRichEditStrings::Clear() { FRichEdit->Clear(); }

std::string TKitRichEditStrings::GetText() const { return FRichEdit->GetText(); }

void TKitRichEditStrings::SetText(const std::string& text) {
    TFlagScope suspended(FRichEdit->FSelChangeSuspended);
    FRichEdit->SetText(text);
}

void TKitRichEditStrings::SetUpdateState(bool updating) {
    if (!FRichEdit->HandleAllocated()) return;
    SendMessageA(FRichEdit->GetHandle(), WM_SETREDRAW, updating ? 0 : 1, 0);
    if (!updating) {
        FRichEdit->Refresh();
        FRichEdit->Perform(CM_TEXTCHANGED);
    }
}

bool TKitRichEditStrings::PlainFormat() const {
    return FFormat == sfPlainText || (FFormat == sfDefault && FRichEdit->FPlainText);
}

UINT TKitRichEditStrings::StreamFlags(bool richText) const {
    UINT flags;
    if (richText) {
        flags = FMode.Contains(smNoObjects) ? SF_RTFNOOBJS : SF_RTF;
        if (FMode.Contains(smPlainRtf)) flags |= SFF_PLAINRTF;
    } else {
        flags = SF_TEXT;
        if (FMode.Contains(smUnicode) && RichEditVersion() >= 2) flags |= SF_UNICODE;
    }
    if (FMode.Contains(smSelection)) flags |= SFF_SELECTION;
    return flags;
}

namespace {
// Whether a conversion's load or save goes as rich text: the RTF kinds
// always, plain-text kinds only when rich text is asked for explicitly.
bool LoadsRichText(const TKitConversion& conversion, TRichStreamFormat format, bool plainMode) {
    if (conversion.GetKind() % 2 == 1) return true;
    return format == sfRichText && !plainMode;
}
} // namespace

void TKitRichEditStrings::LoadWith(TKitConversion& conversion) {
    FRichEdit->HandleNeeded();
    bool rich = LoadsRichText(conversion, FFormat, FRichEdit->FPlainText);
    conversion.OnProgress = TConversionProgressEvent(FRichEdit, &TKitCustomRichEdit::DoConversionProgress);
    auto prepare = [&](bool asRich) {
        if (auto* text = dynamic_cast<TKitTextConversion*>(&conversion))
            text->SetWide(!asRich && (StreamFlags(false) & SF_UNICODE) != 0);
    };
    prepare(rich);
    bool ok = FRichEdit->StreamIn(conversion, StreamFlags(rich));
    if (!ok && conversion.CanRetry()) {
        conversion.Rewind();
        prepare(!rich);
        ok = FRichEdit->StreamIn(conversion, StreamFlags(!rich));
    }
    if (!ok) throw EOutOfResources(msg::FailedToLoadStream);
    if (!FMode.Contains(smSelection)) {
        HWND handle = FRichEdit->GetHandle();
        SetSelectionRange(handle, 0, 0);
        SendMessageA(handle, EM_SCROLLCARET, 0, 0);
    }
}

void TKitRichEditStrings::SaveWith(TKitConversion& conversion) const {
    FRichEdit->HandleNeeded();
    bool rich = !PlainFormat() && (FFormat == sfRichText || conversion.GetKind() % 2 == 1);
    conversion.OnProgress = TConversionProgressEvent(FRichEdit, &TKitCustomRichEdit::DoConversionProgress);
    if (!FRichEdit->StreamOut(conversion, StreamFlags(rich))) {
        std::string text = conversion.GetErrorText();
        throw EOutOfResources(text.empty() ? std::string(msg::FailedToSaveStream) : text);
    }
}

void TKitRichEditStrings::LoadFromStream(TStream& stream) {
    TConversionFormatList& formats = ConversionFormatList();
    std::unique_ptr<TKitConversion> conversion =
        TKitRTFConversion::IsRichText(stream) ? formats.GetRTF()->MakeNew() : formats.GetText()->MakeNew();
    conversion->OpenStream(&stream);
    LoadWith(*conversion);
}

void TKitRichEditStrings::SaveToStream(TStream& stream) const {
    TConversionFormatList& formats = ConversionFormatList();
    std::unique_ptr<TKitConversion> conversion =
        PlainFormat() ? formats.GetText()->MakeNew() : formats.GetRTF()->MakeNew();
    conversion->OpenStream(&stream);
    SaveWith(*conversion);
}

void TKitRichEditStrings::LoadFromFile(const std::string& fileName) {
    TConversionFormatList& formats = ConversionFormatList();
    std::unique_ptr<TKitConversion> conversion;
    if (TKitConversion* found = formats.FindForFile(fileName)) {
        conversion = found->MakeNew();
        try {
            conversion->OpenFile(fileName, false);
        } catch (const EStreamError&) {
            conversion.reset();
        }
    }
    if (!conversion) {
        // None takes the file: the RTF conversion reads it as it is, and
        // falls back to plain text when it is not rich text.
        auto rtf = formats.GetRTF()->MakeNew();
        try {
            static_cast<TKitStreamConversion&>(*rtf).TKitStreamConversion::OpenFile(fileName, false);
        } catch (const EStreamError&) {
            throw EOutOfResources(msg::FailedToLoadStream);
        }
        conversion = std::move(rtf);
    }
    LoadWith(*conversion);
}

void TKitRichEditStrings::SaveToFile(const std::string& fileName) const {
    TConversionFormatList& formats = ConversionFormatList();
    TKitConversion* found = formats.FindForFile(fileName);
    std::unique_ptr<TKitConversion> conversion = found ? found->MakeNew() : formats.GetRTF()->MakeNew();
    conversion->OpenFile(fileName, true);
    SaveWith(*conversion);
}

// ---- TKitCustomRichEdit ---------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TKitCustomRichEdit)

TKitCustomRichEdit::TKitCustomRichEdit(TComponent* owner)
    : TKitExCustomMemo(owner),
      FSelAttributes(std::make_unique<TKitTextAttributes>(this, atSelected)),
      FDefAttributes(std::make_unique<TKitTextAttributes>(this, atDefaultText)),
      FWordAttributes(std::make_unique<TKitTextAttributes>(this, atWord)),
      FParagraph(std::make_unique<TKitParaAttributes>(this)),
      FLines(std::make_unique<TKitRichEditStrings>(this)) {
    TControlStyle style = GetControlStyle();
    style.Exclude(csSetCaption);
    SetControlStyle(style);
    IncludeThemeStyle(this, TControlStyle{csNeedsBorderPaint});
    SetTabStop(true);
    SetBounds(GetLeft(), GetTop(), 185, 89);
    SetAutoSize(false);
    SetScrollBars(ssBoth);
    HDC screen = GetDC(nullptr);
    FScreenLogPixels = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
}

TKitCustomRichEdit::~TKitCustomRichEdit() = default;

void TKitCustomRichEdit::BeforeDestruction() noexcept {
    // An open dialog goes first, quietly: its events would reach a control
    // that is half gone.
    FreeAndNil(FFindDialog);
    FreeAndNil(FReplaceDialog);
    inherited::BeforeDestruction();
    if (FCallback) FCallback->Detach();
    FRichEditOle.Reset();
    FCallback.Reset();
}

void TKitCustomRichEdit::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    CreateSubClass(params, RichEditVersion() == 1 ? "RICHEDIT" : "RichEdit20A");
    params.Style &= ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL);
    params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS | ES_SAVESEL;
    TScrollStyle scrollBars = GetScrollBars();
    if (scrollBars == ssVertical || scrollBars == ssBoth) params.Style |= WS_VSCROLL;
    if ((scrollBars == ssHorizontal || scrollBars == ssBoth) && !GetWordWrap()) params.Style |= WS_HSCROLL;
    if (!FOLEDragDrop) params.Style |= ES_NOOLEDRAGDROP;
    if (!FHideScrollBars) params.Style |= ES_DISABLENOSCROLL;
    // ES_SELECTIONBAR is the bit of WS_MAXIMIZE: a child window created
    // with it comes out maximised over its parent's client area. The bar
    // is switched on once the window stands where it belongs (CreateWnd).
    if (!FHideSelection) params.Style |= ES_NOHIDESEL;
    params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
    // A text that the library would read as rich text is set once the window
    // stands, as plain text (SetTextAsPlainText).
    if (LooksLikeRichText(params.Caption)) params.Caption = "";
}

void TKitCustomRichEdit::CreateWnd() {
    bool typography = FAdvancedTypography;
    inherited::CreateWnd();
    HWND handle = GetHandle();
    LANGID language = GetSystemDefaultLangID();
    if (GetSystemMetrics(SM_DBCSENABLED) && PRIMARYLANGID(language) != LANG_JAPANESE)
        GetFont()->SetCharset(DEFAULT_CHARSET);
    DWORD mask = ENM_CHANGE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED;
    if (RichEditVersion() >= 2) mask |= ENM_LINK;
    SendMessageA(handle, EM_SETEVENTMASK, 0, static_cast<LPARAM>(mask));
    SendMessageA(handle, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(GetColor())));
    SetMaxLength(GetMaxLength());
    ApplyWordSelection(FWordSelection);
    if (RichEditVersion() >= 2) {
        SendMessageA(handle, EM_AUTOURLDETECT, FAutoURLDetect ? 1 : 0, 0);
        FUndoLimit = static_cast<int>(SendMessageA(handle, EM_SETUNDOLIMIT, static_cast<WPARAM>(FUndoLimit), 0));
        ApplyTextMode();
        if (RichEditVersion() >= 3)
            SendMessageA(handle, EM_SETTYPOGRAPHYOPTIONS, typography ? TO_ADVANCEDTYPOGRAPHY : 0, TO_ADVANCEDTYPOGRAPHY);
        SendMessageA(handle, EM_SETLANGOPTIONS, 0, static_cast<LPARAM>(FLangOptions.Mask()));
    }
    if (FSelectionBar) {
        SendMessageA(handle, EM_SETOPTIONS, ECOOP_OR, ECO_SELECTIONBAR);
        const LONG style = GetWindowLongA(handle, GWL_STYLE);
        if (!(style & ES_SELECTIONBAR)) SetWindowLongA(handle, GWL_STYLE, style | ES_SELECTIONBAR);
    }
    if (FAllowObjects) SetupOle();
    if (FSavedState) RestoreState();
    if (RichEditVersion() == 1) {
        bool modified = GetModified();
        SendMessageA(handle, WM_SETFONT, 0, 0);
        SetModified(modified);
    }
}

void TKitCustomRichEdit::DestroyWnd() {
    if (FRemaking) {
        // Nothing of the text is kept: the window alone goes.
        SetModified(false);
        DestroyWindowHandle();
        return;
    }
    if (!GetComponentState().Contains(csDestroying)) SaveState();
    inherited::DestroyWnd();
}

namespace {
// Longer texts (in characters) are not emptied in place.
constexpr int InPlaceTextLimit = 32 * 1024;
} // namespace

void TKitCustomRichEdit::SetText(const std::string& value) {
    if (HandleAllocated() && GetTextLen() > InPlaceTextLimit && GetText() != value) RemakeEmpty();
    inherited::SetText(value);
}

void TKitCustomRichEdit::RemakeEmpty() {
    TFlagScope remaking(FRemaking);
    RecreateWnd();
}

void TKitCustomRichEdit::DoEnter() {
    if (!FRemaking) inherited::DoEnter();
}

void TKitCustomRichEdit::DoExit() {
    if (!FRemaking) inherited::DoExit();
}

bool TKitCustomRichEdit::StreamOut(TKitConversion& conversion, UINT flags) {
    TStreamCookie cookie;
    cookie.Conversion = &conversion;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cookie);
    stream.pfnCallback = &StreamOutCallback;
    SendMessageA(GetHandle(), EM_STREAMOUT, flags, reinterpret_cast<LPARAM>(&stream));
    return !cookie.Failed && stream.dwError == 0;
}

bool TKitCustomRichEdit::StreamIn(TKitConversion& conversion, UINT flags) {
    TStreamCookie cookie;
    cookie.Conversion = &conversion;
    cookie.PlainText = !(flags & SF_RTF);
    cookie.CharSize = flags & SF_UNICODE ? 2 : 1;
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cookie);
    stream.pfnCallback = &StreamInCallback;
    SendMessageA(GetHandle(), EM_STREAMIN, flags, reinterpret_cast<LPARAM>(&stream));
    return !cookie.Failed && stream.dwError == 0;
}

void TKitCustomRichEdit::SaveState() {
    if (!HandleAllocated()) return;
    auto state = std::make_unique<TKitRichEditState>();
    state->Modified = GetModified();
    state->SelStart = GetSelStart();
    state->SelLength = GetSelLength();
    state->PlainText = FPlainText;
    TKitRTFConversion conversion;
    conversion.OpenStream(&state->Text);
    if (!StreamOut(conversion, FPlainText ? SF_TEXT | SF_UNICODE : SF_RTF)) return;
    FSavedState = std::move(state);
}

void TKitCustomRichEdit::RestoreState() {
    std::unique_ptr<TKitRichEditState> state = std::move(FSavedState);
    state->Text.SetPosition(0);
    TKitRTFConversion conversion;
    conversion.OpenStream(&state->Text);
    StreamIn(conversion, state->PlainText ? SF_TEXT | SF_UNICODE : SF_RTF);
    SetSelectionRange(GetHandle(), state->SelStart, state->SelStart + state->SelLength);
    SetModified(state->Modified);
}

void TKitCustomRichEdit::ApplyTextMode() {
    if (!HandleAllocated() || RichEditVersion() < 2) return;
    HWND handle = GetHandle();
    WPARAM mode = (FUndoLimit >= 2 ? TM_MULTILEVELUNDO : TM_SINGLELEVELUNDO) | (FPlainText ? TM_PLAINTEXT : TM_RICHTEXT);
    if (SendMessageA(handle, EM_SETTEXTMODE, mode, 0) == 0) return;
    // The library switches only an empty control: keep the text meanwhile.
    bool modified = GetModified();
    LPARAM mask = SendMessageA(handle, EM_GETEVENTMASK, 0, 0);
    SendMessageA(handle, EM_SETEVENTMASK, 0, mask & ~static_cast<LPARAM>(ENM_CHANGE));
    TMemoryStream text;
    TKitRTFConversion out;
    out.OpenStream(&text);
    StreamOut(out, SF_TEXT | SF_UNICODE);
    SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    SendMessageA(handle, EM_SETTEXTMODE, mode, 0);
    text.SetPosition(0);
    TKitRTFConversion in;
    in.OpenStream(&text);
    StreamIn(in, SF_TEXT | SF_UNICODE);
    SendMessageA(handle, EM_SETEVENTMASK, 0, mask);
    SetModified(modified);
}

void TKitCustomRichEdit::Clear() {
    CloseObjects();
    SetText(std::string());
    SetModified(false);
}

void TKitCustomRichEdit::SetMaxLength(int value) {
    TCustomEdit::SetMaxLength(value);
    if (HandleAllocated())
        SendMessageA(GetHandle(), EM_EXLIMITTEXT, 0, value == 0 ? 0xFFFFFF : static_cast<LPARAM>(GetMaxLength()));
}

int TKitCustomRichEdit::GetSelStart() {
    if (!HandleAllocated()) return inherited::GetSelStart();
    return GetSelectionRange(GetHandle()).cpMin;
}

void TKitCustomRichEdit::SetSelStart(int value) {
    if (!HandleAllocated()) {
        inherited::SetSelStart(value);
        return;
    }
    SetSelectionRange(GetHandle(), value, value);
}

int TKitCustomRichEdit::GetSelLength() {
    if (!HandleAllocated()) return inherited::GetSelLength();
    CHARRANGE range = GetSelectionRange(GetHandle());
    return range.cpMax - range.cpMin;
}

void TKitCustomRichEdit::SetSelLength(int value) {
    if (!HandleAllocated()) {
        inherited::SetSelLength(value);
        return;
    }
    int start = GetSelStart();
    SetSelectionRange(GetHandle(), start, start + value);
    SendMessageA(GetHandle(), EM_SCROLLCARET, 0, 0);
}

std::string TKitCustomRichEdit::GetSelText() {
    if (!HandleAllocated()) return inherited::GetSelText();
    CHARRANGE range = GetSelectionRange(GetHandle());
    return GetTextRange(range.cpMin, range.cpMax);
}

void TKitCustomRichEdit::SetSelText(const std::string& value) {
    HandleNeeded();
    TFlagScope path(FSettingSelText);
    SendMessageA(GetHandle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

// ---- Find and replace ---------------------------------------------------------------------

namespace {

// Keeps the window from painting for a scope.
class TRedrawLock {
public:
    explicit TRedrawLock(HWND handle) noexcept : FHandle(handle) { SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0); }
    ~TRedrawLock() {
        SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(FHandle, nullptr, TRUE);
    }
    TRedrawLock(const TRedrawLock&) = delete;
    TRedrawLock& operator=(const TRedrawLock&) = delete;

private:
    HWND FHandle;
};

} // namespace

CHARRANGE TKitCustomRichEdit::SearchRange(const std::string& text, LONG from, LONG to, TFindOptions options) {
    if (text.empty()) return {-1, -1};
    HandleNeeded();
    FINDTEXTEXA find{};
    find.chrg = {from, to};
    find.lpstrText = text.c_str();
    WPARAM flags = 0;
    if (options.Contains(frDown)) flags |= FR_DOWN;
    if (options.Contains(frMatchCase)) flags |= FR_MATCHCASE;
    if (options.Contains(frWholeWord)) flags |= FR_WHOLEWORD;
    // EM_FINDTEXTEX is the 8-bit message (EM_FINDTEXTEXW the wide one).
    if (SendMessageA(GetHandle(), EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&find)) < 0) return {-1, -1};
    return find.chrgText;
}

int TKitCustomRichEdit::FindText(const std::string& SearchStr, int StartPos, int Length, TFindOptions Options) {
    HandleNeeded();
    StartPos = std::max(StartPos, 0);
    LONG end = Length < 0 ? -1 : StartPos + Length;
    CHARRANGE hit = Options.Contains(frDown)
                        ? SearchRange(SearchStr, StartPos, end, Options)
                        : SearchRange(SearchStr, end < 0 ? GetRichTextLength() : end, StartPos, Options);
    return hit.cpMin;
}

bool TKitCustomRichEdit::FindNext(const std::string& text, TFindOptions options) {
    HandleNeeded();
    HWND handle = GetHandle();
    CHARRANGE selection = GetSelectionRange(handle);
    CHARRANGE hit = options.Contains(frDown) ? SearchRange(text, selection.cpMax, -1, options)
                                             : SearchRange(text, selection.cpMin, 0, options);
    if (hit.cpMin < 0) {
        TextNotFound(text);
        return false;
    }
    SetSelectionRange(handle, hit.cpMin, hit.cpMax);
    SendMessageA(handle, EM_SCROLLCARET, 0, 0);
    return true;
}

void TKitCustomRichEdit::ReplaceAll(const std::string& text, const std::string& replacement, TFindOptions options) {
    HandleNeeded();
    HWND handle = GetHandle();
    options.Include(frDown);
    int count = 0;
    {
        TFlagScope suspended(FSelChangeSuspended);
        TRedrawLock redraw(handle);
        LONG from = 0;
        for (CHARRANGE hit = SearchRange(text, from, -1, options); hit.cpMin >= 0;
             hit = SearchRange(text, from, -1, options)) {
            SetSelectionRange(handle, hit.cpMin, hit.cpMax);
            // Each replacement is an undo step of its own.
            SendMessageA(handle, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(replacement.c_str()));
            from = GetSelectionRange(handle).cpMax;
            ++count;
        }
    }
    if (count == 0) TextNotFound(text);
    else SendMessageA(handle, EM_SCROLLCARET, 0, 0);
}

void TKitCustomRichEdit::FindDialog(const std::string& SearchStr) {
    if (!FFindDialog) {
        FFindDialog = TFindDialog::Create(this);
        FFindDialog->OnFind = TNotifyEvent(this, &TKitCustomRichEdit::FindDialogFind);
        FFindDialog->OnClose = TNotifyEvent(this, &TKitCustomRichEdit::FindDialogClose);
    }
    FFindDialog->SetFindText(SearchStr);
    FFindDialog->Execute();
}

void TKitCustomRichEdit::ReplaceDialog(const std::string& SearchStr, const std::string& ReplaceStr) {
    if (!FReplaceDialog) {
        FReplaceDialog = TReplaceDialog::Create(this);
        FReplaceDialog->OnFind = TNotifyEvent(this, &TKitCustomRichEdit::FindDialogFind);
        FReplaceDialog->OnReplace = TNotifyEvent(this, &TKitCustomRichEdit::FindDialogReplace);
        FReplaceDialog->OnClose = TNotifyEvent(this, &TKitCustomRichEdit::FindDialogClose);
    }
    FReplaceDialog->SetFindText(SearchStr);
    FReplaceDialog->SetReplaceText(ReplaceStr);
    FReplaceDialog->Execute();
}

void TKitCustomRichEdit::FindDialogFind(TObject* sender) {
    auto* dialog = static_cast<TFindDialog*>(sender);
    FindNext(dialog->GetFindText(), dialog->GetOptions());
}

void TKitCustomRichEdit::FindDialogReplace(TObject* sender) {
    auto* dialog = static_cast<TReplaceDialog*>(sender);
    const std::string text = dialog->GetFindText();
    const std::string replacement = dialog->GetReplaceText();
    TFindOptions options = dialog->GetOptions();
    if (options.Contains(frReplaceAll)) {
        ReplaceAll(text, replacement, options);
        return;
    }
    HandleNeeded();
    HWND handle = GetHandle();
    // Only a selection that is itself a match is replaced; the replacement
    // stays selected, so the next search starts beside it.
    CHARRANGE selection = GetSelectionRange(handle);
    TFindOptions exact = options;
    exact.Include(frDown);
    CHARRANGE hit = SearchRange(text, selection.cpMin, selection.cpMax, exact);
    if (selection.cpMax > selection.cpMin && hit.cpMin == selection.cpMin && hit.cpMax == selection.cpMax)
        SendMessageA(handle, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(replacement.c_str()));
    FindNext(text, options);
}

void TKitCustomRichEdit::FindDialogClose(TObject*) { CloseFindDialog(); }

void TKitCustomRichEdit::TextNotFound(const std::string& FindText) {
    if (OnTextNotFound) OnTextNotFound(this, FindText);
}

void TKitCustomRichEdit::CloseFindDialog() {
    if (OnCloseFindDialog) OnCloseFindDialog(this);
}

int TKitCustomRichEdit::GetSelTextBuf(char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    std::string text = GetSelText();
    int count = std::min(static_cast<int>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), static_cast<size_t>(count));
    buffer[count] = '\0';
    return count;
}

std::string TKitCustomRichEdit::GetTextRange(int start, int end) {
    if (!HandleAllocated() || end <= start || start < 0) return std::string();
    // Two bytes per character: an 8-bit window answers double-byte text.
    std::string buffer(2 * static_cast<size_t>(end - start) + 1, '\0');
    TEXTRANGEA range{{start, end}, buffer.data()};
    int count = static_cast<int>(SendMessageA(GetHandle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
    buffer.resize(static_cast<size_t>(std::clamp(count, 0, static_cast<int>(buffer.size()) - 1)));
    return buffer;
}

TPoint TKitCustomRichEdit::GetCaretPos() {
    if (!HandleAllocated()) return Point(0, 0);
    HWND handle = GetHandle();
    LONG end = GetSelectionRange(handle).cpMax;
    int line = static_cast<int>(SendMessageA(handle, EM_EXLINEFROMCHAR, 0, end));
    int lineStart = static_cast<int>(SendMessageA(handle, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    return Point(end - lineStart, line);
}

TSelectionType TKitCustomRichEdit::GetSelectionType() {
    if (!HandleAllocated()) return TSelectionType();
    return TSelectionType::FromMask(static_cast<uint64_t>(SendMessageA(GetHandle(), EM_SELECTIONTYPE, 0, 0)) & 0xF);
}

int TKitCustomRichEdit::LineFromChar(int index) {
    return HandleAllocated() ? static_cast<int>(SendMessageA(GetHandle(), EM_EXLINEFROMCHAR, 0, index)) : 0;
}

int TKitCustomRichEdit::GetLineIndex(int line) {
    return HandleAllocated() ? static_cast<int>(SendMessageA(GetHandle(), EM_LINEINDEX, static_cast<WPARAM>(line), 0))
                             : 0;
}

int TKitCustomRichEdit::GetLineLength(int index) {
    return HandleAllocated() ? static_cast<int>(SendMessageA(GetHandle(), EM_LINELENGTH, static_cast<WPARAM>(index), 0))
                             : 0;
}

int TKitCustomRichEdit::GetRichTextLength() {
    if (!HandleAllocated()) return GetTextLen();
    if (RichEditVersion() < 2) return GetTextLen();
    GETTEXTLENGTHEX request{GTL_DEFAULT, CP_ACP};
    return static_cast<int>(SendMessageA(GetHandle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0));
}

void TKitCustomRichEdit::Print(const std::string& caption) {
    HandleNeeded();
    HWND handle = GetHandle();
    TPrinter* printer = Printer();
    printer->SetTitle(caption);
    printer->BeginDoc();
    HDC dc = printer->GetHandle();
    int xDpi = std::max(GetDeviceCaps(dc, LOGPIXELSX), 1);
    int yDpi = std::max(GetDeviceCaps(dc, LOGPIXELSY), 1);
    RECT page;
    if (FPageRect.Right <= FPageRect.Left || FPageRect.Bottom <= FPageRect.Top) {
        page = {0, 0, MulDiv(printer->GetPageWidth(), 1440, xDpi), MulDiv(printer->GetPageHeight(), 1440, yDpi)};
    } else {
        page = {MulDiv(FPageRect.Left, 1440, xDpi), MulDiv(FPageRect.Top, 1440, yDpi),
                MulDiv(FPageRect.Right, 1440, xDpi), MulDiv(FPageRect.Bottom, 1440, yDpi)};
    }
    int length = GetRichTextLength();
    int oldMapMode = SetMapMode(dc, MM_TEXT);
    SendMessageA(handle, EM_FORMATRANGE, 0, 0);
    try {
        FORMATRANGE range{};
        range.hdc = dc;
        range.hdcTarget = dc;
        range.chrg.cpMin = 0;
        range.chrg.cpMax = -1;
        for (;;) {
            range.rc = page;
            range.rcPage = page;
            LONG next = static_cast<LONG>(SendMessageA(handle, EM_FORMATRANGE, 1, reinterpret_cast<LPARAM>(&range)));
            // Done, refused, or a page that printed nothing (it would
            // repeat for ever).
            if (next < 0 || next >= length || next <= range.chrg.cpMin) break;
            printer->NewPage();
            range.chrg.cpMin = next;
        }
        SendMessageA(handle, EM_FORMATRANGE, 0, 0);
        SetMapMode(dc, oldMapMode);
        printer->EndDoc();
    } catch (...) {
        SendMessageA(handle, EM_FORMATRANGE, 0, 0);
        if (printer->GetPrinting()) {
            SetMapMode(dc, oldMapMode);
            printer->Abort();
        }
        throw;
    }
}

void TKitCustomRichEdit::RequestSize(const TRect& rect) {
    if (OnResizeRequest) OnResizeRequest(this, rect);
    FRequestedSize = rect;
}

void TKitCustomRichEdit::DoConversionProgress(int percent) {
    if (OnConversionProgress) OnConversionProgress(this, percent);
}

TPopupMenu* TKitCustomRichEdit::GetPopupMenu() const {
    auto* self = const_cast<TKitCustomRichEdit*>(this);
    if (FVerbMenu) {
        FVerbMenu->Free();
        FVerbMenu = nullptr;
    }
    if (FAutoVerbMenu && FRichEditOle && self->GetSelectionType() == TSelectionType{stObject})
        return ObjectPopupMenu();
    TPopupMenu* menu = TControl::GetPopupMenu();
    if (!menu && FUseFixedPopup) return GetFixedEditPopup(self, true);
    return menu;
}

// ---- Properties

bool TKitCustomRichEdit::GetAdvancedTypography() {
    if (RichEditVersion() >= 3 && HandleAllocated())
        FAdvancedTypography =
            (SendMessageA(GetHandle(), EM_GETTYPOGRAPHYOPTIONS, 0, 0) & TO_ADVANCEDTYPOGRAPHY) != 0;
    return FAdvancedTypography;
}

void TKitCustomRichEdit::SetAdvancedTypography(bool value) {
    if (value) FAutoAdvancedTypography = false;
    if (value == GetAdvancedTypography()) return;
    FAdvancedTypography = value;
    if (RichEditVersion() >= 3 && HandleAllocated())
        SendMessageA(GetHandle(), EM_SETTYPOGRAPHYOPTIONS, value ? TO_ADVANCEDTYPOGRAPHY : 0, TO_ADVANCEDTYPOGRAPHY);
}

bool TKitCustomRichEdit::GetAutoURLDetect() {
    if (RichEditVersion() >= 2 && HandleAllocated())
        return SendMessageA(GetHandle(), EM_GETAUTOURLDETECT, 0, 0) != 0;
    return FAutoURLDetect;
}

void TKitCustomRichEdit::SetAutoURLDetect(bool value) {
    if (value == FAutoURLDetect) return;
    FAutoURLDetect = value;
    if (RichEditVersion() >= 2 && HandleAllocated()) SendMessageA(GetHandle(), EM_AUTOURLDETECT, value ? 1 : 0, 0);
}

void TKitCustomRichEdit::SetAllowObjects(bool value) { StoreAndRecreateWnd(FAllowObjects, value); }

void TKitCustomRichEdit::SetHideSelection(bool value) {
    if (value == FHideSelection) return;
    FHideSelection = value;
    HandleNeeded();
    SendMessageA(GetHandle(), EM_HIDESELECTION, value ? 1 : 0, 1);
}

void TKitCustomRichEdit::SetHideScrollBars(bool value) { StoreAndRecreateWnd(FHideScrollBars, value); }

TRichLangOptions TKitCustomRichEdit::GetLangOptions() {
    if (RichEditVersion() >= 2 && HandleAllocated())
        return TRichLangOptions::FromMask(static_cast<uint64_t>(SendMessageA(GetHandle(), EM_GETLANGOPTIONS, 0, 0)) &
                                          0xF);
    return FLangOptions;
}

void TKitCustomRichEdit::SetLangOptions(TRichLangOptions value) {
    if (value == FLangOptions) return;
    FLangOptions = value;
    if (RichEditVersion() >= 2 && HandleAllocated())
        SendMessageA(GetHandle(), EM_SETLANGOPTIONS, 0, static_cast<LPARAM>(value.Mask()));
}

void TKitCustomRichEdit::SetOLEDragDrop(bool value) { StoreAndRecreateWnd(FOLEDragDrop, value); }

void TKitCustomRichEdit::SetPlainText(bool value) {
    if (value == FPlainText) return;
    FPlainText = value;
    ApplyTextMode();
}

void TKitCustomRichEdit::SetSelectionBar(bool value) { StoreAndRecreateWnd(FSelectionBar, value); }

void TKitCustomRichEdit::SetTitle(const std::string& value) {
    if (value == FTitle) return;
    FTitle = value;
    UpdateHostNames();
}

void TKitCustomRichEdit::SetUndoLimit(int value) {
    if (value == FUndoLimit) return;
    FUndoLimit = value;
    if (RichEditVersion() >= 2 && HandleAllocated())
        FUndoLimit = static_cast<int>(SendMessageA(GetHandle(), EM_SETUNDOLIMIT, static_cast<WPARAM>(value), 0));
}

bool TKitCustomRichEdit::GetWordSelection() {
    if (HandleAllocated())
        FWordSelection = (SendMessageA(GetHandle(), EM_GETOPTIONS, 0, 0) & ECO_AUTOWORDSELECTION) != 0;
    return FWordSelection;
}

void TKitCustomRichEdit::SetWordSelection(bool value) {
    FWordSelection = value;
    ApplyWordSelection(value);
}

void TKitCustomRichEdit::ApplyWordSelection(bool value) {
    if (!HandleAllocated()) return;
    LPARAM options = SendMessageA(GetHandle(), EM_GETOPTIONS, 0, 0);
    if (value)
        options |= ECO_AUTOWORDSELECTION;
    else
        options &= ~static_cast<LPARAM>(ECO_AUTOWORDSELECTION);
    SendMessageA(GetHandle(), EM_SETOPTIONS, ECOOP_SET, options);
}

int TKitCustomRichEdit::GetZoom() {
    if (RichEditVersion() < 3 || !HandleAllocated()) return 100;
    int numerator = 0;
    int denominator = 0;
    SendMessageA(GetHandle(), EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator));
    if (denominator < 1) return 100;
    return MulDiv(100, numerator, denominator);
}

void TKitCustomRichEdit::SetZoom(int value) {
    if (RichEditVersion() < 3 || !HandleAllocated()) return;
    if (value <= 0)
        SendMessageA(GetHandle(), EM_SETZOOM, 0, 0);
    else
        SendMessageA(GetHandle(), EM_SETZOOM, static_cast<WPARAM>(value), 100);
}

// ---- Messages

void TKitCustomRichEdit::WndProc(TMessage& message) {
    if (message.Msg == WM_CONTEXTMENU && FContextMenuSent) {
        // The library's own WM_CONTEXTMENU after the one this control sent
        // for the same right click.
        message.Result = 0;
        return;
    }
    if (FPlainText && PastedAsPlainText(message)) return;
    if (message.Msg == WM_CONTEXTMENU && message.LParam == -1) MenuAtCaret(message);
    inherited::WndProc(message);
}

void TKitCustomRichEdit::MenuAtCaret(TMessage& message) {
    // The menu key and Shift+F10 ask with no point: the menu opens just
    // below the caret, kept inside the window, as an editor's does.
    POINT caret{};
    if (!HandleAllocated() || ::GetFocus() != GetHandle() || !::GetCaretPos(&caret)) return;
    RECT client{};
    ::GetClientRect(GetHandle(), &client);
    const int lineHeight = std::abs(GetFont()->GetHeight()) + 4;
    caret.x = std::clamp(caret.x, static_cast<LONG>(client.left), std::max(client.left, client.right - 1));
    caret.y = std::clamp(caret.y + lineHeight, static_cast<LONG>(client.top), std::max(client.top, client.bottom - 1));
    ::ClientToScreen(GetHandle(), &caret);
    message.LParam = MAKELPARAM(caret.x, caret.y);
}

namespace {

// The clipboard's text up to its first NUL; empty when it holds none.
std::wstring ClipboardText() {
    std::wstring text;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            const size_t limit = GlobalSize(data) / sizeof(wchar_t);
            size_t n = 0;
            while (n < limit && chars[n]) ++n;
            text.assign(chars, n);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool IsPasteKey(WPARAM key) {
    // The key first: the keyboard state is a trip to the window server.
    if ((key != 'V' && key != VK_INSERT) || GetKeyState(VK_MENU) < 0) return false;
    // The library pastes on Ctrl+V whether Shift is held or not.
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    return (key == 'V' && ctrl) || (key == VK_INSERT && shift && !ctrl);
}

} // namespace

int TKitCustomRichEdit::SelectableTextLength() {
    if (!HandleAllocated() || RichEditVersion() < 2) return GetTextLen();
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT length = SendMessageA(GetHandle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    return length >= 0 ? static_cast<int>(length) : GetTextLen();
}

bool TKitCustomRichEdit::PastedAsPlainText(TMessage& message) {
    // Some systems' library pastes rich text first whatever its mode: a
    // table's cells ran together, hidden words showed, and characters came
    // in that the 8-bit text read back from the window no longer holds.
    if (message.Msg != WM_PASTE && !(message.Msg == WM_KEYDOWN && IsPasteKey(message.WParam))) return false;
    message.Result = 0;
    if (!HandleAllocated() || GetReadOnly() || !GetClipboardCommands().Contains(caPaste)) return true;
    std::wstring text = ClipboardText();
    if (text.empty()) return true;
    // Inserted in place of the selection as Unicode text, undoable, the
    // caret after it, as the library's own paste of text does.
    SETTEXTEX how{ST_SELECTION | ST_KEEPUNDO, 1200};
    SendMessageW(GetHandle(), EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(GetHandle(), EM_SETMODIFY, TRUE, 0);
    SendMessageA(GetHandle(), EM_SCROLLCARET, 0, 0);
    return true;
}

bool TKitCustomRichEdit::SetTextAsPlainText(TMessage& message) {
    // The library reads a text that begins as rich-text source does ("{\rtf",
    // "{\urtf" and the like) as rich text, whatever its mode: a note holding
    // such source showed other text, and an edit of it kept the parsed text.
    // A replacement of the selection is never read so: the control is
    // emptied quietly and the text put in its place, then left as WM_SETTEXT
    // leaves any other (one change event, the caret at the start, no undo,
    // not modified).
    const char* text = reinterpret_cast<const char*>(message.LParam);
    if (!LooksLikeRichText(text) || !HandleAllocated()) return false;
    const HWND handle = GetHandle();
    const LPARAM mask = SendMessageA(handle, EM_GETEVENTMASK, 0, 0);
    SendMessageA(handle, EM_SETEVENTMASK, 0, mask & ~static_cast<LPARAM>(ENM_CHANGE));
    SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    SendMessageA(handle, EM_SETEVENTMASK, 0, mask);
    const bool readOnly = GetWindowLongA(handle, GWL_STYLE) & ES_READONLY;
    if (readOnly) SendMessageA(handle, EM_SETREADONLY, FALSE, 0);
    SendMessageA(handle, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    if (readOnly) SendMessageA(handle, EM_SETREADONLY, TRUE, 0);
    SetSelectionRange(handle, 0, 0);
    SendMessageA(handle, EM_SCROLLCARET, 0, 0);
    SendMessageA(handle, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(handle, EM_SETMODIFY, FALSE, 0);
    message.Result = 1;
    return true;
}

void TKitCustomRichEdit::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CN_BASE + WM_NOTIFY:
        CNNotify(message);
        return;
    case EM_REPLACESEL:
        ReplaceSel(message);
        return;
    case WM_SETTEXT:
        if (SetTextAsPlainText(message)) return;
        break;
    case WM_SETFONT:
        DefaultHandler(message);
        FDefAttributes->Assign(GetFont());
        return;
    case CM_COLORCHANGED:
        inherited::Dispatch(message);
        if (HandleAllocated())
            SendMessageA(GetHandle(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(GetColor())));
        return;
    case CM_BIDIMODECHANGED:
    case CM_PARENTBIDIMODECHANGED: {
        inherited::Dispatch(message);
        if (!HandleAllocated() || RichEditVersion() < 2) return;
        BIDIOPTIONS options{};
        options.cbSize = sizeof(options);
        options.wMask = 0x1C;
        options.wEffects = 0x1C;
        SendMessageA(GetHandle(), EM_GETBIDIOPTIONS, 0, reinterpret_cast<LPARAM>(&options));
        static constexpr TKitParaAlignment fromAlignment[] = {kaLeftJustify, kaRightJustify, kaCenter};
        FParagraph->SetAlignment(fromAlignment[GetAlignment()]);
        return;
    }
    case WM_RBUTTONUP:
        if (RichEditVersion() == 1 && Win32MajorVersion >= 5) break;
        if (FAllowObjects && HandleAllocated()) {
            POINT point{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
            ::ClientToScreen(GetHandle(), &point);
            Perform(WM_CONTEXTMENU, reinterpret_cast<uintptr_t>(GetHandle()), MAKELPARAM(point.x, point.y));
            // The library may answer the same click with a WM_CONTEXTMENU of
            // its own; that one is dropped.
            TFlagScope sent(FContextMenuSent);
            inherited::Dispatch(message);
            return;
        }
        break;
    case WM_PAINT:
        // The library paints between its own BeginPaint and EndPaint; a
        // paint DC handed to it would leave it nothing to update.
        if (message.WParam == 0) {
            if (RichEditVersion() == 1)
                PaintFirstGeneration(message);
            else
                DefaultHandler(message);
            return;
        }
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        DefaultHandler(message);
        if (message.Msg == WM_HSCROLL) {
            if (OnHorizontalScroll) OnHorizontalScroll(this);
        } else if (OnVerticalScroll) {
            OnVerticalScroll(this);
        }
        return;
    case WM_DESTROY:
        ReleaseOle();
        break;
    default:
        break;
    }
    inherited::Dispatch(message);
}

namespace {
// One paint of a first-generation control at a time, process-wide.
bool GPaintingFirstGeneration = false;
} // namespace

void TKitCustomRichEdit::PaintFirstGeneration(TMessage& message) {
    HWND handle = GetHandle();
    RECT update{};
    if (!GetUpdateRect(handle, &update, FALSE)) {
        DefaultHandler(message);
        return;
    }
    // The old library leaves the right edge unpainted: a 3-pixel strip there
    // is erased with the update.
    RECT client{};
    ::GetClientRect(handle, &client);
    RECT strip{client.right - 3, client.top, client.right, client.bottom};
    RECT meet{};
    if (IntersectRect(&meet, &strip, &update)) InvalidateRect(handle, &strip, TRUE);
    if (GPaintingFirstGeneration) {
        Invalidate();
        return;
    }
    TFlagScope painting(GPaintingFirstGeneration);
    DefaultHandler(message);
}

void TKitCustomRichEdit::FontChanged(TObject* sender) {
    inherited::FontChanged(sender);
    if (HandleAllocated()) FDefAttributes->Assign(GetFont());
}

void TKitCustomRichEdit::ReplaceSel(TMessage& message) {
    if (!HandleAllocated()) {
        DefaultHandler(message);
        return;
    }
    HWND handle = GetHandle();
    LONG start = GetSelectionRange(handle).cpMin;
    if (FUndoLimit >= 2 && RichEditVersion() >= 2 && (!FSettingSelText || FForceUndo)) message.WParam = 1;
    DefaultHandler(message);
    // The caret stands after the inserted text, however the library
    // counted its line breaks.
    LONG end = GetSelectionRange(handle).cpMax;
    if (FSettingSelText)
        SetSelectionRange(handle, end, end);
    else
        SetSelectionRange(handle, start, end);
    SendMessageA(handle, EM_SCROLLCARET, 0, 0);
}

void TKitCustomRichEdit::CNNotify(TMessage& message) {
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    if (!header) return;
    switch (header->code) {
    case EN_REQUESTRESIZE: {
        const RECT& r = reinterpret_cast<REQRESIZE*>(header)->rc;
        RequestSize(Rect(r.left, r.top, r.right, r.bottom));
        break;
    }
    case EN_SELCHANGE:
        if (!FSelChangeSuspended && OnSelectionChange) OnSelectionChange(this);
        break;
    case EN_PROTECTED: {
        auto* info = reinterpret_cast<ENPROTECTED*>(header);
        bool allow = false;
        if (OnProtectChangeEx) {
            TMessage change;
            change.Msg = info->msg;
            change.WParam = info->wParam;
            change.LParam = info->lParam;
            OnProtectChangeEx(this, change, info->chrg.cpMin, info->chrg.cpMax, allow);
        } else if (OnProtectChange) {
            OnProtectChange(this, info->chrg.cpMin, info->chrg.cpMax, allow);
        }
        message.Result = allow ? 0 : 1;
        break;
    }
    case EN_SAVECLIPBOARD: {
        auto* info = reinterpret_cast<ENSAVECLIPBOARD*>(header);
        bool save = true;
        if (OnSaveClipboard) OnSaveClipboard(this, info->cObjectCount, info->cch, save);
        message.Result = save ? 0 : 1;
        break;
    }
    case EN_LINK:
        LinkNotification(*reinterpret_cast<ENLINK*>(header));
        break;
    default:
        break;
    }
}

void TKitCustomRichEdit::LinkNotification(const ENLINK& link) {
    switch (link.msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        FLinkStart = link.chrg.cpMin;
        FLinkEnd = link.chrg.cpMax;
        FLinkButton = link.msg == WM_LBUTTONDOWN ? mbLeft : mbRight;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        TMouseButton button = link.msg == WM_LBUTTONUP ? mbLeft : mbRight;
        bool same = FLinkStart >= 0 && FLinkButton == button && FLinkStart == link.chrg.cpMin &&
                    FLinkEnd == link.chrg.cpMax;
        FLinkStart = FLinkEnd = -1;
        if (same && OnURLClick) OnURLClick(this, GetTextRange(link.chrg.cpMin, link.chrg.cpMax), button);
        break;
    }
    default:
        break;
    }
}

GCL_PUBLISHED(TKitRichEdit,
    GCL_PROP(Align).Default(alNone),
    GCL_PROP(Anchors).Default(TAnchors{akLeft, akTop}),
    GCL_PROP(AutoAdvancedTypography).Default(true),
    GCL_PROP(AutoURLDetect).Default(true),
    GCL_PROP(AutoVerbMenu).Default(true),
    GCL_PROP(AllowObjects).Default(true),
    GCL_PROP(AllowInPlace).Default(true),
    GCL_PROP(BorderStyle).Default(bsSingle),
    GCL_PROP(ClipboardCommands).Default(AllClipboardCommands),
    GCL_PROP(Color).Default(clWindow),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Flat).Default(false),
    GCL_PROP(Font),
    GCL_PROP(ForceUndo).Default(true),
    GCL_PROP(HideScrollBars).Default(true),
    GCL_PROP(HideSelection).Default(true),
    GCL_PROP(HintColor).Default(clDefault),
    GCL_PROP(LangOptions).Default(TRichLangOptions{rlAutoFont}),
    GCL_PROP(MaxLength).Default(0),
    GCL_PROP(OLEDragDrop).Default(true),
    GCL_PROP(ParentFlat).Default(true),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(PlainText).Default(false),
    GCL_PROP(ReadOnly).Default(false),
    GCL_PROP(ScrollBars).Default(ssBoth),
    GCL_PROP(SelectionBar).Default(true),
    GCL_PROP(StreamFormat).Default(sfDefault),
    GCL_PROP(StreamMode).Default(TRichStreamModes{}),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(Title),
    GCL_PROP(UndoLimit).Default(100),
    GCL_PROP(UseFixedPopup).Default(true),
    GCL_PROP(Visible).Default(true),
    GCL_PROP(WantReturns).Default(true),
    GCL_PROP(WantTabs).Default(false),
    GCL_PROP(WordSelection).Default(true),
    GCL_PROP(WordWrap).Default(true))

// ---- Unit --------------------------------------------------------------------------------------

namespace {

const TUnitVersionInfo RichEditUnitVersion{"KitRichEdit.cpp", "1.0", "2026-12-07", "components", "", nullptr};

// How long the end waits for a clipboard another program holds open: a
// clipboard manager reads it in a moment.
constexpr int FlushClipboardAttempts = 25;
constexpr DWORD FlushClipboardPauseMs = 20;

HMODULE LoadQuietly(const char* name) {
    UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(name);
    SetErrorMode(oldMode);
    if (reinterpret_cast<uintptr_t>(module) < 32) module = nullptr;
    return module;
}

void InitRichEdit() {
    RegisterUnitVersion(UnitVersionInstance(), RichEditUnitVersion);
    CFEmbeddedObject = RegisterClipboardFormatA("Embedded Object");
    CFLinkSource = RegisterClipboardFormatA("Link Source");
    CFRtf = RegisterClipboardFormatA("Rich Text Format");
    CFRtfNoObjs = RegisterClipboardFormatA("Rich Text Format Without Objects");
}

// Renders a data object left on the clipboard onto it, waiting a moment
// for another program that holds the clipboard open; false when it could
// not be rendered.
bool FlushClipboard() {
    for (int attempt = 0;; ++attempt) {
        const HRESULT hr = OleFlushClipboard();
        if (hr != CLIPBRD_E_CANT_OPEN) return SUCCEEDED(hr);
        if (attempt == FlushClipboardAttempts) return false;
        Sleep(FlushClipboardPauseMs);
    }
}

void DoneRichEdit() {
    FreeConversionFormatList();
    // Text copied from a rich edit may still be on the clipboard as the
    // library's own data object: it is rendered onto the clipboard before
    // the library goes, so that it stays there after the program ends.
    // While another program keeps the clipboard open it cannot be: the
    // library then stays loaded, since the end of OLE, later, releases
    // that data object and so calls into the library.
    if (GRichEditModule && FlushClipboard()) FreeLibrary(GRichEditModule);
    GRichEditModule = nullptr;
    GRichEditVersion = 0;
    UnregisterModuleUnitVersions(UnitVersionInstance());
}

} // namespace

int RichEditVersion() {
    // Loading the library costs a start milliseconds (and it makes its
    // windows): it waits for the first rich edit. Rich edits live on the
    // main thread, which alone comes here.
    if (GRichEditVersion != 0) return GRichEditVersion;
    GRichEditVersion = 1;
    GRichEditModule = LoadQuietly("RICHED20.DLL");
    if (GRichEditModule) {
        GRichEditVersion = 2;
        VS_FIXEDFILEINFO info{};
        if (GetFileVersionFixedInfo(GetModuleFileName(GRichEditModule), info))
            GRichEditVersion = RichEditGenerationFromVersion(info.dwFileVersionMS);
    } else {
        GRichEditModule = LoadQuietly("RICHED32.DLL");
    }
    return GRichEditVersion;
}

gcl::TUnit KitRichEditUnit{"KitRichEdit", &InitRichEdit, &DoneRichEdit};

} // namespace qelvo
