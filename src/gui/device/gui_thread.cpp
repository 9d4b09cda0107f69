#include "gui/device/gui_thread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <atomic>
#include <memory>

namespace kova {

bool OnGuiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app == nullptr || QThread::currentThread() == app->thread();
}

void CallOnGuiThread(const std::function<void()>& call) {
  if (OnGuiThread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(QCoreApplication::instance(), call, Qt::BlockingQueuedConnection);
}

void PostToGuiThread(QObject* context, std::function<void()> call) {
  if (OnGuiThread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

bool RunOnWorker(QDialog& window, const std::function<bool()>& operation) {
  bool result = false;
  std::atomic<bool> finished{false};
  // Shared: the worker's last call may come after this function returned.
  auto rest = std::make_shared<QEventLoop>();
  // A thread with no event loop of its own: a serial port it opens gets no
  // notifier that another thread's loop could serve meanwhile. A QThread,
  // since Qt's serial port wants its notifiers on one (else it prints
  // "QSocketNotifier: Can only be used with threads started with QThread").
  std::unique_ptr<QThread> worker(QThread::create([&, rest] {
    result = operation();
    finished = true;
    // The window may not be in its loop yet: the call waits in the queue.
    QMetaObject::invokeMethod(
        &window,
        [&window, rest] {
          window.done(QDialog::Accepted);
          rest->quit();
        },
        Qt::QueuedConnection);
  }));
  worker->start();
  window.exec();
  // Hiding the window ends its loop (a run's abort ending hides it at
  // once): the rest of the operation is waited for with the window's
  // thread still painting, but without input.
  if (!finished) rest->exec(QEventLoop::ExcludeUserInputEvents);
  worker->wait();
  return result;
}

}  // namespace kova
