// tarvo_gui_screenshots: pictures of the programmer window and its dialogs for the
// documentation, taken against the simulated camera (an update, then a run that fails). The camera
// folder, log folder and time scale come from the environment (scripts/screenshot sets them up).
//
//   tarvo_gui_screenshots PACKET OUTPUT_FOLDER
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "engine/programmer_dlg.h"
#include "link/telegram_layout.h"
#include "platform/folders.h"
#include "sim/core/camera_folder.h"
#include "ui/order_dlg.h"
#include "ui/program_look.h"
#include "ui/programmer_window.h"
#include "ui/support_dlg.h"

namespace tarvo::ui {
namespace {

bool Save(QWidget& widget, const std::string& folder, const char* name) {
  widget.show();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  const std::string path = folder + "/" + name;
  const bool saved = widget.grab().save(QString::fromStdString(path), "PNG");
  std::fprintf(saved ? stdout : stderr, "%s%s\n", saved ? "" : "cannot write ", path.c_str());
  return saved;
}

bool TakeScreenshots(const std::string& packet, const std::string& folder) {
  ProgrammerWindow window;
  CProgrammerDlg programmer(window, platform::ProgramClock(), platform::ProgramFolder());
  programmer.SetModes(false, true);
  window.Attach(programmer);
  programmer.StartWindow();
  window.Control(CommandControl::kConnect)->click();
  bool saved = Save(window, folder, "main-window-connected.png");
  static_cast<void>(programmer.LoadPacketFile(packet));
  saved &= Save(window, folder, "main-window-packet-loaded.png");
  window.Control(CommandControl::kProgram)->click();
  saved &= Save(window, folder, "main-window-after-update.png");
  // The Main FPGA once more, on a camera that refuses its first write.
  sim::CameraFolder camera;
  if (std::string error; camera.Open(sim::DefaultCameraFolder(), &error)) {
    camera.Lock();
    camera.State().faults.failTelegram = {1, {}, telegram::kWriteBlock, 1, 0, 0x80031013};
    camera.Unlock();
    window.DeviceCheckBox(DEVICE_MAIN_FPGA)->setChecked(true);
    window.Control(CommandControl::kProgram)->click();
    saved &= Save(window, folder, "main-window-failed-run.png");
  }

  ProgramOrder order{};
  COrderDlg orderDialog(&order, PROGRAM_ORDER_STEPS, &window);
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
  CSupportDlg support(&window);
  support.Prepare(programmer.Camera().serialNumber, programmer.LogFolder(),
                  platform::JoinPath(programmer.LogFolder(), kLogFileName));
  return Save(support, folder, "support-dialog.png") && saved;
}

}  // namespace
}  // namespace tarvo::ui

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  tarvo::ui::ApplyProgramLook();
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s PACKET OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  // Result boxes and questions that the actions raise are answered with their default button.
  QTimer answerer;
  QObject::connect(&answerer, &QTimer::timeout, [] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->accept();
  });
  answerer.start(20);
  return tarvo::ui::TakeScreenshots(argv[1], argv[2]) ? 0 : 1;
}
