// Small scope guards shared by the class library and the layers on it:
// TRestore (a value for the lifetime of the object), TFlagScope (a flag
// set for it) and TDepth (one nesting level for it). Use these rather than
// a local copy.
#pragma once

namespace gcl {

// Gives target a value for the lifetime of the object and puts the old
// value back.
template <class T>
class TRestore {
public:
    TRestore(T& target, T value) : FTarget(target), FOld(target) { target = value; }
    ~TRestore() { FTarget = FOld; }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;

private:
    T& FTarget;
    T FOld;
};

// Sets a flag for the lifetime of the object and puts the old value back.
class TFlagScope : public TRestore<bool> {
public:
    explicit TFlagScope(bool& flag) noexcept : TRestore<bool>(flag, true) {}
};

// Counts one nesting level for the lifetime of the object. A caller with
// a limit checks the counter after construction (the level is undone when
// it then raises).
class TDepth {
public:
    explicit TDepth(int& depth) noexcept : FDepth(depth) { ++depth; }
    ~TDepth() { --FDepth; }
    TDepth(const TDepth&) = delete;
    TDepth& operator=(const TDepth&) = delete;

private:
    int& FDepth;
};

// The same guard under the name the toolbar's layout pass uses.
template <class T>
using TValueScope = TRestore<T>;

} // namespace gcl
