// The model's texts are UTF-8; Qt's are QString. Every text a widget shows passes here.
#pragma once

#include <QString>
#include <string_view>

namespace romui {

inline QString shown(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace romui
