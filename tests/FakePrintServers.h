#pragma once

// Print servers that misbehave as they do on a ship's network, on the loopback address, for the
// printing tests: CUPS_SERVER=address() sends the program to one. Those that pass requests on pass
// them to the private test printer's scheduler (the CUPS_SERVER the test started with).

#include "Loopback.h"

#include <QByteArray>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class FakePrintServer {
public:
    enum class Kind {
        Silent,        // takes connections and never answers
        AnswersOnce,   // passes the first request on and its answer back, then never answers again
        Slow,          // passes everything on, each answer held back for the delay
        HoldsDocument, // passes everything on, the answer to a document (Print-Job) held back
        ClosesAtOnce,  // closes every connection as soon as it is made
        OneConnection, // passes the first request on and its answer back, then closes; refuses more
        NoDefault,     // answers every request: there is no default printer
    };

    explicit FakePrintServer(Kind kind, std::chrono::milliseconds delay = {})
        : m_kind(kind)
        , m_delay(delay)
        , m_upstream(qgetenv("CUPS_SERVER")) {
        m_listener = loopback::listen(m_port);
        if (m_port == 0)
            return;
        // A silent server does not even accept: the system queues the connections for it.
        if (m_kind != Kind::Silent)
            m_acceptor = std::thread([this] { acceptLoop(); });
    }

    ~FakePrintServer() {
        m_stop = true;
        if (m_acceptor.joinable())
            m_acceptor.join();
        ::close(m_listener);
        const std::lock_guard lock(m_mutex);
        for (std::thread& connection : m_connections)
            connection.join();
    }

    FakePrintServer(const FakePrintServer&) = delete;
    FakePrintServer& operator=(const FakePrintServer&) = delete;

    bool listening() const { return m_port != 0; }
    QByteArray address() const { return "127.0.0.1:" + QByteArray::number(m_port); }
    int port() const { return m_port; }
    int requestsPassedOn() const { return m_requestsPassedOn.load(); }

    // An address where nothing listens.
    static QByteArray closedPort() {
        const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopback::address(0);
        if (::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(probe);
            return "127.0.0.1:1"; // tcpmux: nothing listens there either
        }
        socklen_t length = sizeof address;
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
        ::close(probe);
        return "127.0.0.1:" + QByteArray::number(ntohs(address.sin_port));
    }

