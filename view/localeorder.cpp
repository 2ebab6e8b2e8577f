#include "view/localeorder.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <numeric>

#include "view/text.h"

namespace orv {

std::vector<std::size_t> LocaleOrder(const std::vector<std::string_view>& texts) {
  QCollator collator{QLocale()};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::vector<std::size_t> order(texts.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  // Lists are saved in this order, so at a load they usually stand sorted already: one pass over
  // neighbours finds that, and the stable sort would leave such a list as it is. The pass converts
  // each text into one of two buffers, so it allocates nothing per text.
  QString previous, current;
  bool sorted = true;
  for (std::size_t i = 0; i < texts.size() && sorted; ++i) {
    FromBytesInto(texts[i], current);
    sorted = i == 0 || collator.compare(current, previous) >= 0;
    std::swap(previous, current);
  }
  if (sorted) return order;
  // Each text is converted once however often it is compared. (Collator sort keys would save more,
  // but in the C locale they ignore the case setting.)
  std::vector<QString> names;
  names.reserve(texts.size());
  for (std::string_view text : texts) names.push_back(FromBytes(text));
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return collator.compare(names[a], names[b]) < 0; });
  return order;
}

}  // namespace orv
