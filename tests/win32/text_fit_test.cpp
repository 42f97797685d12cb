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

// The status line's height: a line per wrap, at spaces, in a long word where it reaches the edge, and at
// the text's own line breaks.
TEST_F(TextFitTest, WrappedHeightCountsTheLinesAStaticControlShows) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int line = static_cast<int>(metrics.tmHeight);
    const std::wstring path = L"Z:\\tmp\\a\\deep\\folder\\of\\the\\demo";
    const struct {
        const char* what;
        std::wstring text;
        int width;
        int fewestLines;
        int mostLines; // a long word's break is the system's: only that it breaks is checked
    } cases[] = {
        {"fits", L"2 of 16 save banks used", width(L"2 of 16 save banks used"), 1, 1},
        {"a pixel short", L"2 of 16 save banks used", width(L"2 of 16 save banks used") - 1, 2, 2},
        {"its own breaks", L"Wrote Output.GB\n2 of 16 save banks used", width(L"2 of 16 save banks used"), 2,
         2},
        {"a path without spaces", path, width(path) / 2 + 1, 2, 4},
        {"empty", L"", 100, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int height = wrappedHeight(dc, c.text, c.width);
        EXPECT_EQ(height % line, 0) << height;
        EXPECT_GE(height / line, c.fewestLines) << height;
        EXPECT_LE(height / line, c.mostLines) << height;
    }
}

} // namespace
} // namespace romwin
