// tarvo_gui_screenshots: pictures of the programmer window and its dialogs for the
// documentation, taken against the simulated camera (an update, then a run that fails). The camera
// folder, log folder and time scale come from the environment (scripts/screenshot sets them up).
//
//   tarvo_gui_screenshots PACKET OUTPUT_FOLDER
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <string>

#include "engine/programmer_dlg.h"
#include "link/telegram_layout.h"
#include "platform/folders.h"
#include "sim/core/camera_folder.h"
#include "ui/order_dlg.h"
#include "ui/program_look.h"
#include "ui/programmer_window.h"
#include "ui/support_dlg.h"

namespace {

bool Save(QWidget& widget, const std::string& folder, const char* name) {
  widget.show();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  const std::string path = folder + "/" + name;
  const bool saved = widget.grab().save(QString::fromStdString(path), "PNG");
  std::fprintf(saved ? stdout : stderr, "%s%s\n", saved ? "" : "cannot write ", path.c_str());
  return saved;
}

bool FailNextWrite() {
  tarvo::sim::CameraFolder camera;
  std::string error;
  if (!camera.Open(tarvo::sim::DefaultCameraFolder(), &error)) return false;
  tarvo::sim::FolderLock lock(camera);
  camera.State().faults.failTelegram = {1, {}, tarvo::telegram::kWriteBlock, 1, 0, 0x80031013};
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  tarvo::ui::ApplyProgramLook();
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s PACKET OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[2];
  // Result boxes and questions that the actions raise are answered with their default button.
  QTimer answerer;
  QObject::connect(&answerer, &QTimer::timeout, [] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->accept();
  });
  answerer.start(20);

  tarvo::ui::ProgrammerWindow window;
  tarvo::CProgrammerDlg programmer(window, tarvo::platform::ProgramClock(),
                                   tarvo::platform::ProgramFolder());
  programmer.SetModes(false, true);
  window.Attach(programmer);
  programmer.StartWindow();
  window.Control(tarvo::CommandControl::kConnect)->click();
  bool saved = Save(window, folder, "main-window-connected.png");
  static_cast<void>(programmer.LoadPacketFile(argv[1]));
  saved &= Save(window, folder, "main-window-packet-loaded.png");
  window.Control(tarvo::CommandControl::kProgram)->click();
  saved &= Save(window, folder, "main-window-after-update.png");
  // The Main FPGA once more, on a camera that refuses its first write.
  if (FailNextWrite()) {
    window.DeviceCheckBox(tarvo::DEVICE_MAIN_FPGA)->setChecked(true);
    window.Control(tarvo::CommandControl::kProgram)->click();
    saved &= Save(window, folder, "main-window-failed-run.png");
  }

  tarvo::ProgramOrder order{};
  tarvo::ui::COrderDlg orderDialog(&order, tarvo::PROGRAM_ORDER_STEPS, &window);
  for (const int row : {2, 2, 2}) {  // Main FPGA and both memory FPGAs
    orderDialog.AvailableList()->setCurrentRow(row);
    orderDialog.MoveInButton()->click();
  }
  orderDialog.AddRebootButton()->click();
  orderDialog.WaitField()->setText(QStringLiteral("5"));
  orderDialog.AddWaitButton()->click();
  orderDialog.AvailableList()->setCurrentRow(0);
  saved &= Save(orderDialog, folder, "order-dialog.png");
  orderDialog.hide();

  tarvo::ui::CSupportDlg support(&window);
  support.Prepare(programmer.Camera().serialNumber, programmer.LogFolder(),
                  tarvo::platform::JoinPath(programmer.LogFolder(), tarvo::kLogFileName));
  return Save(support, folder, "support-dialog.png") && saved ? 0 : 1;
}
