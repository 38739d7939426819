#pragma once

#include <functional>

class ProfileFile;

// The single-instance wait at start-up, on the running flag "開始モード" and on
// whether another copy is running. Returns false when this copy must end at once,
// without touching the settings file; otherwise the flag is set and it returns true.
//
// A flag and a running copy that disagree (a crash left the flag at 1, or another
// copy is just starting) get up to two waits of a second to settle.
bool CheckStartMode(const ProfileFile& profile, const std::function<bool()>& previousInstanceRunning,
                    const std::function<void(int milliseconds)>& sleep);
