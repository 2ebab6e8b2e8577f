// Test entry for the window tests: a QApplication on the offscreen platform, then GoogleTest.
#include <gtest/gtest.h>

#include <QApplication>

#include "view/fonts.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  // The windows under test measure their texts in the face the program uses.
  QApplication::setFont(orv::DesignedApplicationFont());
  return RUN_ALL_TESTS();
}
