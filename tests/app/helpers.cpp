#include "helpers.h"

#include <QTextStream>

namespace orv::testing {

int RunHelper(const QStringList& args) {
  QTextStream(stderr) << "unknown helper mode " << args.value(0) << "\n";
  return 2;
}

}  // namespace orv::testing
