#pragma once
// TPropScrollbar: a scroll bar with the designed range model. Positions run from 0 to Max; PageSize
// only sets the thumb's proportional length. An arrow click moves 9, a click in the track 300, both
// independent of PageSize. The bar never takes the keyboard focus.
//
// Qt's own range leaves out the page (its maximum is the last position the thumb reaches, and its
// page step sets both the thumb length and the track click), so the bar maps onto it: Qt's maximum is
// Max - PageSize (the last useful position of the view) and Qt's page step is PageSize, while track
// clicks are replaced by steps of 300.
//
// Every move made by the user is first offered to the Scroll signal's receiver, which may change the
// new position; the bar then takes the position the receiver left.
#include <QScrollBar>

namespace orv {
// How the user moved a scroll bar.
enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, Track, Top, Bottom };
}  // namespace orv

class TPropScrollbar : public QScrollBar {
  Q_OBJECT
  Q_PROPERTY(int Max READ Max WRITE SetMax)
  Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)

 public:
  static constexpr int kSmallChange = 9;
  static constexpr int kLargeChange = 300;

  explicit TPropScrollbar(QWidget* parent = nullptr);

  int Max() const { return max_; }
  void SetMax(int max);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int pageSize);
  int Position() const { return value(); }
  void SetPosition(int position) { setValue(position); }

 signals:
  // A move by the user: code says how, pos holds the new position, already within the bar's range.
  // A receiver connected directly may change pos; the bar takes the value it holds afterwards.
  void Scroll(orv::ScrollCode code, int& pos);

 private:
  void OnAction(int action);
  void ApplyRange();

  int max_ = 100;
  int pageSize_ = 0;
};
