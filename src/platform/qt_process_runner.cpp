#include "platform/qt_process_runner.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

namespace kova {

ProcessOutcome QtProcessRunner::Run(const std::string& program,
                                    const std::vector<std::string>& args,
                                    const ProcessLimits& limits, int& exit_code) {
  QStringList list;
  for (const std::string& a : args) list << QString::fromStdString(a);
  QProcess process;
  // The generator's own messages go where ours go; nothing reads its output.
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start(QString::fromStdString(program), list);
  if (!process.waitForStarted(5000)) return ProcessOutcome::kNotStarted;
  std::unique_ptr<Deadline> deadline;
  if (limits.time_limit_ms > 0) deadline = std::make_unique<Deadline>(limits.time_limit_ms);
  const auto stop = [&process](ProcessOutcome why) {
    process.kill();
    process.waitForFinished(5000);
    return why;
  };
  while (!process.waitForFinished(20)) {
    if (process.state() == QProcess::NotRunning) break;
    if (limits.cancel && limits.cancel->IsCancelled()) return stop(ProcessOutcome::kCancelled);
    if (deadline && deadline->Expired()) return stop(ProcessOutcome::kTimedOut);
  }
  if (process.exitStatus() != QProcess::NormalExit) return ProcessOutcome::kNoExitCode;
  exit_code = process.exitCode();
  return ProcessOutcome::kExited;
}

}  // namespace kova
