#include "archives/utf8_names.h"

#include <locale.h>

namespace romc {

Utf8Names::Utf8Names() {
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8 != static_cast<locale_t>(0)) {
        utf8_ = utf8;
        previous_ = uselocale(utf8);
    }
}

Utf8Names::~Utf8Names() {
    if (utf8_ != nullptr) {
        uselocale(static_cast<locale_t>(previous_));
        freelocale(static_cast<locale_t>(utf8_));
    }
}

} // namespace romc
