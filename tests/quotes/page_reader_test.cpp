#include "quotes/page_reader.h"

#include <gtest/gtest.h>

namespace tickora {
namespace {

// Feeds the body in chunks of the given size, as the network delivers it.
PageReader Read(const std::string& body, std::size_t chunk) {
    PageReader r;
    for (std::size_t i = 0; i < body.size(); i += chunk)
        if (!r.Feed(std::string_view(body).substr(i, chunk))) break;
    r.Finish();
    return r;
}

TEST(PageReader, CutsTheBodyIntoLinePiecesOfAtMost1023Bytes) {
    const std::string longLine(2500, 'x');
    std::string many;
    for (int i = 0; i < 300; ++i) many += "line" + std::to_string(i) + "\n";
    const struct {
        const char* what;
        std::string body;
        std::string page;
        int pieces;
    } cases[] = {
        {"lines", "a\nb\n", "a\nb\n", 2},
        {"last line without LF", "a\nb", "a\nb", 2},
        {"CRs dropped", "a\r\nb\r\n\r", "a\nb\n", 3},
        {"long line in pieces of 1023", longLine + "\n", longLine + "\n", 3},
        {"NUL ends a piece's text", std::string("ab\0cd\nef\n", 9), "abef\n", 2},
        {"empty body", "", "", 0},
    };
    for (const auto& c : cases) {
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{100000}}) {
            const PageReader r = Read(c.body, chunk);
            EXPECT_EQ(r.Page(), c.page) << c.what << " chunk " << chunk;
            EXPECT_EQ(r.Pieces(), c.pieces) << c.what << " chunk " << chunk;
        }
    }
}

TEST(PageReader, StopsAfterThe202ndPiece) {
    std::string body;
    for (int i = 0; i < 300; ++i) body += std::to_string(i) + "\n";
    PageReader r;
    EXPECT_FALSE(r.Feed(body));
    EXPECT_TRUE(r.Full());
    EXPECT_EQ(r.Pieces(), 202);
    EXPECT_EQ(r.Page().substr(r.Page().size() - 4), "201\n");
    EXPECT_EQ(r.Page().find("202\n"), std::string::npos);
    r.Finish();  // nothing more is appended
    EXPECT_EQ(r.Pieces(), 202);

    // Pieces of 1023 source bytes count as well: 202 × 1023 bytes is the most a page holds,
    // and a CR counts towards the 1023 though it is dropped.
    PageReader big;
    big.Feed(std::string(300 * 1023, 'y'));
    EXPECT_EQ(big.Page().size(), 202u * 1023u);
    PageReader cr;
    cr.Feed(std::string(1022, 'z') + "\rA\n");
    cr.Finish();
    EXPECT_EQ(cr.Pieces(), 2);  // 1022 + CR fill the first piece; "A\n" is the second
    EXPECT_EQ(cr.Page(), std::string(1022, 'z') + "A\n");
}

}  // namespace
}  // namespace tickora
