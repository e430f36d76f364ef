// Kinetic scrolling, free of any window: what the presses, moves and
// releases of the left button over a browse's lines mean, fed as lines and
// ticks. The browse applies what it answers (rows to shift, the line to
// select, a glide plan) and never decides any of it itself.
//
// The rule, whole:
// - A press grabs the row under the pointer and starts the measurement.
// - Each move over the data lines (the header and the strip below the last
//   line count as the nearest data line) shifts the rows one row towards
//   the pointer's way, however far it jumped, and selects the line under it.
//   Turning back restarts the measurement at the turn.
// - At the release the speed is the lines between the measurement's start
//   and the release, per kSpeedSpanMs since the start (0 in the same tick).
//   Above Rule::minSpeed the rows glide on the same way for
//   min(maxRows, speed * kRowsPerSpeed) rows, pausing after step i for
//   min(kLongestPauseMs, i * stopRatio * maxRows / rows) ms.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace nx {

class Kinetics {
 public:
  enum class State { Idle, Pressed, Dragging, Resizing, Gliding };

  // The tunable part; the browse's nStopRatio, nMaxRowToAdvance and
  // nMinVelocity, read at each release.
  struct Rule {
    int stopRatio = 4;
    int maxRows = 40;
    int minSpeed = 50;
  };
  static constexpr int64_t kSpeedSpanMs = 4000;
  static constexpr double kRowsPerSpeed = 0.125;
  static constexpr double kLongestPauseMs = 120.0;

  // A move's result. rows: +1 shows the next later row (the rows go up the
  // screen), -1 the next earlier one, 0 nothing. line: the line to select.
  struct Step {
    int rows = 0;
    int line = 0;
  };

  // A glide: direction +1 goes on towards later rows, -1 towards earlier
  // ones, 0 no glide; pauses[i] follows step i + 1, one per step (a glide
  // whose rule allows no row still has its start and end).
  struct Plan {
    int direction = 0;
    std::vector<uint32_t> pauses;
    bool glides() const { return direction != 0; }
  };

  // line: the line under the pointer as the browse numbers them (0 the
  // header, past the last data line below it).
  void Press(int line, uint32_t tick);
  // The press fell on a column border: the moves resize, they do not drag.
  void Resize();
  // A move that drags, over `rows` data lines (the browse calls it while
  // pressed and not resizing).
  Step Move(int line, int rows, uint32_t tick);
  // Any other move: a press without a start tick starts now; with no press
  // the clock is cleared.
  void Track(uint32_t tick);
  // The pointer left the browse: a press in progress ends without a glide.
  void Leave();
  Plan Release(int line, uint32_t tick, const Rule& rule);
  // Sideways: -1, 0, +1 as the column under the pointer moved, and the
  // column that now stands under it.
  int ColumnStep(int column) const;
  void ColumnAt(int column) { colAdvance_ = column; }

  // A glide is running (Release answered a plan and the browse started it).
  void GlideStarted() { state_ = State::Gliding; }
  // Stops a running glide at its next step; true when one was running.
  bool Stop();
  void GlideEnded();

  static Plan PlanFor(int lines, int speed, const Rule& rule);
  static int Speed(int lines, uint32_t startTick, uint32_t endTick);

  State state() const { return state_; }
  bool pressed() const { return state_ == State::Pressed || state_ == State::Dragging || state_ == State::Resizing; }
  bool gliding() const { return state_ == State::Gliding; }
  // The measurement and the pointer's last place, as the browse shows them.
  std::optional<int> startLine() const { return startLine_; }
  std::optional<int> endLine() const { return endLine_; }
  std::optional<int> lineAdvance() const { return lineAdvance_; }
  std::optional<int> colAdvance() const { return colAdvance_; }
  uint32_t startTick() const { return startTick_; }
  uint32_t endTick() const { return endTick_; }
  // The last drag went down the screen (true before any).
  bool down() const { return down_; }

 private:
  State state_ = State::Idle;
  std::optional<int> startLine_, endLine_, lineAdvance_, colAdvance_;
  uint32_t startTick_ = 0, endTick_ = 0;
  bool down_ = true;
};

// A glide's steps kept to their plan's schedule on a fine clock (ms): each
// step is due at the previous one's due time plus the pause after it, so a
// step's own work comes out of its pause instead of adding to it. A late
// step waits nothing; one behind by more than its pause takes the present as
// its due time, so the steps after it keep their pauses instead of bursting
// to catch up. On a machine too slow for a pause the glide is late by the
// excess alone.
class GlidePace {
 public:
  // The first step is due at `now`.
  explicit GlidePace(double now) : due_(now) {}
  // The step due last was done by `now` and `pause` ms follow it: the whole
  // ms to wait for the next step's due time.
  uint32_t Wait(double now, uint32_t pause);
  // When the next step is due.
  double due() const { return due_; }

 private:
  double due_;
};

}  // namespace nx
