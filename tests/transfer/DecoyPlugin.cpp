// SPDX-License-Identifier: MIT
// A Qt plugin in the transfer plugin's place that isn't it: the interface id DECOY_IID is
// another one, or the transfer's with another version. Qt reads the id without running any of
// the file, which must never be loaded: loading it ends the process.
#include <QObject>
#include <QtPlugin>

#include <cstdlib>

class DecoyPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID DECOY_IID)
};

namespace {

struct EndsTheProcessWhenLoaded
{
    EndsTheProcessWhenLoaded() { std::abort(); }
} const Trap;

} // namespace

#include "DecoyPlugin.moc"
