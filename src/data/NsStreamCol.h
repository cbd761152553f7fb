// TNsStreams: a container of named byte streams written as one file.
//
// File layout (integers little-endian):
//   byte 0   '&' when the body is compressed, else ' '
//   byte 1   '*' when the body is encrypted, else ' '
//   byte 2.. the body: the item block, compressed by LzhCompressStream when
//            Compressed, then padded and Blowfish-encrypted by EncryptStream
//            when Encrypted with a non-empty Key.
//
// Item block:
//   8 bytes  magic 01 02 03 04 05 06 07 08
//   4 bytes  item count (signed 32-bit)
//   per item, in name order (case-insensitive):
//     2 bytes  name length (unsigned 16-bit), then the name bytes
//     4 bytes  data size (signed 32-bit), then the data bytes
//
// Only the writing side exists. A component: create it with
// TNsStreams::Create(owner) (owner may be null) and free it with Free()
// unless an owner does that.
#pragma once

#include <cstdint>
#include <string>

#include "gcl/rtl/Components.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Streams.h"

namespace qelvo {

class TNsStreams : public gcl::TComponent {
    GCL_CLASS(TNsStreams, gcl::TComponent)
public:
    // The eight bytes that open every item block.
    static constexpr uint8_t ItemMagic[8] = {1, 2, 3, 4, 5, 6, 7, 8};

    bool GetCompressed() const noexcept { return FCompressed; }
    void SetCompressed(bool value) noexcept { FCompressed = value; }
    bool GetEncrypted() const noexcept { return FEncrypted; }
    void SetEncrypted(bool value) noexcept { FEncrypted = value; }
    const std::string& GetKey() const noexcept { return FKey; }
    void SetKey(const std::string& value) { FKey = value; }

    // Number of items and their names, in name order (GetName is the
    // component's own name).
    int GetItemCount() const;
    std::string GetItemName(int index) const;

    // Copies the whole of stream (from its beginning, whatever its
    // position) into a new item named name. Nothing happens for an empty
    // name, a null stream, or a name already present (ignoring case): the
    // first item under a name is kept.
    void AddStream(const std::string& name, gcl::TStream* stream);
    // Frees every item.
    void ClearStreams();

    // Creates or replaces fileName with the container, in one step: on a
    // file error (raised as EFCreateError or EWriteError) a file that was
    // there stays as it was.
    void SaveToFile(const std::string& fileName);
    // Writes the two header bytes and the body at stream's position.
    void SaveToStream(gcl::TStream& stream);
    // Writes the item block at stream's position. Raises EWriteError when
    // a name is longer than 65535 bytes or an item exceeds 2 GiB - 1.
    void WriteItems(gcl::TStream& stream);

protected:
    explicit TNsStreams(gcl::TComponent* owner);
    ~TNsStreams() override;

private:
    bool FCompressed = true;
    bool FEncrypted = false;
    std::string FKey;
    // Sorted, case-insensitive, duplicates ignored; each object is the
    // item's owned TMemoryStream.
    gcl::TStringList FItems;
};

} // namespace qelvo
