#include "rt/kinetic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace nx {

void Kinetics::Press(int line, uint32_t tick) {
  lineAdvance_ = line;
  startLine_ = line;
  startTick_ = tick;
  state_ = State::Pressed;
}

void Kinetics::Resize() {
  if (pressed()) state_ = State::Resizing;
}

void Kinetics::Track(uint32_t tick) {
  if (pressed()) {
    if (startTick_ == 0) startTick_ = tick;
  } else {
    startTick_ = 0;
    endTick_ = 0;
  }
}

Kinetics::Step Kinetics::Move(int line, int rows, uint32_t tick) {
  Track(tick);
  if (!pressed()) return {};
  if (state_ == State::Pressed) state_ = State::Dragging;
  line = std::clamp(line, 1, std::max(1, rows));
  int d = lineAdvance_.value_or(line) - line;  // > 0: the pointer went up
  lineAdvance_ = line;
  Step step{0, line};
  if (d == 0) return step;
  bool down = d < 0;
  if (down != down_) {
    startLine_ = line;
    startTick_ = tick;
  }
  down_ = down;
  step.rows = down ? -1 : 1;
  return step;
}

void Kinetics::Leave() {
  if (pressed()) state_ = State::Idle;
}

int Kinetics::ColumnStep(int column) const {
  int e = column - colAdvance_.value_or(column);
  return e < 0 ? -1 : e > 0 ? 1 : 0;
}

int Kinetics::Speed(int lines, uint32_t startTick, uint32_t endTick) {
  // In whole numbers: a floating quotient lands on either side of an exact
  // speed depending on the processor's precision (x87 gave 99 for 100).
  int64_t ms = int64_t(endTick) - int64_t(startTick);
  return ms > 0 ? int(int64_t(std::abs(lines)) * kSpeedSpanMs / ms) : 0;
}

Kinetics::Plan Kinetics::PlanFor(int lines, int speed, const Rule& rule) {
  Plan plan;
  if (speed <= rule.minSpeed || lines == 0) return plan;
  plan.direction = lines > 0 ? -1 : 1;  // the pointer went down: earlier rows come
  double n = std::min(double(rule.maxRows), speed * kRowsPerSpeed);
  // i * ratio * rows / n: multiplying first keeps whole pauses whole.
  for (int i = 1; i <= n; ++i)
    plan.pauses.push_back(uint32_t(std::min(kLongestPauseMs, i * double(rule.stopRatio) * rule.maxRows / n)));
  return plan;
}

Kinetics::Plan Kinetics::Release(int line, uint32_t tick, const Rule& rule) {
  if (!pressed()) return {};
  state_ = State::Idle;
  endLine_ = line;
  endTick_ = tick;
  int d = line - startLine_.value_or(line);
  return PlanFor(d, Speed(d, startTick_, endTick_), rule);
}

bool Kinetics::Stop() {
  if (state_ != State::Gliding) return false;
  state_ = State::Idle;
  return true;
}

void Kinetics::GlideEnded() {
  if (state_ == State::Gliding) state_ = State::Idle;
  startTick_ = 0;
  startLine_ = 0;
}

uint32_t GlidePace::Wait(double now, uint32_t pause) {
  double next = due_ + pause;
  if (now - next > pause) {
    due_ = now;
    return 0;
  }
  due_ = next;
  return now < next ? uint32_t(std::lround(next - now)) : 0;
}

}  // namespace nx
