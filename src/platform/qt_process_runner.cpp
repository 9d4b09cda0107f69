#include "platform/qt_process_runner.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kova {

ProcessOutcome QtProcessRunner::Run(const std::string& program,
                                    const std::vector<std::string>& args,
                                    const std::function<void()>& pump, int& exit_code) {
  QStringList list;
  for (const std::string& a : args) list << QString::fromStdString(a);
  QProcess process;
  // The generator's own messages go where ours go; nothing reads its output.
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start(QString::fromStdString(program), list);
  if (!process.waitForStarted(5000)) return ProcessOutcome::kNotStarted;
  while (!process.waitForFinished(20)) {
    if (process.state() == QProcess::NotRunning) break;
    if (pump) pump();
  }
  if (process.exitStatus() != QProcess::NormalExit) return ProcessOutcome::kNoExitCode;
  exit_code = process.exitCode();
  return ProcessOutcome::kExited;
}

}  // namespace kova
