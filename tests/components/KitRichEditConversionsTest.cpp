// The rich-edit conversions without a window: line-break normalising in
// both widths and across chunk boundaries, the buffer never overrun,
// progress, format recognition and the choice by file extension.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/KitRichEditConversions.h"
#include "gcl/rtl/Streams.h"
#include "support/TestEnvironment.h"

using namespace qelvo;

namespace {

void Fill(gcl::TMemoryStream& stream, const std::string& bytes) {
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
}

// Reads the whole stream through the text conversion in chunks of
// chunkBytes, checking that nothing is written past the buffer.
std::string ReadAll(TKitTextConversion& conversion, int32_t chunkBytes) {
    std::string result;
    std::vector<char> buffer(static_cast<size_t>(chunkBytes) + 16, '\x7F');
    for (;;) {
        int32_t count = conversion.ConvertRead(buffer.data(), chunkBytes);
        for (size_t i = static_cast<size_t>(chunkBytes); i < buffer.size(); ++i) EXPECT_EQ(buffer[i], '\x7F');
        EXPECT_LE(count, chunkBytes);
        if (count <= 0) break;
        result.append(buffer.data(), static_cast<size_t>(count));
    }
    return result;
}

std::string Normalized(const std::string& text, int32_t chunkBytes) {
    gcl::TMemoryStream stream;
    Fill(stream, text);
    TKitTextConversion conversion;
    conversion.OpenStream(&stream);
    return ReadAll(conversion, chunkBytes);
}

} // namespace

TEST(KitLineBreaks, EveryBreakKindBecomesOneCRLF) {
    const std::string text = "one\rtwo\nthree\r\nfour\n\rfive";
    for (int32_t chunk : {2, 3, 4, 7, 64, 4096})
        EXPECT_EQ(Normalized(text, chunk), "one\r\ntwo\r\nthree\r\nfour\r\nfive") << "chunk " << chunk;
    EXPECT_EQ(Normalized("a\r\rb\n\nc", 4096), "a\r\n\r\nb\r\n\r\nc");
    EXPECT_EQ(Normalized("\r\n\r\n", 4096), "\r\n\r\n");
    EXPECT_EQ(Normalized("", 64), "");
}

TEST(KitLineBreaks, MemoryCarriesOverChunkBoundaries) {
    // A 4-byte buffer reads 2 characters per chunk: "ab\r" | "\ncd" puts the
    // CR at the end of one chunk and its LF at the start of the next.
    EXPECT_EQ(Normalized("a\r\nb", 4), "a\r\nb");
    EXPECT_EQ(Normalized("ab\r\ncd", 6), "ab\r\ncd");
    // The last chunk holds only the LF of a split CR LF.
    EXPECT_EQ(Normalized("a\r\n", 4), "a\r\n");
    TLineBreakNormalizer normalizer;
    char buffer[4] = {0, 0, 'q', '\r'};
    ASSERT_EQ(normalizer.Expand(buffer, 4, 2), 3u);
    EXPECT_EQ(std::string(buffer, 3), "q\r\n");
    buffer[2] = '\n';
    buffer[3] = 'z';
    ASSERT_EQ(normalizer.Expand(buffer, 4, 2), 1u);
    EXPECT_EQ(buffer[0], 'z');
}

TEST(KitLineBreaks, AllBreaksNeverOverrunTheBuffer) {
    // Every character doubles: the worst case for the in-place expansion.
    std::string breaks(1000, '\n');
    std::string expected;
    for (int i = 0; i < 1000; ++i) expected += "\r\n";
    for (int32_t chunk : {2, 5, 16, 333}) EXPECT_EQ(Normalized(breaks, chunk), expected);
}

TEST(KitLineBreaks, WideTextIncludingAnOddChunk) {
    std::u16string text = u"α\rβ\nγ\r\nδ";
    std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    for (int32_t chunk : {4, 6, 9, 4096}) {
        gcl::TMemoryStream stream;
    Fill(stream, bytes);
        TKitTextConversion conversion;
        conversion.SetWide(true);
        conversion.OpenStream(&stream);
        std::string out = ReadAll(conversion, chunk);
        ASSERT_EQ(out.size() % 2, 0u);
        std::u16string wide(reinterpret_cast<const char16_t*>(out.data()), out.size() / 2);
        EXPECT_EQ(wide, u"α\r\nβ\r\nγ\r\nδ") << "chunk " << chunk;
    }
}

TEST(KitConversions, ProgressRewindAndRecognition) {
    gcl::TMemoryStream stream;
    Fill(stream, "0123456789");
    stream.SetPosition(2);   // the conversion counts from where it starts
    TKitStreamConversion* conversion = nullptr;
    TKitRTFConversion rtf;
    conversion = &rtf;
    conversion->OpenStream(&stream);
    EXPECT_EQ(rtf.GetTotal(), 8);
    char buffer[3];
    EXPECT_EQ(conversion->ConvertRead(buffer, 3), 3);
    EXPECT_EQ(TKitStreamConversion::Percent(3, 8), 38);   // (300 + 4) / 8
    EXPECT_EQ(TKitStreamConversion::Percent(8, 8), 100);
    EXPECT_EQ(TKitStreamConversion::Percent(1, 0), -1);
    conversion->Rewind();
    EXPECT_EQ(stream.GetPosition(), 2);
    EXPECT_EQ(rtf.GetMoved(), 0);

    gcl::TMemoryStream rich;
    Fill(rich, "{\\rtf1 x}");
    rich.SetPosition(0);
    EXPECT_TRUE(TKitRTFConversion::IsRichText(rich));
    EXPECT_EQ(rich.GetPosition(), 0);
    gcl::TMemoryStream shortStream;
    Fill(shortStream, "{\\rt");
    EXPECT_FALSE(TKitRTFConversion::IsRichText(shortStream));

    TConversionFormatList list;
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.FindForFile("C:\\notes\\a.RTF"), list.GetRTF());
    EXPECT_EQ(list.FindForFile("a.txt"), list.GetText());
    EXPECT_EQ(list.FindForFile("a.doc"), nullptr);
    EXPECT_EQ(list.GetRTF()->GetDescription(), "Rich Text Format (*.rtf)|*.rtf");
    EXPECT_EQ(list.GetText()->GetDescription(), "Plain text (*.txt)|*.txt");
    EXPECT_EQ(list.GetRTF()->GetKind(), 3);
    EXPECT_EQ(list.GetText()->GetKind(), 2);
}

TEST(KitConversions, RichFileMustStartAsRichText) {
    qelvo::test::TempDir dir;
    gcl::TMemoryStream plain;
    Fill(plain, "just text");
    plain.SaveToFile(dir.File("plain.rtf"));
    TKitRTFConversion rtf;
    EXPECT_THROW(rtf.OpenFile(dir.File("plain.rtf"), false), gcl::EStreamError);
    EXPECT_EQ(rtf.GetStream(), nullptr);
    gcl::TMemoryStream rich;
    Fill(rich, "{\\rtf1 ok}");
    rich.SaveToFile(dir.File("rich.rtf"));
    rtf.OpenFile(dir.File("rich.rtf"), false);
    ASSERT_NE(rtf.GetStream(), nullptr);
    EXPECT_EQ(rtf.GetTotal(), 10);
    rtf.Close();
}
