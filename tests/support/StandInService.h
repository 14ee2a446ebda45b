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

// What the stand-in sends for one request: a head, then a unit again and again, then a tail,
// then the end of the connection.
struct Reply
{
    enum class End {
        Close,  // an orderly close
        Reset,  // a reset, as a crashed server leaves it
        Hold,   // kept open and silent until the client gives up
        Tunnel, // as an HTTP proxy after CONNECT: on to the port it names, on this machine
    };

    // unit is sent after head again and again, until unitBytes of it are out (for ever when
    // negative); then tail. With a pace, everything after the head goes out a byte at a time,
    // that far apart; without, as fast as the connection takes it.
    explicit Reply(QByteArray head = {}, QByteArray unit = {}, qint64 unitBytes = 0,
                   QByteArray tail = {}, End end = End::Close, std::chrono::milliseconds pace = {})
        : head(std::move(head)), unit(std::move(unit)), unitBytes(unitBytes), tail(std::move(tail)),
          end(end), pace(pace)
    {}

    QByteArray head;
    QByteArray unit;
    qint64 unitBytes;
    QByteArray tail;
    End end;
    std::chrono::milliseconds pace;
};

// A status line and headers, the blank line included.
QByteArray statusHead(int status, const QByteArray &headers = {});
// A reply with the status, the length and the body given.
Reply replyWith(const QByteArray &body, int status = 200);
Reply redirectTo(const QByteArray &location, int status = 302);

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
    void answer(const QByteArray &body, int status = 200) { answer(replyWith(body, status)); }

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
