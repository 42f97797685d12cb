#include "archives/utf8_names.h"

namespace romc {

Utf8Names::Utf8Names() = default;
Utf8Names::~Utf8Names() = default;

} // namespace romc
