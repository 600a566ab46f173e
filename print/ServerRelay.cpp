#include "ServerRelay.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <resolv.h>
#include <sys/stat.h>
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

int waitMilliseconds(const Deadline& deadline) {
    return std::min(Tick, deadline.remainingMilliseconds());
}

// A scheduler's own socket. A local socket connects at once, is refused, or says EAGAIN while the
// scheduler's queue of new connections is full; on a busy machine that is worth another try, not a
// verdict.
int connectLocal(const QByteArray& path, const Deadline& deadline, int& error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path) {
        error = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    for (;;) {
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            return fd;
        if (errno != EAGAIN && errno != EINTR) {
            error = errno;
            break;
        }
        if (deadline.passed()) {
            error = ETIMEDOUT;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    closeFd(fd);
    return -1;
}

// Looks a host name up within the deadline. The system's resolver waits on a name server that does
// not answer for seconds per server, per try and per search domain, which together can run to
// minutes; here this thread's resolver tries each server once, for an equal share of what the
// deadline leaves (in whole seconds, as the resolver counts, and at least one).
addrinfo* lookUp(const QByteArray& host, int port, const Deadline& deadline, int& error) {
    if (res_init() == 0) {
        int names = 1;
        for (int i = 0; i < MAXDNSRCH && _res.dnsrch[i] != nullptr; ++i)
            ++names;
        const int waits = std::max(1, _res.nscount) * names;
        // Half a second kept for connecting once the name is known.
        _res.retrans = std::max(1, (deadline.remainingMilliseconds() - 500) / 1000 / waits);
        _res.retry = 1;
        // Otherwise the resolver may take the system's configuration back on the way, waits and all.
        _res.options |= RES_NORELOAD;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // libcups writes an IPv6 address in brackets, as in a URI.
    const QByteArray name = host.startsWith('[') && host.endsWith(']') ? host.mid(1, host.size() - 2) : host;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.constData(), QByteArray::number(port).constData(), &hints, &found) != 0 ||
        found == nullptr) {
        error = deadline.passed() ? ETIMEDOUT : EHOSTUNREACH;
        return nullptr;
    }
    return found;
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

// A connection to the relay that this very process made: the credentials the kernel took when it
// connected, not anything the peer says.
bool fromThisProcess(int client) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.pid == ::getpid() &&
           peer.uid == ::geteuid();
}

} // namespace

std::unique_ptr<ServerRelay> ServerRelay::open(const QByteArray& host, int port, const Deadline& deadline,
                                               int& error) {
    error = 0;
    std::unique_ptr<ServerRelay> relay(new ServerRelay(deadline));
    if (host.startsWith('/')) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (size_t(host.size()) >= sizeof address.sun_path) {
            error = ENAMETOOLONG;
            return nullptr;
        }
        std::memcpy(address.sun_path, host.constData(), size_t(host.size()));
        relay->m_server.push_back({});
        std::memcpy(&relay->m_server.back(), &address, sizeof address);
        relay->m_serverLengths.push_back(sizeof address);
    } else {
        addrinfo* found = lookUp(host, port, deadline, error);
        if (found == nullptr)
            return nullptr;
        for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
            relay->m_server.push_back({});
            std::memcpy(&relay->m_server.back(), a->ai_addr, a->ai_addrlen);
            relay->m_serverLengths.push_back(a->ai_addrlen);
        }
        ::freeaddrinfo(found);
    }
    relay->m_first = relay->connectServer(error);
    if (relay->m_first < 0 || !relay->listen(error))
        return nullptr; // the destructor closes what was opened
    relay->m_pump = std::thread([relay = relay.get()] { relay->pump(); });
    return relay;
}

ServerRelay::ServerRelay(Deadline deadline)
    : m_deadline(std::move(deadline)) {}

ServerRelay::~ServerRelay() {
    m_stop = true;
    if (m_pump.joinable())
        m_pump.join();
    closeFd(m_first);
    closeFd(m_listener);
    if (!m_path.isEmpty())
        ::unlink(m_path.constData());
    if (!m_folder.isEmpty())
        ::rmdir(m_folder.constData());
}

