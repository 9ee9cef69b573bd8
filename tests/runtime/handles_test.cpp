// The stand-in's handle table: real handles, refused misuse, and a report
// of whatever is left unbalanced.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "handles.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace standin;

namespace {

TEST(HandleTable, BalancedUseLeavesNothingToReport)
{
    HandleTable table;
    uint32_t first = table.Allocate("one");
    uint32_t second = table.Allocate("two");
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_STREQ(table.Lock(second), "two");
    table.Unlock(second);
    table.Free(second);
    table.Free(first);
    EXPECT_THAT(table.Problems(), IsEmpty());
}

TEST(HandleTable, MisuseIsRefusedAndReported)
{
    HandleTable table;
    uint32_t handle = table.Allocate("text");
    table.Unlock(handle);
    table.Free(handle);
    EXPECT_EQ(table.Lock(handle), nullptr);
    table.Free(handle);
    table.Unlock(handle);
    table.Free(0); // never a handle
    EXPECT_EQ(table.Lock(99), nullptr);
    uint32_t kept = table.Allocate("kept");
    table.Lock(kept);
    uint32_t freedLocked = table.Allocate("freed while locked");
    table.Lock(freedLocked);
    table.Lock(freedLocked);
    table.Free(freedLocked);
    table.Allocate("left unlocked");
    EXPECT_THAT(table.Problems(),
                ElementsAre("nnUnlock of handle 1 that is not locked", "nnLock of freed handle 1",
                            "nnFree of freed handle 1", "nnUnlock of freed handle 1",
                            "nnFree of unknown handle 0", "nnLock of unknown handle 99",
                            "nnFree of handle 3 that is still locked 2 time(s)",
                            "handle 2 was never freed", "handle 2 is still locked 1 time(s)",
                            "handle 4 was never freed"));
}

} // namespace
