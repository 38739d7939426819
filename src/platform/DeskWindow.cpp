#include "platform/DeskWindow.h"

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

Q_LOGGING_CATEGORY(lcDeskWindow, "pinora.platform.window", QtCriticalMsg)

namespace {

// Marks the widgets whose states are kept here.
constexpr const char* kMarker = "pinora_desk_window";

struct Atoms {
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t demandsAttention = XCB_ATOM_NONE;
    // What every desk window carries.
    std::array<xcb_atom_t, 3> wanted{};
};

Atoms internAtoms(xcb_connection_t* connection) {
    const std::array<const char*, 5> names = {"_NET_WM_STATE", "_NET_WM_STATE_DEMANDS_ATTENTION",
                                              "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                                              "_KDE_NET_WM_STATE_SKIP_SWITCHER"};
    std::array<xcb_intern_atom_cookie_t, 5> cookies{};
    for (size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, uint16_t(strlen(names[i])), names[i]);
    std::array<xcb_atom_t, 5> atoms{};
    for (size_t i = 0; i < names.size(); ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }
    return Atoms{atoms[0], atoms[1], {atoms[2], atoms[3], atoms[4]}};
}

// Whether the window's states hold that one.
bool carries(xcb_connection_t* connection, xcb_window_t window, const Atoms& atoms, xcb_atom_t state) {
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, atoms.state, XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    bool found = false;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        const auto* end = values + xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t));
        found = std::find(values, end, state) != end;
    }
    std::free(reply);
    return found;
}

// Asks the window manager to take a state off a mapped window, as a program does.
void removeState(xcb_connection_t* connection, xcb_window_t window, const Atoms& atoms, xcb_atom_t state) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atoms.state;
    event.data.data32[0] = 0; // _NET_WM_STATE_REMOVE
    event.data.data32[1] = state;
    event.data.data32[3] = 1; // from an application
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

// A window manager marks a window as demanding attention when it refused it the
// focus (KDE's at every map without the focus, mutter's when the window overlaps
// the active one). A desk window never asks for attention: the mark goes as soon
// as it appears.
class AttentionFilter : public QAbstractNativeEventFilter {
public:
    AttentionFilter(xcb_connection_t* connection, const Atoms& atoms)
        : m_connection(connection)
        , m_atoms(atoms) {}

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (change->atom != m_atoms.state || change->state != XCB_PROPERTY_NEW_VALUE)
            return false;
        const QWidget* widget = QWidget::find(WId(change->window));
        if (!widget || !widget->property(kMarker).toBool())
            return false;
        if (carries(m_connection, change->window, m_atoms, m_atoms.demandsAttention)) {
            qCDebug(lcDeskWindow) << "the window manager marked" << widget << "as demanding attention; unmarked";
            removeState(m_connection, change->window, m_atoms, m_atoms.demandsAttention);
        }
        return false; // the toolkit follows the states too
    }

private:
    xcb_connection_t* m_connection;
    Atoms m_atoms;
};

// A window manager that is starting takes map requests before it handles them, and
// drops those that come too early (openbox announces itself first): a window shown
// then would never appear, and the stand-in for the tray is the only way into the
// program. So a desk window that has not appeared a while after it was shown is
// shown again, a few times at most. The wait is long beside a window manager's
// usual answer, as hundreds of notes mapped at start-up take seconds.
class MapWatch : public QObject {
public:
    static constexpr int kWaitMs = 5000;
    static constexpr int kTries = 3;
    static constexpr const char* kTriesProperty = "pinora_map_tries";

    explicit MapWatch(QObject* parent)
        : QObject(parent) {
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &MapWatch::check);
    }

    void watch(QWidget& window) {
        if (!m_clock.isValid())
            m_clock.start();
        m_shown.append({&window, m_clock.elapsed() + kWaitMs});
        if (!m_timer.isActive())
            m_timer.start(kWaitMs);
    }

private:
    struct Shown {
        QPointer<QWidget> window;
        qint64 due;
    };

    void check() {
        const qint64 now = m_clock.elapsed();
        QList<Shown> due;
        for (qsizetype i = 0; i < m_shown.size();) {
            if (m_shown.at(i).due <= now)
                due.append(m_shown.takeAt(i));
            else
                ++i;
        }
        if (!m_shown.isEmpty())
            m_timer.start(int(m_shown.constFirst().due - now));
        for (const Shown& shown : std::as_const(due)) {
            QWidget* window = shown.window;
            if (!window)
                continue;
            if (!window->isVisible() || (window->windowHandle() && window->windowHandle()->isExposed())) {
                window->setProperty(kTriesProperty, 0);
                continue;
            }
            const int tries = window->property(kTriesProperty).toInt() + 1;
            window->setProperty(kTriesProperty, tries);
            if (tries > kTries)
                continue;
            qCInfo(lcDeskWindow) << window << "has not appeared" << kWaitMs << "ms after it was shown; shown again";
            window->hide();
            window->show();
        }
    }

    QElapsedTimer m_clock;
    QTimer m_timer;
    QList<Shown> m_shown; // in the order shown, so by when they are due
};

} // namespace

namespace DeskWindow {

void prepareToShow(QWidget& window) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    static const Atoms atoms = internAtoms(connection);
    static AttentionFilter* const filter = [connection] {
        auto* made = new AttentionFilter(connection, atoms); // lives as long as the application
        qGuiApp->installNativeEventFilter(made);
        return made;
    }();
    (void)filter;
    static QPointer<MapWatch> mapWatch;
    if (!mapWatch)
        mapWatch = new MapWatch(qGuiApp);
    mapWatch->watch(window);

    window.setProperty(kMarker, true);
    // Written whole, without reading it first: a hidden window has no states the
    // window manager keeps, and the toolkit adds its own (kept above) as it shows it.
    const auto id = xcb_window_t(window.winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atoms.state, XCB_ATOM_ATOM, 32,
                        uint32_t(atoms.wanted.size()), atoms.wanted.data());
}

} // namespace DeskWindow
