#include "Error.h"

namespace wik {

std::string messageOf(const std::exception &e) {
    if (auto *err = dynamic_cast<const Error *>(&e))
        return err->message();
    return e.what();
}

} // namespace wik
