// SPDX-License-Identifier: MIT
#include "SkinResource.h"

#include <algorithm>
#include <iterator>
#include <list>
#include <map>
#include <memory>

namespace {

// A folder or a file of the resource.
struct Node
{
    QString name;
    QByteArray bytes;
    std::map<QString, std::unique_ptr<Node>> children; // a folder has some, a file none
    bool isFolder = false;
};

// The hash of a name by which Qt finds it among its siblings, which lie in its order.
quint32 hashOf(const QString &name)
{
    quint32 hash = 0;
    for (const QChar c : name) {
        hash = (hash << 4) + c.unicode();
        hash ^= (hash & 0xf0000000) >> 23;
        hash &= 0x0fffffff;
    }
    return hash;
}

// Like the rest of the engine, this keeps to Qt's own functions and copies nothing inline (see
// SkinSheet.cpp): numbers go in a byte at a time, the entries into linked lists.
template <class Number> void put(QByteArray &out, Number number)
{
    for (int shift = int(sizeof number) * 8 - 8; shift >= 0; shift -= 8)
        out.append(char((number >> shift) & 0xff));
}

enum Flag : quint16 {
    Folder = 0x02,
};

// What a file's entry says of its locale: any territory, the C locale's language.
constexpr quint16 AnyTerritory = 0;
constexpr quint16 CLanguage = 1;

constexpr quint32 HeaderSize = 20;

} // namespace

QByteArray resourceData(const QMap<QString, QByteArray> &files)
{
    Node root;
    root.isFolder = true;
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        Node *folder = &root;
        const QStringList parts = file.key().split(u'/', Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < parts.size(); ++i) {
            std::unique_ptr<Node> &child = folder->children[parts.at(i)];
            if (!child) {
                child = std::make_unique<Node>();
                child->name = parts.at(i);
                child->isFolder = i + 1 < parts.size();
            }
            folder = child.get();
        }
        folder->bytes = file.value();
    }

    // The entries, a folder's children side by side in the order of their hashes, each
    // folder's after all the entries before it: the root first, then level by level.
    std::list<const Node *> entries{&root};
    std::map<const Node *, quint32> firstChild;
    quint32 count = 1;
    // The list grows as it is walked: each folder's children go at its end.
    for (auto at = entries.cbegin(); at != entries.cend(); ++at) {
        const Node *entry = *at;
        std::multimap<quint32, const Node *> children;
        for (const auto &child : entry->children)
            children.emplace(hashOf(child.second->name), child.second.get());
        firstChild[entry] = count;
        std::transform(children.cbegin(), children.cend(), std::back_inserter(entries),
                       [](const auto &child) { return child.second; });
        count += quint32(children.size());
    }

    QByteArray data;
    QByteArray names;
    QByteArray tree;
    QMap<QString, quint32> nameOffsets;
    for (const Node *entry : entries) {
        quint32 nameOffset = 0;
        if (entry != &root) {
            const auto known = nameOffsets.constFind(entry->name);
            if (known != nameOffsets.cend()) {
                nameOffset = known.value();
            } else {
                nameOffset = quint32(names.size());
                nameOffsets.insert(entry->name, nameOffset);
                put(names, quint16(entry->name.size()));
                put(names, hashOf(entry->name));
                for (const QChar c : entry->name)
                    put(names, c.unicode());
            }
        }
        put(tree, nameOffset);
        if (entry->isFolder) {
            put(tree, quint16(Folder));
            put(tree, quint32(entry->children.size()));
            put(tree, firstChild[entry]);
        } else {
            put(tree, quint16(0));
            put(tree, AnyTerritory);
            put(tree, CLanguage);
            put(tree, quint32(data.size()));
            put(data, quint32(entry->bytes.size()));
            data += entry->bytes;
        }
    }

    QByteArray resource("qres");
    put(resource, quint32(1)); // the format's version
    put(resource, quint32(HeaderSize + data.size() + names.size()));
    put(resource, HeaderSize);
    put(resource, quint32(HeaderSize + data.size()));
    return resource + data + names + tree;
}
