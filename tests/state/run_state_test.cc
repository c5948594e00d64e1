#include "state/run_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace lpgm {
namespace {

template <std::size_t N>
bool IsBlank(const TextField<N>& field) {
  return std::all_of(field.begin(), field.end(),
                     [](char c) { return c == ' '; });
}

TEST(RunStateTest, StartStateHasBlankTablesAndTheRunConstants) {
  auto state = std::make_unique<RunState>();
  // Dirt from anywhere must not survive the start state.
  state->DEFFILE.fill('x');
  for (int i = 1; i <= kFaultSlots; ++i) {
    state->FLTDIR(i).fill('f');
    state->LFLTDIR(i) = 5;
    for (int j = 1; j <= 55; ++j) state->SVF(i, j) = 1.0;
  }
  for (int i = 1; i <= kCaseSlots; ++i) {
    state->CASEDIR(i).fill('c');
    state->LCASEDIR(i) = 7;
    state->NPTS(i) = 3;
    state->IRANK(i) = 2;
  }
  for (int j = 1; j <= 55; ++j) state->PERIOD(j) = 1.0;

  InitializeRunState(*state);
  EXPECT_EQ(state->NPER, 55);
  EXPECT_EQ(state->DT, 0.02);
  EXPECT_TRUE(IsBlank(state->DEFFILE));
  for (int i = 1; i <= kFaultSlots; ++i) {
    EXPECT_TRUE(IsBlank(state->FLTDIR(i))) << i;
    EXPECT_EQ(state->LFLTDIR(i), 0) << i;
    for (int j = 1; j <= 55; ++j) EXPECT_EQ(state->SVF(i, j), 0.0);
  }
  for (int i = 1; i <= kCaseSlots; ++i) {
    EXPECT_TRUE(IsBlank(state->CASEDIR(i))) << i;
    EXPECT_EQ(state->LCASEDIR(i), 0) << i;
    EXPECT_EQ(state->NPTS(i), 0) << i;
    EXPECT_EQ(state->IRANK(i), 0) << i;
  }
  for (int j = 1; j <= 55; ++j) EXPECT_EQ(state->PERIOD(j), 0.0);
}

TEST(RunStateTest, ItemsNoPhaseSetsAreZeroInANewRunState) {
  auto state = std::make_unique<RunState>();
  InitializeRunState(*state);
  EXPECT_EQ(state->NFAULT, 0);
  EXPECT_EQ(state->NCASE, 0);
  EXPECT_EQ(state->IMED, 0);
  for (int j = 56; j <= kPeriodPoints; ++j) {
    EXPECT_EQ(state->PERIOD(j), 0.0);
    for (int i = 1; i <= kFaultSlots; ++i) EXPECT_EQ(state->SVF(i, j), 0.0);
  }
  for (int j = 1; j <= kPeriodPoints; ++j) EXPECT_EQ(state->SVTGT(j), 0.0);
  for (int i = 1; i <= kCaseSlots; ++i) EXPECT_EQ(state->VMAX(i), 0.0);
  EXPECT_TRUE(std::all_of(state->AccTable().begin(), state->AccTable().end(),
                          [](double v) { return v == 0.0; }));
  EXPECT_TRUE(std::all_of(state->VelTable().begin(), state->VelTable().end(),
                          [](double v) { return v == 0.0; }));
}

TEST(RunStateTest, AccessorsRefuseIndicesOutsideTheirTables) {
  auto state = std::make_unique<RunState>();
  RunState& s = *state;
  EXPECT_THROW(s.FLTDIR(0), std::out_of_range);
  EXPECT_THROW(s.FLTDIR(kFaultSlots + 1), std::out_of_range);
  EXPECT_THROW(s.LFLTDIR(0), std::out_of_range);
  EXPECT_THROW(s.LFLTDIR(kFaultSlots + 1), std::out_of_range);
  EXPECT_THROW(s.CASEDIR(0), std::out_of_range);
  EXPECT_THROW(s.CASEDIR(kCaseSlots + 1), std::out_of_range);
  EXPECT_THROW(s.LCASEDIR(0), std::out_of_range);
  EXPECT_THROW(s.LCASEDIR(kCaseSlots + 1), std::out_of_range);
  EXPECT_THROW(s.PERIOD(0), std::out_of_range);
  EXPECT_THROW(s.PERIOD(kPeriodPoints + 1), std::out_of_range);
  EXPECT_THROW(s.SVF(0, 1), std::out_of_range);
  EXPECT_THROW(s.SVF(kFaultSlots + 1, 1), std::out_of_range);
  EXPECT_THROW(s.SVF(1, 0), std::out_of_range);
  EXPECT_THROW(s.SVF(1, kPeriodPoints + 1), std::out_of_range);
  EXPECT_THROW(s.SVTGT(0), std::out_of_range);
  EXPECT_THROW(s.SVTGT(kPeriodPoints + 1), std::out_of_range);
  EXPECT_THROW(s.NPTS(0), std::out_of_range);
  EXPECT_THROW(s.NPTS(kCaseSlots + 1), std::out_of_range);
  EXPECT_THROW(s.IRANK(0), std::out_of_range);
  EXPECT_THROW(s.IRANK(kCaseSlots + 1), std::out_of_range);
  EXPECT_THROW(s.VMAX(0), std::out_of_range);
  EXPECT_THROW(s.VMAX(kCaseSlots + 1), std::out_of_range);
  EXPECT_THROW(s.ACC(0, 1), std::out_of_range);
  EXPECT_THROW(s.ACC(kCaseSlots + 1, 1), std::out_of_range);
  EXPECT_THROW(s.ACC(1, 0), std::out_of_range);
  EXPECT_THROW(s.ACC(1, kSampleCapacity + 1), std::out_of_range);
  EXPECT_THROW(s.VEL(0, 1), std::out_of_range);
  EXPECT_THROW(s.VEL(kCaseSlots + 1, 1), std::out_of_range);
  EXPECT_THROW(s.VEL(1, 0), std::out_of_range);
  EXPECT_THROW(s.VEL(1, kSampleCapacity + 1), std::out_of_range);
  EXPECT_THROW(s.AccColumn(0), std::out_of_range);
  EXPECT_THROW(s.AccColumn(kCaseSlots + 1), std::out_of_range);
  EXPECT_THROW(s.VelColumn(0), std::out_of_range);
  EXPECT_THROW(s.VelColumn(kCaseSlots + 1), std::out_of_range);
  // The last entry of every table is inside it.
  EXPECT_NO_THROW(s.FLTDIR(kFaultSlots));
  EXPECT_NO_THROW(s.LCASEDIR(kCaseSlots));
  EXPECT_NO_THROW(s.SVF(kFaultSlots, kPeriodPoints));
  EXPECT_NO_THROW(s.IRANK(kCaseSlots));
  EXPECT_NO_THROW(s.ACC(kCaseSlots, kSampleCapacity));
  EXPECT_NO_THROW(s.VEL(kCaseSlots, kSampleCapacity));
}

TEST(RunStateTest, WaveformTablesKeepEachCaseTogether) {
  auto state = std::make_unique<RunState>();
  RunState& s = *state;
  EXPECT_EQ(&s.ACC(1, 2) - &s.ACC(1, 1), 1);
  EXPECT_EQ(&s.ACC(2, 1) - &s.ACC(1, 1), kSampleCapacity);
  EXPECT_EQ(&s.VEL(kCaseSlots, kSampleCapacity) - &s.VEL(1, 1),
            static_cast<std::ptrdiff_t>(kCaseSlots) * kSampleCapacity - 1);
  EXPECT_EQ(&s.SVF(2, 1) - &s.SVF(1, 1), 1);
  EXPECT_EQ(&s.SVF(1, 2) - &s.SVF(1, 1), kFaultSlots);
  s.ACC(7, 9) = 3.5;
  s.VEL(7, 9) = 4.5;
  EXPECT_EQ(s.AccColumn(7)[8], 3.5);
  EXPECT_EQ(s.VelColumn(7)[8], 4.5);
  // NPTS and IRANK are the two columns of one table.
  EXPECT_EQ(&s.IRANK(1) - &s.NPTS(1), kCaseSlots);
}

}  // namespace
}  // namespace lpgm
