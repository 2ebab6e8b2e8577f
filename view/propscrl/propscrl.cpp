#include "view/propscrl/propscrl.h"

#include <algorithm>

TPropScrollbar::TPropScrollbar(QWidget* parent) : QScrollBar(parent) {
  setFocusPolicy(Qt::NoFocus);
  setSingleStep(kSmallChange);
  setMinimum(0);
  ApplyRange();
  connect(this, &QAbstractSlider::actionTriggered, this, &TPropScrollbar::OnAction);
}

void TPropScrollbar::SetMax(int max) {
  max_ = max;
  ApplyRange();
}

void TPropScrollbar::SetPageSize(int pageSize) {
  pageSize_ = pageSize;
  ApplyRange();
}

void TPropScrollbar::ApplyRange() {
  // The thumb shows PageSize out of Max; the last position it reaches is Max - PageSize.
  const long long last = std::max(0LL, static_cast<long long>(max_) - std::max(0, pageSize_));
  setPageStep(std::max(1, pageSize_));
  setMaximum(static_cast<int>(last));
}

void TPropScrollbar::OnAction(int action) {
  // Qt has already moved the slider position for the action; the value follows after this returns.
  orv::ScrollCode code;
  int pos = sliderPosition();
  switch (action) {
    case SliderSingleStepAdd:
      code = orv::ScrollCode::LineDown;
      break;
    case SliderSingleStepSub:
      code = orv::ScrollCode::LineUp;
      break;
    case SliderPageStepAdd:
      code = orv::ScrollCode::PageDown;
      pos = static_cast<int>(std::min<long long>(maximum(), static_cast<long long>(value()) + kLargeChange));
      break;
    case SliderPageStepSub:
      code = orv::ScrollCode::PageUp;
      pos = static_cast<int>(std::max<long long>(minimum(), static_cast<long long>(value()) - kLargeChange));
      break;
    case SliderToMinimum:
      code = orv::ScrollCode::Top;
      break;
    case SliderToMaximum:
      code = orv::ScrollCode::Bottom;
      break;
    case SliderMove:
      code = orv::ScrollCode::Track;
      break;
    default:
      return;
  }
  emit Scroll(code, pos);
  setSliderPosition(std::clamp(pos, minimum(), maximum()));
}
