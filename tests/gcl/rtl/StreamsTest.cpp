#include <gtest/gtest.h>

#include "gcl/rtl/Files.h"
#include "gcl/rtl/Streams.h"
#include "support/TestEnvironment.h"

#include <cstring>
#include <string>

using namespace gcl;

namespace {

std::string Contents(TMemoryStream& s) {
    return s.GetSize() ? std::string(static_cast<const char*>(s.GetMemory()), size_t(s.GetSize())) : std::string();
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

} // namespace

TEST(TMemoryStreamTest, ReadWriteSeekAndSize) {
    TMemoryStream s;
    EXPECT_EQ(s.GetSize(), 0);
    EXPECT_EQ(s.GetMemory(), nullptr);
    EXPECT_EQ(s.Write("hello world", 11), 11);
    EXPECT_EQ(s.GetPosition(), 11);

    char buf[32] = {};
    s.SetPosition(6);
    EXPECT_EQ(s.Read(buf, 32), 5);    // partial read at the end
    EXPECT_EQ(std::string(buf, 5), "world");
    EXPECT_EQ(s.Read(buf, 32), 0);
    EXPECT_EQ(s.Read(buf, -1), 0);

    EXPECT_EQ(s.Seek(-5, soEnd), 6);
    EXPECT_EQ(s.Seek(-4, soCurrent), 2);
    s.ReadBuffer(buf, 3);
    EXPECT_EQ(std::string(buf, 3), "llo");
    s.SetPosition(9);
    EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);    // only 2 bytes left
    try {
        s.SetPosition(0);
        s.ReadBuffer(buf, 12);
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.GetMessage(), "Stream read error");
    }
    EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);
    EXPECT_THROW(s.Seek(-12, soEnd), EStreamError);

    // Writing after a seek past the end fills the gap with zero bytes.
    s.Seek(2, soEnd);
    s.WriteBuffer("!", 1);
    EXPECT_EQ(Contents(s), std::string("hello world\0\0!", 14));

    s.SetSize(5);
    EXPECT_EQ(s.GetPosition(), 5);    // moved back to the new end
    EXPECT_EQ(Contents(s), "hello");
    s.SetPosition(1);
    s.SetSize(8);
    EXPECT_EQ(s.GetPosition(), 1);
    EXPECT_EQ(Contents(s), std::string("hello\0\0\0", 8));
    EXPECT_THROW(s.SetSize(-1), EStreamError);
    s.Clear();
    EXPECT_EQ(s.GetSize(), 0);
    EXPECT_EQ(s.GetPosition(), 0);

    // Byte-by-byte growth to a megabyte.
    for (int i = 0; i < (1 << 20); ++i) {
        char c = char(i);
        s.Write(&c, 1);
    }
    EXPECT_EQ(s.GetSize(), 1 << 20);
    EXPECT_EQ(static_cast<const char*>(s.GetMemory())[12345], char(12345));
}

TEST(TMemoryStreamTest, CopyFromAndCheckAvailable) {
    TMemoryStream src, dst;
    src.WriteBuffer("0123456789", 10);
    src.SetPosition(7);
    EXPECT_EQ(dst.CopyFrom(src, 0), 10);    // 0: the whole source from its start
    EXPECT_EQ(Contents(dst), "0123456789");
    src.SetPosition(2);
    EXPECT_EQ(dst.CopyFrom(src, 3), 3);
    EXPECT_EQ(Contents(dst), "0123456789234");
    EXPECT_THROW(dst.CopyFrom(src, 6), EReadError);    // only 5 left
    TMemoryStream empty;
    EXPECT_EQ(dst.CopyFrom(empty, 0), 0);

    src.SetPosition(4);
    EXPECT_NO_THROW(src.CheckAvailable(0));
    EXPECT_NO_THROW(src.CheckAvailable(6));
    EXPECT_THROW(src.CheckAvailable(7), EReadError);
    EXPECT_THROW(src.CheckAvailable(-1), EReadError);
    src.SetPosition(20);    // past the end: nothing is available, not even 0 bytes
    EXPECT_THROW(src.CheckAvailable(1), EReadError);
    EXPECT_THROW(src.CheckAvailable(0), EReadError);

    TMemoryStream big;
    big.SetSize(300000);
    std::memset(big.GetMemory(), 'x', 300000);
    TMemoryStream copy;
    EXPECT_EQ(copy.CopyFrom(big, 0), 300000);
    EXPECT_EQ(Contents(copy), Contents(big));
}

