// SPDX-License-Identifier: MIT
// Reading a reply from any bytes: however they are cut up on their way, the reading is the
// same; a success is a 2xx reply with a body within the limit, a redirect a 3xx one with a
// target, a failure one with its reason; and once the connection has ended the reading has too.

#include "FuzzSupport.h"

#include "transfer/HttpReply.h"

using Transfer::HttpReply;

namespace {

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

void checkSame(const HttpReply &one, const HttpReply &other, const QString &input)
{
    FUZZ_CHECK(one.state() == other.state() && one.status() == other.status() &&
                   one.body() == other.body() && one.location() == other.location() &&
                   one.error().reason == other.error().reason,
               input);
}

void checkReading(const HttpReply &reply, qsizetype inputSize, const QString &input)
{
    // A reply that fails says why, and only one that fails.
    FUZZ_CHECK((reply.state() == HttpReply::State::Failed) ==
                   (reply.error().reason != HttpReply::Reason::None),
               input);
    switch (reply.state()) {
    case HttpReply::State::Succeeded:
        FUZZ_CHECK(reply.status() >= 200 && reply.status() <= 299, input);
        FUZZ_CHECK(reply.body().size() <= HttpReply::MaxBodySize, input);
        FUZZ_CHECK(reply.body().size() <= inputSize, input);
        break;
    case HttpReply::State::Redirected:
        FUZZ_CHECK(isRedirect(reply.status()) && !reply.location().isEmpty(), input);
        break;
    case HttpReply::State::Failed:
        FUZZ_CHECK(reply.body().isEmpty(), input);
        break;
    case HttpReply::State::Reading:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString input = QString::fromLatin1(bytes.first(qMin(bytes.size(), qsizetype(300))));

    HttpReply whole;
    whole.feed(bytes);
    // Slices of 1 to 16 bytes, their lengths taken from the bytes themselves.
    HttpReply sliced;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype slice = qMin(qsizetype(1 + data[at] % 16), bytes.size() - at);
        sliced.feed(bytes.sliced(at, slice));
        at += slice;
    }
    checkSame(whole, sliced, input);
    checkReading(whole, bytes.size(), input);

    // Bytes after the end of a reply change nothing.
    const HttpReply::State before = whole.state();
    if (before != HttpReply::State::Reading) {
        whole.feed(bytes);
        FUZZ_CHECK(whole.state() == before, input);
    }

    whole.end();
    sliced.end();
    checkSame(whole, sliced, input);
    checkReading(whole, bytes.size(), input);
    FUZZ_CHECK(whole.state() != HttpReply::State::Reading, input);
    return 0;
}
