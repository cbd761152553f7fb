// Fixed-size memory slots for objects made and freed by the hundred
// thousand (the items of a list): slots side by side in 64 KB blocks
// instead of one heap block each, which costs the heap's lock and
// bookkeeping every time and scatters neighbours over memory.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <unordered_set>

namespace gcl {

// Blocks are aligned to their size, so a slot finds its block from its own
// address. A block goes back to the system when its last slot is given
// back; one empty block is kept for the next slot. Taking and giving are
// thread-safe. In builds with the address sanitizer every slot is a heap
// block of its own, so that the sanitizer still sees each object.
//
// For objects made and freed a block at a time, a pool can also keep a
// mark per slot and some bytes of its owner's per block (TSlotExtras):
// TakeBlock hands out every slot of an empty block, each marked, and
// giving back all the taken slots of a block together empties it without
// touching them. What a mark means is the owner's business; a slot loses
// its mark when it is given back or unmarked.
struct TSlotExtras {
    bool Marks = false;          // a mark per slot
    std::size_t BlockData = 0;   // bytes of the owner's per block, zero in a block from TakeBlock
};

class TSlotPool {
public:
    static constexpr std::size_t BlockSize = 64 * 1024;
#if defined(__SANITIZE_ADDRESS__)
    static constexpr bool Pooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    static constexpr bool Pooled = false;
#else
    static constexpr bool Pooled = true;
#endif
#else
    static constexpr bool Pooled = true;
#endif

    // Slots of at least Size bytes (at most a quarter of a block), aligned
    // to Align (any object's alignment by default; at least a pointer's).
    explicit TSlotPool(std::size_t Size, std::size_t Align = alignof(std::max_align_t), TSlotExtras Extras = {});
    TSlotPool(const TSlotPool&) = delete;
    TSlotPool& operator=(const TSlotPool&) = delete;
    // Gives every block back; slots still taken die with them.
    ~TSlotPool();

    std::size_t SlotSize() const noexcept { return FSlotSize; }
    // A slot of SlotSize bytes; std::bad_alloc when the system has no
    // memory left.
    void* Take();
    // Count slots into Slots under one lock (all or none).
    void TakeMany(void** Slots, std::size_t Count);
    // Gives back a slot taken from this pool (nullptr is ignored).
    void Give(void* Slot) noexcept;
    // Slots of one block given back together with every other slot taken
    // from it empty the block at once.
    void GiveMany(void* const* Slots, std::size_t Count) noexcept;
    // The blocks held now.
    std::size_t BlockCount() const noexcept;
    // While held (Hold, then Release; they nest), a block whose last slot
    // is given back stays with the pool for the slots taken next instead
    // of going back to the system, so that many objects freed and made
    // again reuse memory already in place; the last Release gives back
    // every empty block but one.
    void Hold() noexcept;
    void Release() noexcept;

    // Every slot of an empty block, marked, in the order of their
    // addresses: the first is returned, the others follow SlotSize()
    // bytes apart, Count in all. Without pooling (sanitizer builds) one
    // unmarked slot.
    void* TakeBlock(std::size_t& Count);
    // True when Address lies in a slot of this pool (taken or not).
    bool Owns(const void* Address) const noexcept;
    // Clears the mark of the slot holding Address; any other address is
    // ignored.
    void Unmark(const void* Address) noexcept;
    // For a slot taken from this pool: its mark, its place in its block
    // (0 for the first slot), and its block's data (BlockData bytes).
    bool Marked(const void* Slot) const noexcept {
        const TMarkWord* marks = Marks(Slot);
        if (!marks) return false;
        const std::size_t i = SlotIndex(Slot);
        return (marks[i / MarkBits].load(std::memory_order_relaxed) >> (i % MarkBits)) & 1;
    }
    // The marks of the block holding Slot, for a walk over many of its
    // slots: slot I's mark is bit I % MarkBits of word I / MarkBits. Null
    // in a pool without marks.
    using TMarkWord = std::atomic<std::size_t>;
    static constexpr std::size_t MarkBits = sizeof(std::size_t) * 8;
    const TMarkWord* Marks(const void* Slot) const noexcept {
        if (!Pooled || !FMarksOffset) return nullptr;
        return MarkWords(BlockOf(Slot));
    }
    std::size_t SlotIndex(const void* Slot) const noexcept {
        const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(Slot) % BlockSize - FHeaderSize;
        return static_cast<std::size_t>((std::uint64_t(offset) * FIndexFactor) >> 32);
    }
    void* BlockData(const void* Slot) const noexcept {
        return reinterpret_cast<char*>(BlockOf(Slot)) + FDataOffset;
    }
    // The slots a block holds.
    std::size_t SlotsPerBlock() const noexcept { return FSlotCount; }

private:
    struct TBlock {
        TBlock* Prev;
        TBlock* Next;
        void* Free;           // slots given back, linked through themselves
        std::uint32_t Live;   // slots in use
        std::uint32_t Fresh;  // slots never used yet start here
    };
    class TLock;

