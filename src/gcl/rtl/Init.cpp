#include "gcl/rtl/Init.h"

#include <cstddef>
#include <utility>

namespace gcl {

void TUnit::Initialize() {
    if (FCount == 0 && FInitialize) FInitialize();
    ++FCount;
}

void TUnit::Finalize() noexcept {
    if (FCount == 0) return;
    if (--FCount > 0 || !FFinalize) return;
    try {
        FFinalize();
    } catch (...) {
    }
}

void InitializeUnits(std::initializer_list<TUnit*> units) {
    InitializeUnits(std::vector<TUnit*>(units));
}

void InitializeUnits(const std::vector<TUnit*>& units, TUnitStarted Started) {
    std::size_t done = 0;
    try {
        while (done < units.size()) {
            units[done]->Initialize();
            ++done;
            if (Started) Started(units[done - 1]->Name());
        }
    } catch (...) {
        while (done > 0) units[--done]->Finalize();
        throw;
    }
}

void FinalizeUnits(const std::vector<TUnit*>& units) noexcept {
    for (std::size_t i = units.size(); i > 0; --i) units[i - 1]->Finalize();
}

TUnitScope::TUnitScope(std::initializer_list<TUnit*> units) : FUnits(units) { InitializeUnits(FUnits); }

TUnitScope::TUnitScope(std::vector<TUnit*> units, TUnitStarted Started) : FUnits(std::move(units)) {
    InitializeUnits(FUnits, Started);
}

TUnitScope::~TUnitScope() { FinalizeUnits(FUnits); }

} // namespace gcl
