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
    : m_bus(bus) {}

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
    const QDBusMessage reply = callController(m_bus, "State");
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return std::nullopt;
    const QVariant state = reply.arguments().at(0);
    if (state.metaType() != QMetaType::fromType<int>())
        return std::nullopt;
    switch (state.toInt()) {
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
    callController(m_bus, open ? "Activate" : "Deactivate");
}
