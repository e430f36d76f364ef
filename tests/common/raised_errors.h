// Test support: library errors raised while a RaisedErrors lives are kept in
// `errors` and answered false (no retry, no default) instead of going to the
// error report.
#pragma once

#include <vector>

#include "rt/error.h"

namespace nxtest {

class RaisedErrors {
 public:
  RaisedErrors()
      : saved_(nx::ErrorBlock([this](const nx::ErrorPtr& e) {
          errors.push_back(e);
          return nx::Value(false);
        })) {}
  ~RaisedErrors() { nx::ErrorBlock(saved_); }
  RaisedErrors(const RaisedErrors&) = delete;
  RaisedErrors& operator=(const RaisedErrors&) = delete;

  std::vector<nx::ErrorPtr> errors;

 private:
  nx::ErrorHandler saved_;
};

}  // namespace nxtest
