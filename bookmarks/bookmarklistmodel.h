#pragma once
// The entries of a bookmarks window list box: the names of the records a search lets through, in
// the order it gives. The names are read from the records only for the rows on screen, so narrowing
// a list of 100,000 bookmarks costs a reset, not 100,000 new entries.
#include <QAbstractListModel>
#include <cstddef>
#include <string>
#include <vector>

namespace orv {

class BookmarkListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  // records outlives the model; nameField is the records' name field.
  BookmarkListModel(const std::vector<std::string>& records, int nameField, QObject* parent = nullptr);

  // Shows the records at these positions, one row each, in this order.
  void Show(std::vector<std::size_t> shown);
  const std::vector<std::size_t>& Shown() const { return shown_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  const std::vector<std::string>& records_;
  int nameField_;
  std::vector<std::size_t> shown_;
};

}  // namespace orv
