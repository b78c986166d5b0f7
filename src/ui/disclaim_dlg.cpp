#include "ui/disclaim_dlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialog_units.h"
#include "ui/note_texts.h"
#include "ui/text_list_widget.h"

namespace tarvo::ui {
namespace {

constexpr int kNoteWidthUnits = 376;
constexpr int kNoteHeightUnits = 335;
constexpr int kNoteFontPoints = 15;

}  // namespace

CDisclaimDlg::CDisclaimDlg(std::span<const char* const> notePieces, QWidget* parent)
    : QDialog(parent, kDialogWindowFlags),
      list_(new TextListWidget(this)),
      accept_(new QPushButton(QString::fromLatin1(kNoteAcceptCaption), this)),
      cancel_(new QPushButton(QString::fromLatin1(kNoteCancelCaption), this)) {
  setWindowTitle(QString::fromLatin1(kNoteTitle));
  setObjectName(QStringLiteral("noteDialog"));

  list_->ClearList();
  list_->setFont(ListFont("Verdana", kNoteFontPoints));
  for (const char* piece : notePieces) list_->AppendListText(piece);

  accept_->setAutoDefault(false);
  accept_->setDefault(false);
  cancel_->setDefault(true);
  connect(accept_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(accept_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);

  setFixedSize(DialogUnitsToPixels(*this, kNoteWidthUnits, kNoteHeightUnits));
}

}  // namespace tarvo::ui
