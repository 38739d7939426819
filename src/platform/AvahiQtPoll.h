#pragma once

#include <avahi-common/watch.h>

// Avahi's main-loop interface on Qt's event loop: watches become socket notifiers
// and timeouts single-shot timers, so the client runs on the user-interface thread.
class AvahiQtPoll {
public:
    AvahiQtPoll();
    const AvahiPoll* api() const { return &m_api; }

private:
    AvahiPoll m_api;
};
