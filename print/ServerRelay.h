#pragma once

#include "PrintSystem.h"

#include <QByteArray>

#include <memory>
#include <thread>
#include <vector>

#include <sys/socket.h>

namespace kw {

// Carries one print job's connections to the print server, so that the job's deadline ends them
// whatever the server does. libcups waits on the server in loops that ask the job's deadline only
// while nothing arrives: a server that trickles its answer, or redirects every request to itself,
// would keep a worker busy long after the user was told. When the deadline passes, or the job is
// given up on, the relay closes every connection and its socket, so that each call of libcups
// fails at once, and it stops.
//
// libcups reaches the relay on a local socket in a folder of its own that only this user can enter,
// and the relay serves only connections made by this very process: no other user, and no other
// program of this user, can reach the print server through it. Being a local socket, it lets
// libcups prove to a scheduler reached over its own socket who prints (PeerCred), as it would
// without the relay.
class ServerRelay final {
public:
    // No print job needs more connections than this; a server that sends libcups back for ever
    // (a redirect to itself, say) is cut off here.
    static constexpr int MaxConnections = 50;

    // Finds the server (a socket path, or a host name or address and a port) and connects to it
    // within the deadline: the relay, or null with `error` set to why the server could not be
    // reached (an errno value).
    static std::unique_ptr<ServerRelay> open(const QByteArray& host, int port, const Deadline& deadline,
                                             int& error);
    ~ServerRelay();
    ServerRelay(const ServerRelay&) = delete;
    ServerRelay& operator=(const ServerRelay&) = delete;

    // Where libcups connects instead of the server.
    const QByteArray& path() const { return m_path; }
    // The job asked for more connections than any print job makes.
    bool exhausted() const { return m_exhausted; }
    // Why the server could not be reached for a later connection of the job (an errno value); 0
    // while every one was made.
    int serverError() const { return m_serverError; }

private:
    explicit ServerRelay(Deadline deadline);
    bool listen(int& error);
    void pump();
    int connectServer(int& error);

    Deadline m_deadline;
    std::vector<sockaddr_storage> m_server; // the server's addresses; the one that answered first
    std::vector<socklen_t> m_serverLengths;
    QByteArray m_folder;
    QByteArray m_path;
    int m_listener = -1;
    int m_first = -1; // the connection made by open(), for the first client
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_exhausted = false;
    std::atomic<int> m_serverError = 0;
    std::thread m_pump;
};

} // namespace kw
