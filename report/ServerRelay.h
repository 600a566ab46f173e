#pragma once

#include "PrintSystem.h"

#include <QByteArray>

#include <memory>
#include <thread>

namespace kw {

// Carries one print job's connections to the print server through a port of its own on the
// loopback address, so that the job's deadline ends them whatever the server does. libcups waits
// on the server in loops that ask the job's deadline only while nothing arrives: a server that
// trickles its answer, or redirects every request to itself, would keep a worker busy long after
// the user was told. When the deadline passes, or the job is given up on, the relay closes every
// connection and its port, so that each call of libcups fails at once, and it stops.
class ServerRelay final {
public:
    // Connects to the server (a socket path, or a host and port) within the deadline: the relay,
    // or null with `error` set to why the server could not be reached (an errno value).
    static std::unique_ptr<ServerRelay> open(const QByteArray& host, int port, const Deadline& deadline,
                                             int& error);
    ~ServerRelay();
    ServerRelay(const ServerRelay&) = delete;
    ServerRelay& operator=(const ServerRelay&) = delete;

    // Where libcups connects instead of the server: 127.0.0.1 on this port.
    int port() const { return m_port; }

private:
    ServerRelay(QByteArray host, int port, int listener, int listenPort, int first, Deadline deadline);
    void pump();
    int connectServer(int& error) const;

    QByteArray m_host;
    int m_serverPort;
    int m_listener;
    int m_port;
    int m_first; // the connection made by open(), for the first client
    Deadline m_deadline;
    std::shared_ptr<std::atomic<bool>> m_stop = std::make_shared<std::atomic<bool>>(false);
    std::thread m_pump;
};

} // namespace kw
