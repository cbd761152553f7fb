// Position data: the callback records through which dockable windows hand
// extra layout values to a store the caller owns, the value names the
// windows use, and the calls that read and write one value.
#pragma once

#include <cstdint>
#include <string>

namespace qelvo {

// Returns the stored value, or Default when none is stored.
using TBarReadIntProc = int32_t (*)(const std::string& ToolbarName, const std::string& Value, int32_t Default,
                                    void* ExtraData);
using TBarReadStringProc = std::string (*)(const std::string& ToolbarName, const std::string& Value,
                                           const std::string& Default, void* ExtraData);
using TBarWriteIntProc = void (*)(const std::string& ToolbarName, const std::string& Value, int32_t Data,
                                  void* ExtraData);
using TBarWriteStringProc = void (*)(const std::string& ToolbarName, const std::string& Value,
                                     const std::string& Data, void* ExtraData);

// ExtraData is passed unchanged to every call; ToolbarName is always the
// window component's Name.
struct TBarReadPositionData {
    TBarReadIntProc ReadIntProc = nullptr;
    TBarReadStringProc ReadStringProc = nullptr;
    void* ExtraData = nullptr;
};

struct TBarWritePositionData {
    TBarWriteIntProc WriteIntProc = nullptr;
    TBarWriteStringProc WriteStringProc = nullptr;
    void* ExtraData = nullptr;
};

// Value names: the toolbar's floating width, and a dockable panel's docked,
// floating and split sizes (written and read in this order).
inline constexpr const char* SPosFloatRightX = "FloatRightX";
inline constexpr const char* SPosDPDockedWidth = "DPDockedWidth";
inline constexpr const char* SPosDPDockedHeight = "DPDockedHeight";
inline constexpr const char* SPosDPFloatingWidth = "DPFloatingWidth";
inline constexpr const char* SPosDPFloatingHeight = "DPFloatingHeight";
inline constexpr const char* SPosDPSplitWidth = "DPSplitWidth";
inline constexpr const char* SPosDPSplitHeight = "DPSplitHeight";

// One value through the record; a record without the callback reads
// Default and writes nothing.
int32_t ReadPositionInt(const TBarReadPositionData& Data, const std::string& ToolbarName, const std::string& Value,
                        int32_t Default);
void WritePositionInt(const TBarWritePositionData& Data, const std::string& ToolbarName, const std::string& Value,
                      int32_t Value32);

} // namespace qelvo
