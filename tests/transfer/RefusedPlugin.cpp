// SPDX-License-Identifier: MIT
// Qt plugins with the transfer's interface id that are refused once loaded, built with default
// visibility and so with GNU unique symbols, which keep a library loaded for good: one whose
// instance is no transfer, and, with DATA_INSTANCE, one whose instance entry is data, which a
// program that called it would crash on.
#include "runtime/TransferInterface.h"

#include <QObject>
#include <QtPlugin>

class RefusedPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VistameterTransferInterface_iid)
};

#ifdef DATA_INSTANCE
extern "C" Q_DECL_EXPORT const char qt_plugin_instance[] = "not code";
// The instance function that moc writes goes by another name.
#define qt_plugin_instance qt_plugin_instance_unused
#endif

#include "RefusedPlugin.moc"
