#include "quotes/page_reader.h"

namespace tickora {

bool PageReader::Feed(std::string_view bytes) {
    page_.reserve(page_.size() + bytes.size());
    while (!bytes.empty() && !Full()) {
        // The rest of the piece under way: up to its LF, or to its limit of source bytes.
        const std::size_t room = kMaxPieceBytes - pieceSourceBytes_;
        std::string_view part = bytes.substr(0, room);
        const std::size_t lf = part.find('\n');
        if (lf != std::string_view::npos) part = part.substr(0, lf + 1);
        Keep(part);
        pieceSourceBytes_ += part.size();
        bodyBytes_ += part.size();
        bytes.remove_prefix(part.size());
        if (lf != std::string_view::npos || pieceSourceBytes_ == kMaxPieceBytes) EndPiece();
    }
    return !Full();
}

void PageReader::Finish() {
    if (pieceSourceBytes_ > 0 && !Full()) EndPiece();
}

void PageReader::Keep(std::string_view part) {
    if (pieceCut_) return;
    if (const std::size_t nul = part.find('\0'); nul != std::string_view::npos) {
        part = part.substr(0, nul);
        pieceCut_ = true;
    }
    for (std::size_t cr; (cr = part.find('\r')) != std::string_view::npos;
         part.remove_prefix(cr + 1))
        page_.append(part.substr(0, cr));
    page_.append(part);
}

void PageReader::EndPiece() {
    pieceSourceBytes_ = 0;
    pieceCut_ = false;
    ++pieces_;
}

}  // namespace tickora
