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

// Opens the help file "Zenlo.chm" (AppPaths::helpFile()) with the desktop's
// default program. A missing file, or a desktop
// that does not take it, says nothing.
void openHelpFile();

// Ends the whole application: its windows are closed and every event loop,
// modal ones included, ends.
void terminateApplication();

// Test seams: stand-ins for the desktop. An empty function restores it.
void setShellOpenHandler(std::function<bool(const QString&)> handler);
void setStartDetachedHandler(std::function<bool(const QString&, const QStringList&)> handler);
// Stands in for the end of the application, so a test can see it asked for.
void setTerminateHandler(std::function<void()> handler);

} // namespace tolvane
