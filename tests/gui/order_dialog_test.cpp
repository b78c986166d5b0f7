#include "ui/order_dlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "gui/gui_test_support.h"
#include "ui/order_steps.h"

namespace tarvo::ui {
namespace {

using test::ModalAnswerer;
using Texts = std::vector<std::string>;

void Select(QListWidget* list, const char* text) {
  const QList<QListWidgetItem*> found =
      list->findItems(QString::fromLatin1(text), Qt::MatchExactly);
  ASSERT_FALSE(found.isEmpty()) << text;
  list->setCurrentItem(found.front());
}

ProgramOrder FilledWith(std::uint16_t value) {
  ProgramOrder order;
  order.fill(value);
  return order;
}

class OrderDialog : public ::testing::Test {
 protected:
  ProgramOrder order_ = FilledWith(0x1234);
  COrderDlg dialog_{&order_, PROGRAM_ORDER_STEPS};

  void AddWait(const char* field) {
    dialog_.WaitField()->setText(QString::fromLatin1(field));
    dialog_.AddWaitButton()->click();
  }
};

TEST_F(OrderDialog, StartsWithAllDevicesAvailableAndAnEmptyOrder) {
  EXPECT_EQ(dialog_.windowTitle().toStdString(), "Define Programming Order ...");
  EXPECT_EQ(test::ListTexts(*dialog_.AvailableList()),
            (Texts{"Boot uP", "Boot FPGA", "Main FPGA", "Mem FPGA 1", "Mem FPGA 2", "Main uP",
                   "Power uP", "HDSDI FPGA", "Colordata"}));
  EXPECT_EQ(dialog_.OrderedList()->count(), 0);
  EXPECT_TRUE(dialog_.CancelButton()->isDefault());
}

TEST_F(OrderDialog, ColordataGoesBackToTheEndAndMapsToItsIndex) {
  dialog_.AvailableList()->clearSelection();  // without a selection the moves do nothing
  dialog_.MoveInButton()->click();
  dialog_.MoveOutButton()->click();
  EXPECT_EQ(dialog_.OrderedList()->count(), 0);
  Select(dialog_.AvailableList(), "Colordata");
  dialog_.MoveInButton()->click();
  Select(dialog_.AvailableList(), "Boot uP");
  dialog_.MoveInButton()->click();
  EXPECT_EQ(test::ListTexts(*dialog_.OrderedList()), (Texts{"Colordata", "Boot uP"}));

  Select(dialog_.OrderedList(), "Boot uP");
  dialog_.MoveOutButton()->click();
  // Back at the end, not at its old place.
  EXPECT_EQ(test::ListTexts(*dialog_.AvailableList()).back(), "Boot uP");
  EXPECT_EQ(dialog_.AvailableList()->count(), 8);

  dialog_.DoneButton()->click();
  EXPECT_EQ(dialog_.result(), COrderDlg::kDoneResult);
  EXPECT_EQ(order_[0], 8);
  EXPECT_EQ(order_[1], ORDER_END);
  EXPECT_EQ(order_[2], 0x1234);  // steps behind the end keep what they held
}

TEST_F(OrderDialog, WaitTakesWholeSecondsUpTo255Only) {
  AddWait("10");
  AddWait("0");
  AddWait(" 255 ");
  ModalAnswerer answers;
  for (int i = 0; i < 6; ++i) answers.Then(ModalAnswerer::Accept());
  for (const char* refused : {"256", "300", "-1", "", "ten", "1.5"}) AddWait(refused);
  EXPECT_EQ(answers.MessageTexts().size(), 6u);
  EXPECT_EQ(answers.MessageTexts().front(),
            "Please enter the wait time in whole seconds from 0 to 255.");
  EXPECT_EQ(answers.Unexpected(), 0);

  dialog_.DoneButton()->click();
  EXPECT_EQ(order_[0], 0x200A);
  EXPECT_EQ(order_[1], 0x2000);
  EXPECT_EQ(order_[2], 0x20FF);
  EXPECT_EQ(order_[3], ORDER_END);
}

TEST_F(OrderDialog, SeventyItemsGiveSixtyThreeStepsAndTheEnd) {
  Select(dialog_.AvailableList(), "Main FPGA");
  dialog_.MoveInButton()->click();
  for (int i = 1; i < 70; ++i) dialog_.AddRebootButton()->click();
  ASSERT_EQ(dialog_.OrderedList()->count(), 70);
  dialog_.DoneButton()->click();
  EXPECT_EQ(order_[0], 2);
  for (std::size_t i = 1; i < 63; ++i) EXPECT_EQ(order_[i], ORDER_REBOOT) << i;
  EXPECT_EQ(order_[63], ORDER_END);
}

// Enter in the wait field adds the wait and Enter or a double-click in a list moves its entry:
// none of them presses the default "Cancel". Reboot and wait steps taken out are dropped.
// Cancel and Escape empty the order.
TEST_F(OrderDialog, KeysAndDoubleClickEditTheOrderAndEveryWayOutCancels) {
  dialog_.show();
  dialog_.AddRebootButton()->click();
  dialog_.WaitField()->setText(QStringLiteral("7"));
  QTest::keyClick(dialog_.WaitField(), Qt::Key_Return);
  Select(dialog_.AvailableList(), "Main uP");
  QTest::keyClick(dialog_.AvailableList(), Qt::Key_Enter);
  Select(dialog_.AvailableList(), "Boot uP");
  QListWidget* available = dialog_.AvailableList();
  const QPoint itemCentre = available->visualItemRect(available->currentItem()).center();
  QTest::mouseClick(available->viewport(), Qt::LeftButton, {}, itemCentre);
  QTest::mouseDClick(available->viewport(), Qt::LeftButton, {}, itemCentre);
  EXPECT_EQ(test::ListTexts(*dialog_.OrderedList()),
            (Texts{"Reboot", "Wait 7 sec.", "Main uP", "Boot uP"}));
  for (const char* step : {"Wait 7 sec.", "Reboot"}) {
    Select(dialog_.OrderedList(), step);
    QTest::keyClick(dialog_.OrderedList(), Qt::Key_Return);
  }
  EXPECT_EQ(test::ListTexts(*dialog_.OrderedList()), (Texts{"Main uP", "Boot uP"}));
  EXPECT_EQ(dialog_.AvailableList()->count(), 7);
  EXPECT_TRUE(dialog_.isVisible());

  for (const ModalAnswerer::Answer& answer :
       {ModalAnswerer::ClickButton("Cancel"), ModalAnswerer::PressKey(Qt::Key_Escape)}) {
    ProgramOrder order = FilledWith(5);
    COrderDlg dialog(&order, PROGRAM_ORDER_STEPS);
    ModalAnswerer answers;
    answers.Then(answer);
    EXPECT_EQ(dialog.exec(), COrderDlg::kCancelResult);
    EXPECT_EQ(order[0], ORDER_END);
    EXPECT_EQ(order[1], 5);
  }
}

TEST(OrderDialogWithoutTarget, DoneAndCancelGiveMinusOne) {
  COrderDlg done(nullptr, PROGRAM_ORDER_STEPS);
  done.DoneButton()->click();
  EXPECT_EQ(done.result(), COrderDlg::kCancelResult);
  COrderDlg cancelled(nullptr, PROGRAM_ORDER_STEPS);
  cancelled.CancelButton()->click();
  EXPECT_EQ(cancelled.result(), COrderDlg::kCancelResult);
}

TEST(OrderSteps, TextsBecomeStepCodes) {
  EXPECT_EQ(OrderStepFromText("HDSDI FPGA"), 7);
  // Names are matched whole and case-sensitively.
  EXPECT_EQ(OrderStepFromText("Color Data"), ORDER_END);
  EXPECT_EQ(OrderStepFromText("boot up"), ORDER_END);
}

}  // namespace
}  // namespace tarvo::ui