    static TBlock* BlockOf(const void* Slot) noexcept {
        return reinterpret_cast<TBlock*>(reinterpret_cast<std::uintptr_t>(Slot) & ~std::uintptr_t(BlockSize - 1));
    }
    TMarkWord* MarkWords(TBlock* B) const noexcept {
        return reinterpret_cast<TMarkWord*>(reinterpret_cast<char*>(B) + FMarksOffset);
    }
    void* TakeLocked();
    void GiveLocked(void* Slot) noexcept;
    // B has no taken slot left.
    void Emptied(TBlock* B) noexcept;
    void ClearMarks(TBlock* B) noexcept;
    void ClearMark(TBlock* B, const void* Slot) noexcept;
    TBlock* NewBlock();
    void DropBlock(TBlock* B) noexcept;
    TBlock* OwnerBlock(const void* Address) const noexcept;
    static void Unlink(TBlock* B) noexcept;
    static void LinkFirst(TBlock& Head, TBlock* B) noexcept;
    void FreeList(TBlock& Head) noexcept;

    std::size_t FSlotSize;
    std::size_t FHeaderSize;
    std::size_t FMarksOffset = 0;  // 0: no marks
    std::size_t FMarkWordCount = 0;
    std::size_t FDataOffset = 0;
    std::size_t FDataSize = 0;
    std::uint64_t FIndexFactor = 0;  // 2^32 / FSlotSize, rounded up
    std::uint32_t FSlotCount;
    mutable std::atomic_flag FLock = ATOMIC_FLAG_INIT;
    TBlock FOpen;  // blocks with a free slot (the list's own head)
    TBlock FFull;  // blocks without one
    TBlock* FSpare = nullptr;  // an empty block kept for the next slot
    std::size_t FBlockCount = 0;
    std::size_t FHolds = 0;
    std::unordered_set<const void*> FBlocks;  // every block held, for Owns
};

// Small blocks of graded sizes (up to MaxSize bytes), each size from a slot
// pool of its own; larger blocks come from the heap. For the texts and
// arrays that objects kept by the hundred thousand hold, which would
// otherwise cost a heap block each.
class TSlotPools {
public:
    static constexpr std::size_t MaxSize = 256;

    TSlotPools();
    TSlotPools(const TSlotPools&) = delete;
    TSlotPools& operator=(const TSlotPools&) = delete;
    ~TSlotPools();

    // A block of at least Size bytes; std::bad_alloc when there is none.
    void* Take(std::size_t Size);
    // Gives back a block taken with the same Size (nullptr is ignored).
    void Give(void* Block, std::size_t Size) noexcept;
    // The blocks the pools hold now (the heap's not counted).
    std::size_t BlockCount() const noexcept;
    // Holds (and releases) every size's pool, as TSlotPool::Hold does one:
    // while held, the small blocks of objects freed by the thousand (a
    // list's groups) stay for those made next.
    void Hold() noexcept;
    void Release() noexcept;

private:
    static constexpr std::size_t Classes = 12;
    static std::size_t ClassOf(std::size_t Size) noexcept;
    std::unique_ptr<TSlotPool> FPools[Classes];
};

// The process's small-block pools; never destroyed, so that a block may be
// given back as late as the end of the process.
TSlotPools& SmallSlots();

// A standard allocator over SmallSlots(): containers and strings of it keep
// their storage in pooled slots.
template <class T>
struct TSlotAllocator {
    using value_type = T;
    static_assert(alignof(T) <= alignof(std::max_align_t), "slots are aligned for any object");

    TSlotAllocator() noexcept = default;
    template <class U>
    TSlotAllocator(const TSlotAllocator<U>&) noexcept {}

    T* allocate(std::size_t Count) {
        if (Count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(SmallSlots().Take(Count * sizeof(T)));
    }
    void deallocate(T* P, std::size_t Count) noexcept { SmallSlots().Give(P, Count * sizeof(T)); }

    template <class U>
    bool operator==(const TSlotAllocator<U>&) const noexcept {
        return true;
    }
};

// The system's memory for one block: BlockSize bytes aligned to BlockSize
// (nullptr when there is none), and its release. Blocks come from regions
// of SlotRegionBlocks blocks, each given back to the system with its last
// block, so that freeing many blocks together makes few system calls.
void* AllocateSlotBlock() noexcept;
void FreeSlotBlock(void* Block) noexcept;
inline constexpr std::size_t SlotRegionBlocks = 16;
// The system's own calls for one region: SlotRegionBlocks * BlockSize
// bytes aligned to BlockSize (nullptr when there is none), and its release.
void* AllocateSlotRegion() noexcept;
void FreeSlotRegion(void* Region) noexcept;

} // namespace gcl
