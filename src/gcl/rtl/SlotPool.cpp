// The slot pool: blocks of fixed-size slots with their own free lists, and
// the regions of the system's memory the blocks come from.
#include "gcl/rtl/SlotPool.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <thread>

namespace gcl {

namespace {
constexpr std::size_t RoundUp(std::size_t value, std::size_t unit) { return (value + unit - 1) / unit * unit; }
constexpr std::size_t SlotAlign(std::size_t Align) { return Align < alignof(void*) ? alignof(void*) : Align; }
} // namespace

// A spin lock: the work under it is a few pointer moves, and a holder that
// lost its time slice gets the processor back through the yield.
class TSlotPool::TLock {
public:
    explicit TLock(std::atomic_flag& Flag) noexcept : FFlag(Flag) {
        for (unsigned spins = 1; FFlag.test_and_set(std::memory_order_acquire); ++spins)
            if (spins % 64 == 0) std::this_thread::yield();
    }
    ~TLock() { FFlag.clear(std::memory_order_release); }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

private:
    std::atomic_flag& FFlag;
};

TSlotPool::TSlotPool(std::size_t Size, std::size_t Align, TSlotExtras Extras)
    : FSlotSize(RoundUp(Size < sizeof(void*) ? sizeof(void*) : Size, SlotAlign(Align))),
      FHeaderSize(RoundUp(sizeof(TBlock), SlotAlign(Align))),
      FSlotCount(0),
      FOpen{&FOpen, &FOpen, nullptr, 0, 0},
      FFull{&FFull, &FFull, nullptr, 0, 0} {
    if (FSlotSize > BlockSize / 4) throw std::bad_alloc();
    FSlotCount = static_cast<std::uint32_t>((BlockSize - FHeaderSize) / FSlotSize);
    if (Extras.Marks || Extras.BlockData) {
        // The header grows by the marks and the owner's data; as many
        // slots as still fit after it.
        constexpr std::size_t unit = alignof(std::max_align_t);
        for (;;) {
            const std::size_t words = Extras.Marks ? (FSlotCount + MarkBits - 1) / MarkBits : 0;
            const std::size_t marks = RoundUp(sizeof(TBlock), unit);
            const std::size_t data = RoundUp(marks + words * sizeof(TMarkWord), unit);
            const std::size_t header = RoundUp(data + Extras.BlockData, SlotAlign(Align));
            if (header + std::size_t(FSlotCount) * FSlotSize <= BlockSize) {
                FMarksOffset = Extras.Marks ? marks : 0;
                FMarkWordCount = words;
                FDataOffset = data;
                FDataSize = Extras.BlockData;
                FHeaderSize = header;
                break;
            }
            if (--FSlotCount == 0) throw std::bad_alloc();
        }
    }
    FIndexFactor = ((std::uint64_t(1) << 32) + FSlotSize - 1) / FSlotSize;
}

TSlotPool::~TSlotPool() {
    FreeList(FOpen);
    FreeList(FFull);
}

void* TSlotPool::Take() {
    if (!Pooled) return ::operator new(FSlotSize);
    TLock lock(FLock);
    return TakeLocked();
}

void TSlotPool::TakeMany(void** Slots, std::size_t Count) {
    std::size_t taken = 0;
    try {
        if (!Pooled) {
            for (; taken < Count; ++taken) Slots[taken] = ::operator new(FSlotSize);
            return;
        }
        TLock lock(FLock);
        for (; taken < Count; ++taken) Slots[taken] = TakeLocked();
    } catch (...) {
        GiveMany(Slots, taken);
        throw;
    }
}

void* TSlotPool::TakeBlock(std::size_t& Count) {
    if (!Pooled) {
        Count = 1;
        return ::operator new(FSlotSize);
    }
    TLock lock(FLock);
    TBlock* b = FSpare;
    if (b) {
        FSpare = nullptr;
    } else {
        b = NewBlock();
    }
    // Empty: every slot is taken at once, in order.
    Unlink(b);
    LinkFirst(FFull, b);
    b->Free = nullptr;
    b->Live = FSlotCount;
    b->Fresh = FSlotCount;
    if (FMarksOffset) {
        TMarkWord* words = MarkWords(b);
        for (std::size_t w = 0; w < FMarkWordCount; ++w) {
            const std::size_t bits = std::min<std::size_t>(MarkBits, FSlotCount - w * MarkBits);
            words[w].store(bits == MarkBits ? ~std::size_t(0) : (std::size_t(1) << bits) - 1, std::memory_order_relaxed);
        }
    }
    if (FDataSize) std::memset(reinterpret_cast<char*>(b) + FDataOffset, 0, FDataSize);
    Count = FSlotCount;
    return reinterpret_cast<char*>(b) + FHeaderSize;
}

TSlotPool::TBlock* TSlotPool::OwnerBlock(const void* Address) const noexcept {
    TBlock* b = BlockOf(Address);
    if (reinterpret_cast<const char*>(Address) < reinterpret_cast<const char*>(b) + FHeaderSize) return nullptr;
    return FBlocks.count(b) ? b : nullptr;
}

bool TSlotPool::Owns(const void* Address) const noexcept {
    if (!Pooled) return false;
    TLock lock(FLock);
    return OwnerBlock(Address) != nullptr;
}

void TSlotPool::Unmark(const void* Address) noexcept {
    if (!Pooled || !FMarksOffset) return;
    TLock lock(FLock);
    if (TBlock* b = OwnerBlock(Address)) {
        const std::size_t i = SlotIndex(Address);
        if (i < FSlotCount) ClearMark(b, Address);
    }
}

void TSlotPool::ClearMark(TBlock* B, const void* Slot) noexcept {
    const std::size_t i = SlotIndex(Slot);
    MarkWords(B)[i / MarkBits].fetch_and(~(std::size_t(1) << (i % MarkBits)), std::memory_order_relaxed);
}

void TSlotPool::ClearMarks(TBlock* B) noexcept {
    TMarkWord* words = MarkWords(B);
    for (std::size_t w = 0; w < FMarkWordCount; ++w) words[w].store(0, std::memory_order_relaxed);
}

void* TSlotPool::TakeLocked() {
    TBlock* b = FOpen.Next;
    if (b == &FOpen) b = NewBlock();
    void* slot;
    if (b->Free) {
        slot = b->Free;
        b->Free = *static_cast<void**>(slot);
    } else {
        slot = reinterpret_cast<char*>(b) + FHeaderSize + b->Fresh * FSlotSize;
        ++b->Fresh;
    }
    if (++b->Live == FSlotCount) {
        Unlink(b);
        LinkFirst(FFull, b);
    }
    if (b == FSpare) FSpare = nullptr;
    return slot;
}

void TSlotPool::Give(void* Slot) noexcept {
    if (!Slot) return;
    if (!Pooled) return ::operator delete(Slot);
    TLock lock(FLock);
    GiveLocked(Slot);
}

void TSlotPool::GiveMany(void* const* Slots, std::size_t Count) noexcept {
    if (!Pooled) {
        for (std::size_t i = 0; i < Count; ++i) ::operator delete(Slots[i]);
        return;
    }
    TLock lock(FLock);
    for (std::size_t i = 0; i < Count;) {
        if (!Slots[i]) {
            ++i;
            continue;
        }
        // The run of slots of one block: all it holds empties it without
        // a look at each.
        TBlock* b = BlockOf(Slots[i]);
        std::size_t j = i + 1;
        while (j < Count && Slots[j] && BlockOf(Slots[j]) == b) ++j;
        if (j - i == b->Live) {
            if (b->Live == FSlotCount) {
                Unlink(b);
                LinkFirst(FOpen, b);
            }
            b->Live = 0;
            b->Free = nullptr;
            b->Fresh = 0;
            if (FMarksOffset) ClearMarks(b);
            Emptied(b);
        } else {
            for (std::size_t k = i; k < j; ++k) GiveLocked(Slots[k]);
        }
        i = j;
    }
}

std::size_t TSlotPool::BlockCount() const noexcept {
    TLock lock(FLock);
    return FBlockCount;
}

void TSlotPool::GiveLocked(void* Slot) noexcept {
    TBlock* b = BlockOf(Slot);
    if (FMarksOffset) ClearMark(b, Slot);
    *static_cast<void**>(Slot) = b->Free;
    b->Free = Slot;
    if (b->Live-- == FSlotCount) {  // open again
        Unlink(b);
        LinkFirst(FOpen, b);
    }
    if (b->Live == 0) Emptied(b);
}

void TSlotPool::Hold() noexcept {
    TLock lock(FLock);
    ++FHolds;
}

void TSlotPool::Release() noexcept {
    TLock lock(FLock);
    if (FHolds == 0 || --FHolds > 0) return;
    // The empty blocks kept meanwhile are all open ones. As many stay as
    // there are blocks in use (objects made again as many as before take
    // no new memory), at least the one spare.
    std::size_t empty = 0;
    for (TBlock* b = FOpen.Next; b != &FOpen; b = b->Next) empty += b->Live == 0;
    std::size_t keep = std::max<std::size_t>(FBlockCount - empty, 1);
    for (TBlock* b = FOpen.Next; b != &FOpen;) {
        TBlock* next = b->Next;
        if (b->Live == 0) {
            if (keep > 0) {
                --keep;
                if (!FSpare) FSpare = b;
            } else if (b != FSpare) {
                DropBlock(b);
            }
        }
        b = next;
    }
}

void TSlotPool::Emptied(TBlock* B) noexcept {
    // No slot of the block is in use: it hands them out afresh, in order
    // from its start, rather than along the list of slots given back
    // (each a read of memory not touched lately, and objects made
    // together then scattered over the block).
    B->Free = nullptr;
    B->Fresh = 0;
    if (B == FSpare || FHolds > 0) return;
    // Keep one empty block; give back the one kept before.
    if (FSpare) DropBlock(FSpare);
    FSpare = B;
}

TSlotPool::TBlock* TSlotPool::NewBlock() {
    void* memory = AllocateSlotBlock();
    if (!memory) throw std::bad_alloc();
    auto* b = static_cast<TBlock*>(memory);
    try {
        FBlocks.insert(b);
    } catch (...) {
        FreeSlotBlock(memory);
        throw;
    }
    b->Free = nullptr;
    b->Live = 0;
    b->Fresh = 0;
    if (FMarksOffset) new (MarkWords(b)) TMarkWord[FMarkWordCount]{};
    LinkFirst(FOpen, b);
    ++FBlockCount;
    return b;
}

void TSlotPool::DropBlock(TBlock* B) noexcept {
    Unlink(B);
    FBlocks.erase(B);
    FreeSlotBlock(B);
    --FBlockCount;
}

void TSlotPool::Unlink(TBlock* B) noexcept {
    B->Prev->Next = B->Next;
    B->Next->Prev = B->Prev;
    B->Prev = B->Next = nullptr;
}

void TSlotPool::LinkFirst(TBlock& Head, TBlock* B) noexcept {
    B->Prev = &Head;
    B->Next = Head.Next;
    Head.Next->Prev = B;
    Head.Next = B;
}

void TSlotPool::FreeList(TBlock& Head) noexcept {
    for (TBlock* b = Head.Next; b != &Head;) {
        TBlock* next = b->Next;
        FBlocks.erase(b);
        FreeSlotBlock(b);
        b = next;
    }
    Head.Next = Head.Prev = &Head;
}

// ---- Graded sizes ----------------------------------------------------------

// Steps of 16 bytes up to 128, then of 32 up to MaxSize.
std::size_t TSlotPools::ClassOf(std::size_t Size) noexcept {
    if (Size <= 128) return Size == 0 ? 0 : (Size - 1) / 16;
    return 8 + (Size - 129) / 32;
}

TSlotPools::TSlotPools() {
    for (std::size_t c = 0; c < Classes; ++c)
        FPools[c] = std::make_unique<TSlotPool>(c < 8 ? (c + 1) * 16 : 128 + (c - 7) * 32);
}

TSlotPools::~TSlotPools() = default;

void* TSlotPools::Take(std::size_t Size) {
    if (Size > MaxSize) return ::operator new(Size);
    return FPools[ClassOf(Size)]->Take();
}

void TSlotPools::Give(void* Block, std::size_t Size) noexcept {
    if (!Block) return;
    if (Size > MaxSize) return ::operator delete(Block);
    FPools[ClassOf(Size)]->Give(Block);
}

std::size_t TSlotPools::BlockCount() const noexcept {
    std::size_t count = 0;
    for (const auto& pool : FPools) count += pool->BlockCount();
    return count;
}

void TSlotPools::Hold() noexcept {
    for (const auto& pool : FPools) pool->Hold();
}

void TSlotPools::Release() noexcept {
    for (const auto& pool : FPools) pool->Release();
}

TSlotPools& SmallSlots() {
    static TSlotPools* const pools = new TSlotPools();
    return *pools;
}

// ---- The system's blocks ----------------------------------------------------------

namespace {

constexpr std::size_t RegionSize = SlotRegionBlocks * TSlotPool::BlockSize;
constexpr std::uint32_t AllBlocks = (std::uint32_t(1) << SlotRegionBlocks) - 1;
static_assert(SlotRegionBlocks <= 32);

// The regions held, each with a bit per block handed out; a region goes
// back to the system when its last block does.
class TRegions {
public:
    void* Take() noexcept {
        std::lock_guard<std::mutex> lock(FLock);
        void* block = nullptr;
        auto it = FRegions.find(FHint);
        if (it == FRegions.end() || it->second == AllBlocks)
            for (it = FRegions.begin(); it != FRegions.end() && it->second == AllBlocks; ++it) {
            }
        if (it == FRegions.end()) it = NewRegion();
        if (it != FRegions.end()) {
            const unsigned i = static_cast<unsigned>(__builtin_ctz(~it->second));
            it->second |= std::uint32_t(1) << i;
            FHint = it->first;
            block = reinterpret_cast<void*>(it->first + i * TSlotPool::BlockSize);
        }
        return block;
    }

