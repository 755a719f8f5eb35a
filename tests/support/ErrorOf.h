#pragma once
// The message of the error a piece of code raises, for comparing with what the operator reads.
#include "Error.h"

#include <string>

namespace testerr {

// The message of the wik::Error that `f` raises; "(no error)" when it raises none (which no
// expected message equals, so a missing error fails the comparison).
template <class F>
std::string errorOf(F &&f) {
    try {
        f();
    } catch (const wik::Error &e) {
        return e.message();
    }
    return "(no error)";
}

} // namespace testerr
