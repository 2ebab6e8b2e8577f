#include "bookmarks/bookmarkswindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringList>
#include <optional>

#include "bookmarks/notesedit.h"
#include "core/numbers.h"
#include "core/transform.h"
#include "storage/fields.h"
#include "ui_bookmarkswindow.h"
#include "view/fonts.h"
#include "view/mapviewhost.h"
#include "view/text.h"

namespace {

// The notes box's lines as typed; an empty last line does not count as a line.
// Nothing when a line holds a character the file encoding cannot hold.
std::optional<std::vector<std::string>> NotesLines(const QString& text) {
  QString unified = text;
  unified.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QStringList lines = unified.split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(lines.size()));
  for (const QString& line : lines) {
    auto bytes = orv::ToBytes(line);
    if (!bytes || bytes->find(orv::FieldSeparator) != std::string::npos) return std::nullopt;
    out.push_back(std::move(*bytes));
  }
  return out;
}

// The box's text for lines; an empty last line gets a line break after it so that it counts.
QString NotesText(const std::vector<std::string>& lines) {
  QStringList out;
  for (const auto& line : lines) out << orv::FromBytes(line);
  QString text = out.join(QLatin1Char('\n'));
  if (!lines.empty() && lines.back().empty()) text += QLatin1Char('\n');
  return text;
}

}  // namespace

TForm3::TForm3(orv::BookmarkLists& lists, orv::MapViewHost& host, std::function<void()> changed,
               QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(new Ui::TForm3),
      lists_(lists),
      host_(host),
      changed_(std::move(changed)) {
  ui->setupUi(this);
  // The designed face where installed, or one as narrow, so the texts keep their designed widths.
  setFont(orv::DesignedDialogFont(font()));
  setFixedSize(469, 198);
  ui->PageControl1->setCurrentWidget(ui->TabSheet2);

  global_ = Page{&lists_.GlobalBookmarks,
                 &lists_.GlobalBookmarkFonts,
                 2,
                 3,
                 4,
                 5,
                 6,
                 ui->ListBox1,
                 ui->Memo1,
                 ui->CheckBox1};
  current_ = Page{&lists_.CurrentMapBookmarks,
                  &lists_.CurrentMapBookmarkFonts,
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
  const int k = Selected(page);
  if (k < 0) return;
  const std::string record = (*page.records)[static_cast<std::size_t>(k)];
  const auto x = orv::ParseInt(orv::GetField(page.xField, record, orv::FieldSeparator));
  const auto y = orv::ParseInt(orv::GetField(page.yField, record, orv::FieldSeparator));
  const std::string visibility = orv::GetField(page.visibilityField, record, orv::FieldSeparator);
  // A record without a name cannot hold notes: they would be read back as its name.
  const bool named = orv::IntOr(orv::GetField(0, record, orv::FieldSeparator), 0) >= page.nameField;
  const std::string notes = orv::GetField(page.notesField, record, orv::FieldSeparator);

  // Each of these changes runs the control's own handler, which stores the value back in its
  // normal form.
  page.visible->setChecked(visibility != "N");
  page.notes->setReadOnly(!named);
  {
    // The box is refilled in one step, so the record is not rewritten through an empty box first.
    const QSignalBlocker quiet(page.notes);
    page.notes->setPlainText(NotesText(orv::CommaTextToNotes(notes)));
  }
  NotesChanged(page);

  // A hand-edited record whose coordinates are not integers is shown but not scrolled to.
  if (x && y) ShowWorldPoint(*x, *y);
}

void TForm3::NotesChanged(const Page& page) {
  const int k = Selected(page);
  if (k < 0 || page.notes->isReadOnly()) return;
  std::string& record = (*page.records)[static_cast<std::size_t>(k)];
  const auto lines = NotesLines(page.notes->toPlainText());
  if (!lines) return;  // the box refuses such characters; nothing it cannot store is written
  std::string updated =
      orv::SetField(page.notesField, record, orv::FieldSeparator, orv::NotesToCommaText(*lines));
  if (updated == record) return;
  record = std::move(updated);
  Changed();
}

void TForm3::DeleteEntry(const Page& page) {
  const int k = Selected(page);
  if (k < 0) return;
  page.records->erase(page.records->begin() + k);
  if (k < static_cast<int>(page.fonts->size())) page.fonts->erase(page.fonts->begin() + k);
  Redraw();
  FillBookmarkLists();
  Changed();
}

void TForm3::VisibilityChanged(const Page& page) {
  const int k = Selected(page);
  if (k < 0) return;
  std::string& record = (*page.records)[static_cast<std::size_t>(k)];
  std::string updated =
      orv::SetField(page.visibilityField, record, orv::FieldSeparator, page.visible->isChecked() ? "V" : "N");
  if (updated != record) {
    record = std::move(updated);
    Changed();
  }
  Redraw();
}

void TForm3::Redraw() {
  host_.RenderView();
}

void TForm3::ShowWorldPoint(int32_t x, int32_t y) {
  host_.ShowWorldPoint({x, y});
}

void TForm3::Changed() {
  changed_();
}
