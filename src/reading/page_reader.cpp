#include "reading/page_reader.h"

namespace tickora {

bool PageReader::Feed(std::string_view bytes) {
    // Most bodies hold neither CRs nor zero bytes: their text is then what was taken of them.
    const bool asIs = !pieceCut_ && bytes.find('\r') == std::string_view::npos &&
                      bytes.find('\0') == std::string_view::npos;
    std::size_t taken = 0;
    while (taken < bytes.size() && !Full()) {
        // The rest of the piece under way: up to its LF, or to its limit of source bytes.
        std::string_view part = bytes.substr(taken, kMaxPieceBytes - pieceSourceBytes_);
        const std::size_t lf = part.find('\n');
        if (lf != std::string_view::npos) part = part.substr(0, lf + 1);
        if (!asIs) Keep(part);
        taken += part.size();
        pieceSourceBytes_ += part.size();
        if (lf != std::string_view::npos || pieceSourceBytes_ == kMaxPieceBytes) EndPiece();
    }
    if (asIs) page_.append(bytes.substr(0, taken));
    bodyBytes_ += taken;
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
