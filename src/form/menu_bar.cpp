#include "form/menu_bar.h"

#include <cctype>
#include <set>

namespace romform {

namespace {

bool keyable(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

char keyOf(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// Word starts first, so that "Save List As" takes "L" of "List" after "S" went to "Save List", then any
// letter left; -1 when every one is taken.
int freeKey(const std::string& caption, std::set<char>& taken) {
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < caption.size(); ++i) {
            const bool wordStart = i == 0 || caption[i - 1] == ' ';
            if (keyable(caption[i]) && (pass == 1 || wordStart) && taken.insert(keyOf(caption[i])).second) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

} // namespace

void assignAccessKeys(MenuBar& bar) {
    std::set<char> menuKeys;
    for (Menu& menu : bar.menus) {
        menu.accessKey = freeKey(menu.caption, menuKeys);
        std::set<char> itemKeys;
        for (MenuItem& item : menu.items) {
            item.accessKey = freeKey(item.caption, itemKeys);
        }
    }
}

std::string markedCaption(const std::string& caption, int accessKey) {
    std::string marked;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (static_cast<int>(i) == accessKey) {
            marked += '&';
        }
        marked += caption[i];
        if (caption[i] == '&') {
            marked += '&';
        }
    }
    return marked;
}

} // namespace romform
