#include "bookmarks/bookmarkswindow.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QSignalBlocker>
#include <QStringList>
#include <algorithm>
#include <optional>

#include "bookmarks/bookmarklistmodel.h"
#include "bookmarks/notesedit.h"
#include "core/numbers.h"
#include "core/transform.h"
#include "storage/fields.h"
#include "ui_bookmarkswindow.h"
#include "view/fonts.h"
#include "view/mapviewhost.h"
#include "view/text.h"

namespace {

constexpr int kSortByDistance = 1;  // the second entry of a page's order box

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

TForm3::TForm3(orv::BookmarkStore& store, orv::MapViewHost& host, std::function<void()> changed,
               std::mt19937& random, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(new Ui::TForm3),
      store_(store),
      host_(host),
      changed_(std::move(changed)),
      random_(random) {
  ui->setupUi(this);
  // The designed face where installed, or one as narrow, so the texts keep their designed widths.
  setFont(orv::DesignedDialogFont(font()));
  setFixedSize(469, 226);
  ui->PageControl1->setCurrentWidget(ui->TabSheet2);

  global_.id = orv::BookmarkPage::Global;
  global_.records = &store_.GlobalBookmarks();
  global_.fields = orv::GlobalBookmarkFields;
  global_.list = ui->ListBox1;
  global_.notes = ui->Memo1;
  global_.visible = ui->CheckBox1;
  global_.search = ui->SearchBox1;
  global_.order = ui->SortBox1;
  current_.id = orv::BookmarkPage::CurrentMap;
  current_.records = &store_.CurrentMapBookmarks();
  current_.fields = orv::MapBookmarkFields;
  current_.list = ui->ListBox2;
  current_.notes = ui->Memo2;
  current_.visible = ui->CheckBox2;
  current_.search = ui->SearchBox2;
  current_.order = ui->SortBox2;

  connect(ui->Memo1, &QPlainTextEdit::textChanged, this, &TForm3::Memo1Change);
  connect(ui->Memo2, &QPlainTextEdit::textChanged, this, &TForm3::Memo2Change);
  connect(ui->Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
  connect(ui->Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
  // The tick's handler runs on every change of the tick, made by the user or by choosing an entry.
  connect(ui->CheckBox1, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
  connect(ui->CheckBox2, &QCheckBox::toggled, this, &TForm3::CheckBox2Click);
  for (Page* page : {&global_, &current_}) {
    page->entries = new orv::BookmarkListModel(*page->records, page->fields.name, this);
    page->list->setModel(page->entries);
    // Long lists lay out at once when every entry has the same height.
    page->list->setUniformItemSizes(true);
    // The window's undo covers notes edits; the box keeps no history of its own.
    page->notes->setUndoRedoEnabled(false);
    connect(page->search, &QLineEdit::textChanged, this, [this, page] { FilterPage(*page); });
    connect(page->order, &QComboBox::currentIndexChanged, this, [this, page] { FilterPage(*page); });
  }
  // A choice runs on a click (also on the entry already chosen) and on every change of the selection,
  // by keyboard too.
  auto choose = [this](QListView* list, void (TForm3::*handler)()) {
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, handler);
    connect(list, &QListView::clicked, this, handler);
  };
  choose(ui->ListBox1, &TForm3::ListBox1Click);
  choose(ui->ListBox2, &TForm3::ListBox2Click);
  for (QPushButton* button : {ui->ExportButton1, ui->ExportButton2})
    connect(button, &QPushButton::clicked, this, [this] { ExportBookmarks(this); });
  for (QPushButton* button : {ui->ImportButton1, ui->ImportButton2})
    connect(button, &QPushButton::clicked, this, [this] { ImportBookmarks(this); });
  // Each search index is built again after any change of the records (the search finds new notes
  // from the next keystroke on).
  connect(&store_, &orv::BookmarkStore::changed, this,
          [this] { global_.indexStale = current_.indexStale = true; });
  qApp->installEventFilter(this);

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

TForm3::~TForm3() {
  if (qApp) qApp->removeEventFilter(this);
  delete ui;
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const auto modifiers = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  if (key->key() != Qt::Key_Z || !(modifiers & Qt::ControlModifier) || (modifiers & Qt::AltModifier))
    return false;
  // The text boxes ask to keep Ctrl+Z for themselves first; the window takes it.
  if (event->type() == QEvent::ShortcutOverride) return true;
  if (modifiers & Qt::ShiftModifier)
    RedoChange();
  else
    UndoChange();
  return true;
}

void TForm3::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The cross may have moved while the window was hidden: lists in distance order follow it.
  for (Page* page : {&global_, &current_}) {
    if (page->order->currentIndex() == kSortByDistance) FilterPage(*page);
  }
}

void TForm3::FillBookmarkLists() {
  global_.indexStale = current_.indexStale = true;
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
  const auto row = static_cast<std::size_t>(rows.first().row());
  const auto& shown = page.entries->Shown();
  if (row >= shown.size() || shown[row] >= page.records->size()) return -1;
  return static_cast<int>(shown[row]);
}

std::vector<std::size_t> TForm3::ShownRecords(Page& page) {
  if (page.indexStale) {
    page.index = orv::BookmarkSearchIndex(orv::SearchableBookmarks(*page.records, page.fields));
    page.indexStale = false;
  }
  const auto& viewport = host_.Viewport();
  const auto cross = viewport.ZoomedToWorld(viewport.Cross(), host_.Session().Corners());
  // Without a map there is no cross to measure from: the list stays in name order.
  const bool byDistance =
      page.order->currentIndex() == kSortByDistance && cross && !host_.Session().CurrentMapFile().empty();
  std::vector<std::size_t> found = page.index.Find(
      page.search->text(), byDistance ? orv::SearchOrder::ByDistance : orv::SearchOrder::ByName,
      cross.value_or(orv::Point{}));
  // By name is the lists' own order (kept sorted by name): entry k of an unfiltered list box is
  // record k.
  if (!byDistance) std::sort(found.begin(), found.end());
  return found;
}

void TForm3::ListPage(Page& page) {
  page.entries->Show(ShownRecords(page));
}

void TForm3::ClearControls(Page& page) {
  page.list->clearSelection();
  // With no bookmark chosen, typed notes would belong to none: the box takes none.
  page.notes->setReadOnly(true);
  page.notes->clear();
  page.visible->setChecked(false);
}

void TForm3::FillPage(Page& page) {
  ListPage(page);
  ClearControls(page);
}

void TForm3::FilterPage(Page& page) {
  const int chosen = Selected(page);
  {
    // A chosen bookmark that stays in the list stays chosen, and its controls keep showing it.
    const QSignalBlocker quiet(page.list->selectionModel());
    ListPage(page);
    if (chosen >= 0 && ShowChosen(page, static_cast<std::size_t>(chosen))) return;
  }
  ClearControls(page);
}

bool TForm3::ShowChosen(Page& page, std::size_t k) {
  const auto& shown = page.entries->Shown();
  const auto at = std::find(shown.begin(), shown.end(), k);
  if (at == shown.end()) return false;
  const QModelIndex entry = page.entries->index(static_cast<int>(at - shown.begin()));
  page.list->setCurrentIndex(entry);
  page.list->scrollTo(entry);
  return true;
}

void TForm3::ChooseRecord(Page& page, std::size_t k) {
  ui->PageControl1->setCurrentWidget(page.id == orv::BookmarkPage::Global ? ui->TabSheet2 : ui->TabSheet1);
  ShowChosen(page, k);
}

void TForm3::SelectEntry(Page& page) {
  const int k = Selected(page);
  if (k < 0) return;
  undo_.Seal();
  // Copies: storing the controls' values back below may rewrite the record.
  const std::string record = (*page.records)[static_cast<std::size_t>(k)];
  const orv::Bookmark bookmark = store_.at(page.id, static_cast<std::size_t>(k));
  const std::string visibility = orv::GetField(page.fields.visibility, record, orv::FieldSeparator);
  // A record without a name cannot hold notes: they would be read back as its name.
  const bool named = orv::IntOr(orv::GetField(0, record, orv::FieldSeparator), 0) >= page.fields.name;

  // Each of these changes runs the control's own handler, which stores the value back in its
  // normal form.
  choosing_ = true;
  page.visible->setChecked(visibility != orv::HiddenValue);
  page.notes->setReadOnly(!named);
  {
    // The box is refilled in one step, so the record is not rewritten through an empty box first.
    const QSignalBlocker quiet(page.notes);
    page.notes->setPlainText(NotesText(bookmark.notes));
  }
  NotesChanged(page);
  choosing_ = false;

  // A hand-edited record whose coordinates are not integers is shown but not scrolled to.
  if (bookmark.world) ShowWorldPoint(bookmark.world->x, bookmark.world->y);
}

void TForm3::NotesChanged(Page& page) {
  const int k = Selected(page);
  if (k < 0 || page.notes->isReadOnly()) return;
  const std::string& record = (*page.records)[static_cast<std::size_t>(k)];
  const auto lines = NotesLines(page.notes->Text());
  if (!lines) return;  // the box refuses such characters; nothing it cannot store is written
  std::string updated = store_.WithNotes(page.id, static_cast<std::size_t>(k), *lines);
  if (updated == record) return;
  Rewrite(page, static_cast<std::size_t>(k), std::move(updated), orv::BookmarkUndo::Edit::Notes);
  Changed();
}

void TForm3::DeleteEntry(Page& page) {
  const int k = Selected(page);
  if (k < 0) return;
  const std::string name =
      orv::GetField(page.fields.name, (*page.records)[static_cast<std::size_t>(k)], orv::FieldSeparator);
  undo_.Delete(store_, page.id, static_cast<std::size_t>(k),
               StepMap(page, orv::BookmarkUndo::Edit::Visibility));
  Redraw();
  FillBookmarkLists();
  Changed();
  host_.SetStatusText(0, "Deleted '" + orv::FromBytes(name) + "'. Ctrl+Z brings it back.");
}

void TForm3::VisibilityChanged(Page& page) {
  const int k = Selected(page);
  if (k < 0) return;
  const std::string& record = (*page.records)[static_cast<std::size_t>(k)];
  std::string updated =
      store_.WithVisibility(page.id, static_cast<std::size_t>(k), page.visible->isChecked());
  if (updated != record) {
    Rewrite(page, static_cast<std::size_t>(k), std::move(updated), orv::BookmarkUndo::Edit::Visibility);
    Changed();
  }
  Redraw();
}

void TForm3::Rewrite(Page& page, std::size_t k, std::string updated, orv::BookmarkUndo::Edit edit) {
  if (choosing_)
    undo_.Normalise(store_, page.id, k, std::move(updated));
  else
    undo_.Replace(store_, page.id, k, std::move(updated), edit, StepMap(page, edit));
}

std::string TForm3::CurrentMap() const {
  return host_.Session().CurrentMapFile();
}

std::string TForm3::StepMap(const Page& page, orv::BookmarkUndo::Edit edit) const {
  const bool perMap = page.id == orv::BookmarkPage::CurrentMap || edit == orv::BookmarkUndo::Edit::Visibility;
  return perMap ? CurrentMap() : std::string();
}

void TForm3::UndoChange() {
  ShowUndone(undo_.Undo(store_, CurrentMap()), "Nothing to undo.");
}

void TForm3::RedoChange() {
  ShowUndone(undo_.Redo(store_, CurrentMap()), "Nothing to redo.");
}

void TForm3::ShowUndone(const std::optional<orv::UndoneChange>& change, const char* nothing) {
  if (!change) {
    host_.SetStatusText(0, QString::fromLatin1(nothing));
    return;
  }
  host_.SetStatusText(0, QString());
  Redraw();
  FillBookmarkLists();
  Changed();
  if (change->index) ChooseRecord(PageOf(change->page), *change->index);
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
