#pragma once
// Where the desktop runs what: the instrument's operations block, so they run
// on a worker thread while a modal window (wait or transfer) keeps the
// user's input away from the rest of the program; everything that touches a
// widget runs on the window's thread. These helpers move a call to the right
// thread and back.

#include <QDialog>
#include <functional>

class QObject;

namespace kova {

// True on the thread that owns the application's windows.
bool OnGuiThread();

// Runs `call` on the window's thread and returns when it has run (at once
// when already there). The worker waits; the window's thread must not be
// waiting for that worker, which RunOnWorker guarantees.
void CallOnGuiThread(const std::function<void()>& call);

// Runs `call` on the window's thread without waiting for it; it is dropped
// when `context` is gone by then. At once when already there.
void PostToGuiThread(QObject* context, std::function<void()> call);

// Shows `window` modally and runs `operation` on a worker thread; the window
// closes (done(Accepted)) once the operation has returned. The window's own
// Escape and close are its business (Abort while it runs). Returns what the
// operation returned.
bool RunOnWorker(QDialog& window, const std::function<bool()>& operation);

}  // namespace kova
