// Rich-text and plain-text conversions of the rich-edit control and the
// line-break normaliser of the plain-text reader.
#include "components/KitRichEditConversions.h"

#include <algorithm>
#include <cstring>

#include "gcl/rtl/Files.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

using namespace gcl;

// ---- TLineBreakNormalizer ---------------------------------------------------

template <class C>
size_t TLineBreakNormalizer::ExpandChars(C* buffer, size_t capacity, size_t count) noexcept {
    if (count > capacity / 2) count = capacity / 2;
    const C* read = buffer + (capacity - count);
    size_t written = 0;
    for (size_t i = 0; i < count; ++i) {
        C c = read[i];
        if (c == C('\n')) {
            if (FAfterCR) {
                // The LF of a CR LF already written.
                FAfterCR = false;
                continue;
            }
            buffer[written++] = C('\r');
            buffer[written++] = C('\n');
            FAfterLF = true;
        } else if (c == C('\r')) {
            if (FAfterLF) {
                FAfterLF = false;
                continue;
            }
            buffer[written++] = C('\r');
            buffer[written++] = C('\n');
            FAfterCR = true;
        } else {
            buffer[written++] = c;
            FAfterCR = FAfterLF = false;
        }
    }
    return written;
}

size_t TLineBreakNormalizer::Expand(char* buffer, size_t capacity, size_t count) noexcept {
    return ExpandChars(buffer, capacity, count);
}

size_t TLineBreakNormalizer::Expand(char16_t* buffer, size_t capacity, size_t count) noexcept {
    return ExpandChars(buffer, capacity, count);
}

// ---- TKitConversion ------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TKitConversion)

void TKitConversion::OpenStream(TStream*) {}
void TKitConversion::OpenFile(const std::string&, bool) {}
void TKitConversion::Close() noexcept {}
void TKitConversion::Rewind() {}

// ---- TKitStreamConversion --------------------------------------------------------

GCL_IMPLEMENT_CLASS(TKitStreamConversion)

TKitStreamConversion::~TKitStreamConversion() = default;

void TKitStreamConversion::OpenStream(TStream* stream) {
    Close();
    FStream = stream;
    FStart = stream ? stream->GetPosition() : 0;
    FTotal = stream ? std::max<int64_t>(stream->GetSize() - FStart, 0) : 0;
    FMoved = 0;
}

void TKitStreamConversion::OpenFile(const std::string& fileName, bool forWrite) {
    Close();
    auto stream = std::make_unique<TFileStream>(fileName, forWrite ? fmCreate : uint16_t(fmOpenRead | fmShareDenyWrite));
    OpenStream(stream.get());
    FOwnedStream = std::move(stream);
}

void TKitStreamConversion::Close() noexcept {
    FOwnedStream.reset();
    FStream = nullptr;
    FStart = FTotal = FMoved = 0;
}

void TKitStreamConversion::Rewind() {
    if (FStream) FStream->SetPosition(FStart);
    FMoved = 0;
}

int TKitStreamConversion::Percent(int64_t moved, int64_t total) noexcept {
    if (total <= 0) return -1;
    return static_cast<int>((moved * 100 + total / 2) / total);
}

void TKitStreamConversion::Advance(int64_t count) {
    FMoved += count;
    int percent = Percent(FMoved, FTotal);
    if (percent >= 0 && OnProgress) OnProgress(percent);
}

int32_t TKitStreamConversion::ConvertRead(void* buffer, int32_t size) {
    if (!FStream || size <= 0) return 0;
    int32_t count = FStream->Read(buffer, size);
    if (count > 0) Advance(count);
    return std::max(count, 0);
}

int32_t TKitStreamConversion::ConvertWrite(const void* buffer, int32_t size) {
    if (!FStream || size <= 0) return 0;
    int32_t count = FStream->Write(buffer, size);
    if (count > 0) Advance(count);
    return std::max(count, 0);
}

// ---- TKitRTFConversion -------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TKitRTFConversion)

