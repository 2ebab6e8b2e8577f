#include "bookmarks/bookmarkswindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include "bookmarks/notesedit.h"
#include "core/numbers.h"
#include "storage/fields.h"
#include "ui_bookmarkswindow.h"
#include "view/appstate.h"
#include "view/text.h"

namespace {

// The notes box's lines as typed; an empty last line does not count as a line.
std::vector<std::string> NotesLines(const QString& text) {
  QStringList lines = text.split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(lines.size()));
  for (const QString& line : lines) {
    auto bytes = orv::ToBytes(line);
    if (!bytes) return {};
    out.push_back(std::move(*bytes));
  }
  return out;
}

QString NotesText(const std::vector<std::string>& lines) {
  QStringList out;
  for (const auto& line : lines) out << orv::FromBytes(line);
  return out.join(QLatin1Char('\n'));
}

}  // namespace

TForm3::TForm3(orv::AppState& state, TForm1& main, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(new Ui::TForm3),
      state_(state),
      main_(main) {
  ui->setupUi(this);
  setFixedSize(469, 198);
  ui->PageControl1->setCurrentWidget(ui->TabSheet2);

  global_ = Page{&state_.bookmarks.GlobalBookmarks,
                 &state_.bookmarks.GlobalBookmarkFonts,
                 2,
                 3,
                 4,
                 5,
                 6,
                 ui->ListBox1,
                 ui->Memo1,
                 ui->CheckBox1};
  current_ = Page{&state_.bookmarks.CurrentMapBookmarks,
                  &state_.bookmarks.CurrentMapBookmarkFonts,
                  1,
                  2,
                  3,
                  4,
                  5,
                  ui->ListBox2,
                  ui->Memo2,
                  ui->CheckBox2};

  // A choice runs on a click (also on the entry already chosen) and on every change of the selection,
  // by keyboard too.
  connect(ui->ListBox1, &QListWidget::itemSelectionChanged, this, &TForm3::ListBox1Click);
  connect(ui->ListBox1, &QListWidget::itemClicked, this, &TForm3::ListBox1Click);
  connect(ui->ListBox2, &QListWidget::itemSelectionChanged, this, &TForm3::ListBox2Click);
  connect(ui->ListBox2, &QListWidget::itemClicked, this, &TForm3::ListBox2Click);
  connect(ui->Memo1, &QPlainTextEdit::textChanged, this, &TForm3::Memo1Change);
  connect(ui->Memo2, &QPlainTextEdit::textChanged, this, &TForm3::Memo2Change);
  connect(ui->Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
  connect(ui->Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
  // The tick's handler runs on every change of the tick, made by the user or by choosing an entry.
  connect(ui->CheckBox1, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
  connect(ui->CheckBox2, &QCheckBox::toggled, this, &TForm3::CheckBox2Click);

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

TForm3::~TForm3() {
  delete ui;
}

void TForm3::FillBookmarkLists() {
  FillPage(global_);
  FillPage(current_);
}

void TForm3::ListBox1Click() {
  SelectEntry(global_);
}
void TForm3::ListBox2Click() {
  SelectEntry(current_);
}
void TForm3::Memo1Change() {
  NotesChanged(global_);
}
void TForm3::Memo2Change() {
  NotesChanged(current_);
}
void TForm3::Button1Click() {
  DeleteEntry(current_);
}
void TForm3::Button2Click() {
  DeleteEntry(global_);
}
void TForm3::CheckBox1Click() {
  VisibilityChanged(global_);
}
void TForm3::CheckBox2Click() {
  VisibilityChanged(current_);
}

int TForm3::Selected(const Page& page) const {
  const auto rows = page.list->selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  const int k = rows.first().row();
  return k < static_cast<int>(page.records->size()) ? k : -1;
}

void TForm3::FillPage(const Page& page) {
  page.list->clear();
  for (const auto& record : *page.records) {
    page.list->addItem(orv::FromBytes(orv::GetField(page.nameField, record, orv::FieldSeparator)));
  }
  page.list->clearSelection();
  page.notes->setReadOnly(false);
  page.notes->clear();
  page.visible->setChecked(false);
}

void TForm3::SelectEntry(const Page& page) {
  (void)page;
}

void TForm3::NotesChanged(const Page& page) {
  (void)page;
}

void TForm3::DeleteEntry(const Page& page) {
  (void)page;
}

void TForm3::VisibilityChanged(const Page& page) {
  (void)page;
}
