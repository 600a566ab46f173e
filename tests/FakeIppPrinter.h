#pragma once

// A print server of its own on the loopback address that answers IPP itself, with one printer,
// "Brug", that takes PDF: for the printing tests that need a server to say what no real scheduler
// says (a job without a number, a paper of its own), or to behave as a hostile one does (a login
// asked for, a redirect to itself, an answer that never ends). CUPS_SERVER=address() sends the
// program to it. What it is sent is kept: the documents, the connections.

#include "Loopback.h"

#include <QByteArray>
#include <QByteArrayList>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

class FakeIppPrinter {
public:
    enum class Answer {
        Prints,          // a printer as it should be
        RefusesDocument, // Print-Job: client-error-document-format-not-supported
        Http,            // every request gets `httpStatus` (401 with Basic, 426, 301 to itself)
        Trickles,        // every answer a header that never ends, a byte each 50 ms
    };

    // `ipv6`: on ::1 rather than 127.0.0.1.
    explicit FakeIppPrinter(Answer answer, int httpStatus = 0, bool ipv6 = false)
        : m_answer(answer)
        , m_httpStatus(httpStatus)
        , m_host(ipv6 ? "[::1]" : "127.0.0.1") {
        m_listener = loopback::listen(m_port, ipv6);
        if (m_port != 0)
            m_acceptor = std::thread([this] { acceptLoop(); });
    }

    ~FakeIppPrinter() {
        m_stop = true;
        if (m_acceptor.joinable())
            m_acceptor.join();
        ::close(m_listener);
        for (Connection& connection : m_connections)
            connection.thread.join();
    }

    FakeIppPrinter(const FakeIppPrinter&) = delete;
    FakeIppPrinter& operator=(const FakeIppPrinter&) = delete;

    // What the printer says of its paper; set before the first request.
    QByteArray mediaDefault = "iso_a4_210x297mm"; // empty: the attribute without a value
    QByteArrayList mediaSupported{"iso_a4_210x297mm", "na_letter_8.5x11in"};

    bool listening() const { return m_port != 0; }
    QByteArray address() const { return m_host + ':' + QByteArray::number(m_port); }
    int port() const { return m_port; }
    int connectionsMade() const { return m_made.load(); }
    int connectionsOpen() const { return m_open.load(); }
    std::vector<QByteArray> documents() const {
        const std::lock_guard lock(m_mutex);
        return m_documents;
    }

private:
    bool readable(int fd) const { return loopback::readable(fd, m_stop); }

    bool send(int fd, const QByteArray& data) const {
        return loopback::sendAll(fd, data.constData(), data.size());
    }

    void acceptLoop() {
        while (readable(m_listener)) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client < 0)
                continue;
            ++m_made;
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
                                         serve(client);
                                         ::close(client);
                                         --m_open;
                                         *done = true;
                                     }),
                                     done});
        }
    }

    // Reads more of the connection into `received`: false when it has closed.
    bool receive(int client, QByteArray& received) const {
        char buffer[65536];
        if (!readable(client))
            return false;
        const ssize_t n = loopback::receive(client, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        received.append(buffer, n);
        return true;
    }

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
            if (m_answer == Answer::Http) {
                answerHttp(client);
                return;
            }
            if (headers.contains("expect: 100-continue") && !send(client, "HTTP/1.1 100 Continue\r\n\r\n"))
                return;
            QByteArray body;
            if (!readBody(client, headers, received, body))
                return;
            if (m_answer == Answer::Trickles) {
                trickle(client);
                return;
            }
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
        if (m_httpStatus == 401)
            response = "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"CUPS\"\r\n";
        else if (m_httpStatus == 426)
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
            loopback::pause(std::chrono::milliseconds(50), m_stop);
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

    // The document of a Send-Document: what follows the end of its attributes.
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

    QByteArray answer(const QByteArray& request) {
        const int operation = request.size() >= 8 ? (uchar(request[2]) << 8) | uchar(request[3]) : 0;
        QByteArray ipp("\x02\x00\x00\x00", 4); // IPP 2.0, successful-ok
        ipp += request.size() >= 8 ? request.mid(4, 4) : QByteArray(4, '\0');
        ipp += '\x01';
        attribute(ipp, '\x47', "attributes-charset", "utf-8");
        attribute(ipp, '\x48', "attributes-natural-language", "en");
        constexpr int GetPrinterAttributes = 0x000b, CupsGetDefault = 0x4001, PrintJob = 0x0002;
        if (operation == GetPrinterAttributes || operation == CupsGetDefault) {
            ipp += '\x04';
            attribute(ipp, '\x42', "printer-name", "Brug");
            attribute(ipp, '\x45', "printer-uri-supported", "ipp://" + address() + "/printers/Brug");
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
        } else if (operation == PrintJob && m_answer == Answer::RefusesDocument) {
            ipp[2] = '\x04'; // client-error-document-format-not-supported
            ipp[3] = '\x0a';
        } else if (operation == PrintJob) {
            {
                const std::lock_guard lock(m_mutex);
                m_documents.push_back(document(request));
            }
            ipp += '\x02';
            attribute(ipp, '\x21', "job-id", integer(7));
            attribute(ipp, '\x45', "job-uri", "ipp://" + address() + "/jobs/7");
            attribute(ipp, '\x23', "job-state", integer(3));
        }
        ipp += '\x03';
        return "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " +
               QByteArray::number(ipp.size()) + "\r\n\r\n" + ipp;
    }

    const Answer m_answer;
    const int m_httpStatus;
    const QByteArray m_host;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop = false;
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
