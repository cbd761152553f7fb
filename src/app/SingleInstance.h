// One copy of the program per program folder. The folder holds one
// settings file and one default database, so a second copy there would
// fight the first over both (and could not take the hot key): a second
// start hands over to the running copy, whose window comes forward, and
// ends.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <string>

namespace qelvo {

class TSingleInstance {
public:
    // Claims the folder AppDir for this process (released by the
    // destructor), unless another copy holds it.
    explicit TSingleInstance(const std::string& appDir);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // True when another process holds the folder.
    bool AnotherRuns() const { return FAnother; }
    // Asks the main window of the copy that holds the folder to come
    // forward. A copy still starting (loading its database) has no main
    // window yet: it is waited for up to WaitMs while that copy runs.
    // False when no such window came.
    bool BringOtherForward(unsigned WaitMs = 60000) const;

private:
    std::string FKey;    // the folder's part of the object names
    HANDLE FMutex = nullptr;
    HANDLE FMapping = nullptr;
    bool FAnother = false;
};

// The message a later start posts to the running copy's main window.
UINT ShowRunningCopyMessage();

} // namespace qelvo
