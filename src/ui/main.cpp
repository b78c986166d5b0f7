// tarvo_prog: the firmware programmer's window.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/program_look.h"
#include "ui/tarvo_prog.h"
#include "ui/window_icon.h"

int main(int argc, char** argv) {
  // Asked for its version alone, the program answers without a window. Any other argument
  // text stays a service switch text, as the start-up reads it.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("tarvo_prog %s\n", TARVO_VERSION_TEXT);
    return 0;
  }
  // The toolkit takes its own options (such as -platform) out of the argument list first, so
  // that they cannot be read as service switches. (Windows programs read their switches from
  // the command line as it was typed, where the toolkit's options stay.)
  QApplication application(argc, argv);
  tarvo::ui::ApplyProgramLook();
  QApplication::setApplicationName(QStringLiteral("TARVO_PROG"));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(tarvo::ui::kProgramIconName));
  QApplication::setWindowIcon(tarvo::ui::ProgramIcon());
  tarvo::ui::CTARVO_PROG program(tarvo::ui::StartArgumentsOfProcess(argc, argv));
  program.InitInstance();
  return 0;
}
