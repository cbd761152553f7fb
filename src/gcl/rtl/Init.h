// The program's ordered unit initialisation.
//
// Start-up work that must happen in a fixed order (class and format
// registration, global objects, library bindings) lives in TUnit objects,
// which main() runs through one explicit table instead of static
// constructors (whose order is unspecified and which static libraries may
// drop):
//
//     gcl::TUnit ThemesUnit{"Themes", &RegisterThemes, &UnregisterThemes};
//     ...
//     gcl::TUnitScope units{&SettingsUnit, &ThemesUnit, ...};
//
// Each unit counts its initialisations: only the first runs its
// initialiser and only the matching last finalisation its finaliser, so a
// unit listed twice, or used by two tables, runs once. Finalisation runs
// in reverse order.
#pragma once

#include <initializer_list>
#include <vector>

namespace gcl {

class TUnit {
public:
    constexpr TUnit(const char* name, void (*initialize)(), void (*finalize)() = nullptr) noexcept
        : FName(name), FInitialize(initialize), FFinalize(finalize) {}
    TUnit(const TUnit&) = delete;
    TUnit& operator=(const TUnit&) = delete;

    const char* Name() const noexcept { return FName; }
    int InitCount() const noexcept { return FCount; }
    // The first call runs the initialiser. When it raises, the unit stays
    // uninitialised and the error propagates.
    void Initialize();
    // The call matching the first Initialize runs the finaliser. Errors
    // from a finaliser are dropped: shutdown goes on.
    void Finalize() noexcept;

private:
    const char* FName;
    void (*FInitialize)();
    void (*FFinalize)();
    int FCount = 0;
};

// Called with a unit's name once it is initialised (for a start-up log).
using TUnitStarted = void (*)(const char* Name);

// Initialises units in order, calling Started (when given) after each.
// When one raises, the ones already done are finalised in reverse order
// and the error propagates.
void InitializeUnits(std::initializer_list<TUnit*> units);
void InitializeUnits(const std::vector<TUnit*>& units, TUnitStarted Started = nullptr);
// Finalises units in reverse order.
void FinalizeUnits(const std::vector<TUnit*>& units) noexcept;

// Initialises a table for its lifetime.
class TUnitScope {
public:
    TUnitScope(std::initializer_list<TUnit*> units);
    explicit TUnitScope(std::vector<TUnit*> units, TUnitStarted Started = nullptr);
    ~TUnitScope();
    TUnitScope(const TUnitScope&) = delete;
    TUnitScope& operator=(const TUnitScope&) = delete;

private:
    std::vector<TUnit*> FUnits;
};

} // namespace gcl
