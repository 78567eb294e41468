#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace tickora {

// Cuts a response body into the pieces a line reader with a 1024-byte buffer returns:
// up to and including the next LF, at most 1023 source bytes, CRs dropped, each piece
// ending at its first zero byte. Reading ends after the 202nd piece.
class PageReader {
  public:
    static constexpr int kMaxPieces = 202;
    static constexpr std::size_t kMaxPieceBytes = 1023;

    // A reader that keeps more pieces shows what a page holds past the ones the program reads.
    explicit PageReader(int maxPieces = kMaxPieces) : maxPieces_(maxPieces) {}

    // Takes the next body bytes; returns false once the page is complete and no further
    // bytes are wanted (bytes past the last piece are ignored).
    bool Feed(std::string_view bytes);
    // The body has ended: a last piece without LF counts as a piece of its own.
    void Finish();

    bool Full() const { return pieces_ >= maxPieces_; }
    int Pieces() const { return pieces_; }
    // Body bytes taken into pieces so far, CRs included.
    std::size_t BodyBytes() const { return bodyBytes_; }
    // The text of the pieces so far, the one under way included.
    const std::string& Page() const { return page_; }
    std::string TakePage() { return std::move(page_); }

  private:
    // Source bytes of the piece under way, none past its end: its text goes straight onto the
    // page, CRs dropped, up to its first zero byte.
    void Keep(std::string_view part);
    void EndPiece();

    std::string page_;
    std::size_t pieceSourceBytes_ = 0;
    bool pieceCut_ = false;  // the piece under way has had its zero byte
    std::size_t bodyBytes_ = 0;
    int maxPieces_;
    int pieces_ = 0;
};

}  // namespace tickora
