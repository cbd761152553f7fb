// Small scope guards shared by the class library and the layers on it.
#pragma once

namespace gcl {

// Sets a flag for the lifetime of the object and puts the old value back.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) noexcept : FFlag(flag), FOld(flag) { flag = true; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

// Gives a variable a value for the lifetime of the object and puts the old
// value back.
template <class T>
class TValueScope {
public:
    TValueScope(T& target, T value) : FTarget(target), FOld(target) { target = value; }
    ~TValueScope() { FTarget = FOld; }
    TValueScope(const TValueScope&) = delete;
    TValueScope& operator=(const TValueScope&) = delete;

private:
    T& FTarget;
    T FOld;
};

} // namespace gcl
