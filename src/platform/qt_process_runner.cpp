#include "platform/qt_process_runner.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>

#include "base/codepage.h"

#ifdef __linux__
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace kova {
namespace {

// What the program prints on its standard output goes to our standard
// error: our standard output carries data (the list of written files).
void PassOutputOn(QProcess& process) {
  const QByteArray out = process.readAllStandardOutput();
  if (!out.isEmpty()) {
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stderr);
    std::fflush(stderr);
  }
}

// A path or argument as the program's own text (Windows-1252 on Windows,
// the file system's bytes elsewhere), for Qt.
QString NativeText(const std::string& text) {
#ifdef _WIN32
  const std::u16string wide = Cp1252ToUtf16(text);
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
#else
  return QFile::decodeName(QByteArray::fromStdString(text));
#endif
}

}  // namespace

ProcessOutcome QtProcessRunner::Run(const std::string& program,
                                    const std::vector<std::string>& args,
                                    const ProcessLimits& limits, int& exit_code) {
  QStringList list;
  for (const std::string& a : args) list << NativeText(a);
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
#ifdef __linux__
  // The program dies with us: a killed kova or kova-gui never leaves it
  // running. (The parent may already be gone when the child gets here.)
  const pid_t parent = ::getpid();
  process.setChildProcessModifier([parent] {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
  });
#endif
  process.start(NativeText(program), list);
  if (!process.waitForStarted(5000)) return ProcessOutcome::kNotStarted;
  std::unique_ptr<Deadline> deadline;
  if (limits.time_limit_ms > 0) deadline = std::make_unique<Deadline>(limits.time_limit_ms);
  const auto stop = [&process](ProcessOutcome why) {
    process.kill();
    process.waitForFinished(5000);
    PassOutputOn(process);
    return why;
  };
  while (!process.waitForFinished(20)) {
    PassOutputOn(process);
    if (process.state() == QProcess::NotRunning) break;
    if (limits.cancel && limits.cancel->IsCancelled()) return stop(ProcessOutcome::kCancelled);
    if (deadline && deadline->Expired()) return stop(ProcessOutcome::kTimedOut);
  }
  PassOutputOn(process);
  if (process.exitStatus() != QProcess::NormalExit) return ProcessOutcome::kNoExitCode;
  exit_code = process.exitCode();
  return ProcessOutcome::kExited;
}

}  // namespace kova
