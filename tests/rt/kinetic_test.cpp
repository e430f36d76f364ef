// The kinetic rule without a window: presses, moves and releases as lines
// and ticks, the steps and glide plans they give.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rt/kinetic.h"

using namespace nx;

namespace {

constexpr int kRows = 20;
const Kinetics::Rule kRule{};

// One move per line from `from` (exclusive) to `to`, evenly from t0 to t1;
// the steps' row shifts.
std::vector<int> Drag(Kinetics& k, int from, int to, uint32_t t0, uint32_t t1) {
  std::vector<int> shifts;
  int n = std::abs(to - from), step = to > from ? 1 : -1;
  for (int i = 1; i <= n; ++i)
    shifts.push_back(k.Move(from + i * step, kRows, t0 + uint32_t(int64_t(t1 - t0) * i / n)).rows);
  return shifts;
}

Kinetics::Plan Flick(int from, int to, uint32_t t0, uint32_t t1, const Kinetics::Rule& rule = kRule) {
  Kinetics k;
  k.Press(from, t0);
  Drag(k, from, to, t0, t1);
  return k.Release(to, t1, rule);
}

}  // namespace

// Speed is lines per 4000 ms; above 50 the rows glide min(40, speed / 8)
// rows with pauses of i * 160 / (speed / 8) ms, at most 120.
TEST(KineticRule, SpeedThresholdAndPauses) {
  EXPECT_FALSE(Flick(10, 13, 1000, 1400).glides());  // 30
  EXPECT_FALSE(Flick(5, 10, 1000, 1400).glides());   // exactly 50
  Kinetics::Plan p = Flick(5, 11, 1000, 1400);       // 60: 7.5 rows
  EXPECT_EQ(p.direction, -1);                        // pointer down: earlier rows
  EXPECT_EQ(p.pauses, (std::vector<uint32_t>{21, 42, 64, 85, 106, 120, 120}));
  p = Flick(5, 11, 1000, 1470);  // 51: 6.375 rows
  EXPECT_EQ(p.pauses, (std::vector<uint32_t>{25, 50, 75, 100, 120, 120}));
  p = Flick(15, 5, 1000, 1100);  // 400: capped at 40 rows, 4 ms more per step
  EXPECT_EQ(p.direction, 1);
  ASSERT_EQ(p.pauses.size(), 40u);
  EXPECT_EQ(p.pauses[0], 4u);
  EXPECT_EQ(p.pauses[28], 116u);
  EXPECT_EQ(p.pauses[29], 120u);
  EXPECT_EQ(p.pauses[39], 120u);
  // The rule's parts are the browse's to change.
  p = Flick(5, 11, 1000, 1400, {.stopRatio = 2, .maxRows = 5, .minSpeed = 59});
  EXPECT_EQ(p.pauses, (std::vector<uint32_t>{2, 4, 6, 8, 10}));
  EXPECT_FALSE(Flick(5, 11, 1000, 1400, {.minSpeed = 60}).glides());
  // A rule that allows no row still glides: the edge row becomes current.
  p = Flick(5, 11, 1000, 1400, {.maxRows = 0});
  EXPECT_TRUE(p.glides());
  EXPECT_TRUE(p.pauses.empty());
}

TEST(KineticRule, NoTimeOrNoLinesIsNoSpeed) {
  EXPECT_FALSE(Flick(5, 15, 1000, 1000).glides());
  Kinetics k;
  k.Press(15, 2000);
  EXPECT_FALSE(k.Release(15, 2001, kRule).glides());
  EXPECT_EQ(Kinetics::Speed(6, 1400, 1000), 0);  // a clock that went back
  // A release with no press is nothing.
  Kinetics idle;
  EXPECT_FALSE(idle.Release(3, 5000, kRule).glides());
}