TEST(TFileStreamTest, CreateOpenAndErrors) {
    qelvo::test::TempDir dir;
    std::string name = dir.File("data.bin");
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("abcdef", 6);
        EXPECT_EQ(f.GetSize(), 6);
        f.SetSize(4);
        EXPECT_EQ(f.GetSize(), 4);
        EXPECT_EQ(f.GetPosition(), 4);
        f.SetPosition(1);
        f.SetSize(10);
        EXPECT_EQ(f.GetPosition(), 1);
        EXPECT_EQ(f.GetFileName(), name);
    }
    EXPECT_EQ(ReadFileBytes(name), std::string("abcd\0\0\0\0\0\0", 10));
    {
        TFileStream f(name, fmOpenReadWrite | fmShareExclusive);
        char buf[16];
        EXPECT_EQ(f.Read(buf, 16), 10);
        EXPECT_EQ(f.Seek(-8, soEnd), 2);
        f.WriteBuffer("XY", 2);
        EXPECT_EQ(f.Seek(-4, soCurrent), 0);
        f.ReadBuffer(buf, 4);
        EXPECT_EQ(std::string(buf, 4), "abXY");
        EXPECT_THROW(f.ReadBuffer(buf, 7), EReadError);
    }
    {
        TFileStream f(name, fmOpenRead | fmShareDenyWrite);
        char c;
        EXPECT_EQ(f.Write("z", 1), 0);    // opened for reading only
        EXPECT_THROW(f.WriteBuffer("z", 1), EWriteError);
        EXPECT_EQ(f.Read(&c, 1), 1);
    }
    // Memory stream files.
    TMemoryStream m;
    m.LoadFromFile(name);
    EXPECT_EQ(m.GetSize(), 10);
    EXPECT_EQ(m.GetPosition(), 0);
    m.SaveToFile(dir.File("copy.bin"));
    EXPECT_EQ(ReadFileBytes(dir.File("copy.bin")), ReadFileBytes(name));

    // Errors name the expanded path and add the system's text.
    std::string missing = dir.File("missing.bin");
    try {
        TFileStream f(missing, fmOpenRead);
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        std::string expected = "Cannot open file \"" + ExpandFileName(missing) + "\". ";
        EXPECT_TRUE(StartsWith(e.GetMessage(), expected)) << e.GetMessage();
        EXPECT_GT(e.GetMessage().size(), expected.size());    // the system's text follows
    }
    std::string noFolder = dir.File("nofolder") + PathDelim + "x.bin";
    try {
        TFileStream f(noFolder, fmCreate);
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        std::string expected = "Cannot create file \"" + ExpandFileName(noFolder) + "\". ";
        EXPECT_TRUE(StartsWith(e.GetMessage(), expected)) << e.GetMessage();
        EXPECT_GT(e.GetMessage().size(), expected.size());
    }
    EXPECT_THROW(TMemoryStream().LoadFromFile(missing), EFOpenError);
    EXPECT_THROW(TFileStream(dir.Path(), fmOpenRead), EFOpenError);    // a folder is no file
}

#ifdef _WIN32
TEST(TFileStreamTest, ShareModes) {
    qelvo::test::TempDir dir;
    std::string name = dir.File("shared.bin");
    {
        TFileStream writer(name, fmCreate);
        // A file being created is not shared.
        EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareDenyNone), EFOpenError);
        writer.WriteBuffer("x", 1);
    }
    TFileStream reader(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_NO_THROW(TFileStream(name, fmOpenRead | fmShareDenyWrite));
    EXPECT_THROW(TFileStream(name, fmOpenWrite | fmShareDenyNone), EFOpenError);
    EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareExclusive), EFOpenError);
}
#endif
