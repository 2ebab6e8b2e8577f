#pragma once
// A save that follows a change within about a second: each change restarts the wait, so a run of
// changes ends in one save.
#include <QObject>
#include <QTimer>
#include <functional>

namespace orv {

class DelayedSave : public QObject {
  Q_OBJECT
 public:
  explicit DelayedSave(std::function<void()> save, int delayMs = 1000, QObject* parent = nullptr);

  void Schedule() { timer_.start(); }
  bool Pending() const { return timer_.isActive(); }
  void Cancel() { timer_.stop(); }

 private:
  QTimer timer_;
  std::function<void()> save_;
};

}  // namespace orv
