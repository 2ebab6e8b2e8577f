// Test entry for app/: a QCoreApplication, then GoogleTest. The same program also serves as the
// second process that some tests start (a second copy of the program, a program that gets a signal).
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "helpers.h"

int main(int argc, char** argv) {
  if (argc >= 2 && QByteArray(argv[1]).startsWith("--helper-")) {
    QCoreApplication app(argc, argv);
    return orv::testing::RunHelper(QCoreApplication::arguments().mid(1));
  }
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