TEST(KineticRule, ReversingRestartsTheMeasurement) {
  {
    // Down fast, a long pause, then up 6 lines in 400 ms: 60 from the turn.
    Kinetics k;
    k.Press(10, 1000);
    Drag(k, 10, 13, 1000, 1000);
    k.Move(12, kRows, 3000);
    EXPECT_EQ(k.startLine(), 12);
    EXPECT_EQ(k.startTick(), 3000u);
    Drag(k, 12, 6, 3000, 3400);
    EXPECT_EQ(k.Release(6, 3400, kRule).pauses.size(), 7u);
  }
  {
    // A fast stretch before the turn does not count.
    Kinetics k;
    k.Press(10, 1000);
    Drag(k, 10, 16, 1000, 1100);
    k.Move(15, kRows, 5000);
    EXPECT_FALSE(k.Release(15, 5000, kRule).glides());
  }
  {
    // The direction outlives the press: a drag that goes on the way the
    // last one went keeps the press as its start.
    Kinetics k;
    k.Press(10, 1000);
    Drag(k, 10, 8, 1000, 1100);
    k.Release(8, 9000, kRule);
    k.Press(10, 10000);
    k.Move(9, kRows, 10050);
    EXPECT_EQ(k.startLine(), 10);
    EXPECT_EQ(k.startTick(), 10000u);
  }
}

// A move shifts the rows one row whatever the jump, towards the pointer's
// way, and selects the line under it; off the data lines it counts as the
// nearest one.
TEST(KineticRule, MovesShiftOneRowAndSelectTheLine) {
  Kinetics k;
  k.Press(5, 1000);
  EXPECT_EQ(k.state(), Kinetics::State::Pressed);
  Kinetics::Step s = k.Move(9, kRows, 1010);
  EXPECT_EQ(k.state(), Kinetics::State::Dragging);
  EXPECT_EQ(s.rows, -1);
  EXPECT_EQ(s.line, 9);
  s = k.Move(9, kRows, 1020);
  EXPECT_EQ(s.rows, 0);
  s = k.Move(0, kRows, 1030);  // onto the header
  EXPECT_EQ(s.rows, 1);
  EXPECT_EQ(s.line, 1);
  s = k.Move(25, kRows, 1040);  // below the last line
  EXPECT_EQ(s.line, kRows);
  s = k.Move(3, 0, 1050);  // no whole line: line 1
  EXPECT_EQ(s.line, 1);
  // A press on the header grabbed line 0: the first move to line 1 is down.
  Kinetics h;
  h.Press(0, 1000);
  EXPECT_EQ(h.Move(1, kRows, 1010).rows, -1);
}

TEST(KineticRule, ColumnsFollowTheirOwnWay) {
  Kinetics k;
  EXPECT_EQ(k.ColumnStep(3), 0);  // none known yet
  k.ColumnAt(3);
  EXPECT_EQ(k.ColumnStep(2), -1);
  EXPECT_EQ(k.ColumnStep(3), 0);
  EXPECT_EQ(k.ColumnStep(5), 1);
}

// The states and the clock the browse shows beside them.
TEST(KineticStates, PressResizeLeaveGlideAndStop) {
  Kinetics k;
  EXPECT_EQ(k.state(), Kinetics::State::Idle);
  k.Track(500);
  EXPECT_EQ(k.startTick(), 0u);
  k.Press(4, 0);  // a press in tick 0 starts at the first move
  k.Track(700);
  EXPECT_EQ(k.startTick(), 700u);
  k.Resize();
  EXPECT_EQ(k.state(), Kinetics::State::Resizing);
  EXPECT_TRUE(k.pressed());
  k.Leave();
  EXPECT_FALSE(k.pressed());
  k.Track(800);
  EXPECT_EQ(k.startTick(), 0u);
  EXPECT_FALSE(k.Stop());  // nothing was gliding

  Kinetics::Plan p;
  k.Press(5, 1000);
  Drag(k, 5, 11, 1000, 1400);
  p = k.Release(11, 1400, kRule);
  ASSERT_TRUE(p.glides());
  EXPECT_EQ(k.endLine(), 11);
  EXPECT_EQ(k.endTick(), 1400u);
  k.GlideStarted();
  EXPECT_TRUE(k.gliding());
  k.Leave();  // leaving does not stop a glide
  EXPECT_TRUE(k.gliding());
  EXPECT_TRUE(k.Stop());
  EXPECT_FALSE(k.gliding());
  EXPECT_FALSE(k.Stop());
  k.GlideEnded();
  EXPECT_EQ(k.startLine(), 0);
  EXPECT_EQ(k.startTick(), 0u);
  // A press that came in the glide's pump outlives its end.
  k.GlideStarted();
  k.Stop();
  k.Press(7, 3000);
  k.GlideEnded();
  EXPECT_TRUE(k.pressed());
}

