// Allocation by group and batch: statuses, the message, skipped batches and
// release of partly allocated groups.
#include <gtest/gtest.h>

#include "core/work_arrays.h"
#include "support/recorder_messages.h"

namespace mornax {
namespace {

using testing::RecorderMessages;

constexpr const char* kAllocationError = " Allocation Error, not enough memory";

TEST(WorkArrays, GroupsGetTheirSizesAndShapes) {
  RecorderMessages messages;
  WorkArrays arrays;
  EXPECT_EQ(arrays.AllocPointArrays(messages, 7), 1);
  EXPECT_EQ(arrays.AllocLagArrays(messages, 21), 1);
  EXPECT_EQ(arrays.AllocFitArrays(messages, 91), 1);
  EXPECT_EQ(arrays.AllocNeighbourArrays(messages, 24), 1);
  EXPECT_EQ(arrays.AllocTrendArrays(messages, 7), 1);
  EXPECT_EQ(arrays.points.x.size(), 7u);
  EXPECT_EQ(arrays.points.fifth.size(), 7u);
  EXPECT_EQ(arrays.lags.lag1.size(), 21u);
  // The fitting shapes do not depend on the size argument.
  EXPECT_EQ(arrays.fit.matrix1.size(), 15u);
  EXPECT_EQ(arrays.fit.matrix2.size(), 15u);
  EXPECT_EQ(arrays.fit.vector3.size(), 3u);
  EXPECT_EQ(arrays.fit.work.size(), 91u);
  EXPECT_EQ(arrays.neighbours.index.size(), 24u);
  EXPECT_EQ(arrays.neighbours.matrix4.size(), 24u * 24u);
  EXPECT_EQ(arrays.trend.coefficients.size(), 7u);
  EXPECT_TRUE(messages.boxes.empty());
  arrays.FreeAll();
  EXPECT_TRUE(arrays.AllReleased());
}

TEST(WorkArrays, ZeroPointsIsAValidAllocation) {
  RecorderMessages messages;
  WorkArrays arrays;
  EXPECT_EQ(arrays.AllocPointArrays(messages, 0), 1);
  EXPECT_TRUE(arrays.points.x.allocated);
  EXPECT_EQ(arrays.points.x.size(), 0u);
  EXPECT_TRUE(messages.boxes.empty());
}

TEST(WorkArrays, FailedBatchSkipsTheRestAndShowsOneMessage) {
  RecorderMessages messages;
  WorkArrays arrays;
  // m = 10: batch 1 and 2 need 60 elements, batch 3 needs 40 more.
  arrays.elementLimit = 60 + 25;
  EXPECT_EQ(arrays.AllocNeighbourArrays(messages, 10), 0);
  ASSERT_EQ(messages.boxes.size(), 1u);
  EXPECT_EQ(messages.boxes[0], kAllocationError);
  const auto& n = arrays.neighbours;
  EXPECT_TRUE(n.work2.allocated);
  EXPECT_TRUE(n.work3.allocated);
  EXPECT_TRUE(n.work4.allocated);
  EXPECT_FALSE(n.work5.allocated);    // the failing request
  EXPECT_FALSE(n.work6.allocated);    // skipped within the batch
  EXPECT_FALSE(n.matrix1.allocated);  // batch 4 never requested
  arrays.FreeNeighbourArrays();
  EXPECT_TRUE(arrays.AllReleased());
}

TEST(WorkArrays, FitSecondBatchIsSkippedAfterAFailure) {
  RecorderMessages messages;
  WorkArrays arrays;
  arrays.elementLimit = 15 + 15 + 10;
  EXPECT_EQ(arrays.AllocFitArrays(messages, 91), 0);
  EXPECT_FALSE(arrays.fit.work.allocated);
  EXPECT_FALSE(arrays.fit.vector3.allocated);
  EXPECT_EQ(messages.boxes.size(), 1u);
}

TEST(WorkArrays, RequestingAnAllocatedArrayFails) {
  RecorderMessages messages;
  WorkArrays arrays;
  ASSERT_EQ(arrays.AllocLagArrays(messages, 5), 1);
  EXPECT_EQ(arrays.AllocLagArrays(messages, 5), 0);
  EXPECT_EQ(messages.boxes.size(), 1u);
  // The first allocation is kept intact.
  EXPECT_EQ(arrays.lags.lag1.size(), 5u);
}

TEST(WorkArrays, NegativeSizeFailsWithTheMessage) {
  RecorderMessages messages;
  WorkArrays arrays;
  EXPECT_EQ(arrays.AllocPointArrays(messages, -3), 0);
  EXPECT_EQ(messages.boxes, std::vector<std::string>{kAllocationError});
  arrays.FreeAll();
  EXPECT_TRUE(arrays.AllReleased());
}

TEST(WorkArrays, LimitCountsOnlyWhatIsStillAllocated) {
  RecorderMessages messages;
  WorkArrays arrays;
  arrays.elementLimit = 50;
  ASSERT_EQ(arrays.AllocPointArrays(messages, 10), 1);
  arrays.FreePointArrays();
  EXPECT_EQ(arrays.AllocPointArrays(messages, 10), 1);
  EXPECT_TRUE(messages.boxes.empty());
}

}  // namespace
}  // namespace mornax