private:
    bool readable(int fd) const { return loopback::readable(fd, m_stop); }
    void pause(std::chrono::milliseconds span) const { loopback::pause(span, m_stop); }

    void acceptLoop() {
        while (readable(m_listener)) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client < 0)
                continue;
            if (m_kind == Kind::ClosesAtOnce) {
                ::close(client);
                continue;
            }
            if (m_kind == Kind::OneConnection)
                ::shutdown(m_listener, SHUT_RDWR); // later connections are refused
            const std::lock_guard lock(m_mutex);
            m_connections.emplace_back([this, client] {
                if (m_kind == Kind::NoDefault)
                    answerNoDefault(client);
                else
                    relay(client);
                ::close(client);
            });
        }
    }

    void relay(int client) {
        const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, m_upstream.constData(), sizeof address.sun_path - 1);
        if (::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(server);
            return;
        }
        char buffer[65536];
        bool awaitingAnswer = false;
        QByteArray request; // the start of the request being answered
        pollfd both[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        while (!m_stop) {
            if (::poll(both, 2, 20) <= 0)
                continue;
            if ((both[0].revents & (POLLIN | POLLHUP)) != 0) {
                const ssize_t n = loopback::receive(client, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                // Gone silent: what comes in is swallowed, nothing goes out, the connection stays.
                if (m_kind == Kind::AnswersOnce && m_answered)
                    continue;
                if (!awaitingAnswer) {
                    ++m_requestsPassedOn;
                    request.clear();
                }
                if (request.size() < 4096)
                    request.append(buffer, std::min<ssize_t>(n, 4096));
                awaitingAnswer = true;
                if (!loopback::sendAll(server, buffer, n))
                    break;
            }
            if ((both[1].revents & (POLLIN | POLLHUP)) != 0) {
                const ssize_t n = loopback::receive(server, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                if (awaitingAnswer &&
                    (m_kind == Kind::Slow || (m_kind == Kind::HoldsDocument && sendsDocument(request))))
                    pause(m_delay);
                awaitingAnswer = false;
                if (!loopback::sendAll(client, buffer, n) || m_kind == Kind::OneConnection)
                    break;
                m_answered = true;
            }
        }
        ::close(server);
    }

    // Whether an HTTP request carrying IPP, as far as it has come, is a Print-Job: its operation
    // id, after the headers and, for a chunked body, the first chunk's size line.
    static bool sendsDocument(const QByteArray& request) {
        qsizetype body = request.indexOf("\r\n\r\n");
        if (body < 0)
            return false;
        body += 4;
        if (request.left(body).toLower().contains("transfer-encoding: chunked")) {
            const qsizetype line = request.indexOf("\r\n", body);
            if (line < 0)
                return false;
            body = line + 2;
        }
        return request.size() >= body + 4 && request[body + 2] == '\x00' && request[body + 3] == '\x02';
    }

    // Reads HTTP requests carrying IPP and answers each with client-error-not-found, which is what
    // a CUPS scheduler without a default printer says.
    void answerNoDefault(int client) {
        QByteArray received;
        bool continued = false;
        char buffer[4096];
        while (readable(client)) {
            const ssize_t n = loopback::receive(client, buffer, sizeof buffer);
            if (n <= 0)
                return;
            received.append(buffer, n);
            const qsizetype headerEnd = received.indexOf("\r\n\r\n");
            if (headerEnd < 0)
                continue;
            const QByteArray headers = received.left(headerEnd).toLower();
            if (headers.contains("expect: 100-continue") && !continued) {
                continued = true;
                const QByteArray goOn = "HTTP/1.1 100 Continue\r\n\r\n";
                if (!loopback::sendAll(client, goOn.constData(), goOn.size()))
                    return;
            }
            const qsizetype at = headers.indexOf("content-length:");
            const qsizetype length =
                at < 0 ? 0 : headers.mid(at + 15, headers.indexOf('\r', at) - at - 15).trimmed().toLongLong();
            if (received.size() < headerEnd + 4 + length)
                continue;
            const QByteArray body = received.mid(headerEnd + 4, length);
            received.remove(0, headerEnd + 4 + length);
            continued = false;
            ++m_requestsPassedOn;
            QByteArray answer("\x02\x00\x04\x06", 4); // IPP 2.0, client-error-not-found
            answer += body.size() >= 8 ? body.mid(4, 4) : QByteArray(4, '\0'); // the request-id
            answer += '\x01';                                                  // operation attributes
            const auto attribute = [&answer](char tag, const QByteArray& name, const QByteArray& value) {
                answer += tag;
                answer += char(name.size() >> 8);
                answer += char(name.size() & 0xff);
                answer += name;
                answer += char(value.size() >> 8);
                answer += char(value.size() & 0xff);
                answer += value;
            };
            attribute('\x47', "attributes-charset", "utf-8");
            attribute('\x48', "attributes-natural-language", "en");
            answer += '\x03'; // end of attributes
            const QByteArray response =
                "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " +
                QByteArray::number(answer.size()) + "\r\n\r\n" + answer;
            if (!loopback::sendAll(client, response.constData(), response.size()))
                return;
        }
    }

    const Kind m_kind;
    const std::chrono::milliseconds m_delay;
    const QByteArray m_upstream;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_answered = false;
    std::atomic<int> m_requestsPassedOn = 0;
    std::thread m_acceptor;
    std::mutex m_mutex;
    std::vector<std::thread> m_connections;
};
