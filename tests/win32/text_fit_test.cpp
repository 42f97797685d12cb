// Texts fitted to a width, measured in a real font under wine: a path keeps its end and never passes the
// width, a caption breaks at spaces only where a line would pass it.
#include "win32/text_fit.h"

#include <gtest/gtest.h>

namespace romwin {
namespace {

class TextFitTest : public ::testing::Test {
  public:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    }
    void TearDown() override { DeleteDC(dc); }

    int width(const std::wstring& text) const {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    }

    HDC dc = nullptr;
};

TEST_F(TextFitTest, PathKeepsItsEndWithinTheWidth) {
    const std::wstring path = L"Z:\\tmp\\winwalk\\job\\Tennis Ace.gb";
    const std::wstring name = L"Tennis Ace.gb";
    const struct {
        const char* what;
        int width;
        std::wstring shown; // empty: cut, checked by its rules below
    } cases[] = {
        {"fits", width(path), path},
        {"a pixel short", width(path) - 1, {}},
        {"the name and the dots", width(L"..." + name), L"..." + name},
        {"narrower than the dots", 1, L"..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring shown = endThatFits(dc, path, c.width);
        if (!c.shown.empty()) {
            EXPECT_EQ(shown, c.shown);
            continue;
        }
        EXPECT_TRUE(shown.starts_with(L"...") && shown.ends_with(name));
        EXPECT_LE(width(shown), c.width);
        EXPECT_TRUE(path.ends_with(shown.substr(3)));
    }
}

TEST_F(TextFitTest, CaptionBreaksAtSpacesOnlyWhereALineWouldPassTheWidth) {
    const struct {
        const char* what;
        std::wstring caption;
        int width;
        std::wstring wrapped;
    } cases[] = {
        {"fits", L"Remove ROM", width(L"Remove ROM"), L"Remove ROM"},
        {"a pixel short", L"Remove ROM", width(L"Remove ROM") - 1, L"Remove\r\nROM"},
        {"three words, two lines", L"Generate The Compilation", width(L"Generate The"),
         L"Generate The\r\nCompilation"},
        {"a word wider than the width", L"Compilation", 1, L"Compilation"},
        {"empty", L"", 10, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(wrappedCaption(dc, c.caption, c.width), c.wrapped);
    }
}

} // namespace
} // namespace romwin
