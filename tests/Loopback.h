#pragma once

// What the fake print servers share: a listening socket on the loopback address, and waits that
// end as soon as the server is told to stop.

#include <QtGlobal>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace loopback {

inline sockaddr_in address(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A socket listening on `wanted` or else a port of the system's choosing, which `port` is set to (0
// on failure), on 127.0.0.1 or, with `ipv6`, on ::1, taking `backlog` connections before it accepts.
inline int listen(int& port, bool ipv6 = false, int wanted = 0, int backlog = 64) {
    const int listener = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
    const int only = 1;
    ::setsockopt(listener, IPPROTO_IPV6, IPV6_V6ONLY, &only, sizeof only);
    sockaddr_in bound = address(wanted);
    sockaddr_in6 bound6{};
    bound6.sin6_family = AF_INET6;
    bound6.sin6_port = htons(quint16(wanted));
    bound6.sin6_addr = in6addr_loopback;
    sockaddr* at = ipv6 ? reinterpret_cast<sockaddr*>(&bound6) : reinterpret_cast<sockaddr*>(&bound);
    socklen_t length = ipv6 ? sizeof bound6 : sizeof bound;
    port = 0;
    if (::bind(listener, at, length) == 0 && ::listen(listener, backlog) == 0 &&
        ::getsockname(listener, at, &length) == 0)
        port = ntohs(ipv6 ? bound6.sin6_port : bound.sin_port);
    return listener;
}

// Reads what has come, again when a signal interrupts (the tests' own child processes end meanwhile).
inline ssize_t receive(int fd, char* buffer, size_t size) {
    ssize_t n = 0;
    do
        n = ::recv(fd, buffer, size, 0);
    while (n < 0 && errno == EINTR);
    return n;
}

// Sends all of `size`, whatever signals come: false when the connection failed.
inline bool sendAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size_t(size), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// Waits until `fd` can be read, or `stop` is set: false then.
inline bool readable(int fd, const std::atomic<bool>& stop) {
    pollfd p{fd, POLLIN, 0};
    while (!stop) {
        if (::poll(&p, 1, 20) > 0)
            return true;
    }
    return false;
}

inline void pause(std::chrono::milliseconds span, const std::atomic<bool>& stop) {
    const auto until = std::chrono::steady_clock::now() + span;
    while (!stop && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

} // namespace loopback
