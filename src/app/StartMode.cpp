#include "app/StartMode.h"

#include "app/Settings.h"

bool CheckStartMode(const ProfileFile& profile, const std::function<bool()>& previousInstanceRunning,
                    const std::function<void(int)>& sleep) {
    qint16 mode = ReadStartMode(profile);
    bool running = previousInstanceRunning();
    if (mode == 1 && running)
        return false;
    for (int wait = 0; wait < 2 && !(mode == 0 && !running); ++wait) {
        sleep(1000);
        mode = ReadStartMode(profile);
        running = previousInstanceRunning();
    }
    // A copy that is still running after the waits owns the data file; a second
    // one saving over it would lose that copy's notes.
    if (running)
        return false;
    WriteRunningFlag(profile, true);
    return true;
}
