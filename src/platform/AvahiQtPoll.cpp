#include "platform/AvahiQtPoll.h"

#include <avahi-common/timeval.h>

#include <QSocketNotifier>
#include <QTimer>

struct AvahiWatch {
    QSocketNotifier* in = nullptr;
    QSocketNotifier* out = nullptr;
    AvahiWatchCallback callback;
    void* userdata;
    AvahiWatchEvent happened = AvahiWatchEvent(0);
};

struct AvahiTimeout {
    QTimer* timer = nullptr;
    AvahiTimeoutCallback callback;
    void* userdata;
};

namespace {

void watchUpdate(AvahiWatch* w, AvahiWatchEvent events) {
    w->in->setEnabled(events & AVAHI_WATCH_IN);
    w->out->setEnabled(events & AVAHI_WATCH_OUT);
}

AvahiWatch* watchNew(const AvahiPoll*, int fd, AvahiWatchEvent events, AvahiWatchCallback callback, void* userdata) {
    auto* w = new AvahiWatch{nullptr, nullptr, callback, userdata};
    w->in = new QSocketNotifier(fd, QSocketNotifier::Read);
    w->out = new QSocketNotifier(fd, QSocketNotifier::Write);
    const auto fire = [w, fd](AvahiWatchEvent event) {
        w->happened = event;
        w->callback(w, fd, event, w->userdata);
    };
    QObject::connect(w->in, &QSocketNotifier::activated, w->in, [fire] { fire(AVAHI_WATCH_IN); });
    QObject::connect(w->out, &QSocketNotifier::activated, w->out, [fire] { fire(AVAHI_WATCH_OUT); });
    watchUpdate(w, events);
    return w;
}

AvahiWatchEvent watchGetEvents(AvahiWatch* w) {
    return w->happened;
}

void watchFree(AvahiWatch* w) {
    // Avahi frees a watch from inside its own callback.
    for (QSocketNotifier* n : {w->in, w->out}) {
        n->setEnabled(false);
        n->deleteLater();
    }
    delete w;
}

void timeoutUpdate(AvahiTimeout* t, const struct timeval* when) {
    t->timer->stop();
    if (!when)
        return;
    const AvahiUsec late = avahi_age(when); // negative while still ahead
    t->timer->start(late >= 0 ? 0 : int(-late / 1000));
}

AvahiTimeout* timeoutNew(const AvahiPoll*, const struct timeval* when, AvahiTimeoutCallback callback, void* userdata) {
    auto* t = new AvahiTimeout{new QTimer, callback, userdata};
    t->timer->setSingleShot(true);
    QObject::connect(t->timer, &QTimer::timeout, t->timer, [t] { t->callback(t, t->userdata); });
    timeoutUpdate(t, when);
    return t;
}

void timeoutFree(AvahiTimeout* t) {
    t->timer->stop();
    t->timer->deleteLater();
    delete t;
}

} // namespace

AvahiQtPoll::AvahiQtPoll() {
    m_api.userdata = this;
    m_api.watch_new = watchNew;
    m_api.watch_update = watchUpdate;
    m_api.watch_get_events = watchGetEvents;
    m_api.watch_free = watchFree;
    m_api.timeout_new = timeoutNew;
    m_api.timeout_update = timeoutUpdate;
    m_api.timeout_free = timeoutFree;
}