    void Give(void* Block) noexcept {
        const auto address = reinterpret_cast<std::uintptr_t>(Block);
        std::lock_guard<std::mutex> lock(FLock);
        auto it = FRegions.upper_bound(address);
        if (it != FRegions.begin()) {
            --it;
            if (address - it->first < RegionSize) {
                it->second &= ~(std::uint32_t(1) << ((address - it->first) / TSlotPool::BlockSize));
                if (it->second == 0) {
                    FreeSlotRegion(reinterpret_cast<void*>(it->first));
                    FRegions.erase(it);
                }
            }
        }
    }

private:
    std::map<std::uintptr_t, std::uint32_t>::iterator NewRegion() noexcept {
        void* memory = AllocateSlotRegion();
        if (!memory) return FRegions.end();
        try {
            return FRegions.emplace(reinterpret_cast<std::uintptr_t>(memory), 0).first;
        } catch (...) {
            FreeSlotRegion(memory);
            return FRegions.end();
        }
    }

    std::mutex FLock;
    std::map<std::uintptr_t, std::uint32_t> FRegions;  // base -> blocks handed out
    std::uintptr_t FHint = 0;                         // the region a block came from last
};

// Never destroyed: blocks may be given back as late as the end of the
// process.
TRegions& Regions() {
    static TRegions* const regions = new TRegions;
    return *regions;
}

} // namespace

void* AllocateSlotBlock() noexcept { return Regions().Take(); }

void FreeSlotBlock(void* Block) noexcept { Regions().Give(Block); }

} // namespace gcl
