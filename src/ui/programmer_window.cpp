#include "ui/programmer_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/programmer_dlg.h"
#include "ui/decor_pictures.h"
#include "ui/dialog_units.h"
#include "ui/window_icon.h"

namespace tarvo::ui {
namespace {

// The three GigE rows of the device grid belong to devices this camera does not have; they
// exist hidden and disabled.
constexpr const char* kUnusedRowNames[] = {"GigE XML", "GigE CHK", "GigE USB"};

// Read-only text fields of the version columns.
const QString kFieldStyle = QStringLiteral(
    "QLabel { background-color: palette(base); border: 1px solid rgb(200, 203, 208); "
    "border-radius: 3px; padding: 2px 8px; }");

QLabel* MakeVersionLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setAlignment(Qt::AlignCenter);
  label->setStyleSheet(kFieldStyle);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0000 V00.00")) +
                         24);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QFrame* MakeSeparator(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

QProgressBar* MakeProgressBar(QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  bar->setMinimumWidth(180);
  // A little lower than the version fields beside it, centred on their row.
  bar->setFixedHeight(bar->fontMetrics().height());
  return bar;
}

constexpr int kRowSpacing = 6;

QLabel* MakeColumnHead(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

}  // namespace

// Every command control has an Alt mnemonic; the letters differ within the window.
ProgrammerWindow::ProgrammerWindow(QWidget* parent)
    : QDialog(parent, kDialogWindowFlags),
      connect_(new QPushButton(QStringLiteral("&Connect"), this)),
      loadFile_(new QPushButton(QStringLiteral("&Load File"), this)),
      backup_(new QPushButton(QStringLiteral("&Backup"), this)),
      program_(new QPushButton(QStringLiteral("&Program"), this)),
      verify_(new QPushButton(QStringLiteral("&Verify"), this)),
      packet_(new QPushButton(QStringLiteral("P&acket"), this)),
      support_(new QPushButton(QStringLiteral("&Support"), this)),
      quit_(new QPushButton(QStringLiteral("&Quit"), this)),
      usb2_(new QRadioButton(QStringLiteral("USB &2.0"), this)),
      usb3_(new QRadioButton(QStringLiteral("USB &3.0"), this)),
      gige_(new QRadioButton(QStringLiteral("&GigE"), this)),
      interfaces_(new QButtonGroup(this)),
      skipBackup_(new QCheckBox(QStringLiteral("S&kip Backup"), this)),
      status_(new QLabel(QStringLiteral("No camera connected."), this)) {
  setObjectName(QStringLiteral("programmerWindow"));
  setWindowIcon(ProgramIcon());
  shownPosition_.fill(-1);
  BuildControls();
  SetTabOrder();
  ConnectButtons();
}

ProgrammerWindow::~ProgrammerWindow() = default;

void ProgrammerWindow::BuildControls() {
  auto* top = new QHBoxLayout;
  top->setSpacing(0);
  top->addLayout(BuildDeviceGrid(), 1);
  top->addSpacing(18);
  top->addLayout(BuildButtonColumn());

  auto* statusGroup = new QGroupBox(QStringLiteral("Current Status:"), this);
  auto* statusLayout = new QVBoxLayout(statusGroup);
  status_->setWordWrap(true);
  status_->setContentsMargins(4, 2, 4, 2);
  status_->setMinimumHeight(2 * status_->fontMetrics().height());
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statusLayout->addWidget(status_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 14, 16, 14);
  layout->setSpacing(12);
  layout->addLayout(top);
  layout->addWidget(statusGroup);
  layout->addLayout(BuildPictureRow());
  // The window keeps the size its controls need; it cannot be resized.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QLayout* ProgrammerWindow::BuildDeviceGrid() {
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(kRowSpacing);
  grid->addWidget(MakeColumnHead("Device", this), 0, 0, Qt::AlignLeft);
  grid->addWidget(MakeColumnHead("Current FW", this), 0, 1);
  grid->addWidget(MakeColumnHead("Loaded FW", this), 0, 2);
  grid->addWidget(MakeColumnHead("Programming Progress", this), 0, 3);

  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    DeviceRow& row = rows_[device];
    row.check = new QCheckBox(QString::fromLatin1(DeviceDisplayName(device)), this);
    row.current = MakeVersionLabel(this);
    row.loaded = MakeVersionLabel(this);
    row.progress = MakeProgressBar(this);
    row.check->setEnabled(false);
    row.progress->hide();
    const int gridRow = static_cast<int>(device) + 1;
    grid->addWidget(row.check, gridRow, 0);
    grid->addWidget(row.current, gridRow, 1);
    grid->addWidget(row.loaded, gridRow, 2);
    grid->addWidget(row.progress, gridRow, 3);
  }
  int gridRow = static_cast<int>(kDeviceCount) + 1;
  for (const char* name : kUnusedRowNames) {
    QWidget* row[] = {new QCheckBox(QString::fromLatin1(name), this), MakeVersionLabel(this),
                      MakeVersionLabel(this), MakeProgressBar(this)};
    for (int column = 0; column < 4; ++column) {
      row[column]->setEnabled(false);
      row[column]->hide();
      grid->addWidget(row[column], gridRow, column);
    }
    ++gridRow;
  }
  // The progress column keeps its width while its bars are hidden, so the window keeps its size.
  grid->setColumnMinimumWidth(3, rows_[0].progress->minimumWidth());
  grid->setRowStretch(gridRow, 1);
  return grid;
}

// The third picture tells how the last run ended; it starts neutral.
QLayout* ProgrammerWindow::BuildPictureRow() {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (int index = 0; index < kDecorPictureCount; ++index) {
    auto* picture = new QLabel(this);
    picture->setPixmap(DecorPicture(index, devicePixelRatioF()));
    row->addWidget(picture);
    row->addStretch(1);
    if (index == kRunPictureIndex) runPicture_ = picture;
  }
  return row;
}

QLayout* ProgrammerWindow::BuildButtonColumn() {
  auto* column = new QVBoxLayout;
  column->setSpacing(kRowSpacing);
  // Connect starts level with the first device row, below the column heads.
  QFont headFont = font();
  headFont.setBold(true);
  column->addSpacing(QFontMetrics(headFont).height() + kRowSpacing);
  column->addWidget(connect_);
  interfaces_->setExclusive(true);
  for (QRadioButton* radio : {usb2_, usb3_, gige_}) {
    interfaces_->addButton(radio);
    column->addWidget(radio);
  }
  column->addWidget(MakeSeparator(this));
  column->addWidget(loadFile_);
  column->addWidget(backup_);
  column->addWidget(skipBackup_);
  column->addWidget(program_);
  column->addWidget(verify_);
  column->addWidget(packet_);
  column->addWidget(support_);
  column->addStretch(1);
  column->addWidget(MakeSeparator(this));
  column->addWidget(quit_);

  for (QPushButton* button :
       {connect_, loadFile_, backup_, program_, verify_, packet_, support_, quit_}) {
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("Load File")) +
                            40);
  }
  // Quit is the default button: Enter ends the window unless another button has the focus,
  // which then takes the key itself.
  quit_->setDefault(true);
  backup_->setEnabled(false);
  backup_->hide();
  program_->setEnabled(false);
  verify_->setEnabled(false);
  packet_->hide();
  usb2_->setChecked(true);
  skipBackup_->setChecked(true);
  return column;
}

