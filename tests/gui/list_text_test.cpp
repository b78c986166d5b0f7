#include "ui/list_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/gui_test_support.h"
#include "ui/text_list_widget.h"

namespace tarvo::ui {
namespace {

using Lines = std::vector<std::string>;

// Joining pieces into lines, formats and a plain "%" are seen in the note and support
// dialogs' tests and on the widget below.
TEST(ListText, BackspaceTakesOneCharacterOffTheUnfinishedLine) {
  ListText list;
  list.Append("done\n");
  list.Append("abc");
  list.Append("\bignored text\n");
  EXPECT_EQ(list.Lines(), (Lines{"done", "ab"}));
  EXPECT_FALSE(list.LastLineComplete());

  list.Append("\b");
  list.Append("\b");
  EXPECT_EQ(list.Lines(), (Lines{"done", ""}));
  // An emptied line counts as finished: the next text starts a new line.
  EXPECT_TRUE(list.LastLineComplete());
  list.Append("new\n");
  EXPECT_EQ(list.Lines(), (Lines{"done", "", "new"}));
}

// The 220/204 trimming itself is checked on the widget.
TEST(ListText, SeveralLinesAtOnceTrimOnlyAfterAllAreIn) {
  ListText burst;
  std::string many;
  for (int i = 0; i < 230; ++i) many += "x\n";
  burst.Append(many);
  EXPECT_EQ(burst.Lines().size(), kListKeep);
}

TEST(TextListWidget, ShowsTheLinesAndScrollsToTheEnd) {
  TextListWidget widget;
  widget.resize(300, 120);
  widget.show();
  widget.AppendListText("unfinished");
  widget.AppendListText(" line\n");
  ASSERT_EQ(widget.count(), 1);
  EXPECT_EQ(widget.item(0)->text().toStdString(), "unfinished line");

  for (int i = 0; i < 230; ++i) widget.AppendListFormat("row %d\n", i);
  // 231 lines in all: trimmed to 204 when the 220th came in, then 11 more.
  ASSERT_EQ(widget.count(), 215);
  EXPECT_EQ(widget.item(0)->text().toStdString(), "row 15");
  EXPECT_EQ(widget.item(widget.count() - 1)->text().toStdString(), "row 229");
  // The last line is in view.
  const QRect last = widget.visualItemRect(widget.item(widget.count() - 1));
  EXPECT_TRUE(widget.viewport()->rect().intersects(last));
  EXPECT_FALSE(widget.viewport()->rect().contains(widget.visualItemRect(widget.item(0))));
}

}  // namespace
}  // namespace tarvo::ui
