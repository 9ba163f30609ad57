// Errors raised where they happen and shown at the command boundary.
#pragma once

#include <stdexcept>
#include <string>

namespace karvel {

// what() is Windows-1252 text, like every other text of the core.
class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace karvel
