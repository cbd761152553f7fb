#include "data/NsStreamCol.h"

#include <limits>
#include <memory>

#include "data/NsStreamRoutines.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Files.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TNsStreams)

namespace {

void WriteU16(gcl::TStream& stream, uint16_t v) {
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    stream.WriteBuffer(b, 2);
}

void WriteI32(gcl::TStream& stream, int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    stream.WriteBuffer(b, 4);
}

} // namespace

TNsStreams::TNsStreams(gcl::TComponent* owner) : gcl::TComponent(owner) {
    FItems.SetSorted(true);
    FItems.SetDuplicates(gcl::dupIgnore);
}

TNsStreams::~TNsStreams() {
    ClearStreams();
}

int TNsStreams::GetItemCount() const {
    return FItems.GetCount();
}

std::string TNsStreams::GetItemName(int index) const {
    return FItems.Get(index);
}

void TNsStreams::AddStream(const std::string& name, gcl::TStream* stream) {
    if (name.empty() || !stream) return;
    if (FItems.IndexOf(name) >= 0) return;
    auto item = std::make_unique<gcl::TMemoryStream>();
    item->CopyFrom(*stream, 0);
    FItems.AddObject(name, item.get());
    item.release();
}

void TNsStreams::ClearStreams() {
    for (int i = 0; i < FItems.GetCount(); ++i) {
        delete static_cast<gcl::TMemoryStream*>(FItems.GetObject(i));
        FItems.PutObject(i, nullptr);
    }
    FItems.Clear();
}

void TNsStreams::WriteItems(gcl::TStream& stream) {
    stream.WriteBuffer(ItemMagic, sizeof ItemMagic);
    WriteI32(stream, FItems.GetCount());
    for (int i = 0; i < FItems.GetCount(); ++i) {
        const std::string name = FItems.Get(i);
        auto* data = static_cast<gcl::TMemoryStream*>(FItems.GetObject(i));
        // The lengths are fixed-width fields: refuse what they cannot hold
        // rather than write a container that reads back wrong.
        if (name.size() > 0xFFFF) throw gcl::EWriteError("Stream name too long: " + name.substr(0, 64));
        const int64_t size = data->GetSize();
        if (size > std::numeric_limits<int32_t>::max())
            throw gcl::EWriteError("Stream too large: " + name);
        WriteU16(stream, static_cast<uint16_t>(name.size()));
        stream.WriteBuffer(name.data(), static_cast<int32_t>(name.size()));
        WriteI32(stream, static_cast<int32_t>(size));
        if (size > 0) stream.WriteBuffer(data->GetMemory(), static_cast<int32_t>(size));
    }
}

void TNsStreams::SaveToStream(gcl::TStream& stream) {
    gcl::TMemoryStream block;
    WriteItems(block);
    block.Seek(0, gcl::soBeginning);

    gcl::TMemoryStream body;
    if (FCompressed)
        LzhCompressStream(block, body);
    else
        body.CopyFrom(block, 0);

    // The second flag tells a reader to decrypt, so it is set only when
    // the body really was encrypted (a rejected key leaves it plain).
    bool encrypted = false;
    if (FEncrypted && !FKey.empty()) encrypted = EncryptStream(body, FKey);

    const uint8_t header[2] = {static_cast<uint8_t>(FCompressed ? '&' : ' '),
                               static_cast<uint8_t>(encrypted ? '*' : ' ')};
    stream.WriteBuffer(header, 2);
    stream.CopyFrom(body, 0);
}

void TNsStreams::SaveToFile(const std::string& fileName) {
    // The whole container is built first and then takes the file's place
    // in one step: an error while building or writing it (the disk full,
    // the file locked or made read-only meanwhile) leaves the file that
    // was there as it was.
    gcl::TMemoryStream content;
    SaveToStream(content);
    gcl::TAtomicFileWriter file(fileName);
    if (file.Write(content.GetMemory(), static_cast<size_t>(content.GetSize())) && file.Commit()) return;
    const unsigned long code = gcl::detail::LastSystemError();
    file.Abort();
    throw gcl::EFCreateError(gcl::detail::FormatFileError(gcl::msg::FCreateError, fileName, code));
}

} // namespace qelvo