namespace {

// A glide of `plan` on a fake clock where step i's work takes work(i) ms:
// the waits asked and the time the glide ends (after the last pause).
struct Paced {
  std::vector<uint32_t> waits;
  double end = 0;
};
template <class Work>
Paced RunPaced(const std::vector<uint32_t>& plan, Work work) {
  Paced r;
  double now = 1000;
  GlidePace pace(now);
  for (size_t i = 0; i < plan.size(); ++i) {
    now += work(i);
    uint32_t w = pace.Wait(now, plan[i]);
    r.waits.push_back(w);
    now += w;
  }
  r.end = now - 1000;
  return r;
}

}  // namespace

// The full default plan: 40 steps, pauses 4, 8, ... 120, 3060 ms in all.
TEST(GlidePace, StepsKeepThePlansScheduleWhateverTheirWork) {
  const std::vector<uint32_t> plan = Kinetics::PlanFor(-10, 800, kRule).pauses;
  ASSERT_EQ(plan.size(), 40u);
  double sum = 0;
  for (uint32_t p : plan) sum += p;
  ASSERT_EQ(sum, 3060);

  // No work: the pauses as planned.
  EXPECT_EQ(RunPaced(plan, [](size_t) { return 0.0; }).waits, plan);

  // 7 ms a step: the first steps (pauses 4 and 8) run late and wait
  // nothing, the third makes it up; from then on each waits its pause
  // less its work, and the glide ends on its schedule.
  Paced seven = RunPaced(plan, [](size_t) { return 7.0; });
  EXPECT_EQ(seven.waits[0], 0u);
  EXPECT_EQ(seven.waits[1], 0u);
  EXPECT_EQ(seven.waits[2], 3u);  // 7 + 7 + 7 against 4 + 8 + 12
  for (size_t i = 3; i < plan.size(); ++i) EXPECT_EQ(seven.waits[i], plan[i] - 7) << i;
  EXPECT_EQ(seven.end, sum);

  // Fractions of a ms round to the nearest whole one; no drift builds up.
  Paced frac = RunPaced(plan, [](size_t) { return 2.4; });
  for (size_t i = 0; i < plan.size(); ++i) {
    EXPECT_GE(frac.waits[i], plan[i] - 3) << i;
    EXPECT_LE(frac.waits[i], plan[i] - 2) << i;
  }
  EXPECT_NEAR(frac.end, sum, 0.5);
}

TEST(GlidePace, LateStepsWaitNothingAndNeverBurst) {
  const std::vector<uint32_t> plan = Kinetics::PlanFor(-10, 800, kRule).pauses;
  double sum = 0;
  for (uint32_t p : plan) sum += p;

  // Slower than every pause: no wait at all, and late by the excess alone.
  Paced slow = RunPaced(plan, [](size_t) { return 200.0; });
  EXPECT_EQ(slow.waits, std::vector<uint32_t>(plan.size(), 0u));
  EXPECT_EQ(slow.end, 200.0 * plan.size());

  // One stall of 500 ms in the 11th step (pause 44): the steps after it keep
  // their pauses (less their 1 ms of work) instead of rushing through to
  // catch up; the glide ends late by the stall beyond its pause.
  Paced stall = RunPaced(plan, [](size_t i) { return i == 10 ? 500.0 : 1.0; });
  EXPECT_EQ(stall.waits[10], 0u);
  for (size_t i = 11; i < plan.size(); ++i) EXPECT_EQ(stall.waits[i], plan[i] - 1) << i;
  EXPECT_EQ(stall.end, sum + 500 - plan[10]);

  // Late by less than its pause: the next pause takes up the lateness,
  // then the schedule holds.
  GlidePace pace(0);
  EXPECT_EQ(pace.Wait(70, 40), 0u);  // due at 40
  EXPECT_EQ(pace.due(), 40);
  EXPECT_EQ(pace.Wait(71, 44), 13u);  // due at 84
  EXPECT_EQ(pace.Wait(85, 48), 47u);
}
