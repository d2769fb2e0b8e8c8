#include "qt/command_runner.h"

#include <QProcess>
#include <QStringList>

namespace qtui {

bool CommandRunner::run(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  QStringList arguments;
  for (auto argument = argv.begin() + 1; argument != argv.end(); ++argument)
    arguments << QString::fromStdString(*argument);
  QProcess process;
  process.start(QString::fromStdString(argv.front()), arguments);
  // pkexec asks for the password in a window of its own meanwhile.
  if (!process.waitForFinished(-1)) return false;
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

}  // namespace qtui
