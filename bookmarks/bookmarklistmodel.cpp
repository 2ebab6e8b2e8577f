#include "bookmarks/bookmarklistmodel.h"

#include "storage/fields.h"
#include "view/text.h"

namespace orv {

BookmarkListModel::BookmarkListModel(const std::vector<std::string>& records, int nameField, QObject* parent)
    : QAbstractListModel(parent), records_(records), nameField_(nameField) {}

void BookmarkListModel::Show(std::vector<std::size_t> shown) {
  beginResetModel();
  shown_ = std::move(shown);
  endResetModel();
}

int BookmarkListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

QVariant BookmarkListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  const std::size_t k = shown_[static_cast<std::size_t>(index.row())];
  // A record removed since the last Show (the list is refilled right after every change) shows empty.
  if (k >= records_.size()) return QString();
  return FromBytes(GetField(nameField_, records_[k], FieldSeparator));
}

}  // namespace orv
