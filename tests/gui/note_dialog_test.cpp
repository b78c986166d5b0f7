#include "ui/disclaim_dlg.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <string>
#include <vector>

#include "gui/gui_test_support.h"
#include "ui/note_texts.h"
#include "ui/text_list_widget.h"

namespace tarvo::ui {
namespace {

TEST(NoteDialog, ShowsTheStandardNoteWithItsUnfinishedLastLine) {
  CDisclaimDlg note(StandardNotePieces());
  EXPECT_EQ(note.windowTitle().toStdString(), "Important Note!");
  const std::vector<std::string> lines = test::ListTexts(*note.NoteList());
  ASSERT_EQ(lines.size(), 19u);
  EXPECT_EQ(lines[0], "Important Notes, please read carefully:");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "This program is used to update the camera firmware");
  EXPECT_EQ(lines.back(), "   See also button \"Support\" for location of the files.");
  EXPECT_FALSE(note.NoteList()->Text().LastLineComplete());
}

TEST(NoteDialog, EmergencyNoteEndsWithACompleteLine) {
  CDisclaimDlg note(EmergencyNotePieces());
  const std::vector<std::string> lines = test::ListTexts(*note.NoteList());
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "Important Note, please read carefully:");
  EXPECT_EQ(lines[3], "mode called \"emergency mode\". This mode is used");
  EXPECT_EQ(lines.back(), "SERVICE PERSONNEL OF THE MANUFACTURER!");
  EXPECT_TRUE(note.NoteList()->Text().LastLineComplete());
}

TEST(NoteDialog, ButtonsFontAndFixedSize) {
  CDisclaimDlg note(StandardNotePieces());
  EXPECT_EQ(test::Caption(*note.AcceptButton()), "OK, I know!");
  EXPECT_EQ(test::Caption(*note.CancelButton()), "Cancel");
  EXPECT_TRUE(note.CancelButton()->isDefault());
  EXPECT_FALSE(note.AcceptButton()->isDefault());
  EXPECT_EQ(note.NoteList()->font().pointSize(), 15);
  EXPECT_EQ(note.NoteList()->font().families().front().toStdString(), "Verdana");
  EXPECT_EQ(note.minimumSize(), note.maximumSize());
  EXPECT_FALSE(note.windowFlags().testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(note.windowFlags().testFlag(Qt::WindowSystemMenuHint));
}

}  // namespace
}  // namespace tarvo::ui