std::unique_ptr<TKitConversion> TKitRTFConversion::MakeNew() const { return std::make_unique<TKitRTFConversion>(); }

bool TKitRTFConversion::IsRichText(TStream& stream) {
    int64_t position = stream.GetPosition();
    char start[5] = {};
    int32_t count = stream.Read(start, 5);
    stream.SetPosition(position);
    return count == 5 && std::memcmp(start, "{\\rtf", 5) == 0;
}

void TKitRTFConversion::OpenFile(const std::string& fileName, bool forWrite) {
    TKitStreamConversion::OpenFile(fileName, forWrite);
    if (!forWrite && !IsRichText(*GetStream())) {
        Close();
        throw EFOpenError(msg::FailedToLoadStream);
    }
}

// ---- TKitTextConversion --------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TKitTextConversion)

std::unique_ptr<TKitConversion> TKitTextConversion::MakeNew() const { return std::make_unique<TKitTextConversion>(); }

void TKitTextConversion::OpenStream(TStream* stream) {
    TKitStreamConversion::OpenStream(stream);
    FNormalizer.Reset();
    FHasOddByte = false;
}

void TKitTextConversion::Rewind() {
    TKitStreamConversion::Rewind();
    FNormalizer.Reset();
    FHasOddByte = false;
}

int32_t TKitTextConversion::ConvertRead(void* buffer, int32_t size) {
    TStream* stream = GetStream();
    if (!stream || size <= 0) return 0;
    auto* bytes = static_cast<uint8_t*>(buffer);
    const size_t unit = FWide ? 2 : 1;
    const size_t capacity = static_cast<size_t>(size) / unit;   // characters
    const size_t half = capacity / 2;
    if (half == 0) return 0;
    // Reads go to the upper half; a read that expands to nothing (the LF
    // of a CR LF split by a chunk boundary) is followed by the next one.
    for (;;) {
        uint8_t* raw = bytes + (capacity - half) * unit;
        size_t have = 0;
        if (FHasOddByte) raw[have++] = FOddByte;
        int32_t got = stream->Read(raw + have, static_cast<int32_t>(half * unit - have));
        if (got < 0) got = 0;
        if (got > 0) Advance(got);
        have += static_cast<size_t>(got);
        FHasOddByte = unit == 2 && (have & 1) != 0;
        if (FHasOddByte) FOddByte = raw[--have];
        size_t chars = have / unit;
        if (chars == 0) return 0;
        if (chars < half) std::memmove(bytes + (capacity - chars) * unit, raw, chars * unit);
        size_t written = FWide ? FNormalizer.Expand(reinterpret_cast<char16_t*>(bytes), capacity, chars)
                               : FNormalizer.Expand(reinterpret_cast<char*>(bytes), capacity, chars);
        if (written > 0) return static_cast<int32_t>(written * unit);
        if (got == 0) return 0;
    }
}

// ---- TConversionFormatList --------------------------------------------------------------

TConversionFormatList::TConversionFormatList() {
    auto rtf = std::make_unique<TKitRTFConversion>();
    auto text = std::make_unique<TKitTextConversion>();
    FRTF = rtf.get();
    FText = text.get();
    FItems.push_back(std::move(rtf));
    FItems.push_back(std::move(text));
}

TKitConversion* TConversionFormatList::FindForFile(const std::string& fileName) const {
    std::string extension = ExtractFileExt(fileName);
    if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
    extension = LowerCase(extension);
    for (const auto& item : FItems)
        if (item->AcceptsExtension(extension)) return item.get();
    return nullptr;
}

namespace {
std::unique_ptr<TConversionFormatList> GConversionFormats;
} // namespace

TConversionFormatList& ConversionFormatList() {
    if (!GConversionFormats) GConversionFormats = std::make_unique<TConversionFormatList>();
    return *GConversionFormats;
}

void FreeConversionFormatList() noexcept { GConversionFormats.reset(); }

} // namespace qelvo
