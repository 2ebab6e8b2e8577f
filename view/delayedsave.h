#pragma once
// A save that follows a change within about a second: changes made while the save waits go into the
// same save, so a run of changes is saved about once a second, and even a long run without a pause
// (a note typed on and on) never leaves more than about a second of it unsaved.
#include <QObject>
#include <QTimer>
#include <functional>

namespace orv {

class DelayedSave : public QObject {
  Q_OBJECT
 public:
  explicit DelayedSave(std::function<void()> save, int delayMs = 1000, QObject* parent = nullptr);

  void Schedule() {
    if (!timer_.isActive()) timer_.start();
  }
  bool Pending() const { return timer_.isActive(); }
  void Cancel() { timer_.stop(); }

 private:
  QTimer timer_;
  std::function<void()> save_;
};

}  // namespace orv
