// Figures of one benchmark run: printed as a table and written as JSON.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct Figure {
  std::string id;    // "B1" ...
  std::string name;  // what was measured
  double value = 0;
  std::string unit;  // "ms", "ratio", "count", "MB", ...
  std::string note;
};

struct Goal {
  std::string id;
  std::string text;   // the goal as stated
  double value = 0;   // the measured quantity the goal is about
  double limit = 0;
  bool met = false;
  std::string note;
};

struct Report {
  std::string mode;     // "full" or "quick"
  std::string machine;  // free text
  std::vector<Figure> figures;
  std::vector<Goal> goals;

  void Add(std::string id, std::string name, double value, std::string unit, std::string note = {});
  // A goal met when value <= limit.
  void AtMost(std::string id, std::string text, double value, double limit, std::string note = {});
  std::string Table() const;
  std::string Json() const;
};

}  // namespace bench
