#include "view/delayedsave.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

namespace orv {
namespace {

// Changes that keep coming without a pause are saved while they come, not only after the last one.
TEST(DelayedSave, ChangesWithoutAPauseAreSavedWhileTheyCome) {
  int saves = 0;
  DelayedSave save([&] { ++saves; }, 300);
  QElapsedTimer changing;
  changing.start();
  while (saves == 0 && changing.elapsed() < 3000) {
    save.Schedule();
    QTest::qWait(50);
  }
  EXPECT_EQ(1, saves);
  EXPECT_FALSE(save.Pending());
  // A change after the save is saved in turn; none is saved twice.
  save.Schedule();
  EXPECT_TRUE(QTest::qWaitFor([&] { return saves == 2; }, 3000));
  QTest::qWait(400);
  EXPECT_EQ(2, saves);
}

}  // namespace
}  // namespace orv
