#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tolvane {

// The desktop's "open" action on a file (its default program). Returns
// whether the desktop took it: false when it names no program for the file
// or could not be asked to open it. Nothing is shown to the user either way.
bool shellOpen(const QString& path);

// Starts another program without waiting for it.
bool startDetached(const QString& program, const QStringList& arguments);

// Test seams: stand-ins for the desktop. An empty function restores it.
void setShellOpenHandler(std::function<bool(const QString&)> handler);
void setStartDetachedHandler(std::function<bool(const QString&, const QStringList&)> handler);

} // namespace tolvane
