// The rich-edit control's load and save conversions: rich text and plain
// text over a stream, chosen by file extension or by the "{\rtf" start,
// with progress reports and the line-break normaliser of the plain-text
// reader. Window-free: the control drives them from its stream callbacks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Events.h"
#include "gcl/rtl/Objects.h"
#include "gcl/rtl/Streams.h"

namespace qelvo {

namespace msg {
inline constexpr const char* FailedToLoadStream = "Failed to Load Stream";
inline constexpr const char* FailedToSaveStream = "Failed to Save Stream";
} // namespace msg

// Turns CR, LF, CR LF and LF CR each into one CR LF while a text is read
// in chunks; CR CR and LF LF give two. The memory of the last line break
// carries over from one chunk to the next, so a CR LF split by a chunk
// boundary still gives one CR LF.
class TLineBreakNormalizer {
public:
    // Expands the count characters at buffer + capacity - count (the upper
    // part of the buffer) into the buffer from its start and returns the
    // number of characters written. Writing never overtakes reading as
    // long as count <= capacity / 2, which the callers guarantee.
    size_t Expand(char* buffer, size_t capacity, size_t count) noexcept;
    size_t Expand(char16_t* buffer, size_t capacity, size_t count) noexcept;
    void Reset() noexcept { FAfterCR = FAfterLF = false; }

private:
    template <class C>
    size_t ExpandChars(C* buffer, size_t capacity, size_t count) noexcept;

    bool FAfterCR = false;   // the last character was a CR written as CR LF
    bool FAfterLF = false;   // the last character was a LF written as CR LF
};

// What a conversion can do.
enum class TConversionAbility { Import, Export, Both };

using TConversionProgressEvent = gcl::TEvent<void(int Percent)>;

// A conversion of the control's text to and from an outside format.
class TKitConversion : public gcl::TObject {
    GCL_CLASS(TKitConversion, gcl::TObject)
public:
    // The file extension in lower case without the dot ("rtf").
    virtual std::string GetExtension() const = 0;
    // For file dialogs: "Rich Text Format (*.rtf)|*.rtf".
    virtual std::string GetDescription() const = 0;
    virtual TConversionAbility GetAbility() const { return TConversionAbility::Both; }
    // 0 or 2: loaded as plain text; 1 or 3: as rich text. 2 and 3 may
    // retry with the other format when the first load fails.
    virtual int GetKind() const = 0;
    bool CanRetry() const { return GetKind() >= 2; }
    // A fresh conversion of the same class, for one load or save.
    virtual std::unique_ptr<TKitConversion> MakeNew() const = 0;
    // Whether the conversion takes a file with this extension (lower
    // case, no dot).
    virtual bool AcceptsExtension(const std::string& extension) const { return extension == GetExtension(); }

    // Reading and writing run between Open and Close.
    virtual void OpenStream(gcl::TStream* stream);
    // Opens the file for reading (others may not write) or creates it;
    // raises the stream error when the file cannot be opened.
    virtual void OpenFile(const std::string& fileName, bool forWrite);
    virtual void Close() noexcept;
    // Starts over at the position the stream had when it was opened.
    virtual void Rewind();
    // Fills buffer with at most size bytes; the count read.
    virtual int32_t ConvertRead(void* buffer, int32_t size) = 0;
    // Writes size bytes; the count written.
    virtual int32_t ConvertWrite(const void* buffer, int32_t size) = 0;
    // The text an error report gives when this conversion failed (empty:
    // the control's standard text).
    const std::string& GetErrorText() const noexcept { return FErrorText; }

    // Told after each chunk: (bytes * 100 + total / 2) / total.
    TConversionProgressEvent OnProgress;

protected:
    void SetErrorText(const std::string& value) { FErrorText = value; }

private:
    std::string FErrorText;
};

// A conversion over a stream: keeps the stream (owned when it opened a
// file), where it started, its total size and how much has moved.
class TKitStreamConversion : public TKitConversion {
    GCL_CLASS(TKitStreamConversion, TKitConversion)
public:
    ~TKitStreamConversion() override;

    void OpenStream(gcl::TStream* stream) override;
    void OpenFile(const std::string& fileName, bool forWrite) override;
    void Close() noexcept override;
    void Rewind() override;
    int32_t ConvertRead(void* buffer, int32_t size) override;
    int32_t ConvertWrite(const void* buffer, int32_t size) override;

    gcl::TStream* GetStream() const noexcept { return FStream; }
    int64_t GetTotal() const noexcept { return FTotal; }
    int64_t GetMoved() const noexcept { return FMoved; }
    // The percentage of the formula above, or -1 when the total is 0.
    static int Percent(int64_t moved, int64_t total) noexcept;

protected:
    // Adds count to the bytes moved and reports the progress.
    void Advance(int64_t count);

private:
    gcl::TStream* FStream = nullptr;
    std::unique_ptr<gcl::TStream> FOwnedStream;
    int64_t FStart = 0;
    int64_t FTotal = 0;
    int64_t FMoved = 0;
};

class TKitRTFConversion : public TKitStreamConversion {
    GCL_CLASS(TKitRTFConversion, TKitStreamConversion)
public:
    std::string GetExtension() const override { return "rtf"; }
    std::string GetDescription() const override { return "Rich Text Format (*.rtf)|*.rtf"; }
    int GetKind() const override { return 3; }
    std::unique_ptr<TKitConversion> MakeNew() const override;
    // Opening a file to read requires the "{\rtf" start.
    void OpenFile(const std::string& fileName, bool forWrite) override;
    // Whether the stream starts with "{\rtf"; the position is kept.
    static bool IsRichText(gcl::TStream& stream);
};

// Plain text. Reading turns every line break into CR LF; set Wide for
// 16-bit text.
class TKitTextConversion : public TKitStreamConversion {
    GCL_CLASS(TKitTextConversion, TKitStreamConversion)
public:
    std::string GetExtension() const override { return "txt"; }
    std::string GetDescription() const override { return "Plain text (*.txt)|*.txt"; }
    int GetKind() const override { return 2; }
    std::unique_ptr<TKitConversion> MakeNew() const override;
    void OpenStream(gcl::TStream* stream) override;
    void Rewind() override;
    // Reads at most half the buffer and expands it in place.
    int32_t ConvertRead(void* buffer, int32_t size) override;

    bool GetWide() const noexcept { return FWide; }
    void SetWide(bool value) noexcept { FWide = value; }

private:
    TLineBreakNormalizer FNormalizer;
    bool FWide = false;
    bool FHasOddByte = false;   // a wide read ended in the middle of a character
    uint8_t FOddByte = 0;
};

// The registered conversions: one for rich text, one for plain text,
// made on first use.
class TConversionFormatList {
public:
    TConversionFormatList();
    int GetCount() const noexcept { return static_cast<int>(FItems.size()); }
    TKitConversion* GetItems(int index) const { return FItems.at(static_cast<size_t>(index)).get(); }
    TKitRTFConversion* GetRTF() const noexcept { return FRTF; }
    TKitTextConversion* GetText() const noexcept { return FText; }
    // The first conversion that takes the extension of fileName, or null.
    TKitConversion* FindForFile(const std::string& fileName) const;

private:
    std::vector<std::unique_ptr<TKitConversion>> FItems;
    TKitRTFConversion* FRTF = nullptr;
    TKitTextConversion* FText = nullptr;
};

// The process-wide list (made on first use) and its release.
TConversionFormatList& ConversionFormatList();
void FreeConversionFormatList() noexcept;

} // namespace qelvo
