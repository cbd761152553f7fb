// The named-stream container: header flags, item block layout, item
// order and ownership, compression and encryption of the body, files.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/NsStreamCol.h"
#include "data/NsStreamRoutines.h"
#include "gcl/rtl/Components.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Streams.h"
#include "support/TestEnvironment.h"
#include "data/DataTestSupport.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace qelvo::test {

using Bytes = std::vector<uint8_t>;

// From NsStreamRoutinesTest.cpp.
Bytes LzhDecodeForTest(const uint8_t* data, size_t size, size_t outSize);

namespace {

Bytes Str(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

Bytes FileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

// Frees a component made without an owner.
struct TFreeOnExit {
    gcl::TObject* Obj;
    ~TFreeOnExit() { gcl::Free(Obj); }
};

void AddStream(TNsStreams& c, const std::string& name, const Bytes& data) {
    gcl::TMemoryStream s;
    if (!data.empty()) s.WriteBuffer(data.data(), static_cast<int32_t>(data.size()));
    c.AddStream(name, &s);
}

Bytes Save(TNsStreams& c) {
    gcl::TMemoryStream s;
    c.SaveToStream(s);
    return StreamBytes(s);
}

// The three items of the golden files.
void AddSampleItems(TNsStreams& c) {
    AddStream(c, "notes.txt", Str("Buy milk\r\nCall Bob\r\n"));
    AddStream(c, ".jmw", Bytes{'H', 'o', 'm', 'e', '-', '>', 0xBF, '0', 0xBF, 0xBE, 0xBD, '\r', '\n'});
    AddStream(c, "Empty", {});
}

} // namespace

TEST(NsStreams, ItemBlockLayoutAndOrder) {
    TNsStreams* c = TNsStreams::Create(nullptr);
    TFreeOnExit guard{c};
    EXPECT_TRUE(c->GetCompressed());
    EXPECT_FALSE(c->GetEncrypted());
    EXPECT_EQ("", c->GetKey());

    // No items, not compressed: 14 bytes.
    c->SetCompressed(false);
    EXPECT_EQ(Bytes({' ', ' ', 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0}), Save(*c));

    // Names in case-insensitive order; the first item under a name stays.
    AddStream(*c, "b", Str("bee"));
    AddStream(*c, "A", Str("first"));
    AddStream(*c, "a", Str("second"));
    AddStream(*c, "C", {});
    AddStream(*c, "", Str("no name"));
    c->AddStream("null", nullptr);
    ASSERT_EQ(3, c->GetItemCount());
    EXPECT_EQ("A", c->GetItemName(0));
    EXPECT_EQ("b", c->GetItemName(1));
    EXPECT_EQ("C", c->GetItemName(2));

    const Bytes expected = {' ', ' ', 1, 2, 3, 4, 5, 6, 7, 8, 3, 0, 0, 0,
                            1, 0, 'A', 5, 0, 0, 0, 'f', 'i', 'r', 's', 't',
                            1, 0, 'b', 3, 0, 0, 0, 'b', 'e', 'e',
                            1, 0, 'C', 0, 0, 0, 0};
    EXPECT_EQ(expected, Save(*c));

    // WriteItems alone is the block without the header.
    gcl::TMemoryStream block;
    block.WriteBuffer("xy", 2);
    c->WriteItems(block);
    const Bytes blockBytes = StreamBytes(block);
    EXPECT_EQ(Bytes(expected.begin() + 2, expected.end()), Bytes(blockBytes.begin() + 2, blockBytes.end()));

    // SaveToStream writes at the stream's position.
    gcl::TMemoryStream at;
    at.WriteBuffer("prefix", 6);
    c->SaveToStream(at);
    Bytes withPrefix = Str("prefix");
    withPrefix.insert(withPrefix.end(), expected.begin(), expected.end());
    EXPECT_EQ(withPrefix, StreamBytes(at));

    c->ClearStreams();
    EXPECT_EQ(0, c->GetItemCount());
    EXPECT_EQ(14u, Save(*c).size());
}

TEST(NsStreams, AddStreamCopiesWholeSourceAndChecksLimits) {
    TNsStreams* c = TNsStreams::Create(nullptr);
    TFreeOnExit guard{c};
    c->SetCompressed(false);

    // The whole source from its beginning, whatever its position; later
    // changes to the source do not reach the item.
    gcl::TMemoryStream src;
    src.WriteBuffer("abcdef", 6);
    src.Seek(4, gcl::soBeginning);
    c->AddStream("x", &src);
    src.Seek(0, gcl::soBeginning);
    src.WriteBuffer("ZZ", 2);
    EXPECT_EQ(Bytes({' ', ' ', 1, 2, 3, 4, 5, 6, 7, 8, 1, 0, 0, 0, 1, 0, 'x', 6, 0, 0, 0,
                     'a', 'b', 'c', 'd', 'e', 'f'}),
              Save(*c));

    // A name the 16-bit length cannot hold is refused when writing, and
    // nothing reaches the stream; 65535 bytes is fine.
    AddStream(*c, std::string(65536, 'n'), Str("data"));
    gcl::TMemoryStream out;
    EXPECT_THROW(c->SaveToStream(out), gcl::EWriteError);
    EXPECT_EQ(0, out.GetSize());
    c->ClearStreams();
    AddStream(*c, std::string(65535, 'm'), Str("d"));
    const Bytes saved = Save(*c);
    ASSERT_EQ(14u + 2u + 65535u + 4u + 1u, saved.size());
    EXPECT_EQ(0xFF, saved[14]);
    EXPECT_EQ(0xFF, saved[15]);
}

TEST(NsStreams, CompressedAndEncryptedBodies) {
    TNsStreams* c = TNsStreams::Create(nullptr);
    TFreeOnExit guard{c};
    AddSampleItems(*c);
    AddStream(*c, "big", Bytes(100000, 'q'));

    c->SetCompressed(false);
    const Bytes plain = Save(*c);
    const Bytes block(plain.begin() + 2, plain.end());

    // Compressed: "&", then the block's length, then bits that decode to it.
    c->SetCompressed(true);
    const Bytes packed = Save(*c);
    ASSERT_GT(packed.size(), 6u);
    EXPECT_EQ('&', packed[0]);
    EXPECT_EQ(' ', packed[1]);
    const uint32_t length = uint32_t(packed[2]) | uint32_t(packed[3]) << 8 | uint32_t(packed[4]) << 16 |
                            uint32_t(packed[5]) << 24;
    EXPECT_EQ(block.size(), length);
    EXPECT_LT(packed.size(), block.size() / 10);
    EXPECT_EQ(block, LzhDecodeForTest(packed.data() + 6, packed.size() - 6, length));

    // Encrypted with a key: "*", the compressed body padded and encrypted.
    c->SetEncrypted(true);
    c->SetKey("secret");
    const Bytes sealed = Save(*c);
    EXPECT_EQ('&', sealed[0]);
    EXPECT_EQ('*', sealed[1]);
    gcl::TMemoryStream expected;
    expected.WriteBuffer(packed.data() + 2, static_cast<int32_t>(packed.size() - 2));
    PadStream(expected);
    ASSERT_TRUE(BlowfishInitKey("secret"));
    BlowfishEncryptBuffer(expected.GetMemory(), static_cast<size_t>(expected.GetSize()));
    EXPECT_EQ(StreamBytes(expected), Bytes(sealed.begin() + 2, sealed.end()));

    // Encrypted without compression.
    c->SetCompressed(false);
    const Bytes sealedPlain = Save(*c);
    EXPECT_EQ(' ', sealedPlain[0]);
    EXPECT_EQ('*', sealedPlain[1]);
    EXPECT_EQ(0u, (sealedPlain.size() - 2) % 8);
    EXPECT_GT(sealedPlain.size(), plain.size());

    // No key, or a key the cipher rejects: the body stays plain and the
    // header says so.
    c->SetKey("");
    EXPECT_EQ(plain, Save(*c));
    c->SetKey("weak50582");
    EXPECT_EQ(plain, Save(*c));
    c->SetCompressed(true);
    EXPECT_EQ(packed, Save(*c));
}

TEST(NsStreams, GoldenFilesAndSaveToFile) {
    TempDir dir;
    struct TCase {
        const char* File;
        bool Compressed;
        const char* Key;
    };
    const TCase cases[] = {
        {"plain.nsc", false, ""},
        {"packed.nsc", true, ""},
        {"sealed.nsc", true, "secret"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.File);
        TNsStreams* c = TNsStreams::Create(nullptr);
        TFreeOnExit guard{c};
        AddSampleItems(*c);
        c->SetCompressed(tc.Compressed);
        c->SetEncrypted(tc.Key[0] != 0);
        c->SetKey(tc.Key);
        const std::string path = dir.File(tc.File);
        c->SaveToFile(path);
        const Bytes written = FileBytes(path);
        EXPECT_EQ(Save(*c), written);
        EXPECT_EQ(FileBytes(TestDataDir() + "data/nsstream/" + tc.File), written);
        // Saving again replaces the file.
        c->ClearStreams();
        c->SaveToFile(path);
        EXPECT_EQ(Save(*c), FileBytes(path));
    }

    // A file that cannot be created raises and leaves nothing behind.
    TNsStreams* c = TNsStreams::Create(nullptr);
    TFreeOnExit guard{c};
    EXPECT_THROW(c->SaveToFile(dir.File("missing-folder/x.nsc")), gcl::EFCreateError);
}

#ifndef _WIN32
// The disk runs full part way through (a limit on the size of the files
// this process writes stands in for it): the save raises, and the file
// written before stays whole, with nothing left beside it.
TEST(NsStreams, AFullDiskLeavesTheFileWrittenBefore) {
    TempDir dir;
    const std::string path = dir.File("export.nsc");
    TNsStreams* c = TNsStreams::Create(nullptr);
    TFreeOnExit guard{c};
    AddSampleItems(*c);
    c->SetCompressed(false);
    c->SaveToFile(path);
    const Bytes before = FileBytes(path);
    gcl::TMemoryStream big;
    const std::string block(64 * 1024, 'x');
    for (int i = 0; i < 8; ++i) big.WriteBuffer(block.data(), static_cast<int32_t>(block.size()));
    c->AddStream(".big", &big);

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = 128 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    bool raised = false;
    try {
        c->SaveToFile(path);
    } catch (const gcl::Exception&) {
        raised = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(raised);
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_EQ(gcl::RemoveStaleTempFiles(path), 0);
    gcl::TSearchRec found;
    EXPECT_NE(gcl::FindFirst(dir.Path() + "*.tmp", 0, found), 0);
}
#endif

TEST(NsStreams, OwnedByAComponent) {
    // The owner frees the container together with its items.
    gcl::TComponent* owner = gcl::TComponent::Create(nullptr);
    TNsStreams* c = TNsStreams::Create(owner);
    AddStream(*c, "item", Str("data"));
    EXPECT_EQ(owner, c->GetOwner());
    EXPECT_EQ(1, owner->GetComponentCount());
    c->SetCompressed(false);
    EXPECT_EQ(2u + 8u + 4u + 2u + 4u + 4u + 4u, Save(*c).size());
    owner->Free();
}

} // namespace qelvo::test