// Tab walks the device rows from top to bottom, then the button column from top to bottom.
void ProgrammerWindow::SetTabOrder() {
  std::vector<QWidget*> chain;
  for (const DeviceRow& row : rows_) chain.push_back(row.check);
  for (QWidget* widget :
       std::initializer_list<QWidget*>{connect_, usb2_, usb3_, gige_, loadFile_, backup_,
                                       skipBackup_, program_, verify_, packet_, support_, quit_}) {
    chain.push_back(widget);
  }
  for (std::size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void ProgrammerWindow::ConnectButtons() {
  connect(connect_, &QPushButton::clicked, this,
          [this] { RunAction([this] { programmer_->OnConnect(); }, false); });
  connect(loadFile_, &QPushButton::clicked, this,
          [this] { RunAction([this] { programmer_->OnLoadFile(); }, false); });
  connect(backup_, &QPushButton::clicked, this,
          [this] { RunAction([this] { static_cast<void>(programmer_->OnBackup()); }, true); });
  connect(program_, &QPushButton::clicked, this,
          [this] { RunAction([this] { programmer_->OnProgram(); }, true); });
  connect(verify_, &QPushButton::clicked, this,
          [this] { RunAction([this] { programmer_->OnVerify(); }, true); });
  connect(packet_, &QPushButton::clicked, this, &ProgrammerWindow::OnPacket);
  connect(support_, &QPushButton::clicked, this, &ProgrammerWindow::OnSupport);
  connect(quit_, &QPushButton::clicked, this, &ProgrammerWindow::OnQuit);
}

QAbstractButton* ProgrammerWindow::Control(CommandControl control) const {
  switch (control) {
    case CommandControl::kConnect:
      return connect_;
    case CommandControl::kLoadFile:
      return loadFile_;
    case CommandControl::kBackup:
      return backup_;
    case CommandControl::kProgram:
      return program_;
    case CommandControl::kVerify:
      return verify_;
    case CommandControl::kPacket:
      return packet_;
    case CommandControl::kSupport:
      return support_;
    case CommandControl::kQuit:
      return quit_;
    case CommandControl::kUsb2:
      return usb2_;
    case CommandControl::kUsb3:
      return usb3_;
    case CommandControl::kGige:
      return gige_;
    case CommandControl::kSkipBackup:
      return skipBackup_;
  }
  return quit_;
}

}  // namespace tarvo::ui
