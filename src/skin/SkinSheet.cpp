// SPDX-License-Identifier: MIT
#include "SkinSheet.h"

#include <QDir>
#include <QHash>
#include <QList>

#include <algorithm>

namespace {

// The sheet as Qt's style sheet parser reads it, before it splits it into tokens: every
// backslash followed by hexadecimal digits stands for the character they number (up to six of
// them; a value beyond U+FFFF is left as written). origins holds, for each character read, where
// it begins in the sheet, and the sheet's length last.
struct ReadSheet
{
    QString text;
    QList<qsizetype> origins;
};

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

ReadSheet read(const QString &sheet)
{
    ReadSheet read;
    read.text.reserve(sheet.size());
    qsizetype i = 0;
    while (i < sheet.size()) {
        qsizetype digits = 0;
        if (sheet.at(i) == u'\\') {
            while (digits < 6 && i + 1 + digits < sheet.size() &&
                   isHexDigit(sheet.at(i + 1 + digits)))
                ++digits;
        }
        bool ok = false;
        const ushort code =
            digits > 0 ? QStringView(sheet).mid(i + 1, digits).toUShort(&ok, 16) : 0;
        read.origins << i;
        if (ok) {
            read.text += QChar(code);
            i += 1 + digits;
        } else {
            // A backslash without digits, or with too many, stays; so does what follows it.
            read.text += sheet.at(i);
            ++i;
        }
    }
    read.origins << sheet.size();
    return read;
}

// What may stand in a name: letters, digits, '-', '_' and anything beyond ASCII; and any
// character after a backslash, which the reader has kept.
bool isNameCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'_' || c.unicode() >= 0x80;
}

// name without its backslashes, each of which only makes the next character count as itself.
QString unescaped(QStringView name)
{
    QString plain;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name.at(i) == u'\\' && i + 1 < name.size())
            ++i;
        plain += name.at(i);
    }
    return plain;
}

// Where the arguments that open at open end: at the ')' that closes it, past strings and
// nested parentheses; or at the end of text.
qsizetype closing(const QString &text, qsizetype open)
{
    int depth = 0;
    QChar quote;
    for (qsizetype i = open; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\') {
            ++i;
        } else if (!quote.isNull()) {
            if (c == quote || c == u'\n')
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')' && --depth == 0) {
            return i;
        }
    }
    return text.size();
}

bool isCssSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

// The name that the arguments of url(...) give: without the spaces around it, the quotes
// around it and its backslashes.
QString nameIn(QStringView arguments)
{
    while (!arguments.isEmpty() && isCssSpace(arguments.front()))
        arguments = arguments.mid(1);
    while (!arguments.isEmpty() && isCssSpace(arguments.back()))
        arguments.chop(1);
    if (arguments.size() >= 2 && (arguments.front() == u'"' || arguments.front() == u'\'') &&
        arguments.back() == arguments.front())
        arguments = arguments.mid(1, arguments.size() - 2);
    return unescaped(arguments);
}

// Whether name can stand between the double quotes of a style sheet string as it is.
bool isQuotable(const QString &name)
{
    return std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c == u'"' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F;
    });
}

} // namespace

QString withCheckedImages(const QString &sheet, const QString &folder,
                          const std::function<bool(const QString &path)> &isSafe)
{
    const ReadSheet readSheet = read(sheet);
    const QString &text = readSheet.text;
    QHash<QString, bool> checked;
    QString result;
    qsizetype copied = 0; // in the sheet, where the part not yet copied begins
    qsizetype nameStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\') {
            ++i;
            continue;
        }
        if (isNameCharacter(c))
            continue;
        const bool isUrl = c == u'(' && unescaped(QStringView(text).mid(nameStart, i - nameStart))
                                            .toLower()
                                            .endsWith(QLatin1String("url"));
        nameStart = i + 1;
        if (!isUrl)
            continue;

        const qsizetype end = closing(text, i);
        QString path = nameIn(QStringView(text).mid(i + 1, end - i - 1));
        if (!path.isEmpty() && !path.startsWith(u':') && QDir::isRelativePath(path))
            path = folder + u'/' + path;
        if (!path.isEmpty() && !checked.contains(path))
            checked.insert(path, isQuotable(path) && isSafe(path));
        const QString arguments =
            checked.value(path) ? QStringLiteral("(\"%1\")").arg(path) : QStringLiteral("()");
        result += QStringView(sheet).mid(copied, readSheet.origins.at(i) - copied);
        result += arguments;
        copied = readSheet.origins.at(std::min(end + 1, text.size()));
        i = end;
        nameStart = end + 1;
    }
    result += QStringView(sheet).mid(copied);
    return result;
}
