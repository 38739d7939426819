#include "platform/InputMethod.h"

#include <QDBusMessage>

namespace {

const char* const kService = "org.fcitx.Fcitx5";
const char* const kPath = "/controller";
const char* const kInterface = "org.fcitx.Fcitx.Controller1";

// fcitx5's State(): 0 closed, 1 inactive, 2 active.
constexpr int kStateClosed = 0;
constexpr int kStateInactive = 1;
constexpr int kStateActive = 2;

constexpr int kCallTimeoutMs = 200;

QDBusMessage call(const QDBusConnection& bus, QDBusMessage message) {
    message.setAutoStartService(false);
    return bus.call(message, QDBus::Block, kCallTimeoutMs);
}

QDBusMessage callController(const QDBusConnection& bus, const char* method) {
    return call(bus, QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                    QString::fromLatin1(kInterface), QString::fromLatin1(method)));
}

} // namespace

std::unique_ptr<InputMethod> InputMethod::create() {
    return create(QDBusConnection::sessionBus());
}

std::unique_ptr<InputMethod> InputMethod::create(const QDBusConnection& bus) {
    if (Fcitx5InputMethod::isRegistered(bus))
        return std::make_unique<Fcitx5InputMethod>(bus);
    return std::make_unique<NoInputMethod>();
}

Fcitx5InputMethod::Fcitx5InputMethod(const QDBusConnection& bus)
    : m_bus(bus) {
    m_retry.setInterval(50);
    QObject::connect(&m_retry, &QTimer::timeout, &m_retry, [this] {
        const int now = state();
        if (now == kStateInactive)
            callController(m_bus, "Activate");
        if (now != kStateClosed || ++m_retries >= 20)
            m_retry.stop();
    });
}

int Fcitx5InputMethod::state() const {
    const QDBusMessage reply = callController(m_bus, "State");
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1 ||
        reply.arguments().at(0).metaType() != QMetaType::fromType<int>())
        return -1;
    return reply.arguments().at(0).toInt();
}

bool Fcitx5InputMethod::isRegistered(const QDBusConnection& bus) {
    QDBusMessage question =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    question << QString::fromLatin1(kService);
    const QDBusMessage reply = call(bus, question);
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1 &&
           reply.arguments().at(0).toBool();
}

bool Fcitx5InputMethod::available() const {
    return isRegistered(m_bus);
}

std::optional<bool> Fcitx5InputMethod::openStatus() const {
    switch (state()) {
    case kStateActive:
        return true;
    case kStateInactive:
    case kStateClosed:
        return false;
    default:
        return std::nullopt;
    }
}

void Fcitx5InputMethod::setOpenStatus(bool open) {
    m_retry.stop();
    callController(m_bus, open ? "Activate" : "Deactivate");
    if (open && state() == kStateClosed) {
        m_retries = 0;
        m_retry.start();
    }
}
