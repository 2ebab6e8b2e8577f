#include "view/delayedsave.h"

namespace orv {

DelayedSave::DelayedSave(std::function<void()> save, int delayMs, QObject* parent)
    : QObject(parent), save_(std::move(save)) {
  timer_.setSingleShot(true);
  timer_.setInterval(delayMs);
  connect(&timer_, &QTimer::timeout, this, [this] { save_(); });
}

}  // namespace orv
