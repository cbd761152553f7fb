// Position data: reading and writing one value through the caller's callbacks.
#include "toolbar/BarPosition.h"

namespace qelvo {

int32_t ReadPositionInt(const TBarReadPositionData& Data, const std::string& ToolbarName, const std::string& Value,
                        int32_t Default) {
    return Data.ReadIntProc ? Data.ReadIntProc(ToolbarName, Value, Default, Data.ExtraData) : Default;
}

void WritePositionInt(const TBarWritePositionData& Data, const std::string& ToolbarName, const std::string& Value,
                      int32_t Value32) {
    if (Data.WriteIntProc) Data.WriteIntProc(ToolbarName, Value, Value32, Data.ExtraData);
}

} // namespace qelvo
