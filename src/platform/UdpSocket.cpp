#include "platform/UdpSocket.h"

#include <QHostInfo>
#include <QLoggingCategory>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSocket, "pinora.net.socket", QtCriticalMsg)

namespace {

// An IPv4 sender as IPv4, though the socket sees it mapped into IPv6.
QString senderOf(const sockaddr_storage& from) {
    QHostAddress address(reinterpret_cast<const sockaddr*>(&from));
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped)
        address = QHostAddress(v4);
    return address.isNull() ? QString() : address.toString();
}

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

bool enable(int fd, int level, int option) {
    const int on = 1;
    return ::setsockopt(fd, level, option, &on, sizeof on) == 0;
}

// The error of an earlier datagram that the system hands back on the next send.
bool isPendingError(int error) {
    return error == ECONNREFUSED || error == EHOSTUNREACH || error == ENETUNREACH || error == EHOSTDOWN ||
           error == EPROTO || error == EMSGSIZE;
}

} // namespace

UdpSocket::UdpSocket(Resolver resolver, QObject* parent)
    : DatagramSocket(parent)
    , m_resolver(std::move(resolver)) {}

UdpSocket::~UdpSocket() {
    close();
}

void UdpSocket::close() {
    if (m_notifier) {
        // Close can come from a handler of this notifier's own signal.
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_waiting = -1;
    ++m_generation;
}

bool UdpSocket::bind(quint16 port) {
    close();
    m_error.clear();
    m_ipv6 = true;
    int fd = ::socket(AF_INET6, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0 && errno == EAFNOSUPPORT) {
        m_ipv6 = false;
        fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    }
    if (fd < 0) {
        m_error = systemError("socket");
        qCWarning(lcSocket) << "no socket:" << m_error;
        return false;
    }
    const int off = 0;
    bool options = enable(fd, SOL_IP, IP_RECVERR);
    if (m_ipv6)
        options = ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off) == 0 &&
                  enable(fd, IPPROTO_IPV6, IPV6_RECVERR) && options;
    if (!options)
        qCWarning(lcSocket) << "undelivered datagrams will go unnoticed:" << systemError("setsockopt");

    int bound;
    if (m_ipv6) {
        sockaddr_in6 any{};
        any.sin6_family = AF_INET6;
        any.sin6_addr = in6addr_any;
        any.sin6_port = htons(port);
        bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any);
    } else {
        sockaddr_in any{};
        any.sin_family = AF_INET;
        any.sin_addr.s_addr = htonl(INADDR_ANY);
        any.sin_port = htons(port);
        bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any);
    }
    if (bound != 0) {
        m_error = systemError("bind");
        qCWarning(lcSocket) << "cannot bind port" << port << m_error;
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UdpSocket::onReadable);
    qCDebug(lcSocket) << "bound to port" << localPort() << (m_ipv6 ? "IPv6 and IPv4" : "IPv4 only");
    return true;
}

