// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <utility>

class QTcpSocket;
class QThread;

// What the stand-in does with one request, made by the builders below: a head, then a unit
// again and again, then a tail, then the end of the connection.
class Reply
{
public:
    // Closes the connection at once, without a byte.
    Reply() = default;

    // A whole reply with the status, a length and the body given, then an orderly close.
    static Reply withBody(const QByteArray &body, int status = 200);
    // A redirect to location, with no body.
    static Reply redirectTo(const QByteArray &location, int status = 302);
    // Sends bytes as they are, then closes; closeAtOnce() sends nothing.
    static Reply closeAfter(const QByteArray &bytes) { return Reply(bytes, End::Close); }
    static Reply closeAtOnce() { return Reply(); }
    // Sends bytes, then resets the connection, as a crashed server leaves it.
    static Reply resetAfter(const QByteArray &bytes) { return Reply(bytes, End::Reset); }
    // Sends bytes, then keeps the connection open and silent until the client gives up;
    // silence() sends nothing at all.
    static Reply holdAfter(const QByteArray &bytes) { return Reply(bytes, End::Hold); }
    static Reply silence() { return holdAfter({}); }
    // Sends head, then unit again and again for ever, as fast as the connection takes it.
    static Reply endless(const QByteArray &head, const QByteArray &unit);
    // Sends head, then unit again and again until bytes of it are out, then tail, then closes.
    static Reply repeating(const QByteArray &head, const QByteArray &unit, qint64 bytes,
                           const QByteArray &tail = {});
    // Sends head, then body a byte at a time, pace apart, then closes.
    static Reply dripping(const QByteArray &head, const QByteArray &body,
                          std::chrono::milliseconds pace);
    // As an HTTP proxy after CONNECT: says the tunnel is open, then relays to the port that
    // CONNECT names, on this machine.
    static Reply openTunnel();

    // Whether the connection ends in a reset.
    bool resets() const { return m_end == End::Reset; }

private:
    friend class StandInService;

    enum class End { Close, Reset, Hold, Tunnel };

    Reply(QByteArray head, End end) : m_head(std::move(head)), m_end(end) {}

    QByteArray m_head;
    QByteArray m_unit;
    qint64 m_unitBytes = 0; // for ever when negative
    QByteArray m_tail;
    End m_end = End::Close;
    std::chrono::milliseconds m_pace{}; // between the bytes after the head; none: at full speed
};

// A status line and headers, the blank line included.
QByteArray statusHead(int status, const QByteArray &headers = {});

// A statistics service on loopback that answers as a test tells it, on a thread of its own:
// it writes as fast as the connection takes the bytes, as a real server does, and a client in
// the test's thread can't set its pace. It serves one connection at a time, over TLS when it
// has a certificate, and records the requests it receives. It stands in for an HTTP proxy too:
// it answers a request for a whole address like any other, and CONNECT with a tunnel.
class StandInService
{
public:
    enum class Certificate {
        None,      // plain HTTP
        Trusted,   // signed by the authority that trustTestAuthority() has the client trust
        Untrusted, // signed by itself
    };

    explicit StandInService(Certificate certificate = Certificate::None);
    ~StandInService();
    StandInService(const StandInService &) = delete;
    StandInService &operator=(const StandInService &) = delete;

    // Has this process's TLS clients trust the test authority, and nothing else.
    static void trustTestAuthority();

    // "127.0.0.1:port", to stand where the service host goes.
    QString host() const;
    // The address of path here: "http://127.0.0.1:port/path", or https.
    QByteArray url(const QByteArray &path) const;

    // Answers requests whose target starts with path (the longest such path wins; an empty
    // one takes every request) with reply.
    void answer(const Reply &reply, const QByteArray &path = {});
    void answer(const QByteArray &body, int status = 200) { answer(Reply::withBody(body, status)); }

    // What the service's thread records and the test reads.
    class Log
    {
    public:
        void append(const QByteArray &entry);
        QList<QByteArray> all() const;
        bool isEmpty() const { return all().isEmpty(); }
        QByteArray value(qsizetype i) const { return all().value(i); }

    private:
        mutable QMutex m_mutex;
        QList<QByteArray> m_entries;
    };

    // The requests received so far, each up to its blank line, and their first lines.
    Log requests;
    Log requestLines;

private:
    class Listener;

    void run(Listener &listener, Certificate certificate);
    void serve(QTcpSocket &socket);
    void tunnel(QTcpSocket &client, const QByteArray &target);
    bool send(QTcpSocket &socket, const QByteArray &bytes, std::chrono::milliseconds pace);

    quint16 m_port = 0;
    bool m_secure = false;
    std::atomic_bool m_stopping = false;
    QMutex m_mutex; // guards m_replies
    QMap<QByteArray, Reply> m_replies;
    std::unique_ptr<QThread> m_thread; // last: it runs on everything above
};
