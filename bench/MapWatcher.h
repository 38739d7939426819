#pragma once

#include <QElapsedTimer>
#include <QHash>

#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <memory>

// Counts, as the X server reports them, the top-level windows of one process that
// get mapped. It listens for events instead of walking the window tree, so the
// measuring costs the server nothing while hundreds of windows come up.
class MapWatcher {
public:
    MapWatcher()
        : m_connection(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(m_connection))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        listen(m_root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
        const char name[] = "_NET_WM_PID";
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, sizeof name - 1, name), nullptr),
            &free);
        m_pidAtom = atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
        xcb_flush(m_connection);
    }
    ~MapWatcher() { xcb_disconnect(m_connection); }
    MapWatcher(const MapWatcher&) = delete;
    MapWatcher& operator=(const MapWatcher&) = delete;

    bool ok() const { return !xcb_connection_has_error(m_connection) && m_pidAtom != XCB_ATOM_NONE; }

    // Waits until count windows of pid are mapped, or until timeoutMs; the count reached.
    int waitForMapped(qint64 pid, int count, int timeoutMs) {
        QElapsedTimer clock;
        clock.start();
        while (mappedOf(pid) < count && clock.elapsed() < timeoutMs) {
            pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&fd, 1, 20);
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                handle(event);
                free(event);
            }
        }
        return mappedOf(pid);
    }

private:
    void listen(xcb_window_t window, uint32_t mask) {
        xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &mask);
    }

    void handle(const xcb_generic_event_t* event) {
        switch (event->response_type & 0x7F) {
        case XCB_CREATE_NOTIFY: {
            const auto* created = reinterpret_cast<const xcb_create_notify_event_t*>(event);
            if (created->parent != m_root || created->override_redirect)
                return;
            // Its own map event from now on; one that came before is seen by asking.
            listen(created->window, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
            std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&free)> attributes(
                xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, created->window),
                                                nullptr),
                &free);
            if (attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED)
                mapped(created->window);
            return;
        }
        case XCB_MAP_NOTIFY: {
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            if (map->event == map->window)
                mapped(map->window);
            return;
        }
        default:
            return;
        }
    }

    void mapped(xcb_window_t window) {
        if (m_pids.contains(window))
            return;
        std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
            xcb_get_property_reply(
                m_connection, xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr),
            &free);
        if (reply && xcb_get_property_value_length(reply.get()) == 4)
            m_pids.insert(window, *static_cast<const quint32*>(xcb_get_property_value(reply.get())));
    }

    int mappedOf(qint64 pid) const { return int(std::count(m_pids.cbegin(), m_pids.cend(), quint32(pid))); }

    xcb_connection_t* m_connection;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_pidAtom = XCB_ATOM_NONE;
    QHash<xcb_window_t, quint32> m_pids;
};
