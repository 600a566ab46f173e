#include "ServerRelay.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kw {

namespace {

// How often the relay looks at the deadline while the connections are quiet.
constexpr int Tick = 20; // milliseconds
constexpr size_t Chunk = 65536;

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool setNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Connects a non-blocking socket, waiting no longer than the deadline: the socket, or -1 with
// `error` set.
int connectWithin(int family, const sockaddr* address, socklen_t length, const Deadline& deadline,
                  int& error) {
    int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || !setNonBlocking(fd)) {
        error = errno;
        closeFd(fd);
        return -1;
    }
    if (::connect(fd, address, length) == 0)
        return fd;
    if (errno != EINPROGRESS && errno != EAGAIN) {
        error = errno;
        closeFd(fd);
        return -1;
    }
    pollfd p{fd, POLLOUT, 0};
    while (!deadline.passed()) {
        const int ready = ::poll(&p, 1, std::min(Tick, deadline.remainingMilliseconds()));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0) {
            int result = 0;
            socklen_t size = sizeof result;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &result, &size) != 0)
                result = errno;
            if (result == 0)
                return fd;
            error = result;
            closeFd(fd);
            return -1;
        }
    }
    error = ETIMEDOUT;
    closeFd(fd);
    return -1;
}

// One connection of libcups and the one to the server it is carried on.
struct Pair {
    int client = -1;
    int server = -1;
    std::vector<char> toServer;
    std::vector<char> toClient;
    bool serverDone = false; // the server closed: what it sent is passed on, then the pair ends
};

// Reads what `from` has into `into`: false when `from` has closed or failed.
bool readInto(int from, std::vector<char>& into) {
    char buffer[Chunk];
    const ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
    if (n > 0) {
        into.insert(into.end(), buffer, buffer + n);
        return true;
    }
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
}

// Writes what it can of `pending` to `to`: false when `to` has failed.
bool writeFrom(int to, std::vector<char>& pending) {
    const ssize_t n = ::send(to, pending.data(), pending.size(), MSG_NOSIGNAL);
    if (n > 0) {
        pending.erase(pending.begin(), pending.begin() + n);
        return true;
    }
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
}

} // namespace

std::unique_ptr<ServerRelay> ServerRelay::open(const QByteArray& host, int port, const Deadline& deadline,
                                               int& error) {
    error = 0;
    std::unique_ptr<ServerRelay> relay(new ServerRelay(host, port, -1, 0, -1, deadline));
    const int first = relay->connectServer(error);
    if (first < 0)
        return nullptr;
    relay->m_first = first;
    relay->m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (relay->m_listener < 0 ||
        ::bind(relay->m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(relay->m_listener, 4) != 0 || !setNonBlocking(relay->m_listener) ||
        ::getsockname(relay->m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = errno != 0 ? errno : EINVAL;
        return nullptr; // the destructor closes what was opened
    }
    relay->m_port = ntohs(address.sin_port);
    relay->m_pump = std::thread([relay = relay.get()] { relay->pump(); });
    return relay;
}

ServerRelay::ServerRelay(QByteArray host, int port, int listener, int listenPort, int first,
                         Deadline deadline)
    : m_host(std::move(host))
    , m_serverPort(port)
    , m_listener(listener)
    , m_port(listenPort)
    , m_first(first)
    , m_deadline(std::move(deadline)) {}

ServerRelay::~ServerRelay() {
    m_stop->store(true);
    if (m_pump.joinable())
        m_pump.join();
    closeFd(m_first);
    closeFd(m_listener);
}

int ServerRelay::connectServer(int& error) const {
    if (m_host.startsWith('/')) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (size_t(m_host.size()) >= sizeof address.sun_path) {
            error = ENAMETOOLONG;
            return -1;
        }
        std::memcpy(address.sun_path, m_host.constData(), size_t(m_host.size()));
        return connectWithin(AF_UNIX, reinterpret_cast<sockaddr*>(&address), sizeof address, m_deadline,
                             error);
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const QByteArray service = QByteArray::number(m_serverPort);
    // libcups writes an IPv6 address in brackets, as in a URI.
    const QByteArray host =
        m_host.startsWith('[') && m_host.endsWith(']') ? m_host.mid(1, m_host.size() - 2) : m_host;
    if (::getaddrinfo(host.constData(), service.constData(), &hints, &found) != 0 || found == nullptr) {
        error = ENOENT;
        return -1;
    }
    int fd = -1;
    error = ECONNREFUSED;
    for (const addrinfo* a = found; a != nullptr && fd < 0 && !m_deadline.passed(); a = a->ai_next)
        fd = connectWithin(a->ai_family, a->ai_addr, a->ai_addrlen, m_deadline, error);
    ::freeaddrinfo(found);
    return fd;
}

void ServerRelay::pump() {
    std::vector<Pair> pairs;
    std::vector<pollfd> polled;
    while (!m_stop->load() && !m_deadline.passed()) {
        polled.clear();
        polled.push_back({m_listener, POLLIN, 0});
        for (const Pair& p : pairs) {
            // Nothing more is read from a side while what it sent has not gone on yet.
            const short fromClient = p.toServer.empty() && !p.serverDone ? POLLIN : 0;
            const short fromServer = p.toClient.empty() && !p.serverDone ? POLLIN : 0;
            polled.push_back({p.client, short(fromClient | (p.toClient.empty() ? 0 : POLLOUT)), 0});
            polled.push_back({p.server, short(fromServer | (p.toServer.empty() ? 0 : POLLOUT)), 0});
        }
        if (::poll(polled.data(), polled.size(), Tick) <= 0)
            continue;
        for (size_t i = 0; i < pairs.size(); ++i) {
            Pair& p = pairs[i];
            const short client = polled[1 + 2 * i].revents;
            const short server = polled[2 + 2 * i].revents;
            bool open = true;
            if ((client & (POLLIN | POLLHUP | POLLERR)) != 0 && p.toServer.empty())
                open = readInto(p.client, p.toServer);
            if (open && (server & (POLLIN | POLLHUP | POLLERR)) != 0 && p.toClient.empty() && !p.serverDone)
                p.serverDone = !readInto(p.server, p.toClient);
            if (open && (server & POLLOUT) != 0 && !p.toServer.empty())
                open = writeFrom(p.server, p.toServer);
            if (open && (client & POLLOUT) != 0 && !p.toClient.empty())
                open = writeFrom(p.client, p.toClient);
            if (!open || (p.serverDone && p.toClient.empty())) {
                closeFd(p.client);
                closeFd(p.server);
            }
        }
        std::erase_if(pairs, [](const Pair& p) { return p.client < 0; });
        if ((polled[0].revents & POLLIN) != 0) {
            int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (client >= 0) {
                int error = 0;
                int server = m_first >= 0 ? std::exchange(m_first, -1) : connectServer(error);
                if (server < 0)
                    closeFd(client); // libcups hears that the connection is gone, as from the server
                else
                    pairs.push_back({client, server, {}, {}, false});
            }
        }
    }
    // Time is up, or the job is done: every connection ends, and libcups cannot make another.
    for (Pair& p : pairs) {
        closeFd(p.client);
        closeFd(p.server);
    }
    closeFd(m_listener);
}

} // namespace kw