quint16 UdpSocket::localPort() const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (m_fd < 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
    return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

void UdpSocket::onReadable() {
    const quint64 generation = m_generation;
    QPointer<UdpSocket> alive(this);
    // A handler may open a window with an event loop of its own; the datagrams
    // behind this one wait until it returns.
    m_notifier->setEnabled(false);
    const auto stillOurs = [&] { return alive && m_generation == generation; };

    for (int reports = drainErrorQueue(); reports > 0; --reports) {
        emit datagramArrived(1);
        if (!stillOurs())
            return;
    }
    for (int n = 0; n < kDatagramsPerTurn; ++n) {
        sockaddr_storage from{};
        socklen_t fromLength = sizeof from;
        const ssize_t size = ::recvfrom(m_fd, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT,
                                        reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (size < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                break;
            if (isPendingError(errno))
                continue; // already taken from the error queue
            qCWarning(lcSocket) << "cannot read:" << systemError("recv");
            break;
        }
        m_waiting = size;
        setRemoteHostIP(senderOf(from));
        if (size == 0) {
            qCDebug(lcSocket) << "dropped an empty datagram";
        } else {
            emit datagramArrived(size);
            if (!stillOurs())
                return;
        }
        if (m_waiting >= 0)
            discardWaiting();
    }
    m_notifier->setEnabled(true);
}

int UdpSocket::drainErrorQueue() {
    int reports = 0;
    for (;;) {
        char data[64];
        alignas(cmsghdr) char control[512];
        sockaddr_storage offender{};
        iovec iov{data, sizeof data};
        msghdr message{};
        message.msg_name = &offender;
        message.msg_namelen = sizeof offender;
        message.msg_iov = &iov;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        if (::recvmsg(m_fd, &message, MSG_ERRQUEUE | MSG_DONTWAIT) < 0)
            return reports;
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
            const bool v4 = c->cmsg_level == SOL_IP && c->cmsg_type == IP_RECVERR;
            const bool v6 = c->cmsg_level == SOL_IPV6 && c->cmsg_type == IPV6_RECVERR;
            if (!v4 && !v6)
                continue;
            sock_extended_err error;
            std::memcpy(&error, CMSG_DATA(c), sizeof error);
            qCDebug(lcSocket) << "a datagram was not delivered:" << std::strerror(int(error.ee_errno)) << "origin"
                              << error.ee_origin;
            ++reports;
        }
    }
}

void UdpSocket::discardWaiting() {
    char byte;
    ::recv(m_fd, &byte, sizeof byte, MSG_DONTWAIT);
    m_waiting = -1;
}

QByteArray UdpSocket::readBytes() {
    if (m_fd < 0 || m_waiting <= 0)
        return {};
    QByteArray bytes(m_waiting, Qt::Uninitialized);
    m_waiting = -1;
    const ssize_t read = ::recv(m_fd, bytes.data(), bytes.size(), MSG_DONTWAIT);
    if (read < 0) {
        qCWarning(lcSocket) << "cannot read:" << systemError("recv");
        return {};
    }
    bytes.truncate(read);
    return bytes;
}

DatagramSocket::SendResult UdpSocket::sendBytes(const QString& host, quint16 port, const QByteArray& bytes) {
    if (m_fd < 0)
        return SendResult::NotBound;
    const QHostAddress literal(host);
    if (!literal.isNull())
        return sendTo(literal, port, bytes);
    if (m_resolver) {
        if (const QList<QHostAddress> known = m_resolver(host); !known.isEmpty())
            return sendTo(known.first(), port, bytes);
    }
    const quint64 generation = m_generation;
    QHostInfo::lookupHost(host, this, [this, generation, host, port, bytes](const QHostInfo& info) {
        if (generation != m_generation)
            return;
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            qCInfo(lcSocket) << "the name" << host << "did not resolve:" << info.errorString();
            emit datagramArrived(1);
            return;
        }
        sendTo(info.addresses().first(), port, bytes);
    });
    return SendResult::Resolving;
}

DatagramSocket::SendResult UdpSocket::sendTo(const QHostAddress& address, quint16 port, const QByteArray& bytes) {
    sockaddr_storage to{};
    socklen_t length = 0;
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    if (m_ipv6) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&to);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        if (ok) {
            in6->sin6_addr.s6_addr[10] = in6->sin6_addr.s6_addr[11] = 0xff;
            const quint32 network = htonl(v4);
            std::memcpy(&in6->sin6_addr.s6_addr[12], &network, 4);
        } else {
            const Q_IPV6ADDR v6 = address.toIPv6Address();
            std::memcpy(&in6->sin6_addr, &v6, sizeof v6);
            const QString scope = address.scopeId();
            bool numeric = false;
            const uint index = scope.toUInt(&numeric);
            in6->sin6_scope_id = numeric ? index : ::if_nametoindex(scope.toLocal8Bit().constData());
        }
        length = sizeof(sockaddr_in6);
    } else if (ok) {
        auto* in4 = reinterpret_cast<sockaddr_in*>(&to);
        in4->sin_family = AF_INET;
        in4->sin_port = htons(port);
        in4->sin_addr.s_addr = htonl(v4);
        length = sizeof(sockaddr_in);
    } else {
        qCInfo(lcSocket) << "no IPv6 here to reach" << address;
        reportUndeliverable();
        return SendResult::Refused;
    }
    // An ICMP error of an earlier datagram fails the next send once; that error is
    // reported from the error queue, and this datagram deserves its own try.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::sendto(m_fd, bytes.constData(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                     reinterpret_cast<const sockaddr*>(&to), length) >= 0) {
            qCDebug(lcSocket) << "sent" << bytes.size() << "bytes to" << address << port;
            return SendResult::Sent;
        }
        if (!isPendingError(errno))
            break;
    }
    qCInfo(lcSocket) << "cannot send to" << address << port << systemError("sendto");
    reportUndeliverable();
    return SendResult::Refused;
}

void UdpSocket::reportUndeliverable() {
    // Reported from the event loop, as the system's own reports come.
    QTimer::singleShot(0, this, [this, generation = m_generation] {
        if (generation == m_generation)
            emit datagramArrived(1);
    });
}
