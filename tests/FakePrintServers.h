#pragma once

// Print servers that misbehave as they do on a ship's network, on the loopback address, for the
// printing tests: CUPS_SERVER=address() sends the program to one. Some answer IPP themselves, with
// one printer, "Brug", that takes PDF, to say what no real scheduler says; some fail at the
// connection; some pass requests on to the private test printer's scheduler (the CUPS_SERVER the
// test started with) and hold its answers back. What a server is sent is kept: the documents, the
// connections.

#include <QByteArray>
#include <QByteArrayList>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace loopback {

inline sockaddr_in address(int port) {
    return {AF_INET, htons(quint16(port)), {htonl(INADDR_LOOPBACK)}, {}};
}

// A socket listening on 127.0.0.1, on a port of the system's choosing, which `port` is set to (0
// on failure).
inline int listen(int& port) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in bound = address(0);
    socklen_t length = sizeof bound;
    port = 0;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&bound), length) == 0 && ::listen(listener, 64) == 0 &&
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &length) == 0)
        port = ntohs(bound.sin_port);
    return listener;
}

} // namespace loopback

struct FakePrintServerSettings {
    std::chrono::milliseconds delay{}; // how long answers are held back, where they are
    int httpStatus = 0;                // what Kind::Http answers
    bool local = false;                // on a local socket, as a scheduler is, rather than TCP
};

class FakePrintServer {
public:
    enum class Kind {
        // Answering IPP itself:
        Prints,          // a printer as it should be; its answer to a document held back for the delay
        LoginThenDrops,  // the first Print-Job: 401 with Basic; the next one: the connection closes
        RefusesDocument, // Print-Job: client-error-document-format-not-supported
        NoDefault,       // every request: client-error-not-found, as a scheduler without a default printer
        Http,            // every request gets `httpStatus` (401 with Basic, 426, 301 to itself)
        Trickles,        // every answer a header that never ends, a byte each 50 ms
        // At the connection:
        Silent,       // takes connections and never answers (it does not even accept them)
        ClosesAtOnce, // closes every connection as soon as it is made
        // Passing requests on to the test printer:
        AnswersOnce,   // the first request and its answer, then never answers again
        Slow,          // everything, each answer held back for the delay
        HoldsDocument, // everything, the answer to the document (Print-Job) held back
        OneConnection, // the first request and its answer, then closes; refuses more connections
    };
    using Settings = FakePrintServerSettings;

    explicit FakePrintServer(Kind kind, Settings settings = {})
        : m_kind(kind)
        , m_settings(settings)
        , m_upstream(qgetenv("CUPS_SERVER")) {
        if (settings.local)
            m_listener = listenLocally();
        else
            m_listener = loopback::listen(m_port);
        // A silent server does not even accept: the system queues the connections for it.
        if (m_port != 0 && m_kind != Kind::Silent)
            m_acceptor = std::thread([this] { acceptLoop(); });
    }

    ~FakePrintServer() {
        m_stop = true;
        if (m_acceptor.joinable())
            m_acceptor.join();
        ::close(m_listener);
        for (Connection& connection : m_connections)
            connection.thread.join();
        if (!m_path.isEmpty()) {
            ::unlink(m_path.constData());
            ::rmdir(m_path.left(m_path.lastIndexOf('/')).constData());
        }
    }

    FakePrintServer(const FakePrintServer&) = delete;
    FakePrintServer& operator=(const FakePrintServer&) = delete;

    // What the printer says of its paper; set before the first request.
    QByteArray mediaDefault = "iso_a4_210x297mm"; // empty: the attribute without a value
    QByteArrayList mediaSupported{"iso_a4_210x297mm", "na_letter_8.5x11in"};

    bool listening() const { return m_port != 0; }
    int port() const { return m_port; }
    int listener() const { return m_listener; }
    QByteArray address() const {
        return m_path.isEmpty() ? "127.0.0.1:" + QByteArray::number(m_port) : m_path;
    }
    int connectionsMade() const { return m_made.load(); }
    int connectionsOpen() const { return m_open.load(); }
    std::vector<QByteArray> documents() const {
        const std::lock_guard lock(m_mutex);
        return m_documents;
    }