bool ServerRelay::listen(int& error) {
    // A folder of the relay's own (mkdtemp makes it for this user alone) in the user's runtime
    // folder, or in /tmp where there is none or its name would make the socket's too long.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (folder.isEmpty() || ::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        size_t(folder.size()) + 32 > sizeof address.sun_path)
        folder = "/tmp";
    folder += "/koerswacht-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        error = errno;
        return false;
    }
    m_folder = folder;
    m_path = folder + "/relay";
    std::memcpy(address.sun_path, m_path.constData(), size_t(m_path.size()));
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 4) != 0) {
        error = errno != 0 ? errno : EINVAL;
        if (m_listener >= 0)
            m_path.clear(); // not bound: nothing to remove but the folder
        return false;
    }
    return true;
}

// Connects to the server within the deadline. A host with several addresses (IPv6 and IPv4, say)
// is tried at all of them at once, and the first that answers is the server from then on: a dead
// route to one does not use up the time the others need.
int ServerRelay::connectServer(int& error) {
    error = ECONNREFUSED;
    if (m_server.size() == 1 && m_server[0].ss_family == AF_UNIX) {
        const auto& address = reinterpret_cast<const sockaddr_un&>(m_server[0]);
        return connectLocal(QByteArray(address.sun_path), m_deadline, error);
    }
    std::vector<pollfd> trying;
    std::vector<size_t> which;
    int connected = -1;
    size_t winner = 0;
    for (size_t i = 0; i < m_server.size() && connected < 0; ++i) {
        int fd = ::socket(m_server[i].ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            error = errno;
        } else if (::connect(fd, reinterpret_cast<const sockaddr*>(&m_server[i]), m_serverLengths[i]) == 0) {
            connected = fd;
            winner = i;
        } else if (errno == EINPROGRESS) {
            trying.push_back({fd, POLLOUT, 0});
            which.push_back(i);
        } else {
            error = errno;
            closeFd(fd);
        }
    }
    while (connected < 0 && !trying.empty() && !m_deadline.passed()) {
        if (::poll(trying.data(), trying.size(), waitMilliseconds(m_deadline)) <= 0)
            continue;
        for (size_t t = 0; t < trying.size();) {
            if (trying[t].revents == 0) {
                ++t;
                continue;
            }
            int result = 0;
            socklen_t size = sizeof result;
            if (::getsockopt(trying[t].fd, SOL_SOCKET, SO_ERROR, &result, &size) != 0)
                result = errno;
            if (result == 0 && connected < 0) {
                connected = std::exchange(trying[t].fd, -1);
                winner = which[t];
            } else if (result != 0) {
                error = result;
            }
            closeFd(trying[t].fd);
            trying.erase(trying.begin() + std::ptrdiff_t(t));
            which.erase(which.begin() + std::ptrdiff_t(t));
        }
    }
    for (pollfd& p : trying)
        closeFd(p.fd);
    if (connected < 0) {
        if (!trying.empty() || m_deadline.passed())
            error = ETIMEDOUT;
        return -1;
    }
    if (m_server.size() > 1) {
        m_server = {m_server[winner]};
        m_serverLengths = {m_serverLengths[winner]};
    }
    return connected;
}

void ServerRelay::pump() {
    std::vector<Pair> pairs;
    std::vector<pollfd> polled;
    int accepted = 0;
    while (!m_stop && !m_deadline.passed()) {
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
        if ((polled[0].revents & POLLIN) == 0)
            continue;
        int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0)
            continue;
        if (!fromThisProcess(client)) {
            closeFd(client);
            continue;
        }
        if (++accepted > MaxConnections) {
            m_exhausted = true;
            closeFd(client); // libcups hears that the connection is gone, and stops asking
            continue;
        }
        int error = 0;
        int server = m_first >= 0 ? std::exchange(m_first, -1) : connectServer(error);
        if (server < 0) {
            m_serverError = error;
            closeFd(client); // libcups hears that the connection is gone, as from the server
        } else {
            pairs.push_back({client, server, {}, {}, false});
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
