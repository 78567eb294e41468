#include "quotes/page_reader.h"

#include "common/sjis.h"

namespace tickora {

bool PageReader::Feed(std::string_view bytes) {
    for (const char c : bytes) {
        if (Full()) return false;
        ++pieceSourceBytes_;
        ++bodyBytes_;
        if (c != '\r') piece_ += c;
        if (c == '\n' || pieceSourceBytes_ == kMaxPieceBytes) EndPiece();
    }
    return !Full();
}

void PageReader::Finish() {
    if (pieceSourceBytes_ > 0 && !Full()) EndPiece();
}

void PageReader::EndPiece() {
    page_.append(UpToNul(piece_));
    piece_.clear();
    pieceSourceBytes_ = 0;
    ++pieces_;
}

}  // namespace tickora