    // An address where nothing listens.
    static QByteArray closedPort() {
        int port = 0;
        ::close(loopback::listen(port));
        return "127.0.0.1:" + QByteArray::number(port != 0 ? port : 1); // tcpmux: nothing there either
    }

private:
    // A local socket in a folder of its own; the port says only that it listens.
    int listenLocally() {
        char folder[] = "/tmp/koerswacht-fake-XXXXXX";
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un at{};
        at.sun_family = AF_UNIX;
        if (::mkdtemp(folder) == nullptr)
            return listener;
        m_path = QByteArray(folder) + "/s";
        std::strncpy(at.sun_path, m_path.constData(), sizeof at.sun_path - 1);
        if (::bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 && ::listen(listener, 64) == 0)
            m_port = 1;
        return listener;
    }

    // Waits until `fd` can be read, or the server is told to stop: false then.
    bool readable(int fd) const {
        pollfd p{fd, POLLIN, 0};
        while (!m_stop) {
            if (::poll(&p, 1, 20) > 0)
                return true;
        }
        return false;
    }
    void pause(std::chrono::milliseconds span) const {
        const auto until = std::chrono::steady_clock::now() + span;
        while (!m_stop && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Reads what has come, again when a signal interrupts (the tests' own child processes end).
    static ssize_t receive(int fd, char* buffer, size_t size) {
        ssize_t n = 0;
        do
            n = ::recv(fd, buffer, size, 0);
        while (n < 0 && errno == EINTR);
        return n;
    }
    // Sends all of it, whatever signals come: false when the connection failed.
    static bool send(int fd, const char* data, qsizetype size) {
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
    static bool send(int fd, const QByteArray& data) { return send(fd, data.constData(), data.size()); }
    // Reads more of the connection into `received`: false when it has closed.
    bool receive(int client, QByteArray& received) const {
        char buffer[65536];
        if (!readable(client))
            return false;
        const ssize_t n = receive(client, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        received.append(buffer, n);
        return true;
    }

    void acceptLoop() {
        while (readable(m_listener)) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client < 0)
                continue;
            ++m_made;
            if (m_kind == Kind::ClosesAtOnce) {
                ::close(client);
                continue;
            }
            if (m_kind == Kind::OneConnection)
                ::shutdown(m_listener, SHUT_RDWR); // later connections are refused
            ++m_open;
            // A client that reconnects without end is served by one thread at a time, not thousands.
            std::erase_if(m_connections, [](Connection& c) {
                if (!c.done->load())
                    return false;
                c.thread.join();
                return true;
            });
            auto done = std::make_shared<std::atomic<bool>>(false);
            m_connections.push_back({std::thread([this, client, done] {
                                         if (m_kind >= Kind::AnswersOnce)
                                             passOn(client);
                                         else
                                             serve(client);
                                         ::close(client);
                                         --m_open;
                                         *done = true;
                                     }),
                                     done});
        }
    }

    // Passes the connection on to the test printer's scheduler, as the kind says.
    void passOn(int client) {
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
                const ssize_t n = receive(client, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                // Gone silent: what comes in is swallowed, nothing goes out, the connection stays.
                if (m_kind == Kind::AnswersOnce && m_answered)
                    continue;
                if (!awaitingAnswer)
                    request.clear();
                if (request.size() < 4096)
                    request.append(buffer, std::min<ssize_t>(n, 4096));
                awaitingAnswer = true;
                if (!send(server, buffer, n))
                    break;
            }
            if ((both[1].revents & (POLLIN | POLLHUP)) != 0) {
                const ssize_t n = receive(server, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                if (awaitingAnswer &&
                    (m_kind == Kind::Slow || (m_kind == Kind::HoldsDocument && printsJob(request))))
                    pause(m_settings.delay);
                awaitingAnswer = false;
                if (!send(client, buffer, n) || m_kind == Kind::OneConnection)
                    break;
                m_answered = true;
            }
        }
        ::close(server);
    }

    // Whether an HTTP request carrying IPP, as far as it has come, is a Print-Job: its operation id,
    // after the headers and, for a chunked body, the first chunk's size line.
    static bool printsJob(const QByteArray& request) {
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

    // Answers IPP requests over HTTP, as the kind says, until the connection closes.
    void serve(int client) {
        QByteArray received;
        while (!m_stop) {
            qsizetype headerEnd = received.indexOf("\r\n\r\n");
            while (headerEnd < 0) {
                // Not HTTP (a TLS handshake, say): the connection ends.
                if (!received.isEmpty() && (received[0] < 'A' || received[0] > 'Z'))
                    return;
                if (!receive(client, received))
                    return;
                headerEnd = received.indexOf("\r\n\r\n");
            }
            const QByteArray headers = received.left(headerEnd).toLower();
            received.remove(0, headerEnd + 4);
            if (m_kind == Kind::Http) {
                answerHttp(client);
                return;
            }
            // Asked again after its 401: gone before the document.
            if (m_kind == Kind::LoginThenDrops && m_answered)
                return;
            if (headers.contains("expect: 100-continue") && !send(client, "HTTP/1.1 100 Continue\r\n\r\n"))
                return;
            QByteArray body;
            if (!readBody(client, headers, received, body))
                return;
            if (m_kind == Kind::Trickles) {
                trickle(client);
                return;
            }
            const bool document = body.size() >= 4 && body[2] == '\x00' && body[3] == '\x02';
            if (document && m_kind == Kind::LoginThenDrops) {
                m_answered = true;
                answerHttp(client);
                return;
            }
            if (document)
                pause(m_settings.delay);
            if (!send(client, answer(body)))
                return;
        }
    }

    bool readBody(int client, const QByteArray& headers, QByteArray& received, QByteArray& body) const {
        if (headers.contains("transfer-encoding: chunked")) {
            for (;;) {
                qsizetype lineEnd = received.indexOf("\r\n");
                while (lineEnd < 0) {
                    if (!receive(client, received))
                        return false;
                    lineEnd = received.indexOf("\r\n");
                }
                bool ok = false;
                const qsizetype size = received.left(lineEnd).trimmed().toLongLong(&ok, 16);
                if (!ok)
                    return false;
                while (received.size() < lineEnd + 2 + size + 2) {
                    if (!receive(client, received))
                        return false;
                }
                body += received.mid(lineEnd + 2, size);
                received.remove(0, lineEnd + 2 + size + 2);
                if (size == 0)
                    return true;
            }
        }
        const qsizetype at = headers.indexOf("content-length:");
        const qsizetype length =
            at < 0 ? 0 : headers.mid(at + 15, headers.indexOf('\r', at) - at - 15).trimmed().toLongLong();
        while (received.size() < length) {
            if (!receive(client, received))
                return false;
        }
        body = received.left(length);
        received.remove(0, length);
        return true;
    }

    void answerHttp(int client) const {
        QByteArray response;
        if (m_settings.httpStatus == 401 || m_kind == Kind::LoginThenDrops)
            response = "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"CUPS\", PeerCred\r\n";
        else if (m_settings.httpStatus == 426)
            response =
                "HTTP/1.1 426 Upgrade Required\r\nUpgrade: TLS/1.2,HTTP/1.1\r\nConnection: Upgrade\r\n";
        else
            response = "HTTP/1.1 301 Moved Permanently\r\nLocation: http://" + address() + "/\r\n";
        send(client, response + "Content-Length: 0\r\nConnection: close\r\n\r\n");
    }

    void trickle(int client) const {
        if (!send(client, "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nX-Wait: "))
            return;
        while (!m_stop && send(client, "a"))
            pause(std::chrono::milliseconds(50));
    }

    static void attribute(QByteArray& to, char tag, const QByteArray& name, const QByteArray& value) {
        to += tag;
        to += char(name.size() >> 8);
        to += char(name.size() & 0xff);
        to += name;
        to += char(value.size() >> 8);
        to += char(value.size() & 0xff);
        to += value;
    }

    static QByteArray integer(int value) {
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = char((value >> (24 - 8 * i)) & 0xff);
        return bytes;
    }

    // The document of a Print-Job: what follows the end of its attributes.
    static QByteArray document(const QByteArray& request) {
        qsizetype at = 8;
        while (at < request.size()) {
            const char tag = request[at++];
            if (tag == '\x03')
                return request.mid(at);
            if (tag < '\x10')
                continue; // a group begins
            if (at + 2 > request.size())
                break;
            const int nameLength = (uchar(request[at]) << 8) | uchar(request[at + 1]);
            at += 2 + nameLength;
            if (at + 2 > request.size())
                break;
            const int valueLength = (uchar(request[at]) << 8) | uchar(request[at + 1]);
            at += 2 + valueLength;
        }
        return {};
    }

    QByteArray uriHost() const { return m_path.isEmpty() ? address() : QByteArray("localhost"); }

    QByteArray answer(const QByteArray& request) {
        const int operation = request.size() >= 8 ? (uchar(request[2]) << 8) | uchar(request[3]) : 0;
        QByteArray ipp("\x02\x00\x00\x00", 4); // IPP 2.0, successful-ok
        ipp += request.size() >= 8 ? request.mid(4, 4) : QByteArray(4, '\0');
        ipp += '\x01';
        attribute(ipp, '\x47', "attributes-charset", "utf-8");
        attribute(ipp, '\x48', "attributes-natural-language", "en");
        constexpr int GetPrinterAttributes = 0x000b, CupsGetDefault = 0x4001, PrintJob = 0x0002;
        if (m_kind == Kind::NoDefault) {
            ipp[2] = '\x04'; // client-error-not-found
            ipp[3] = '\x06';
        } else if (operation == GetPrinterAttributes || operation == CupsGetDefault) {
            ipp += '\x04';
            attribute(ipp, '\x42', "printer-name", "Brug");
            attribute(ipp, '\x45', "printer-uri-supported", "ipp://" + uriHost() + "/printers/Brug");
            attribute(ipp, '\x44', "uri-security-supported", "none");
            attribute(ipp, '\x44', "uri-authentication-supported", "none");
            attribute(ipp, '\x22', "printer-is-accepting-jobs", QByteArray(1, '\x01'));
            attribute(ipp, '\x23', "printer-state", integer(3));
            attribute(ipp, '\x49', "document-format-supported", "application/pdf");
            if (mediaDefault.isEmpty())
                attribute(ipp, '\x13', "media-default", {}); // no value
            else
                attribute(ipp, '\x44', "media-default", mediaDefault);
            for (qsizetype i = 0; i < mediaSupported.size(); ++i)
                attribute(ipp, '\x44', i == 0 ? "media-supported" : "", mediaSupported[i]);
        } else if (operation == PrintJob && m_kind == Kind::RefusesDocument) {
            ipp[2] = '\x04'; // client-error-document-format-not-supported
            ipp[3] = '\x0a';
        } else if (operation == PrintJob) {
            {
                const std::lock_guard lock(m_mutex);
                m_documents.push_back(document(request));
            }
            ipp += '\x02';
            attribute(ipp, '\x21', "job-id", integer(7));
            attribute(ipp, '\x45', "job-uri", "ipp://" + uriHost() + "/jobs/7");
            attribute(ipp, '\x23', "job-state", integer(3));
        }
        ipp += '\x03';
        return "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " +
               QByteArray::number(ipp.size()) + "\r\n\r\n" + ipp;
    }

    const Kind m_kind;
    const Settings m_settings;
    const QByteArray m_upstream;
    QByteArray m_path; // the local socket's
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_answered = false;
    std::atomic<int> m_made = 0;
    std::atomic<int> m_open = 0;
    std::thread m_acceptor;
    mutable std::mutex m_mutex;
    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Connection> m_connections; // the acceptor's own
    std::vector<QByteArray> m_documents;
};
