#include "bookmarks/findbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "bookmarks/bookmarkrows.h"
#include "core/numbers.h"
#include "storage/fields.h"
#include "view/text.h"

namespace orv {

FindBox::FindBox(const BookmarkLists& lists, QWidget* parent)
    : QFrame(parent), lists_(lists), text_(new QLineEdit(this)), list_(new QListWidget(this)) {
  setObjectName("FindBox");
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  text_->setObjectName("FindText");
  text_->setPlaceholderText("Find bookmark");
  list_->setObjectName("FindList");
  list_->setFocusPolicy(Qt::NoFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(text_);
  layout->addWidget(list_);
  resize(260, 220);
  hide();
  text_->installEventFilter(this);
  connect(text_, &QLineEdit::textChanged, this, [this] { Refill(); });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { ChooseSelected(); });
}

void FindBox::ListsChanged() {
  indexValid_ = false;
  if (!isVisible()) return;
  // The entry chosen stays chosen while it is listed: a change to another bookmark (notes typed in the
  // bookmarks window, a deletion) must not move the choice that Enter acts on.
  const std::optional<Entry> selected = SelectedEntry();
  Refill();
  if (!selected) return;
  for (std::size_t row = 0; row < listed_.size(); ++row) {
    if (EntryAt(listed_[row]) == *selected) {
      list_->setCurrentRow(static_cast<int>(row));
      return;
    }
  }
}

std::optional<FindBox::Entry> FindBox::SelectedEntry() const {
  const int row = list_->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= listed_.size()) return std::nullopt;
  return EntryAt(listed_[static_cast<std::size_t>(row)]);
}

FindBox::Entry FindBox::EntryAt(std::size_t k) const {
  return {global_[k], names_[k], worlds_[k]};
}

void FindBox::Open() {
  if (!isVisible()) keyboardBefore_ = QApplication::focusWidget();
  Refill();
  show();
  raise();
  text_->selectAll();
  text_->setFocus();
}

void FindBox::MakeIndex() {
  std::vector<SearchableBookmark> bookmarks;
  worlds_.clear();
  global_.clear();
  names_.clear();
  const auto add = [&](const std::vector<std::string>& records, const BookmarkFields& fields, bool global) {
    std::vector<SearchableBookmark> page = SearchableBookmarks(records, fields);
    for (std::size_t i = 0; i < records.size(); ++i) {
      const auto wx = ParseInt(FieldView(fields.x, records[i]));
      const auto wy = ParseInt(FieldView(fields.y, records[i]));
      // A hand-edited record whose coordinates are not integers is listed but cannot be gone to.
      worlds_.push_back(wx && wy ? std::optional<Point>(Point{*wx, *wy}) : std::nullopt);
      global_.push_back(global);
      names_.push_back(page[i].name);
      bookmarks.push_back(std::move(page[i]));
    }
  };
  add(lists_.CurrentMapBookmarks, MapBookmarkFields, false);
  add(lists_.GlobalBookmarks, GlobalBookmarkFields, true);
  index_ = BookmarkSearchIndex(bookmarks);
  indexValid_ = true;
}

void FindBox::Refill() {
  if (!indexValid_) MakeIndex();
  listed_ = index_.Find(text_->text(), SearchOrder::ByName);
  if (listed_.size() > static_cast<std::size_t>(MostListed)) listed_.resize(MostListed);
  list_->clear();
  for (std::size_t k : listed_) {
    const QString name = FromBytes(names_[k]);
    list_->addItem(global_[k] ? name + "  (global)" : name);
  }
  if (list_->count() > 0) list_->setCurrentRow(0);
}

void FindBox::ChooseSelected() {
  const int row = list_->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= listed_.size()) return;
  const std::optional<Point> world = worlds_[listed_[static_cast<std::size_t>(row)]];
  if (!world) return;
  hide();
  emit chosen(*world);
}

bool FindBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched != text_ || event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      ChooseSelected();
      return true;
    case Qt::Key_Escape:
      hide();
      if (keyboardBefore_ && keyboardBefore_->isVisible()) keyboardBefore_->setFocus();
      return true;
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
      // The list follows the arrow keys while the keyboard stays in the text.
      QCoreApplication::sendEvent(list_, event);
      return true;
    default:
      return false;
  }
}

}  // namespace orv
