// SPDX-License-Identifier: MIT
#include "SkinSheet.h"

#include <QDir>

#include <algorithm>
#include <map>

// The engine is a library of its own, built hardened: the text work here keeps to Qt's own
// functions and copies nothing inline, so that it calls none of the C library's copying
// functions (memcpy, memmove, strlen) that fortification can't guard.

namespace {

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The character at i as Qt's style sheet parser reads it before it splits the sheet into
// tokens: a backslash followed by up to six hexadecimal digits stands for the character they
// number, unless that lies beyond U+FFFF; anything else stands for itself. i moves past what
// was read.
QChar readAt(const QString &sheet, qsizetype &i)
{
    if (sheet.at(i) == u'\\') {
        qsizetype digits = 0;
        while (digits < 6 && i + 1 + digits < sheet.size() && isHexDigit(sheet.at(i + 1 + digits)))
            ++digits;
        bool ok = false;
        const ushort code =
            digits > 0 ? QStringView(sheet).mid(i + 1, digits).toUShort(&ok, 16) : 0;
        if (ok) {
            i += 1 + digits;
            return QChar(code);
        }
    }
    return sheet.at(i++);
}

// What may stand in a name: letters, digits, '-', '_' and anything beyond ASCII; and, after a
// backslash, any character.
bool isNameCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'_' || c.unicode() >= 0x80;
}

// The arguments that start at i, just past an opening '(', as read: up to the ')' that closes
// it, past strings and nested parentheses, or to the end of the sheet. i moves past that ')'.
QString argumentsAt(const QString &sheet, qsizetype &i)
{
    QString arguments;
    int depth = 1;
    QChar quote;
    while (i < sheet.size()) {
        const QChar c = readAt(sheet, i);
        if (c == u'\\' && i < sheet.size()) {
            arguments += c;
            arguments += readAt(sheet, i);
            continue;
        }
        if (!quote.isNull()) {
            if (c == quote || c == u'\n')
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')' && --depth == 0) {
            break;
        }
        arguments += c;
    }
    return arguments;
}

bool isCssSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

// The name that the arguments of url(...) give: without the spaces and the quotes around it,
// and with every character after a backslash taken as itself.
QString nameIn(QStringView arguments)
{
    while (!arguments.isEmpty() && isCssSpace(arguments.front()))
        arguments = arguments.mid(1);
    while (!arguments.isEmpty() && isCssSpace(arguments.back()))
        arguments.chop(1);
    if (arguments.size() >= 2 && (arguments.front() == u'"' || arguments.front() == u'\'') &&
        arguments.back() == arguments.front())
        arguments = arguments.mid(1, arguments.size() - 2);
    QString name;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == u'\\' && i + 1 < arguments.size())
            ++i;
        name += arguments.at(i);
    }
    return name;
}

// Whether name can stand between the double quotes of a style sheet string as it is.
bool isQuotable(const QString &name)
{
    return std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c == u'"' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F;
    });
}

} // namespace

QString withHeldImages(const QString &sheet, const QString &folder,
                       const std::function<QString(const QString &path)> &imageFor)
{
    std::map<QString, QString> held; // by the file's path: what Qt is to open for it
    QString result;
    qsizetype copied = 0; // where the part of the sheet not yet copied begins
    QString name;         // the name read last, every character after a backslash as itself
    bool escaping = false;
    for (qsizetype i = 0; i < sheet.size();) {
        const qsizetype at = i;
        const QChar c = readAt(sheet, i);
        if (escaping || isNameCharacter(c)) {
            name += c;
            escaping = false;
            continue;
        }
        if (c == u'\\') {
            escaping = true;
            continue;
        }
        const bool isUrl = c == u'(' && name.toLower().endsWith(u"url");
        name.clear();
        if (!isUrl)
            continue;

        QString path = nameIn(argumentsAt(sheet, i));
        if (!path.isEmpty() && !path.startsWith(u':') && QDir::isRelativePath(path))
            path = QStringLiteral("%1/%2").arg(folder, path);
        if (!path.isEmpty() && held.find(path) == held.end())
            held.emplace(path, isQuotable(path) ? imageFor(path) : QString());
        const auto found = held.find(path);
        const QString image = found != held.end() ? found->second : QString();
        result += QStringView(sheet).mid(copied, at - copied);
        result += !image.isEmpty() && isQuotable(image) ? QStringLiteral("(\"%1\")").arg(image)
                                                        : QStringLiteral("()");
        copied = i;
    }
    result += QStringView(sheet).mid(copied);
    return result;
}
